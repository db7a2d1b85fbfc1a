#include "meter/portfailure.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kPressOk = QStringLiteral("Press 'OK' to Exit.") + kCrLf + kCrLf;

QString bodyOf(const PortFailure& f) {
    const QString nl2 = kCrLf + kCrLf;
    switch (f.Number) {
    case PortFailure::kNoSuchPort:
    case PortFailure::kObjectNotSet:
        return "        No Comm Port Available!" + nl2 + "This program requires one port (1-8)." +
               nl2 + "If using a USB to Serial Adapter, plug it in and" + kCrLf +
               "configure it prior to launching this application." + nl2;
    case PortFailure::kPortNotOpen:
        return "        Port Is Not Open!" + nl2 + "Check Port Availability and Status." + nl2;
    case PortFailure::kAlreadyOpen:
        return "        Port Already Open!" + nl2 + "Another process is using the port." + nl2;
    default:
        break;
    }
    QString text = "Error #" + QString::number(f.Number) + kCrLf;
    if (f.PermissionProblem) {
        text += "Your user needs read and write access to " + f.Device +
                " (on most Linux systems, membership of the group dialout)." + kCrLf;
    }
    return text + kCrLf + "There is a problem with the serial port!" + nl2;
}

} // namespace

QString StartupFailureText(const PortFailure& failure) {
    return bodyOf(failure) + kPressOk;
}

QString SelectPortFailureText(const PortFailure& failure) {
    return bodyOf(failure);
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
        break;
    }
    return f;
}

PortFailure DiagnosePortFailure(const QString& device) {
    if (device.isEmpty()) {
        return PortFailureFromErrno(device, ENOENT);
    }
    const int fd = ::open(device.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd >= 0) {
        ::close(fd);
        return PortFailureFromErrno(device, 0);
    }
    return PortFailureFromErrno(device, errno);
}
