#include "meter/portmap.h"

#include "platform/programsettings.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>

#include <algorithm>

namespace qmx {

namespace {

bool isAdapter(const QString& name) {
    return name.startsWith("ttyUSB") || name.startsWith("ttyACM");
}

QString canonical(const QString& path) {
    const QString resolved = QFileInfo(path).canonicalFilePath();
    return resolved.isEmpty() ? path : resolved;
}

// The /dev/serial/by-id/ name of a device, or the device itself when there is none.
QString stableName(const QString& device) {
    const QDir byId("/dev/serial/by-id");
    const QString target = canonical(device);
    for (const QFileInfo& link : byId.entryInfoList(QDir::Files | QDir::System)) {
        if (link.canonicalFilePath() == target) {
            return link.absoluteFilePath();
        }
    }
    return device;
}

} // namespace

QString PortMap::Device(int n) const {
    return n >= 1 && n <= kPorts ? devices_[n - 1] : QString();
}

void PortMap::SetDevice(int n, const QString& device) {
    if (n >= 1 && n <= kPorts) {
        devices_[n - 1] = device;
        assigned_[n - 1] = true;
    }
}

void PortMap::Load(const ProgramSettings& settings) {
    settingsFile_ = settings.FileName();
    for (int n = 1; n <= kPorts; ++n) {
        assigned_[n - 1] = settings.HasPortDevice(n);
        devices_[n - 1] = settings.ReadPortDevice(n);
    }
}

void PortMap::AssignFree(const QStringList& candidates) {
    QStringList held;
    for (const QString& d : devices_) {
        if (!d.isEmpty()) {
            held << canonical(d);
        }
    }
    auto next = candidates.cbegin();
    for (int i = 0; i < kPorts; ++i) {
        if (assigned_[i]) {
            continue;
        }
        while (next != candidates.cend() && held.contains(canonical(*next))) {
            ++next;
        }
        if (next == candidates.cend()) {
            return;
        }
        devices_[i] = *next;
        assigned_[i] = true;
        held << canonical(*next);
    }
}

void PortMap::Save(ProgramSettings& settings) const {
    for (int n = 1; n <= kPorts; ++n) {
        if (assigned_[n - 1]) {
            settings.WritePortDevice(n, devices_[n - 1]);
        }
    }
}

QStringList PortMap::SystemCandidates() {
    QStringList adapters;
    QStringList uarts;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        (isAdapter(info.portName()) ? adapters : uarts) << info.systemLocation();
    }
    // By name, with ttyS2 before ttyS10.
    const auto byName = [](const QString& a, const QString& b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    };
    std::sort(adapters.begin(), adapters.end(), byName);
    std::sort(uarts.begin(), uarts.end(), byName);
    QStringList out;
    for (const QString& d : adapters + uarts) {
        out << stableName(d);
    }
    return out;
}

} // namespace qmx
