#pragma once

#include <QDate>
#include <QString>
#include <QTime>

#include <optional>

namespace qmx {

class LogWriter;

// One sample as it is stored in LogData.
struct SampleRow {
    QString TimeStamp;          // "h:mm:ss AM"
    QString Type;               // "AC", "DC", "FR", "Temp" or the line's first two characters
    QString Units;              // empty for status readings
    std::optional<float> Value; // none for modes other than AC, DC, FR and Temp, and for a
                                // value that is not a finite single
    std::optional<float> Dbu;   // none while the dBu display reads "dBu Not Valid"
};

// The row for the reading the main window shows: its line, the dBu display's text and
// the current dBu value. Nothing while the display reads the link's silent line. These rules read
// the line on their own terms (a temperature from four characters, other modes without value),
// unlike the display's decoding.
[[nodiscard]] std::optional<SampleRow> BuildSampleRow(const QString& line, const QString& dbuText,
                                                      float currentDbu, QTime now);

// The texts a log stores, whatever the locale: "h:mm:ss AM" and "M/d/yyyy".
[[nodiscard]] QString FormatTimeStamp(QTime time);
[[nodiscard]] QString FormatLogDate(QDate date);

// Appends the row to LogData and saves it.
void StoreSample(LogWriter& writer, const SampleRow& row);
// Appends and saves the run's header row.
void StoreInfo(LogWriter& writer, QDate date, const QString& description);

} // namespace qmx
