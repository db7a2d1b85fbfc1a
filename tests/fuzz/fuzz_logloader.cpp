// Any file given to the graph window as a log: opened, its first and last samples read,
// the extremes and scale found, and exported; failures must be reported, never crash.
#include "grapher/csvexport.h"
#include "grapher/graphview.h"
#include "grapher/logdocument.h"
#include "logging/dberror.h"

#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstdint>

using namespace qmx;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const QTemporaryDir scratch; // a folder of this fuzzing process's own
    const QString log = scratch.filePath("input.qmx");
    QFile::remove(log + "-journal");
    {
        QFile f(log);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            return 0;
        }
        f.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    try {
        const LogDocument doc(log);
        (void)doc.Read(1);
        (void)doc.Read(doc.Count());
        GraphView view;
        view.ViewAll(doc.Count());
        GraphScale::GetMaxMin(view, doc);
        (void)GraphScale::DrawScale(view, view.MaxVal, view.MinVal);
        CsvExport(log, scratch.filePath("out.csv")).Run();
    } catch (const DbError&) {
        // A file that is not a readable log is refused with a message.
    }
    return 0;
}
