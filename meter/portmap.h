#pragma once

#include <QString>
#include <QStringList>

#include <array>

namespace qmx {

class ProgramSettings;

// Which device stands behind each of the port numbers 1 to 8. The map persists as the
// settings "Com1Device" to "Com8Device"; numbers without a stored device are given, at
// start-up, serial devices that no number holds yet, so an adapter keeps its number
// from run to run.
class PortMap {
public:
    static constexpr int kPorts = 8;

    // The device of port n, or empty text when n has none (or is outside 1 to 8).
    [[nodiscard]] QString Device(int n) const;
    void SetDevice(int n, const QString& device);

    // Reads the stored devices; numbers without a key are remembered as unassigned.
    void Load(const ProgramSettings& settings);
    // The settings file the devices were read from; empty when they were not.
    [[nodiscard]] QString SettingsFile() const { return settingsFile_; }
    // Gives each unassigned number one of the candidates no number holds yet, in order.
    void AssignFree(const QStringList& candidates);
    void Save(ProgramSettings& settings) const;

    // The serial devices this machine lists, adapters (USB, ACM) first and then built-in
    // UARTs, each group by name, under their stable /dev/serial/by-id/ names where one exists.
    [[nodiscard]] static QStringList SystemCandidates();

private:
    std::array<QString, kPorts> devices_;
    std::array<bool, kPorts> assigned_{};
    QString settingsFile_;
};

} // namespace qmx
