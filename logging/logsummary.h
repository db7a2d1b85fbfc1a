#pragma once

#include <QString>
#include <QStringList>

namespace qmx {

// What a log holds at a glance, read without loading its samples: the run's header, the
// number of samples, the first and last time stamps and the types of reading, in order of
// first appearance. A log without samples (or without its header row) is still a log.
struct LogSummary {
    QString Date;
    QString Description;
    qint64 Samples = 0;
    QString FirstTimeStamp;
    QString LastTimeStamp;
    QStringList Types;

    // Throws DbError when the file is not a readable log.
    [[nodiscard]] static LogSummary Read(const QString& path);
};

} // namespace qmx
