#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

namespace qmx {

// The definition of a table in an Access-format file: its columns, indexes and usage
// maps, and the bytes of its definition page. The four system tables are described as
// data, as the database engine lays them out in a blank database.
namespace Jet {

enum ColumnType : quint8 {
    kBoolean = 0x01,
    kByte = 0x02,
    kInt = 0x03,
    kLong = 0x04,
    kSingle = 0x06,
    kDateTime = 0x08,
    kBinary = 0x09,
    kText = 0x0A,
    kOle = 0x0B,
    kMemo = 0x0C,
};

struct Column {
    QString Name;
    ColumnType Type;
    quint16 Length;    // bytes: 2 a character for texts, 0 for long values
    int VarIndex = -1; // variable columns: index into the row's offset table
    quint16 FixedOffset = 0;
    quint8 Flags = 0;

    [[nodiscard]] bool Variable() const { return VarIndex >= 0; }
};

struct RealIndex {
    std::vector<quint16> Columns; // ascending
    quint32 Map;                  // row reference of its usage map
    quint32 Root;
    quint8 Flags;
    quint32 DistinctKeys = 0;
};

struct LogicalIndex {
    QString Name;
    quint32 Number;
    quint32 Real;
    quint8 Type; // 1 primary key, 0 other
};

struct LongValueMaps {
    quint16 Column;
    quint32 Owned;
    quint32 Free;
};

struct Table {
    QString Name;
    quint32 DefinitionPage = 0;
    bool System = false;
    std::vector<Column> Columns;
    std::vector<RealIndex> RealIndexes;
    std::vector<LogicalIndex> LogicalIndexes;
    std::vector<LongValueMaps> LongValues;
    quint32 OwnedMap = 0; // row references
    quint32 FreeMap = 0;
    quint32 Rows = 0;

    [[nodiscard]] int VariableCount() const;
    // Bytes of the fixed-length part of a row.
    [[nodiscard]] int FixedBytes() const;
    // The definition as stored, through its final FF FF.
    [[nodiscard]] QByteArray Definition() const;
    // The definition page (the definitions here always fit one page).
    [[nodiscard]] QByteArray Page() const;
};

[[nodiscard]] Table MSysObjects();
[[nodiscard]] Table MSysACEs();
[[nodiscard]] Table MSysQueries();
[[nodiscard]] Table MSysRelationships();
// The log's tables, with their usage maps on the given page.
[[nodiscard]] Table LogDataTable(quint32 definitionPage, quint32 mapPage);
[[nodiscard]] Table InfoTable(quint32 definitionPage, quint32 mapPage);

} // namespace Jet

} // namespace qmx
