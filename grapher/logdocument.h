#pragma once

#include "logging/sqlitedb.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace qmx {

// A log file open for graphing. The samples' values and types are read in one pass
// when it opens (a few bytes a sample); the other fields are read by position when a
// sample is shown. Positions run 1 to Count() in stored order. Failures throw DbError:
// 3021 when the file has no header row or no sample. A value that is not a finite
// number (infinite, beyond single range, or text) counts as no value.
//
// A log in the Access format cannot be read by position: it is read whole through the
// reader helper when it opens, each distinct text kept once, and it opens read-only.
class LogDocument {
public:
    struct Sample {
        QString TimeStamp;
        QString Type;
        QString Units;
        std::optional<float> Value;
        std::optional<float> Dbu;
    };

    explicit LogDocument(const QString& path);

    [[nodiscard]] QString Path() const { return path_; }
    [[nodiscard]] QString Date() const { return date_; }
    [[nodiscard]] QString Description() const { return description_; }
    [[nodiscard]] qint32 Count() const { return qint32(values_.size()); }
    // Why the comment cannot be stored: a log in the Access format, or one holding
    // triggers (commands of its own a change would run).
    enum class ReadOnlyReason { None, AccessFormat, Triggers };
    [[nodiscard]] ReadOnlyReason WhyReadOnly() const { return readOnlyReason_; }
    [[nodiscard]] bool ReadOnly() const { return readOnlyReason_ != ReadOnlyReason::None; }

    // Reading outside positions 1 to Count() throws DbError 3021 (no current row).
    // The value at a position; NaN where the sample has none that can be drawn.
    [[nodiscard]] float Value(qint32 position) const;
    // What a sample reads: its type and units, and the type's place in TypeNames().
    struct Kind {
        QString Type;
        QString Units;
        quint16 TypeId;
    };
    // The values of the samples first to last, and the place of each one's kind in Kinds().
    [[nodiscard]] std::span<const float> Values(qint32 first, qint32 last) const;
    [[nodiscard]] std::span<const quint16> KindIds(qint32 first, qint32 last) const;
    // The distinct kinds (type and units) and types of the samples, in order of first
    // appearance.
    [[nodiscard]] const std::vector<Kind>& Kinds() const { return kinds_; }
    [[nodiscard]] const QStringList& TypeNames() const { return typeNames_; }
    // Every field of the sample at a position (1 to Count()).
    [[nodiscard]] Sample Read(qint32 position) const;

    // Stores the run's comment in the header row (refused when ReadOnly()). The file is
    // opened for writing only for this.
    void SaveDescription(const QString& description);

private:
    class AccessLoader;
    // A row of an Access-format log: its texts by their place in keptTexts_.
    struct KeptRow {
        quint32 TimeStamp;
        quint32 Type;
        quint32 Units;
        float Dbu;
    };

    void checkRange(qint32 first, qint32 last) const;
    void readHeader();
    void readSamples();
    void readAccessLog();
    void addSample(const QByteArray& type, const QByteArray& units, float value);

    QString path_;
    std::shared_ptr<SqliteDb> db_; // read-only; none for a log in the Access format
    ReadOnlyReason readOnlyReason_ = ReadOnlyReason::None;
    QString date_;
    QString description_;
    std::vector<qint64> rowids_;
    std::vector<float> values_;
    std::vector<quint16> kindIds_;
    QHash<QByteArray, quint16> kindIdOf_; // type and units, apart by a zero byte
    QHash<QString, quint16> typeIdOf_;
    std::vector<Kind> kinds_;
    QStringList typeNames_;
    std::vector<KeptRow> kept_;
    QStringList keptTexts_;
};

// A stored Value or dBu as a single, or none: null, a text, or no finite single (an
// infinity, or a number beyond single range) have no place on a graph or in a readout.
[[nodiscard]] std::optional<float> SampleNumber(const Statement& row, int column);
[[nodiscard]] std::optional<float> SampleNumber(const std::optional<double>& value);

} // namespace qmx
