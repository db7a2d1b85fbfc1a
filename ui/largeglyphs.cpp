#include "ui/largeglyphs.h"

#include <QByteArray>
#include <QtGlobal>

namespace qmx {

void CacheLargeGlyphs() {
    if (!qEnvironmentVariableIsSet("QT_MAX_CACHED_GLYPH_SIZE")) {
        qputenv("QT_MAX_CACHED_GLYPH_SIZE", "128");
    }
}

} // namespace qmx
