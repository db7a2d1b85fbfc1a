#include "display/numberformat.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

namespace qmx {

namespace {

// Fixed notation with the given decimals, "." as point, no minus sign on a zero result.
QString fixed(double magnitude, int decimals) {
    return QString::number(magnitude, 'f', decimals);
}

// Rounds to three decimals and drops a third decimal that is zero.
QString twoOrThreeDecimals(double magnitude) {
    QString text = fixed(magnitude, 3);
    if (text.endsWith('0')) {
        text.chop(1);
    }
    return text;
}

bool roundsToZero(const QString& digits) {
    for (const QChar c : digits) {
        if (c != u'0' && c != u'.') {
            return false;
        }
    }
    return true;
}

QString withSign(bool negative, const QString& digits) {
    return negative && !roundsToZero(digits) ? "-" + digits : digits;
}

QString stripTrailingZeros(std::string digits) {
    if (digits.find('.') != std::string::npos) {
        while (!digits.empty() && digits.back() == '0') {
            digits.pop_back();
        }
        if (!digits.empty() && digits.back() == '.') {
            digits.pop_back();
        }
    }
    return QString::fromStdString(digits);
}

} // namespace

QString FormatZeroZero(double value) {
    QString digits = fixed(std::fabs(value), 2);
    if (digits.indexOf('.') < 2) {
        digits.prepend('0');
    }
    return withSign(value < 0, digits);
}

QString FormatScale(double value) {
    QString digits = twoOrThreeDecimals(std::fabs(value));
    if (digits.startsWith("0.")) {
        digits.remove(0, 1);
    }
    return withSign(value < 0, digits);
}

QString FormatSigned(double value) {
    const QString digits = twoOrThreeDecimals(std::fabs(value));
    return (value < 0 && !roundsToZero(digits) ? "-" : "+") + digits;
}

QString FormatGeneral(float value) {
    if (std::isnan(value)) {
        return "NaN";
    }
    if (std::isinf(value)) {
        return value > 0 ? "inf" : "-inf";
    }
    if (value == 0.0f) {
        return "0";
    }
    // Seven significant digits, then decide the notation from the decimal exponent.
    char buf[32];
    const auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(double(value)),
                                   std::chars_format::scientific, 6);
    const std::string sci(buf, res.ptr);
    const auto e = sci.find('e');
    const int exponent = std::atoi(sci.c_str() + e + 1);
    const QString sign = value < 0 ? "-" : "";
    if (exponent >= 7 || exponent < -4) {
        const QString mantissa = stripTrailingZeros(sci.substr(0, e));
        const QString exp = QString::number(std::abs(exponent)).rightJustified(2, '0');
        return sign + mantissa + "E" + (exponent < 0 ? "-" : "+") + exp;
    }
    const auto f = std::to_chars(buf, buf + sizeof buf, std::fabs(double(value)),
                                 std::chars_format::fixed, std::max(0, 6 - exponent));
    return sign + stripTrailingZeros(std::string(buf, f.ptr));
}

} // namespace qmx
