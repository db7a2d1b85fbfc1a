#include "logging/jet4/jetlogwriter.h"

#include "logging/dberror.h"
#include "logging/exportfile.h"
#include "logging/jet4/jetcatalog.h"
#include "logging/jet4/jetheader.h"
#include "logging/jet4/rowencoder.h"
#include "logging/jet4/tabledefinition.h"
#include "logging/jet4/usagemap.h"
#include "meter/readnumber.h"

#include <QtEndian>

#include <cmath>

namespace qmx {

namespace {

constexpr quint32 kLogDataDefinition = 19;
constexpr quint32 kLogDataMaps = 20;
constexpr quint32 kInfoDefinition = 21;
constexpr quint32 kInfoMaps = 22;
constexpr quint32 kInfoPage = 24;
// The longest LogData row: 21 bytes and texts of 12, 4 and 4 characters.
constexpr int kMostRowBytes = 21 + 2 * (12 + 4 + 4);
// Rows of that size a data page holds (each with its 2-byte slot).
constexpr qint64 kRowsOfLongestSize = Jet::DataPage::kRoomForRows / (kMostRowBytes + 2);

// Where the pages of a file with a given number of LogData data pages go.
struct Layout {
    quint32 DataPages = 0;      // from page 25
    quint32 MapPages = 0;       // LogData's reference map, after its data
    quint32 GlobalMapPages = 0; // the global reference map, at the end
    quint32 Total = 0;

    static Layout For(quint32 dataPages) {
        Layout l{dataPages};
        if (!UsageMap::FitsInline(Jet::kFirstSamplePage, dataPages)) {
            l.MapPages = UsageMap::MapPagesFor(Jet::kFirstSamplePage + dataPages - 1);
        }
        const quint32 pages = Jet::kFirstSamplePage + dataPages + l.MapPages;
        if (!UsageMap::GlobalFitsInline(pages)) {
            l.GlobalMapPages = 1;
            while (UsageMap::MapPagesFor(pages + l.GlobalMapPages - 1) > l.GlobalMapPages) {
                ++l.GlobalMapPages;
            }
        }
        l.Total = pages + l.GlobalMapPages;
        return l;
    }
};

QString tooLargeText() {
    return "The log is too large for the Access format: its samples would pass the format's "
           "2 GB limit.";
}

// Where a row is, for messages: "LogData row 12".
struct RowPlace {
    const char* Table;
    qint64 Row;
};

void writePage(ExportFile& file, quint32 number, const QByteArray& page) {
    file.WriteAt(qint64(number) * Jet::kPageSize, page);
}

[[noreturn]] void refuse(int code, RowPlace where, const QString& what) {
    throw DbError(code, QString("%1 row %2: %3").arg(where.Table).arg(where.Row).arg(what));
}

void checkText(const NullableText& text, RowPlace where, const char* column, int width,
               bool required) {
    if (!text && required) {
        refuse(DbError::kNullNotAllowed, where, QString("%1 is empty (null)").arg(column));
    }
    if (text && text->size() > width) {
        refuse(DbError::kFieldTooSmall, where,
               QString("%1 is longer than %2 characters").arg(column).arg(width));
    }
}

QByteArrayView bytesOf(const NullableText& text) {
    return text ? QByteArrayView(reinterpret_cast<const char*>(text->utf16()), text->size() * 2)
                : QByteArrayView();
}

// The single-precision bytes of a number, rounded to nearest; a finite number beyond
// the single range is refused rather than stored as infinity.
Jet::Field single(const std::optional<double>& value, std::array<char, 4>& bytes, RowPlace where,
                  const char* column) {
    if (!value) {
        return {};
    }
    const float f = NarrowToSingle(*value);
    if (std::isinf(f) && std::isfinite(*value)) {
        refuse(DbError::kFieldTooSmall, where,
               QString("%1 %2 is beyond the range of a single-precision number")
                   .arg(column)
                   .arg(*value));
    }
    qToLittleEndian(f, bytes.data());
    return {true, QByteArrayView(bytes.data(), 4)};
}

// Receives the log's rows and packs them into pages: LogData's data pages are written
// as they fill (none while only measuring), Info's rows are kept for the end.
class RowPacker : public LogVisitor {
public:
    RowPacker(ExportFile* file, quint32 mostPages)
        : file_(file), mostPages_(mostPages), logData_(Jet::LogDataTable(kLogDataDefinition, 0)),
          page_(kLogDataDefinition) {
        row_.reserve(kMostRowBytes);
    }

    void Info(const LogHeader& header) override {
        const RowPlace where{"Info", qint64(InfoRows.size()) + 1};
        checkText(header.Date, where, "Date", 20, true);
        checkText(header.Description, where, "Description", 255, false);
        InfoRows.push_back(header);
    }

    void Sample(const LogRecord& s) override {
        const RowPlace where{"LogData", Samples + 1};
        const bool lengthsOk = s.TimeStamp && s.Type && s.TimeStamp->size() <= 12 &&
                               s.Type->size() <= 4 && (!s.Units || s.Units->size() <= 4);
        if (!lengthsOk) {
            checkText(s.TimeStamp, where, "TimeStamp", 12, true);
            checkText(s.Type, where, "Type", 4, true);
            checkText(s.Units, where, "Units", 4, false);
        }
        std::array<char, 4> value{}, dbu{};
        const std::array<Jet::Field, 5> fields{{{true, bytesOf(s.TimeStamp)},
                                                {true, bytesOf(s.Type)},
                                                {s.Units.has_value(), bytesOf(s.Units)},
                                                single(s.Value, value, where, "Value"),
                                                single(s.Dbu, dbu, where, "dBu")}};
        Jet::EncodeRow(logData_, fields, row_);
        if (!page_.Fits(row_.size())) {
            flush();
        }
        page_.Add(row_);
        ++Samples;
    }

    // Writes the last page; returns the number of data pages.
    quint32 Finish() {
        if (page_.Rows() > 0) {
            flush();
        }
        return dataPages_;
    }

    std::vector<LogHeader> InfoRows;
    qint64 Samples = 0;

private:
    void flush() {
        if (Jet::kFirstSamplePage + dataPages_ >= mostPages_) {
            throw DbError(DbError::kEngineFailure, tooLargeText());
        }
        if (file_ != nullptr) {
            writePage(*file_, Jet::kFirstSamplePage + dataPages_, page_.Bytes());
        }
        ++dataPages_;
        page_.Clear();
    }

    ExportFile* file_;
    quint32 mostPages_;
    Jet::Table logData_;
    Jet::DataPage page_;
    QByteArray row_;
    quint32 dataPages_ = 0;
};

QByteArray mapRows(std::initializer_list<QByteArray> rows) {
    Jet::DataPage page(0);
    for (const QByteArray& row : rows) {
        page.Add(row);
    }
    return page.Bytes();
}

// Whether rows of the longest kind, as many as announced, fit the file.
bool surelyFits(qint64 samples, quint32 mostPages) {
    const qint64 pages = (samples + kRowsOfLongestSize - 1) / kRowsOfLongestSize;
    return samples >= 0 && pages < mostPages && Layout::For(quint32(pages)).Total <= mostPages;
}

void writeLogDataMaps(ExportFile& file, const Layout& layout) {
    const quint32 first = Jet::kFirstSamplePage;
    QByteArray owned;
    if (layout.MapPages == 0) {
        owned = UsageMap::InlineRow(first, layout.DataPages);
    } else {
        std::vector<quint32> mapPages;
        for (quint32 slot = 0; slot < layout.MapPages; ++slot) {
            mapPages.push_back(first + layout.DataPages + slot);
            writePage(file, mapPages.back(),
                      UsageMap::MapPage(slot, first, layout.DataPages, false));
        }
        owned = UsageMap::ReferenceRow(mapPages);
    }
    const QByteArray free = layout.DataPages > 0
                                ? UsageMap::InlineRow(first + layout.DataPages - 1, 1)
                                : UsageMap::InlineRow(0, 0);
    writePage(file, kLogDataMaps, mapRows({owned, free}));
}

void writeInfo(ExportFile& file, const std::vector<LogHeader>& rows) {
    const Jet::Table info = Jet::InfoTable(kInfoDefinition, kInfoMaps);
    Jet::DataPage page(kInfoDefinition);
    QByteArray row;
    for (const LogHeader& h : rows) {
        const std::array<Jet::Field, 2> fields{
            {{true, bytesOf(h.Date)}, {h.Description.has_value(), bytesOf(h.Description)}}};
        Jet::EncodeRow(info, fields, row);
        if (!page.Fits(row.size())) {
            throw DbError(DbError::kFieldTooSmall,
                          QString("Info: its %1 rows do not fit the Access format's Info page")
                              .arg(rows.size()));
        }
        page.Add(row);
    }
    writePage(file, kInfoPage, page.Bytes());
    writePage(file, kInfoMaps,
              mapRows({UsageMap::InlineRow(kInfoPage, 1), UsageMap::InlineRow(kInfoPage, 1)}));
    Jet::Table definition = info;
    definition.Rows = quint32(rows.size());
    writePage(file, kInfoDefinition, definition.Page());
}

void writeGlobalMap(ExportFile& file, const Layout& layout) {
    QByteArray global;
    if (layout.GlobalMapPages == 0) {
        global = UsageMap::GlobalInlineRow(layout.Total);
    } else {
        std::vector<quint32> mapPages;
        for (quint32 slot = 0; slot < layout.GlobalMapPages; ++slot) {
            mapPages.push_back(layout.Total - layout.GlobalMapPages + slot);
            writePage(file, mapPages.back(), UsageMap::MapPage(slot, 0, layout.Total, true));
        }
        global = UsageMap::ReferenceRow(mapPages);
    }
    Jet::DataPage page(1);
    page.Add(global);
    page.Add(UsageMap::InlineRow(0, 0));
    writePage(file, 1, page.Bytes());
}

} // namespace

JetLogWriter::JetLogWriter(QDateTime created, quint32 mostPages)
    : created_(std::move(created)), mostPages_(mostPages) {}

void JetLogWriter::Write(ExportFile& file, qint64 samples, const Source& source) {
    if (!surelyFits(samples, mostPages_)) {
        RowPacker measure(nullptr, mostPages_);
        source(measure);
        if (Layout::For(measure.Finish()).Total > mostPages_) {
            throw DbError(DbError::kEngineFailure, tooLargeText());
        }
    }
    RowPacker packer(&file, mostPages_);
    source(packer);
    const Layout layout = Layout::For(packer.Finish());
    if (layout.Total > mostPages_) {
        throw DbError(DbError::kEngineFailure, tooLargeText());
    }
    writeLogDataMaps(file, layout);
    Jet::Table logData = Jet::LogDataTable(kLogDataDefinition, kLogDataMaps);
    logData.Rows = quint32(packer.Samples);
    writePage(file, kLogDataDefinition, logData.Page());
    writeInfo(file, packer.InfoRows);
    const auto catalog = JetCatalog::Pages({{"LogData", kLogDataDefinition, {"TimeStamp", "Type"}},
                                            {"Info", kInfoDefinition, {"Date"}}},
                                           created_);
    for (const auto& [number, page] : catalog) {
        writePage(file, number, page);
    }
    writePage(file, 0, JetHeader::Page());
    writeGlobalMap(file, layout);
    pages_ = layout.Total;
}

} // namespace qmx
