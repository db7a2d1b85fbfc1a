#pragma once

#include "logging/sqlitedb.h"

#include <QMap>
#include <QString>
#include <QVariant>

// The writer's row set over a log file (both tables): a new row takes fields of one
// table and is stored in that table when saved. Every saved row is on disk before
// Update returns, so it survives a crash or a power loss. Failures throw DbError.
class LogWriter {
public:
    explicit LogWriter(const QString& path);

    // Starts a new row; unsaved fields of the previous row are stored first.
    void AddNew();
    void SetField(const QString& name, const QVariant& value);
    // Stores the row in the table its fields belong to.
    void Update();

    [[nodiscard]] QString Path() const { return db_.Path(); }

private:
    SqliteDb db_;
    QString table_;
    QMap<QString, QVariant> fields_;
};
