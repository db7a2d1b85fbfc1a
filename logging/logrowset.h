#pragma once

#include "logging/sqlitedb.h"

#include <QString>
#include <QVariant>

#include <functional>
#include <memory>
#include <vector>

namespace qmx {

// A reader's row set over one table of a log file ("SELECT * FROM Info" or
// "SELECT * FROM LogData"): rows in stored order at positions 1 to RecordCount, a current
// row moved by first, last, next and by n, and fields read by name. Reading a field with
// no current row throws DbError 3021; other failures throw DbError too.
class LogRowSet {
public:
    // db is shared by the row sets of one open file.
    LogRowSet(std::shared_ptr<SqliteDb> db, const QString& query);

    [[nodiscard]] qint64 RecordCount() const { return qint64(rowids_.size()); }
    void MoveFirst() { pos_ = rowids_.empty() ? 0 : 1; }
    void MoveLast() { pos_ = RecordCount(); }
    void MoveNext() { Move(1); }
    void Move(qint64 n);
    // 1 to RecordCount on a row; below 1 when there is no current row.
    [[nodiscard]] qint64 AbsolutePosition() const;
    void SetAbsolutePosition(qint64 position);
    [[nodiscard]] bool HasCurrentRow() const { return pos_ >= 1 && pos_ <= RecordCount(); }
    [[nodiscard]] bool Eof() const { return pos_ > RecordCount() || rowids_.empty(); }

    // The field of the current row; a null QVariant for a null field.
    [[nodiscard]] QVariant Field(const QString& name);
    [[nodiscard]] bool IsNull(const QString& name) { return Field(name).isNull(); }
    // Sets a field of the current row and stores it at once.
    void SetField(const QString& name, const QVariant& value);

    // Reads the given columns of the rows at positions first to last in one pass.
    void Scan(qint64 first, qint64 last, const QStringList& columns,
              const std::function<void(qint64 position, const std::vector<QVariant>&)>& row);

    [[nodiscard]] QString Table() const { return table_; }

private:
    [[nodiscard]] QString columnName(const QString& name) const;

    std::shared_ptr<SqliteDb> db_;
    QString table_;
    QStringList columns_;
    std::vector<qint64> rowids_;
    qint64 pos_ = 0;
};

} // namespace qmx
