#include "meter/portfailure.h"

#include "meter/portmap.h"
#include "platform/linebreak.h"
#include "platform/programsettings.h"

#include <QStringList>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace qmx {

namespace {

const QString kPressOk = QStringLiteral("Press 'OK' to Exit.") + kCrLf + kCrLf;
const QString kNoSuchDevice = QStringLiteral("no such device");

// What a path is when it is no terminal, for "not a serial device (...)".
QString kindOf(mode_t mode) {
    if (S_ISREG(mode)) {
        return "a regular file";
    }
    if (S_ISDIR(mode)) {
        return "a folder";
    }
    if (S_ISFIFO(mode)) {
        return "a named pipe";
    }
    if (S_ISSOCK(mode)) {
        return "a socket";
    }
    if (S_ISBLK(mode)) {
        return "a block device";
    }
    return "a device that is no terminal";
}

PortFailure notSerial(const QString& device, mode_t mode) {
    PortFailure f;
    f.Device = device;
    f.Problem = "not a serial device (" + kindOf(mode) + ")";
    return f;
}

// The lines under the first one that say what is known of the device.
QStringList deviceLines(const PortFailure& f) {
    QStringList lines;
    if (!f.Problem.isEmpty() && !f.Device.isEmpty()) {
        lines << f.Device + ": " + f.Problem + ".";
    }
    if (f.PermissionProblem) {
        lines << "Your user needs read and write access to " + f.Device +
                     " (on most Linux systems, membership of the group dialout).";
    }
    if (f.SettingsFile.isEmpty()) {
        return lines;
    }
    if (f.Port < 1 || f.Port > PortMap::kPorts) {
        lines << QString("Port %1 is not one of Com1 to Com8; to change it, edit %2 in %3.")
                     .arg(f.Port)
                     .arg(ProgramSettings::kCommPortKey, f.SettingsFile);
    } else if (f.Device.isEmpty()) {
        lines << QString("Com%1 has no device; to give it one, edit %2 in %3.")
                     .arg(f.Port)
                     .arg(ProgramSettings::PortDeviceKey(f.Port), f.SettingsFile);
    } else {
        lines << QString("Com%1 is %2; to change it, edit %3 in %4.")
                     .arg(f.Port)
                     .arg(f.Device, ProgramSettings::PortDeviceKey(f.Port), f.SettingsFile);
    }
    return lines;
}

// The first line and the paragraphs after it, by the error number.
std::pair<QString, QString> textsOf(const PortFailure& f) {
    const QString nl2 = kCrLf + kCrLf;
    switch (f.Number) {
    case PortFailure::kNoSuchPort:
    case PortFailure::kObjectNotSet:
        return {"        No Comm Port Available!",
                "This program requires one port (1-8)." + nl2 +
                    "If using a USB to Serial Adapter, plug it in and" + kCrLf +
                    "configure it prior to launching this application." + nl2};
    case PortFailure::kPortNotOpen:
        return {"        Port Is Not Open!", "Check Port Availability and Status." + nl2};
    case PortFailure::kAlreadyOpen:
        return {"        Port Already Open!", "Another process is using the port." + nl2};
    default:
        return {"Error #" + QString::number(f.Number),
                "There is a problem with the serial port!" + nl2};
    }
}

QString bodyOf(const PortFailure& f) {
    const auto [first, rest] = textsOf(f);
    QString text = first + kCrLf;
    for (const QString& line : deviceLines(f)) {
        text += line + kCrLf;
    }
    return text + kCrLf + rest;
}

} // namespace

QString StartupFailureText(const PortFailure& failure) {
    return bodyOf(failure) + kPressOk;
}

QString SelectPortFailureText(const PortFailure& failure) {
    return bodyOf(failure);
}

QString PortFailureLine(const PortFailure& failure) {
    QString problem = failure.Problem;
    if (failure.PermissionProblem) {
        problem = "no read and write access (on most Linux systems, membership of the group "
                  "dialout is needed)";
    } else if (problem.isEmpty()) {
        problem = failure.Number == PortFailure::kAlreadyOpen ? "in use by another program"
                                                              : "cannot be opened";
    }
    const QString device = failure.Device.isEmpty() && failure.Port > 0
                               ? QString("Com%1 has no device").arg(failure.Port)
                               : failure.Device;
    return device.isEmpty() ? problem : device + ": " + problem;
}

PortFailure PortFailureFromErrno(const QString& device, int err) {
    PortFailure f;
    f.Device = device;
    switch (err) {
    case 0:
        // The device opens for us alone, so another program holds its lock.
        f.Number = PortFailure::kAlreadyOpen;
        break;
    case ENOENT:
    case ENXIO:
    case ENODEV:
    case ENOTDIR:
        f.Number = PortFailure::kNoSuchPort;
        f.Problem = kNoSuchDevice;
        break;
    case EBUSY:
        f.Number = PortFailure::kAlreadyOpen;
        break;
    case EACCES:
    case EPERM:
    case EROFS:
        f.Number = PortFailure::kPermissionDenied;
        f.PermissionProblem = true;
        break;
    default:
        f.Number = err;
        f.Problem = QString::fromLocal8Bit(std::strerror(err)).toLower();
        break;
    }
    return f;
}

PortFailure PortOpenFailure(const QString& device, QSerialPort::SerialPortError error,
                            const QString& errorText) {
    if (device.isEmpty()) {
        return PortFailureFromErrno(device, ENOENT);
    }
    const QByteArray path = device.toLocal8Bit();
    struct stat st {};
    if (::stat(path.constData(), &st) != 0) {
        return PortFailureFromErrno(device, errno);
    }
    if (!S_ISCHR(st.st_mode)) {
        return notSerial(device, st.st_mode);
    }
    switch (error) {
    case QSerialPort::DeviceNotFoundError:
        return PortFailureFromErrno(device, ENOENT);
    case QSerialPort::PermissionError:
        // The port says this both of a device the user may not use and of one that another
        // program holds (its lock or exclusive use): the device's access tells which.
        return PortFailureFromErrno(device,
                                    ::access(path.constData(), R_OK | W_OK) == 0 ? EBUSY : EACCES);
    case QSerialPort::OpenError:
        return PortFailureFromErrno(device, EBUSY);
    case QSerialPort::UnsupportedOperationError:
        // The terminal settings were refused: a character device that is no terminal.
        return notSerial(device, st.st_mode);
    default: {
        PortFailure f;
        f.Device = device;
        f.Number = PortFailure::kPortNotOpen;
        f.Problem = errorText.toLower();
        return f;
    }
    }
}

} // namespace qmx
