#include "tests/support/logmaker.h"

#include "grapher/logdocument.h"
#include "grapher/viewstatistics.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace qmx;

namespace {

struct Outcome {
    int status;
    QString out;
    QString err;
};

Outcome qmxtool(const QStringList& args) {
    QProcess p;
    p.start(QString(QMX_BIN_DIR) + "/qmxtool", args);
    p.waitForFinished(20000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

float wave(int k) {
    return float(k % 7) - 2.5f;
}

TEST(QmxtoolStats, PrintsTheStatisticsOfTheView) {
    QTemporaryDir dir;
    const QString log = dir.filePath("r.qmx");
    MakeLog(log, Ramp(50, wave));
    const Outcome text = qmxtool({"stats", log, "--from", "3", "--to", "40"});
    EXPECT_EQ(text.status, 0) << text.err.toStdString();
    EXPECT_EQ(text.out, ViewStatistics::Of(LogDocument(log), 3, 40).Text());
    const Outcome json = qmxtool({"stats", log, "--json", "--to", "1"});
    const QJsonObject o = QJsonDocument::fromJson(json.out.toUtf8()).object();
    EXPECT_EQ(o["last"].toInt(), 1);
    const QJsonObject group = o["groups"].toArray().at(0).toObject();
    EXPECT_EQ(group["units"].toString(), " V");
    EXPECT_EQ(group["min"].toObject()["value"].toDouble(), -1.5);
    EXPECT_EQ(group["min"].toObject()["timeStamp"].toString(), "9:00:00 AM");
    EXPECT_TRUE(group["deviation"].isNull()) << "one sample";
}

// A mistake in the call ends with status 2 and the usage line; a file that cannot be read
// or written with status 1; each says why in one line.
TEST(QmxtoolGraphCommands, FaultsSayWhatIsWrong) {
    QTemporaryDir dir;
    const QString log = dir.filePath("r.qmx");
    MakeLog(log, Ramp(50, wave));
    QFile notALog(dir.filePath("n.qmx"));
    ASSERT_TRUE(notALog.open(QIODevice::WriteOnly));
    notALog.write("no log");
    notALog.close();
    const struct {
        QStringList args;
        int status;
        QString err;
    } cases[] = {
        {{"stats", log, "--from", "0"}, 2, "--from 0: expected a sample position from 1 to 50"},
        {{"stats", log, "--to", "51"}, 2, "--to 51: expected a sample position from 1 to 50"},
        {{"stats", log, "--from", "9", "--to", "8"}, 2, "--to 8 is before --from 9"},
        {{"stats"}, 2, "missing LOG"},
        {{"plot", log}, 2, "-o OUT is needed"},
        {{"plot", log, "-o", dir.filePath("g.gif")}, 2, "must end in .png or .svg"},
        {{"stats", notALog.fileName()}, 1, "not a readable log"},
        {{"plot", log, "-o", log.chopped(3) + "svg", "--to", "60"}, 2, "--to 60: expected"},
        {{"plot", log, "-o", dir.filePath("no/g.svg")}, 1, "No such file or directory"},
    };
    for (const auto& c : cases) {
        const Outcome r = qmxtool(c.args);
        EXPECT_EQ(r.status, c.status) << c.args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(c.err)) << r.err.toStdString();
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"n.qmx", "r.qmx"}));
}

} // namespace
