#include "tests/support/ptypair.h"

#include <cstdlib>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace qmx {

PtyPair::PtyPair() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    ::grantpt(master_);
    ::unlockpt(master_);
    slavePath_ = QString::fromLocal8Bit(::ptsname(master_));
    // Raw from the start, so nothing written before the program opens it is translated.
    const int slave = ::open(slavePath_.toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    termios raw{};
    ::tcgetattr(slave, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(slave, TCSANOW, &raw);
    ::close(slave);
}

PtyPair::~PtyPair() {
    Close();
}

void PtyPair::Write(const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(master_, bytes.constData() + done, size_t(bytes.size() - done));
        if (n <= 0) {
            return;
        }
        done += n;
    }
}

QByteArray PtyPair::ReadAvailable() {
    QByteArray out;
    char buf[256];
    ssize_t n;
    while ((n = ::read(master_, buf, sizeof buf)) > 0) {
        out.append(buf, n);
    }
    return out;
}

void PtyPair::Close() {
    if (master_ >= 0) {
        ::close(master_);
        master_ = -1;
    }
}

} // namespace qmx
