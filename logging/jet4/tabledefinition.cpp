#include "logging/jet4/tabledefinition.h"

#include "logging/jet4/jetbytes.h"

namespace qmx {

namespace Jet {

namespace {

constexpr quint32 kConstant = 1625;
constexpr quint32 kRealIndexMark = 1923;
constexpr quint8 kUserTable = 0x4E;
constexpr quint8 kSystemTable = 0x53;
constexpr int kHeaderBytes = 63;
constexpr int kIndexSlots = 10;
constexpr quint32 kGeneralSortOrder = 1033;

quint16 lengthOf(ColumnType type) {
    switch (type) {
    case kBoolean:
    case kByte:
        return 1;
    case kInt:
        return 2;
    case kLong:
    case kSingle:
        return 4;
    case kDateTime:
        return 8;
    case kBinary:
    case kText:
        return 510;
    default:
        return 0; // long values
    }
}

// Columns of a system table: "@n" places a fixed column at offset n, "vn" a variable
// column at index n; the blank marks them 0x13 (fixed) and 0x12 (variable).
struct SystemColumn {
    const char* Name;
    ColumnType Type;
    int Place; // fixed offset, or -1 - variable index
    quint8 Flags = 0;
};

constexpr int v(int index) {
    return -1 - index;
}

std::vector<Column> systemColumns(std::initializer_list<SystemColumn> columns) {
    std::vector<Column> out;
    for (const SystemColumn& c : columns) {
        const bool variable = c.Place < 0;
        const quint8 flags = c.Flags != 0 ? c.Flags : quint8(variable ? 0x12 : 0x13);
        out.push_back({c.Name, c.Type, lengthOf(c.Type), variable ? -1 - c.Place : -1,
                       quint16(variable || c.Type == kBoolean ? 0 : c.Place), flags});
    }
    return out;
}

Table systemTable(const QString& name, quint32 page, std::vector<Column> columns, quint32 mapPage) {
    Table t;
    t.Name = name;
    t.DefinitionPage = page;
    t.System = true;
    t.Columns = std::move(columns);
    t.OwnedMap = RowRef(0, mapPage);
    t.FreeMap = RowRef(1, mapPage);
    return t;
}

void appendColumn(QByteArray& out, const Table& table, int number) {
    const Column& c = table.Columns[size_t(number)];
    int lowerVariables = 0;
    for (int i = 0; i < number; ++i) {
        lowerVariables += table.Columns[size_t(i)].Variable() ? 1 : 0;
    }
    const bool sorted = table.System || c.Type == kText || c.Type == kMemo;
    out += char(c.Type);
    Append32(out, kConstant);
    Append16(out, quint16(number));
    Append16(out, quint16(c.Variable() ? c.VarIndex : lowerVariables));
    Append16(out, quint16(number));
    Append32(out, sorted ? kGeneralSortOrder : 0);
    out += char(c.Flags);
    out += char(0); // texts are stored uncompressed
    Append32(out, 0);
    Append16(out, c.FixedOffset);
    Append16(out, c.Length);
}

void appendRealIndex(QByteArray& out, const RealIndex& index) {
    Append32(out, kRealIndexMark);
    for (int slot = 0; slot < kIndexSlots; ++slot) {
        if (slot < int(index.Columns.size())) {
            Append16(out, index.Columns[size_t(slot)]);
            out += char(1); // ascending
        } else {
            out += QByteArray::fromHex("ffff00");
        }
    }
    Append32(out, index.Map);
    Append32(out, index.Root);
    Append32(out, 0);
    out += char(index.Flags);
    out += QByteArray(5, 0);
}

void appendLogicalIndex(QByteArray& out, const LogicalIndex& index) {
    Append32(out, kConstant);
    Append32(out, index.Number);
    Append32(out, index.Real);
    out += QByteArray::fromHex("00ffffffff00000000");
    out += QByteArray::fromHex("0404");
    out += char(index.Type);
    Append32(out, 0);
}

} // namespace

int Table::VariableCount() const {
    return int(std::count_if(Columns.begin(), Columns.end(),
                             [](const Column& c) { return c.Variable(); }));
}

int Table::FixedBytes() const {
    int bytes = 0;
    for (const Column& c : Columns) {
        if (!c.Variable() && c.Type != kBoolean) {
            bytes = std::max(bytes, c.FixedOffset + c.Length);
        }
    }
    return bytes;
}

QByteArray Table::Definition() const {
    QByteArray out(kHeaderBytes, 0);
    out[0] = 2;
    out[1] = 1;
    Put32(out, 0x0C, kConstant);
    Put32(out, 0x10, Rows);
    out[0x18] = 1;
    out[0x28] = char(System ? kSystemTable : kUserTable);
    Put16(out, 0x29, quint16(Columns.size()));
    Put16(out, 0x2B, quint16(VariableCount()));
    Put16(out, 0x2D, quint16(Columns.size()));
    Put32(out, 0x2F, quint32(LogicalIndexes.size()));
    Put32(out, 0x33, quint32(RealIndexes.size()));
    Put32(out, 0x37, OwnedMap);
    Put32(out, 0x3B, FreeMap);
    for (const RealIndex& index : RealIndexes) {
        Append32(out, 0);
        Append32(out, index.DistinctKeys);
        Append32(out, 0);
    }
    for (int i = 0; i < int(Columns.size()); ++i) {
        appendColumn(out, *this, i);
    }
    for (const Column& c : Columns) {
        out += NameBytes(c.Name);
    }
    for (const RealIndex& index : RealIndexes) {
        appendRealIndex(out, index);
    }
    for (const LogicalIndex& index : LogicalIndexes) {
        appendLogicalIndex(out, index);
    }
    for (const LogicalIndex& index : LogicalIndexes) {
        out += NameBytes(index.Name);
    }
    for (const LongValueMaps& maps : LongValues) {
        Append16(out, maps.Column);
        Append32(out, maps.Owned);
        Append32(out, maps.Free);
    }
    out += QByteArray::fromHex("ffff");
    Put32(out, 0x08, quint32(out.size()));
    return out;
}

QByteArray Table::Page() const {
    const QByteArray definition = Definition();
    QByteArray page = definition + QByteArray(kPageSize - definition.size(), 0);
    Put16(page, 0x02, quint16(kPageSize - definition.size() - 8));
    return page;
}

Table MSysObjects() {
    Table t = systemTable("MSysObjects", 2,
                          systemColumns({{"Id", kLong, 0},
                                         {"ParentId", kLong, 4},
                                         {"Name", kText, v(0)},
                                         {"Type", kInt, 8},
                                         {"DateCreate", kDateTime, 10},
                                         {"DateUpdate", kDateTime, 18},
                                         {"Owner", kBinary, v(1), 0x32},
                                         {"Flags", kLong, 26},
                                         {"Database", kMemo, v(2)},
                                         {"Connect", kMemo, v(3)},
                                         {"ForeignName", kText, v(4)},
                                         {"RmtInfoShort", kBinary, v(5)},
                                         {"RmtInfoLong", kOle, v(6)},
                                         {"Lv", kOle, v(7)},
                                         {"LvProp", kOle, v(8)},
                                         {"LvModule", kOle, v(9)},
                                         {"LvExtra", kOle, v(10)}}),
                          6);
    t.RealIndexes = {{{1, 2}, RowRef(16, 6), 7, 0x81}, {{0}, RowRef(17, 6), 8, 0x81}};
    t.LogicalIndexes = {{"Id", 1, 1, 1}, {"ParentIdName", 0, 0, 0}};
    quint8 row = 2;
    for (const quint16 column : {8, 9, 12, 13, 14, 15, 16}) {
        t.LongValues.push_back({column, RowRef(row, 6), RowRef(row + 1, 6)});
        row += 2;
    }
    return t;
}

Table MSysACEs() {
    Table t = systemTable("MSysACEs", 3,
                          systemColumns({{"ObjectId", kLong, 0},
                                         {"SID", kBinary, v(0), 0x32},
                                         {"ACM", kLong, 4},
                                         {"FInheritable", kBoolean, 0}}),
                          9);
    t.RealIndexes = {{{0}, RowRef(2, 9), 10, 0x88}};
    t.LogicalIndexes = {{"ObjectId", 0, 0, 0}};
    return t;
}

Table MSysQueries() {
    Table t = systemTable("MSysQueries", 4,
                          systemColumns({{"ObjectId", kLong, 0},
                                         {"Attribute", kByte, 4},
                                         {"Order", kBinary, v(0)},
                                         {"Name1", kText, v(1)},
                                         {"Name2", kText, v(2)},
                                         {"Expression", kMemo, v(3)},
                                         {"Flag", kInt, 5},
                                         {"LvExtra", kLong, 7}}),
                          11);
    t.RealIndexes = {{{0, 1, 2}, RowRef(4, 11), 12, 0x81}};
    t.LogicalIndexes = {{"ObjectIdAttribute", 0, 0, 1}};
    t.LongValues = {{5, RowRef(2, 11), RowRef(3, 11)}};
    return t;
}

Table MSysRelationships() {
    Table t = systemTable("MSysRelationships", 5,
                          systemColumns({{"szRelationship", kText, v(0)},
                                         {"grbit", kLong, 0},
                                         {"ccolumn", kLong, 4},
                                         {"icolumn", kLong, 8},
                                         {"szObject", kText, v(1)},
                                         {"szColumn", kText, v(2)},
                                         {"szReferencedObject", kText, v(3)},
                                         {"szReferencedColumn", kText, v(4)}}),
                          13);
    t.RealIndexes = {{{0}, RowRef(2, 13), 14, 0x82},
                     {{4}, RowRef(3, 13), 15, 0x82},
                     {{6}, RowRef(4, 13), 16, 0x82}};
    t.LogicalIndexes = {
        {"szObject", 1, 1, 0}, {"szReferencedObject", 2, 2, 0}, {"szRelationship", 0, 0, 0}};
    return t;
}

Table LogDataTable(quint32 definitionPage, quint32 mapPage) {
    return {"LogData",
            definitionPage,
            false,
            {{"TimeStamp", kText, 24, 0, 0, 0x02},
             {"Type", kText, 8, 1, 0, 0x02},
             {"Units", kText, 8, 2, 0, 0x02},
             {"Value", kSingle, 4, -1, 0, 0x03},
             {"dBu", kSingle, 4, -1, 4, 0x03}},
            {},
            {},
            {},
            RowRef(0, mapPage),
            RowRef(1, mapPage)};
}

Table InfoTable(quint32 definitionPage, quint32 mapPage) {
    return {"Info",
            definitionPage,
            false,
            {{"Date", kText, 40, 0, 0, 0x02}, {"Description", kText, 510, 1, 0, 0x02}},
            {},
            {},
            {},
            RowRef(0, mapPage),
            RowRef(1, mapPage)};
}

} // namespace Jet

} // namespace qmx
