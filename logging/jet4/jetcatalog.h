#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <map>

namespace qmx {

// The system tables of an Access-format file: the catalog (MSysObjects) of a blank
// database plus one row a user table, the access rights (MSysACEs), the empty query and
// relationship tables, their indexes and usage maps, and the user tables' properties.
namespace JetCatalog {

struct UserTable {
    QString Name;
    quint32 DefinitionPage;
    QStringList RequiredColumns;
};

// The page of the long values (property blobs too long to stay in their catalog row).
constexpr quint32 kLongValuePage = 23;

// The pages 2 to 18, and the long-value page when a blob needs it, by page number.
[[nodiscard]] std::map<quint32, QByteArray> Pages(const std::vector<UserTable>& tables,
                                                  const QDateTime& created);
// The property blob that marks the columns as required.
[[nodiscard]] QByteArray RequiredBlob(const QStringList& columns);

} // namespace JetCatalog

} // namespace qmx
