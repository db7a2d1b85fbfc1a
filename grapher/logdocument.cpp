#include "grapher/logdocument.h"

#include "logging/dberror.h"
#include "meter/readnumber.h"

#include <QHash>

#include <cmath>

namespace {

constexpr quint16 kMostTypes = 65535;

std::shared_ptr<SqliteDb> openForGraphing(const QString& path) {
    try {
        return std::make_shared<SqliteDb>(path, SqliteDb::Mode::ReadWrite);
    } catch (const DbError&) {
        // A read-only file still graphs; only storing the comment will fail.
        return std::make_shared<SqliteDb>(path, SqliteDb::Mode::ReadOnly);
    }
}

QString textOf(const Statement& s, int column) {
    return s.IsNull(column) ? QString() : s.Column(column).toString();
}

} // namespace

std::optional<float> SampleNumber(const Statement& row, int column) {
    if (!row.IsNumber(column)) {
        return std::nullopt;
    }
    const float value = NarrowToSingle(row.Double(column));
    return std::isfinite(value) ? std::optional(value) : std::nullopt;
}

LogDocument::LogDocument(const QString& path) : path_(path), db_(openForGraphing(path)) {
    readHeader();
    readSamples();
}

void LogDocument::readHeader() {
    Statement info = db_->Prepare("SELECT Date, Description FROM Info ORDER BY rowid LIMIT 1");
    if (!info.Step()) {
        throw DbError(DbError::kNoCurrentRow, "the log has no header row");
    }
    date_ = textOf(info, 0);
    description_ = textOf(info, 1);
}

void LogDocument::readSamples() {
    Statement scan = db_->Prepare("SELECT rowid, Type, Value FROM LogData ORDER BY rowid");
    QHash<QByteArray, quint16> ids;
    while (scan.Step()) {
        rowids_.push_back(scan.Int(0));
        const QByteArray type = scan.Bytes(1);
        auto id = ids.find(type);
        if (id == ids.end()) {
            const auto next = quint16(std::min<qsizetype>(typeNames_.size(), kMostTypes));
            id = ids.insert(type, next);
            typeNames_ << QString::fromUtf8(type);
        }
        types_.push_back(*id);
        values_.push_back(SampleNumber(scan, 2).value_or(NAN));
    }
    if (rowids_.empty()) {
        throw DbError(DbError::kNoCurrentRow, "the log has no samples");
    }
}

void LogDocument::checkRange(qint32 first, qint32 last) const {
    if (first < 1 || last < first || last > Count()) {
        throw DbError(
            DbError::kNoCurrentRow,
            QString("no samples at positions %1 to %2 of %3").arg(first).arg(last).arg(Count()));
    }
}

float LogDocument::Value(qint32 position) const {
    checkRange(position, position);
    return values_[size_t(position - 1)];
}

std::span<const float> LogDocument::Values(qint32 first, qint32 last) const {
    checkRange(first, last);
    return std::span(values_).subspan(size_t(first - 1), size_t(last - first + 1));
}

std::span<const quint16> LogDocument::TypeIds(qint32 first, qint32 last) const {
    checkRange(first, last);
    return std::span(types_).subspan(size_t(first - 1), size_t(last - first + 1));
}

LogDocument::Sample LogDocument::Read(qint32 position) const {
    checkRange(position, position);
    Statement read =
        db_->Prepare("SELECT TimeStamp, Type, Units, Value, dBu FROM LogData WHERE rowid = ?");
    read.Bind(1, rowids_[size_t(position - 1)]);
    if (!read.Step()) {
        throw DbError(DbError::kNoCurrentRow, "the sample is gone");
    }
    return {textOf(read, 0), textOf(read, 1), textOf(read, 2), SampleNumber(read, 3),
            SampleNumber(read, 4)};
}

void LogDocument::SaveDescription(const QString& description) {
    Statement write =
        db_->Prepare("UPDATE Info SET Description = ? WHERE rowid = (SELECT min(rowid) FROM Info)");
    write.Bind(1, description);
    write.Step();
    description_ = description;
}
