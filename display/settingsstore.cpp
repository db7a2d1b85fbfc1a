#include "display/settingsstore.h"

#include <QSettings>

namespace {

const QString kSection = QStringLiteral("Startup/");

QSettings store() {
    return QSettings("QMX7300", "QMX7300");
}

} // namespace

QString SettingsStore::Read(const QString& key, const QString& defaultValue) const {
    const QVariant value = store().value(kSection + key);
    return value.isValid() ? value.toString() : defaultValue;
}

void SettingsStore::Write(const QString& key, const QString& text) {
    QSettings s = store();
    s.setValue(kSection + key, text);
    s.sync();
}

bool SettingsStore::Contains(const QString& key) const {
    return store().contains(kSection + key);
}

QString SettingsStore::FileName() const {
    return store().fileName();
}
