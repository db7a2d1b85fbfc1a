#include "ui/picturebox.h"

#include <gtest/gtest.h>

using namespace qmx;

namespace {

class PictureBoxTest : public ::testing::Test {
protected:
    PictureBox box;
    void SetUp() override {
        box.resize(240, 200);
        box.SetBackColor(Qt::black);
        box.Cls();
        box.Scale(1, 10, 239, -10);
    }
};

TEST_F(PictureBoxTest, EdgesMapToTheFirstAndLastPixelCentres) {
    EXPECT_EQ(box.ToPixel(1, 10), QPoint(0, 0));
    EXPECT_EQ(box.ToPixel(239, -10), QPoint(239, 199));
    EXPECT_EQ(box.ToPixel(120, 0), box.ToPixel(120, 0.0));
    box.PSet(239, 10, Qt::red);
    EXPECT_EQ(box.Image().pixelColor(239, 0), QColor(Qt::red));
}

TEST_F(PictureBoxTest, InvertingTheSameLinesTwiceRestoresTheImageExactly) {
    box.Line(1, 5, 239, -5, Qt::red);
    box.SetLineStyle(PictureBox::LineStyle::Dotted);
    box.Line(1, -10, 200, 10, Qt::gray);
    const QImage before = box.Image().copy();
    box.SetDrawMode(PictureBox::DrawMode::Invert);
    box.SetLineStyle(PictureBox::LineStyle::Solid);
    const auto cross = [&] {
        box.Line(100, 8, 100, -8, Qt::white);
        box.Line(90, 0, 110, 0, Qt::white);
    };
    cross();
    EXPECT_NE(box.Image(), before);
    EXPECT_EQ(box.PixelAt(100, 5), QColor(Qt::white)) << "black inverted is white";
    cross();
    EXPECT_EQ(box.Image(), before);
}

TEST_F(PictureBoxTest, ALineFromTheCurrentPointAndFarOffValuesAreClippedNotWrapped) {
    box.PSet(1, 0, Qt::red);
    box.LineTo(239, 0, Qt::red);
    EXPECT_EQ(box.PixelAt(120, 0), QColor(Qt::red));
    box.Line(1, -1e30, 239, 1e30, Qt::green);
    box.Line(1, 0, 239, std::numeric_limits<double>::infinity(), Qt::green);
    bool green = false;
    const QPoint middle = box.ToPixel(120, 0);
    for (int x = middle.x() - 2; x <= middle.x() + 2; ++x) {
        green = green || box.Image().pixelColor(x, middle.y()) == QColor(Qt::green);
    }
    EXPECT_TRUE(green) << "the steep line crosses the middle";
}

TEST_F(PictureBoxTest, TheImageSurvivesAResize) {
    box.PSet(50, 5, Qt::red);
    const QPoint p = box.ToPixel(50, 5);
    box.resize(300, 250);
    EXPECT_EQ(box.Image().pixelColor(p), QColor(Qt::red));
    EXPECT_EQ(box.Image().size(), QSize(300, 250));
}

TEST_F(PictureBoxTest, DottedLinesLeaveGaps) {
    box.SetLineStyle(PictureBox::LineStyle::Dotted);
    box.Line(1, 0, 239, 0, Qt::white);
    int lit = 0;
    const int row = box.ToPixel(1, 0).y();
    for (int x = 0; x < 240; ++x) {
        lit += box.Image().pixelColor(x, row) == QColor(Qt::white);
    }
    EXPECT_GT(lit, 40);
    EXPECT_LT(lit, 200);
}

} // namespace
