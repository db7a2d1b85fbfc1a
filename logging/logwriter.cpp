#include "logging/logwriter.h"

#include "logging/dberror.h"
#include "logging/loglayout.h"

#include <sqlite3.h>

namespace qmx {

namespace {

// A row that finds the file busy waits for the next save rather than hold up the display.
constexpr int kSaveWaitMs = 50;
constexpr int kLastWaitMs = 10000;

constexpr auto kInsertSample =
    "INSERT INTO LogData (TimeStamp, Type, Units, Value, dBu) VALUES (?, ?, ?, ?, ?)";

// Sets the writer's connection up and checks the file's tables before the statements
// that name them are prepared.
Statement prepareChecked(SqliteDb& db, const QString& sql) {
    // A rollback journal, and the folder synced after the journal is gone (EXTRA): a
    // stored row is in the file itself even after a power loss. Rows are only appended,
    // which needs a few pages at the end of the file: a small page cache keeps a run of
    // days from filling the engine's usual 2 MB with pages never read again.
    db.Exec("PRAGMA journal_mode = DELETE; PRAGMA synchronous = EXTRA; PRAGMA cache_size = -128;");
    LogLayout::Check(db);
    return db.Prepare(sql);
}

} // namespace

LogWriter::LogWriter(const QString& path)
    : db_(path, SqliteDb::Mode::ReadWrite), insertSample_(prepareChecked(db_, kInsertSample)),
      insertInfo_(db_.Prepare("INSERT INTO Info (Date, Description) VALUES (?, ?)")) {}

LogWriter::~LogWriter() {
    try {
        StoreWaiting(kLastWaitMs);
    } catch (const DbError&) {
        // Nothing more can be done for them; the rows stored before stay.
    }
}

void LogWriter::Add(const SampleRow& sample) {
    add(sample);
}

void LogWriter::Add(const LogHeader& header) {
    add(header);
}

void LogWriter::add(Row row) {
    waiting_.push_back(std::move(row));
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
        samplesStored_ += std::holds_alternative<SampleRow>(waiting_.front()) ? 1 : 0;
        waiting_.pop_front();
    }
    return true;
}

void LogWriter::insert(const Row& row) {
    if (const auto* sample = std::get_if<SampleRow>(&row)) {
        insertSample_.Reset();
        insertSample_.Bind(1, sample->TimeStamp).Bind(2, sample->Type).Bind(3, sample->Units);
        insertSample_.Bind(4, sample->Value).Bind(5, sample->Dbu).Step();
        return;
    }
    const auto& header = std::get<LogHeader>(row);
    insertInfo_.Reset();
    insertInfo_.Bind(1, header.Date).Bind(2, header.Description).Step();
}

} // namespace qmx
