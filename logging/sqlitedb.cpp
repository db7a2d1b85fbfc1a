#include "logging/sqlitedb.h"

#include "logging/dberror.h"

#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>
#include <sys/stat.h>

namespace qmx {

namespace {

constexpr int kBusyTimeoutMs = 2000;

[[noreturn]] void fail(sqlite3* db, int rc) {
    const int err = db != nullptr ? sqlite3_system_errno(db) : 0;
    const QString detail =
        QString::fromUtf8(db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
    throw DbError(DbError::CodeForSqlite(rc, err), detail);
}

// Opening a pipe or a device would wait for a writer or talk to the device: only a
// regular file (after links are followed) is opened, and only a regular journal beside it.
void requireRegularFile(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) {
        return; // a missing file is reported by the open itself
    }
    if (S_ISDIR(st.st_mode)) {
        throw DbError(DbError::kNotALogFile, "it is a folder, not a log file");
    }
    if (!S_ISREG(st.st_mode)) {
        throw DbError(DbError::kNotALogFile, "it is not a regular file but a pipe or a device");
    }
}

sqlite3* openFile(const QString& path, int flags) {
    requireRegularFile(path);
    requireRegularFile(path + "-journal");
    sqlite3* raw = nullptr;
    // Without SQLITE_OPEN_URI and by absolute path, a name beginning with "file:" is a name.
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &raw,
                                   flags | SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_EXRESCODE, nullptr);
    if (rc != SQLITE_OK) {
        const std::unique_ptr<sqlite3, int (*)(sqlite3*)> closer(raw, &sqlite3_close_v2);
        fail(raw, rc);
    }
    // A log is data: its schema may not run code, views or triggers of its own making.
    sqlite3_db_config(raw, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(raw, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    sqlite3_db_config(raw, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr);
    sqlite3_db_config(raw, SQLITE_DBCONFIG_ENABLE_VIEW, 0, nullptr);
    sqlite3_busy_timeout(raw, kBusyTimeoutMs);
    return raw;
}

int flagsFor(SqliteDb::Mode mode) {
    switch (mode) {
    case SqliteDb::Mode::ReadWrite:
        return SQLITE_OPEN_READWRITE;
    case SqliteDb::Mode::Create:
        return SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    case SqliteDb::Mode::ReadOnly:
        break;
    }
    return SQLITE_OPEN_READONLY;
}

constexpr const char* kFirstRead = "SELECT count(*) FROM sqlite_schema";

} // namespace

void Statement::finalize(sqlite3_stmt* s) {
    sqlite3_finalize(s);
}

Statement& Statement::Bind(int index, qint64 value) {
    return check(sqlite3_bind_int64(stmt_.get(), index, value));
}

Statement& Statement::Bind(int index, double value) {
    return check(sqlite3_bind_double(stmt_.get(), index, value));
}

Statement& Statement::Bind(int index, const QString& value) {
    const QByteArray text = value.toUtf8();
    return check(sqlite3_bind_text(stmt_.get(), index, text.constData(), int(text.size()),
                                   SQLITE_TRANSIENT));
}

Statement& Statement::Bind(int index, std::nullopt_t) {
    return check(sqlite3_bind_null(stmt_.get(), index));
}

Statement& Statement::check(int rc) {
    if (rc != SQLITE_OK) {
        fail(db_, rc);
    }
    return *this;
}

bool Statement::Step() {
    const int rc = sqlite3_step(stmt_.get());
    if (rc == SQLITE_ROW) {
        return true;
    }
    if (rc == SQLITE_DONE) {
        return false;
    }
    sqlite3_reset(stmt_.get());
    fail(db_, rc);
}

void Statement::Reset() {
    sqlite3_reset(stmt_.get());
    sqlite3_clear_bindings(stmt_.get());
}

QVariant Statement::Column(int index) const {
    sqlite3_stmt* s = stmt_.get();
    switch (sqlite3_column_type(s, index)) {
    case SQLITE_NULL:
        return {};
    case SQLITE_INTEGER:
        return QVariant(qlonglong(sqlite3_column_int64(s, index)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(s, index));
    default: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(s, index));
        return QVariant(QString::fromUtf8(text, sqlite3_column_bytes(s, index)));
    }
    }
}

qint64 Statement::Int(int index) const {
    return sqlite3_column_int64(stmt_.get(), index);
}

bool Statement::IsNull(int index) const {
    return sqlite3_column_type(stmt_.get(), index) == SQLITE_NULL;
}

bool Statement::IsNumber(int index) const {
    const int type = sqlite3_column_type(stmt_.get(), index);
    return type == SQLITE_INTEGER || type == SQLITE_FLOAT;
}

double Statement::Double(int index) const {
    return sqlite3_column_double(stmt_.get(), index);
}

QByteArray Statement::Bytes(int index) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_.get(), index));
    return QByteArray(text, sqlite3_column_bytes(stmt_.get(), index));
}

SqliteDb::SqliteDb(const QString& path, Mode mode) : path_(path), db_(nullptr, &sqlite3_close_v2) {
    if (path.isEmpty()) {
        throw DbError(DbError::kFileNotFound, "no file name given");
    }
    const QString absolute = QFileInfo(path).absoluteFilePath();
    db_.reset(openFile(absolute, flagsFor(mode)));
    if (mode != Mode::ReadOnly) {
        return;
    }
    // A journal left by a crash must be rolled back before the file can be read, which a
    // reader may not do: a writer does it once, and the file is read as it was.
    const int rc = sqlite3_exec(db_.get(), kFirstRead, nullptr, nullptr, nullptr);
    if (rc == SQLITE_READONLY_ROLLBACK) {
        db_.reset();
        SqliteDb(absolute, Mode::ReadWrite).Exec(kFirstRead);
        db_.reset(openFile(absolute, flagsFor(mode)));
    }
}

void SqliteDb::Exec(const QString& sql) {
    char* message = nullptr;
    const int rc = sqlite3_exec(db_.get(), sql.toUtf8().constData(), nullptr, nullptr, &message);
    sqlite3_free(message);
    if (rc != SQLITE_OK) {
        fail(db_.get(), rc);
    }
}

Statement SqliteDb::Prepare(const QString& sql) {
    sqlite3_stmt* stmt = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    const int rc =
        sqlite3_prepare_v2(db_.get(), utf8.constData(), int(utf8.size()), &stmt, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(stmt);
        fail(db_.get(), rc);
    }
    return Statement(db_.get(), stmt);
}

void SqliteDb::Fail(int rc) const {
    fail(db_.get(), rc);
}

} // namespace qmx
