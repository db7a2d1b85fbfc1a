#include "tests/support/logmaker.h"

#include "grapher/graphview.h"
#include "grapher/logdocument.h"
#include "logging/dberror.h"

#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace qmx;

namespace {

// The scale of a view of 100 samples with these extremes: its top, its labels top to
// bottom, and the sign filter it leaves (readings that are never negative: positive only).
TEST(DrawScale, LadderLabelsAndFilter) {
    const struct {
        const char* type;
        const char* filter;
        float max, min, top;
        const char* labels;
        const char* filterAfter;
    } cases[] = {
        {"DC", "both", 4.2f, 0.3f, 5, "5.00|2.50|0|-2.50|-5.00", "both"},
        {"DC", "both", 1.0f, 0.2f, 1, "1.00|.50|0|-.50|-1.00", "both"},
        {"DC", "negative", 3.0f, -7.0f, 10, "0|-2.50|-5.00|-7.50|-10.00", "negative"},
        {"DC", "both", 2500.0f, 1.0f, 2000, "2000.00|1000.00|0|-1000.00|-2000.00", "both"},
        {"AC", "both", 1.2f, 0.1f, 2, "2.00|1.50|1.00|.50|0", "positive"},
        {"FR", "negative", 0.5f, 0.4f, 0.5f, ".50|.375|.25|.125|0", "positive"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.labels);
        GraphView view;
        view.ViewAll(100);
        view.LogType = c.type;
        view.SignFilter = c.filter;
        const ScaleLayout layout = GraphScale::DrawScale(view, c.max, c.min);
        EXPECT_FLOAT_EQ(view.ScaleTop, c.top);
        EXPECT_EQ(QStringList(layout.Labels.begin(), layout.Labels.end()).join('|'), c.labels);
        EXPECT_EQ(view.SignFilter, c.filterAfter);
        EXPECT_TRUE(layout.HasCoordinates);
    }
}

// Markers count from the view's first sample; one sample between them widens to two.
TEST(ZoomRange, MarkersCountFromTheViewsFirstSample) {
    const struct {
        qint32 first, last;
        float old, now;
        qint32 zoomFirst, zoomLast;
    } cases[] = {{1, 100, 40.6f, 12.2f, 12, 41}, {1, 100, 12.2f, 40.6f, 12, 41},
                 {1, 100, 0.0f, 25.5f, 1, 26},   {12, 41, 3.0f, 5.0f, 14, 16},
                 {1, 100, 7.4f, 7.2f, 7, 8},     {1, 100, 100.0f, 99.6f, 99, 100}};
    for (const auto& c : cases) {
        GraphView view;
        view.SetRange(c.first, c.last);
        view.MarkerOld = c.old;
        view.MarkerNew = c.now;
        EXPECT_EQ(GraphScale::ZoomRange(view), std::make_pair(c.zoomFirst, c.zoomLast))
            << c.old << " " << c.now;
    }
}

TEST(PositionAt, NearestSampleHalvesToEven) {
    GraphView view;
    view.ViewAll(100);
    EXPECT_EQ(GraphScale::PositionAt(view, 7.5), 8);
    EXPECT_EQ(GraphScale::PositionAt(view, 6.5), 6);
    EXPECT_EQ(GraphScale::PositionAt(view, -40.0), 1);
    EXPECT_EQ(GraphScale::PositionAt(view, 1e9), 100);
    view.SetRange(20, 40);
    EXPECT_EQ(GraphScale::PositionAt(view, 1.0), 20);
}

TEST(GraphView, AViewBeyondTheLogIsNeverReadSilently) {
    QTemporaryDir dir;
    MakeLog(dir.filePath("run.qmx"), Ramp(5, [](int k) { return float(k); }));
    const LogDocument log(dir.filePath("run.qmx"));
    for (const qint32 position : {0, 6}) {
        EXPECT_THROW((void)log.Value(position), DbError) << position;
    }
    GraphView view;
    view.SetRange(3, 8);
    EXPECT_THROW(GraphScale::GetMaxMin(view, log), DbError);
}

} // namespace
