#include "grapher/graphpicture.h"

#include "grapher/graphlayout.h"
#include "grapher/graphplot.h"
#include "grapher/graphview.h"
#include "grapher/logdocument.h"
#include "logging/exportfile.h"
#include "ui/usercanvas.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>

namespace qmx {

namespace {

// The picture's typeface comes with the program's dependencies, so that a picture made
// on one machine is the same on another.
const QString kFace = QStringLiteral("DejaVu Sans");
constexpr int kTextPx = 12;
constexpr int kTitlePx = 16;
constexpr int kTimePx = 10;
const QColor kPaper(Qt::white);
const QColor kInk(Qt::black);
const QColor kFrame(122, 122, 122);

QFont face(int pixels, bool bold = false, bool italic = false) {
    QFont font(kFace);
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

void text(QPainter& painter, const QRect& where, Qt::Alignment alignment, const QFont& font,
          const QString& text) {
    painter.setFont(font);
    painter.drawText(where, int(alignment), text);
}

} // namespace

GraphPicture::GraphPicture(const LogDocument& log, const GraphView& view, const ScaleLayout& layout,
                           GraphCaptions captions)
    : log_(log), view_(view), layout_(layout), captions_(std::move(captions)) {}

std::optional<GraphPicture::Format> GraphPicture::FormatOf(const QString& path) {
    const QString extension = QFileInfo(path).suffix().toLower();
    if (extension == u"png") {
        return Format::Png;
    }
    if (extension == u"svg") {
        return Format::Svg;
    }
    return std::nullopt;
}

void GraphPicture::Draw(QPainter& painter) const {
    painter.fillRect(GraphLayout::kPicture, kPaper);
    drawPlot(painter);
    drawTexts(painter);
}

void GraphPicture::drawTexts(QPainter& painter) const {
    using namespace GraphLayout;
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setPen(kInk);
    text(painter, kTitle, Qt::AlignCenter, face(kTitlePx, true), captions_.Title);
    text(painter, kFileName, Qt::AlignLeft | Qt::AlignVCenter, face(kTextPx, false, true),
         captions_.FileName);
    text(painter, kDate, Qt::AlignRight | Qt::AlignVCenter, face(kTextPx), captions_.Date);
    painter.setPen(kFrame);
    painter.drawRect(kComment.adjusted(0, 0, -1, -1));
    painter.setPen(kInk);
    text(painter, kComment.adjusted(4, 0, -4, 0), Qt::AlignLeft | Qt::AlignVCenter,
         face(kTextPx, true), captions_.Comment);
    for (int i = 0; i < int(captions_.ScaleLabels.size()); ++i) {
        text(painter, ScaleLabel(i), Qt::AlignRight | Qt::AlignVCenter, face(kTextPx),
             captions_.ScaleLabels[size_t(i)]);
    }
}

void GraphPicture::drawPlot(QPainter& painter) const {
    using namespace GraphLayout;
    painter.fillRect(kPlot, Qt::black);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setClipRect(kPlot);
    // Lines a pen wide through pixel centres cover the pixels the window's lines cover.
    painter.translate(kPlot.left() + 0.5, kPlot.top() + 0.5);
    UserCanvas canvas([&]() -> QPainter& { return painter; });
    canvas.SetSize(kPlot.size());
    canvas.SetPenWidth(1.0);
    GraphPlot::DrawGrid(canvas, view_, layout_);
    GraphPlot::PopulateGraph(canvas, view_, log_);
    canvas.Flush();
    painter.restore();
    const auto count = int(captions_.Times.size());
    painter.setPen(kInk);
    for (int i = 0; i < count; ++i) {
        const TimeAxis::Mark& mark = captions_.Times[size_t(i)];
        const int x = canvas.ToPixel(mark.ViewIndex, 0.0).x();
        text(painter, TimeLabel(i, count, x), TimeAlignment(i, count), face(kTimePx), mark.Text);
    }
}

QByteArray GraphPicture::Encode(Format format) const {
    QBuffer bytes;
    bytes.open(QIODevice::WriteOnly);
    if (format == Format::Png) {
        QImage image(GraphLayout::kPicture.size() * kPngScale, QImage::Format_RGB32);
        QPainter painter(&image);
        painter.scale(kPngScale, kPngScale);
        Draw(painter);
        painter.end();
        image.save(&bytes, "PNG");
    } else {
        QSvgGenerator svg;
        svg.setOutputDevice(&bytes);
        svg.setSize(GraphLayout::kPicture.size());
        svg.setViewBox(GraphLayout::kPicture);
        svg.setTitle(captions_.Title);
        svg.setDescription(captions_.FileName);
        QPainter painter(&svg);
        Draw(painter);
        painter.end();
    }
    return bytes.data();
}

void GraphPicture::Save(const QString& target, Format format) const {
    const QByteArray bytes = Encode(format);
    ExportFile file(log_.Path(), target);
    file.Write(bytes);
    file.Commit();
}

} // namespace qmx
