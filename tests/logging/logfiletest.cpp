#include "grapher/csvexport.h"
#include "logging/dberror.h"
#include "logging/logcreation.h"
#include "logging/logsummary.h"
#include "logging/logwriter.h"
#include "logging/samplerow.h"
#include "tests/support/logmaker.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace qmx;

namespace {

int errorCodeOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const DbError& e) {
        return e.Code;
    }
    return 0;
}

class LogFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path = dir.filePath("run1.qmx");

    std::shared_ptr<SqliteDb> open() {
        return std::make_shared<SqliteDb>(path, SqliteDb::Mode::ReadWrite);
    }
    QString pragma(const QString& name) {
        Statement s = open()->Prepare("PRAGMA " + name);
        s.Step();
        return s.Column(0).toString();
    }
};

TEST_F(LogFileTest, ANewLogHoldsBothTablesEmptyAndIsMarkedAsALog) {
    LogCreation(path).Run();
    const LogContents log = ReadWholeLog(path);
    EXPECT_TRUE(log.info.empty());
    EXPECT_TRUE(log.samples.empty());
    auto db = open();
    Statement columns =
        db->Prepare("SELECT m.name, p.name, p.type, p.\"notnull\" FROM sqlite_master m, "
                    "pragma_table_info(m.name) p ORDER BY m.rowid, p.cid");
    QStringList layout;
    while (columns.Step()) {
        layout << columns.Column(0).toString() + "." + columns.Column(1).toString() + " " +
                      columns.Column(2).toString() + (columns.Int(3) ? " required" : "");
    }
    EXPECT_EQ(
        layout,
        QStringList({"LogData.TimeStamp VARCHAR(12) required", "LogData.Type VARCHAR(4) required",
                     "LogData.Units VARCHAR(4)", "LogData.Value REAL", "LogData.dBu REAL",
                     "Info.Date VARCHAR(20) required", "Info.Description VARCHAR(255)"}));
    EXPECT_EQ(pragma("application_id"), QString::number(0x514D584C));
    EXPECT_EQ(pragma("user_version"), "1");
}

TEST_F(LogFileTest, AnExistingFileIsRefusedAndLeftUntouched) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("my notes");
    f.close();
    EXPECT_EQ(errorCodeOf([&] { LogCreation(path).Run(); }), DbError::kFileExists);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "my notes");
}

TEST_F(LogFileTest, MissingFolderAndReadOnlyFolderHaveTheirNumbers) {
    EXPECT_EQ(errorCodeOf([&] { LogCreation(dir.filePath("no/such/run.qmx")).Run(); }),
              DbError::kEngineFailure);
    if (geteuid() != 0) {
        QDir(dir.path()).mkdir("locked");
        QFile::setPermissions(dir.filePath("locked"), QFile::ReadOwner | QFile::ExeOwner);
        EXPECT_EQ(errorCodeOf([&] { LogCreation(dir.filePath("locked/run.qmx")).Run(); }),
                  DbError::kPermissionDenied);
    }
}

TEST_F(LogFileTest, RetryResumesAtTheFailedStep) {
    const QString folder = dir.filePath("later");
    LogCreation creation(folder + "/run.qmx");
    EXPECT_EQ(errorCodeOf([&] { creation.Run(); }), DbError::kEngineFailure);
    EXPECT_EQ(errorCodeOf([&] { creation.Run(); }), DbError::kEngineFailure) << "no change";
    QDir().mkpath(folder);
    creation.Run();
    EXPECT_TRUE(creation.Done());
    EXPECT_TRUE(ReadWholeLog(folder + "/run.qmx").samples.empty());
}

TEST_F(LogFileTest, WriterStoresEachRowInTheTableItsFieldsBelongTo) {
    LogCreation(path).Run();
    {
        LogWriter writer(path);
        StoreInfo(writer, QDate(2026, 12, 6), "bench supply");
        StoreSample(writer, {"9:05:03 AM", "DC", " V", 1.25f, std::nullopt});
    }
    const LogContents log = ReadWholeLog(path);
    ASSERT_EQ(log.info.size(), 1u);
    EXPECT_EQ(log.info[0].Description, "bench supply");
    ASSERT_EQ(log.samples.size(), 1u);
    EXPECT_FLOAT_EQ(float(log.samples[0].Value.value_or(0)), 1.25f);
    EXPECT_FALSE(log.samples[0].Dbu.has_value());
    EXPECT_EQ(log.samples[0].Units, " V");
}

TEST_F(LogFileTest, WidthsAndRequiredFieldsAreEnforced) {
    LogCreation(path).Run();
    LogWriter writer(path);
    EXPECT_EQ(errorCodeOf([&] {
                  StoreSample(writer, {"10:00:00 AM", "TOOLONG", " V", 1.0f, std::nullopt});
              }),
              DbError::kFieldTooSmall);
    EXPECT_EQ(errorCodeOf([&] {
                  writer.Add(LogHeader{std::nullopt, "bench"});
              }),
              DbError::kNullNotAllowed);
    EXPECT_EQ(errorCodeOf([&] { StoreInfo(writer, QDate(2027, 1, 1), QString(256, 'x')); }),
              DbError::kFieldTooSmall);
    EXPECT_TRUE(ReadWholeLog(path).samples.empty());
}

TEST_F(LogFileTest, ASavedRowIsDurable) {
    LogCreation(path).Run();
    LogWriter writer(path);
    Statement mode = open()->Prepare("PRAGMA journal_mode");
    mode.Step();
    EXPECT_EQ(mode.Column(0).toString(), "delete");
    // Another connection sees each row as soon as it is saved: nothing waits in a buffer.
    StoreSample(writer, {"9:00:00 AM", "DC", " V", 1.0f, std::nullopt});
    EXPECT_EQ(ReadWholeLog(path).samples.size(), 1u);
    EXPECT_FALSE(QFile::exists(path + "-journal"));
}

} // namespace

namespace {

struct HostileLog {
    const char* name;
    const char* schema; // SQL that makes the file; null for a special file
    const char* why;    // what the refusal names
};

class HostileLogs : public LogFileTest, public ::testing::WithParamInterface<HostileLog> {};

// Readers refuse at once, naming the fault: nothing of the file's own runs or blocks.
TEST_P(HostileLogs, AreRefusedNamingWhy) {
    const HostileLog& h = GetParam();
    if (h.schema == nullptr) {
        ASSERT_EQ(QString(h.name) == "pipe" ? ::mkfifo(QFile::encodeName(path), 0600)
                                            : ::mkdir(QFile::encodeName(path), 0700),
                  0);
    } else {
        SqliteDb(path, SqliteDb::Mode::Create).Exec(h.schema);
    }
    try {
        (void)LogSummary::Read(path);
        FAIL() << "read as a log";
    } catch (const DbError& e) {
        EXPECT_EQ(e.Code, DbError::kNotALogFile);
        EXPECT_EQ(e.Detail, h.why);
    }
}

constexpr const char* kInfo = "CREATE TABLE Info (Date, Description);";
INSTANTIATE_TEST_SUITE_P(
    Logs, HostileLogs,
    ::testing::Values(
        HostileLog{"ViewOfRows",
                   "CREATE TABLE Info (Date, Description); CREATE VIEW LogData AS SELECT "
                   "'9:00:00 AM' AS TimeStamp, 'DC' AS Type, ' V' AS Units, 1 AS Value, "
                   "NULL AS dBu",
                   "LogData is a view, not a table of values"},
        HostileLog{"NoDbu",
                   "CREATE TABLE Info (Date, Description);"
                   "CREATE TABLE LogData (TimeStamp, Type, Units, Value)",
                   "LogData has no column dBu"},
        HostileLog{"ComputedValue",
                   "CREATE TABLE Info (Date, Description); CREATE TABLE LogData (TimeStamp, "
                   "Type, Units, dBu, Value AS (length(zeroblob(1000000000))))",
                   "LogData.Value is computed, not stored"},
        HostileLog{"NoInfo", "CREATE TABLE LogData (TimeStamp, Type, Units, Value, dBu)",
                   "the log has no table Info"},
        HostileLog{"OtherProgram",
                   "PRAGMA application_id = 1196444487; CREATE TABLE Info (Date, Description);"
                   "CREATE TABLE LogData (TimeStamp, Type, Units, Value, dBu)",
                   "it is a file of another program (application id 0x47504b47), not a log"},
        HostileLog{"pipe", nullptr, "it is not a regular file but a pipe or a device"},
        HostileLog{"folder", nullptr, "it is a folder, not a log file"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LogFileTest, ALogWithoutAnApplicationIdIsStillRead) {
    MakeLog(path, {{1.5f}});
    SqliteDb(path, SqliteDb::Mode::ReadWrite).Exec("PRAGMA application_id = 0");
    const LogContents log = ReadWholeLog(path);
    ASSERT_EQ(log.samples.size(), 1u);
    EXPECT_EQ(log.samples[0].Value, 1.5);
}

TEST_F(LogFileTest, ReadingRecoversAJournalLeftByACrash) {
    MakeLog(path, {{1.0f}, {2.0f}});
    // A writer killed in the middle of a transaction leaves its journal beside the log.
    if (const pid_t child = ::fork(); child == 0) {
        sqlite3* db = nullptr;
        sqlite3_open(QFile::encodeName(path).constData(), &db);
        sqlite3_exec(db,
                     "PRAGMA cache_size = 1; BEGIN; DELETE FROM LogData; INSERT INTO LogData "
                     "SELECT '1:00:00 AM', 'AC', '', 9, 9 FROM (WITH RECURSIVE c(i) AS "
                     "(SELECT 1 UNION ALL SELECT i + 1 FROM c WHERE i < 5000) SELECT i FROM c)",
                     nullptr, nullptr, nullptr);
        ::_exit(0);
    } else {
        ASSERT_GT(child, 0);
        ::waitpid(child, nullptr, 0);
    }
    ASSERT_TRUE(QFile::exists(path + "-journal"));
    const QString csv = dir.filePath("out.csv");
    CsvExport(path, csv).Run();
    QFile f(csv);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "12/6/2026,bench\r\n9:00:00 AM,DC, V,1,\r\n9:00:00 AM,DC, V,2,\r\n");
    EXPECT_FALSE(QFile::exists(path + "-journal"));
}

TEST_F(LogFileTest, APathBeginningWithFileIsAPathNotAnAddress) {
    const QString cwd = QDir::currentPath();
    const auto back = qScopeGuard([&] { QDir::setCurrent(cwd); });
    QDir::setCurrent(dir.path());
    MakeLog(dir.filePath("other.qmx"), {{1.0f}});
    const QByteArray other = [&] {
        QFile f(dir.filePath("other.qmx"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    LogCreation("file:other.qmx").Run();
    StoreSample(*std::make_unique<LogWriter>("file:other.qmx"),
                {"9:00:00 AM", "AC", " V", 5.0f, std::nullopt});
    QFile f(dir.filePath("other.qmx"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), other) << "an existing file was written";
    EXPECT_EQ(ReadWholeLog(dir.filePath("file:other.qmx")).samples.size(), 1u);
}

// Another program reading the log in a long transaction holds up no row and ends no run.
TEST_F(LogFileTest, RowsWaitInOrderWhileAReaderHoldsTheLog) {
    MakeLog(path, {});
    LogWriter writer(path);
    auto reader = std::make_unique<SqliteDb>(path, SqliteDb::Mode::ReadOnly);
    reader->Exec("BEGIN");
    Statement hold = reader->Prepare("SELECT count(*) FROM LogData");
    hold.Step();
    for (const float v : {1.0f, 2.0f, 3.0f}) {
        StoreSample(writer, {"9:00:00 AM", "DC", " V", v, std::nullopt});
    }
    EXPECT_EQ(writer.SamplesStored(), 0);
    EXPECT_EQ(writer.Waiting(), 3);
    hold.Reset();
    reader->Exec("COMMIT");
    writer.StoreWaiting();
    EXPECT_EQ(writer.SamplesStored(), 3);
    std::vector<float> values;
    for (const LogRecord& r : ReadWholeLog(path).samples) {
        values.push_back(float(r.Value.value_or(0)));
    }
    EXPECT_EQ(values, std::vector<float>({1.0f, 2.0f, 3.0f}));
}

} // namespace
