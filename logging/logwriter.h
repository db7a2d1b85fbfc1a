#pragma once

#include "logging/sqlitedb.h"

#include <QMap>
#include <QString>
#include <QVariant>

#include <deque>

namespace qmx {

// The writer's row set over a log file (both tables): a new row takes fields of one
// table and is stored in that table when saved. Every stored row is on disk, so it
// survives a crash or a power loss. While another program holds the file (reading it in
// a long transaction), saved rows wait, in order, and are stored with the next save or
// StoreWaiting once the file is free: a busy file never loses or refuses a row. Any other
// failure throws DbError; the rows still waiting then are dropped.
class LogWriter {
public:
    explicit LogWriter(const QString& path);
    // Waits a while for the file to store the rows still waiting.
    ~LogWriter();
    LogWriter(const LogWriter&) = delete;
    LogWriter& operator=(const LogWriter&) = delete;

    // Starts a new row; unsaved fields of the previous row are saved first.
    void AddNew();
    void SetField(const QString& name, const QVariant& value);
    // Saves the row: stores it, and every row waiting before it, unless the file is busy.
    void Update();
    // Stores the waiting rows, waiting up to waitMs for a busy file.
    void StoreWaiting(int waitMs = 0);

    [[nodiscard]] QString Path() const { return db_.Path(); }
    // The samples (LogData rows) stored in the file so far, and the rows waiting.
    [[nodiscard]] qint64 SamplesStored() const { return samplesStored_; }
    [[nodiscard]] qsizetype Waiting() const { return qsizetype(waiting_.size()); }

private:
    struct Row {
        QString Table;
        QMap<QString, QVariant> Fields;
    };
    // Stores the first n waiting rows in one transaction; false when the file is busy.
    bool storeFirst(size_t n);
    void insert(const Row& row);

    SqliteDb db_;
    Row row_;
    std::deque<Row> waiting_;
    qint64 samplesStored_ = 0;
};

} // namespace qmx
