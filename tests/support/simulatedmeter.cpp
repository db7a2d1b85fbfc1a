#include "tests/support/simulatedmeter.h"

#include <QFile>

namespace qmx {

namespace {
constexpr int kWaitMs = 15000;
}

SimulatedMeter::SimulatedMeter(const QStringList& args, const QString& link)
    : link_(link.isEmpty() ? dir_.filePath("meter") : link) {
    process_.start(QString(QMX_BIN_DIR) + "/qmx7300-sim",
                   QStringList{"--link", link_, "--transcript", link_ + ".sent"} + args);
    if (process_.waitForReadyRead(kWaitMs)) {
        firstLine_ = QString::fromUtf8(process_.readLine()).trimmed();
    }
}

SimulatedMeter::~SimulatedMeter() {
    process_.terminate();
    process_.waitForFinished(kWaitMs);
}

QStringList SimulatedMeter::Sent() const {
    QFile f(link_ + ".sent");
    f.open(QIODevice::ReadOnly);
    return QString::fromLatin1(f.readAll()).split('\n', Qt::SkipEmptyParts);
}

void SimulatedMeter::Unplug() {
    process_.kill();
    process_.waitForFinished(kWaitMs);
}

} // namespace qmx
