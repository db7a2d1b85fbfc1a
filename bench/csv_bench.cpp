// qmxtool csv on a log of 1,000,000 samples against `sqlite3 -csv LOG "SELECT * FROM
// LogData"` on the same file, in the same run: medians of 5 runs each and their ratio.
#include "logging/logcreation.h"
#include "logging/sqlitedb.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace qmx;

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kSamples = 1000000;
constexpr int kRuns = 5;

double medianSecondsOf(const QString& command) {
    std::vector<double> seconds;
    for (int i = 0; i < kRuns; ++i) {
        const auto start = Clock::now();
        if (std::system(command.toLocal8Bit().constData()) != 0) {
            std::fprintf(stderr, "failed: %s\n", qPrintable(command));
        }
        seconds.push_back(std::chrono::duration<double>(Clock::now() - start).count());
    }
    std::sort(seconds.begin(), seconds.end());
    return seconds[seconds.size() / 2];
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString log = dir.filePath("million.qmx");
    LogCreation(log).Run();
    {
        SqliteDb db(log, SqliteDb::Mode::ReadWrite);
        db.Exec("BEGIN");
        db.Exec("INSERT INTO Info VALUES ('12/6/2026', 'benchmark')");
        Statement insert =
            db.Prepare("INSERT INTO LogData VALUES ('10:15:42 AM', 'AC', ' V', ?, ?)");
        for (int k = 0; k < kSamples; ++k) {
            const float v = float(0.7746 + 0.05 * std::sin(k / 300.0));
            insert.Reset();
            insert.Bind(1, double(v)).Bind(2, double(float(std::round(k % 2000) / 100.0)));
            insert.Step();
        }
        db.Exec("COMMIT");
    }
    const QString tool = QCoreApplication::applicationDirPath() + "/qmxtool";
    const double ours = medianSecondsOf(tool + " csv " + log + " -o " + dir.filePath("a.csv"));
    const double sqlite = medianSecondsOf("sqlite3 -csv " + log + " \"SELECT * FROM LogData\" > " +
                                          dir.filePath("b.csv"));
    std::printf("qmxtool csv: median %.3f s; sqlite3 -csv: median %.3f s; ratio %.2f\n", ours,
                sqlite, ours / sqlite);
    return 0;
}
