// A log file made, written and read: its tables, the creation's refusals and its box, the
// writer's rules, and files that are no log or that a crash or a path could turn against us.
#include "tests/logging/testfiles.h"
#include "tests/support/fakes.h"
#include "tests/support/logmaker.h"

#include "grapher/csvexport.h"
#include "logging/createlogdatabase.h"
#include "logging/logcreation.h"
#include "logging/logsummary.h"
#include "logging/logwriter.h"
#include "logging/samplerow.h"

#include <QDir>
#include <QScopeGuard>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace qmx;

namespace {

class LogFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path = dir.filePath("run1.qmx");

    QString pragma(const QString& name) {
        SqliteDb db(path, SqliteDb::Mode::ReadWrite);
        Statement s = db.Prepare("PRAGMA " + name);
        s.Step();
        return s.Column(0).toString();
    }
};

TEST_F(LogFileTest, ANewLogHoldsBothTablesEmptyAndIsMarkedAsALog) {
    LogCreation(path).Run();
    const LogContents log = ReadWholeLog(path);
    EXPECT_TRUE(log.info.empty());
    EXPECT_TRUE(log.samples.empty());
    SqliteDb db(path, SqliteDb::Mode::ReadWrite);
    Statement columns =
        db.Prepare("SELECT m.name, p.name, p.type, p.\"notnull\" FROM sqlite_master m, "
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

// An existing file is left as it was; a missing or locked folder has its number, and a
// creation run again once the folder is there makes the log.
TEST_F(LogFileTest, CreationRefusesWithTheNumberOfTheFaultAndRetryResumes) {
    WriteFile(path, "my notes");
    EXPECT_EQ(ErrorCodeOf([&] { LogCreation(path).Run(); }), DbError::kFileExists);
    EXPECT_EQ(ContentsOf(path), "my notes");
    if (geteuid() != 0) {
        QDir(dir.path()).mkdir("locked");
        QFile::setPermissions(dir.filePath("locked"), QFile::ReadOwner | QFile::ExeOwner);
        EXPECT_EQ(ErrorCodeOf([&] { LogCreation(dir.filePath("locked/run.qmx")).Run(); }),
                  DbError::kPermissionDenied);
    }
    LogCreation creation(dir.filePath("later/run.qmx"));
    EXPECT_EQ(ErrorCodeOf([&] { creation.Run(); }), DbError::kEngineFailure);
    EXPECT_EQ(ErrorCodeOf([&] { creation.Run(); }), DbError::kEngineFailure) << "no change";
    QDir().mkpath(dir.filePath("later"));
    creation.Run();
    EXPECT_TRUE(creation.Done());
    EXPECT_TRUE(ReadWholeLog(dir.filePath("later/run.qmx")).samples.empty());
}

class CreateLogDatabaseTest : public LogFileTest {
protected:
    ScriptedDialogs dialogs;
    int ended = 0;
    std::function<void()> endProgram = [this] { ++ended; };
};

TEST_F(CreateLogDatabaseTest, MissingFolderNamesTheFullPath) {
    const QString gone = dir.filePath("gone/Test.qmx");
    EXPECT_FALSE(CreateLogDatabase(gone, dialogs, endProgram));
    EXPECT_TRUE(dialogs.boxes[0].text.startsWith("\r\nPath Doesn't Exist! - " + gone +
                                                 "\r\n\r\nCheck Path, and/or create the Parent "
                                                 "Folder manually....\r\n\r\n"));
}

TEST_F(CreateLogDatabaseTest, RetryWithoutChangeAsksAgainAndRetryAfterTheFixSucceeds) {
    WriteFile(path, "");
    dialogs.answers = {Dialogs::Answer::Retry, Dialogs::Answer::Retry};
    // The user removes the file while the second box is open.
    dialogs.whileBoxIsOpen = [&] {
        if (dialogs.boxes.size() == 2) {
            QFile::remove(path);
        }
    };
    EXPECT_TRUE(CreateLogDatabase(path, dialogs, endProgram));
    EXPECT_EQ(dialogs.boxes.size(), 2u);
    EXPECT_EQ(dialogs.boxes[0].text, dialogs.boxes[1].text);
    EXPECT_EQ(ended, 0);
    EXPECT_GT(QFile(path).size(), 0);
}

// A disk that takes the new file but none of its contents: Cancel leaves no empty file to
// block the next run, and Retry once there is room makes a whole log.
TEST_F(CreateLogDatabaseTest, AFullDiskLeavesNoHalfMadeFile) {
    for (const Dialogs::Answer answer : {Dialogs::Answer::Cancel, Dialogs::Answer::Retry}) {
        const QString log = dir.filePath(answer == Dialogs::Answer::Retry ? "r.qmx" : "c.qmx");
        rlimit old{};
        getrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit none = old;
        none.rlim_cur = 0;
        setrlimit(RLIMIT_FSIZE, &none);
        dialogs.boxes.clear();
        dialogs.answers = {answer};
        dialogs.whileBoxIsOpen = [&] { setrlimit(RLIMIT_FSIZE, &old); };
        const bool made = CreateLogDatabase(log, dialogs, endProgram);
        setrlimit(RLIMIT_FSIZE, &old);
        ASSERT_FALSE(dialogs.boxes.empty());
        EXPECT_TRUE(dialogs.boxes[0].text.startsWith("\r\nDisk Full!"))
            << qPrintable(dialogs.boxes[0].text);
        EXPECT_EQ(made, answer == Dialogs::Answer::Retry);
        if (made) {
            EXPECT_TRUE(ReadWholeLog(log).samples.empty()) << "a whole, empty log";
        } else {
            EXPECT_FALSE(QFile::exists(log));
        }
    }
}

// Each row is on disk once stored (another connection sees it, no journal waits); a text
// too long or a required field left empty is refused and stores nothing.
TEST_F(LogFileTest, TheWriterSavesEachRowAtOnceAndRefusesWhatTheColumnsCannotHold) {
    LogCreation(path).Run();
    LogWriter writer(path);
    EXPECT_EQ(pragma("journal_mode"), "delete");
    StoreSample(writer, {"9:00:00 AM", "DC", " V", 1.0f, std::nullopt});
    EXPECT_EQ(ReadWholeLog(path).samples.size(), 1u);
    EXPECT_FALSE(QFile::exists(path + "-journal"));
    EXPECT_EQ(ErrorCodeOf([&] {
                  StoreSample(writer, {"10:00:00 AM", "TOOLONG", " V", 1.0f, std::nullopt});
              }),
              DbError::kFieldTooSmall);
    EXPECT_EQ(ErrorCodeOf([&] {
                  writer.Add(LogHeader{std::nullopt, "bench"});
              }),
              DbError::kNullNotAllowed);
    EXPECT_EQ(ErrorCodeOf([&] { StoreInfo(writer, QDate(2027, 1, 1), QString(256, 'x')); }),
              DbError::kFieldTooSmall);
    const LogContents log = ReadWholeLog(path);
    EXPECT_TRUE(log.info.empty());
    EXPECT_EQ(log.samples.size(), 1u);
}

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
    CsvExport(path, dir.filePath("out.csv")).Run();
    EXPECT_EQ(ContentsOf(dir.filePath("out.csv")),
              "12/6/2026,bench\r\n9:00:00 AM,DC, V,1,\r\n9:00:00 AM,DC, V,2,\r\n");
    EXPECT_FALSE(QFile::exists(path + "-journal"));
}

TEST_F(LogFileTest, APathBeginningWithFileIsAPathNotAnAddress) {
    const QString cwd = QDir::currentPath();
    const auto back = qScopeGuard([&] { QDir::setCurrent(cwd); });
    QDir::setCurrent(dir.path());
    MakeLog(dir.filePath("other.qmx"), {{1.0f}});
    const QByteArray other = ContentsOf(dir.filePath("other.qmx"));
    LogCreation("file:other.qmx").Run();
    StoreSample(*std::make_unique<LogWriter>("file:other.qmx"),
                {"9:00:00 AM", "AC", " V", 5.0f, std::nullopt});
    EXPECT_EQ(ContentsOf(dir.filePath("other.qmx")), other) << "an existing file was written";
    EXPECT_EQ(ReadWholeLog(dir.filePath("file:other.qmx")).samples.size(), 1u);
}

} // namespace
