#pragma once

#include <QString>

#include <vector>

namespace qmx {

class GraphView;
class LogDocument;

// The time stamps shown under the plot: five evenly spaced samples of the view (its
// first, its last and three between), or each sample once in a view of fewer. They stand
// in the order of their positions, as stored: a run across midnight reads on from
// "11:59:59 PM" to "12:00:00 AM".
namespace TimeAxis {

constexpr int kMarks = 5;

struct Mark {
    qint32 Position = 0;  // in the log
    qint32 ViewIndex = 0; // x on the graph: 1 for the view's first sample
    QString Text;         // the stored time stamp
};

[[nodiscard]] std::vector<Mark> Marks(const GraphView& view, const LogDocument& log);

} // namespace TimeAxis

} // namespace qmx
