#pragma once

#include "grapher/graphcaptions.h"

#include <QByteArray>
#include <QString>

#include <optional>

class QPainter;

namespace qmx {

class GraphView;
class LogDocument;
struct ScaleLayout;

// A picture of the graph as the window shows it: the plot with its grid and trace, the
// scale labels, the time stamps, the title, the file name, the date and the comment, at
// the window's places (without the cursor cross and the zoom markers, which only point).
// The plot is drawn by the window's own drawing code.
class GraphPicture {
public:
    enum class Format { Png, Svg };
    // A PNG has this many pixels for each of the window's.
    static constexpr int kPngScale = 2;

    GraphPicture(const LogDocument& log, const GraphView& view, const ScaleLayout& layout,
                 GraphCaptions captions);

    // The format a file name asks for by its extension, ".png" or ".svg" in any case;
    // none for another extension or none.
    [[nodiscard]] static std::optional<Format> FormatOf(const QString& path);

    // Draws on a painter whose units are the window's pixels.
    void Draw(QPainter& painter) const;
    [[nodiscard]] QByteArray Encode(Format format) const;
    // Writes the picture as the exports write their files: complete or not at all, never
    // over the log. Failures throw DbError.
    void Save(const QString& target, Format format) const;

private:
    void drawTexts(QPainter& painter) const;
    void drawPlot(QPainter& painter) const;

    const LogDocument& log_;
    const GraphView& view_;
    const ScaleLayout& layout_;
    GraphCaptions captions_;
};

} // namespace qmx
