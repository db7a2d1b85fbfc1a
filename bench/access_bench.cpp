// The Access-format files, in one run:
// - `qmxtool mdb` (the Access export) against `qmxtool csv` on the same log of 1,000,000
//   samples: medians of 5 runs each, taken in turn, and their ratio;
// - opening the earlier version's 40,000-sample log in the graph window (read through the
//   reader helper, plotted, shown) against opening a log of this program with the same
//   rows: medians of 9, taken in turn.
#include "bench/benchlog.h"
#include "display/frmmain.h"
#include "grapher/frmgrapher.h"
#include "logging/logimport.h"
#include "logging/sqlitedb.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/soundplayer.h"

#include <QApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

using namespace qmx;

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kSamples = 1000000;
constexpr int kExportRuns = 5;
constexpr int kOpenRuns = 9;

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
    MakeBenchLog(path, kSamples, "INSERT INTO LogData VALUES ('10:15:42 AM', 'AC', ' V', ?, ?)",
                 [](Statement& row, int k) {
                     const float v = float(0.7746 + 0.05 * std::sin(k / 300.0));
                     row.Bind(1, double(v)).Bind(2, double(float(std::round(k % 2000) / 100.0)));
                 });
}

// A failure to open a log is printed, never waited on.
class PrintedDialogs final : public Dialogs {
public:
    Answer MsgBox(const QString& text, Buttons, const QString& title) override {
        std::fprintf(stderr, "%s: %s\n", qPrintable(title), qPrintable(text));
        return Answer::Ok;
    }
    std::optional<QString> OpenFile(const OpenFileRequest&) override { return {}; }
    std::optional<QString> ChooseFont(const QString&) override { return {}; }
};

class NoSound final : public SoundPlayer {
public:
    bool PlayLoop(const QString&) override { return true; }
    void Stop() override {}
    void Beep() override {}
    bool Failed() const override { return false; }
};

// Opening a log in the shown graph window, as File > Open does: the log read, the graph
// and labels drawn and painted.
double openSeconds(frmGrapher& window, const QString& path) {
    return secondsOf([&] {
        if (!window.LoadFile(path)) {
            std::fprintf(stderr, "%s did not open\n", qPrintable(path));
            std::exit(1);
        }
        QCoreApplication::processEvents();
    });
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
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
                Median(mdb), Median(csv), Median(mdb) / Median(csv));

    const QString legacy = argc > 1 ? argv[1] : QStringLiteral(QMX_LEGACY_LOGS "/big-40k.qmx");
    const QString imported = dir.filePath("big-40k.qmx");
    const qint64 samples = ImportLog(legacy, imported);
    SystemClock clock;
    PrintedDialogs dialogs;
    NoSound sound;
    const Services services{clock, dialogs, sound, dir.path()};
    frmMain main(services);
    frmGrapher window(main, services);
    window.show();
    std::vector<double> access, sqlite;
    for (int i = 0; i < kOpenRuns; ++i) {
        access.push_back(openSeconds(window, legacy));
        sqlite.push_back(openSeconds(window, imported));
    }
    std::printf("open %lld samples in the graph window: Access format median %.3f s; "
                "the same log in SQLite median %.3f s; ratio %.2f\n",
                static_cast<long long>(samples), Median(access), Median(sqlite),
                Median(access) / Median(sqlite));
    return 0;
}
