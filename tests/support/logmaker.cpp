#include "tests/support/logmaker.h"

#include "grapher/csvexport.h"
#include "grapher/logdocument.h"
#include "logging/logcreation.h"
#include "logging/logreader.h"
#include "logging/sqlitedb.h"

#include <QRandomGenerator>
#include <QtEndian>

namespace qmx {

void MakeLog(const QString& path, const std::vector<LogSample>& samples, const QString& date,
             const NullableText& description, bool withInfo) {
    LogCreation(path).Run();
    SqliteDb db(path, SqliteDb::Mode::ReadWrite);
    db.Exec("BEGIN");
    if (withInfo) {
        Statement info = db.Prepare("INSERT INTO Info (Date, Description) VALUES (?, ?)");
        info.Bind(1, date).Bind(2, description).Step();
    }
    Statement insert =
        db.Prepare("INSERT INTO LogData (TimeStamp, Type, Units, Value, dBu) VALUES (?,?,?,?,?)");
    for (const LogSample& s : samples) {
        insert.Reset();
        insert.Bind(1, s.timeStamp).Bind(2, s.type);
        insert.Bind(3, s.units).Bind(4, s.value).Bind(5, s.dbu);
        insert.Step();
    }
    db.Exec("COMMIT");
}

std::vector<LogSample> Ramp(int n, float (*f)(int)) {
    std::vector<LogSample> samples(static_cast<size_t>(n));
    for (int k = 1; k <= n; ++k) {
        samples[size_t(k - 1)].value = f(k);
    }
    return samples;
}

LogContents ReadWholeLog(const QString& path) {
    struct Collect : LogVisitor {
        LogContents all;
        void SampleCount(qint64 count) override { all.announced = count; }
        void Info(const LogHeader& header) override { all.info.push_back(header); }
        void Sample(const LogRecord& sample) override { all.samples.push_back(sample); }
    } collect;
    LogReader::Read(path, collect);
    return collect.all;
}

QByteArray CsvOf(const std::vector<LogHeader>& info, const std::vector<LogRecord>& samples) {
    const auto field = [](const NullableText& t) {
        return CsvExport::Field(t.value_or(QString()).toUtf8());
    };
    const auto number = [](const std::optional<double>& v) {
        return CsvExport::Number(SampleNumber(v));
    };
    QByteArray csv = field(info.at(0).Date) + ',' + field(info.at(0).Description) + "\r\n";
    for (const LogRecord& s : samples) {
        csv += field(s.TimeStamp) + ',' + field(s.Type) + ',' + field(s.Units) + ',' +
               number(s.Value) + ',' + number(s.Dbu) + "\r\n";
    }
    return csv;
}

std::vector<std::pair<QString, QByteArray>> DamagedCopies(const QByteArray& file, quint32 samples) {
    constexpr int kPage = 4096;
    const auto withRowCount = [&file](quint32 rows) {
        QByteArray b = file;
        qToLittleEndian(rows, b.data() + 19 * kPage + 0x10); // LogData's definition
        return b;
    };
    QByteArray noise = file.left(19);
    QRandomGenerator random(7);
    for (int i = 0; i < 200000; ++i) {
        noise += char(random.generate());
    }
    return {
        {"truncated to its catalog", file.left(25 * kPage)},
        {"truncated in a page", file.left(kPage * 30 + 1000)},
        {"shorter than a page", file.left(3000)},
        {"random bytes after the signature", noise},
        {"a huge row count", withRowCount(0x7FFFFFFF)},
        {"one row more than it holds", withRowCount(samples + 1)},
    };
}

} // namespace qmx
