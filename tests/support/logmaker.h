#pragma once

#include "grapher/csvexport.h"
#include "grapher/logdocument.h"
#include "logging/logcreation.h"
#include "logging/logreader.h"
#include "logging/logrecord.h"
#include "logging/sqlitedb.h"

#include <QRandomGenerator>
#include <QString>
#include <QtEndian>

#include <optional>
#include <utility>
#include <vector>

namespace qmx {

// Writes log files for tests quickly (one transaction), through the program's own
// creation of the file and its tables.
struct LogSample {
    std::optional<float> value;
    QString type = "DC";
    std::optional<QString> units = " V";
    std::optional<float> dbu = std::nullopt;
    QString timeStamp = "9:00:00 AM";
};

inline void MakeLog(const QString& path, const std::vector<LogSample>& samples,
                    const QString& date = "12/6/2026", const NullableText& description = "bench",
                    bool withInfo = true) {
    LogCreation(path).Run();
    SqliteDb db(path, SqliteDb::Mode::ReadWrite);
    db.Exec("BEGIN");
    if (withInfo) {
        db.Prepare("INSERT INTO Info (Date, Description) VALUES (?, ?)")
            .Bind(1, date)
            .Bind(2, description)
            .Step();
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

// n samples of a DC reading whose value at position k (1-based) is f(k).
inline std::vector<LogSample> Ramp(int n, float (*f)(int)) {
    std::vector<LogSample> samples(static_cast<size_t>(n));
    for (int k = 1; k <= n; ++k) {
        samples[size_t(k - 1)].value = f(k);
    }
    return samples;
}

// Everything a log holds, read through the program's reader of either format.
struct LogContents {
    std::vector<LogHeader> info;
    std::vector<LogRecord> samples;
};
[[nodiscard]] inline LogContents ReadWholeLog(const QString& path) {
    struct Collect : LogVisitor {
        LogContents all;
        void Info(const LogHeader& header) override { all.info.push_back(header); }
        void Sample(const LogRecord& sample) override { all.samples.push_back(sample); }
    } collect;
    LogReader::Read(path, collect);
    return collect.all;
}

// The comma-separated values the export makes of these rows (the first Info row only).
[[nodiscard]] inline QByteArray CsvOf(const std::vector<LogHeader>& info,
                                      const std::vector<LogRecord>& samples) {
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

// Damaged copies of a file the Access export made of a log of that many samples, by what
// is wrong with them: cut short at three places, random bytes after the signature, a
// huge row count, one row more than the file holds.
[[nodiscard]] inline std::vector<std::pair<QString, QByteArray>>
DamagedCopies(const QByteArray& file, quint32 samples) {
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
