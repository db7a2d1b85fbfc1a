#pragma once

#include <QDate>
#include <QDir>
#include <QObject>
#include <QString>

namespace qmx {

class Clock;
class LoggingRun;

// Keeps a logging run writing one log a day into a folder, each log named by its day:
// 2026-12-06.qmx, or 2026-12-06-2.qmx (-3, ...) when that name is taken, as after a
// restart on the same day. The first row sampled on a new day goes into that day's new
// log, so every row lands in exactly one log. A log that cannot be made, or rows the old
// log cannot take before the switch, end the run with Failed.
class DailyLog : public QObject {
    Q_OBJECT
public:
    DailyLog(LoggingRun& run, const Clock& clock, const QString& folder, QString comment);

    // Makes the folder if needed and opens today's log. False, after Failed, when it cannot.
    bool Open();
    // The samples stored in the logs of the days before the current one.
    [[nodiscard]] qint64 EarlierSamples() const { return earlier_; }

signals:
    void Failed(const QString& message);

private:
    void switchWhenTheDayChanged();
    bool openDay(QDate day);
    bool finishDay();

    LoggingRun& run_;
    const Clock& clock_;
    QDir folder_;
    QString comment_;
    QDate day_;
    qint64 earlier_ = 0;
};

} // namespace qmx
