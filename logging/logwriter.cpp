#include "logging/logwriter.h"

#include "logging/dberror.h"
#include "logging/logformat.h"

#include <QStringList>

LogWriter::LogWriter(const QString& path) : db_(path, SqliteDb::Mode::ReadWrite) {
    // A rollback journal with full syncs: a saved row is in the file itself. Rows are only
    // appended, which needs a few pages at the end of the file: a small page cache keeps a
    // run of days from filling the engine's usual 2 MB with pages never read again.
    db_.Exec("PRAGMA journal_mode = DELETE; PRAGMA synchronous = FULL; PRAGMA cache_size = -128;");
    const Statement check = db_.Prepare("SELECT 1 FROM LogData, Info LIMIT 0");
    Q_UNUSED(check);
}

void LogWriter::AddNew() {
    if (!fields_.isEmpty()) {
        Update();
    }
    table_.clear();
    fields_.clear();
}

void LogWriter::SetField(const QString& name, const QVariant& value) {
    const LogFormat::Table* owner = nullptr;
    for (const LogFormat::Table* t : {&LogFormat::LogData(), &LogFormat::Info()}) {
        if (t->Find(name) != nullptr) {
            owner = t;
        }
    }
    if (owner == nullptr) {
        throw DbError(DbError::kEngineFailure, "no field named " + name);
    }
    if (!table_.isEmpty() && table_ != owner->Name) {
        throw DbError(DbError::kEngineFailure, "a row cannot take fields of two tables");
    }
    table_ = owner->Name;
    const LogFormat::Column* column = owner->Find(name);
    fields_[column->Name] = column->Type == LogFormat::kSingleType && !value.isNull()
                                ? QVariant(double(value.toFloat()))
                                : value;
}

void LogWriter::Update() {
    if (fields_.isEmpty()) {
        return;
    }
    QStringList names = fields_.keys();
    QStringList marks;
    for (qsizetype i = 0; i < names.size(); ++i) {
        marks << "?";
    }
    Statement insert = db_.Prepare("INSERT INTO " + table_ + " (" + names.join(", ") +
                                   ") VALUES (" + marks.join(", ") + ")");
    int index = 1;
    for (const QString& name : names) {
        insert.Bind(index++, fields_.value(name));
    }
    fields_.clear();
    table_.clear();
    insert.Step();
}
