#include "grapher/accessexport.h"

#include "grapher/logcopy.h"
#include "logging/dberror.h"
#include "logging/jet4/jetlogwriter.h"
#include "logging/logreader.h"

#include <QFileInfo>

void ExportAccessFile(const QString& log, const QString& target) {
    if (LogReader::IsAccessFormat(log)) {
        CopyLogFile(log, target);
        return;
    }
    const QFileInfo from(log), to(target);
    if (from.absoluteFilePath() == to.absoluteFilePath() ||
        (to.exists() && from.canonicalFilePath() == to.canonicalFilePath())) {
        throw DbError(DbError::kPermissionDenied, "the copy would replace the log itself");
    }
    JetLogWriter(target).Write(LogReader::SqliteSampleCount(log),
                               [&log](LogVisitor& visitor) { LogReader::Read(log, visitor); });
}
