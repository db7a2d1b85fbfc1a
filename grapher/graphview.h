#pragma once

#include <QString>

#include <array>
#include <optional>

namespace qmx {

class LogDocument;

// The graph window's view of the open log: the samples in view, their extremes, the
// scale, the sign filter, the cursor cross and the zoom markers. Positions and counts
// are 32-bit: a log of any length can be viewed.
class GraphView {
public:
    static inline const QString kBoth = QStringLiteral("both");
    static inline const QString kPositive = QStringLiteral("positive");
    static inline const QString kNegative = QStringLiteral("negative");
    static inline const QString kMixed = QStringLiteral("Mixed Data Types");

    // The samples in view, FirstPos to LastPos, and how many they are. Only SetRange and
    // ViewAll change them, so the count always matches the range that is drawn.
    [[nodiscard]] qint32 FirstPos() const { return firstPos_; }
    [[nodiscard]] qint32 LastPos() const { return lastPos_; }
    [[nodiscard]] qint32 ViewCount() const { return lastPos_ + 1 - firstPos_; }
    void SetRange(qint32 first, qint32 last);
    // The whole log in view.
    void ViewAll(qint32 count) { SetRange(1, count); }

    float MaxVal = 0.0f;
    float MinVal = 0.0f;
    QString LogType;
    float CursorX = 0.0f;
    float PrevCursorX = 0.0f;
    float PrevCursorY = 0.0f;
    float MarkerNew = 0.0f;
    float MarkerOld = 0.0f;
    float ScaleTop = 0.0f;
    float ScaleBottom = 0.0f;
    float ScaleHalf = 0.0f;
    float CursorHalfWidth = 0.0f;
    float CursorHalfHeight = 0.0f;
    QString LogUnits;
    bool MixedTypes = false;
    QString SignFilter = kBoth;

    // Clears the scale, extremes, cursor and markers before a redraw.
    void ClearForRedraw();
    [[nodiscard]] QString Title() const;

private:
    qint32 firstPos_ = 0;
    qint32 lastPos_ = -1;
};

// What the scale step decided: the coordinate system, grid rows and five labels.
struct ScaleLayout {
    bool HasCoordinates = false; // a view of two samples or more
    float TopEdge = 0.0f;
    float BottomEdge = 0.0f;
    std::array<float, 3> GridRows{};
    std::array<QString, 5> Labels;
    bool PlusMinusEnabled = true;
};

namespace GraphScale {

// The extremes of the view, with its type and units and whether types are mixed.
// Samples without a value are skipped.
void GetMaxMin(GraphView& view, const LogDocument& log);
// The full scale from the ladder 0.1 to 2000, the negative step, the sign filter forced
// to "positive" for AC and FR, and the cursor's size.
[[nodiscard]] ScaleLayout DrawScale(GraphView& view, float max, float min);
// The filter after "+ / -" from the current one.
[[nodiscard]] QString NextSignFilter(const QString& current, float max, float min);
// The title suffix the sign filter adds ("" for both).
[[nodiscard]] QString SignSuffix(const QString& filter);
// Nearest whole number, halves to the even neighbour.
[[nodiscard]] qint64 RoundHalfEven(double x);
// The samples between two markers (graph x, counted from the view's first sample; 0 is
// no marker), never fewer than two when the view has two.
[[nodiscard]] std::pair<qint32, qint32> ZoomRange(const GraphView& view);
// The sample under the pointer at graph x, always within the view.
[[nodiscard]] qint32 PositionAt(const GraphView& view, double x);

} // namespace GraphScale

} // namespace qmx
