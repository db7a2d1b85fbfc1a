#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QtEndian>

namespace qmx {

// Byte-level helpers shared by the pieces of the Access-format (Jet 4) writer.
namespace Jet {

constexpr int kPageSize = 4096;
// Pages 0 to 24 hold the catalog and the two tables' definitions; samples start here.
constexpr quint32 kFirstSamplePage = 25;
// The format's limit: 2 GiB.
constexpr quint32 kMaxPages = 524288;

inline void Put16(QByteArray& bytes, qsizetype at, quint16 value) {
    qToLittleEndian(value, bytes.data() + at);
}
inline void Put32(QByteArray& bytes, qsizetype at, quint32 value) {
    qToLittleEndian(value, bytes.data() + at);
}
inline void Append16(QByteArray& bytes, quint16 value) {
    bytes.resize(bytes.size() + 2);
    Put16(bytes, bytes.size() - 2, value);
}
inline void Append32(QByteArray& bytes, quint32 value) {
    bytes.resize(bytes.size() + 4);
    Put32(bytes, bytes.size() - 4, value);
}

// A reference to a row of a page, as definitions store it: row number, then page number.
constexpr quint32 RowRef(quint8 row, quint32 page) {
    return row | (page << 8);
}

// A text as the format stores it: UTF-16LE.
inline QByteArray Utf16(const QString& text) {
    return {reinterpret_cast<const char*>(text.utf16()), text.size() * 2};
}
// A name as definitions store it: byte length, then UTF-16LE.
inline QByteArray NameBytes(const QString& name) {
    QByteArray bytes;
    Append16(bytes, quint16(name.size() * 2));
    return bytes + Utf16(name);
}

// A time as the format stores it: days since 1899-12-30, the time of day as the fraction.
inline double DateDouble(const QDateTime& time) {
    static const QDate epoch(1899, 12, 30);
    return double(epoch.daysTo(time.date())) + time.time().msecsSinceStartOfDay() / 86400000.0;
}

} // namespace Jet

} // namespace qmx
