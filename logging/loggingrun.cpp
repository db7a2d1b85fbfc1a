#include "logging/loggingrun.h"

#include "display/readingmodel.h"
#include "logging/dberror.h"
#include "logging/logmessages.h"
#include "logging/logwriter.h"

namespace qmx {

LoggingRun::LoggingRun(const ReadingModel& reading, std::function<QTime()> now)
    : reading_(reading), now_(std::move(now)) {
    tmrLogClock.setInterval(LogIntervalMs);
    connect(&tmrLogClock, &QTimer::timeout, this, &LoggingRun::GetRowofData);
}

LoggingRun::~LoggingRun() = default;

bool LoggingRun::Open(QDate date, const QString& description) {
    SampleCount = 0;
    unreported_.clear();
    try {
        Adodc1 = std::make_unique<LogWriter>(LogFilePath);
        StoreInfo(*Adodc1, date, description);
    } catch (const DbError& e) {
        Stop();
        emit Failed(LogMessages::RecordingFailedText(LogFilePath, e.Detail, 0));
        return false;
    }
    return true;
}

void LoggingRun::Start() {
    LoggingActive = true;
    tmrLogClock.setInterval(LogIntervalMs);
    tmrLogClock.start();
}

void LoggingRun::Stop() {
    LoggingActive = false;
    tmrLogClock.stop();
}

void LoggingRun::Close() {
    Adodc1.reset();
}

qsizetype LoggingRun::Waiting() const {
    return Adodc1 ? Adodc1->Waiting() : 0;
}

void LoggingRun::GetRowofData() {
    emit RowDue();
    const auto row =
        BuildSampleRow(reading_.ShownLine, reading_.DbuText, reading_.CurrentDbu, now_());
    if (!row || !Adodc1) {
        return;
    }
    unreported_.push_back(*row);
    store([&] { StoreSample(*Adodc1, *row); });
}

void LoggingRun::StoreWaiting(int waitMs) {
    if (Waiting() > 0) {
        store([&] { Adodc1->StoreWaiting(waitMs); });
    }
}

void LoggingRun::store(const std::function<void()>& save) {
    try {
        save();
    } catch (const DbError& e) {
        // The rows saved before stay in the file; the run ends here.
        reportStored();
        unreported_.clear();
        Stop();
        emit Failed(LogMessages::RecordingFailedText(Adodc1->Path(), e.Detail, SampleCount));
        return;
    }
    reportStored();
}

void LoggingRun::reportStored() {
    const qint64 stored = Adodc1->SamplesStored();
    for (; SampleCount < stored && !unreported_.empty(); unreported_.pop_front()) {
        ++SampleCount;
        emit RowSaved(unreported_.front(), SampleCount);
    }
}

} // namespace qmx
