#include "ui/fittext.h"

#include <QFontMetrics>
#include <QLabel>

namespace qmx {

namespace {
constexpr int kSmallestPointSize = 6;
constexpr int kSideMarginPx = 4;
} // namespace

void FitFontToWidth(QLabel* label, int pointSize) {
    QFont font = label->font();
    const int room = label->width() - 2 * kSideMarginPx;
    for (int size = pointSize; size >= kSmallestPointSize; --size) {
        font.setPointSize(size);
        if (QFontMetrics(font).horizontalAdvance(label->text()) <= room) {
            break;
        }
    }
    // Setting the same font again would still lay the label out anew.
    if (font != label->font()) {
        label->setFont(font);
    }
}

} // namespace qmx
