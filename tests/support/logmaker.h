#pragma once

#include "logging/logrecord.h"

#include <QString>

#include <optional>
#include <utility>
#include <vector>

namespace qmx {

// Writes log files for tests quickly (one transaction), through the program's own
// creation of the file and its tables.
struct LogSample {
    std::optional<float> value;
    QString type = "DC";
    std::optional<QString> units = " V";
    std::optional<float> dbu = std::nullopt;
    QString timeStamp = "9:00:00 AM";
};

void MakeLog(const QString& path, const std::vector<LogSample>& samples,
             const QString& date = "12/6/2026", const NullableText& description = "bench",
             bool withInfo = true);
// n samples of a DC reading whose value at position k (1-based) is f(k).
std::vector<LogSample> Ramp(int n, float (*f)(int));

// Everything a log holds, read through the program's reader of either format.
struct LogContents {
    qint64 announced = -1; // the sample count the file states
    std::vector<LogHeader> info;
    std::vector<LogRecord> samples;
};
[[nodiscard]] LogContents ReadWholeLog(const QString& path);

// The comma-separated values the export makes of these rows (the first Info row only).
[[nodiscard]] QByteArray CsvOf(const std::vector<LogHeader>& info,
                               const std::vector<LogRecord>& samples);

// Damaged copies of a file the Access export made of a log of that many samples, by what
// is wrong with them: cut short at three places, random bytes after the signature, a
// huge row count, one row more than the file holds.
[[nodiscard]] std::vector<std::pair<QString, QByteArray>> DamagedCopies(const QByteArray& file,
                                                                        quint32 samples);

} // namespace qmx
