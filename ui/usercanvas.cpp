#include "ui/usercanvas.h"

#include <QPaintEngine>

#include <cmath>

namespace qmx {

namespace {

// Clips the segment a-b to the rectangle (Liang-Barsky); false when nothing is inside.
bool clipToRect(QPointF& a, QPointF& b, const QRectF& r) {
    double t0 = 0.0;
    double t1 = 1.0;
    const double dx = b.x() - a.x();
    const double dy = b.y() - a.y();
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x() - r.left(), r.right() - a.x(), a.y() - r.top(), r.bottom() - a.y()};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0) {
                return false;
            }
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0) {
            t0 = std::max(t0, t);
        } else {
            t1 = std::min(t1, t);
        }
        if (t0 > t1) {
            return false;
        }
    }
    const QPointF start = a;
    a = start + QPointF(dx * t0, dy * t0);
    b = start + QPointF(dx * t1, dy * t1);
    return true;
}

bool finite(QPointF p) {
    return std::isfinite(p.x()) && std::isfinite(p.y());
}

QPoint rounded(QPointF p) {
    return {int(std::lround(p.x())), int(std::lround(p.y()))};
}

} // namespace

UserCanvas::UserCanvas(std::function<QPainter&()> painter) : painter_(std::move(painter)) {}

void UserCanvas::Scale(double left, double top, double right, double bottom) {
    left_ = left;
    top_ = top;
    right_ = right;
    bottom_ = bottom;
}

void UserCanvas::SetLineStyle(LineStyle style) {
    if (style != style_) {
        Flush();
        style_ = style;
    }
}

void UserCanvas::SetDrawMode(DrawMode mode) {
    if (mode != mode_) {
        Flush();
        mode_ = mode;
    }
}

QPointF UserCanvas::toPixelF(double x, double y) const {
    const double w = std::max(1, size_.width() - 1);
    const double h = std::max(1, size_.height() - 1);
    const double sx = right_ != left_ ? (x - left_) / (right_ - left_) : 0.0;
    const double sy = bottom_ != top_ ? (y - top_) / (bottom_ - top_) : 0.0;
    return {sx * w, sy * h};
}

QPoint UserCanvas::ToPixel(double x, double y) const {
    const QPointF p = toPixelF(x, y);
    const auto toInt = [](double v) { return int(std::lround(std::clamp(v, -1e6, 1e6))); };
    return {toInt(p.x()), toInt(p.y())};
}

double UserCanvas::UserX(int pixelX) const {
    const double w = std::max(1, size_.width() - 1);
    return left_ + (right_ - left_) * pixelX / w;
}

double UserCanvas::UserY(int pixelY) const {
    const double h = std::max(1, size_.height() - 1);
    return top_ + (bottom_ - top_) * pixelY / h;
}

Qt::PenStyle UserCanvas::penStyle() const {
    return style_ == LineStyle::Dotted ? Qt::DotLine : Qt::SolidLine;
}

QPainter& UserCanvas::painter(const QColor& color, Qt::PenStyle style) {
    QPainter& p = painter_();
    QPen pen(mode_ == DrawMode::Invert ? QColor(Qt::white) : color);
    pen.setWidthF(penWidth_);
    pen.setStyle(style);
    p.setPen(pen);
    p.setCompositionMode(mode_ == DrawMode::Invert ? QPainter::RasterOp_SourceXorDestination
                                                   : QPainter::CompositionMode_SourceOver);
    return p;
}

// On pixels each line is drawn whole, as when drawn alone: Qt's raster engine leaves out
// the pixel at some corners of a polyline. A vector drawing gets the polyline itself.
void UserCanvas::Flush() {
    if (run_.size() >= 2) {
        QPainter& p = painter(runColor_, penStyle());
        if (p.paintEngine()->type() == QPaintEngine::Raster) {
            for (qsizetype i = 1; i < run_.size(); ++i) {
                p.drawLine(run_[i - 1], run_[i]);
            }
        } else {
            p.drawPolyline(run_);
        }
    }
    run_.clear();
}

void UserCanvas::PSet(double x, double y, const QColor& color) {
    Flush();
    current_ = toPixelF(x, y);
    const QPoint p = ToPixel(x, y);
    if (QRect(QPoint(0, 0), size_).contains(p)) {
        painter(color, Qt::SolidLine).drawPoint(p);
    }
}

bool UserCanvas::pixelSegment(QPointF a, QPointF b, QPoint& from, QPoint& to) const {
    if (!finite(a) || !finite(b)) {
        return false;
    }
    // Far-off ends are pulled in first, so that clipping keeps its precision; so far
    // out, the visible part of the line moves by much less than a pixel.
    constexpr double kFar = 1e7;
    for (QPointF* p : {&a, &b}) {
        *p = QPointF(std::clamp(p->x(), -kFar, kFar), std::clamp(p->y(), -kFar, kFar));
    }
    const QRectF room(-2.0, -2.0, size_.width() + 4.0, size_.height() + 4.0);
    if (!clipToRect(a, b, room)) {
        return false;
    }
    from = rounded(a);
    to = rounded(b);
    return true;
}

void UserCanvas::Line(double x1, double y1, double x2, double y2, const QColor& color) {
    Flush();
    current_ = toPixelF(x2, y2);
    QPoint from;
    QPoint to;
    if (!pixelSegment(toPixelF(x1, y1), current_, from, to)) {
        return;
    }
    drawSegment(from, to, color);
}

void UserCanvas::drawSegment(QPoint from, QPoint to, const QColor& color) {
    QPainter& p = painter(color, penStyle());
    if (from == to) {
        p.drawPoint(from);
    } else {
        p.drawLine(from, to);
    }
}

// Inverted lines are drawn one by one: a polyline that crosses itself would invert its
// crossings twice.
void UserCanvas::LineTo(double x, double y, const QColor& color) {
    const QPointF start = current_;
    current_ = toPixelF(x, y);
    QPoint from;
    QPoint to;
    if (!pixelSegment(start, current_, from, to)) {
        return;
    }
    const bool continues = !run_.isEmpty() && run_.last() == from && runColor_ == color;
    if (continues && from == to) {
        return;
    }
    if (!continues) {
        Flush();
        if (from == to || mode_ == DrawMode::Invert) {
            drawSegment(from, to, color);
            return;
        }
        run_ << from;
        runColor_ = color;
    }
    run_ << to;
}

} // namespace qmx
