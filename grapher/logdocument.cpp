#include "grapher/logdocument.h"

#include "logging/dberror.h"
#include "logging/loglayout.h"
#include "logging/logreader.h"
#include "meter/readnumber.h"

#include <cmath>

namespace qmx {

namespace {

constexpr quint16 kMostKinds = 65535;
// Room reserved ahead for the samples a file announces, at most (it may be damaged).
constexpr qint64 kMostReserved = 1 << 20;

QString textOf(const Statement& s, int column) {
    return s.IsNull(column) ? QString() : s.Column(column).toString();
}

std::optional<float> unlessNaN(float value) {
    return std::isnan(value) ? std::nullopt : std::optional(value);
}

} // namespace

std::optional<float> SampleNumber(const std::optional<double>& value) {
    if (!value) {
        return std::nullopt;
    }
    const float single = NarrowToSingle(*value);
    return std::isfinite(single) ? std::optional(single) : std::nullopt;
}

std::optional<float> SampleNumber(const Statement& row, int column) {
    return row.IsNumber(column) ? SampleNumber(row.Double(column)) : std::nullopt;
}

// Takes an Access-format log as the reader passes it: the first header row, then each
// sample's value and type for the graph and its texts for the readout.
class LogDocument::AccessLoader final : public LogVisitor {
public:
    explicit AccessLoader(LogDocument& log) : log_(log) {}

    void SampleCount(qint64 count) override {
        const auto room = size_t(std::clamp<qint64>(count, 0, kMostReserved));
        log_.values_.reserve(room);
        log_.kindIds_.reserve(room);
        log_.kept_.reserve(room);
    }
    void Info(const LogHeader& header) override {
        if (!HeaderSeen) {
            log_.date_ = header.Date.value_or(QString());
            log_.description_ = header.Description.value_or(QString());
            HeaderSeen = true;
        }
    }
    void Sample(const LogRecord& sample) override {
        if (!HeaderSeen) {
            throw DbError(DbError::kNoCurrentRow, "the log has no header row");
        }
        log_.addSample(sample.Type.value_or(QString()).toUtf8(),
                       sample.Units.value_or(QString()).toUtf8(),
                       SampleNumber(sample.Value).value_or(NAN));
        log_.kept_.push_back({keep(sample.TimeStamp), keep(sample.Type), keep(sample.Units),
                              SampleNumber(sample.Dbu).value_or(NAN)});
    }

    bool HeaderSeen = false;

private:
    quint32 keep(const NullableText& text) {
        const QString& t = text ? *text : QString();
        auto id = ids_.find(t);
        if (id == ids_.end()) {
            id = ids_.insert(t, quint32(log_.keptTexts_.size()));
            log_.keptTexts_ << t;
        }
        return *id;
    }

    LogDocument& log_;
    QHash<QString, quint32> ids_;
};

LogDocument::LogDocument(const QString& path) : path_(path) {
    if (LogReader::IsAccessFormat(path)) {
        readOnlyReason_ = ReadOnlyReason::AccessFormat;
        readAccessLog();
    } else {
        // Read-only: graphing never writes; only a changed comment is stored, on its own.
        db_ = LogLayout::OpenForReading(path);
        if (LogLayout::HasTriggers(*db_)) {
            readOnlyReason_ = ReadOnlyReason::Triggers;
        }
        readHeader();
        readSamples();
    }
    kindIdOf_.clear(); // needed only while the samples are read
    typeIdOf_.clear();
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
    Statement scan = db_->Prepare("SELECT rowid, Type, Units, Value FROM LogData ORDER BY rowid");
    while (scan.Step()) {
        rowids_.push_back(scan.Int(0));
        addSample(scan.Bytes(1), scan.Bytes(2), SampleNumber(scan, 3).value_or(NAN));
    }
    if (values_.empty()) {
        throw DbError(DbError::kNoCurrentRow, "the log has no samples");
    }
}

void LogDocument::readAccessLog() {
    AccessLoader loader(*this);
    LogReader::Read(path_, loader);
    if (!loader.HeaderSeen) {
        throw DbError(DbError::kNoCurrentRow, "the log has no header row");
    }
    if (values_.empty()) {
        throw DbError(DbError::kNoCurrentRow, "the log has no samples");
    }
}

// Kinds past the last id a sample can carry all count as the last one: a damaged file
// cannot make the list grow without bound.
void LogDocument::addSample(const QByteArray& type, const QByteArray& units, float value) {
    const QByteArray key = type + '\0' + units;
    auto id = kindIdOf_.find(key);
    if (id == kindIdOf_.end()) {
        if (kinds_.size() == kMostKinds) {
            kindIds_.push_back(kMostKinds - 1);
            values_.push_back(value);
            return;
        }
        const QString typeName = QString::fromUtf8(type);
        auto typeId = typeIdOf_.find(typeName);
        if (typeId == typeIdOf_.end()) {
            typeId = typeIdOf_.insert(typeName, quint16(typeNames_.size()));
            typeNames_ << typeName;
        }
        id = kindIdOf_.insert(key, quint16(kinds_.size()));
        kinds_.push_back({typeName, QString::fromUtf8(units), *typeId});
    }
    kindIds_.push_back(*id);
    values_.push_back(value);
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

std::span<const quint16> LogDocument::KindIds(qint32 first, qint32 last) const {
    checkRange(first, last);
    return std::span(kindIds_).subspan(size_t(first - 1), size_t(last - first + 1));
}

LogDocument::Sample LogDocument::Read(qint32 position) const {
    checkRange(position, position);
    const auto at = size_t(position - 1);
    if (!db_) {
        const KeptRow& row = kept_[at];
        return {keptTexts_[row.TimeStamp], keptTexts_[row.Type], keptTexts_[row.Units],
                unlessNaN(values_[at]), unlessNaN(row.Dbu)};
    }
    Statement read =
        db_->Prepare("SELECT TimeStamp, Type, Units, Value, dBu FROM LogData WHERE rowid = ?");
    read.Bind(1, rowids_[at]);
    if (!read.Step()) {
        throw DbError(DbError::kNoCurrentRow, "the sample is gone");
    }
    return {textOf(read, 0), textOf(read, 1), textOf(read, 2), SampleNumber(read, 3),
            SampleNumber(read, 4)};
}

void LogDocument::SaveDescription(const QString& description) {
    if (ReadOnly()) {
        throw DbError(DbError::kPermissionDenied,
                      readOnlyReason_ == ReadOnlyReason::Triggers
                          ? "the log holds triggers"
                          : "a log in the Access format opens read-only");
    }
    SqliteDb db(path_, SqliteDb::Mode::ReadWrite);
    if (LogLayout::HasTriggers(db)) {
        throw DbError(DbError::kPermissionDenied, "the log holds triggers");
    }
    Statement write =
        db.Prepare("UPDATE Info SET Description = ? WHERE rowid = (SELECT min(rowid) FROM Info)");
    write.Bind(1, description);
    write.Step();
    description_ = description;
}

} // namespace qmx
