#include "tests/support/logmaker.h"

#include "logging/logcreation.h"
#include "logging/logreader.h"
#include "logging/sqlitedb.h"

#include <QVariant>

void MakeLog(const QString& path, const std::vector<LogSample>& samples, const QString& date,
             const NullableText& description, bool withInfo) {
    LogCreation(path).Run();
    SqliteDb db(path, SqliteDb::Mode::ReadWrite);
    db.Exec("BEGIN");
    if (withInfo) {
        Statement info = db.Prepare("INSERT INTO Info (Date, Description) VALUES (?, ?)");
        info.Bind(1, date).Bind(2, description ? QVariant(*description) : QVariant()).Step();
    }
    Statement insert =
        db.Prepare("INSERT INTO LogData (TimeStamp, Type, Units, Value, dBu) VALUES (?,?,?,?,?)");
    const auto number = [](const std::optional<float>& v) {
        return v ? QVariant(double(*v)) : QVariant();
    };
    for (const LogSample& s : samples) {
        insert.Reset();
        insert.Bind(1, s.timeStamp).Bind(2, s.type);
        insert.Bind(3, s.units ? QVariant(*s.units) : QVariant());
        insert.Bind(4, number(s.value)).Bind(5, number(s.dbu));
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
