#pragma once

#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

namespace qmx {

// A running qmx7300-sim: a simulated meter on a pseudo-terminal published at LinkPath(),
// appending every line it sends to a transcript. Ended when destroyed.
class SimulatedMeter {
public:
    // The simulator with these extra arguments ("--profile", "acv", ...), publishing its
    // port at link (in a folder of its own when empty).
    explicit SimulatedMeter(const QStringList& args = {}, const QString& link = {})
        : link_(link.isEmpty() ? dir_.filePath("meter") : link) {
        process_.start(QString(QMX_BIN_DIR) + "/qmx7300-sim",
                       QStringList{"--link", link_, "--transcript", link_ + ".sent"} + args);
        if (process_.waitForReadyRead(kWaitMs)) {
            firstLine_ = QString::fromUtf8(process_.readLine()).trimmed();
        }
    }
    ~SimulatedMeter() {
        process_.terminate();
        process_.waitForFinished(kWaitMs);
    }
    SimulatedMeter(const SimulatedMeter&) = delete;
    SimulatedMeter& operator=(const SimulatedMeter&) = delete;

    // Whether it started and published its port (the first line it printed names it).
    [[nodiscard]] bool Started() const { return !firstLine_.isEmpty(); }
    [[nodiscard]] QString FirstLine() const { return firstLine_; }
    [[nodiscard]] QString LinkPath() const { return link_; }
    // The lines sent so far by every simulator that published this link.
    [[nodiscard]] QStringList Sent() const {
        QFile f(link_ + ".sent");
        f.open(QIODevice::ReadOnly);
        return QString::fromLatin1(f.readAll()).split('\n', Qt::SkipEmptyParts);
    }
    // Pulls the plug: the simulator dies at once.
    void Unplug() {
        process_.kill();
        process_.waitForFinished(kWaitMs);
    }

private:
    static constexpr int kWaitMs = 15000;
    QTemporaryDir dir_;
    QString link_;
    QString firstLine_;
    QProcess process_;
};

} // namespace qmx
