#include "logging/jet4/rowencoder.h"

#include "logging/jet4/jetbytes.h"

#include <array>

namespace qmx {

namespace Jet {

namespace {
constexpr qsizetype kFirstSlot = 0x0E;
} // namespace

void EncodeRow(const Table& table, std::span<const Field> fields, QByteArray& out) {
    const int columns = int(table.Columns.size());
    const int variables = table.VariableCount();
    out.resize(2 + table.FixedBytes());
    std::fill(out.begin(), out.end(), 0);
    Put16(out, 0, quint16(columns));
    std::array<char, 4> mask{};
    std::array<quint16, 32> starts{};
    for (int v = 0; v < variables; ++v) {
        for (int c = 0; c < columns; ++c) {
            const Column& column = table.Columns[size_t(c)];
            if (column.VarIndex == v) {
                starts[size_t(v)] = quint16(out.size());
                if (fields[size_t(c)].Present) {
                    out.append(fields[size_t(c)].Bytes);
                }
            }
        }
    }
    for (int c = 0; c < columns; ++c) {
        const Column& column = table.Columns[size_t(c)];
        const Field& field = fields[size_t(c)];
        if (field.Present) {
            mask[c / 8] = char(mask[c / 8] | (1 << (c % 8)));
            if (!column.Variable() && column.Type != kBoolean) {
                out.replace(2 + column.FixedOffset, field.Bytes.size(), field.Bytes);
            }
        }
    }
    if (variables > 0) {
        Append16(out, quint16(out.size())); // end of the variable data
        for (int v = variables - 1; v >= 0; --v) {
            Append16(out, starts[size_t(v)]);
        }
        Append16(out, quint16(variables));
    }
    out.append(mask.data(), (columns + 7) / 8);
}

DataPage::DataPage(quint32 owner) : page_(kPageSize, 0), owner_(owner) {
    Clear();
}

bool DataPage::Fits(qsizetype rowBytes) const {
    return rows_ < kMostRows && rowBytes + 2 <= free_;
}

void DataPage::Add(QByteArrayView row) {
    start_ -= int(row.size());
    page_.replace(start_, row.size(), row.data(), row.size());
    Put16(page_, kFirstSlot + 2 * rows_, quint16(start_));
    ++rows_;
    free_ -= int(row.size()) + 2;
    Put16(page_, 0x02, quint16(free_));
    Put16(page_, 0x0C, quint16(rows_));
}

void DataPage::Clear() {
    page_.fill(0);
    page_[0] = 1;
    page_[1] = 1;
    Put32(page_, 0x04, owner_);
    rows_ = 0;
    free_ = kRoomForRows;
    start_ = kPageSize;
    Put16(page_, 0x02, quint16(free_));
}

} // namespace Jet

} // namespace qmx
