#include "tests/support/logmaker.h"

#include "grapher/graphview.h"
#include "grapher/logdocument.h"
#include "logging/dberror.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace qmx;

namespace {

struct ScaleCase {
    const char* type;
    const char* filter;
    float max;
    float min;
    float top;
    std::array<const char*, 5> labels;
    const char* filterAfter;
};

class DrawScaleTest : public ::testing::TestWithParam<ScaleCase> {};

TEST_P(DrawScaleTest, LadderLabelsAndFilter) {
    GraphView view;
    view.ViewAll(100);
    view.LogType = GetParam().type;
    view.SignFilter = GetParam().filter;
    const ScaleLayout layout = GraphScale::DrawScale(view, GetParam().max, GetParam().min);
    EXPECT_FLOAT_EQ(view.ScaleTop, GetParam().top);
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(layout.Labels[i], GetParam().labels[i]) << i;
    }
    EXPECT_EQ(view.SignFilter, GetParam().filterAfter);
    EXPECT_TRUE(layout.HasCoordinates);
}

INSTANTIATE_TEST_SUITE_P(
    Views, DrawScaleTest,
    ::testing::Values(
        ScaleCase{"DC", "both", 4.2f, 0.3f, 5, {"5.00", "2.50", "0", "-2.50", "-5.00"}, "both"},
        ScaleCase{"DC", "both", 1.0f, 0.2f, 1, {"1.00", ".50", "0", "-.50", "-1.00"}, "both"},
        ScaleCase{"DC",
                  "negative",
                  3.0f,
                  -7.0f,
                  10,
                  {"0", "-2.50", "-5.00", "-7.50", "-10.00"},
                  "negative"},
        ScaleCase{"DC",
                  "both",
                  2500.0f,
                  1.0f,
                  2000,
                  {"2000.00", "1000.00", "0", "-1000.00", "-2000.00"},
                  "both"},
        ScaleCase{"AC", "both", 1.2f, 0.1f, 2, {"2.00", "1.50", "1.00", ".50", "0"}, "positive"},
        ScaleCase{
            "FR", "negative", 0.5f, 0.4f, 0.5f, {".50", ".375", ".25", ".125", "0"}, "positive"}));

TEST(DrawScale, PlusMinusIsOffForReadingsThatAreNeverNegative) {
    GraphView view;
    view.ViewAll(10);
    view.LogType = "AC";
    EXPECT_FALSE(GraphScale::DrawScale(view, 1, 0).PlusMinusEnabled);
    view.LogType = "DC";
    EXPECT_TRUE(GraphScale::DrawScale(view, 1, 0).PlusMinusEnabled);
}

TEST(DrawScale, OneSampleHasNoCoordinateSystemAndACursorSizedByTheView) {
    GraphView view;
    view.ViewAll(1);
    view.LogType = "DC";
    EXPECT_FALSE(GraphScale::DrawScale(view, 1, 1).HasCoordinates);
    view.ViewAll(100);
    EXPECT_TRUE(GraphScale::DrawScale(view, 4, 0).HasCoordinates);
    EXPECT_FLOAT_EQ(view.CursorHalfWidth, 2.0f);
    EXPECT_FLOAT_EQ(view.CursorHalfHeight, 5.0f / 25.0f);
}

struct FilterCase {
    const char* from;
    float max;
    float min;
    const char* to;
};

class SignFilterTest : public ::testing::TestWithParam<FilterCase> {};

TEST_P(SignFilterTest, Cycles) {
    EXPECT_EQ(GraphScale::NextSignFilter(GetParam().from, GetParam().max, GetParam().min),
              GetParam().to);
}

INSTANTIATE_TEST_SUITE_P(Steps, SignFilterTest,
                         ::testing::Values(FilterCase{"both", 5, -3, "positive"},
                                           FilterCase{"positive", 5, -3, "negative"},
                                           FilterCase{"negative", 5, -3, "both"},
                                           FilterCase{"both", 0, -3, "negative"},
                                           FilterCase{"both", 5, 1, "positive"},
                                           FilterCase{"positive", 5, 1, "both"}));

struct ZoomCase {
    qint32 first, last;
    float old, now;
    qint32 zoomFirst, zoomLast;
};

class ZoomRangeTest : public ::testing::TestWithParam<ZoomCase> {};

TEST_P(ZoomRangeTest, MarkersCountFromTheViewsFirstSample) {
    GraphView view;
    view.SetRange(GetParam().first, GetParam().last);
    view.MarkerOld = GetParam().old;
    view.MarkerNew = GetParam().now;
    const auto [first, last] = GraphScale::ZoomRange(view);
    EXPECT_EQ(first, GetParam().zoomFirst);
    EXPECT_EQ(last, GetParam().zoomLast);
}

INSTANTIATE_TEST_SUITE_P(Markers, ZoomRangeTest,
                         ::testing::Values(ZoomCase{1, 100, 40.6f, 12.2f, 12, 41},
                                           ZoomCase{1, 100, 12.2f, 40.6f, 12, 41},
                                           ZoomCase{1, 100, 0.0f, 25.5f, 1, 26},
                                           ZoomCase{12, 41, 3.0f, 5.0f, 14, 16},
                                           ZoomCase{1, 100, 7.4f, 7.2f, 7, 8},
                                           ZoomCase{1, 100, 100.0f, 99.6f, 99, 100}));

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
