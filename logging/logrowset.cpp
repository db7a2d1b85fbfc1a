#include "logging/logrowset.h"

#include "logging/dberror.h"

#include <QRegularExpression>

namespace qmx {

namespace {

// The table of "SELECT * FROM <table>", the only queries readers use.
QString tableOf(const QString& query) {
    static const QRegularExpression select(R"(^\s*SELECT\s+\*\s+FROM\s+(\w+)\s*$)",
                                           QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = select.match(query);
    if (!m.hasMatch()) {
        throw DbError(DbError::kEngineFailure, "unsupported query: " + query);
    }
    return m.captured(1);
}

QString quoted(const QString& name) {
    return "\"" + QString(name).replace("\"", "\"\"") + "\"";
}

} // namespace

LogRowSet::LogRowSet(std::shared_ptr<SqliteDb> db, const QString& query)
    : db_(std::move(db)), table_(tableOf(query)) {
    Statement columns = db_->Prepare("SELECT name FROM pragma_table_info(?)");
    columns.Bind(1, table_);
    while (columns.Step()) {
        columns_ << columns.Column(0).toString();
    }
    if (columns_.isEmpty()) {
        throw DbError(DbError::kEngineFailure, "no table named " + table_);
    }
    Statement ids = db_->Prepare("SELECT rowid FROM " + quoted(table_) + " ORDER BY rowid");
    while (ids.Step()) {
        rowids_.push_back(ids.Int(0));
    }
    MoveFirst();
}

void LogRowSet::Move(qint64 n) {
    pos_ = std::clamp<qint64>(pos_ + n, 0, RecordCount() + 1);
}

qint64 LogRowSet::AbsolutePosition() const {
    return HasCurrentRow() ? pos_ : -1;
}

void LogRowSet::SetAbsolutePosition(qint64 position) {
    if (position < 1 || position > RecordCount()) {
        throw DbError(DbError::kNoCurrentRow, "no row at that position");
    }
    pos_ = position;
}

QString LogRowSet::columnName(const QString& name) const {
    for (const QString& c : columns_) {
        if (c.compare(name, Qt::CaseInsensitive) == 0) {
            return c;
        }
    }
    throw DbError(DbError::kEngineFailure, "no field named " + name + " in " + table_);
}

QVariant LogRowSet::Field(const QString& name) {
    if (!HasCurrentRow()) {
        throw DbError(DbError::kNoCurrentRow, "no current record");
    }
    Statement read = db_->Prepare("SELECT " + quoted(columnName(name)) + " FROM " + quoted(table_) +
                                  " WHERE rowid = ?");
    read.Bind(1, rowids_[size_t(pos_ - 1)]);
    if (!read.Step()) {
        throw DbError(DbError::kNoCurrentRow, "the row is gone");
    }
    return read.Column(0);
}

void LogRowSet::SetField(const QString& name, const QVariant& value) {
    if (!HasCurrentRow()) {
        throw DbError(DbError::kNoCurrentRow, "no current record");
    }
    Statement write = db_->Prepare("UPDATE " + quoted(table_) + " SET " + quoted(columnName(name)) +
                                   " = ? WHERE rowid = ?");
    write.Bind(1, value).Bind(2, rowids_[size_t(pos_ - 1)]);
    write.Step();
}

void LogRowSet::Scan(qint64 first, qint64 last, const QStringList& columns,
                     const std::function<void(qint64, const std::vector<QVariant>&)>& row) {
    first = std::max<qint64>(first, 1);
    last = std::min(last, RecordCount());
    if (first > last) {
        return;
    }
    QStringList names;
    for (const QString& c : columns) {
        names << quoted(columnName(c));
    }
    Statement scan = db_->Prepare("SELECT " + names.join(", ") + " FROM " + quoted(table_) +
                                  " WHERE rowid >= ? AND rowid <= ? ORDER BY rowid");
    scan.Bind(1, rowids_[size_t(first - 1)]).Bind(2, rowids_[size_t(last - 1)]);
    std::vector<QVariant> values(size_t(columns.size()));
    qint64 position = first;
    while (scan.Step()) {
        for (int i = 0; i < int(values.size()); ++i) {
            values[size_t(i)] = scan.Column(i);
        }
        row(position++, values);
    }
}

} // namespace qmx
