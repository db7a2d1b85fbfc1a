#pragma once

#include "logging/jet4/tabledefinition.h"

#include <QByteArray>
#include <QByteArrayView>

#include <span>

namespace qmx {

namespace Jet {

// One field of a row: absent (null), or present with its stored bytes. A BOOLEAN's
// value is its presence.
struct Field {
    bool Present = false;
    QByteArrayView Bytes;
};

// Writes the row of a table holding fields (one a column, in column order) into out.
void EncodeRow(const Table& table, std::span<const Field> fields, QByteArray& out);

// A data page being filled: rows packed from its end, at most 255 of them.
class DataPage {
public:
    static constexpr int kMostRows = 255;
    // A row takes its bytes and two for its slot; the page header takes 14.
    static constexpr int kRoomForRows = 4096 - 14;

    explicit DataPage(quint32 owner);

    [[nodiscard]] bool Fits(qsizetype rowBytes) const;
    void Add(QByteArrayView row);
    [[nodiscard]] int Rows() const { return rows_; }
    [[nodiscard]] const QByteArray& Bytes() const { return page_; }
    void Clear();

private:
    QByteArray page_;
    quint32 owner_;
    int rows_ = 0;
    int free_ = kRoomForRows;
    int start_ = 4096;
};

} // namespace Jet

} // namespace qmx
