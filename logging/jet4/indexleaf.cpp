#include "logging/jet4/indexleaf.h"

#include "logging/jet4/jetbytes.h"

#include <QtEndian>

#include <algorithm>
#include <stdexcept>

namespace qmx {

namespace {

constexpr int kEntryMask = 0x1B;
constexpr int kFirstEntry = 0x1E0;

char codeOf(QChar c) {
    const char16_t u = c.toUpper().unicode();
    if (u >= u'0' && u <= u'9') {
        return char(0x36 + 2 * (u - u'0'));
    }
    // Letters; some letters share the step of the one before them.
    static constexpr std::array<quint8, 26> kLetters{
        0x4A, 0x4C, 0x4D, 0x4F, 0x51, 0x53, 0x55, 0x57, 0x59, 0x5B, 0x5C, 0x5E, 0x60,
        0x62, 0x64, 0x66, 0x68, 0x69, 0x6B, 0x6D, 0x6F, 0x71, 0x73, 0x75, 0x76, 0x78};
    if (u >= u'A' && u <= u'Z') {
        return char(kLetters[size_t(u - u'A')]);
    }
    throw std::logic_error("index names hold letters and digits only");
}

} // namespace

namespace IndexLeaf {

QByteArray LongKey(qint32 value) {
    QByteArray key(5, char(0x7F));
    qToBigEndian(quint32(value) ^ 0x80000000u, key.data() + 1);
    return key;
}

QByteArray NameKey(const QString& name) {
    QByteArray key(1, char(0x7F));
    for (const QChar c : name) {
        key += codeOf(c);
    }
    return key + QByteArray::fromHex("0100");
}

QByteArray Entry(const QByteArray& keys, quint32 page, quint8 row) {
    QByteArray entry = keys + QByteArray(4, 0);
    qToBigEndian(page << 8 | row, entry.data() + keys.size());
    return entry;
}

QByteArray Page(quint32 owner, std::vector<QByteArray> entries) {
    std::sort(entries.begin(), entries.end());
    QByteArray page(Jet::kPageSize, 0);
    page[0] = 4; // leaf
    page[1] = 1;
    Jet::Put32(page, 0x04, owner);
    int end = 0;
    for (const QByteArray& entry : entries) {
        page.replace(kFirstEntry + end, entry.size(), entry);
        end += int(entry.size());
        page[kEntryMask + end / 8] = char(page[kEntryMask + end / 8] | (1 << (end % 8)));
    }
    Jet::Put16(page, 0x02, quint16(Jet::kPageSize - kFirstEntry - end));
    return page;
}

} // namespace IndexLeaf

} // namespace qmx
