#include "display/displaycolors.h"

namespace qmx {

void DisplayColors::SetBackground(qint32 color) {
    Background = color;
    NoSameFGBG();
}

void DisplayColors::NoSameFGBG() {
    FgWhiteEnabled = Background != VbColor::kWhite;
    if (!FgWhiteEnabled && Foreground == VbColor::kWhite) {
        SetForeground(VbColor::kBlack);
    }
    FgBlackEnabled = Background != VbColor::kBlack;
    if (!FgBlackEnabled && Foreground == VbColor::kBlack) {
        SetForeground(VbColor::kWhite);
    }
}

} // namespace qmx
