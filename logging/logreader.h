#pragma once

#include "logging/logrecord.h"

#include <QString>

namespace qmx {

// Reading a log of either format: a log of this program (SQLite), or one in the Access
// format (Jet 4) made by the earlier version of the program or by its Access export,
// told apart by content, whatever the file's name.
namespace LogReader {

// Whether the file starts with the Access-format (Jet) signature.
[[nodiscard]] bool IsAccessFormat(const QString& path);
// Passes the log's sample count, its Info rows, then its samples in stored order.
// Failures throw DbError (an Access-format file that cannot be read: kUnreadableLog).
void Read(const QString& path, LogVisitor& visitor);
// The number of samples of a log of this program.
[[nodiscard]] qint64 SqliteSampleCount(const QString& path);

} // namespace LogReader

} // namespace qmx
