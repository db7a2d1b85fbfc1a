#include "platform/settingsstore.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace qmx {

namespace {

const QString kSection = QStringLiteral("Startup/");

QSettings store() {
    return QSettings("QMX7300", "QMX7300");
}

// Where the store keeps its values, found without opening it (as QSettings places it).
QString settingsPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           "/QMX7300/QMX7300.conf";
}

// Absent is fine (it is created when written); otherwise it must be a regular file.
bool usable(const QFileInfo& file) {
    return (!file.exists() && !file.isSymLink()) || file.isFile();
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

QString SettingsStore::Problem() const {
    const QFileInfo file(settingsPath());
    if (usable(file)) {
        return {};
    }
    return "The settings file " + file.filePath() +
           " is not a regular file, so it is left alone: the program starts with its default "
           "settings and keeps no changes.";
}

QString SettingsStore::Read(const QString& key, const QString& defaultValue) const {
    if (!Problem().isEmpty()) {
        return defaultValue;
    }
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

bool SettingsStore::Write(const QString& key, const QString& text) {
    if (!Problem().isEmpty()) {
        return true;
    }
    QSettings s = store();
    s.setValue(kSection + key, text);
    s.sync();
    return s.status() == QSettings::NoError;
}

bool SettingsStore::Contains(const QString& key) const {
    return Problem().isEmpty() && store().contains(kSection + key);
}

QString SettingsStore::FileName() const {
    return settingsPath();
}

} // namespace qmx
