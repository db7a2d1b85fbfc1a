#pragma once

namespace qmx {

// Positions and sizes are given in twips, 15 to a pixel at the usual screen setting.
constexpr int kTwipsPerPixel = 15;

[[nodiscard]] constexpr int TwipsToPx(int twips) {
    return twips / kTwipsPerPixel;
}

} // namespace qmx
