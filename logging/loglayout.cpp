#include "logging/loglayout.h"

#include "logging/dberror.h"
#include "logging/logformat.h"

namespace qmx {

namespace {

[[noreturn]] void refuse(const QString& why) {
    throw DbError(DbError::kNotALogFile, why);
}

void checkTable(SqliteDb& db, const LogFormat::Table& table) {
    Statement kind = db.Prepare("SELECT type, sql LIKE 'CREATE VIRTUAL%' FROM sqlite_schema "
                                "WHERE name = ? COLLATE NOCASE");
    kind.Bind(1, table.Name);
    if (!kind.Step()) {
        refuse("the log has no table " + table.Name);
    }
    if (kind.Column(0).toString() != "table" || kind.Int(1) != 0) {
        refuse(table.Name + " is a " + kind.Column(0).toString() + ", not a table of values");
    }
    Statement columns = db.Prepare("SELECT hidden FROM pragma_table_xinfo(?) WHERE name = ? "
                                   "COLLATE NOCASE");
    for (const LogFormat::Column& c : table.Columns) {
        columns.Reset();
        columns.Bind(1, table.Name).Bind(2, c.Name);
        if (!columns.Step()) {
            refuse(table.Name + " has no column " + c.Name);
        }
        if (columns.Int(0) != 0) {
            refuse(table.Name + "." + c.Name + " is computed, not stored");
        }
    }
    try {
        (void)db.Prepare("SELECT rowid FROM " + table.Name + " LIMIT 0");
    } catch (const DbError&) {
        refuse(table.Name + " keeps no order of its rows (a table without rowid)");
    }
}

} // namespace

namespace LogLayout {

void Check(SqliteDb& db) {
    // Our logs carry the program's application id; one without an id (0) may have been
    // made or copied by other tools and is read when its tables are a log's. An id of
    // another program says the file is that program's, whatever its tables look like.
    Statement id = db.Prepare("PRAGMA application_id");
    const qint64 applicationId = id.Step() ? id.Int(0) : 0;
    if (applicationId != 0 && applicationId != LogFormat::kApplicationId) {
        refuse(QString("it is a file of another program (application id 0x%1), not a log")
                   .arg(quint32(applicationId), 8, 16, QChar('0')));
    }
    checkTable(db, LogFormat::LogData());
    checkTable(db, LogFormat::Info());
}

bool HasTriggers(SqliteDb& db) {
    Statement triggers = db.Prepare("SELECT 1 FROM sqlite_schema WHERE type = 'trigger'");
    return triggers.Step();
}

std::unique_ptr<SqliteDb> OpenForReading(const QString& path) {
    auto db = std::make_unique<SqliteDb>(path, SqliteDb::Mode::ReadOnly);
    Check(*db);
    return db;
}

} // namespace LogLayout

} // namespace qmx
