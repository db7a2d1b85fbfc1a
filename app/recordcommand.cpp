#include "app/commandline.h"
#include "app/commands.h"
#include "app/portoptions.h"
#include "display/readingmodel.h"
#include "logging/dberror.h"
#include "logging/logcreation.h"
#include "logging/loggingrun.h"
#include "logging/runcontrol.h"
#include "logging/samplerow.h"
#include "meter/meterlink.h"
#include "platform/linebreak.h"

#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <limits>

namespace qmx {

namespace {

constexpr int kPollMs = 250;
constexpr int kFirstLineWaitMs = 2000;
constexpr int kLastWaitMs = 1000;
constexpr double kLongestRunS = 366.0 * 24 * 60 * 60;
volatile std::sig_atomic_t stopRequested = 0;

// A second signal gives up rows still waiting for a busy log at the end.
void onStopSignal(int) {
    stopRequested = stopRequested + 1;
}

void printError(const QString& text) {
    std::fprintf(stderr, "qmxtool record: %s\n",
                 qPrintable(QString(text).replace(kCrLf, " ").simplified()));
}

// A headless logging run: the display tick's polling and reading model, and the
// run's rows, printed as each is stored.
class Recorder {
public:
    Recorder(MeterLink& link, ReadingModel& reading, LoggingRun& run, qint64 maxSamples,
             qint64 maxMs)
        : link_(link), reading_(reading), run_(run), maxSamples_(maxSamples), maxMs_(maxMs) {
        QObject::connect(&run_, &LoggingRun::RowSaved, printRow);
        QObject::connect(&run_, &LoggingRun::Failed, [this](const QString& message) {
            printError(message);
            failed_ = true;
            QCoreApplication::quit();
        });
        QObject::connect(&run_.tmrLogClock, &QTimer::timeout, [this] { stopWhenEnough(); });
    }

    int Run() {
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, [this] { displayTick(); });
        tick.start(kPollMs);
        // The run begins with a sample, once the meter has said something (or not).
        QObject::connect(&link_, &MeterLink::LineCompleted, [this] { begin(); });
        QTimer::singleShot(kFirstLineWaitMs, [this] { begin(); });
        elapsed_.start();
        const int status = QCoreApplication::exec();
        run_.Stop();
        storeWaiting();
        std::printf("%lld samples\n", static_cast<long long>(run_.SampleCount));
        return failed_ ? 1 : status;
    }

private:
    void begin() {
        if (started_) {
            return;
        }
        started_ = true;
        displayTick();
        run_.GetRowofData();
        stopWhenEnough();
        run_.Start();
    }

    void displayTick() {
        if (stopRequested || (maxMs_ > 0 && elapsed_.elapsed() >= maxMs_)) {
            QCoreApplication::quit();
            return;
        }
        run_.StoreWaiting();
        link_.SendPoll();
        reading_.Take(link_.LastLine);
        link_.CountSilentTick();
    }

    void stopWhenEnough() {
        if (maxSamples_ > 0 && run_.RowsTaken() >= maxSamples_) {
            QCoreApplication::quit();
        }
    }

    static void printRow(const SampleRow& row, qint32 count) {
        std::printf("%lld\t%s\t%s\t%s\t%s\t%s\n", static_cast<long long>(count),
                    qPrintable(row.TimeStamp), qPrintable(row.Type), qPrintable(row.Units),
                    row.Value ? qPrintable(QString::number(*row.Value)) : "",
                    row.Dbu ? qPrintable(QString::number(*row.Dbu)) : "");
        std::fflush(stdout);
    }

    // At the end, the rows still waiting are stored once the log is free.
    void storeWaiting() {
        const QString path = run_.LogFilePath;
        if (run_.Waiting() > 0 && !failed_) {
            printError(path + ": another program holds the log; " +
                       QString::number(run_.Waiting()) + " rows wait to be stored");
        }
        while (run_.Waiting() > 0 && !failed_ && stopRequested < 2) {
            run_.StoreWaiting(kLastWaitMs);
        }
        if (run_.Waiting() > 0 && !failed_) {
            printError(path + ": " + QString::number(run_.Waiting()) + " rows were not stored");
            failed_ = true;
        }
    }

    MeterLink& link_;
    ReadingModel& reading_;
    LoggingRun& run_;
    QElapsedTimer elapsed_;
    qint64 maxSamples_;
    qint64 maxMs_;
    bool started_ = false;
    bool failed_ = false;
};

} // namespace

int RunRecord(CommandLine& line, const QStringList& args) {
    AddPortOptions(line);
    line.AddOption({"interval", "Seconds between samples, 0.5 to 60 (default 1).", "SECONDS"});
    line.AddOption(
        {"comment",
         QString("The run's comment, at most %1 characters.").arg(RunControl::kCommentLimit),
         "TEXT"});
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

    // A run that fails before it stored a sample takes back the file it made.
    LogCreation creation(logPath);
    try {
        creation.Run();
    } catch (const DbError& e) {
        line.Report(
            "cannot create " + logPath + ": " +
            (e.Code == DbError::kEngineFailure ? "its folder does not exist" : ReasonOf(e)));
        creation.RemoveMadeFile();
        return 1;
    }
    MeterLink link(meter.Ports);
    link.CommPort = meter.Port;
    if (const auto failure = link.OpenConfiguredPort()) {
        line.Report(PortFailureLine(*failure));
        creation.RemoveMadeFile();
        return 1;
    }
    ReadingModel reading;
    LoggingRun run(reading, [] { return QTime::currentTime(); });
    run.LogFilePath = logPath;
    run.LogIntervalMs = RunControl::IntervalMs(QString::number(interval, 'g', 17));
    QObject::connect(&run, &LoggingRun::Failed,
                     [](const QString& message) { printError(message); });
    if (!run.Open(QDate::currentDate(), comment)) {
        run.Close();
        creation.RemoveMadeFile();
        return 1;
    }
    QObject::disconnect(&run, &LoggingRun::Failed, nullptr, nullptr);
    std::signal(SIGINT, onStopSignal);
    std::signal(SIGXFSZ, SIG_IGN); // a file size limit is a failed write, not the end
    std::signal(SIGTERM, onStopSignal);
    Recorder recorder(link, reading, run, samples, qint64(duration * 1000));
    const int status = recorder.Run();
    const bool nothingStored = run.SampleCount == 0;
    run.Close();
    if (status != 0 && nothingStored) {
        creation.RemoveMadeFile();
    }
    return status;
}

} // namespace qmx
