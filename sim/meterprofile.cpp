#include "sim/meterprofile.h"

#include <cmath>
#include <cstdio>

namespace qmx {

namespace {

constexpr double kCycleSeconds = 4.0;
const QStringList kCycleOrder = {"dcv", "acv", "ohm", "freq", "temp"};

// A value text of exactly six characters, right-aligned.
QByteArray field6(double value, int decimals) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%6.*f", decimals, value);
    return QByteArray(buf).right(6);
}

} // namespace

const QStringList& MeterProfile::Names() {
    static const QStringList names = {"dcv",  "acv",  "acmv",  "ohm",    "mohm",
                                      "freq", "temp", "cycle", "garbage"};
    return names;
}

MeterProfile::MeterProfile(QString name, unsigned seed) : name_(std::move(name)), rng_(seed) {}

double MeterProfile::uniform(double low, double high) {
    return std::uniform_real_distribution<double>(low, high)(rng_);
}

// A random walk kept within [low, high].
double MeterProfile::drift(double low, double high, double step) {
    if (std::isnan(level_) || level_ < low || level_ > high) {
        level_ = uniform(low, high);
    }
    level_ = std::clamp(level_ + uniform(-step, step), low, high);
    return level_;
}

QByteArray MeterProfile::NextLine(double seconds) {
    if (name_ == u"garbage") {
        return garbage();
    }
    if (name_ == u"cycle") {
        const auto slot = qsizetype(std::floor(seconds / kCycleSeconds)) % kCycleOrder.size();
        return lineFor(kCycleOrder[slot], seconds);
    }
    return lineFor(name_, seconds);
}

QByteArray MeterProfile::lineFor(const QString& profile, double seconds) {
    if (profile != lastProfile_) {
        lastProfile_ = profile;
        level_ = NAN;
    }
    if (profile == u"dcv") {
        return "DC " + field6(drift(-4.0, 9.0, 0.15), 3) + " V";
    }
    if (profile == u"acv") {
        return "AC " + field6(drift(0.70, 0.85, 0.01), 3) + " V";
    }
    if (profile == u"acmv") {
        return "AC " + field6(drift(80.0, 400.0, 5.0), 1) + " mV";
    }
    if (profile == u"ohm") {
        if (uniform(0.0, 1.0) < 0.1) {
            return "OH    OL OPEN";
        }
        return "OH " + field6(drift(0.5, 99.0, 1.0), 2) + " KOHM";
    }
    if (profile == u"mohm") {
        return "OH " + field6(drift(1.0, 20.0, 0.2), 3) + " MOHM";
    }
    if (profile == u"freq") {
        return "FR " + field6(drift(0.9, 1.1, 0.002), 3) + " KHz";
    }
    if (profile == u"temp") {
        char buf[32];
        std::snprintf(buf, sizeof buf, "TEMP %5.1f  C", drift(18.0, 32.0, 0.1));
        return buf;
    }
    Q_UNUSED(seconds);
    return {};
}

QByteArray MeterProfile::garbage() {
    // Mostly short random lines, now and then a very long one without a carriage return.
    const bool longRun = uniform(0.0, 1.0) < 0.1;
    const int length = longRun ? 1500 + int(uniform(0, 1500)) : int(uniform(0, 30));
    QByteArray bytes(length, '\0');
    std::uniform_int_distribution<int> byte(0, 255);
    for (char& b : bytes) {
        b = char(byte(rng_));
        if (longRun && b == '\r') {
            b = 'x';
        }
    }
    return bytes;
}

} // namespace qmx
