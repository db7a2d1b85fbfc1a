#pragma once

#include <QColor>
#include <QImage>
#include <QRect>

namespace qmx {

// Counts the pixels of an image's area that pass a test: what a picture shows.
template <typename Test> int CountPixels(const QImage& image, const QRect& area, Test test) {
    int n = 0;
    const QRect inside = area & image.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            n += test(image.pixelColor(x, y)) ? 1 : 0;
        }
    }
    return n;
}

// The share of a pixel column, between two rows, that is not black: a marker line drawn
// across a dark graph lights nearly all of it.
inline double LitShare(const QImage& image, int column, int top, int bottom) {
    const int lit = CountPixels(image, QRect(QPoint(column, top), QPoint(column, bottom)),
                                [](const QColor& c) { return c != QColor(Qt::black); });
    return double(lit) / double(bottom - top + 1);
}

} // namespace qmx
