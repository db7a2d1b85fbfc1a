#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <random>

namespace qmx {

// What the simulated meter says: one meter line per poll, in the layout the meter uses
// (mode in characters 1-2, value text in 4-9, units word at the end).
class MeterProfile {
public:
    static const QStringList& Names();

    // name: one of Names(); seed makes the sequence repeatable.
    MeterProfile(QString name, unsigned seed);

    [[nodiscard]] bool IsValid() const { return Names().contains(name_); }
    // The next line (without its carriage return), at the given seconds since start.
    // The garbage profile returns random bytes, carriage returns among them.
    [[nodiscard]] QByteArray NextLine(double seconds);

private:
    QByteArray lineFor(const QString& profile, double seconds);
    QByteArray garbage();
    double drift(double low, double high, double step);
    double uniform(double low, double high);

    QString name_;
    std::mt19937 rng_;
    double level_ = 0.0;
    QString lastProfile_;
};

} // namespace qmx
