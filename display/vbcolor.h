#pragma once

#include <QtGlobal>

namespace qmx {

// Colours are 32-bit values in the order 0x00BBGGRR, as the settings store them.
namespace VbColor {
constexpr qint32 kBlack = 0;
constexpr qint32 kRed = 0x0000FF;
constexpr qint32 kGreen = 0x00FF00;
constexpr qint32 kBlue = 0xFF0000;
constexpr qint32 kYellow = 0x00FFFF;
constexpr qint32 kWhite = 0xFFFFFF;
constexpr qint32 kLightRed = 0xC0C0FF;
constexpr qint32 kLightBlue = 0xFFC0C0;
constexpr qint32 kButtonFace = qint32(0x8000000F);
constexpr qint32 kGrayText = qint32(0x80000011);
} // namespace VbColor

} // namespace qmx
