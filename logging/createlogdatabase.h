#pragma once

#include <QString>

#include <functional>

namespace qmx {

class Dialogs;

// Makes a new, empty log file at path. On a failure the "Database Creation Error!" box
// offers Retry (repeats the failed step) and Cancel (calls endProgram, which ends the
// program at once). Returns whether the file was made: the DbCreateFailed of the caller
// is its negation.
[[nodiscard]] bool CreateLogDatabase(const QString& path, Dialogs& dialogs,
                                     const std::function<void()>& endProgram);

} // namespace qmx
