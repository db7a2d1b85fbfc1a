#include "logging/chartstate.h"

#include "display/numberformat.h"
#include "meter/meterlink.h"

#include <cmath>

namespace qmx {

namespace {

constexpr float kLadder[] = {0.1f,  0.2f,  0.5f,   1.0f,   2.0f,   5.0f,    10.0f,
                             20.0f, 50.0f, 100.0f, 200.0f, 500.0f, 1000.0f, 2000.0f};
constexpr float kSmallestScale = 0.1f;
// Dividing by 2.51, not 2.5, lands just above the next lower ladder value.
constexpr float kStepDown = 2.51f;

} // namespace

void ChartState::ResetMaxMin() {
    float peak = 0.0f;
    for (const float v : ChartBuffer) {
        if (std::isfinite(v)) {
            peak = std::max(peak, std::fabs(v));
        } else if (!std::isnan(v)) {
            peak = std::numeric_limits<float>::max();
        }
    }
    if (peak > ChartFullScale) {
        ChartPeak = peak;
        ChartRescalePending = true;
    }
    if (peak > ChartFullScale / 2.0f || ChartFullScale <= kSmallestScale) {
        return;
    }
    ChartPeak = std::max(ChartFullScale / kStepDown, peak);
    ChartRescalePending = true;
}

namespace ChartScale {

float TopFor(float peak) {
    for (const float step : kLadder) {
        if (!(step < peak)) {
            return step;
        }
    }
    return kLadder[std::size(kLadder) - 1];
}

bool OneSided(const QString& readingMode) {
    return readingMode == u"AC" || readingMode == u"FR";
}

std::array<QString, 5> Labels(float top, bool oneSided) {
    const auto f = [](float v) { return FormatScale(v); };
    if (oneSided) {
        return {f(top), f(top * 0.75f), f(top * 0.5f), f(top * 0.25f), "0"};
    }
    return {f(top), f(top / 2.0f), "0", f(-top / 2.0f), f(-top)};
}

QString TypeText(const QString& readingMode, const QString& readingUnits) {
    return readingMode.left(2) == u"No" ? MeterLink::kNoComm : readingMode + " " + readingUnits;
}

} // namespace ChartScale

} // namespace qmx
