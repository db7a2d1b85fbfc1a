#pragma once

#include "platform/settingsstore.h"

#include <QString>

namespace qmx {

// Every setting of the program by its name in the settings file, read with its default
// and written as the program keeps it: the one place the names are spelled. A stored
// colour or port number that is not a whole number of its size reads as the default. The
// first write the settings file refuses is told once on standard error; later refusals
// through the same object stay quiet, so one save tells it once.
class ProgramSettings {
public:
    static constexpr qint32 kDefaultBackground = 0;
    static constexpr qint32 kDefaultForeground = 65535;
    static constexpr qint16 kDefaultCommPort = 1;
    static inline const QString kDefaultFont = QStringLiteral("MSSansserif");
    static inline const QString kLogFileName = QStringLiteral("Test.qmx");
    static inline const QString kAlarmFileName = QStringLiteral("attention.wav");
    // The default alarm sound, built into the program so that every copy finds it.
    static inline const QString kDefaultAlarmWav = QStringLiteral(":/sounds/attention.wav");
    // The names of settings that messages tell the user to edit.
    static inline const QString kCommPortKey = QStringLiteral("CommPort");
    [[nodiscard]] static QString PortDeviceKey(int n);

    // The alarm sound and whether the user chose it; only a chosen path is saved.
    struct AlarmSound {
        QString Path;
        bool Chosen = false;
    };

    // Why the settings file cannot be used, in a sentence for the user; empty when it can.
    [[nodiscard]] QString Problem() const { return store_.Problem(); }
    [[nodiscard]] QString FileName() const { return store_.FileName(); }

    [[nodiscard]] qint32 ReadBackground() const;
    [[nodiscard]] qint32 ReadForeground() const;
    [[nodiscard]] qint16 ReadCommPort() const;
    [[nodiscard]] QString ReadFont() const;
    // The stored "AlarmWav", or the default sound. A stored attention.wav in the program's
    // folder that is not there was saved by an earlier version that never found its sound:
    // it stands for the default too.
    [[nodiscard]] AlarmSound ReadAlarmWav(const QString& programFolder) const;
    // The log file the logger proposes: Test.qmx in the folder last used ("DataFilePath"),
    // or in the program's folder.
    [[nodiscard]] QString ReadLogFilePath(const QString& programFolder) const;
    // Whether port n has a stored device (even an empty one), and that device.
    [[nodiscard]] bool HasPortDevice(int n) const;
    [[nodiscard]] QString ReadPortDevice(int n) const;

    void WriteBackground(qint32 color);
    void WriteForeground(qint32 color);
    void WriteCommPort(qint16 port);
    void WriteFont(const QString& face);
    void WriteAlarmWav(const QString& path);
    // Keeps the folder of the log last used, when the path has one.
    void WriteLogFolder(const QString& logFilePath);
    void WritePortDevice(int n, const QString& device);

    // The folder part of a path (up to, not including, its last separator), as stored in
    // "DataFilePath"; empty when the path has no separator.
    [[nodiscard]] static QString FolderOf(const QString& path);

private:
    void write(const QString& key, const QString& text);

    SettingsStore store_;
    bool refusalTold_ = false;
};

} // namespace qmx
