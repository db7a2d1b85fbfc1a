#include "logging/dberror.h"
#include "logging/logcreation.h"
#include "logging/logrowset.h"
#include "logging/logwriter.h"
#include "logging/samplerow.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sqlite3.h>

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
    auto db = open();
    EXPECT_EQ(LogRowSet(db, "SELECT * FROM LogData").RecordCount(), 0);
    EXPECT_EQ(LogRowSet(db, "SELECT * FROM Info").RecordCount(), 0);
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
    EXPECT_EQ(LogRowSet(std::make_shared<SqliteDb>(folder + "/run.qmx", SqliteDb::Mode::ReadOnly),
                        "SELECT * FROM LogData")
                  .RecordCount(),
              0);
}

TEST_F(LogFileTest, WriterStoresEachRowInTheTableItsFieldsBelongTo) {
    LogCreation(path).Run();
    {
        LogWriter writer(path);
        writer.AddNew();
        writer.SetField("Date", "12/6/2026");
        writer.SetField("Description", "bench supply");
        writer.AddNew(); // stores the Info row first
        writer.SetField("TimeStamp", "9:05:03 AM");
        writer.SetField("Type", "DC");
        writer.SetField("Units", " V");
        writer.SetField("value", 1.25f);
        writer.Update();
    }
    auto db = open();
    LogRowSet info(db, "SELECT * FROM Info");
    ASSERT_EQ(info.RecordCount(), 1);
    EXPECT_EQ(info.Field("Description").toString(), "bench supply");
    LogRowSet data(db, "select * from logdata");
    ASSERT_EQ(data.RecordCount(), 1);
    EXPECT_FLOAT_EQ(data.Field("Value").toFloat(), 1.25f);
    EXPECT_TRUE(data.IsNull("dBu"));
    EXPECT_EQ(data.Field("Units").toString(), " V");
}

TEST_F(LogFileTest, WidthsAndRequiredFieldsAreEnforced) {
    LogCreation(path).Run();
    LogWriter writer(path);
    writer.AddNew();
    writer.SetField("TimeStamp", "10:00:00 AM");
    writer.SetField("Type", "TOOLONG");
    EXPECT_EQ(errorCodeOf([&] { writer.Update(); }), DbError::kFieldTooSmall);
    writer.AddNew();
    writer.SetField("Type", "DC");
    EXPECT_EQ(errorCodeOf([&] { writer.Update(); }), DbError::kNullNotAllowed);
    writer.AddNew();
    writer.SetField("Date", "1/1/2027");
    writer.SetField("Description", QString(256, 'x'));
    EXPECT_EQ(errorCodeOf([&] { writer.Update(); }), DbError::kFieldTooSmall);
    EXPECT_EQ(LogRowSet(open(), "SELECT * FROM LogData").RecordCount(), 0);
}

TEST_F(LogFileTest, ASavedRowIsDurable) {
    LogCreation(path).Run();
    LogWriter writer(path);
    Statement mode = open()->Prepare("PRAGMA journal_mode");
    mode.Step();
    EXPECT_EQ(mode.Column(0).toString(), "delete");
    // Another connection sees each row as soon as it is saved: nothing waits in a buffer.
    StoreSample(writer, {"9:00:00 AM", "DC", " V", 1.0f, std::nullopt});
    EXPECT_EQ(LogRowSet(open(), "SELECT * FROM LogData").RecordCount(), 1);
    EXPECT_FALSE(QFile::exists(path + "-journal"));
}

} // namespace
