#pragma once

#include "logging/sqlitedb.h"

#include <QString>

#include <memory>

namespace qmx {

// Whether a database file holds a log as this program writes it: no other program's
// application id, and the tables LogData and Info as plain stored tables with their columns. A file
// that only looks like one (a view in a table's place, a column missing or computed) is refused
// before anything is read.
namespace LogLayout {

// Throws DbError kNotALogFile naming the first table or column that is not a log's, or
// the application id of another program.
void Check(SqliteDb& db);
// Whether the file holds triggers: commands of its own that a change would run.
[[nodiscard]] bool HasTriggers(SqliteDb& db);
// A log of this program opened for reading, its layout checked.
[[nodiscard]] std::unique_ptr<SqliteDb> OpenForReading(const QString& path);

} // namespace LogLayout

} // namespace qmx
