#pragma once

#include <QString>

#include <optional>
#include <vector>

namespace qmx {

class LogDocument;

// The numbers of the samples in view, by type and units, made in one pass in double
// precision (Welford's running mean and sum of squared deviations, which cannot overflow
// for any single value). The deviation is that of a sample (n - 1), so a single value
// has none. For AC volts the mean level is the dBu of the mean voltage.
struct ViewStatistics {
    struct Extreme {
        float Value = 0.0f;
        qint32 Position = 0; // the first sample of the view that has this value
        QString TimeStamp;
    };
    struct Group {
        QString Type;
        QString Units;
        qint64 Samples = 0;         // in view, with a value or without
        qint64 Nulls = 0;           // without a value (stored none, or none a graph can show)
        std::optional<Extreme> Min; // none when no sample of the group has a value
        std::optional<Extreme> Max;
        double Mean = 0.0;
        std::optional<double> Deviation; // none below two values
        bool AcVolts = false;
        std::optional<double> MeanDbu;  // AC volts whose mean is above 0 V
        double SquaredDeviations = 0.0; // Welford's running sum

        [[nodiscard]] qint64 Values() const { return Samples - Nulls; }
    };

    // The samples first to last of the log (positions 1 to Count()).
    [[nodiscard]] static ViewStatistics Of(const LogDocument& log, qint32 first, qint32 last);
    // As the statistics box and qmxtool show them.
    [[nodiscard]] QString Text() const;

    qint32 First = 0;
    qint32 Last = 0;
    std::vector<Group> Groups; // in order of first appearance in the view
};

} // namespace qmx
