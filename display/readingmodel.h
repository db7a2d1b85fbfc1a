#pragma once

#include "meter/meterreading.h"

#include <QString>
#include <QTime>

namespace qmx {

// The reading the main window shows and publishes, kept apart from its widgets: the
// shown line, the dBu text and value, the decoded mode, units and value, the clock.
class ReadingModel {
public:
    static constexpr int kNormalPointSize = 72;
    static constexpr int kLongLinePointSize = 64;
    static constexpr qsizetype kLongLineAfter = 11;
    static inline const QString kDbuNotValid = QStringLiteral("dBu Not Valid");

    QString ClockText; // hh:mm:ss AM, 11 characters
    QString ShownLine; // the reading display's text
    QString DbuText;   // the dBu display's text
    float CurrentValue = 0.0f;
    float CurrentDbu = 0.0f; // the last valid dBu level
    QString PrevModePrefix;
    QString ReadingMode;
    QString ReadingUnits;

    // The clock text in the fixed form "hh:mm:ss AM", whatever the locale.
    [[nodiscard]] static QString FormatClockText(QTime time);
    // The time of day as the system first shows it at start-up, "h:mm:ss AM".
    [[nodiscard]] static QString FormatStartupClockText(QTime time);
    // The reading display's point size for a line: 64 beyond 11 characters, else 72.
    [[nodiscard]] static int PointSizeFor(const QString& line);

    // Takes the dBu part of a reading: an AC voltage with a valid level updates the dBu
    // text and value; an AC voltage without one keeps them; anything else reads
    // "dBu Not Valid". Returns whether the reading is an AC voltage.
    bool TakeDbu(const MeterReading& reading);
    // Shows the line: decodes it, takes its dBu part and publishes its mode, units and
    // value. Returns the decoded reading.
    MeterReading Take(const QString& line);
};

} // namespace qmx
