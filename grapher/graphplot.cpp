#include "grapher/graphplot.h"

#include "display/vbcolor.h"
#include "grapher/graphview.h"
#include "grapher/logdocument.h"
#include "ui/colorfromvb.h"
#include "ui/usercanvas.h"

#include <cmath>
#include <span>
#include <vector>

namespace qmx {

namespace GraphPlot {

namespace {

const QColor kTrace(255, 0, 0);

struct Column {
    float min = INFINITY;
    float max = -INFINITY;
    float first = NAN;
    float last = NAN;
    bool startsAfterGap = false; // a sample without value comes before the first value
};

// Sample k of the view (1 for its first) is values[k - 1], drawn at x = k.
void drawEverySample(UserCanvas& picture, std::span<const float> values) {
    bool penDown = false;
    for (qint32 k = 1; k <= qint32(values.size()); ++k) {
        const float y = values[size_t(k - 1)];
        if (std::isnan(y)) {
            penDown = false;
        } else if (!penDown) {
            picture.PSet(k, y, kTrace);
            penDown = true;
        } else {
            picture.LineTo(k, y, kTrace);
        }
    }
}

void drawEnvelope(UserCanvas& picture, std::span<const float> values) {
    const int width = picture.Size().width();
    const auto count = qint32(values.size());
    std::vector<Column> columns(static_cast<size_t>(width));
    const double perSample = double(width - 1) / double(count - 1);
    bool gap = false;
    for (qint32 k = 1; k <= count; ++k) {
        const float y = values[size_t(k - 1)];
        Column& c = columns[size_t(std::lround((k - 1) * perSample))];
        if (std::isnan(y)) {
            gap = true;
            continue;
        }
        if (std::isnan(c.first)) {
            c.first = y;
            c.startsAfterGap = gap;
        }
        c.last = y;
        c.min = std::min(c.min, y);
        c.max = std::max(c.max, y);
        gap = false;
    }
    const double userPerColumn = double(count - 1) / double(width - 1);
    float previous = NAN;
    for (int i = 0; i < width; ++i) {
        const Column& c = columns[size_t(i)];
        if (std::isnan(c.first)) {
            continue;
        }
        const double x = 1.0 + i * userPerColumn;
        if (!std::isnan(previous) && !c.startsAfterGap) {
            picture.LineTo(x, c.first, kTrace);
        } else {
            picture.PSet(x, c.first, kTrace);
        }
        // Down and up the column's extremes, ending at its last value: one line on.
        picture.LineTo(x, c.min, kTrace);
        picture.LineTo(x, c.max, kTrace);
        picture.LineTo(x, c.last, kTrace);
        previous = c.last;
    }
}

} // namespace

void DrawGrid(UserCanvas& picture, const GraphView& view, const ScaleLayout& layout) {
    const qint32 right = std::max<qint32>(2, view.ViewCount());
    picture.Scale(1, layout.TopEdge, right, layout.BottomEdge);
    if (!layout.HasCoordinates) {
        return;
    }
    picture.SetLineStyle(UserCanvas::LineStyle::Dotted);
    const QColor grey = ColorFromVb(VbColor::kGrayText);
    for (const float y : layout.GridRows) {
        picture.Line(1, y, view.ViewCount(), y, grey);
    }
    picture.SetLineStyle(UserCanvas::LineStyle::Solid);
}

void PopulateGraph(UserCanvas& picture, const GraphView& view, const LogDocument& log) {
    picture.SetDrawMode(UserCanvas::DrawMode::CopyPen);
    const std::span<const float> values = log.Values(view.FirstPos(), view.LastPos());
    if (view.ViewCount() > picture.Size().width() && picture.Size().width() > 1) {
        drawEnvelope(picture, values);
    } else {
        drawEverySample(picture, values);
    }
}

void DrawCross(UserCanvas& picture, const GraphView& view, float x, float v) {
    picture.SetDrawMode(UserCanvas::DrawMode::Invert);
    picture.Line(x, v + view.CursorHalfHeight, x, v - view.CursorHalfHeight, Qt::white);
    picture.Line(x + view.CursorHalfWidth, v, x - view.CursorHalfWidth, v, Qt::white);
}

void DrawMarker(UserCanvas& picture, const GraphView& view, float x) {
    picture.SetDrawMode(UserCanvas::DrawMode::Invert);
    picture.Line(x, view.ScaleTop, x, -view.ScaleTop, Qt::white);
}

} // namespace GraphPlot

} // namespace qmx
