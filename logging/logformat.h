#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace qmx {

// The log file's layout: the tables LogData (one row per sample) and Info (the run's
// header), their typed columns in order, widths and null rules.
namespace LogFormat {

constexpr int kTextType = 202; // variable-length text
constexpr int kSingleType = 4; // single-precision number
constexpr int kDefaultTextWidth = 255;
// "QMXL" marks a file made by this program; the layout's version follows it.
constexpr int kApplicationId = 0x514D584C;
constexpr int kUserVersion = 1;

struct Column {
    QString Name;
    int Type = kTextType;
    int Width = 0; // texts only; 0 means the default width
    bool Nullable = false;
};

struct Table {
    QString Name;
    std::vector<Column> Columns;

    [[nodiscard]] const Column* Find(const QString& column) const;
    [[nodiscard]] QString CreateSql() const;
};

[[nodiscard]] const Table& LogData();
[[nodiscard]] const Table& Info();
// The table named (without regard to case) LogData or Info, or null.
[[nodiscard]] const Table* TableNamed(const QString& name);

} // namespace LogFormat

} // namespace qmx
