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

// Markers are drawn inverted: drawing them again restores the picture exactly. A dotted
// line leaves gaps.
TEST_F(PictureBoxTest, InvertingTheSameLinesTwiceRestoresTheImageExactly) {
    box.Line(1, 5, 239, -5, Qt::red);
    box.SetLineStyle(PictureBox::LineStyle::Dotted);
    box.Line(1, 0, 239, 0, Qt::gray);
    const int row = box.ToPixel(1, 0).y();
    int lit = 0;
    for (int x = 0; x < 240; ++x) {
        lit += box.Image().pixelColor(x, row) == QColor(Qt::gray);
    }
    EXPECT_GT(lit, 40);
    EXPECT_LT(lit, 200);
    const QImage before = box.Image().copy();
    box.SetDrawMode(PictureBox::DrawMode::Invert);
    box.SetLineStyle(PictureBox::LineStyle::Solid);
    const auto cross = [&] {
        box.Line(100, 8, 100, -8, Qt::white);
        box.Line(90, 0, 110, 0, Qt::white);
    };
    cross();
    EXPECT_EQ(box.PixelAt(100, 5), QColor(Qt::white)) << "black inverted is white";
    cross();
    EXPECT_EQ(box.Image(), before);
}

} // namespace
