#include "grapher/timeaxis.h"

#include "grapher/graphview.h"
#include "grapher/logdocument.h"

namespace qmx {

namespace TimeAxis {

std::vector<Mark> Marks(const GraphView& view, const LogDocument& log) {
    const qint64 count = view.ViewCount();
    std::vector<Mark> marks;
    if (count < 1) {
        return marks;
    }
    const qint64 shown = std::min<qint64>(count, kMarks);
    for (qint64 i = 0; i < shown; ++i) {
        // The nearest sample to an even step, halves rounded up; whole when fewer.
        const qint64 offset =
            shown == 1 ? 0 : (2 * i * (count - 1) + (shown - 1)) / (2 * (shown - 1));
        const auto position = qint32(view.FirstPos() + offset);
        marks.push_back({position, qint32(offset + 1), log.Read(position).TimeStamp});
    }
    return marks;
}

} // namespace TimeAxis

} // namespace qmx
