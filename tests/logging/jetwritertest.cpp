// The Access-format writer's pieces against bytes the database engine and Jackcess
// produce, the layout of a whole file, and the logs it refuses.
#include "logging/dberror.h"
#include "logging/exportfile.h"
#include "logging/jet4/indexleaf.h"
#include "logging/jet4/jetbytes.h"
#include "logging/jet4/jetcatalog.h"
#include "logging/jet4/jetheader.h"
#include "logging/jet4/jetlogwriter.h"
#include "logging/jet4/rowencoder.h"
#include "logging/jet4/tabledefinition.h"
#include "logging/jet4/usagemap.h"
#include "tests/support/jetcheck.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <functional>

using namespace qmx;

namespace {

QByteArray hex(const char* text) {
    return QByteArray::fromHex(QByteArray(text).replace(' ', "").replace('|', ""));
}

QByteArray row(const Jet::Table& table, std::vector<std::optional<QByteArray>> values) {
    std::vector<Jet::Field> fields;
    for (const auto& v : values) {
        fields.push_back({v.has_value(), v ? QByteArrayView(*v) : QByteArrayView()});
    }
    QByteArray out;
    Jet::EncodeRow(table, fields, out);
    return out;
}

QByteArray single(float f) {
    QByteArray b(4, 0);
    qToLittleEndian(f, b.data());
    return b;
}

const QDateTime kExported(QDate(2024, 1, 2), QTime(3, 4, 5));

struct Golden {
    const char* name;
    std::function<QByteArray()> make;
    const char* bytes;
};

const Golden kGolden[] = {
    {"header page",
     [] { return QCryptographicHash::hash(JetHeader::Page(), QCryptographicHash::Sha256); },
     "4234939bb2248212ad81059f0c931e13329cb85d14c9bd1a1abba4861e7610b5"},
    {"key MSysACEs", [] { return IndexLeaf::NameKey("MSysACEs"); },
     "7F 60 6B 76 6B 4A 4D 51 6B 01 00"},
    {"key LogData", [] { return IndexLeaf::NameKey("LogData"); }, "7F 5E 64 55 4F 4A 6D 4A 01 00"},
    {"key Info", [] { return IndexLeaf::NameKey("Info"); }, "7F 59 62 53 64 01 00"},
    {"key 2", [] { return IndexLeaf::LongKey(2); }, "7F 80 00 00 02"},
    {"key -1", [] { return IndexLeaf::LongKey(-1); }, "7F 7F FF FF FF"},
    {"key Tables", [] { return IndexLeaf::LongKey(0x0F000001); }, "7F 8F 00 00 01"},
    {"entry", [] { return IndexLeaf::Entry(IndexLeaf::LongKey(2), 17, 4); },
     "7F 80 00 00 02 00 00 11 04"},
    {"date",
     [] {
         QByteArray b(8, 0);
         qToLittleEndian(Jet::DateDouble(kExported), b.data());
         return b;
     },
     "02 c9 3a 17 a4 1d e6 40"},
    {"LogData row",
     [] {
         return row(Jet::LogDataTable(19, 20), {Jet::Utf16("1:02:03 PM"), Jet::Utf16("DC"),
                                                Jet::Utf16("V"), single(12.0f), std::nullopt});
     },
     "05 00 | 00 00 40 41 | 00 00 00 00 | 31 00 3a 00 30 00 32 00 3a 00 30 00 33 00 20 00 50 "
     "00 4d 00 | 44 00 43 00 | 56 00 | 24 00 | 22 00 1e 00 0a 00 | 03 00 | 0f"},
    {"LogData row, empty units",
     [] {
         return row(Jet::LogDataTable(19, 20), {Jet::Utf16("1:02:04 PM"), Jet::Utf16("AC"),
                                                QByteArray(""), std::nullopt, single(-9.99f)});
     },
     "05 00 | 00 00 00 00 | 0a d7 1f c1 | 31 00 3a 00 30 00 32 00 3a 00 30 00 34 00 20 00 50 "
     "00 4d 00 | 41 00 43 00 | 22 00 | 22 00 1e 00 0a 00 | 03 00 | 17"},
    {"Info row",
     [] {
         return row(Jet::InfoTable(21, 22), {Jet::Utf16("3/7/2004"), std::nullopt});
     },
     "02 00 | 33 00 2f 00 37 00 2f 00 32 00 30 00 30 00 34 00 | 12 00 | 12 00 02 00 | 02 00 | 01"},
    {"data page",
     [] {
         Jet::DataPage page(19);
         page.Add(QByteArray(47, 0));
         page.Add(QByteArray(45, 0));
         return page.Bytes().left(18);
     },
     "01 01 92 0f 13 00 00 00 00 00 00 00 02 00 d1 0f a4 0f"},
    {"LogData definition",
     [] {
         Jet::Table t = Jet::LogDataTable(19, 20);
         t.Rows = 3;
         return t.Page().left(88);
     },
     "02 01 fc 0e 00 00 00 00 fc 00 00 00 59 06 00 00 03 00 00 00 00 00 00 00 01"
     "000000000000000000000000000000 4e 05 00 03 00 05 00 00 00 00 00 00 00 00 00 00 14 00 00"
     "01 14 00 00 0a 59 06 00 00 00 00 00 00 00 00 09 04 00 00 02 00 00 00 00 00 00 00 18 00"},
    {"LogData properties",
     [] {
         return JetCatalog::RequiredBlob({"TimeStamp", "Type"});
     },
     "4d 52 32 00 | 18 00 00 00 80 00 10 00 52 00 65 00 71 00 75 00 69 00 72 00 65 00 64 00 | 27 "
     "00 00 00 01 00 18 00 00 00 12 00 54 00 69 00 6d 00 65 00 53 00 74 00 61 00 6d 00 70 00 09 "
     "00 01 01 00 00 01 00 01 | 1d 00 00 00 01 00 0e 00 00 00 08 00 54 00 79 00 70 00 65 00 09 "
     "00 01 01 00 00 01 00 01"},
    {"catalog row of LogData and the access rights",
     [] {
         const auto pages = JetCatalog::Pages({{"LogData", 19, {"TimeStamp", "Type"}}}, kExported);
         const QByteArray catalog = pages.at(17), aces = pages.at(18);
         const auto start = [](const QByteArray& page, int row) {
             return qFromLittleEndian<quint16>(page.constData() + 14 + 2 * row);
         };
         return catalog.mid(start(catalog, 8), start(catalog, 7) - start(catalog, 8)) +
                aces.mid(start(aces, 16), start(aces, 15) - start(aces, 16));
     },
     "11 00 | 13 00 00 00 | 01 00 00 0f | 01 00 | 02 c9 3a 17 a4 1d e6 40 02 c9 3a 17 a4 1d e6 "
     "40 | 00 00 00 00 | 4c 00 6f 00 67 00 44 00 61 00 74 00 61 00 | 07 e8 | 60 00 00 40 00 17 "
     "00 00 00 00 00 00 | 3c 00 | 3c 00 3c 00 30 00 30 00 30 00 30 00 30 00 30 00 30 00 2e 00 20 "
     "00 | 0b 00 | ff 40 00"
     "04 00 13 00 00 00 ff ff 0f 00 06 ed 0c 00 0a 00 01 00 07"},
    {"global map of 27 pages", [] { return UsageMap::GlobalInlineRow(27).left(9); },
     "00 00 00 00 00 00 00 00 F8"},
    {"map of pages 25 to 27", [] { return UsageMap::InlineRow(25, 3).left(7); },
     "00 18 00 00 00 0E 00"},
};

TEST(JetEncoding, MatchesTheEnginesBytes) {
    for (const Golden& g : kGolden) {
        EXPECT_EQ(g.make().toHex(' '), hex(g.bytes).toHex(' ')) << g.name;
    }
}

TEST(JetEncoding, SystemDefinitionsHaveTheBlanksLengths) {
    const std::pair<Jet::Table, int> tables[] = {
        {Jet::MSysObjects(), 1050},       {Jet::MSysACEs(), 335},
        {Jet::MSysQueries(), 525},        {Jet::MSysRelationships(), 813},
        {Jet::LogDataTable(19, 20), 252}, {Jet::InfoTable(21, 22), 149}};
    for (const auto& [table, length] : tables) {
        EXPECT_EQ(table.Definition().size(), length) << qPrintable(table.Name);
    }
}

// A source of rows given in the test.
JetLogWriter::Source rows(std::vector<LogHeader> info, std::vector<LogRecord> samples) {
    return [info, samples](LogVisitor& v) {
        v.SampleCount(qint64(samples.size()));
        for (const LogHeader& h : info) {
            v.Info(h);
        }
        for (const LogRecord& s : samples) {
            v.Sample(s);
        }
    };
}

// Writes a file as the export does, through an ExportFile; returns its page count.
quint32 writeFile(const QString& path, qint64 announced, const JetLogWriter::Source& source,
                  quint32 mostPages = Jet::kMaxPages) {
    JetLogWriter writer(kExported, mostPages);
    ExportFile out(QString(), path);
    writer.Write(out, announced, source);
    out.Commit();
    return writer.Pages();
}

std::vector<LogRecord> dcSamples(int n) {
    return std::vector<LogRecord>(size_t(n), {"1:02:03 PM", "DC", "V", 12.0, std::nullopt});
}

quint32 page32(const QByteArray& file, quint32 page, int at) {
    return qFromLittleEndian<quint32>(file.constData() + page * 4096 + at);
}

// What the readers do not check: page counts, which pages the maps mark, distinct-key
// counts, the blank's pages kept as they are.
TEST(JetLogWriterFile, LaysOutMapsAndCountsAsTheEngineDoes) {
    struct Case {
        int samples;
        quint32 pages;
        bool referenceMap;
    };
    // 83 rows of 47 bytes a page: 511 data pages still fit the inline map, 512 do not.
    for (const Case c : {Case{0, 25, false}, Case{1, 26, false}, Case{511 * 83, 536, false},
                         Case{512 * 83, 538, true}}) {
        QTemporaryDir dir;
        const QString path = dir.filePath("run.mdb");
        const quint32 pages =
            writeFile(path, c.samples, rows({{"3/7/2004", std::nullopt}}, dcSamples(c.samples)));
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray file = f.readAll();
        ASSERT_EQ(file.size(), qint64(c.pages) * 4096) << c.samples;
        EXPECT_EQ(pages, c.pages);
        if (Jetcheck::MissingReason().isEmpty()) {
            EXPECT_EQ(Jetcheck::Verify(path), QString("ok: 2 tables, %1 rows").arg(c.samples + 1));
        }
        EXPECT_EQ(file.left(4096), JetHeader::Page());
        EXPECT_EQ(page32(file, 19, 0x10), quint32(c.samples)); // LogData's row count
        EXPECT_EQ(page32(file, 21, 0x10), 1u);                 // Info's
        // MSysObjects: 10 rows, 10 distinct keys in both indexes; MSysACEs: 22 rows, 10.
        EXPECT_EQ(page32(file, 2, 0x10), 10u);
        EXPECT_EQ(page32(file, 2, 63 + 4), 10u);
        EXPECT_EQ(page32(file, 2, 63 + 16), 10u);
        EXPECT_EQ(page32(file, 3, 0x10), 22u);
        EXPECT_EQ(page32(file, 3, 63 + 4), 10u);
        // Global map: every page of the file in use, the rest of the map free.
        const auto globalStart = qFromLittleEndian<quint16>(file.constData() + 4096 + 14);
        const QByteArray bitmap = file.mid(4096 + globalStart + 5, 64);
        for (quint32 p = 0; p < 512; ++p) {
            ASSERT_EQ(bool(bitmap[p / 8] & (1 << (p % 8))), p >= c.pages) << c.samples << " " << p;
        }
        // LogData's maps: its kind, and the free-space map naming the last data page.
        const QByteArray maps = file.mid(20 * 4096, 4096);
        const auto owned = qFromLittleEndian<quint16>(maps.constData() + 14);
        const auto free = qFromLittleEndian<quint16>(maps.constData() + 16);
        EXPECT_EQ(maps[owned], char(c.referenceMap ? 1 : 0));
        if (c.samples > 0) {
            const quint32 last = c.pages - 1 - (c.referenceMap ? 1 : 0);
            const quint32 start = qFromLittleEndian<quint32>(maps.constData() + free + 1);
            EXPECT_EQ(start, last / 8 * 8);
            EXPECT_TRUE(maps[free + 5 + int(last - start) / 8] & (1 << ((last - start) % 8)));
        }
    }
}

TEST(JetLogWriterFile, RefusesWhatTheFormatCannotHoldAndLeavesNothing) {
    const LogHeader info{"3/7/2004", "run"};
    auto sample = [](auto change) {
        LogRecord r{"1:02:03 PM", "DC", "V", 1.0, std::nullopt};
        change(r);
        return std::vector<LogRecord>{r, r};
    };
    struct Case {
        const char* name;
        JetLogWriter::Source source;
        const char* message;
        quint32 mostPages = Jet::kMaxPages;
        qint64 announced = 2;
    };
    const Case cases[] = {
        {"long time stamp",
         rows({info}, sample([](LogRecord& r) { r.TimeStamp = "10:11:12 AM x"; })),
         "LogData row 1: TimeStamp is longer than 12 characters"},
        {"null type", rows({info}, sample([](LogRecord& r) { r.Type.reset(); })),
         "LogData row 1: Type is empty (null)"},
        {"long units", rows({info}, sample([](LogRecord& r) { r.Units = "kOhms"; })),
         "LogData row 1: Units is longer than 4 characters"},
        {"beyond single", rows({info}, sample([](LogRecord& r) { r.Dbu = 1e300; })),
         "LogData row 1: dBu 1e+300 is beyond the range of a single-precision number"},
        {"null date", rows({{std::nullopt, "x"}}, dcSamples(2)),
         "Info row 1: Date is empty (null)"},
        {"long comment", rows({{"3/7/2004", QString(256, 'c')}}, dcSamples(2)),
         "Info row 1: Description is longer than 255 characters"},
        {"too many info rows",
         rows(std::vector<LogHeader>(80, {"12/31/2004", QString(20, 'c')}), {}),
         "Info: its 80 rows do not fit the Access format's Info page"},
        {"too large, announced", rows({info}, dcSamples(2000)),
         "The log is too large for the Access format", 40, 2000},
        {"too large, counted", rows({info}, dcSamples(2000)),
         "The log is too large for the Access format", 40, -1},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        const QString path = dir.filePath("run.mdb");
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("an older export");
        old.close();
        try {
            (void)writeFile(path, c.announced, c.source, c.mostPages);
            ADD_FAILURE() << c.name << ": written";
        } catch (const DbError& e) {
            EXPECT_TRUE(e.Detail.startsWith(c.message)) << c.name << ": " << qPrintable(e.Detail);
        }
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"run.mdb"})
            << c.name;
        ASSERT_TRUE(old.open(QIODevice::ReadOnly));
        EXPECT_EQ(old.readAll(), "an older export") << c.name;
        old.close();
    }
    // A log that fits exactly once measured is written.
    QTemporaryDir dir;
    EXPECT_EQ(writeFile(dir.filePath("run.mdb"), -1, rows({info}, dcSamples(2 * 83)), 27), 27u);
    if (Jetcheck::MissingReason().isEmpty()) {
        EXPECT_EQ(Jetcheck::Verify(dir.filePath("run.mdb")), "ok: 2 tables, 167 rows");
    }
}

} // namespace
