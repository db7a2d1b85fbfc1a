#pragma once

#include "meter/portfailure.h"
#include "meter/portmap.h"

#include <QObject>
#include <QSerialPort>
#include <QString>
#include <QTimer>

#include <array>
#include <optional>

namespace qmx {

// The serial connection with the meter: picks one of the ports 1 to 8, opens it at
// 1200,N,8,1, takes the meter's characters one at a time and assembles them into lines.
class MeterLink : public QObject {
    Q_OBJECT
public:
    // What the line reads while the meter is silent or gone.
    static inline const QString kNoComm = QStringLiteral("No Comm");
    static constexpr int kRingSlots = 16;
    static constexpr qsizetype kMaxLineLength = 1024;
    static constexpr qint16 kMaxSilenceTicks = 32767;
    static constexpr int kReconnectMs = 1000;
    // A meter sends a line's characters without pause (8 ms apart at 1200 baud): input
    // quiet this long after the port opened is between lines.
    static constexpr int kSettleMs = 50;

    explicit MeterLink(PortMap ports, QObject* parent = nullptr);

    qint16 CommPort = 1;
    std::array<QString, kRingSlots> RxRing;
    int RxWriteIndex = 0;
    QString PendingLine;
    QString LastLine;
    qint16 SilenceTicks = 0;

    // Which of the ports 1 to 8 can be opened now (index 0 is port 1).
    [[nodiscard]] std::array<bool, PortMap::kPorts> ProbePorts() const;
    // Applies the fixed configuration and opens CommPort.
    [[nodiscard]] std::optional<PortFailure> OpenConfiguredPort();
    // Closes the port and opens port n instead; the pending line is kept.
    [[nodiscard]] std::optional<PortFailure> SelectPort(int n);
    void SendPoll();
    void ClosePort();

    // One receive step: one character from the meter.
    void ReceiveCharacter(QChar c);
    // Counts one display tick without a character; true when the meter has been silent
    // for more than five ticks (tested before counting, as the display tick does). The
    // line is then replaced by kNoComm.
    bool CountSilentTick();

    [[nodiscard]] bool IsOpen() const { return port_.isOpen(); }
    // Whether received characters count yet: after an open, what arrives before the
    // input falls quiet or a carriage return ends it is the rest of a line begun earlier.
    [[nodiscard]] bool InputSettled() const { return settled_; }
    [[nodiscard]] const PortMap& Ports() const { return ports_; }
    void SetPorts(PortMap ports) { ports_ = std::move(ports); }
    [[nodiscard]] QString Device() const { return ports_.Device(CommPort); }

signals:
    // A carriage return completed LastLine.
    void LineCompleted();
    // The open device went away (LastLine is then kNoComm), and came back.
    void DeviceLost();
    void DeviceBack();

private:
    void MSComm1_OnComm();
    void onPortError(QSerialPort::SerialPortError error);
    void tryReconnect();
    void startSettling();
    void settleIfQuiet();
    std::optional<PortFailure> openDevice(const QString& device);
    // The failure with the port number and where its device is set.
    [[nodiscard]] PortFailure placed(PortFailure failure) const;

    PortMap ports_;
    QString openedDevice_;
    QSerialPort port_;
    QTimer reconnect_;
    QTimer settle_;
    bool settled_ = true;
};

} // namespace qmx
