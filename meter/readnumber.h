#pragma once

#include <optional>

class QString;

namespace qmx {

// The one rule by which every numeric text of the program is read: blanks, tabs and
// line feeds are removed wherever they stand, then the leading number is taken with "."
// as decimal point whatever the locale. Text with no number reads as 0; a number beyond
// the double range reads as an infinity of its sign.
[[nodiscard]] double ReadNumber(const QString& text);

// A double narrowed to single precision; beyond the single range it is an infinity of
// its sign (the plain conversion is undefined there).
[[nodiscard]] float NarrowToSingle(double value);

// A double as a single when it is finite and fits one; nothing otherwise. Such a value
// is no valid reading to show as a level or to store.
[[nodiscard]] std::optional<float> FiniteSingle(double value);

} // namespace qmx
