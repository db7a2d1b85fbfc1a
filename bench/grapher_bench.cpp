// The graph window's work on long logs: open and first plot, a cursor move, a zoom,
// and the memory the open log takes; for 10,000, 100,000 and 1,000,000 samples. The
// baseline in the same run is a bare SQLite scan of the Value column of the same file.
#include "bench/benchlog.h"
#include "grapher/graphplot.h"
#include "grapher/graphview.h"
#include "grapher/logdocument.h"
#include "logging/sqlitedb.h"
#include "ui/picturebox.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

using namespace qmx;

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

long rssKb() {
    QFile status("/proc/self/status");
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) {
            return line.mid(6).trimmed().split(' ').first().toLong();
        }
    }
    return 0;
}

void makeLog(const QString& path, int n) {
    MakeBenchLog(path, n, "INSERT INTO LogData VALUES ('9:00:00 AM', 'DC', ' V', ?, NULL)",
                 [](Statement& row, int k) {
                     row.Bind(1, double(float(std::sin(k / 5000.0) * 5 + std::sin(k / 7.0))));
                 });
}

void plot(PictureBox& picture, GraphView& view, const LogDocument& log) {
    view.ClearForRedraw();
    picture.Cls();
    GraphScale::GetMaxMin(view, log);
    const ScaleLayout layout = GraphScale::DrawScale(view, view.MaxVal, view.MinVal);
    GraphPlot::DrawGrid(picture.Canvas(), view, layout);
    GraphPlot::PopulateGraph(picture.Canvas(), view, log);
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QTemporaryDir dir;
    std::printf("%10s %12s %12s %12s %12s %12s %12s\n", "samples", "scan ms", "open+plot ms",
                "cursor ms", "zoom ms", "log MB", "process MB");
    for (const int n : {10000, 100000, 1000000}) {
        const QString path = dir.filePath(QString("log%1.qmx").arg(n));
        makeLog(path, n);

        auto start = Clock::now();
        {
            SqliteDb db(path, SqliteDb::Mode::ReadOnly);
            Statement scan = db.Prepare("SELECT Value FROM LogData");
            double sum = 0;
            while (scan.Step()) {
                sum += scan.Double(0);
            }
            if (std::isnan(sum)) {
                std::puts("");
            }
        }
        const double scanMs = msSince(start);

        const long before = rssKb();
        PictureBox picture;
        picture.resize(649, 409);
        picture.SetBackColor(Qt::black);
        start = Clock::now();
        const LogDocument log(path);
        GraphView view;
        view.ViewAll(log.Count());
        plot(picture, view, log);
        const double openMs = msSince(start);
        const double memoryMb = (rssKb() - before) / 1024.0;

        std::mt19937 rng(1);
        std::vector<double> moves;
        for (int i = 0; i < 200; ++i) {
            const double x = std::uniform_real_distribution<double>(1, n)(rng);
            start = Clock::now();
            const qint32 p = GraphScale::PositionAt(view, x);
            const LogDocument::Sample s = log.Read(p);
            GraphPlot::DrawCross(picture.Canvas(), view, float(x), s.Value.value_or(0));
            GraphPlot::DrawCross(picture.Canvas(), view, float(x), s.Value.value_or(0));
            moves.push_back(msSince(start));
        }

        std::vector<double> zooms;
        for (int i = 0; i < 5; ++i) {
            view.SetRange(n / 4 + i, 3 * n / 4);
            start = Clock::now();
            plot(picture, view, log);
            zooms.push_back(msSince(start));
        }
        std::printf("%10d %12.1f %12.1f %12.3f %12.1f %12.1f %12.1f\n", n, scanMs, openMs,
                    median(moves), median(zooms), memoryMb, rssKb() / 1024.0);
    }
    return 0;
}
