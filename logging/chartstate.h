#pragma once

#include <QtGlobal>

#include <array>

// The strip chart's buffer of recent readings, shared by the display tick (which fills
// it) and the logging window (which draws it). A value of 0 marks a slot without a point.
struct ChartState {
    static constexpr int kSlots = 240;

    std::array<float, kSlots> ChartBuffer{};
    qint16 ChartIndex = 0;
    float ChartPeak = 0.0f;
    float ChartFullScale = 0.0f;
    bool ChartRescalePending = false;

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
};
