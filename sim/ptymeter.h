#pragma once

#include "sim/meterprofile.h"

#include <QFile>
#include <QString>

#include <chrono>
#include <csignal>

namespace qmx {

// A simulated QMX-7300 on a pseudo-terminal: its slave side is published under a
// symlink; each carriage return received is answered with one meter line, paced as
// the meter's 1200 baud output.
class PtyMeter {
public:
    // How the meter frames its characters. A meter set to 7 data bits and 2 stop bits
    // reaches a port read at 8,N,1 with the first stop bit as an eighth data bit of 1.
    enum class Framing { EightNoneOne, SevenNoneTwo };

    struct Options {
        QString LinkPath;
        QString TranscriptPath;
        double SilentAfterSeconds = -1.0; // negative: never falls silent
        std::chrono::microseconds CharacterTime{8333};
        Framing Frame = Framing::EightNoneOne;
    };

    PtyMeter(MeterProfile profile, Options options);
    ~PtyMeter();
    PtyMeter(const PtyMeter&) = delete;
    PtyMeter& operator=(const PtyMeter&) = delete;

    // Opens the pseudo-terminal and creates the link; false with a message on failure. An
    // existing path is replaced only when it is a link to a terminal (another simulator's).
    bool Open(QString* error);
    // Serves polls until stop becomes true.
    void Serve(const volatile std::sig_atomic_t& stop);

private:
    void answerPoll(double seconds);
    void sendPaced(const QByteArray& bytes, const volatile std::sig_atomic_t& stop);

    bool placeLink(const QString& slavePath, QString* error);

    MeterProfile profile_;
    QString slavePath_; // what the link points to while it is ours
    Options options_;
    int master_ = -1;
    int slave_ = -1;
    QFile transcript_;
    QByteArray pendingOutput_;
};

} // namespace qmx
