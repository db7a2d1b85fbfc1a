#pragma once

#include <QString>

#include <array>

namespace qmx {

// The strip chart's buffer of recent readings, shared by the display tick (which fills
// it) and the logging window (which draws it). A value of 0 marks a slot without a point.
struct ChartState {
    static constexpr int kSlots = 240;

    std::array<float, kSlots> ChartBuffer{};
    qint16 ChartIndex = 0;
    float ChartPeak = 0.0f;
    float ChartFullScale = 0.0f;
    bool ChartRescalePending = false;
    QString ChartType; // the mode and units of the readings in the buffer

    void Store(float value) { ChartBuffer[ChartIndex] = value; }
    // Moves to the next slot; true when the index wrapped from 239 to 0.
    bool Advance() {
        if (++ChartIndex > kSlots - 1) {
            ChartIndex = 0;
            return true;
        }
        return false;
    }
    void ClearChartBuffer() { ChartBuffer.fill(0.0f); }
    // A reading of another mode or units than the buffer holds empties it and asks for a
    // new scale, whether the chart is shown or not.
    void FollowType(const QString& type) {
        if (type != ChartType) {
            ChartType = type;
            ClearChartBuffer();
            ChartRescalePending = true;
        }
    }
    // Checks the scale against the buffer: a peak above the full scale asks for a larger
    // scale; a trace within half of it asks for the next smaller one.
    void ResetMaxMin();
};

// The strip chart's scale, from the values it must cover.
namespace ChartScale {

// The first step of the scale ladder that is not below the peak (the last step above it).
[[nodiscard]] float TopFor(float peak);
// The five labels from top to bottom.
[[nodiscard]] std::array<QString, 5> Labels(float top, bool oneSided);
// The reading's mode and units, or the link's silent line while the meter is silent.
[[nodiscard]] QString TypeText(const QString& readingMode, const QString& readingUnits);

} // namespace ChartScale

} // namespace qmx
