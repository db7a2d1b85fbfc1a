#pragma once

#include "logging/jet4/jetbytes.h"
#include "logging/logrecord.h"

#include <QDateTime>
#include <QString>

#include <functional>

namespace qmx {

class ExportFile;

// Writes a log as a new Access-format (Jet 4, Access 2000) database with the tables
// LogData and Info, the rows in the order given and nulls kept, into an export file that
// the caller commits once it is written. A log that breaks the tables' rules, cannot be
// read or would pass the format's 2 GB limit throws DbError naming the table and row (a
// log too large is found before any page is written). Memory stays constant whatever
// the rows.
class JetLogWriter {
public:
    // Reads the log into the visitor; it may be called twice (a log that may be near the
    // size limit is measured before anything is written).
    using Source = std::function<void(LogVisitor&)>;

    explicit JetLogWriter(QDateTime created = QDateTime::currentDateTime(),
                          quint32 mostPages = Jet::kMaxPages);

    // samples: the number of samples the source announces (-1: unknown).
    void Write(ExportFile& file, qint64 samples, const Source& source);
    // The number of pages of the last file written.
    [[nodiscard]] quint32 Pages() const { return pages_; }

private:
    QDateTime created_;
    quint32 mostPages_;
    quint32 pages_ = 0;
};

} // namespace qmx
