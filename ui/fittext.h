#pragma once

class QLabel;

namespace qmx {

// Sets the label's font to the point size, smaller when its text would not fit the
// label's width at that size, so that the whole text always shows.
void FitFontToWidth(QLabel* label, int pointSize);

} // namespace qmx
