#include "grapher/accessexport.h"

#include "grapher/logcopy.h"
#include "logging/exportfile.h"
#include "logging/jet4/jetlogwriter.h"
#include "logging/logreader.h"

namespace qmx {

void ExportAccessFile(const QString& log, const QString& target) {
    if (LogReader::IsAccessFormat(log)) {
        CopyLogFile(log, target);
        return;
    }
    ExportFile out(log, target);
    JetLogWriter().Write(out, LogReader::SqliteSampleCount(log),
                         [&log](LogVisitor& visitor) { LogReader::Read(log, visitor); });
    out.Commit();
}

} // namespace qmx
