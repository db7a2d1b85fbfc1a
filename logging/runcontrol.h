#pragma once

#include <QString>
#include <QTime>

namespace qmx {

// The rules of the logging window that need no widgets: the interval field, the clock
// times of a timed run and the texts the window shows.
namespace RunControl {

constexpr double kShortestIntervalS = 0.5;
constexpr double kLongestIntervalS = 60.0;
inline const QString kTimeMask = QStringLiteral("##:##:## ??");
inline const QString kCompletionTitle = QString(); // the default title
inline const QString kFileExistsTitle = QStringLiteral("Logging File Error!");
inline const QString kCommentTooLong = QStringLiteral("Comment Too Long!");
constexpr qsizetype kCommentLimit = 255;

// Whether the text is a time of day with no date part, such as "09:05:03 PM".
[[nodiscard]] bool IsTimeOfDay(const QString& text);
[[nodiscard]] QTime ParseTimeOfDay(const QString& text);

// The interval field's text after leaving it: "0.5" below 0.5, "60.0" above 60.
[[nodiscard]] QString CorrectedInterval(const QString& text);
// The interval in milliseconds, rounded to the nearest whole (halves to even).
[[nodiscard]] qint32 IntervalMs(const QString& text);
// The interval shown in the field: 1000 as "1", 500 as "0.5".
[[nodiscard]] QString IntervalText(qint32 ms);

// Whether a clock time is due: the clock shows it now, or it was passed since the
// previous tick (a late tick). previousClock may be empty on the first tick.
[[nodiscard]] bool TimeReached(const QString& target, const QString& previousClock,
                               const QString& clock);

[[nodiscard]] QString CompletionText(const QString& path, qint32 samples);
[[nodiscard]] QString FileExistsText(const QString& path);

} // namespace RunControl

} // namespace qmx
