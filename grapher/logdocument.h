#pragma once

#include "logging/sqlitedb.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

// A log file open for graphing. The samples' values and types are read in one pass
// when it opens (a few bytes a sample); the other fields are read by position when a
// sample is shown. Positions run 1 to Count() in stored order. Failures throw DbError:
// 3021 when the file has no header row or no sample.
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
    [[nodiscard]] qint32 Count() const { return qint32(rowids_.size()); }

    // The value at a position; NaN where the sample has none.
    [[nodiscard]] float Value(qint32 position) const { return values_[size_t(position - 1)]; }
    [[nodiscard]] quint16 TypeId(qint32 position) const { return types_[size_t(position - 1)]; }
    [[nodiscard]] const std::vector<float>& Values() const { return values_; }
    [[nodiscard]] const std::vector<quint16>& TypeIds() const { return types_; }
    // The distinct types of the samples, in order of first appearance.
    [[nodiscard]] const QStringList& TypeNames() const { return typeNames_; }
    // Every field of the sample at a position (1 to Count()).
    [[nodiscard]] Sample Read(qint32 position) const;

    // Stores the run's comment in the header row.
    void SaveDescription(const QString& description);

private:
    void readHeader();
    void readSamples();

    QString path_;
    std::shared_ptr<SqliteDb> db_;
    QString date_;
    QString description_;
    std::vector<qint64> rowids_;
    std::vector<float> values_;
    std::vector<quint16> types_;
    QStringList typeNames_;
};
