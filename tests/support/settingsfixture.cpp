#include "tests/support/settingsfixture.h"

#include <QSettings>

namespace qmx {

void SettingsFixture::SetUp() {
    QSettings("QMX7300", "QMX7300").clear();
}

} // namespace qmx
