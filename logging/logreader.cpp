#include "logging/logreader.h"

#include "logging/accesslogreader.h"
#include "logging/loglayout.h"

#include <QFile>
#include <QFileInfo>

namespace qmx {

namespace {

const QByteArray kJetSignature = QByteArray::fromHex("00010000") + "Standard Jet DB";

NullableText textOf(const Statement& s, int column) {
    return s.IsNull(column) ? NullableText() : QString::fromUtf8(s.Bytes(column));
}

std::optional<double> numberOf(const Statement& s, int column) {
    return s.IsNumber(column) ? std::optional(s.Double(column)) : std::nullopt;
}

} // namespace

namespace LogReader {

bool IsAccessFormat(const QString& path) {
    // Opening a pipe would wait for a writer: only a regular file is looked into.
    QFile file(path);
    return QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly) &&
           file.read(kJetSignature.size()) == kJetSignature;
}

qint64 SqliteSampleCount(const QString& path) {
    const auto log = LogLayout::OpenForReading(path);
    Statement count = log->Prepare("SELECT count(*) FROM LogData");
    count.Step();
    return count.Int(0);
}

void Read(const QString& path, LogVisitor& visitor) {
    if (IsAccessFormat(path)) {
        AccessLogReader().Read(path, visitor);
        return;
    }
    const auto log = LogLayout::OpenForReading(path);
    SqliteDb& db = *log;
    Statement count = db.Prepare("SELECT count(*) FROM LogData");
    count.Step();
    visitor.SampleCount(count.Int(0));
    Statement info = db.Prepare("SELECT Date, Description FROM Info ORDER BY rowid");
    while (info.Step()) {
        visitor.Info({textOf(info, 0), textOf(info, 1)});
    }
    Statement rows =
        db.Prepare("SELECT TimeStamp, Type, Units, Value, dBu FROM LogData ORDER BY rowid");
    while (rows.Step()) {
        visitor.Sample({textOf(rows, 0), textOf(rows, 1), textOf(rows, 2), numberOf(rows, 3),
                        numberOf(rows, 4)});
    }
}

} // namespace LogReader

} // namespace qmx
