#include "app/commandline.h"
#include "app/commands.h"
#include "app/portoptions.h"
#include "display/readingmodel.h"
#include "logging/dberror.h"
#include "logging/logcreation.h"
#include "logging/logmessages.h"
#include "logging/logwriter.h"
#include "logging/runcontrol.h"
#include "logging/samplerow.h"
#include "meter/meterlink.h"

#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <limits>
#include <memory>

namespace {

constexpr int kPollMs = 250;
constexpr int kFirstLineWaitMs = 2000;
constexpr double kLongestRunS = 366.0 * 24 * 60 * 60;
volatile std::sig_atomic_t stopRequested = 0;

void onStopSignal(int) {
    stopRequested = 1;
}

void printError(const QString& text) {
    std::fprintf(stderr, "qmxtool record: %s\n",
                 qPrintable(QString(text).replace("\r\n", " ").simplified()));
}

// A headless logging run: the display tick's polling and reading model, and the
// sampling timer's rows, into a new log file.
class Recorder {
public:
    Recorder(MeterLink& link, LogWriter& writer, qint64 maxSamples, qint64 maxMs)
        : link_(link), writer_(writer), maxSamples_(maxSamples), maxMs_(maxMs) {}

    int Run(qint32 intervalMs) {
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, [this] { displayTick(); });
        tick.start(kPollMs);
        sample_.setInterval(intervalMs);
        QObject::connect(&sample_, &QTimer::timeout, [this] { recordRow(); });
        // The run begins with a sample, once the meter has said something (or not).
        QObject::connect(&link_, &MeterLink::LineCompleted, [this] { begin(); });
        QTimer::singleShot(kFirstLineWaitMs, [this] { begin(); });
        elapsed_.start();
        const int status = QCoreApplication::exec();
        std::printf("%lld samples\n", static_cast<long long>(count_));
        return failed_ ? 1 : status;
    }

private:
    void begin() {
        if (started_) {
            return;
        }
        started_ = true;
        displayTick();
        recordRow();
        sample_.start();
    }

    void displayTick() {
        if (stopRequested || (maxMs_ > 0 && elapsed_.elapsed() >= maxMs_)) {
            QCoreApplication::quit();
            return;
        }
        link_.SendPoll();
        reading_.Take(link_.LastLine);
        if (link_.CountSilentTick()) {
            link_.LastLine = "No Comm";
        }
    }

    void recordRow() {
        const auto row = BuildSampleRow(reading_.ShownLine, reading_.DbuText, reading_.CurrentDbu,
                                        QTime::currentTime());
        if (!row) {
            return;
        }
        try {
            StoreSample(writer_, *row);
        } catch (const DbError& e) {
            printError(LogMessages::RecordingFailedText(writer_.Path(), e.Detail, qint32(count_)));
            failed_ = true;
            QCoreApplication::quit();
            return;
        }
        ++count_;
        // Each row is reported once it is on disk.
        std::printf("%lld\t%s\t%s\t%s\t%s\t%s\n", static_cast<long long>(count_),
                    qPrintable(row->TimeStamp), qPrintable(row->Type), qPrintable(row->Units),
                    row->Value ? qPrintable(QString::number(*row->Value)) : "",
                    row->Dbu ? qPrintable(QString::number(*row->Dbu)) : "");
        std::fflush(stdout);
        if (count_ >= maxSamples_ && maxSamples_ > 0) {
            QCoreApplication::quit();
        }
    }

    MeterLink& link_;
    LogWriter& writer_;
    ReadingModel reading_;
    QTimer sample_;
    QElapsedTimer elapsed_;
    qint64 maxSamples_;
    qint64 maxMs_;
    qint64 count_ = 0;
    bool started_ = false;
    bool failed_ = false;
};

} // namespace

int RunRecord(CommandLine& line, const QStringList& args) {
    AddPortOptions(line);
    line.AddOption({"interval", "Seconds between samples, 0.5 to 60 (default 1).", "SECONDS"});
    line.AddOption({"comment", "The run's comment, at most 255 characters.", "TEXT"});
    line.AddOption({"samples", "Stop after this many samples.", "N"});
    line.AddOption({"duration", "Stop after this many seconds.", "SECONDS"});
    if (!line.Parse(args)) {
        return 0;
    }
    const QString logPath = line.Arguments({"LOG"}).first();
    const ChosenMeter meter = MeterFromOptions(line);
    const double interval =
        line.Number("interval", RunControl::kShortestIntervalS, RunControl::kLongestIntervalS,
                    "seconds from 0.5 to 60", 1.0);
    const QString comment = line.Value("comment");
    if (comment.toUcs4().size() > RunControl::kCommentLimit) {
        line.Fail(QString("--comment: %1 characters, a log holds at most %2")
                      .arg(comment.toUcs4().size())
                      .arg(RunControl::kCommentLimit));
    }
    line.OneOf("samples", "duration", false);
    const qint64 samples =
        line.Whole("samples", 1, std::numeric_limits<qint32>::max(), "a count from 1", 0);
    const double duration =
        line.Number("duration", RunControl::kShortestIntervalS, kLongestRunS,
                    "seconds from 0.5 to " + QString::number(kLongestRunS, 'f', 0), 0.0);

    try {
        LogCreation(logPath).Run();
    } catch (const DbError& e) {
        line.Report(
            "cannot create " + logPath + ": " +
            (e.Code == DbError::kEngineFailure ? "its folder does not exist" : ReasonOf(e)));
        return 1;
    }
    MeterLink link(meter.Ports);
    link.CommPort = meter.Port;
    if (const auto failure = link.OpenConfiguredPort()) {
        line.Report(PortFailureLine(*failure));
        return 1;
    }
    std::unique_ptr<LogWriter> writer;
    try {
        writer = std::make_unique<LogWriter>(logPath);
        StoreInfo(*writer, QDate::currentDate(), comment);
    } catch (const DbError& e) {
        printError(LogMessages::RecordingFailedText(logPath, e.Detail, 0));
        return 1;
    }
    std::signal(SIGINT, onStopSignal);
    std::signal(SIGXFSZ, SIG_IGN); // a file size limit is a failed write, not the end
    std::signal(SIGTERM, onStopSignal);
    Recorder recorder(link, *writer, samples, qint64(duration * 1000));
    return recorder.Run(RunControl::IntervalMs(QString::number(interval, 'g', 17)));
}
