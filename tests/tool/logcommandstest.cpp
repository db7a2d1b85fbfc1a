#include "tests/support/logmaker.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Result {
    int status;
    QString out;
    QString err;
};

Result qmxtool(const QStringList& args) {
    QProcess p;
    p.start(QString(QMX_BIN_DIR) + "/qmxtool", args);
    p.waitForFinished(10000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

TEST(QmxtoolCsv, WritesNextToTheLogOrWhereAsked) {
    QTemporaryDir dir;
    const QString log = dir.filePath("run1.qmx");
    MakeLog(log, {{0.5f}, {-2.0f}});
    EXPECT_EQ(qmxtool({"csv", log}).status, 0);
    QFile csv(dir.filePath("run1.csv"));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    EXPECT_EQ(csv.readAll(),
              "12/6/2026,bench\r\n9:00:00 AM,DC, V,0.5,\r\n9:00:00 AM,DC, V,-2,\r\n");
    EXPECT_EQ(qmxtool({"csv", log, "-o", dir.filePath("x.csv")}).status, 0);
    EXPECT_TRUE(QFile::exists(dir.filePath("x.csv")));
    const Result failed = qmxtool({"csv", log, "-o", dir.filePath("no/such/x.csv")});
    EXPECT_EQ(failed.status, 1);
    EXPECT_TRUE(failed.err.contains("File was not found.")) << qPrintable(failed.err);
    const QByteArray original = [&] {
        QFile f(log);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    const Result ontoTheLog = qmxtool({"csv", log, "-o", log});
    EXPECT_EQ(ontoTheLog.status, 1);
    EXPECT_TRUE(ontoTheLog.err.contains("Write Protected")) << qPrintable(ontoTheLog.err);
    QFile after(log);
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), original);
}

TEST(QmxtoolInfo, TellsTheHeaderCountTimesAndTypes) {
    QTemporaryDir dir;
    const QString log = dir.filePath("run1.qmx");
    MakeLog(log,
            {{1.0f, "DC", " V", std::nullopt, "9:00:00 AM"},
             {std::nullopt, "OH", "Ohm", std::nullopt, "9:00:01 AM"},
             {2.0f, "DC", " V", std::nullopt, "9:00:02 AM"}},
            "12/6/2026", "a \"quoted\" note");
    EXPECT_EQ(qmxtool({"info", log, "--json"}).out,
              "{\"date\":\"12/6/2026\",\"description\":\"a \\\"quoted\\\" note\",\"samples\":3,"
              "\"firstTimeStamp\":\"9:00:00 AM\",\"lastTimeStamp\":\"9:00:02 AM\","
              "\"types\":[\"DC\",\"OH\"]}\n");
    const Result plain = qmxtool({"info", log});
    EXPECT_TRUE(plain.out.contains("Samples:     3"));
    EXPECT_TRUE(plain.out.contains("Types:       DC, OH"));
    QFile junk(dir.filePath("junk.qmx"));
    junk.open(QIODevice::WriteOnly);
    junk.write("not a log");
    junk.close();
    EXPECT_EQ(qmxtool({"info", dir.filePath("junk.qmx")}).status, 1);
}

} // namespace
