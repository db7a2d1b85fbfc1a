#include "grapher/graphcaptions.h"

#include "grapher/graphview.h"
#include "grapher/logdocument.h"

#include <QDate>
#include <QFileInfo>
#include <QLocale>

namespace qmx {

GraphCaptions GraphCaptions::Of(const QString& path, const LogDocument& log, const GraphView& view,
                                const ScaleLayout& layout) {
    GraphCaptions c;
    c.Title = view.Title();
    c.FileName = FileNameCaption(path);
    c.Date = LongDate(log.Date());
    c.Comment = log.Description();
    if (layout.HasCoordinates) {
        c.ScaleLabels = layout.Labels;
    }
    c.Times = TimeAxis::Marks(view, log);
    return c;
}

QString FileNameCaption(const QString& path) {
    return "Filename: " + QFileInfo(path).fileName();
}

QString LongDate(const QString& stored) {
    QDate date = QLocale::c().toDate(stored, "M/d/yyyy");
    if (!date.isValid()) {
        date = QDate::fromString(stored, Qt::ISODate);
    }
    return date.isValid() ? QLocale().toString(date, QLocale::LongFormat) : stored;
}

} // namespace qmx
