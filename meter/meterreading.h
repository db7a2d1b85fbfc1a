#pragma once

#include <QString>

// One decoded meter line.
struct MeterReading {
    QString Line;       // the decoded line
    QString ModePrefix; // its first two characters
    QString Mode;       // "AC", "DC", "FR", "Temp" or the first three characters
    QString ValueText;  // the characters the value is read from
    float Value = 0.0f;
    QString Units; // units word; empty for status readings
    bool IsAcVolts = false;
    double AcVolts = 0.0; // set only when IsAcVolts
    bool DbuValid = false;
    float Dbu = 0.0f; // set only when DbuValid
};

// Decodes a meter line by fixed character positions. Pure, never fails.
[[nodiscard]] MeterReading DecodeReading(const QString& line);

// Whether the last four characters of a line are a status word (open, short, low, high,
// good, not detected) that stands in place of units.
[[nodiscard]] bool IsStatusWord(const QString& lastFour);

// The dBu level of an AC voltage: 20 log10 of the ratio to 0.77459667 V.
[[nodiscard]] double DbuOfVolts(double volts);
