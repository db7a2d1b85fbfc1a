#pragma once

#include <QColor>
#include <QPainter>
#include <QPointF>
#include <QPolygon>
#include <QSize>

#include <functional>

namespace qmx {

// Drawing in a user coordinate system on a painter: points and lines, solid or dotted,
// copied or inverted (inverting the pixels under the line, so the same line drawn twice
// restores what was there). User coordinates map to pixel centres: the left and right
// edge values to the first and last pixel column, the top and bottom values to the first
// and last row; lines are clipped a little outside the pixels. Lines drawn on from the
// current point are gathered, and drawn when something else is drawn or Flush() is
// called: as one polyline in a vector drawing (an SVG file), line by line on pixels.
// The painter's units are the canvas's pixels, (0, 0) its top left.
class UserCanvas {
public:
    enum class LineStyle { Solid, Dotted };
    enum class DrawMode { CopyPen, Invert };

    // painter: the painter to draw on, asked for at each drawing (it may open it then).
    explicit UserCanvas(std::function<QPainter&()> painter);

    void SetSize(QSize pixels) { size_ = pixels; }
    [[nodiscard]] QSize Size() const { return size_; }
    // The pen's width in the painter's units; 0 is one pixel of the device however scaled.
    void SetPenWidth(double width) { penWidth_ = width; }

    // The coordinate system by its top-left and bottom-right values.
    void Scale(double left, double top, double right, double bottom);
    void SetLineStyle(LineStyle style);
    void SetDrawMode(DrawMode mode);
    [[nodiscard]] DrawMode Mode() const { return mode_; }

    // Sets one point; it becomes the current point.
    void PSet(double x, double y, const QColor& color);
    void Line(double x1, double y1, double x2, double y2, const QColor& color);
    // A line from the current point; its end becomes the current point.
    void LineTo(double x, double y, const QColor& color);
    // Draws the lines gathered so far.
    void Flush();

    // The pixel a user coordinate lands on (may lie outside the canvas).
    [[nodiscard]] QPoint ToPixel(double x, double y) const;
    [[nodiscard]] double UserX(int pixelX) const;
    [[nodiscard]] double UserY(int pixelY) const;

private:
    [[nodiscard]] QPointF toPixelF(double x, double y) const;
    // The segment in whole pixels, clipped; false when none of it is near the canvas.
    [[nodiscard]] bool pixelSegment(QPointF a, QPointF b, QPoint& from, QPoint& to) const;
    void drawSegment(QPoint from, QPoint to, const QColor& color);
    QPainter& painter(const QColor& color, Qt::PenStyle style);
    [[nodiscard]] Qt::PenStyle penStyle() const;

    std::function<QPainter&()> painter_;
    QSize size_;
    double penWidth_ = 0.0;
    double left_ = 0.0;
    double top_ = 0.0;
    double right_ = 1.0;
    double bottom_ = 1.0;
    QPointF current_;
    LineStyle style_ = LineStyle::Solid;
    DrawMode mode_ = DrawMode::CopyPen;
    QPolygon run_; // the polyline being gathered
    QColor runColor_;
};

} // namespace qmx
