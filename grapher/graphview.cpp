#include "grapher/graphview.h"

#include "display/numberformat.h"
#include "display/scaleladder.h"
#include "grapher/logdocument.h"

#include <cmath>
#include <span>

namespace qmx {

namespace {

constexpr float kMaxSentinel = -50000.0f;
constexpr float kMinSentinel = 50000.0f;

QString labelText(float value) {
    return value == 0.0f ? QString("0") : FormatScale(value);
}

} // namespace

void GraphView::SetRange(qint32 first, qint32 last) {
    firstPos_ = first;
    lastPos_ = last;
}

void GraphView::ClearForRedraw() {
    MixedTypes = false;
    ScaleTop = ScaleBottom = MaxVal = MinVal = 0.0f;
    PrevCursorX = PrevCursorY = MarkerNew = MarkerOld = 0.0f;
}

QString GraphView::Title() const {
    return MixedTypes ? kMixed : LogType + " " + LogUnits;
}

namespace GraphScale {

void GetMaxMin(GraphView& view, const LogDocument& log) {
    view.MaxVal = kMaxSentinel;
    view.MinVal = kMinSentinel;
    const std::span<const float> values = log.Values(view.FirstPos(), view.LastPos());
    const std::span<const quint16> kinds = log.KindIds(view.FirstPos(), view.LastPos());
    const std::vector<LogDocument::Kind>& kind = log.Kinds();
    const LogDocument::Sample first = log.Read(view.FirstPos());
    view.LogType = first.Type;
    view.LogUnits = first.Units;
    for (size_t i = 0; i < values.size(); ++i) {
        const float v = values[i];
        if (v >= view.MaxVal) {
            view.MaxVal = v;
        }
        if (v <= view.MinVal) {
            view.MinVal = v;
        }
        if (kind[kinds[i]].TypeId != kind[kinds[0]].TypeId) {
            view.MixedTypes = true;
        }
    }
}

ScaleLayout DrawScale(GraphView& view, float max, float min) {
    const float peak = std::max(max, std::fabs(min));
    view.ScaleTop = kScaleLadder[0];
    view.ScaleHalf = kScaleLadder[0] / 2.0f;
    for (size_t i = 0; i + 1 < kScaleLadder.size(); ++i) {
        if (peak > view.ScaleTop) {
            view.ScaleTop = kScaleLadder[i + 1];
            view.ScaleHalf = kScaleLadder[i + 1] / 2.0f;
        }
    }
    // The bottom steps down the same ladder, below zero.
    for (size_t i = 0; i + 1 < kScaleLadder.size(); ++i) {
        const float next = -kScaleLadder[i + 1];
        if (min < -kScaleLadder[i] && view.ScaleBottom > next) {
            view.ScaleBottom = next;
        }
    }
    if (std::fabs(view.ScaleBottom) > view.ScaleTop) {
        view.ScaleTop = std::fabs(view.ScaleBottom);
    }
    ScaleLayout layout;
    layout.PlusMinusEnabled = !IsOneSided(view.LogType);
    if (!layout.PlusMinusEnabled) {
        view.SignFilter = GraphView::kPositive;
    }
    const float t = view.ScaleTop;
    const float h = view.ScaleHalf;
    layout.HasCoordinates = view.ViewCount() >= 2;
    if (view.SignFilter == GraphView::kPositive) {
        layout.TopEdge = t;
        layout.BottomEdge = 0.0f;
        layout.GridRows = {h, 0.75f * t, 0.25f * t};
        layout.Labels = {labelText(t), labelText(0.75f * t), labelText(0.5f * t),
                         labelText(0.25f * t), "0"};
    } else if (view.SignFilter == GraphView::kNegative) {
        layout.TopEdge = 0.0f;
        layout.BottomEdge = -t;
        layout.GridRows = {-h, -0.75f * t, -0.25f * t};
        layout.Labels = {"0", labelText(-0.25f * t), labelText(-0.5f * t), labelText(-0.75f * t),
                         labelText(-t)};
    } else {
        layout.TopEdge = t;
        layout.BottomEdge = -t;
        layout.GridRows = {h, -h, 0.0f};
        layout.Labels = {labelText(t), labelText(t / 2.0f), "0", labelText(-t / 2.0f),
                         labelText(-t)};
    }
    view.CursorHalfWidth = float(view.ViewCount()) / 50.0f;
    view.CursorHalfHeight = IsOneSided(view.LogType) ? t / 50.0f : t / 25.0f;
    return layout;
}

QString NextSignFilter(const QString& current, float max, float min) {
    if (current == GraphView::kBoth) {
        return max > 0.0f ? GraphView::kPositive : GraphView::kNegative;
    }
    if (current == GraphView::kPositive) {
        return min < 0.0f ? GraphView::kNegative : GraphView::kBoth;
    }
    return GraphView::kBoth;
}

QString SignSuffix(const QString& filter) {
    if (filter == GraphView::kNegative) {
        return " - Negative Values Only!";
    }
    if (filter == GraphView::kPositive) {
        return " - Positive Values Only!";
    }
    return {};
}

qint64 RoundHalfEven(double x) {
    if (!std::isfinite(x)) {
        return 0;
    }
    return qint64(std::nearbyint(std::clamp(x, -4e18, 4e18)));
}

std::pair<qint32, qint32> ZoomRange(const GraphView& view) {
    const auto toPosition = [&](float marker) {
        const qint64 k = std::max<qint64>(1, RoundHalfEven(marker));
        return qint32(std::clamp<qint64>(view.FirstPos() - 1 + k, view.FirstPos(), view.LastPos()));
    };
    const float low = std::min(view.MarkerOld, view.MarkerNew);
    const float high = std::max(view.MarkerOld, view.MarkerNew);
    qint32 first = low == 0.0f ? view.FirstPos() : toPosition(low);
    qint32 last = toPosition(high);
    if (first == last) {
        // One sample has no coordinate system: take its neighbour too.
        if (last < view.LastPos()) {
            ++last;
        } else if (first > view.FirstPos()) {
            --first;
        }
    }
    return {first, last};
}

qint32 PositionAt(const GraphView& view, double x) {
    const qint64 p = view.FirstPos() + RoundHalfEven(x) - 1;
    return qint32(std::clamp<qint64>(p, view.FirstPos(), view.LastPos()));
}

} // namespace GraphScale

} // namespace qmx
