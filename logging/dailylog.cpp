#include "logging/dailylog.h"

#include "logging/dberror.h"
#include "logging/logcreation.h"
#include "logging/loggingrun.h"
#include "platform/clock.h"

#include <QDeadlineTimer>

#include <chrono>

namespace qmx {

namespace {

using namespace std::chrono_literals;

// How long the old log may be held by another program at the switch before the run
// gives up (its rows are then still stored at the end, if the log becomes free).
constexpr std::chrono::milliseconds kSwitchWait = 30s;
constexpr int kStoreWaitMs = 1000;

QString nameFor(QDate day, int attempt) {
    const QString date = day.toString(Qt::ISODate);
    return (attempt == 1 ? date : date + "-" + QString::number(attempt)) + ".qmx";
}

} // namespace

DailyLog::DailyLog(LoggingRun& run, const Clock& clock, const QString& folder, QString comment)
    : run_(run), clock_(clock), folder_(folder), comment_(std::move(comment)) {
    // Before the row is taken, so the row sampled at the switch is the new log's first.
    connect(&run_, &LoggingRun::RowDue, this, &DailyLog::switchWhenTheDayChanged);
}

bool DailyLog::Open() {
    if (!folder_.mkpath(".")) {
        emit Failed("cannot make the folder " + folder_.path());
        return false;
    }
    return openDay(clock_.Today());
}

void DailyLog::switchWhenTheDayChanged() {
    const QDate today = clock_.Today();
    if (today == day_ || !run_.IsOpen()) {
        return;
    }
    if (finishDay()) {
        openDay(today);
    }
}

// The rows that found the old log busy are stored before it closes: none is lost.
bool DailyLog::finishDay() {
    const QDeadlineTimer deadline(kSwitchWait);
    while (run_.Waiting() > 0 && !deadline.hasExpired()) {
        run_.StoreWaiting(kStoreWaitMs);
    }
    if (run_.Waiting() > 0) {
        run_.Stop();
        emit Failed(run_.LogFilePath + ": another program holds the log; " +
                    QString::number(run_.Waiting()) + " rows wait to be stored");
        return false;
    }
    earlier_ += run_.SampleCount;
    run_.Close();
    return true;
}

bool DailyLog::openDay(QDate day) {
    for (int attempt = 1;; ++attempt) {
        const QString path = folder_.filePath(nameFor(day, attempt));
        LogCreation creation(path);
        try {
            creation.Run();
        } catch (const DbError& e) {
            if (e.Code == DbError::kFileExists) {
                continue;
            }
            creation.RemoveMadeFile();
            run_.Stop();
            emit Failed("cannot create " + path + ": " + e.Detail);
            return false;
        }
        run_.LogFilePath = path;
        day_ = day;
        if (!run_.Open(day, comment_)) {
            creation.RemoveMadeFile();
            return false;
        }
        return true;
    }
}

} // namespace qmx
