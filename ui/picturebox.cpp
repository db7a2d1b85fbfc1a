#include "ui/picturebox.h"

#include <QPainter>

namespace qmx {

PictureBox::PictureBox(QWidget* parent)
    : QWidget(parent), canvas_([this]() -> QPainter& { return painter(); }) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureBox::Scale(double left, double top, double right, double bottom) {
    canvas_.Scale(left, top, right, bottom);
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

UserCanvas& PictureBox::Canvas() {
    fitImage();
    return canvas_;
}

QPainter& PictureBox::painter() {
    if (!painter_) {
        painter_ = std::make_unique<QPainter>(&image_);
        painter_->setRenderHint(QPainter::Antialiasing, false);
        update(); // once for the whole redraw
    }
    return *painter_;
}

void PictureBox::finishPainting() const {
    canvas_.Flush(); // opens the painter when lines are still gathered
    painter_.reset();
}

QPoint PictureBox::ToPixel(double x, double y) const {
    fitImage();
    return canvas_.ToPixel(x, y);
}

double PictureBox::UserX(int pixelX) const {
    return canvas_.UserX(pixelX);
}

double PictureBox::UserY(int pixelY) const {
    return canvas_.UserY(pixelY);
}

QColor PictureBox::PixelAt(double x, double y) const {
    const QPoint p = ToPixel(x, y);
    const QImage& image = Image();
    return image.valid(p) ? image.pixelColor(p) : QColor();
}

void PictureBox::PSet(double x, double y, const QColor& color) {
    Canvas().PSet(x, y, color);
}

void PictureBox::Line(double x1, double y1, double x2, double y2, const QColor& color) {
    Canvas().Line(x1, y1, x2, y2, color);
}

void PictureBox::LineTo(double x, double y, const QColor& color) {
    Canvas().LineTo(x, y, color);
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
    canvas_.SetSize(image_.size());
}

} // namespace qmx
