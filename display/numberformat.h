#pragma once

#include <QString>

namespace qmx {

// The number formats the program shows and writes; "." is always the decimal point.

// "00.00": at least two digits before the point, exactly two after (5.234 -> "05.23",
// -3.1 -> "-03.10").
[[nodiscard]] QString FormatZeroZero(double value);

// "#.00#": no digit before the point below 1, two decimals and a third only when it is
// not zero (2 -> "2.00", 0.5 -> ".50", 0.125 -> ".125", -0.25 -> "-.25").
[[nodiscard]] QString FormatScale(double value);

// "+#0.00#;-#0.00#": always a sign, at least one digit before the point, two or three
// decimals (12.3456 -> "+12.346", 0 -> "+0.00").
[[nodiscard]] QString FormatSigned(double value);

// The general form of a single: at most 7 significant digits, no trailing zeros, a
// leading zero below 1, and the exponent form ("1.234568E+07", "1E-05") when the value
// needs more than 7 integer digits or is below 0.0001 in magnitude.
[[nodiscard]] QString FormatGeneral(float value);

} // namespace qmx
