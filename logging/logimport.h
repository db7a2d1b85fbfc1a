#pragma once

#include <QString>

namespace qmx {

// Makes a new log of this program at target, through the program's own creation of a
// log file, holding the header and samples of a log of either format (typically one in
// the Access format from the earlier version of the program). An existing target is
// refused as a logging run refuses it (DbError kFileExists) and left untouched; on any
// other failure the new file is removed. Returns the number of samples.
qint64 ImportLog(const QString& source, const QString& target);

} // namespace qmx
