#include "logging/logsummary.h"

#include "logging/loglayout.h"
#include "logging/logreader.h"

#include <QSet>

namespace qmx {

namespace {

// Keeps the types in order of first appearance, holding nothing but the types seen.
class TypeList {
public:
    void Add(const QByteArray& type, QStringList& types) {
        if (!seen_.contains(type)) {
            seen_.insert(type);
            types << QString::fromUtf8(type);
        }
    }

private:
    QSet<QByteArray> seen_;
};

// An Access-format log, summarised as its rows pass through the reader.
class AccessSummary final : public LogVisitor {
public:
    explicit AccessSummary(LogSummary& summary) : summary_(summary) {}
    void Info(const LogHeader& header) override {
        if (!headerSeen_) {
            headerSeen_ = true;
            summary_.Date = header.Date.value_or(QString());
            summary_.Description = header.Description.value_or(QString());
        }
    }
    void Sample(const LogRecord& sample) override {
        const QString stamp = sample.TimeStamp.value_or(QString());
        if (summary_.Samples++ == 0) {
            summary_.FirstTimeStamp = stamp;
        }
        summary_.LastTimeStamp = stamp;
        types_.Add(sample.Type.value_or(QString()).toUtf8(), summary_.Types);
    }

private:
    LogSummary& summary_;
    bool headerSeen_ = false;
    TypeList types_;
};

QString textOf(const Statement& s, int column) {
    return s.IsNull(column) ? QString() : s.Column(column).toString();
}

QString timeStampAt(SqliteDb& db, const char* order) {
    Statement s = db.Prepare(QString("SELECT TimeStamp FROM LogData ORDER BY rowid %1 LIMIT 1")
                                 .arg(QString::fromLatin1(order)));
    return s.Step() ? textOf(s, 0) : QString();
}

} // namespace

LogSummary LogSummary::Read(const QString& path) {
    LogSummary summary;
    if (LogReader::IsAccessFormat(path)) {
        AccessSummary visitor(summary);
        LogReader::Read(path, visitor);
        return summary;
    }
    const auto log = LogLayout::OpenForReading(path);
    SqliteDb& db = *log;
    Statement info = db.Prepare("SELECT Date, Description FROM Info ORDER BY rowid LIMIT 1");
    if (info.Step()) {
        summary.Date = textOf(info, 0);
        summary.Description = textOf(info, 1);
    }
    // One pass in stored order, holding nothing but the types seen so far.
    Statement scan = db.Prepare("SELECT Type FROM LogData ORDER BY rowid");
    TypeList types;
    while (scan.Step()) {
        ++summary.Samples;
        types.Add(scan.Bytes(0), summary.Types);
    }
    summary.FirstTimeStamp = timeStampAt(db, "ASC");
    summary.LastTimeStamp = timeStampAt(db, "DESC");
    return summary;
}

} // namespace qmx
