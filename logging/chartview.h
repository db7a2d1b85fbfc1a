#pragma once

#include "logging/chartstate.h"

#include <array>

class QLabel;

namespace qmx {

class PictureBox;

// Draws the strip chart of recent readings: its scale (grid, ticks and labels) and the
// red trace of the buffer.
class ChartView {
public:
    ChartView(PictureBox* picture, std::array<QLabel*, 5> labels, QLabel* typeLabel)
        : picture_(picture), labels_(labels), typeLabel_(typeLabel) {}

    // Draws a new scale for the peak and the reading's mode, and sets the full scale.
    void DrawChartScale(ChartState& chart, const QString& readingMode, const QString& readingUnits);
    // Clears the picture and draws the grid and the trace, newest value at the right.
    void DrawTrace(const ChartState& chart);

    [[nodiscard]] float Top() const { return top_; }
    [[nodiscard]] bool OneSided() const { return oneSided_; }

private:
    void drawGrid();

    PictureBox* picture_;
    std::array<QLabel*, 5> labels_;
    QLabel* typeLabel_;
    float top_ = 0.1f;
    bool oneSided_ = false;
};

} // namespace qmx
