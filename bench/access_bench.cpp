// The Access-format files, in one run:
// - `qmxtool mdb` (the Access export) against `qmxtool csv` on the same log of 1,000,000
//   samples: medians of 5 runs each, taken in turn, and their ratio;
// - reading the earlier version's 40,000-sample log through the reader helper, keeping
//   every row as a window would, against reading the same rows from a log of this
//   program: medians of 9.
#include "logging/logcreation.h"
#include "logging/logimport.h"
#include "logging/logreader.h"
#include "logging/sqlitedb.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kSamples = 1000000;
constexpr int kExportRuns = 5;
constexpr int kReadRuns = 9;

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double secondsOf(const std::function<void()>& work) {
    const auto start = Clock::now();
    work();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void run(const QString& command) {
    if (std::system(command.toLocal8Bit().constData()) != 0) {
        std::fprintf(stderr, "failed: %s\n", qPrintable(command));
    }
}

void makeLog(const QString& path) {
    LogCreation(path).Run();
    SqliteDb db(path, SqliteDb::Mode::ReadWrite);
    db.Exec("BEGIN");
    db.Exec("INSERT INTO Info VALUES ('12/6/2026', 'benchmark')");
    Statement insert = db.Prepare("INSERT INTO LogData VALUES ('10:15:42 AM', 'AC', ' V', ?, ?)");
    for (int k = 0; k < kSamples; ++k) {
        const float v = float(0.7746 + 0.05 * std::sin(k / 300.0));
        insert.Reset();
        insert.Bind(1, double(v)).Bind(2, double(float(std::round(k % 2000) / 100.0)));
        insert.Step();
    }
    db.Exec("COMMIT");
}

// Keeps every row, as the graph window keeps an Access-format log it shows.
struct KeepAll : LogVisitor {
    std::vector<LogHeader> info;
    std::vector<LogRecord> samples;
    void Info(const LogHeader& h) override { info.push_back(h); }
    void Sample(const LogRecord& s) override { samples.push_back(s); }
};

double readSeconds(const QString& path, size_t& rows) {
    std::vector<double> times;
    for (int i = 0; i < kReadRuns; ++i) {
        KeepAll all;
        times.push_back(secondsOf([&] { LogReader::Read(path, all); }));
        rows = all.samples.size();
    }
    return median(times);
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString log = dir.filePath("million.qmx");
    makeLog(log);
    const QString tool = QCoreApplication::applicationDirPath() + "/qmxtool";
    std::vector<double> mdb, csv;
    for (int i = 0; i < kExportRuns; ++i) {
        mdb.push_back(
            secondsOf([&] { run(tool + " mdb " + log + " -o " + dir.filePath("a.mdb")); }));
        csv.push_back(
            secondsOf([&] { run(tool + " csv " + log + " -o " + dir.filePath("a.csv")); }));
    }
    std::printf("1,000,000 samples: qmxtool mdb median %.3f s; qmxtool csv median %.3f s; "
                "ratio %.2f\n",
                median(mdb), median(csv), median(mdb) / median(csv));

    const QString legacy = argc > 1 ? argv[1] : QStringLiteral(QMX_LEGACY_LOGS "/big-40k.qmx");
    const QString imported = dir.filePath("big-40k.qmx");
    ImportLog(legacy, imported);
    size_t accessRows = 0, sqliteRows = 0;
    const double access = readSeconds(legacy, accessRows);
    const double sqlite = readSeconds(imported, sqliteRows);
    std::printf("read %zu samples: Access format through the helper median %.3f s; "
                "the same log in SQLite median %.3f s; ratio %.2f\n",
                accessRows, access, sqlite, access / sqlite);
    return sqliteRows == accessRows ? 0 : 1;
}
