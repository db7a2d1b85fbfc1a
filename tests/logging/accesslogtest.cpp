// Access-format logs end to end: the export judged by jetcheck and mdbtools, the earlier
// version's sample logs read and imported, damaged files and a failing reader refused.
#include "grapher/accessexport.h"
#include "logging/accesslogreader.h"
#include "logging/dberror.h"
#include "logging/logreader.h"
#include "tests/support/jetcheck.h"
#include "tests/support/logmaker.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <cmath>
#include <sys/resource.h>

namespace {

struct ExportCase {
    const char* name;
    std::vector<LogSample> samples;
    NullableText description = "bench";
    QString date = "12/6/2026";
};

std::vector<LogSample> manySamples(int n) {
    std::vector<LogSample> s;
    for (int k = 0; k < n; ++k) {
        s.push_back({float(k) / 7.0f, "Temp", "Mohm", float(-k), "10:15:42 AM"});
    }
    return s;
}

std::vector<ExportCase> exportCases() {
    return {
        {"empty log", {}},
        {"one row", {{0.5f}}},
        {"nulls in every nullable column",
         {{std::nullopt, "OH", std::nullopt, std::nullopt}, {1.0f, "AC", "", std::nullopt}},
         std::nullopt},
        {"longest texts",
         {{2.0f, "Temp", "Mohm", 1.5f, "12:59:59 PMx"}},
         QString(255, 'w'),
         "12/31/2004 12:00:00X"},
        {"non-ASCII comment", {{3.0f, "DC", "µV"}}, "Bench 3, \"µ\" — 20 °C\r\nzweite Zeile 😀"},
        {"extreme values",
         {{1e-30f, "DC", "V", 3.4e38f},
          {-3.4e38f, "DC", "V", -1e-30f},
          {std::numeric_limits<float>::infinity(), "DC", "V", 1.4e-45f}}},
        // 66 rows of this size a page: more than 512 pages, a reference map.
        {"40,000 rows", manySamples(40000)},
    };
}

// mdbtools' reading of LogData: texts (empty and null alike), singles within one ulp.
void expectMdbExportReads(const QString& file, const std::vector<LogRecord>& samples) {
    QProcess mdb;
    mdb.start("mdb-export", {"-H", "-d", "\t", "-q", "", file, "LogData"});
    ASSERT_TRUE(mdb.waitForFinished(60000));
    ASSERT_EQ(mdb.exitCode(), 0) << qPrintable(mdb.readAllStandardError());
    const QList<QByteArray> lines = mdb.readAllStandardOutput().split('\n');
    ASSERT_EQ(lines.size(), qsizetype(samples.size()) + 1);
    const auto close = [](const QByteArray& field, const std::optional<double>& v) {
        if (!v) {
            return field.isEmpty();
        }
        const auto want = float(*v), got = field.toFloat();
        return got == want || std::nextafter(got, want) == want;
    };
    for (size_t i = 0; i < samples.size(); ++i) {
        const QList<QByteArray> f = lines[qsizetype(i)].split('\t');
        const LogRecord& s = samples[i];
        ASSERT_EQ(f.size(), 5);
        ASSERT_TRUE(f[0] == s.TimeStamp->toUtf8() && f[1] == s.Type->toUtf8() &&
                    f[2] == s.Units.value_or("").toUtf8() && close(f[3], s.Value) &&
                    close(f[4], s.Dbu))
            << "row " << i << ": " << lines[qsizetype(i)].constData();
    }
}

QJsonObject expected(const QString& name) {
    QFile f(Jetcheck::LegacyLogs() + "/" + name + ".expected.json");
    return f.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(f.readAll()).object()
                                       : QJsonObject();
}

// Each table's name and columns (types, widths, required) in a dump.
QJsonArray schemaOf(const QJsonObject& dump) {
    QJsonArray tables;
    for (const QJsonValue t : dump["tables"].toArray()) {
        tables.append(QJsonArray{t["name"], t["columns"]});
    }
    return tables;
}

TEST(AccessExport, JetcheckAndMdbtoolsReadTheLogsRows) {
    SKIP_WITHOUT_JETCHECK();
    for (const ExportCase& c : exportCases()) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString log = dir.filePath("run1.qmx"), mdb = dir.filePath("run1.mdb");
        MakeLog(log, c.samples, c.date, c.description);
        const LogContents source = ReadWholeLog(log);
        ExportAccessFile(log, mdb);
        EXPECT_EQ(Jetcheck::Verify(mdb),
                  QString("ok: 2 tables, %1 rows").arg(source.samples.size() + 1));
        const QJsonObject dump = Jetcheck::Dump(mdb);
        // The tables of the earlier version's logs, column for column.
        EXPECT_EQ(schemaOf(dump), schemaOf(expected("dc-small")));
        EXPECT_EQ(Jetcheck::Rows(dump, "Info"), Jetcheck::AsRows(source.info));
        EXPECT_EQ(Jetcheck::Rows(dump, "LogData"), Jetcheck::AsRows(source.samples));
        expectMdbExportReads(mdb, source.samples);
        // Our own reader, through the helper, gives the log back exactly.
        const LogContents back = ReadWholeLog(mdb);
        EXPECT_EQ(Jetcheck::AsRows(back.samples), Jetcheck::AsRows(source.samples));
        EXPECT_EQ(Jetcheck::AsRows(back.info), Jetcheck::AsRows(source.info));
    }
}

struct ToolRun {
    int status;
    QString err;
};

ToolRun qmxtool(const QStringList& args, rlim_t fileSizeLimit = RLIM_INFINITY) {
    QProcess p;
    p.setChildProcessModifier([fileSizeLimit] {
        const rlimit limit{fileSizeLimit, fileSizeLimit};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    });
    p.start(QString(QMX_BIN_DIR) + "/qmxtool", args);
    p.waitForFinished(60000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardError())};
}

QByteArray contentsOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(AccessExport, QmxtoolWritesCopiesAndRefusesWithoutLeavingFiles) {
    SKIP_WITHOUT_JETCHECK();
    QTemporaryDir dir;
    const QString log = dir.filePath("run1.qmx");
    MakeLog(log, manySamples(3000));
    EXPECT_EQ(qmxtool({"mdb", log}).status, 0);
    EXPECT_EQ(Jetcheck::Verify(dir.filePath("run1.mdb")), "ok: 2 tables, 3001 rows");
    // An Access-format log is copied byte for byte, whatever its name.
    ASSERT_TRUE(QFile::rename(dir.filePath("run1.mdb"), dir.filePath("old.qmx")));
    EXPECT_EQ(qmxtool({"mdb", dir.filePath("old.qmx"), "-o", dir.filePath("copy.mdb")}).status, 0);
    EXPECT_EQ(contentsOf(dir.filePath("copy.mdb")), contentsOf(dir.filePath("old.qmx")));

    const QStringList before = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
    const struct {
        const char* name;
        QStringList args;
        rlim_t fileSizeLimit;
        const char* message;
    } failures[] = {
        {"no folder",
         {"mdb", log, "-o", dir.filePath("no/such/run1.mdb")},
         RLIM_INFINITY,
         "No such file or directory"},
        {"disk full", {"mdb", log, "-o", dir.filePath("full.mdb")}, 64 * 1024, "File too large"},
        {"itself", {"mdb", dir.filePath("copy.mdb")}, RLIM_INFINITY, "replace the log itself"},
    };
    for (const auto& f : failures) {
        const ToolRun run = qmxtool(f.args, f.fileSizeLimit);
        EXPECT_EQ(run.status, 1) << f.name;
        EXPECT_TRUE(run.err.contains(f.message)) << f.name << ": " << qPrintable(run.err);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), before) << f.name;
    }
}

void expectRowsOf(const QString& name, const LogContents& log) {
    const QJsonObject want = expected(name);
    const bool doubles = name == "doubles";
    EXPECT_EQ(Jetcheck::AsRows(log.info), Jetcheck::Rows(want, "Info")) << qPrintable(name);
    const QJsonArray rows = Jetcheck::AsRows(log.samples, doubles);
    const QJsonArray wanted = Jetcheck::Rows(want, "LogData");
    ASSERT_EQ(rows.size(), wanted.size()) << qPrintable(name);
    for (qsizetype i = 0; i < rows.size(); ++i) {
        ASSERT_EQ(rows[i], wanted[i]) << qPrintable(name) << " row " << i;
    }
}

const char* const kLegacyLogs[] = {"dc-small", "ac-dbu", "mixed-nulls", "doubles",
                                   "big-40k",  "edited", "empty-log"};

TEST(LegacyLogs, ReadAndImportedGiveTheirExpectedRows) {
    if (!QFileInfo::exists(Jetcheck::LegacyLogs() + "/dc-small.qmx")) {
        GTEST_SKIP() << "no sample logs at " << qPrintable(Jetcheck::LegacyLogs())
                     << " (set QMX_LEGACY_LOGS)";
    }
    QTemporaryDir dir;
    for (const char* name : kLegacyLogs) {
        const QString old = Jetcheck::LegacyLogs() + "/" + name + ".qmx";
        EXPECT_TRUE(LogReader::IsAccessFormat(old));
        expectRowsOf(name, ReadWholeLog(old));
        const QString imported = dir.filePath(QString(name) + ".qmx");
        ASSERT_EQ(qmxtool({"import", old, imported}).status, 0) << name;
        EXPECT_FALSE(LogReader::IsAccessFormat(imported));
        expectRowsOf(name, ReadWholeLog(imported));
    }
    // A new log is never written over an existing file.
    const QByteArray kept = contentsOf(dir.filePath("edited.qmx"));
    const ToolRun again =
        qmxtool({"import", Jetcheck::LegacyLogs() + "/dc-small.qmx", dir.filePath("edited.qmx")});
    EXPECT_EQ(again.status, 1);
    EXPECT_TRUE(again.err.contains("Database Already Exists!")) << qPrintable(again.err);
    EXPECT_EQ(contentsOf(dir.filePath("edited.qmx")), kept);
}

// Expects the not-readable error, in well under the time the limit allows.
void expectNotReadable(const QString& path, const AccessLogReader& reader, const char* name) {
    struct Ignore : LogVisitor {
        void Info(const LogHeader&) override {}
        void Sample(const LogRecord&) override {}
    } ignore;
    QElapsedTimer clock;
    clock.start();
    try {
        reader.Read(path, ignore);
        ADD_FAILURE() << name << ": read";
    } catch (const DbError& e) {
        EXPECT_EQ(e.Code, DbError::kNotALog) << name;
        EXPECT_TRUE(e.Detail.startsWith("not a readable log (")) << name << qPrintable(e.Detail);
    }
    EXPECT_LT(clock.elapsed(), 8000) << name;
}

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    QFile f(dir.filePath(name));
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    f.setPermissions(f.permissions() | QFile::ExeOwner);
    return f.fileName();
}

TEST(AccessLogReader, DamagedFilesAreNotReadableLogs) {
    QTemporaryDir dir;
    const QString log = dir.filePath("run.qmx"), mdb = dir.filePath("run.mdb");
    MakeLog(log, manySamples(1000));
    ExportAccessFile(log, mdb);
    const QByteArray good = contentsOf(mdb);
    const auto withRowCount = [&good](quint32 rows) {
        QByteArray b = good;
        qToLittleEndian(rows, b.data() + 19 * 4096 + 0x10); // LogData's definition
        return b;
    };
    QByteArray noise = good.left(19);
    for (int i = 0; i < 200000; ++i) {
        noise += char(QRandomGenerator(quint32(i)).generate());
    }
    const std::pair<const char*, QByteArray> damaged[] = {
        {"truncated to its catalog", good.left(25 * 4096)},
        {"truncated in a page", good.left(4096 * 30 + 1000)},
        {"shorter than a page", good.left(3000)},
        {"random bytes after the signature", noise},
        {"a huge row count", withRowCount(0x7FFFFFFF)},
        {"one row more than it holds", withRowCount(1001)},
    };
    for (const auto& [name, bytes] : damaged) {
        const QString path = writeFile(dir, "damaged.qmx", bytes);
        EXPECT_TRUE(LogReader::IsAccessFormat(path));
        expectNotReadable(path, AccessLogReader(), name);
    }
}

TEST(AccessLogReader, AFailingReaderEndsInTheSameError) {
    QTemporaryDir dir;
    const QString log = dir.filePath("run.qmx"), mdb = dir.filePath("run.mdb");
    MakeLog(log, manySamples(10));
    ExportAccessFile(log, mdb);
    const QString real = AccessLogReader::FindHelper();
    ASSERT_FALSE(real.isEmpty());
    const AccessLogReader::Limits tight{std::chrono::milliseconds(3000),
                                        std::chrono::milliseconds(1500), qint64(64) << 20};
    const std::pair<const char*, QByteArray> readers[] = {
        {"hangs", "#!/bin/sh\nexec sleep 30\n"},
        {"crashes", "#!/bin/sh\nkill -SEGV $$\n"},
        {"writes nonsense", "#!/bin/sh\necho hello\n"},
        {"stops short", "#!/bin/sh\n\"" + real.toUtf8() + "\" \"$1\" | head -c 300\n"},
        {"needs more memory than allowed",
         "#!/bin/sh\nx=$(head -c 100000000 /dev/zero | tr '\\0' a)\nexec \"" + real.toUtf8() +
             "\" \"$1\"\n"},
    };
    for (const auto& [name, script] : readers) {
        expectNotReadable(mdb, AccessLogReader(writeFile(dir, "reader.sh", script), tight), name);
    }
    expectNotReadable(mdb, AccessLogReader(QString()), "not installed");
    // The stand-in that needs memory reads the log when the limit allows it.
    const QString hungry = writeFile(dir, "reader.sh", readers[4].second);
    struct Count : LogVisitor {
        int rows = 0;
        void Info(const LogHeader&) override {}
        void Sample(const LogRecord&) override { ++rows; }
    } count;
    AccessLogReader(hungry, AccessLogReader::LimitsFor(0)).Read(mdb, count);
    EXPECT_EQ(count.rows, 10);
}

} // namespace
