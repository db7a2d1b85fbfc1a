#include "display/readingmodel.h"

#include "display/numberformat.h"

#include <QLocale>

namespace qmx {

QString ReadingModel::FormatClockText(QTime time) {
    return QLocale::c().toString(time, "hh:mm:ss AP");
}

QString ReadingModel::FormatStartupClockText(QTime time) {
    return QLocale::c().toString(time, "h:mm:ss AP");
}

int ReadingModel::PointSizeFor(const QString& line) {
    return line.size() > kLongLineAfter ? kLongLinePointSize : kNormalPointSize;
}

bool ReadingModel::TakeDbu(const MeterReading& reading) {
    if (!reading.IsAcVolts) {
        DbuText = kDbuNotValid;
        return false;
    }
    if (reading.DbuValid) {
        CurrentDbu = reading.Dbu;
        DbuText = FormatZeroZero(CurrentDbu) + " dBu";
    }
    return true;
}

MeterReading ReadingModel::Take(const QString& line) {
    ShownLine = line;
    const MeterReading reading = DecodeReading(line);
    TakeDbu(reading);
    ReadingUnits = reading.Units;
    CurrentValue = reading.Value;
    ReadingMode = reading.Mode;
    return reading;
}

} // namespace qmx
