#include "logging/runcontrol.h"

#include "meter/readnumber.h"
#include "platform/linebreak.h"

#include <QLocale>

#include <cmath>

namespace qmx {

namespace RunControl {

namespace {

constexpr int kSecondsPerDay = 24 * 60 * 60;
// A gap this long between two ticks is a clock change, not a late tick.
constexpr int kLongestLateTickS = 60 * 60;
} // namespace

QTime ParseTimeOfDay(const QString& text) {
    return QLocale::c().toTime(text.trimmed(), "hh:mm:ss AP");
}

bool IsTimeOfDay(const QString& text) {
    return ParseTimeOfDay(text).isValid();
}

QString CorrectedInterval(const QString& text) {
    const double seconds = ReadNumber(text);
    if (seconds < kShortestIntervalS) {
        return "0.5";
    }
    if (seconds > kLongestIntervalS) {
        return "60.0";
    }
    return text;
}

qint32 IntervalMs(const QString& text) {
    const double ms = ReadNumber(text) * 1000.0;
    if (!(std::fabs(ms) < 2e9)) {
        return ms > 0 ? qint32(kLongestIntervalS * 1000) : 0;
    }
    return qint32(std::nearbyint(ms));
}

QString IntervalText(qint32 ms) {
    return QString::number(ms / 1000.0, 'g', 10);
}

bool TimeReached(const QString& target, const QString& previousClock, const QString& clock) {
    if (target == clock) {
        return true;
    }
    const QTime t = ParseTimeOfDay(target);
    const QTime before = ParseTimeOfDay(previousClock);
    const QTime now = ParseTimeOfDay(clock);
    if (!t.isValid() || !before.isValid() || !now.isValid()) {
        return false;
    }
    const auto since = [&](QTime x) {
        return (before.secsTo(x) + kSecondsPerDay) % kSecondsPerDay;
    };
    const int elapsed = since(now);
    const int due = since(t);
    return elapsed < kLongestLateTickS && due > 0 && due <= elapsed;
}

QString CompletionText(const QString& path, qint32 samples) {
    return "Your Timed Sampling Session Completed Successfully!" + kCrLf + kCrLf +
           "Your Data can be found in the following file:" + kCrLf + path + kCrLf + kCrLf +
           "It contains " + QString::number(samples) + " samples." + kCrLf + kCrLf;
}

QString FileExistsText(const QString& path) {
    return "File " + path + " exists already." + kCrLf + kCrLf +
           "Cannot OverWrite! Create another file or delete this one...";
}

} // namespace RunControl

} // namespace qmx
