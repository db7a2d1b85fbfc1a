#pragma once

namespace qmx {

class GraphView;
class LogDocument;
struct ScaleLayout;
class UserCanvas;

// Drawing of the graph: the grid, the trace and the cursor cross, on the window's picture
// box and on a picture of the graph alike.
namespace GraphPlot {

// Sets the coordinate system (x 1 to ViewCount) and draws the dotted grey grid.
void DrawGrid(UserCanvas& picture, const GraphView& view, const ScaleLayout& layout);
// Draws the samples of the view as a red line; a sample without a value is a gap. A view
// with more samples than the picture has columns is drawn from each column's extremes,
// which gives the same picture at a cost that grows with the width, not the log.
void PopulateGraph(UserCanvas& picture, const GraphView& view, const LogDocument& log);
// The inverting cross at (x, v); drawn twice at the same place it is gone.
void DrawCross(UserCanvas& picture, const GraphView& view, float x, float v);
// The inverting full-height marker line at x.
void DrawMarker(UserCanvas& picture, const GraphView& view, float x);

} // namespace GraphPlot

} // namespace qmx
