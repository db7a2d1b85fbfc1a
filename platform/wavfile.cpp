#include "platform/wavfile.h"

#include <QFile>
#include <QtEndian>

namespace qmx {

namespace {

constexpr quint16 kPcm = 1;
constexpr quint16 kFloat = 3;
constexpr quint16 kExtensible = 0xFFFE;
constexpr qint64 kFormatBytes = 16;

quint16 u16(const QByteArray& b, qsizetype at) {
    return qFromLittleEndian<quint16>(b.constData() + at);
}

quint32 u32(const QByteArray& b, qsizetype at) {
    return qFromLittleEndian<quint32>(b.constData() + at);
}

// The problem with a "fmt " chunk, or empty when the player decodes its sound.
QString formatProblem(const QByteArray& fmt) {
    if (fmt.size() < kFormatBytes) {
        return "its format is cut short";
    }
    quint16 format = u16(fmt, 0);
    if (format == kExtensible && fmt.size() >= 26) {
        format = u16(fmt, 24); // the sub-format's first two bytes
    }
    const quint16 channels = u16(fmt, 2);
    const quint32 rate = u32(fmt, 4);
    const quint16 bits = u16(fmt, 14);
    const bool pcm = format == kPcm && (bits == 8 || bits == 16 || bits == 32);
    const bool floats = format == kFloat && bits == 32;
    if (!(pcm || floats) || channels == 0 || rate == 0) {
        return QString("its sound (format %1, %2 bits, %3 channels, %4 Hz) cannot be decoded")
            .arg(format)
            .arg(bits)
            .arg(channels)
            .arg(rate);
    }
    return {};
}

} // namespace

QString WavProblem(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return "it cannot be read (" + file.errorString() + ")";
    }
    const QByteArray head = file.read(12);
    if (head.size() < 12 || !head.startsWith("RIFF") || head.mid(8, 4) != "WAVE") {
        return "it is not a WAV file";
    }
    bool formatSeen = false;
    while (true) {
        const QByteArray chunk = file.read(8);
        if (chunk.size() < 8) {
            return formatSeen ? "it holds no sound" : "it has no format";
        }
        const qint64 body = file.pos();
        const quint32 size = u32(chunk, 4);
        if (chunk.startsWith("fmt ")) {
            const QString problem = formatProblem(file.read(qMin<qint64>(size, 64)));
            if (!problem.isEmpty()) {
                return problem;
            }
            formatSeen = true;
        } else if (chunk.startsWith("data")) {
            return formatSeen ? QString() : "it has no format before its sound";
        }
        // Chunks are padded to an even size.
        if (!file.seek(body + size + (size & 1))) {
            return "it is cut short";
        }
    }
}

} // namespace qmx
