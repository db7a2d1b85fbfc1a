#include "tests/support/pixels.h"

#include "logging/chartstate.h"
#include "logging/chartview.h"
#include "ui/picturebox.h"

#include <QLabel>
#include <QStringList>

#include <gtest/gtest.h>

using namespace qmx;

namespace {

// The scale's top for a peak, and its labels from top to bottom.
TEST(ChartScale, LadderTopAndLabels) {
    const struct {
        float peak;
        bool oneSided;
        const char* labels;
    } peaks[] = {{0.0f, true, ".10|.075|.05|.025|0"},
                 {0.5f, true, ".50|.375|.25|.125|0"},
                 {0.51f, false, "1.00|.50|0|-.50|-1.00"},
                 {3000.0f, false, "2000.00|1000.00|0|-1000.00|-2000.00"},
                 {3.3f, false, "5.00|2.50|0|-2.50|-5.00"},
                 {1.23f, true, "2.00|1.50|1.00|.50|0"}};
    for (const auto& p : peaks) {
        const auto labels = ChartScale::Labels(ChartScale::TopFor(p.peak), p.oneSided);
        EXPECT_EQ(QStringList(labels.begin(), labels.end()).join('|'), p.labels) << p.peak;
    }
}

// A trace within half the scale steps it down one ladder value a second; a peak above
// the scale asks for a larger one at once; the smallest scale is never reduced.
TEST(ChartRescale, StepsDownOneValueAtATimeAndUpAtOnce) {
    ChartState chart;
    chart.ChartFullScale = 10.0f;
    chart.ChartBuffer.fill(0.8f);
    std::vector<float> tops;
    for (int second = 0; second < 6; ++second) {
        chart.ResetMaxMin();
        if (chart.ChartRescalePending) {
            chart.ChartFullScale = ChartScale::TopFor(chart.ChartPeak);
            chart.ChartRescalePending = false;
            tops.push_back(chart.ChartFullScale);
        }
    }
    EXPECT_EQ(tops, std::vector<float>({5.0f, 2.0f, 1.0f}));
    chart.ChartBuffer[17] = -3.3f;
    chart.ResetMaxMin();
    EXPECT_TRUE(chart.ChartRescalePending);
    EXPECT_FLOAT_EQ(ChartScale::TopFor(chart.ChartPeak), 5.0f);
    ChartState smallest;
    smallest.ChartFullScale = 0.1f;
    smallest.ResetMaxMin();
    EXPECT_FALSE(smallest.ChartRescalePending);
}

class ChartDrawing : public ::testing::Test {
protected:
    PictureBox picture;
    QLabel labels[5];
    QLabel type;
    ChartView view{&picture, {&labels[0], &labels[1], &labels[2], &labels[3], &labels[4]}, &type};
    ChartState chart;
    const QColor red{255, 0, 0};

    void SetUp() override {
        picture.resize(240, 200);
        picture.SetBackColor(Qt::black);
        chart.ChartPeak = 2.0f;
        view.DrawChartScale(chart, "DC", "Volts");
    }
    // Stores a value as the display tick does, and draws the trace.
    void store(float v) {
        chart.Store(v);
        view.DrawTrace(chart);
        chart.Advance();
    }
    // Whether the column of sample x holds red between two values.
    bool redIn(int x, float from, float to) {
        const QRect column = QRect(picture.ToPixel(x, from), picture.ToPixel(x, to)).normalized();
        return CountPixels(picture.Image(), column, [&](const QColor& c) { return c == red; }) > 0;
    }
};

TEST_F(ChartDrawing, TypeScaleAndTheNewestValueAtTheRightOverTheGridAcInTheUpperHalf) {
    EXPECT_EQ(type.text(), "DC Volts");
    EXPECT_FLOAT_EQ(chart.ChartFullScale, 2.0f);
    store(1.0f);
    EXPECT_EQ(picture.PixelAt(239, 1.0f), red);
    // The dotted full-height mark at x = 40 is still drawn under the trace.
    const QRect mark(picture.ToPixel(40, 0).x(), 0, 1, 200);
    EXPECT_GT(CountPixels(picture.Image(), mark,
                          [&](const QColor& c) { return c != Qt::black && c != red; }),
              0);
    view.DrawChartScale(chart, "No ", "omm");
    EXPECT_EQ(type.text(), "No Comm");
    // AC readings use the upper half only.
    view.DrawChartScale(chart, "AC", "Volts");
    EXPECT_TRUE(view.OneSided());
    store(0.5f);
    EXPECT_EQ(picture.PixelAt(239, 0.5f), red);
    EXPECT_EQ(picture.ToPixel(1, 0).y(), 199);
}

TEST_F(ChartDrawing, AZeroInTheMiddleIsBridgedAndAZeroNewestIsAPoint) {
    store(1.0f);
    store(0.0f);
    store(1.0f);
    // Oldest 1.0 at x 237, the zero at 238 has no point, newest 1.0 at 239.
    EXPECT_EQ(picture.PixelAt(237, 1.0f), red);
    EXPECT_EQ(picture.PixelAt(238, 1.0f), red) << "bridged";
    EXPECT_NE(picture.PixelAt(238, 0.0f), red) << "no point at zero";
    store(0.0f);
    EXPECT_EQ(picture.PixelAt(239, 0.0f), red) << "newest zero drawn as a point";
}

TEST_F(ChartDrawing, TheWrapFromTheLastSlotToTheFirstHasNoJump) {
    chart.ChartIndex = 238;
    store(-1.0f); // slot 238
    store(-1.0f); // slot 239
    store(1.5f);  // slot 0
    EXPECT_EQ(chart.ChartIndex, 1);
    EXPECT_EQ(picture.PixelAt(238, -1.0f), red) << "slot 239 just left of slot 0";
    EXPECT_EQ(picture.PixelAt(239, 1.5f), red);
    EXPECT_TRUE(redIn(239, -1.0f, 1.5f) || redIn(238, -1.0f, 1.5f));
}

} // namespace
