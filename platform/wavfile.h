#pragma once

#include <QString>

namespace qmx {

// What keeps a file from playing as the alarm sound: empty when it is a WAV file the
// player decodes (PCM of 8, 16 or 32 bits, or 32-bit float), otherwise the reason, for
// the user. The path may name a Qt resource.
[[nodiscard]] QString WavProblem(const QString& path);

} // namespace qmx
