#include "logging/jet4/jetcatalog.h"

#include "logging/jet4/indexleaf.h"
#include "logging/jet4/jetbytes.h"
#include "logging/jet4/rowencoder.h"
#include "logging/jet4/tabledefinition.h"
#include "logging/jet4/usagemap.h"

#include <QtEndian>

#include <set>

namespace qmx {

namespace JetCatalog {

namespace {

constexpr quint32 kCatalogPage = 17;
constexpr quint32 kAcePage = 18;
constexpr qint32 kTables = 0x0F000001;
constexpr qint32 kDatabases = 0x0F000002;
constexpr qint32 kRelationships = 0x0F000003;
constexpr qint32 kRoot = 0x0F000000;
constexpr qint32 kMSysDb = 0x10000000;
constexpr quint32 kSystemObject = 0x80000000;
constexpr quint32 kAllRights = 0xFFFFF;
constexpr qsizetype kMostInlineBlob = 64;
// The creation date of the blank database the header page comes from.
const QByteArray kBlankDate = QByteArray::fromHex("81afd46b4fece440");
const QByteArray kCreator = QByteArray::fromHex("07e8");

struct CatalogRow {
    qint32 Id;
    qint32 ParentId;
    QString Name;
    qint16 Type;
    QByteArray Owner;
    quint32 Flags = kSystemObject;
    QByteArray LvProp; // the 12-byte field and what follows it inline; empty for null
};

struct AceRow {
    qint32 ObjectId;
    QByteArray Sid;
    quint32 Acm;
    bool Inheritable;
};

QByteArray le32(quint32 v) {
    QByteArray b(4, 0);
    Jet::Put32(b, 0, v);
    return b;
}

QByteArray le16(quint16 v) {
    QByteArray b(2, 0);
    Jet::Put16(b, 0, v);
    return b;
}

QByteArray dateBytes(const QDateTime& time) {
    QByteArray b(8, 0);
    qToLittleEndian(Jet::DateDouble(time), b.data());
    return b;
}

std::vector<CatalogRow> blankCatalog() {
    const QByteArray container = QByteArray::fromHex("06ea");
    return {{kTables, kRoot, "Tables", 3, container, kSystemObject, {}},
            {kDatabases, kRoot, "Databases", 3, container, kSystemObject, {}},
            {kRelationships, kRoot, "Relationships", 3, container, kSystemObject, {}},
            {kMSysDb, kDatabases, "MSysDb", 2, kCreator, kSystemObject, {}},
            {2, kTables, "MSysObjects", 1, container, kSystemObject, {}},
            {3, kTables, "MSysACEs", 1, container, kSystemObject, {}},
            {4, kTables, "MSysQueries", 1, container, kSystemObject, {}},
            {5, kTables, "MSysRelationships", 1, container, kSystemObject, {}}};
}

std::vector<AceRow> blankAces() {
    const QByteArray a = QByteArray::fromHex("07e8"), b = QByteArray::fromHex("06ed"),
                     c = QByteArray::fromHex("06e8");
    return {{2, a, 0x60000, false},
            {3, a, 0x60000, false},
            {4, a, 0x60000, false},
            {5, a, 0xE0000, false},
            {kTables, b, 0xF00FE, true},
            {kTables, a, 0x60001, false},
            {kRelationships, b, 0xF00FE, true},
            {kRelationships, a, 0x60001, false},
            {kDatabases, a, 0x60000, false},
            {kMSysDb, a, 0x6000E, false},
            {kMSysDb, c, 0x0000E, false},
            {4, c, 0x00014, false},
            {5, c, 0x00014, false},
            {2, c, 0x00014, false},
            {kTables, c, 0xFFEFF, true},
            {kRelationships, c, 0xFFFFF, true}};
}

QByteArray catalogRow(const Jet::Table& table, const CatalogRow& row, const QByteArray& date) {
    const QByteArray id = le32(quint32(row.Id)), parent = le32(quint32(row.ParentId));
    const QByteArray name = Jet::Utf16(row.Name), type = le16(quint16(row.Type));
    const QByteArray flags = le32(row.Flags);
    std::vector<Jet::Field> fields(table.Columns.size());
    fields[0] = {true, id};
    fields[1] = {true, parent};
    fields[2] = {true, name};
    fields[3] = {true, type};
    fields[4] = {true, date};
    fields[5] = {true, date};
    fields[6] = {true, row.Owner};
    fields[7] = {true, flags};
    fields[14] = {!row.LvProp.isEmpty(), row.LvProp};
    QByteArray out;
    Jet::EncodeRow(table, fields, out);
    return out;
}

QByteArray aceRow(const Jet::Table& table, const AceRow& row) {
    const QByteArray id = le32(quint32(row.ObjectId)), acm = le32(row.Acm);
    const std::array<Jet::Field, 4> fields{
        {{true, id}, {true, row.Sid}, {true, acm}, {row.Inheritable, {}}}};
    QByteArray out;
    Jet::EncodeRow(table, fields, out);
    return out;
}

QByteArray pageOfRows(quint32 owner, const std::vector<QByteArray>& rows) {
    Jet::DataPage page(owner);
    for (const QByteArray& row : rows) {
        page.Add(row);
    }
    return page.Bytes();
}

// A page of usage-map rows, each an inline map of the one page listed (none: empty).
QByteArray mapPage(const std::vector<std::vector<quint32>>& maps) {
    std::vector<QByteArray> rows;
    for (const auto& pages : maps) {
        rows.push_back(pages.empty() ? UsageMap::InlineRow(0, 0)
                                     : UsageMap::InlineRow(pages.front(), 1));
    }
    return pageOfRows(0, rows);
}

template <typename Key> quint32 distinct(const std::vector<Key>& keys) {
    return quint32(std::set<Key>(keys.begin(), keys.end()).size());
}

} // namespace

QByteArray RequiredBlob(const QStringList& columns) {
    const QString property = "Required";
    QByteArray names = le32(0) + le16(0x0080) + Jet::NameBytes(property);
    Jet::Put32(names, 0, quint32(names.size()));
    QByteArray blob = QByteArray("MR2", 4) + names;
    for (const QString& column : columns) {
        QByteArray nameBlock = le32(0) + Jet::NameBytes(column);
        Jet::Put32(nameBlock, 0, quint32(nameBlock.size()));
        // length, engine property, BOOLEAN, name index 0, one byte of data: true
        const QByteArray value = QByteArray::fromHex("090001010000010001");
        QByteArray chunk = le32(0) + le16(0x0001) + nameBlock + value;
        Jet::Put32(chunk, 0, quint32(chunk.size()));
        blob += chunk;
    }
    return blob;
}

std::map<quint32, QByteArray> Pages(const std::vector<UserTable>& tables,
                                    const QDateTime& created) {
    std::map<quint32, QByteArray> pages;
    Jet::Table objects = Jet::MSysObjects(), aces = Jet::MSysACEs();
    Jet::Table queries = Jet::MSysQueries(), relationships = Jet::MSysRelationships();

    std::vector<CatalogRow> catalog = blankCatalog();
    std::vector<AceRow> rights = blankAces();
    std::vector<QByteArray> longValues;
    for (const UserTable& t : tables) {
        const QByteArray blob = RequiredBlob(t.RequiredColumns);
        QByteArray field(12, 0);
        if (blob.size() <= kMostInlineBlob) {
            Jet::Put32(field, 0, quint32(blob.size()) | 0x80000000u);
            field += blob;
        } else {
            Jet::Put32(field, 0, quint32(blob.size()) | 0x40000000u);
            Jet::Put32(field, 4, Jet::RowRef(quint8(longValues.size()), kLongValuePage));
            longValues.push_back(blob);
        }
        catalog.push_back({qint32(t.DefinitionPage), kTables, t.Name, 1, kCreator, 0, field});
        for (const char* sid : {"06ed", "07e8", "06e8"}) {
            rights.push_back(
                {qint32(t.DefinitionPage), QByteArray::fromHex(sid), kAllRights, false});
        }
    }

    std::vector<QByteArray> rows, byParentName, byId;
    std::vector<std::pair<qint32, QString>> parentNames;
    std::vector<qint32> ids;
    const QByteArray blankDate = kBlankDate, exportDate = dateBytes(created);
    for (size_t r = 0; r < catalog.size(); ++r) {
        const CatalogRow& row = catalog[r];
        rows.push_back(catalogRow(objects, row, row.Flags == 0 ? exportDate : blankDate));
        byParentName.push_back(
            IndexLeaf::Entry(IndexLeaf::LongKey(row.ParentId) + IndexLeaf::NameKey(row.Name),
                             kCatalogPage, quint8(r)));
        byId.push_back(IndexLeaf::Entry(IndexLeaf::LongKey(row.Id), kCatalogPage, quint8(r)));
        parentNames.emplace_back(row.ParentId, row.Name.toUpper());
        ids.push_back(row.Id);
    }
    pages[kCatalogPage] = pageOfRows(objects.DefinitionPage, rows);
    pages[7] = IndexLeaf::Page(objects.DefinitionPage, byParentName);
    pages[8] = IndexLeaf::Page(objects.DefinitionPage, byId);
    objects.Rows = quint32(catalog.size());
    objects.RealIndexes[0].DistinctKeys = distinct(parentNames);
    objects.RealIndexes[1].DistinctKeys = distinct(ids);

    rows.clear();
    std::vector<QByteArray> byObject;
    std::vector<qint32> objectIds;
    for (size_t r = 0; r < rights.size(); ++r) {
        rows.push_back(aceRow(aces, rights[r]));
        byObject.push_back(
            IndexLeaf::Entry(IndexLeaf::LongKey(rights[r].ObjectId), kAcePage, quint8(r)));
        objectIds.push_back(rights[r].ObjectId);
    }
    pages[kAcePage] = pageOfRows(aces.DefinitionPage, rows);
    pages[10] = IndexLeaf::Page(aces.DefinitionPage, byObject);
    aces.Rows = quint32(rights.size());
    aces.RealIndexes[0].DistinctKeys = distinct(objectIds);

    pages[12] = IndexLeaf::Page(queries.DefinitionPage, {});
    for (const quint32 leaf : {14u, 15u, 16u}) {
        pages[leaf] = IndexLeaf::Page(relationships.DefinitionPage, {});
    }
    for (const Jet::Table* t : {&objects, &aces, &queries, &relationships}) {
        pages[t->DefinitionPage] = t->Page();
    }

    // MSysObjects: its data page, its long-value columns (only LvProp holds values),
    // its two index leaves.
    std::vector<std::vector<quint32>> objectMaps{{kCatalogPage}, {kCatalogPage}};
    for (const Jet::LongValueMaps& lv : objects.LongValues) {
        const bool used = lv.Column == 14 && !longValues.empty();
        objectMaps.push_back(used ? std::vector{kLongValuePage} : std::vector<quint32>{});
        objectMaps.push_back(objectMaps.back());
    }
    objectMaps.push_back({7});
    objectMaps.push_back({8});
    pages[6] = mapPage(objectMaps);
    pages[9] = mapPage({{kAcePage}, {kAcePage}, {10}});
    pages[11] = mapPage({{}, {}, {}, {}, {12}});
    pages[13] = mapPage({{}, {}, {14}, {15}, {16}});
    if (!longValues.empty()) {
        QByteArray lval = pageOfRows(0, longValues);
        lval.replace(4, 4, "LVAL");
        pages[kLongValuePage] = lval;
    }
    return pages;
}

} // namespace JetCatalog

} // namespace qmx
