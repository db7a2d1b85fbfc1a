#include "grapher/logcopy.h"

#include "logging/dberror.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {
constexpr qint64 kChunkBytes = 1 << 20;
} // namespace

QString AccessCopyName(const QString& logPath) {
    return logPath.left(logPath.size() - 3) + "mdb";
}

void CopyLogFile(const QString& source, const QString& target) {
    const QFileInfo from(source);
    const QFileInfo to(target);
    if (from.absoluteFilePath() == to.absoluteFilePath() ||
        (to.exists() && from.canonicalFilePath() == to.canonicalFilePath())) {
        throw DbError(DbError::kPermissionDenied, "the copy would replace the log itself");
    }
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        throw DbError(DbError::kFileNotFound, in.errorString());
    }
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly)) {
        throw DbError(DbError::kPermissionDenied, out.errorString());
    }
    while (!in.atEnd()) {
        const QByteArray chunk = in.read(kChunkBytes);
        if (chunk.isEmpty() && in.error() != QFile::NoError) {
            throw DbError(DbError::kIoError, in.errorString());
        }
        if (out.write(chunk) != chunk.size()) {
            throw DbError(DbError::kDiskFull, out.errorString());
        }
    }
    if (!out.commit()) {
        throw DbError(DbError::kIoError, out.errorString());
    }
}
