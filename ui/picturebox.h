#pragma once

#include "ui/usercanvas.h"

#include <QImage>
#include <QPainter>
#include <QWidget>

#include <memory>

namespace qmx {

// A drawing surface with a persistent image and a user coordinate system: the image
// survives covering and resizing; the drawing is that of its UserCanvas. A redraw of many
// lines and points is drawn with one painter, which stays open until the picture is shown
// or its image is read.
class PictureBox : public QWidget {
    Q_OBJECT
public:
    using LineStyle = UserCanvas::LineStyle;
    using DrawMode = UserCanvas::DrawMode;

    explicit PictureBox(QWidget* parent = nullptr);

    // The coordinate system by its top-left and bottom-right values.
    void Scale(double left, double top, double right, double bottom);
    void SetLineStyle(LineStyle style) { canvas_.SetLineStyle(style); }
    void SetDrawMode(DrawMode mode) { canvas_.SetDrawMode(mode); }
    [[nodiscard]] DrawMode Mode() const { return canvas_.Mode(); }
    void SetBackColor(const QColor& color);
    // The picture the image is cleared to, as long as it is the picture's size; a null
    // image clears to the background colour.
    void SetPicture(const QImage& picture);

    // Clears the image to the picture, or else to the background colour.
    void Cls();
    // Sets one point; it becomes the current point.
    void PSet(double x, double y, const QColor& color);
    void Line(double x1, double y1, double x2, double y2, const QColor& color);
    // A line from the current point; its end becomes the current point.
    void LineTo(double x, double y, const QColor& color);
    // What draws on the image, for drawing code shared with other surfaces.
    [[nodiscard]] UserCanvas& Canvas();

    // The pixel a user coordinate lands on (may lie outside the image).
    [[nodiscard]] QPoint ToPixel(double x, double y) const;
    // The user x of a pixel column, for the pointer.
    [[nodiscard]] double UserX(int pixelX) const;
    [[nodiscard]] double UserY(int pixelY) const;
    [[nodiscard]] const QImage& Image() const;
    [[nodiscard]] QColor PixelAt(double x, double y) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Keeps the image the widget's size (a hidden widget gets no resize events).
    void fitImage() const;
    // The painter on the image, opened at the first drawing of a redraw.
    QPainter& painter();
    // Ends the drawing so far, before the image is shown, read or replaced.
    void finishPainting() const;

    mutable QImage image_;
    QImage picture_;
    mutable std::unique_ptr<QPainter> painter_; // open while a redraw goes on
    mutable UserCanvas canvas_;
    QColor back_ = Qt::black;
};

} // namespace qmx
