#include "display/settingsstore.h"

#include <QFile>
#include <QSettings>

namespace {

const QString kSection = QStringLiteral("Startup/");

QSettings store() {
    return QSettings("QMX7300", "QMX7300");
}

// The text after "key=" in the store's section, as it was written in the file.
QString writtenText(const QString& fileName, const QString& key) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return {};
    }
    bool inSection = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith('[')) {
            inSection = line == "[" + kSection.chopped(1) + "]";
        } else if (inSection && line.section('=', 0, 0).trimmed() == key) {
            return line.section('=', 1).trimmed();
        }
    }
    return {};
}

} // namespace

QString SettingsStore::Read(const QString& key, const QString& defaultValue) const {
    const QSettings s = store();
    const QVariant value = s.value(kSection + key);
    if (!value.isValid()) {
        return defaultValue;
    }
    // A value written by hand with a comma in it reads as a list: the text is what counts.
    if (value.typeId() == QMetaType::QStringList) {
        return writtenText(s.fileName(), key);
    }
    return value.toString();
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
