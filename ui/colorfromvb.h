#pragma once

#include <QColor>

namespace qmx {

// The colour a 0x00BBGGRR value stands for; the system colours take the palette's.
[[nodiscard]] QColor ColorFromVb(qint32 value);

} // namespace qmx
