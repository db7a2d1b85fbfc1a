#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

namespace qmx {

// Index keys in the engine's ascending General (legacy) order, and leaf pages of them.
namespace IndexLeaf {

// The key of a LONG column.
[[nodiscard]] QByteArray LongKey(qint32 value);
// The key of a TEXT column holding a name of letters and digits.
[[nodiscard]] QByteArray NameKey(const QString& name);
// A leaf entry: the keys of the index columns, then the row they point at.
[[nodiscard]] QByteArray Entry(const QByteArray& keys, quint32 page, quint8 row);
// A leaf page of the table whose definition is on owner, holding the entries (at most
// 3616 bytes of them) in ascending order.
[[nodiscard]] QByteArray Page(quint32 owner, std::vector<QByteArray> entries);

} // namespace IndexLeaf

} // namespace qmx
