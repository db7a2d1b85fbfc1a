#include "logging/accesslogreader.h"

#include "logging/accessstream.h"
#include "logging/dberror.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QtEndian>

#include <sys/resource.h>

namespace qmx {

namespace {

const QString kHelperName = QStringLiteral("qmx7300-mdbread");
constexpr std::chrono::milliseconds kBaseTime{10000};
constexpr std::chrono::milliseconds kStall{10000};
constexpr qint64 kBytesPerExtraSecond = 4 << 20;
constexpr qint64 kMemoryBytes = qint64(512) << 20;

[[noreturn]] void notReadable(const QString& reason) {
    throw DbError(DbError::kUnreadableLog, "not a readable log (" + reason + ")");
}

// Takes the helper's stream apart as it arrives, passing each row on.
class StreamParser {
public:
    explicit StreamParser(LogVisitor& visitor) : visitor_(visitor) {}

    void Feed(const QByteArray& bytes) {
        buffer_.append(bytes);
        qsizetype at = 0;
        while (!done_ && parseRecord(at)) {
        }
        buffer_.remove(0, at);
        if (done_ && !buffer_.isEmpty()) {
            notReadable("the reader wrote more than the log");
        }
    }

    void Finish() const {
        if (!done_) {
            notReadable("the reader stopped before the end of the log");
        }
    }

private:
    // Parses one record at `at` and moves past it; false when it is not all there yet.
    bool parseRecord(qsizetype& at) {
        pos_ = at;
        if (!magicSeen_) {
            if (!have(AccessStream::kMagicLength)) {
                return false;
            }
            if (buffer_.mid(0, AccessStream::kMagicLength) != AccessStream::kMagic) {
                notReadable("the reader's output is not understood");
            }
            magicSeen_ = true;
            at = AccessStream::kMagicLength;
            return true;
        }
        if (!have(1)) {
            return false;
        }
        const char tag = buffer_[pos_++];
        switch (tag) {
        case AccessStream::kTable:
            if (!have(5)) {
                return false;
            }
            startTable();
            break;
        case AccessStream::kInfoRow: {
            if (table_ != 0) {
                notReadable("the reader's output is out of order");
            }
            LogHeader h;
            if (!text(h.Date) || !text(h.Description)) {
                return false;
            }
            countRow();
            visitor_.Info(h);
            break;
        }
        case AccessStream::kLogDataRow: {
            if (table_ != 1) {
                notReadable("the reader's output is out of order");
            }
            LogRecord r;
            if (!text(r.TimeStamp) || !text(r.Type) || !text(r.Units) || !number(r.Value) ||
                !number(r.Dbu)) {
                return false;
            }
            countRow();
            visitor_.Sample(r);
            break;
        }
        case AccessStream::kError: {
            if (!have(2)) {
                return false;
            }
            const auto length = qFromLittleEndian<quint16>(buffer_.constData() + pos_);
            if (!have(2 + length)) {
                return false;
            }
            notReadable(QString::fromUtf8(buffer_.mid(pos_ + 2, length)));
        }
        case AccessStream::kEnd:
            if (table_ != 1 || rows_ != expected_) {
                notReadable("the reader's output ends early");
            }
            done_ = true;
            break;
        default:
            notReadable("the reader's output is not understood");
        }
        at = pos_;
        return true;
    }

    [[nodiscard]] bool have(qsizetype n) const { return buffer_.size() - pos_ >= n; }

    void startTable() {
        const auto code = int(buffer_[pos_]);
        if (code != table_ + 1 || (table_ >= 0 && rows_ != expected_)) {
            notReadable("the reader's output is out of order");
        }
        table_ = code;
        expected_ = qFromLittleEndian<quint32>(buffer_.constData() + pos_ + 1);
        rows_ = 0;
        pos_ += 5;
        if (table_ == 1) {
            visitor_.SampleCount(expected_);
        }
    }

    void countRow() {
        if (++rows_ > expected_) {
            notReadable("the log holds more rows than its table says");
        }
    }

    bool text(NullableText& out) {
        if (!have(2)) {
            return false;
        }
        const auto units = qFromLittleEndian<quint16>(buffer_.constData() + pos_);
        if (units == AccessStream::kNullText) {
            pos_ += 2;
            out.reset();
            return true;
        }
        if (!have(2 + 2 * qsizetype(units))) {
            return false;
        }
        QString s(units, Qt::Uninitialized);
        for (int i = 0; i < units; ++i) {
            s[i] = QChar(qFromLittleEndian<quint16>(buffer_.constData() + pos_ + 2 + 2 * i));
        }
        out = std::move(s);
        pos_ += 2 + 2 * qsizetype(units);
        return true;
    }

    bool number(std::optional<double>& out) {
        if (!have(1)) {
            return false;
        }
        const auto kind = quint8(buffer_[pos_]);
        if (kind != AccessStream::kNullNumber && kind != AccessStream::kSingle &&
            kind != AccessStream::kDouble) {
            notReadable("the reader's output is not understood");
        }
        if (!have(1 + kind)) {
            return false;
        }
        const char* bytes = buffer_.constData() + pos_ + 1;
        if (kind == AccessStream::kSingle) {
            out = double(qFromLittleEndian<float>(bytes));
        } else if (kind == AccessStream::kDouble) {
            out = qFromLittleEndian<double>(bytes);
        } else {
            out.reset();
        }
        pos_ += 1 + kind;
        return true;
    }

    LogVisitor& visitor_;
    QByteArray buffer_;
    qsizetype pos_ = 0;
    bool magicSeen_ = false;
    bool done_ = false;
    int table_ = -1;
    qint64 expected_ = 0;
    qint64 rows_ = 0;
};

} // namespace

AccessLogReader::Limits AccessLogReader::LimitsFor(qint64 fileBytes) {
    return {kBaseTime + std::chrono::seconds(fileBytes / kBytesPerExtraSecond), kStall,
            kMemoryBytes};
}

QString AccessLogReader::FindHelper() {
    const QString here = QCoreApplication::applicationDirPath();
    const QStringList places{here, here + "/../libexec/qmx7300", here + "/../libexec",
                             QStringLiteral(QMX_INSTALL_LIBEXECDIR "/qmx7300"),
                             QStringLiteral(QMX_INSTALL_BINDIR)};
    for (const QString& place : places) {
        const QFileInfo helper(place + "/" + kHelperName);
        if (helper.isFile() && helper.isExecutable()) {
            return helper.canonicalFilePath();
        }
    }
    return {};
}

AccessLogReader::AccessLogReader(QString helper, std::optional<Limits> limits)
    : helper_(std::move(helper)), limits_(limits) {}

void AccessLogReader::Read(const QString& path, LogVisitor& visitor) const {
    if (helper_.isEmpty()) {
        notReadable("the Access-format reader " + kHelperName + " is not installed");
    }
    const Limits limits = limits_.value_or(LimitsFor(QFileInfo(path).size()));
    QProcess helper;
    helper.setProgram(helper_);
    helper.setArguments({path});
    helper.setStandardInputFile(QProcess::nullDevice());
    helper.setStandardErrorFile(QProcess::nullDevice());
    const auto cpuSeconds =
        rlim_t(std::chrono::ceil<std::chrono::seconds>(limits.Time).count() + 1);
    const auto memory = rlim_t(limits.MemoryBytes);
    helper.setChildProcessModifier([cpuSeconds, memory] {
        const rlimit cpu{cpuSeconds, cpuSeconds}, space{memory, memory}, none{0, 0};
        ::setrlimit(RLIMIT_CPU, &cpu);
        ::setrlimit(RLIMIT_AS, &space);
        ::setrlimit(RLIMIT_CORE, &none);
        ::setrlimit(RLIMIT_FSIZE, &none);
    });
    helper.start();
    if (!helper.waitForStarted()) {
        notReadable("the Access-format reader could not be started: " + helper.errorString());
    }
    StreamParser parser(visitor);
    QElapsedTimer clock;
    clock.start();
    QElapsedTimer quiet;
    quiet.start();
    try {
        while (helper.state() != QProcess::NotRunning || helper.bytesAvailable() > 0) {
            const qint64 left = limits.Time.count() - clock.elapsed();
            if (left <= 0 || quiet.elapsed() >= limits.Stall.count()) {
                notReadable(
                    QString("reading it took longer than %1 s").arg(clock.elapsed() / 1000));
            }
            if (helper.bytesAvailable() == 0 &&
                !helper.waitForReadyRead(int(std::min<qint64>(left, limits.Stall.count())))) {
                continue;
            }
            quiet.restart();
            parser.Feed(helper.readAllStandardOutput());
        }
        parser.Feed(helper.readAllStandardOutput());
        if (helper.exitStatus() != QProcess::NormalExit) {
            notReadable("the Access-format reader failed on it");
        }
        parser.Finish();
        if (helper.exitCode() != 0) {
            notReadable("the Access-format reader failed on it");
        }
    } catch (...) {
        helper.kill();
        helper.waitForFinished();
        throw;
    }
}

} // namespace qmx
