#include "logging/logsummary.h"

#include "logging/sqlitedb.h"

#include <QSet>

namespace {

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
    SqliteDb db(path, SqliteDb::Mode::ReadOnly);
    LogSummary summary;
    Statement info = db.Prepare("SELECT Date, Description FROM Info ORDER BY rowid LIMIT 1");
    if (info.Step()) {
        summary.Date = textOf(info, 0);
        summary.Description = textOf(info, 1);
    }
    // One pass in stored order, holding nothing but the types seen so far.
    Statement scan = db.Prepare("SELECT Type FROM LogData ORDER BY rowid");
    QSet<QByteArray> seen;
    while (scan.Step()) {
        ++summary.Samples;
        const QByteArray type = scan.Bytes(0);
        if (!seen.contains(type)) {
            seen.insert(type);
            summary.Types << QString::fromUtf8(type);
        }
    }
    summary.FirstTimeStamp = timeStampAt(db, "ASC");
    summary.LastTimeStamp = timeStampAt(db, "DESC");
    return summary;
}
