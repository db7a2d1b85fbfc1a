#include "logging/chartstate.h"

#include "display/numberformat.h"
#include "display/scaleladder.h"
#include "meter/meterlink.h"

#include <cmath>

namespace qmx {

namespace {

constexpr float kSmallestScale = kScaleLadder.front();
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
    for (const float step : kScaleLadder) {
        if (!(step < peak)) {
            return step;
        }
    }
    return kScaleLadder.back();
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
