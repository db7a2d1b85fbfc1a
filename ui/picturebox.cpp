#include "ui/picturebox.h"

#include <QPainter>

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

} // namespace

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureBox::Scale(double left, double top, double right, double bottom) {
    left_ = left;
    top_ = top;
    right_ = right;
    bottom_ = bottom;
}

void PictureBox::SetBackColor(const QColor& color) {
    back_ = color;
}

void PictureBox::SetPicture(const QImage& picture) {
    picture_ = picture;
}

void PictureBox::Cls() {
    finishPainting();
    fitImage();
    if (picture_.size() == image_.size()) {
        image_ = picture_; // shared until drawn on
    } else {
        image_.fill(back_);
    }
    update();
}

const QImage& PictureBox::Image() const {
    finishPainting();
    fitImage();
    return image_;
}

QPainter& PictureBox::painter(const QColor& color, Qt::PenStyle style) {
    fitImage();
    if (!painter_) {
        painter_ = std::make_unique<QPainter>(&image_);
        painter_->setRenderHint(QPainter::Antialiasing, false);
        update(); // once for the whole redraw
    }
    QPen pen(mode_ == DrawMode::Invert ? QColor(Qt::white) : color);
    pen.setWidth(0);
    pen.setStyle(style);
    painter_->setPen(pen);
    painter_->setCompositionMode(mode_ == DrawMode::Invert ? QPainter::RasterOp_SourceXorDestination
                                                           : QPainter::CompositionMode_SourceOver);
    return *painter_;
}

void PictureBox::finishPainting() const {
    painter_.reset();
}

QPointF PictureBox::toPixelF(double x, double y) const {
    fitImage();
    const double w = std::max(1, image_.width() - 1);
    const double h = std::max(1, image_.height() - 1);
    const double sx = right_ != left_ ? (x - left_) / (right_ - left_) : 0.0;
    const double sy = bottom_ != top_ ? (y - top_) / (bottom_ - top_) : 0.0;
    return {sx * w, sy * h};
}

QPoint PictureBox::ToPixel(double x, double y) const {
    const QPointF p = toPixelF(x, y);
    const auto toInt = [](double v) { return int(std::lround(std::clamp(v, -1e6, 1e6))); };
    return {toInt(p.x()), toInt(p.y())};
}

double PictureBox::UserX(int pixelX) const {
    const double w = std::max(1, image_.width() - 1);
    return left_ + (right_ - left_) * pixelX / w;
}

double PictureBox::UserY(int pixelY) const {
    const double h = std::max(1, image_.height() - 1);
    return top_ + (bottom_ - top_) * pixelY / h;
}

QColor PictureBox::PixelAt(double x, double y) const {
    const QPoint p = ToPixel(x, y);
    const QImage& image = Image();
    return image.valid(p) ? image.pixelColor(p) : QColor();
}

void PictureBox::PSet(double x, double y, const QColor& color) {
    current_ = toPixelF(x, y);
    const QPoint p = ToPixel(x, y);
    if (image_.valid(p)) {
        painter(color, Qt::SolidLine).drawPoint(p);
    }
}

void PictureBox::Line(double x1, double y1, double x2, double y2, const QColor& color) {
    drawPixelLine(toPixelF(x1, y1), toPixelF(x2, y2), color);
}

void PictureBox::LineTo(double x, double y, const QColor& color) {
    drawPixelLine(current_, toPixelF(x, y), color);
}

void PictureBox::drawPixelLine(QPointF a, QPointF b, const QColor& color) {
    current_ = b;
    if (!finite(a) || !finite(b)) {
        return;
    }
    // Far-off ends are pulled in first, so that clipping keeps its precision; so far
    // out, the visible part of the line moves by much less than a pixel.
    constexpr double kFar = 1e7;
    for (QPointF* p : {&a, &b}) {
        *p = QPointF(std::clamp(p->x(), -kFar, kFar), std::clamp(p->y(), -kFar, kFar));
    }
    const QRectF room(-2.0, -2.0, image_.width() + 4.0, image_.height() + 4.0);
    if (!clipToRect(a, b, room)) {
        return;
    }
    const QPoint pa(int(std::lround(a.x())), int(std::lround(a.y())));
    const QPoint pb(int(std::lround(b.x())), int(std::lround(b.y())));
    QPainter& p = painter(color, style_ == LineStyle::Dotted ? Qt::DotLine : Qt::SolidLine);
    if (pa == pb) {
        p.drawPoint(pa);
    } else {
        p.drawLine(pa, pb);
    }
}

void PictureBox::paintEvent(QPaintEvent*) {
    finishPainting();
    QPainter painter(this);
    painter.fillRect(rect(), back_);
    painter.drawImage(0, 0, image_);
}

void PictureBox::resizeEvent(QResizeEvent*) {
    fitImage();
}

// A larger picture keeps what was drawn; a smaller one keeps what still fits.
void PictureBox::fitImage() const {
    if (image_.size() == size()) {
        return;
    }
    finishPainting();
    QImage fitted(size(), QImage::Format_RGB32);
    fitted.fill(back_);
    if (!image_.isNull()) {
        QPainter painter(&fitted);
        painter.drawImage(0, 0, image_);
    }
    image_ = fitted;
}

} // namespace qmx
