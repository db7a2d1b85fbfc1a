#pragma once

#include <QString>

#include <optional>

namespace qmx {

// One decoded meter line.
struct MeterReading {
    QString Line;       // the decoded line
    QString ModePrefix; // its first two characters
    QString Mode;       // "AC", "DC", "FR", "Temp" or the first three characters
    QString ValueText;  // the characters the value is read from
    float Value = 0.0f;
    QString Units; // units word; empty for status readings
    bool IsAcVolts = false;
    double AcVolts = 0.0;  // set only when IsAcVolts
    bool DbuValid = false; // a positive voltage whose level is a finite single
    float Dbu = 0.0f;      // set only when DbuValid
};

// Decodes a meter line by fixed character positions. Pure, never fails.
[[nodiscard]] MeterReading DecodeReading(const QString& line);

// The units both the display and the recorder name from the end of a line: empty text
// for a status word (open, short, low, high, good, not detected), "Mohm", "MHz", "KHz",
// "Ohm"; nothing for any other ending, which each reads on its own terms.
[[nodiscard]] std::optional<QString> NamedUnits(const QString& line);

// The dBu level of an AC voltage: 20 log10 of the ratio to 0.77459667 V.
[[nodiscard]] double DbuOfVolts(double volts);

} // namespace qmx
