#pragma once

#include "grapher/timeaxis.h"

#include <QString>

#include <array>
#include <vector>

namespace qmx {

class GraphView;
class LogDocument;
struct ScaleLayout;

// The texts around the graph: what the window's labels show, and what a picture of the
// graph writes at the same places.
struct GraphCaptions {
    static inline const std::array<QString, 5> kDesignScaleLabels{"Max", "MidHigh", "Mid", "MidLow",
                                                                  "Min"};

    QString Title;
    QString FileName; // "Filename: " and the file's name
    QString Date;
    QString Comment;
    std::array<QString, 5> ScaleLabels = kDesignScaleLabels;
    std::vector<TimeAxis::Mark> Times;

    // The texts of a log opened at path and drawn in the view (a view of fewer than two
    // samples has no scale: its labels keep their design captions).
    [[nodiscard]] static GraphCaptions Of(const QString& path, const LogDocument& log,
                                          const GraphView& view, const ScaleLayout& layout);
};

// "Filename: " and the last part of the path.
[[nodiscard]] QString FileNameCaption(const QString& path);
// The stored date in the system's long form, or as stored when it reads as no date.
[[nodiscard]] QString LongDate(const QString& stored);

} // namespace qmx
