#include "tests/support/settingsfixture.h"

#include <QSettings>

void SettingsFixture::SetUp() {
    QSettings("QMX7300", "QMX7300").clear();
}
