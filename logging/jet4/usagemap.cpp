#include "logging/jet4/usagemap.h"

#include "logging/jet4/jetbytes.h"

#include <stdexcept>

namespace qmx {

namespace {

constexpr quint32 kStartAlignment = 8;

void setBit(QByteArray& bitmap, qsizetype at, quint32 bit, bool value) {
    const auto byte = at + qsizetype(bit / 8);
    const auto mask = char(1 << (bit % 8));
    bitmap[byte] = char(value ? bitmap[byte] | mask : bitmap[byte] & ~mask);
}

// Bitmap bytes of the global map: at least a table map's, whole multiples of 32 bytes.
int globalBitmapBytes(quint32 totalPages) {
    const int bytes = int((totalPages + 7) / 8);
    return std::max(UsageMap::kTableBitmapBytes, (bytes + 31) / 32 * 32);
}

} // namespace

namespace UsageMap {

bool FitsInline(quint32 first, quint32 count) {
    const quint32 start = first / kStartAlignment * kStartAlignment;
    return count == 0 || first + count - start <= quint32(kTableBitmapBytes) * 8;
}

QByteArray InlineRow(quint32 first, quint32 count) {
    if (!FitsInline(first, count)) {
        throw std::logic_error("the pages do not fit an inline map");
    }
    QByteArray row(5 + kTableBitmapBytes, 0);
    if (count == 0) {
        return row;
    }
    const quint32 start = first / kStartAlignment * kStartAlignment;
    Jet::Put32(row, 1, start);
    for (quint32 page = first; page < first + count; ++page) {
        setBit(row, 5, page - start, true);
    }
    return row;
}

QByteArray ReferenceRow(const std::vector<quint32>& mapPages) {
    QByteArray row(1 + 4 * kMapPageSlots, 0);
    row[0] = 1;
    for (size_t slot = 0; slot < mapPages.size(); ++slot) {
        Jet::Put32(row, qsizetype(1 + 4 * slot), mapPages[slot]);
    }
    return row;
}

quint32 MapPagesFor(quint32 last) {
    return last / kPagesPerMapPage + 1;
}

QByteArray MapPage(quint32 slot, quint32 first, quint32 count, bool free) {
    QByteArray page(Jet::kPageSize, free ? char(0xFF) : char(0));
    page.replace(0, 4, QByteArray::fromHex("05010000"));
    const quint32 base = slot * kPagesPerMapPage;
    const quint32 from = std::max(first, base);
    const quint32 to = std::min(first + count, base + kPagesPerMapPage);
    for (quint32 p = from; p < to; ++p) {
        setBit(page, 4, p - base, !free);
    }
    return page;
}

bool GlobalFitsInline(quint32 totalPages) {
    return globalBitmapBytes(totalPages) <= kMostGlobalBitmapBytes;
}

QByteArray GlobalInlineRow(quint32 totalPages) {
    QByteArray row(5 + globalBitmapBytes(totalPages), char(0xFF));
    row.replace(0, 5, QByteArray(5, 0));
    for (quint32 page = 0; page < totalPages; ++page) {
        setBit(row, 5, page, false);
    }
    return row;
}

} // namespace UsageMap

} // namespace qmx
