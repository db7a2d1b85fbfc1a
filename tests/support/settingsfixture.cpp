#include "tests/support/settingsfixture.h"

#include <QSettings>

void SettingsFixture::SetUp() {
    QSettings(QSettings::IniFormat, QSettings::UserScope, "QMX7300", "QMX7300").clear();
}
