#include "logging/logwriter.h"

#include "logging/dberror.h"
#include "logging/logformat.h"
#include "logging/loglayout.h"

#include <QStringList>

#include <sqlite3.h>

namespace qmx {

namespace {

// A row that finds the file busy waits for the next save rather than hold up the display.
constexpr int kSaveWaitMs = 50;
constexpr int kLastWaitMs = 10000;

} // namespace

LogWriter::LogWriter(const QString& path) : db_(path, SqliteDb::Mode::ReadWrite) {
    // A rollback journal, and the folder synced after the journal is gone (EXTRA): a
    // stored row is in the file itself even after a power loss. Rows are only appended,
    // which needs a few pages at the end of the file: a small page cache keeps a run of
    // days from filling the engine's usual 2 MB with pages never read again.
    db_.Exec("PRAGMA journal_mode = DELETE; PRAGMA synchronous = EXTRA; PRAGMA cache_size = -128;");
    LogLayout::Check(db_);
}

LogWriter::~LogWriter() {
    try {
        StoreWaiting(kLastWaitMs);
    } catch (const DbError&) {
        // Nothing more can be done for them; the rows stored before stay.
    }
}

void LogWriter::AddNew() {
    if (!row_.Fields.isEmpty()) {
        Update();
    }
    row_ = {};
}

void LogWriter::SetField(const QString& name, const QVariant& value) {
    const LogFormat::Table* owner = nullptr;
    for (const LogFormat::Table* t : {&LogFormat::LogData(), &LogFormat::Info()}) {
        if (t->Find(name) != nullptr) {
            owner = t;
        }
    }
    if (owner == nullptr) {
        throw DbError(DbError::kEngineFailure, "no field named " + name);
    }
    if (!row_.Table.isEmpty() && row_.Table != owner->Name) {
        throw DbError(DbError::kEngineFailure, "a row cannot take fields of two tables");
    }
    row_.Table = owner->Name;
    const LogFormat::Column* column = owner->Find(name);
    row_.Fields[column->Name] = column->Type == LogFormat::kSingleType && !value.isNull()
                                    ? QVariant(double(value.toFloat()))
                                    : value;
}

void LogWriter::Update() {
    if (row_.Fields.isEmpty()) {
        return;
    }
    waiting_.push_back(std::move(row_));
    row_ = {};
    StoreWaiting(kSaveWaitMs);
}

void LogWriter::StoreWaiting(int waitMs) {
    if (waiting_.empty()) {
        return;
    }
    sqlite3_busy_timeout(db_.Handle(), waitMs);
    storeFirst(waiting_.size());
}

bool LogWriter::storeFirst(size_t n) {
    try {
        db_.Exec("BEGIN IMMEDIATE");
    } catch (const DbError& e) {
        if (e.Code == DbError::kLocked) {
            return false;
        }
        throw;
    }
    size_t stored = 0;
    try {
        for (; stored < n; ++stored) {
            insert(waiting_[stored]);
        }
        db_.Exec("COMMIT");
    } catch (const DbError& e) {
        if (sqlite3_get_autocommit(db_.Handle()) == 0) {
            db_.Exec("ROLLBACK");
        }
        if (e.Code == DbError::kLocked) {
            return false;
        }
        // The rows before the refused one are stored still; the rest are given up.
        if (stored > 0 && stored < n) {
            storeFirst(stored);
        }
        waiting_.clear();
        throw;
    }
    for (size_t i = 0; i < n; ++i) {
        samplesStored_ += waiting_.front().Table == LogFormat::LogData().Name ? 1 : 0;
        waiting_.pop_front();
    }
    return true;
}

void LogWriter::insert(const Row& row) {
    const QStringList names = row.Fields.keys();
    QStringList marks;
    for (qsizetype i = 0; i < names.size(); ++i) {
        marks << "?";
    }
    Statement insert = db_.Prepare("INSERT INTO " + row.Table + " (" + names.join(", ") +
                                   ") VALUES (" + marks.join(", ") + ")");
    int index = 1;
    for (const QString& name : names) {
        insert.Bind(index++, row.Fields.value(name));
    }
    insert.Step();
}

} // namespace qmx
