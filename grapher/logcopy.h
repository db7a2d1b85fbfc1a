#pragma once

#include <QString>

// Copies a log file byte for byte to another name. The copy is written to a temporary
// file in the target's folder and renamed over the target, so a failed copy never
// leaves a damaged target; a target that is the source itself is refused. Throws DbError.
void CopyLogFile(const QString& source, const QString& target);

// The ".mdb" name next to a log: its name with the last three characters "mdb".
[[nodiscard]] QString AccessCopyName(const QString& logPath);
