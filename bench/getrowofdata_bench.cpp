// Time of one sample row from the reading to the durable save, as GetRowofData does it,
// against a baseline in the same run: the same row appended to a plain text file and
// flushed to disk with fdatasync (the least any durable save can cost here).
#include "logging/logcreation.h"
#include "logging/logwriter.h"
#include "logging/samplerow.h"

#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

using namespace qmx;

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRows = 1000;

struct Stats {
    double medianUs;
    double p99Us;
};

Stats statsOf(std::vector<double> us) {
    std::sort(us.begin(), us.end());
    return {us[us.size() / 2], us[us.size() * 99 / 100]};
}

template <typename F> Stats timeEach(F&& saveRow) {
    std::vector<double> us;
    us.reserve(kRows);
    for (int i = 0; i < kRows; ++i) {
        const auto start = Clock::now();
        saveRow(i);
        us.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    return statsOf(us);
}

} // namespace

int main() {
    QTemporaryDir dir;
    const QString log = dir.filePath("bench.qmx");
    LogCreation(log).Run();
    LogWriter writer(log);
    StoreInfo(writer, QDate::currentDate(), "benchmark");

    const Stats rows = timeEach([&](int i) {
        const auto row = BuildSampleRow(QString("AC %1 V").arg(0.7 + i * 1e-4, 6, 'f', 4),
                                        "-00.05 dBu", -0.05f, QTime::currentTime());
        StoreSample(writer, *row);
    });

    const int fd = ::open(dir.filePath("plain.txt").toLocal8Bit().constData(),
                          O_WRONLY | O_CREAT | O_APPEND, 0644);
    const Stats plain = timeEach([&](int i) {
        const QByteArray line = QString("9:05:03 AM,AC, V,%1,-0.05\n").arg(0.7 + i * 1e-4).toUtf8();
        if (::write(fd, line.constData(), size_t(line.size())) < 0 || ::fdatasync(fd) != 0) {
            std::perror("baseline write");
        }
    });
    ::close(fd);

    std::printf("GetRowofData (row + durable save), %d rows: median %.0f us, p99 %.0f us\n", kRows,
                rows.medianUs, rows.p99Us);
    std::printf("baseline (append + fdatasync),      %d rows: median %.0f us, p99 %.0f us\n", kRows,
                plain.medianUs, plain.p99Us);
    std::printf("ratio of medians: %.2f\n", rows.medianUs / plain.medianUs);
    return 0;
}
