#include "meter/readnumber.h"

#include <QString>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <locale.h>
#include <string>

namespace qmx {

namespace {

bool isSkipped(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n';
}

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// The text with every blank, tab and line feed removed.
QString squeezed(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (!isSkipped(c)) {
            out.append(c);
        }
    }
    return out;
}

// The longest prefix that forms a number, in C syntax; empty when it holds no digit.
std::string numberPrefix(const QString& s) {
    std::string out;
    qsizetype i = 0;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) {
        out += char(s[i++].unicode());
    }
    bool digits = false;
    bool point = false;
    for (; i < s.size(); ++i) {
        if (isDigit(s[i])) {
            digits = true;
        } else if (s[i] == u'.' && !point) {
            point = true;
        } else {
            break;
        }
        out += char(s[i].unicode());
    }
    if (!digits) {
        return {};
    }
    // An exponent counts only when at least one digit follows its marker and sign.
    if (i < s.size() && (s[i] == u'E' || s[i] == u'e' || s[i] == u'D' || s[i] == u'd')) {
        qsizetype j = i + 1;
        std::string exponent = "e";
        if (j < s.size() && (s[j] == u'+' || s[j] == u'-')) {
            exponent += char(s[j++].unicode());
        }
        const qsizetype firstDigit = j;
        while (j < s.size() && isDigit(s[j])) {
            exponent += char(s[j++].unicode());
        }
        if (j > firstDigit) {
            out += exponent;
        }
    }
    return out;
}

locale_t cLocale() {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    return c;
}

} // namespace

double ReadNumber(const QString& text) {
    const std::string number = numberPrefix(squeezed(text));
    if (number.empty()) {
        return 0.0;
    }
    // strtod_l: "." whatever the process locale, and overflow gives +-HUGE_VAL (infinity).
    return strtod_l(number.c_str(), nullptr, cLocale());
}

float NarrowToSingle(double value) {
    constexpr double kMax = std::numeric_limits<float>::max();
    if (value > kMax) {
        return INFINITY;
    }
    if (value < -kMax) {
        return -INFINITY;
    }
    return float(value);
}

std::optional<float> FiniteSingle(double value) {
    const float single = NarrowToSingle(value);
    return std::isfinite(single) ? std::optional(single) : std::nullopt;
}

} // namespace qmx
