#pragma once

#include "logging/logrecord.h"
#include "logging/samplerow.h"
#include "logging/sqlitedb.h"

#include <QString>

#include <deque>
#include <variant>

namespace qmx {

// Appends rows to a log file: samples to LogData, the run's header to Info. Every stored
// row is on disk, so it survives a crash or a power loss. While another program holds the
// file (reading it in a long transaction), added rows wait, in order, and are stored with
// the next addition or StoreWaiting once the file is free: a busy file never loses or
// refuses a row. Any other failure throws DbError; the rows still waiting then are dropped.
class LogWriter {
public:
    explicit LogWriter(const QString& path);
    // Waits a while for the file to store the rows still waiting.
    ~LogWriter();
    LogWriter(const LogWriter&) = delete;
    LogWriter& operator=(const LogWriter&) = delete;

    // Stores the row, and every row waiting before it, unless the file is busy.
    void Add(const SampleRow& sample);
    void Add(const LogHeader& header);
    // Stores the waiting rows, waiting up to waitMs for a busy file.
    void StoreWaiting(int waitMs = 0);

    [[nodiscard]] QString Path() const { return db_.Path(); }
    // The samples (LogData rows) stored in the file so far, and the rows waiting.
    [[nodiscard]] qint64 SamplesStored() const { return samplesStored_; }
    [[nodiscard]] qsizetype Waiting() const { return qsizetype(waiting_.size()); }

private:
    using Row = std::variant<SampleRow, LogHeader>;
    void add(Row row);
    // Stores the first n waiting rows in one transaction; false when the file is busy.
    bool storeFirst(size_t n);
    void insert(const Row& row);

    SqliteDb db_;
    Statement insertSample_;
    Statement insertInfo_;
    std::deque<Row> waiting_;
    qint64 samplesStored_ = 0;
};

} // namespace qmx
