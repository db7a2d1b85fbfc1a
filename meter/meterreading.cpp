#include "meter/meterreading.h"

#include "meter/readnumber.h"

#include <QStringList>

#include <cmath>

namespace qmx {

namespace {

constexpr double kDbuReferenceVolts = 0.77459667;
constexpr double kLn10 = 2.30258509299405;

// Status words that end a line in place of units.
const QStringList kStatusWords = {"HORT", "OPEN", " LOW", "HIGH", "GOOD", "NDET"};

QString unitsOf(const QString& line) {
    if (const auto named = NamedUnits(line)) {
        return *named;
    }
    return line.right(2) == u" V" ? QString("Volts") : line.right(3);
}

} // namespace

std::optional<QString> NamedUnits(const QString& line) {
    const QString last4 = line.right(4);
    const QString last3 = line.right(3);
    if (kStatusWords.contains(last4)) {
        return QString();
    }
    if (last4 == u"MOHM") {
        return QString("Mohm");
    }
    if (last3 == u"MHz" || last3 == u"KHz") {
        return last3;
    }
    if (last3 == u"OHM") {
        return QString("Ohm");
    }
    return std::nullopt;
}

double DbuOfVolts(double volts) {
    return 20.0 * std::log(volts / kDbuReferenceVolts) / kLn10;
}

MeterReading DecodeReading(const QString& line) {
    MeterReading r;
    r.Line = line;
    r.ModePrefix = line.left(2);
    r.ValueText = line.mid(3, 6);
    if (r.ModePrefix == u"AC" || r.ModePrefix == u"DC" || r.ModePrefix == u"FR") {
        r.Mode = r.ModePrefix;
    } else if (line.left(4) == u"TEMP") {
        r.Mode = "Temp";
        r.ValueText = line.mid(5, 5);
    } else {
        r.Mode = line.left(3);
    }
    r.Units = unitsOf(line);
    r.Value = NarrowToSingle(ReadNumber(r.ValueText));
    r.IsAcVolts = r.ModePrefix == u"AC" && line.right(2) == u" V";
    if (r.IsAcVolts) {
        r.AcVolts = ReadNumber(line.mid(3, 5));
        const auto dbu = r.AcVolts > 0.0 ? FiniteSingle(DbuOfVolts(r.AcVolts)) : std::nullopt;
        if (dbu) {
            r.DbuValid = true;
            r.Dbu = *dbu;
        }
    }
    return r;
}

} // namespace qmx
