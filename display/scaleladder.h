#pragma once

#include <QString>

#include <array>

namespace qmx {

// The full scales the strip chart and the graph step through, smallest first.
inline constexpr std::array<float, 14> kScaleLadder = {0.1f,   0.2f,   0.5f,    1.0f,   2.0f,
                                                       5.0f,   10.0f,  20.0f,   50.0f,  100.0f,
                                                       200.0f, 500.0f, 1000.0f, 2000.0f};

// AC and FR readings are never negative: their chart and graph show only the upper half.
[[nodiscard]] inline bool IsOneSided(const QString& readingMode) {
    return readingMode == u"AC" || readingMode == u"FR";
}

} // namespace qmx
