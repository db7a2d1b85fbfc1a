#include "platform/programsettings.h"

#include <QDir>
#include <QFileInfo>

#include <cstdio>
#include <limits>

namespace qmx {

namespace {

const QString kBackgroundKey = QStringLiteral("BGColor");
const QString kForegroundKey = QStringLiteral("FGColor");
const QString kFontKey = QStringLiteral("Font");
const QString kAlarmWavKey = QStringLiteral("AlarmWav");
const QString kDataFilePathKey = QStringLiteral("DataFilePath");

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

QString ProgramSettings::PortDeviceKey(int n) {
    return QString("Com%1Device").arg(n);
}

qint32 ProgramSettings::ReadBackground() const {
    return readWhole<qint32>(store_, kBackgroundKey, kDefaultBackground);
}

qint32 ProgramSettings::ReadForeground() const {
    return readWhole<qint32>(store_, kForegroundKey, kDefaultForeground);
}

qint16 ProgramSettings::ReadCommPort() const {
    return readWhole<qint16>(store_, kCommPortKey, kDefaultCommPort);
}

QString ProgramSettings::ReadFont() const {
    return store_.Read(kFontKey, kDefaultFont);
}

ProgramSettings::AlarmSound ProgramSettings::ReadAlarmWav(const QString& programFolder) const {
    const QString stored = store_.Read(kAlarmWavKey, QString());
    const bool formerDefault =
        stored == inFolder(programFolder, kAlarmFileName) && !QFileInfo::exists(stored);
    if (!store_.Contains(kAlarmWavKey) || formerDefault) {
        return {kDefaultAlarmWav, false};
    }
    return {stored, true};
}

QString ProgramSettings::ReadLogFilePath(const QString& programFolder) const {
    const QString fallback = inFolder(programFolder, kLogFileName);
    const QString stored = store_.Read(kDataFilePathKey, fallback);
    return stored == fallback ? stored : inFolder(stored, kLogFileName);
}

bool ProgramSettings::HasPortDevice(int n) const {
    return store_.Contains(PortDeviceKey(n));
}

QString ProgramSettings::ReadPortDevice(int n) const {
    return store_.Read(PortDeviceKey(n), QString());
}

void ProgramSettings::WriteBackground(qint32 color) {
    write(kBackgroundKey, QString::number(color));
}

void ProgramSettings::WriteForeground(qint32 color) {
    write(kForegroundKey, QString::number(color));
}

void ProgramSettings::WriteCommPort(qint16 port) {
    write(kCommPortKey, QString::number(port));
}

void ProgramSettings::WriteFont(const QString& face) {
    write(kFontKey, face);
}

void ProgramSettings::WriteAlarmWav(const QString& path) {
    write(kAlarmWavKey, path);
}

void ProgramSettings::WriteLogFolder(const QString& logFilePath) {
    const QString folder = FolderOf(logFilePath);
    if (!folder.isEmpty()) {
        write(kDataFilePathKey, folder);
    }
}

void ProgramSettings::WritePortDevice(int n, const QString& device) {
    write(PortDeviceKey(n), device);
}

QString ProgramSettings::FolderOf(const QString& path) {
    const qsizetype slash = path.lastIndexOf(QDir::separator());
    return slash < 0 ? QString() : path.left(slash);
}

void ProgramSettings::write(const QString& key, const QString& text) {
    if (store_.Write(key, text) || refusalTold_) {
        return;
    }
    refusalTold_ = true;
    const QString message = "The settings file " + store_.FileName() +
                            " cannot be written: the settings of this session are not kept.";
    std::fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace qmx
