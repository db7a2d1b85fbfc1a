// The Access-format writer: a row against the database engine's bytes, the layout of a
// whole file, and the logs it refuses.
#include "logging/dberror.h"
#include "logging/exportfile.h"
#include "logging/jet4/jetbytes.h"
#include "logging/jet4/jetheader.h"
#include "logging/jet4/jetlogwriter.h"
#include "logging/jet4/rowencoder.h"
#include "logging/jet4/tabledefinition.h"
#include "tests/logging/testfiles.h"
#include "tests/support/jetcheck.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

using namespace qmx;

namespace {

const QDateTime kExported(QDate(2024, 1, 2), QTime(3, 4, 5));

// One row against the engine's bytes; whole files are judged by the checker below.
TEST(JetEncoding, ARowMatchesTheEnginesBytes) {
    const QByteArray texts[] = {Jet::Utf16("1:02:03 PM"), Jet::Utf16("DC"), Jet::Utf16("V")};
    const QByteArray twelve("\x00\x00\x40\x41", 4); // 12.0 as a single
    const std::vector<Jet::Field> fields = {
        {true, texts[0]}, {true, texts[1]}, {true, texts[2]}, {true, twelve}, {false, {}}};
    QByteArray bytes;
    Jet::EncodeRow(Jet::LogDataTable(19, 20), fields, bytes);
    EXPECT_EQ(bytes.toHex(' '), "05 00 00 00 40 41 00 00 00 00 31 00 3a 00 30 00 32 00 3a 00 30 "
                                "00 33 00 20 00 50 00 4d 00 44 00 43 00 56 00 24 00 22 00 1e 00 "
                                "0a 00 03 00 0f");
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
        const QByteArray file = ContentsOf(path);
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
        WriteFile(path, "an older export");
        try {
            (void)writeFile(path, c.announced, c.source, c.mostPages);
            ADD_FAILURE() << c.name << ": written";
        } catch (const DbError& e) {
            EXPECT_TRUE(e.Detail.startsWith(c.message)) << c.name << ": " << qPrintable(e.Detail);
        }
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"run.mdb"})
            << c.name;
        EXPECT_EQ(ContentsOf(path), "an older export") << c.name;
    }
    // A log that fits exactly once measured is written.
    QTemporaryDir dir;
    EXPECT_EQ(writeFile(dir.filePath("run.mdb"), -1, rows({info}, dcSamples(2 * 83)), 27), 27u);
    if (Jetcheck::MissingReason().isEmpty()) {
        EXPECT_EQ(Jetcheck::Verify(dir.filePath("run.mdb")), "ok: 2 tables, 167 rows");
    }
}

} // namespace
