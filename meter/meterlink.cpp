#include "meter/meterlink.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr char kCarriageReturn = '\r';

bool deviceOpens(const QString& device) {
    if (device.isEmpty()) {
        return false;
    }
    const int fd = ::open(device.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        return false;
    }
    ::close(fd);
    return true;
}

} // namespace

MeterLink::MeterLink(PortMap ports, QObject* parent)
    : QObject(parent), ports_(std::move(ports)), port_(this), reconnect_(this) {
    reconnect_.setInterval(kReconnectMs);
    connect(&port_, &QSerialPort::readyRead, this, &MeterLink::MSComm1_OnComm);
    connect(&port_, &QSerialPort::errorOccurred, this, &MeterLink::onPortError);
    connect(&reconnect_, &QTimer::timeout, this, &MeterLink::tryReconnect);
}

std::array<bool, PortMap::kPorts> MeterLink::ProbePorts() const {
    std::array<bool, PortMap::kPorts> free{};
    for (int n = 1; n <= PortMap::kPorts; ++n) {
        free[n - 1] = deviceOpens(ports_.Device(n));
    }
    return free;
}

std::optional<PortFailure> MeterLink::openDevice(const QString& device) {
    reconnect_.stop();
    if (device.isEmpty()) {
        return placed(PortFailureFromErrno(device, ENOENT));
    }
    openedDevice_ = device;
    port_.setPortName(device);
    port_.setBaudRate(QSerialPort::Baud1200);
    port_.setParity(QSerialPort::NoParity);
    port_.setDataBits(QSerialPort::Data8);
    port_.setStopBits(QSerialPort::OneStop);
    if (!port_.open(QIODevice::ReadWrite)) {
        port_.clearError();
        return placed(DiagnosePortFailure(device));
    }
    return std::nullopt;
}

PortFailure MeterLink::placed(PortFailure failure) const {
    failure.Port = CommPort;
    failure.SettingsFile = ports_.SettingsFile();
    return failure;
}

std::optional<PortFailure> MeterLink::OpenConfiguredPort() {
    return openDevice(Device());
}

std::optional<PortFailure> MeterLink::SelectPort(int n) {
    ClosePort();
    CommPort = qint16(n);
    return openDevice(Device());
}

void MeterLink::SendPoll() {
    if (port_.isOpen()) {
        port_.write(&kCarriageReturn, 1);
    }
}

void MeterLink::ClosePort() {
    reconnect_.stop();
    if (port_.isOpen()) {
        port_.close();
    }
}

void MeterLink::MSComm1_OnComm() {
    // A read may bring several characters; each is one receive step, in order.
    // The meter's text is ASCII: a meter set to 7 data bits and 2 stop bits arrives at
    // 8,N,1 with its top bit set, so the top bit is cleared and both framings read alike.
    const QByteArray bytes = port_.readAll();
    for (const char byte : bytes) {
        ReceiveCharacter(QChar::fromLatin1(char(byte & 0x7F)));
    }
}

void MeterLink::ReceiveCharacter(QChar c) {
    const int last = RxWriteIndex;
    RxRing[last] = QString(c);
    RxWriteIndex = (RxWriteIndex + 1) % kRingSlots;
    SilenceTicks = 0;
    if (c != QChar(kCarriageReturn)) {
        // A line that never ends is cut, not grown without bound.
        if (PendingLine.size() < kMaxLineLength) {
            PendingLine.append(c);
        }
        return;
    }
    LastLine = PendingLine;
    PendingLine.clear();
    emit LineCompleted();
}

bool MeterLink::CountSilentTick() {
    const bool silent = SilenceTicks > 5;
    if (SilenceTicks < kMaxSilenceTicks) {
        ++SilenceTicks;
    }
    return silent;
}

void MeterLink::onPortError(QSerialPort::SerialPortError error) {
    // An unplugged adapter reports a resource error; a hung-up line (the far end of a
    // pseudo-terminal closed) reports read errors without end. Either way the device is
    // gone: close it and look for it once a second.
    if (error != QSerialPort::ResourceError && error != QSerialPort::ReadError) {
        return;
    }
    port_.close();
    port_.clearError();
    // The last line is no longer the meter's reading: show the silence at once. A line
    // cut off by the loss is no reading either, and must not prefix the next one.
    LastLine = "No Comm";
    PendingLine.clear();
    reconnect_.start();
}

void MeterLink::tryReconnect() {
    if (!deviceOpens(openedDevice_)) {
        return;
    }
    const bool failed = openDevice(openedDevice_).has_value();
    if (failed) {
        reconnect_.start();
    }
}
