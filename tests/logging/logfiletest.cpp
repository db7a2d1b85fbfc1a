// A log file made, written and read: its tables, the creation's refusals and its box, the
// writer's rules, and files that are no log or that a crash or a path could turn against us.
#include "tests/support/fakes.h"
#include "tests/support/logmaker.h"
#include "tests/support/testfiles.h"

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

class CreateLogDatabaseTest : public LogFileTest {
protected:
    ScriptedDialogs dialogs;
    int ended = 0;
    std::function<void()> endProgram = [this] { ++ended; };
};

// A log that cannot be made: the box names the fault and the path, Cancel ends the program
// and an existing file stays as it was. Retry without a change asks again; Retry once the
// fault is mended makes the log.
TEST_F(CreateLogDatabaseTest, RefusalsNameTheFaultAndRetryAfterTheFixSucceeds) {
    const QString gone = dir.filePath("gone/Test.qmx"), locked = dir.filePath("locked/Test.qmx");
    QDir(dir.path()).mkdir("locked");
    QFile::setPermissions(dir.filePath("locked"), QFile::ReadOwner | QFile::ExeOwner);
    WriteFile(path, "my notes");
    const std::pair<QString, QString> refusals[] = {
        {path,
         "Database Already Exists!\r\n\r\nRemove " + path + ",\r\nor choose another Name...."},
        {gone, "Path Doesn't Exist! - " + gone +
                   "\r\n\r\nCheck Path, and/or create the Parent Folder manually...."},
        {locked, "File or Media is Write Protected..."}};
    for (const auto& [log, reason] : refusals) {
        if (log == locked && geteuid() == 0) {
            continue; // root writes into a locked folder
        }
        dialogs.boxes.clear();
        EXPECT_FALSE(CreateLogDatabase(log, dialogs, endProgram));
        ASSERT_EQ(dialogs.boxes.size(), 1u);
        EXPECT_EQ(dialogs.boxes[0].text,
                  "\r\n" + reason +
                      "\r\n\r\nIf the error has been corrected, click "
                      "'Retry',\r\notherwise click 'Cancel' to Exit Program.");
    }
    EXPECT_EQ(ended, geteuid() == 0 ? 2 : 3);
    EXPECT_EQ(ContentsOf(path), "my notes");
    dialogs.boxes.clear();
    dialogs.answers = {Dialogs::Answer::Retry, Dialogs::Answer::Retry};
    dialogs.whileBoxIsOpen = [&] { // the user makes the folder while the second box is open
        if (dialogs.boxes.size() == 2) {
            QDir().mkpath(dir.filePath("gone"));
        }
    };
    EXPECT_TRUE(CreateLogDatabase(gone, dialogs, endProgram));
    ASSERT_EQ(dialogs.boxes.size(), 2u);
    EXPECT_EQ(dialogs.boxes[0].text, dialogs.boxes[1].text);
    EXPECT_TRUE(ReadWholeLog(gone).samples.empty());
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

// A new log carries the program's application id. Each row is on disk once stored (another
// connection sees it, no journal waits); a text too long or a required field left empty is
// refused and stores nothing.
TEST_F(LogFileTest, ANewLogIsMarkedAndItsWriterSavesEachRowAtOnceWithinTheColumnsWidths) {
    LogCreation(path).Run();
    EXPECT_TRUE(ReadWholeLog(path).samples.empty());
    EXPECT_EQ(pragma("application_id"), QString::number(0x514D584C));
    EXPECT_EQ(pragma("user_version"), "1");
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

// Readers refuse at once, naming the fault: nothing of the file's own runs or blocks. A
// special file (a pipe, a folder) has no schema.
TEST_F(LogFileTest, HostileLogsAreRefusedNamingWhy) {
    const struct {
        const char* name;
        const char* schema;
        const char* why;
    } logs[] = {{"view",
                 "CREATE TABLE Info (Date, Description); CREATE VIEW LogData AS SELECT "
                 "'9:00:00 AM' AS TimeStamp, 'DC' AS Type, ' V' AS Units, 1 AS Value, NULL AS dBu",
                 "LogData is a view, not a table of values"},
                {"nodbu",
                 "CREATE TABLE Info (Date, Description);"
                 "CREATE TABLE LogData (TimeStamp, Type, Units, Value)",
                 "LogData has no column dBu"},
                {"computed",
                 "CREATE TABLE Info (Date, Description); CREATE TABLE LogData (TimeStamp, "
                 "Type, Units, dBu, Value AS (length(zeroblob(1000000000))))",
                 "LogData.Value is computed, not stored"},
                {"noinfo", "CREATE TABLE LogData (TimeStamp, Type, Units, Value, dBu)",
                 "the log has no table Info"},
                {"other",
                 "PRAGMA application_id = 1196444487; CREATE TABLE Info (Date, Description);"
                 "CREATE TABLE LogData (TimeStamp, Type, Units, Value, dBu)",
                 "it is a file of another program (application id 0x47504b47), not a log"},
                {"pipe", nullptr, "it is not a regular file but a pipe or a device"},
                {"folder", nullptr, "it is a folder, not a log file"}};
    for (const auto& h : logs) {
        SCOPED_TRACE(h.name);
        const QString file = dir.filePath(h.name);
        if (h.schema != nullptr) {
            SqliteDb(file, SqliteDb::Mode::Create).Exec(h.schema);
        } else {
            ASSERT_EQ(QString(h.name) == "pipe" ? ::mkfifo(QFile::encodeName(file), 0600)
                                                : ::mkdir(QFile::encodeName(file), 0700),
                      0);
        }
        try {
            (void)LogSummary::Read(file);
            ADD_FAILURE() << "read as a log";
        } catch (const DbError& e) {
            EXPECT_EQ(e.Code, DbError::kNotALogFile);
            EXPECT_EQ(e.Detail, h.why);
        }
    }
}

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
