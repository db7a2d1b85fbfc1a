#include "logging/chartview.h"

#include "display/scaleladder.h"
#include "display/vbcolor.h"
#include "ui/picturebox.h"
#include "ui/widgetcolors.h"

#include <QLabel>

namespace qmx {

namespace {

constexpr int kFirstX = 1;
constexpr int kLastX = 239;
constexpr int kMarkStep = 4;
constexpr int kLastMarkX = 236;

struct TickLengths {
    float shortBottom, shortTop, mediumBottom, mediumTop;
};
constexpr TickLengths kOneSidedTicks{0.02f, 0.02f, 0.03f, 0.03f};
constexpr TickLengths kTwoSidedTicks{0.04f, 0.02f, 0.06f, 0.04f};

QColor gridColor() {
    return ColorFromVb(VbColor::kGrayText);
}

} // namespace

void ChartView::DrawChartScale(ChartState& chart, const QString& readingMode,
                               const QString& readingUnits) {
    top_ = ChartScale::TopFor(chart.ChartPeak);
    oneSided_ = IsOneSided(readingMode);
    const auto texts = ChartScale::Labels(top_, oneSided_);
    for (size_t i = 0; i < labels_.size(); ++i) {
        labels_[i]->setText(texts[i]);
    }
    typeLabel_->setText(ChartScale::TypeText(readingMode, readingUnits));
    picture_->SetPicture(QImage());
    picture_->Cls();
    drawGrid();
    // The grid stays as the picture each trace is drawn over, not drawn anew every tick.
    picture_->SetPicture(picture_->Image());
    chart.ChartFullScale = top_;
}

void ChartView::drawGrid() {
    const float bottom = oneSided_ ? 0.0f : -top_;
    picture_->Scale(kFirstX, top_, kLastX, bottom);
    picture_->SetLineStyle(PictureBox::LineStyle::Dotted);
    const QColor grey = gridColor();
    const std::array<float, 3> rows = oneSided_
                                          ? std::array{top_ * 0.5f, top_ * 0.75f, top_ * 0.25f}
                                          : std::array{top_ / 2.0f, -top_ / 2.0f, 0.0f};
    for (const float y : rows) {
        picture_->Line(kFirstX, y, kLastX, y, grey);
    }
    const TickLengths ticks = oneSided_ ? kOneSidedTicks : kTwoSidedTicks;
    for (int x = 0; x <= kLastMarkX; x += kMarkStep) {
        if (x % 40 == 0 && x >= 40 && x <= 200) {
            picture_->SetLineStyle(PictureBox::LineStyle::Dotted);
            picture_->Line(x, top_, x, bottom, grey);
            continue;
        }
        const bool medium = x % 40 == 20 && x >= 20 && x <= 220;
        const float up = (medium ? ticks.mediumBottom : ticks.shortBottom) * top_;
        const float down = (medium ? ticks.mediumTop : ticks.shortTop) * top_;
        picture_->SetLineStyle(PictureBox::LineStyle::Solid);
        picture_->Line(x, bottom, x, bottom + up, grey);
        picture_->Line(x, top_, x, top_ - down, grey);
    }
    picture_->SetLineStyle(PictureBox::LineStyle::Solid);
}

void ChartView::DrawTrace(const ChartState& chart) {
    picture_->Cls();
    picture_->Scale(kFirstX, top_, kLastX, oneSided_ ? 0.0f : -top_);
    const QColor red = ColorFromVb(VbColor::kRed);
    for (int i = 0; i < ChartState::kSlots - 1; ++i) {
        int j = chart.ChartIndex - i;
        if (j < 0) {
            j += ChartState::kSlots;
        }
        const float value = chart.ChartBuffer[size_t(j)];
        const int x = kLastX - i;
        if (i == 0) {
            picture_->PSet(x, value, red);
        } else if (value != 0.0f) {
            // A zero has no point: the next line bridges it.
            picture_->LineTo(x, value, red);
        }
    }
}

} // namespace qmx
