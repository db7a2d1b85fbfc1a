#pragma once

#include <QRect>

namespace qmx {

// Where the graph window shows the graph and its texts, in the window's pixels below its
// menu. A picture of the graph draws them at the same places.
namespace GraphLayout {

constexpr QRect kTitle{70, 6, 649, 22};
constexpr QRect kFileName{10, 30, 400, 20};
constexpr QRect kDate{420, 30, 330, 20};
constexpr QRect kComment{10, 52, 740, 22};
// 9735 by 6135 twips.
constexpr QRect kPlot{80, 86, 649, 409};
// The time stamps fill the gap between the plot and the readout below it.
constexpr int kTimeHeight = 10;
constexpr int kTimeWidth = 91; // odd, so that a centred one has a middle pixel
constexpr int kReadoutTop = kPlot.bottom() + 1 + kTimeHeight;
// What a picture of the graph shows: everything above the readout.
constexpr QRect kPicture{0, 0, 760, kReadoutTop};

// The scale label i, 0 for the top one, beside the plot at the height of its grid row.
[[nodiscard]] constexpr QRect ScaleLabel(int i) {
    const int step = (kPlot.height() - 1) / 4;
    return {2, kPlot.top() + i * step - 8, 74, 16};
}

// Time stamp i of count, for the sample at pixel column x of the plot: the first starts
// at its sample, the last ends at it, the others are centred on theirs.
[[nodiscard]] constexpr QRect TimeLabel(int i, int count, int x) {
    const int anchor = kPlot.left() + x;
    const int left =
        i == 0 ? anchor : (i == count - 1 ? anchor - kTimeWidth + 1 : anchor - kTimeWidth / 2);
    return {left, kPlot.bottom() + 1, kTimeWidth, kTimeHeight};
}
[[nodiscard]] constexpr Qt::Alignment TimeAlignment(int i, int count) {
    const Qt::Alignment across =
        i == 0 ? Qt::AlignLeft : (i == count - 1 ? Qt::AlignRight : Qt::AlignHCenter);
    return across | Qt::AlignTop;
}

} // namespace GraphLayout

} // namespace qmx
