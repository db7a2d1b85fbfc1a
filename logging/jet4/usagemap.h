#pragma once

#include <QByteArray>

#include <vector>

namespace qmx {

// Usage maps: the rows that tell which pages belong to a table, an index or a long-value
// column (a set bit: the page belongs), and the global map of the file (a set bit: the
// page is free). A map is inline (a start page and a bitmap in the row) or, for pages
// beyond an inline map's reach, a reference row naming map pages.
namespace UsageMap {

constexpr int kTableBitmapBytes = 64; // 512 pages
constexpr quint32 kPagesPerMapPage = (4096 - 4) * 8;
constexpr int kMapPageSlots = 17;
// The most bitmap bytes the global map's row can hold on page 1.
constexpr int kMostGlobalBitmapBytes = 4004;

// An inline row marking the pages first to first + count - 1 (none when count is 0).
[[nodiscard]] QByteArray InlineRow(quint32 first, quint32 count);
// Whether an inline row can mark the pages first to first + count - 1.
[[nodiscard]] bool FitsInline(quint32 first, quint32 count);
// A reference row naming the map page of each slot (0 for none).
[[nodiscard]] QByteArray ReferenceRow(const std::vector<quint32>& mapPages);
// The number of map pages a reference map needs to mark pages up to last.
[[nodiscard]] quint32 MapPagesFor(quint32 last);
// The map page of a slot marking the pages first to first + count - 1; with free set,
// every other page is marked instead (the global map's sense).
[[nodiscard]] QByteArray MapPage(quint32 slot, quint32 first, quint32 count, bool free);

// The global map of a file of totalPages pages, all in use, when it fits inline.
[[nodiscard]] bool GlobalFitsInline(quint32 totalPages);
[[nodiscard]] QByteArray GlobalInlineRow(quint32 totalPages);

} // namespace UsageMap

} // namespace qmx
