#pragma once

#include "display/vbcolor.h"

namespace qmx {

// The display's background and foreground colours, and the rule that keeps the
// foreground from being the background: the foreground item of the background's own
// colour is greyed out, and a background switched onto the foreground flips it.
class DisplayColors {
public:
    qint32 Background = VbColor::kBlack;
    qint32 Foreground = VbColor::kYellow;
    bool FgWhiteEnabled = true;
    bool FgBlackEnabled = true;

    void SetBackground(qint32 color);
    void SetForeground(qint32 color) { Foreground = color; }
    void NoSameFGBG();
};

} // namespace qmx
