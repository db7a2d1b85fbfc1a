#include "meter/meterlink.h"

#include <QDir>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace qmx {

namespace {

constexpr char kCarriageReturn = '\r';

// A relative device path is taken from the current folder, as every path is.
QString absoluteDevice(const QString& device) {
    return device.isEmpty() ? device : QDir::current().absoluteFilePath(device);
}

bool deviceOpens(const QString& device) {
    if (device.isEmpty()) {
        return false;
    }
    const int fd =
        ::open(absoluteDevice(device).toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        return false;
    }
    const bool terminal = ::isatty(fd) != 0;
    ::close(fd);
    return terminal;
}

} // namespace

MeterLink::MeterLink(PortMap ports, QObject* parent)
    : QObject(parent), ports_(std::move(ports)), port_(this), reconnect_(this), settle_(this) {
    reconnect_.setInterval(kReconnectMs);
    settle_.setInterval(kSettleMs);
    settle_.setSingleShot(true);
    connect(&settle_, &QTimer::timeout, this, &MeterLink::settleIfQuiet);
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
    port_.setPortName(absoluteDevice(device));
    port_.setBaudRate(QSerialPort::Baud1200);
    port_.setParity(QSerialPort::NoParity);
    port_.setDataBits(QSerialPort::Data8);
    port_.setStopBits(QSerialPort::OneStop);
    if (!port_.open(QIODevice::ReadWrite)) {
        const PortFailure failure =
            PortOpenFailure(absoluteDevice(device), port_.error(), port_.errorString());
        port_.clearError();
        return placed(failure);
    }
    return std::nullopt;
}

void MeterLink::settleIfQuiet() {
    int waiting = 0;
    if (port_.isOpen() && ::ioctl(int(port_.handle()), FIONREAD, &waiting) == 0 && waiting > 0) {
        settle_.start(); // still arriving: not read yet
        return;
    }
    settled_ = true;
}

PortFailure MeterLink::placed(PortFailure failure) const {
    failure.Port = CommPort;
    failure.SettingsFile = ports_.SettingsFile();
    return failure;
}

std::optional<PortFailure> MeterLink::OpenConfiguredPort() {
    const auto failure = openDevice(Device());
    if (!failure) {
        startSettling();
    }
    return failure;
}

void MeterLink::startSettling() {
    // What waits from before the open, or is still arriving, is no reading of ours.
    port_.clear(QSerialPort::Input);
    settled_ = false;
    settle_.start();
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
    qsizetype from = 0;
    if (!settled_) {
        settle_.start();
        const auto end = std::find_if(bytes.cbegin(), bytes.cend(),
                                      [](char b) { return char(b & 0x7F) == kCarriageReturn; });
        if (end == bytes.cend()) {
            return;
        }
        settled_ = true;
        settle_.stop();
        from = end - bytes.cbegin() + 1;
    }
    for (const char byte : bytes.sliced(from)) {
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
    if (silent) {
        LastLine = kNoComm;
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
    LastLine = kNoComm;
    PendingLine.clear();
    reconnect_.start();
    emit DeviceLost();
}

void MeterLink::tryReconnect() {
    if (!deviceOpens(openedDevice_)) {
        return;
    }
    const bool failed = openDevice(openedDevice_).has_value();
    if (failed) {
        reconnect_.start();
        return;
    }
    startSettling();
    emit DeviceBack();
}

} // namespace qmx
