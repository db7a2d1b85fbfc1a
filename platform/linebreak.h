#pragma once

#include <QString>

namespace qmx {

// The line break of the program's messages and of the files it writes for other programs.
inline const QString kCrLf = QStringLiteral("\r\n");

} // namespace qmx
