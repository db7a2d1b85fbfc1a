#include "logging/sqlitedb.h"

#include "logging/dberror.h"

#include <sqlite3.h>

namespace {

constexpr int kBusyTimeoutMs = 2000;

[[noreturn]] void fail(sqlite3* db, int rc) {
    const int err = db != nullptr ? sqlite3_system_errno(db) : 0;
    const QString detail =
        QString::fromUtf8(db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
    throw DbError(DbError::CodeForSqlite(rc, err), detail);
}

} // namespace

void Statement::finalize(sqlite3_stmt* s) {
    sqlite3_finalize(s);
}

Statement& Statement::Bind(int index, const QVariant& value) {
    int rc;
    if (value.isNull()) {
        rc = sqlite3_bind_null(stmt_.get(), index);
    } else if (value.typeId() == QMetaType::Float || value.typeId() == QMetaType::Double) {
        rc = sqlite3_bind_double(stmt_.get(), index, value.toDouble());
    } else if (value.typeId() == QMetaType::Int || value.typeId() == QMetaType::LongLong) {
        rc = sqlite3_bind_int64(stmt_.get(), index, value.toLongLong());
    } else {
        const QByteArray text = value.toString().toUtf8();
        rc = sqlite3_bind_text(stmt_.get(), index, text.constData(), int(text.size()),
                               SQLITE_TRANSIENT);
    }
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
    int flags = SQLITE_OPEN_READONLY;
    if (mode == Mode::ReadWrite) {
        flags = SQLITE_OPEN_READWRITE;
    } else if (mode == Mode::Create) {
        flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    }
    sqlite3* raw = nullptr;
    const int rc =
        sqlite3_open_v2(path.toUtf8().constData(), &raw, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    db_.reset(raw);
    if (rc != SQLITE_OK) {
        fail(raw, rc);
    }
    sqlite3_extended_result_codes(raw, 1);
    sqlite3_busy_timeout(raw, kBusyTimeoutMs);
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
