#include "logging/logimport.h"

#include "logging/dberror.h"
#include "logging/logcreation.h"
#include "logging/logreader.h"
#include "logging/sqlitedb.h"

#include <QFile>

#include <cmath>

namespace qmx {

namespace {

// A number the log file can hold as it is: SQLite keeps no NaN (it would become null).
const std::optional<double>& valueOf(const std::optional<double>& number, qint64 row,
                                     const char* column) {
    if (number && std::isnan(*number)) {
        throw DbError(DbError::kEngineFailure,
                      QString("LogData row %1: %2 is not a number").arg(row).arg(column));
    }
    return number;
}

class Inserter : public LogVisitor {
public:
    explicit Inserter(SqliteDb& db)
        : info_(db.Prepare("INSERT INTO Info (Date, Description) VALUES (?, ?)")),
          sample_(db.Prepare(
              "INSERT INTO LogData (TimeStamp, Type, Units, Value, dBu) VALUES (?,?,?,?,?)")) {}

    void Info(const LogHeader& header) override {
        info_.Reset();
        info_.Bind(1, header.Date).Bind(2, header.Description).Step();
    }

    void Sample(const LogRecord& s) override {
        ++Samples;
        sample_.Reset();
        sample_.Bind(1, s.TimeStamp).Bind(2, s.Type).Bind(3, s.Units);
        sample_.Bind(4, valueOf(s.Value, Samples, "Value")).Bind(5, valueOf(s.Dbu, Samples, "dBu"));
        try {
            sample_.Step();
        } catch (const DbError& e) {
            throw DbError(e.Code, QString("LogData row %1: %2").arg(Samples).arg(e.Detail));
        }
    }

    qint64 Samples = 0;

private:
    Statement info_;
    Statement sample_;
};

} // namespace

qint64 ImportLog(const QString& source, const QString& target) {
    try {
        LogCreation(target).Run();
    } catch (const DbError& e) {
        if (e.Code != DbError::kFileExists) {
            QFile::remove(target);
        }
        throw;
    }
    try {
        SqliteDb db(target, SqliteDb::Mode::ReadWrite);
        db.Exec("BEGIN");
        Inserter inserter(db);
        LogReader::Read(source, inserter);
        db.Exec("COMMIT");
        return inserter.Samples;
    } catch (...) {
        QFile::remove(target);
        throw;
    }
}

} // namespace qmx
