#pragma once

#include <QString>

namespace qmx {

class SettingsStore;

// How the main window reads its settings at start-up, with their defaults. A stored
// colour or port number that is not a whole number of its size reads as the default.
namespace StartupSettings {

constexpr qint32 kDefaultBackground = 0;
constexpr qint32 kDefaultForeground = 65535;
constexpr qint16 kDefaultCommPort = 1;
inline const QString kDefaultFont = QStringLiteral("MSSansserif");
inline const QString kLogFileName = QStringLiteral("Test.qmx");
inline const QString kAlarmFileName = QStringLiteral("attention.wav");
// The default alarm sound, built into the program so that every copy finds it.
inline const QString kDefaultAlarmWav = QStringLiteral(":/sounds/attention.wav");

// The alarm sound and whether the user chose it; only a chosen path is saved.
struct AlarmSound {
    QString Path;
    bool Chosen = false;
};

[[nodiscard]] qint32 ReadColor(const SettingsStore& store, const QString& key, qint32 fallback);
[[nodiscard]] qint16 ReadCommPort(const SettingsStore& store);
[[nodiscard]] QString ReadFont(const SettingsStore& store);
// The stored "AlarmWav", or the default sound. A stored attention.wav in the program's
// folder that is not there was saved by an earlier version that never found its sound:
// it stands for the default too.
[[nodiscard]] AlarmSound ReadAlarmWav(const SettingsStore& store, const QString& programFolder);
// The log file the logger proposes: Test.qmx in the folder last used ("DataFilePath"),
// or in the program's folder.
[[nodiscard]] QString ReadLogFilePath(const SettingsStore& store, const QString& programFolder);
// The folder part of a path (up to, not including, its last separator), as stored in
// "DataFilePath"; empty when the path has no separator.
[[nodiscard]] QString FolderOf(const QString& path);

} // namespace StartupSettings

} // namespace qmx
