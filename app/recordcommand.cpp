#include "app/commands.h"
#include "display/readingmodel.h"
#include "display/settingsstore.h"
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
#include <memory>

namespace {

constexpr int kPollMs = 250;
constexpr int kFirstLineWaitMs = 2000;
volatile std::sig_atomic_t stopRequested = 0;

void onStopSignal(int) {
    stopRequested = 1;
}

QString optionValue(const QStringList& args, const QString& name) {
    const qsizetype i = args.indexOf(name);
    return i >= 0 && i + 1 < args.size() ? args[i + 1] : QString();
}

void printError(const QString& text) {
    std::fprintf(stderr, "%s\n", qPrintable(QString(text).replace("\r\n", "\n").trimmed()));
}

int usage() {
    std::fprintf(stderr, "usage: qmxtool record (--device PATH | --port N) [--interval SECONDS]\n"
                         "       [--comment TEXT] [--samples N | --duration SECONDS] LOG\n");
    return 2;
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

int RunRecord(const QStringList& args) {
    if (args.isEmpty() || args.last().startsWith("--")) {
        return usage();
    }
    const QString logPath = args.last();
    PortMap ports;
    qint16 portNumber = 1;
    if (!optionValue(args, "--device").isEmpty()) {
        ports.SetDevice(1, optionValue(args, "--device"));
    } else if (!optionValue(args, "--port").isEmpty()) {
        ports.Load(SettingsStore());
        ports.AssignFree(PortMap::SystemCandidates());
        portNumber = qint16(optionValue(args, "--port").toInt());
    } else {
        return usage();
    }
    const QString interval = optionValue(args, "--interval");
    const qint32 intervalMs =
        RunControl::IntervalMs(RunControl::CorrectedInterval(interval.isEmpty() ? "1" : interval));

    try {
        LogCreation(logPath).Run();
    } catch (const DbError& e) {
        printError(LogMessages::CreationErrorText(e.Code, logPath));
        return 1;
    }
    MeterLink link(ports);
    link.CommPort = portNumber;
    if (const auto failure = link.OpenConfiguredPort()) {
        printError(StartupFailureText(*failure));
        return 1;
    }
    std::unique_ptr<LogWriter> writer;
    try {
        writer = std::make_unique<LogWriter>(logPath);
        StoreInfo(*writer, QDate::currentDate(), optionValue(args, "--comment"));
    } catch (const DbError& e) {
        printError(LogMessages::RecordingFailedText(logPath, e.Detail, 0));
        return 1;
    }
    std::signal(SIGINT, onStopSignal);
    std::signal(SIGXFSZ, SIG_IGN); // a file size limit is a failed write, not the end
    std::signal(SIGTERM, onStopSignal);
    const qint64 samples = optionValue(args, "--samples").toLongLong();
    const qint64 durationMs = qint64(optionValue(args, "--duration").toDouble() * 1000);
    Recorder recorder(link, *writer, samples, durationMs);
    return recorder.Run(intervalMs);
}
