// qmx7300-mdbread FILE: reads a log in the Access format (Jet 4) with libmdb and writes
// its Info and LogData rows to standard output in the stream the program reads (see
// logging/accessstream.h). The program runs it as a child process under a time and a
// memory limit, so a damaged file can only make this helper fail.
#include "logging/accessstream.h"

// libmdb's header needs glib's declarations first.
#include <glib.h>

#include <mdbtools.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace qmx {

namespace {

constexpr int kDataPage = 0x01;
constexpr unsigned kSkipped = 0x8000; // deleted, or the data of a moved row
constexpr unsigned kPointer = 0x4000; // the row moved: its slot names where it is now
constexpr unsigned kOffsetMask = 0x1FFF;

[[noreturn]] void fail(const std::string& message) {
    std::fputc(AccessStream::kError, stdout);
    const auto n = uint16_t(std::min<size_t>(message.size(), 1000));
    std::fputc(n & 0xFF, stdout);
    std::fputc(n >> 8, stdout);
    std::fwrite(message.data(), 1, n, stdout);
    std::fflush(stdout);
    std::exit(1);
}

void put16(unsigned v) {
    std::fputc(int(v & 0xFF), stdout);
    std::fputc(int((v >> 8) & 0xFF), stdout);
}

void put32(uint32_t v) {
    put16(v & 0xFFFF);
    put16(v >> 16);
}

// The columns of the log's tables the stream carries, found by name.
struct Wanted {
    const char* Name;
    bool Text;
};

const std::vector<Wanted> kInfoColumns{{"Date", true}, {"Description", true}};
const std::vector<Wanted> kLogDataColumns{
    {"TimeStamp", true}, {"Type", true}, {"Units", true}, {"Value", false}, {"dBu", false}};

class TableReader {
public:
    TableReader(MdbHandle* mdb, MdbCatalogEntry* entry, const std::vector<Wanted>& wanted)
        : mdb_(mdb), entry_(entry), table_(mdb_read_table(entry)) {
        if (table_ == nullptr || mdb_read_columns(table_) == nullptr) {
            fail(std::string("the table ") + entry->object_name + " cannot be read");
        }
        for (const Wanted& w : wanted) {
            columns_.push_back(find(w));
        }
        fields_.resize(table_->num_cols);
    }

    // Writes every row, in stored order: slots in page order, deleted ones skipped,
    // moved ones read where their pointer leads.
    void Write(char tag, char tableCode) {
        std::fputc(AccessStream::kTable, stdout);
        std::fputc(tableCode, stdout);
        put32(table_->num_rows);
        long page = 0;
        while ((page = mdb_map_find_next(mdb_, table_->usage_map, unsigned(table_->map_sz),
                                         guint32(page))) > 0) {
            writePage(guint32(page), tag);
        }
        if (page < 0) {
            fail(std::string("the page map of ") + table_->name + " cannot be read");
        }
        if (rows_ != table_->num_rows) {
            fail(std::string("the table ") + table_->name + " holds " +
                 std::to_string(table_->num_rows) + " rows, but " + std::to_string(rows_) +
                 " could be read");
        }
    }

private:
    int find(const Wanted& w) {
        for (unsigned i = 0; i < table_->num_cols; ++i) {
            const auto* c = static_cast<MdbColumn*>(g_ptr_array_index(table_->columns, i));
            if (g_ascii_strcasecmp(c->name, w.Name) == 0) {
                const bool ok = w.Text ? c->col_type == MDB_TEXT
                                       : c->col_type == MDB_FLOAT || c->col_type == MDB_DOUBLE;
                if (!ok) {
                    fail(std::string("the column ") + w.Name + " has an unexpected type");
                }
                return int(i);
            }
        }
        fail(std::string("the table ") + table_->name + " has no column " + w.Name);
    }

    bool readPage(guint32 page) {
        return mdb_read_pg(mdb_, page) == mdb_->fmt->pg_size && mdb_->pg_buf[0] == kDataPage &&
               guint32(mdb_get_int32(mdb_->pg_buf, 4)) == entry_->table_pg;
    }

    int slotCount() const { return mdb_get_int16(mdb_->pg_buf, mdb_->fmt->row_count_offset); }

    unsigned slot(int row) const {
        return unsigned(mdb_get_int16(mdb_->pg_buf, mdb_->fmt->row_count_offset + 2 + 2 * row));
    }

    // The bytes of a row of the current page: start and length.
    std::pair<int, int> extent(int row) const {
        const int start = int(slot(row) & kOffsetMask);
        const int end = row == 0 ? int(mdb_->fmt->pg_size) : int(slot(row - 1) & kOffsetMask);
        const int header = mdb_->fmt->row_count_offset + 2 + 2 * slotCount();
        if (start < header || end > mdb_->fmt->pg_size || end <= start) {
            fail("a row lies outside its page");
        }
        return {start, end - start};
    }

    void writePage(guint32 page, char tag) {
        // Pages of other owners in the map are skipped, as the engine skips them.
        if (!readPage(page)) {
            return;
        }
        const int rows = slotCount();
        if (rows < 0 || rows > (mdb_->fmt->pg_size - mdb_->fmt->row_count_offset) / 2) {
            fail("a data page has an impossible number of rows");
        }
        for (int row = 0; row < rows; ++row) {
            const unsigned flags = slot(row);
            if ((flags & kSkipped) != 0) {
                continue;
            }
            const auto [start, length] = extent(row);
            if ((flags & kPointer) == 0) {
                writeRow(start, length, tag);
                continue;
            }
            if (length < 4) {
                fail("a moved row's pointer is cut short");
            }
            const int targetRow = mdb_->pg_buf[start];
            const auto targetPage = guint32(mdb_get_int32(mdb_->pg_buf, start) >> 8) & 0xFFFFFF;
            if (!readPage(targetPage) || targetRow >= slotCount() ||
                (slot(targetRow) & kPointer) != 0) {
                fail("a moved row's pointer leads nowhere");
            }
            const auto [targetStart, targetLength] = extent(targetRow);
            writeRow(targetStart, targetLength, tag);
            if (!readPage(page)) {
                fail("a data page cannot be read again");
            }
        }
    }

    void writeRow(int start, int length, char tag) {
        if (++rows_ > table_->num_rows) {
            fail(std::string("the table ") + table_->name + " holds more rows than it says");
        }
        if (mdb_crack_row(table_, start, size_t(length), fields_.data()) < int(table_->num_cols)) {
            fail("a row cannot be read");
        }
        std::fputc(tag, stdout);
        for (const int c : columns_) {
            const auto* column = static_cast<MdbColumn*>(g_ptr_array_index(table_->columns, c));
            writeField(*column, fields_[size_t(c)]);
        }
    }

    static void writeField(const MdbColumn& column, const MdbField& field) {
        const auto* bytes = static_cast<const unsigned char*>(field.value);
        if (column.col_type != MDB_TEXT) {
            const int size = column.col_type == MDB_FLOAT ? 4 : 8;
            if (field.is_null) {
                std::fputc(AccessStream::kNullNumber, stdout);
                return;
            }
            if (field.siz != size) {
                fail("a number has the wrong size");
            }
            std::fputc(size, stdout);
            std::fwrite(bytes, 1, size_t(size), stdout);
            return;
        }
        if (field.is_null) {
            put16(AccessStream::kNullText);
            return;
        }
        writeText(bytes, field.siz);
    }

    // Texts are UTF-16LE, or compressed: FF FE, then one byte a character, a zero byte
    // switching to two-byte characters and back.
    static void writeText(const unsigned char* bytes, int size) {
        std::vector<uint16_t> units;
        if (size >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
            bool compressed = true;
            for (int i = 2; i < size;) {
                if (bytes[i] == 0) {
                    compressed = !compressed;
                    ++i;
                } else if (compressed) {
                    units.push_back(bytes[i++]);
                } else if (i + 1 < size) {
                    units.push_back(uint16_t(bytes[i] | bytes[i + 1] << 8));
                    i += 2;
                } else {
                    fail("a text is cut short");
                }
            }
        } else {
            if (size % 2 != 0) {
                fail("a text is cut short");
            }
            for (int i = 0; i < size; i += 2) {
                units.push_back(uint16_t(bytes[i] | bytes[i + 1] << 8));
            }
        }
        if (units.size() >= AccessStream::kNullText) {
            fail("a text is too long");
        }
        put16(unsigned(units.size()));
        for (const uint16_t u : units) {
            put16(u);
        }
    }

    MdbHandle* mdb_;
    MdbCatalogEntry* entry_;
    MdbTableDef* table_;
    std::vector<int> columns_;
    std::vector<MdbField> fields_;
    unsigned rows_ = 0;
};

MdbCatalogEntry* findTable(MdbHandle* mdb, const char* name) {
    for (unsigned i = 0; i < mdb->num_catalog; ++i) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
        if (entry->object_type == MDB_TABLE && g_ascii_strcasecmp(entry->object_name, name) == 0) {
            return entry;
        }
    }
    fail(std::string("the file has no table ") + name);
}

} // namespace

} // namespace qmx

using namespace qmx;

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: qmx7300-mdbread FILE\n");
        return 2;
    }
    static char buffer[1 << 16];
    std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
    std::fwrite(AccessStream::kMagic, 1, AccessStream::kMagicLength, stdout);
    // libmdb reports trouble on standard error; the stream's own error says it all.
    MdbHandle* mdb = mdb_open(argv[1], MDB_NOFLAGS);
    if (mdb == nullptr) {
        fail("the file is not an Access-format database");
    }
    if (mdb->f->jet_version != MDB_VER_JET4) {
        fail("the file is not in the Access 2000 (Jet 4) format");
    }
    if (mdb_read_catalog(mdb, MDB_TABLE) == nullptr) {
        fail("the file's catalog cannot be read");
    }
    TableReader(mdb, findTable(mdb, "Info"), kInfoColumns).Write(AccessStream::kInfoRow, 0);
    TableReader(mdb, findTable(mdb, "LogData"), kLogDataColumns)
        .Write(AccessStream::kLogDataRow, 1);
    std::fputc(AccessStream::kEnd, stdout);
    if (std::fflush(stdout) != 0) {
        return 1;
    }
    mdb_close(mdb);
    return 0;
}
