#pragma once

#include <QString>

namespace qmx {

// The Access-format copy of a log ("Convert Data to MS Access Database"): a log that is
// already in the Access format is copied byte for byte; a log of this program is written
// as a new Access-format database with the same rows. Either way it is written through
// an ExportFile: the target is replaced only once the new file is complete, and a target
// that is the log itself or may not be written is refused. Failures throw DbError.
void ExportAccessFile(const QString& log, const QString& target);

} // namespace qmx
