#pragma once

#include <QImage>
#include <QPainter>
#include <QPointF>
#include <QWidget>

#include <memory>

namespace qmx {

// A drawing surface with a persistent image and a user coordinate system: the image
// survives covering and resizing, lines are drawn solid or dotted, copied or inverted
// (inverting the pixels under the line, so the same line drawn twice restores the image
// exactly). User coordinates map to pixel centres: the left and right edge values to the
// first and last pixel column, the top and bottom values to the first and last row.
// A redraw of many lines and points is drawn with one painter, which stays open until the
// picture is shown or its image is read.
class PictureBox : public QWidget {
    Q_OBJECT
public:
    enum class LineStyle { Solid, Dotted };
    enum class DrawMode { CopyPen, Invert };

    explicit PictureBox(QWidget* parent = nullptr);

    // The coordinate system by its top-left and bottom-right values.
    void Scale(double left, double top, double right, double bottom);
    void SetLineStyle(LineStyle style) { style_ = style; }
    void SetDrawMode(DrawMode mode) { mode_ = mode; }
    [[nodiscard]] DrawMode Mode() const { return mode_; }
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
    [[nodiscard]] QPointF toPixelF(double x, double y) const;
    void drawPixelLine(QPointF a, QPointF b, const QColor& color);
    // Keeps the image the widget's size (a hidden widget gets no resize events).
    void fitImage() const;
    // The painter on the image, set for the pen of the current style and mode.
    QPainter& painter(const QColor& color, Qt::PenStyle style);
    // Ends the drawing so far, before the image is shown, read or replaced.
    void finishPainting() const;

    mutable QImage image_;
    QImage picture_;
    mutable std::unique_ptr<QPainter> painter_; // open while a redraw goes on
    QColor back_ = Qt::black;
    double left_ = 0.0;
    double top_ = 0.0;
    double right_ = 1.0;
    double bottom_ = 1.0;
    QPointF current_;
    LineStyle style_ = LineStyle::Solid;
    DrawMode mode_ = DrawMode::CopyPen;
};

} // namespace qmx
