#include "grapher/logcopy.h"

#include "logging/dberror.h"
#include "logging/exportfile.h"

#include <QFile>

namespace qmx {

namespace {
constexpr qint64 kChunkBytes = 1 << 20;
} // namespace

QString AccessCopyName(const QString& logPath) {
    return logPath.left(logPath.size() - 3) + "mdb";
}

void CopyLogFile(const QString& source, const QString& target) {
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        throw DbError(DbError::kFileNotFound, in.errorString());
    }
    ExportFile out(source, target);
    while (!in.atEnd()) {
        const QByteArray chunk = in.read(kChunkBytes);
        if (chunk.isEmpty() && in.error() != QFile::NoError) {
            throw DbError(DbError::kIoError, in.errorString());
        }
        out.Write(chunk);
    }
    out.Commit();
}

} // namespace qmx
