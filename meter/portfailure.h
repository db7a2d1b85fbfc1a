#pragma once

#include <QSerialPort>
#include <QString>

namespace qmx {

// Why a serial port could not be opened, with the error number that chooses the text.
struct PortFailure {
    static constexpr int kNoSuchPort = 8002;
    static constexpr int kPortNotOpen = 8012;
    static constexpr int kAlreadyOpen = 8005;
    static constexpr int kObjectNotSet = 91;
    static constexpr int kPermissionDenied = 70;

    int Number = kNoSuchPort;
    QString Device;                 // the device that failed, for the permission hint
    bool PermissionProblem = false; // the user may not read and write the device
    QString Problem;      // what is wrong with the device ("no such device"); may be empty
    int Port = 0;         // the port number it stands for; 0 when none
    QString SettingsFile; // where the port's device is set; empty when not there
};

inline const QString kStartupFailureTitle = QStringLiteral("Cannot Start QMX7300 Serial Comm!");
inline const QString kSelectPortFailureTitle = QStringLiteral("Cannot Open Serial Port!");

// The message when the port cannot be opened at start-up, ending with "Press 'OK' to Exit.".
// Under its first line it says what is known of the device: why it cannot be used, and
// which device the port number stands for and where that is set.
[[nodiscard]] QString StartupFailureText(const PortFailure& failure);
// The same message without its last line, for a port chosen from the menu while running.
[[nodiscard]] QString SelectPortFailureText(const PortFailure& failure);

// The same in one line for command-line tools: the device and what is wrong with it.
[[nodiscard]] QString PortFailureLine(const PortFailure& failure);

// The failure for what the system answered when the device was opened directly
// (0: it opened, so the failure was another program's lock on it).
[[nodiscard]] PortFailure PortFailureFromErrno(const QString& device, int err);
// Why opening the device failed, from the port's own error and its text. What the path is
// (looked up without opening it) tells a missing device, and one that is no serial device
// whatever it is, before the port's error is read.
[[nodiscard]] PortFailure PortOpenFailure(const QString& device, QSerialPort::SerialPortError error,
                                          const QString& errorText);

} // namespace qmx
