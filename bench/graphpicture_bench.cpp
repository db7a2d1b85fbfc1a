// The statistics and the picture of a view of 1,000,000 samples, as the graph window's
// View and File menus and qmxtool make them from the open log. The baseline in the same run
// is reading the view's rows (every column) from the file with a bare SQLite scan.
#include "bench/benchlog.h"
#include "grapher/graphcaptions.h"
#include "grapher/graphpicture.h"
#include "grapher/graphview.h"
#include "grapher/logdocument.h"
#include "grapher/viewstatistics.h"
#include "logging/sqlitedb.h"

#include <QGuiApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

using namespace qmx;

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kSamples = 1000000;

// The median of runs of work, in milliseconds.
double medianMs(int runs, const std::function<void()>& work) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        work();
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    return Median(times);
}

// AC volts with a null every thousandth sample and a DC stretch in the middle.
void makeLog(const QString& path) {
    MakeBenchLog(
        path, kSamples, "INSERT INTO LogData VALUES (?, ?, ' V', ?, NULL)",
        [](Statement& row, int k) {
            row.Bind(1, QString("%1:%2:%3 AM")
                            .arg(1 + k / 3600 % 12)
                            .arg(k / 60 % 60, 2, 10, QChar('0'))
                            .arg(k % 60, 2, 10, QChar('0')));
            row.Bind(2, QString(k > 400000 && k < 420000 ? "DC" : "AC"));
            if (k % 1000 == 999) {
                row.Bind(3, std::optional<double>());
            } else {
                row.Bind(3, double(float(1.2 + std::sin(k / 5000.0) + 0.1 * std::sin(k / 7.0))));
            }
        });
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath("big.qmx");
    makeLog(path);
    const LogDocument log(path);
    GraphView view;
    view.ViewAll(log.Count());

    const double readMs = medianMs(5, [&] {
        SqliteDb db(path, SqliteDb::Mode::ReadOnly);
        Statement scan = db.Prepare("SELECT TimeStamp, Type, Units, Value, dBu FROM LogData");
        qint64 bytes = 0;
        while (scan.Step()) {
            bytes += scan.Bytes(0).size() + scan.Bytes(1).size() + scan.Bytes(2).size();
        }
        if (bytes == 0) {
            std::puts("no rows");
        }
    });
    double mean = 0;
    const double statsMs = medianMs(9, [&] {
        mean = ViewStatistics::Of(log, view.FirstPos(), view.LastPos()).Groups.at(0).Mean;
    });
    GraphScale::GetMaxMin(view, log);
    const ScaleLayout layout = GraphScale::DrawScale(view, view.MaxVal, view.MinVal);
    const GraphPicture picture(log, view, layout, GraphCaptions::Of(path, log, view, layout));
    qsizetype pngBytes = 0;
    qsizetype svgBytes = 0;
    const double pngMs =
        medianMs(5, [&] { pngBytes = picture.Encode(GraphPicture::Format::Png).size(); });
    const double svgMs =
        medianMs(5, [&] { svgBytes = picture.Encode(GraphPicture::Format::Svg).size(); });

    std::printf("view of %d samples (medians)\n", kSamples);
    std::printf("  reading the view's rows (baseline) %8.1f ms\n", readMs);
    std::printf("  statistics                         %8.1f ms  (%.2fx the baseline; mean %.4f)\n",
                statsMs, statsMs / readMs, mean);
    std::printf("  picture, PNG                       %8.1f ms  (%.2fx; %lld bytes)\n", pngMs,
                pngMs / readMs, static_cast<long long>(pngBytes));
    std::printf("  picture, SVG                       %8.1f ms  (%.2fx; %lld bytes)\n", svgMs,
                svgMs / readMs, static_cast<long long>(svgBytes));
    return 0;
}
