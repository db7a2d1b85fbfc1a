#include "display/startupsettings.h"

#include "platform/settingsstore.h"

#include <QDir>
#include <QFileInfo>

#include <limits>

namespace qmx {

namespace StartupSettings {

namespace {

template <typename T> T readWhole(const SettingsStore& store, const QString& key, T fallback) {
    bool ok = false;
    const qlonglong value = store.Read(key, QString::number(fallback)).trimmed().toLongLong(&ok);
    if (!ok || value < std::numeric_limits<T>::min() || value > std::numeric_limits<T>::max()) {
        return fallback;
    }
    return T(value);
}

QString inFolder(const QString& folder, const QString& name) {
    return folder + QDir::separator() + name;
}

} // namespace

qint32 ReadColor(const SettingsStore& store, const QString& key, qint32 fallback) {
    return readWhole<qint32>(store, key, fallback);
}

qint16 ReadCommPort(const SettingsStore& store) {
    return readWhole<qint16>(store, "CommPort", kDefaultCommPort);
}

QString ReadFont(const SettingsStore& store) {
    return store.Read("Font", kDefaultFont);
}

AlarmSound ReadAlarmWav(const SettingsStore& store, const QString& programFolder) {
    const QString stored = store.Read("AlarmWav", QString());
    const bool formerDefault =
        stored == inFolder(programFolder, kAlarmFileName) && !QFileInfo::exists(stored);
    if (!store.Contains("AlarmWav") || formerDefault) {
        return {kDefaultAlarmWav, false};
    }
    return {stored, true};
}

QString ReadLogFilePath(const SettingsStore& store, const QString& programFolder) {
    const QString fallback = inFolder(programFolder, kLogFileName);
    const QString stored = store.Read("DataFilePath", fallback);
    return stored == fallback ? stored : inFolder(stored, kLogFileName);
}

QString FolderOf(const QString& path) {
    const qsizetype slash = path.lastIndexOf(QDir::separator());
    return slash < 0 ? QString() : path.left(slash);
}

} // namespace StartupSettings

} // namespace qmx
