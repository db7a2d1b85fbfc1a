#pragma once

#include "logging/samplerow.h"

#include <QDate>
#include <QObject>
#include <QString>
#include <QTime>
#include <QTimer>

#include <deque>
#include <functional>
#include <memory>

namespace qmx {

class LogWriter;
class ReadingModel;

// A logging run: the log being written, the sampling timer and its interval, the count of
// samples stored and whether the run is on. Each tick of the timer stores the reading shown
// now as one row. While another program holds the log, rows wait in order and are stored
// once it is free (StoreWaiting); each row is reported once it is on disk. A row that cannot
// be stored ends the run with Failed; the rows stored before stay in the file.
class LoggingRun : public QObject {
    Q_OBJECT
public:
    // The rows are those of the reading as shown, stamped with now().
    LoggingRun(const ReadingModel& reading, std::function<QTime()> now);
    ~LoggingRun() override;

    // Opens the new log at LogFilePath and stores the run's header row. False, after
    // Failed, when it cannot.
    bool Open(QDate date, const QString& description);
    // Takes a row now and then one every LogIntervalMs.
    void Start();
    // Ends the run; the log stays open for the rows still waiting, until the next run.
    void Stop();
    // Closes the log, storing the rows still waiting (waiting a while for a busy log).
    void Close();

    // One row of the reading shown now; nothing while the meter is silent.
    void GetRowofData();
    // Stores the rows that found the log busy, waiting up to waitMs for it.
    void StoreWaiting(int waitMs = 0);

    [[nodiscard]] bool IsOpen() const { return Adodc1 != nullptr; }
    // Rows waiting for a busy log.
    [[nodiscard]] qsizetype Waiting() const;
    // Samples taken in this run, stored or waiting.
    [[nodiscard]] qint64 RowsTaken() const { return SampleCount + qint64(unreported_.size()); }

    QString LogFilePath;
    qint32 LogIntervalMs = 1000;
    qint32 SampleCount = 0; // samples stored in this run's log
    bool LoggingActive = false;
    bool DbCreateFailed = false;
    QTimer tmrLogClock;
    std::unique_ptr<LogWriter> Adodc1; // the log being written, open until the next run

signals:
    // A row is about to be taken: a slot may still put another log in place for it.
    void RowDue();
    // A sample row is on disk; count is the samples stored so far.
    void RowSaved(const SampleRow& row, qint32 count);
    // A row could not be stored; the run has ended. The message says why, for the user.
    void Failed(const QString& message);

private:
    void store(const std::function<void()>& save);
    void reportStored();

    const ReadingModel& reading_;
    std::function<QTime()> now_;
    std::deque<SampleRow> unreported_; // taken, not yet reported as stored
};

} // namespace qmx
