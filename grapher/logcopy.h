#pragma once

#include <QString>

namespace qmx {

// Copies a log file byte for byte to another name, through an ExportFile: a failed copy
// never leaves a damaged target, and a target that is the log itself or may not be
// written is refused. Throws DbError.
void CopyLogFile(const QString& source, const QString& target);

// The ".mdb" name next to a log: its name with the last three characters "mdb".
[[nodiscard]] QString AccessCopyName(const QString& logPath);

} // namespace qmx
