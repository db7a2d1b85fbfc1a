#pragma once

#include "meter/portmap.h"

#include <QByteArray>
#include <QString>

#include <cstdlib>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace qmx {

// A pseudo-terminal pair standing in for a meter's serial cable: the program under test
// opens SlavePath() as its port, the test talks through the master side.
class PtyPair {
public:
    PtyPair() : master_(::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK)) {
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
    ~PtyPair() { ::close(master_); }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    [[nodiscard]] QString SlavePath() const { return slavePath_; }
    void Write(const QByteArray& bytes) {
        for (qsizetype done = 0; done < bytes.size();) {
            const ssize_t n =
                ::write(master_, bytes.constData() + done, size_t(bytes.size() - done));
            if (n <= 0) {
                return;
            }
            done += n;
        }
    }
    // What the program has written so far (non-blocking).
    QByteArray ReadAvailable() {
        QByteArray out;
        char buf[256];
        for (ssize_t n; (n = ::read(master_, buf, sizeof buf)) > 0;) {
            out.append(buf, n);
        }
        return out;
    }

private:
    int master_;
    QString slavePath_;
};

// Port 1 on the device, as a test configures the meter's link.
inline PortMap PortOne(const QString& device) {
    PortMap map;
    map.SetDevice(1, device);
    return map;
}

} // namespace qmx
