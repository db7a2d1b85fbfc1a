#include "app/commandline.h"
#include "app/commands.h"
#include "app/portoptions.h"
#include "display/readingmodel.h"
#include "logging/dailylog.h"
#include "logging/dberror.h"
#include "logging/logcreation.h"
#include "logging/loggingrun.h"
#include "logging/runcontrol.h"
#include "logging/samplerow.h"
#include "meter/meterlink.h"
#include "platform/clock.h"
#include "platform/linebreak.h"

#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <limits>
#include <memory>

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
// run's rows, printed as each is stored. With one log a day, the counts are the run's
// over all its logs.
class Recorder {
public:
    Recorder(MeterLink& link, ReadingModel& reading, LoggingRun& run, const DailyLog* days,
             qint64 maxSamples, qint64 maxMs)
        : link_(link), reading_(reading), run_(run), days_(days), maxSamples_(maxSamples),
          maxMs_(maxMs) {
        QObject::connect(&run_, &LoggingRun::RowSaved, [this](const SampleRow& row, qint32 count) {
            printRow(row, earlier() + count);
        });
        QObject::connect(&run_, &LoggingRun::Failed,
                         [this](const QString& message) { Fail(message); });
        QObject::connect(&run_.tmrLogClock, &QTimer::timeout, [this] { stopWhenEnough(); });
    }

    // Ends the run with the message; the exit status says it failed.
    void Fail(const QString& message) {
        printError(message);
        failed_ = true;
        QCoreApplication::quit();
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
        std::printf("%lld samples\n", static_cast<long long>(earlier() + run_.SampleCount));
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
        if (maxSamples_ > 0 && earlier() + run_.RowsTaken() >= maxSamples_) {
            QCoreApplication::quit();
        }
    }

    [[nodiscard]] qint64 earlier() const { return days_ ? days_->EarlierSamples() : 0; }

    static void printRow(const SampleRow& row, qint64 count) {
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
    const DailyLog* days_;
    QElapsedTimer elapsed_;
    qint64 maxSamples_;
    qint64 maxMs_;
    bool started_ = false;
    bool failed_ = false;
};

// The log of a run into one named file: made before the port is opened, so that a wrong
// name is said first, and taken back when the run fails before it stored a sample.
int recordInto(const QString& logPath, const CommandLine& line, const ChosenMeter& meter,
               qint32 intervalMs, const QString& comment, qint64 samples, double duration) {
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
    run.LogIntervalMs = intervalMs;
    QObject::connect(&run, &LoggingRun::Failed,
                     [](const QString& message) { printError(message); });
    if (!run.Open(QDate::currentDate(), comment)) {
        run.Close();
        creation.RemoveMadeFile();
        return 1;
    }
    QObject::disconnect(&run, &LoggingRun::Failed, nullptr, nullptr);
    Recorder recorder(link, reading, run, nullptr, samples, qint64(duration * 1000));
    const int status = recorder.Run();
    const bool nothingStored = run.SampleCount == 0;
    run.Close();
    if (status != 0 && nothingStored) {
        creation.RemoveMadeFile();
    }
    return status;
}

// A run into one log a day in the folder: a log that cannot be made, then or at a later
// midnight, ends it with status 1 (a service manager then starts it again).
int recordDaily(const QString& folder, const CommandLine& line, const ChosenMeter& meter,
                qint32 intervalMs, const QString& comment, qint64 samples, double duration) {
    MeterLink link(meter.Ports);
    link.CommPort = meter.Port;
    if (const auto failure = link.OpenConfiguredPort()) {
        line.Report(PortFailureLine(*failure));
        return 1;
    }
    const SystemClock clock;
    ReadingModel reading;
    LoggingRun run(reading, [&clock] { return clock.Now(); });
    run.LogIntervalMs = intervalMs;
    DailyLog days(run, clock, folder, comment);
    const auto say = [](const QString& message) { printError(message); };
    QObject::connect(&run, &LoggingRun::Failed, say);
    QObject::connect(&days, &DailyLog::Failed, say);
    if (!days.Open()) {
        return 1;
    }
    QObject::disconnect(&run, &LoggingRun::Failed, nullptr, nullptr);
    QObject::disconnect(&days, &DailyLog::Failed, nullptr, nullptr);
    Recorder recorder(link, reading, run, &days, samples, qint64(duration * 1000));
    QObject::connect(&days, &DailyLog::Failed,
                     [&recorder](const QString& message) { recorder.Fail(message); });
    const int status = recorder.Run();
    run.Close();
    return status;
}

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
    line.AddOption({"daily",
                    "Instead of LOG, a new log each day in the folder DIR (made if missing), "
                    "named by its date: DIR/2026-12-06.qmx, or DIR/2026-12-06-2.qmx when that "
                    "name is taken.",
                    "DIR"});
    if (!line.Parse(args)) {
        return 0;
    }
    const bool daily = line.IsSet("daily");
    const QStringList given = line.Arguments(daily ? QStringList{} : QStringList{"LOG"});
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
    const qint32 intervalMs = RunControl::IntervalMs(QString::number(interval, 'g', 17));

    std::signal(SIGINT, onStopSignal);
    std::signal(SIGXFSZ, SIG_IGN); // a file size limit is a failed write, not the end
    std::signal(SIGTERM, onStopSignal);
    return daily ? recordDaily(line.Value("daily"), line, meter, intervalMs, comment, samples,
                               duration)
                 : recordInto(given.first(), line, meter, intervalMs, comment, samples, duration);
}

} // namespace qmx
