#include "logging/samplerow.h"

#include "display/numberformat.h"
#include "display/readingmodel.h"
#include "logging/logwriter.h"
#include "meter/meterlink.h"
#include "meter/meterreading.h"
#include "meter/readnumber.h"

#include <QLocale>

#include <cmath>

namespace qmx {

QString FormatTimeStamp(QTime time) {
    return QLocale::c().toString(time, "h:mm:ss AP");
}

QString FormatLogDate(QDate date) {
    return QLocale::c().toString(date, "M/d/yyyy");
}

std::optional<SampleRow> BuildSampleRow(const QString& line, const QString& dbuText,
                                        float currentDbu, QTime now) {
    // Nothing to record while the meter is silent, nor before its first line is shown.
    if (line == MeterLink::kNoComm || line.isEmpty()) {
        return std::nullopt;
    }
    SampleRow row;
    row.TimeStamp = FormatTimeStamp(now);
    const QString mode = line.left(2);
    if (mode == u"AC" || mode == u"DC" || mode == u"FR") {
        row.Type = mode;
        row.Value = FiniteSingle(ReadNumber(line.mid(3, 6)));
    } else if (line.left(4) == u"TEMP") {
        row.Type = "Temp";
        row.Value = FiniteSingle(ReadNumber(line.mid(5, 4)));
    } else {
        row.Type = mode;
    }
    row.Units = NamedUnits(line).value_or(line.right(2));
    if (dbuText != ReadingModel::kDbuNotValid && std::isfinite(currentDbu)) {
        // Stored as shown: rounded to two decimals.
        row.Dbu = FiniteSingle(ReadNumber(FormatZeroZero(currentDbu)));
    }
    return row;
}

void StoreSample(LogWriter& writer, const SampleRow& row) {
    writer.Add(row);
}

void StoreInfo(LogWriter& writer, QDate date, const QString& description) {
    writer.Add(LogHeader{FormatLogDate(date), description});
}

} // namespace qmx
