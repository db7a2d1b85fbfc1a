#include "sim/ptymeter.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace qmx {

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kPollMs = 50;

// A link to a terminal, or to where one was (a pseudo-terminal that has closed).
bool isTerminalLink(const QFileInfo& path) {
    if (!path.isSymLink()) {
        return false;
    }
    const QString target = path.symLinkTarget();
    if (target.startsWith("/dev/pts/")) {
        return true;
    }
    const int fd = ::open(target.toLocal8Bit().constData(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
    const bool terminal = fd >= 0 && ::isatty(fd) != 0;
    if (fd >= 0) {
        ::close(fd);
    }
    return terminal;
}

} // namespace

PtyMeter::PtyMeter(MeterProfile profile, Options options)
    : profile_(std::move(profile)), options_(std::move(options)) {}

PtyMeter::~PtyMeter() {
    // Only the link this meter made: another simulator may have taken the path since.
    if (!slavePath_.isEmpty() && QFileInfo(options_.LinkPath).symLinkTarget() == slavePath_) {
        QFile::remove(options_.LinkPath);
    }
    if (slave_ >= 0) {
        ::close(slave_);
    }
    if (master_ >= 0) {
        ::close(master_);
    }
}

bool PtyMeter::Open(QString* error) {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
        *error = QString("cannot create a pseudo-terminal: %1").arg(std::strerror(errno));
        return false;
    }
    const QString slavePath = QString::fromLocal8Bit(::ptsname(master_));
    // Holding the slave open keeps the master readable before the program opens it,
    // and raw mode keeps a carriage return a carriage return.
    slave_ = ::open(slavePath.toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    if (slave_ >= 0) {
        termios raw{};
        ::tcgetattr(slave_, &raw);
        ::cfmakeraw(&raw);
        ::tcsetattr(slave_, TCSANOW, &raw);
    }
    if (!placeLink(slavePath, error)) {
        return false;
    }
    if (!options_.TranscriptPath.isEmpty()) {
        transcript_.setFileName(options_.TranscriptPath);
        if (!transcript_.open(QIODevice::Append)) {
            *error = QString("cannot open the transcript %1").arg(options_.TranscriptPath);
            return false;
        }
    }
    return true;
}

bool PtyMeter::placeLink(const QString& slavePath, QString* error) {
    const QString& path = options_.LinkPath;
    const QFileInfo existing(path);
    if ((existing.exists() || existing.isSymLink()) && !isTerminalLink(existing)) {
        *error = QString("%1 exists and is not a link to a terminal; it is left alone").arg(path);
        return false;
    }
    QDir().mkpath(existing.absolutePath());
    // Made beside it and renamed over it, so the path never stands for a removed file.
    const QString fresh = path + ".new" + QString::number(::getpid());
    if (!QFile::link(slavePath, fresh)) {
        *error = QString("cannot create the link %1").arg(path);
        return false;
    }
    if (::rename(fresh.toLocal8Bit().constData(), path.toLocal8Bit().constData()) != 0) {
        QFile::remove(fresh);
        *error = QString("cannot create the link %1").arg(path);
        return false;
    }
    slavePath_ = slavePath;
    return true;
}

void PtyMeter::Serve(const volatile std::sig_atomic_t& stop) {
    const auto start = Clock::now();
    while (!stop) {
        pollfd p{master_, POLLIN, 0};
        if (::poll(&p, 1, kPollMs) <= 0 || !(p.revents & POLLIN)) {
            continue;
        }
        char buf[256];
        const ssize_t n = ::read(master_, buf, sizeof buf);
        if (n <= 0) {
            continue;
        }
        for (ssize_t i = 0; i < n && !stop; ++i) {
            if (buf[i] != '\r') {
                continue;
            }
            const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
            if (options_.SilentAfterSeconds >= 0.0 && seconds >= options_.SilentAfterSeconds) {
                continue;
            }
            answerPoll(seconds);
            sendPaced(pendingOutput_, stop);
            pendingOutput_.clear();
        }
    }
}

void PtyMeter::answerPoll(double seconds) {
    const QByteArray line = profile_.NextLine(seconds);
    pendingOutput_ = line + '\r';
    if (transcript_.isOpen()) {
        transcript_.write(line + '\n');
        transcript_.flush();
    }
}

void PtyMeter::sendPaced(const QByteArray& bytes, const volatile std::sig_atomic_t& stop) {
    const char topBit = options_.Frame == Framing::SevenNoneTwo ? char(0x80) : char(0);
    for (const char c : bytes) {
        if (stop) {
            return;
        }
        const char received = char(c | topBit);
        if (::write(master_, &received, 1) < 0 && errno != EAGAIN) {
            return;
        }
        std::this_thread::sleep_for(options_.CharacterTime);
    }
}

} // namespace qmx
