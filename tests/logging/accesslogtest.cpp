// Access-format logs: the writer (a row against the database engine's bytes, the layout of
// a whole file, the logs it refuses), the export judged by jetcheck and mdbtools, the earlier
// version's sample logs read, imported, graphed and exported, damaged files and a failing
// reader refused.
#include "grapher/accessexport.h"
#include "grapher/csvexport.h"
#include "grapher/logdocument.h"
#include "logging/accesslogreader.h"
#include "logging/dberror.h"
#include "logging/exportfile.h"
#include "logging/jet4/jetbytes.h"
#include "logging/jet4/jetheader.h"
#include "logging/jet4/jetlogwriter.h"
#include "logging/jet4/rowencoder.h"
#include "logging/jet4/tabledefinition.h"
#include "logging/logreader.h"
#include "tests/support/jetcheck.h"
#include "tests/support/logmaker.h"
#include "tests/support/testfiles.h"

#include <QElapsedTimer>
#include <QProcess>
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
quint32 writeJetFile(const QString& path, qint64 announced, const JetLogWriter::Source& source,
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
            writeJetFile(path, c.samples, rows({{"3/7/2004", std::nullopt}}, dcSamples(c.samples)));
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
            (void)writeJetFile(path, c.announced, c.source, c.mostPages);
            ADD_FAILURE() << c.name << ": written";
        } catch (const DbError& e) {
            EXPECT_TRUE(e.Detail.startsWith(c.message)) << c.name << ": " << qPrintable(e.Detail);
        }
        EXPECT_EQ(FilesIn(dir.path()),
                  (std::map<QString, QByteArray>{{"run.mdb", "an older export"}}))
            << c.name;
    }
    // A log that fits exactly once measured is written.
    QTemporaryDir dir;
    EXPECT_EQ(writeJetFile(dir.filePath("run.mdb"), -1, rows({info}, dcSamples(2 * 83)), 27), 27u);
    if (Jetcheck::MissingReason().isEmpty()) {
        EXPECT_EQ(Jetcheck::Verify(dir.filePath("run.mdb")), "ok: 2 tables, 167 rows");
    }
}

std::vector<LogSample> manySamples(int n) {
    std::vector<LogSample> s;
    for (int k = 0; k < n; ++k) {
        s.push_back({float(k) / 7.0f, "Temp", "Mohm", float(-k), "10:15:42 AM"});
    }
    return s;
}

// Each table's name and columns (types, widths, required) in a dump.
QJsonArray schemaOf(const QJsonObject& dump) {
    QJsonArray tables;
    for (const QJsonValue t : dump["tables"].toArray()) {
        tables.append(QJsonArray{t["name"], t["columns"]});
    }
    return tables;
}

struct ToolRun {
    int status;
    QString err;
    QByteArray out;
};

ToolRun qmxtool(const QStringList& args) {
    QProcess p;
    p.start(QString(QMX_BIN_DIR) + "/qmxtool", args);
    p.waitForFinished(60000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardError()), p.readAllStandardOutput()};
}

// Each log exported by qmxtool mdb under its default name: jetcheck and mdbtools read its
// rows, as does our own reader.
TEST(AccessExport, JetcheckAndMdbtoolsReadTheLogsRows) {
    SKIP_WITHOUT_JETCHECK();
    const struct {
        const char* name;
        std::vector<LogSample> samples;
        NullableText description = "bench";
        QString date = "12/6/2026";
    } cases[] = {
        {"empty log", {}},
        {"nulls in every nullable column",
         {{std::nullopt, "OH", std::nullopt, std::nullopt}, {1.0f, "AC", "", std::nullopt}},
         std::nullopt},
        {"longest texts",
         {{2.0f, "Temp", "Mohm", 1.5f, "12:59:59 PMx"}},
         QString(255, 'w'),
         "12/31/2004 12:00:00X"},
        {"non-ASCII comment", {{3.0f, "DC", "µV"}}, "Bench 3, \"µ\" — 20 °C\r\nzweite Zeile 😀"},
        {"extreme values",
         {{1e-30f, "DC", "V", 3.4e38f},
          {-3.4e38f, "DC", "V", -1e-30f},
          {std::numeric_limits<float>::infinity(), "DC", "V", 1.4e-45f}}},
        // 66 rows of this size a page: more than 512 pages, a reference map.
        {"40,000 rows", manySamples(40000)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString log = dir.filePath("run1.qmx"), mdb = dir.filePath("run1.mdb");
        MakeLog(log, c.samples, c.date, c.description);
        const LogContents source = ReadWholeLog(log);
        ASSERT_EQ(qmxtool({"mdb", log}).status, 0);
        EXPECT_EQ(Jetcheck::Verify(mdb),
                  QString("ok: 2 tables, %1 rows").arg(source.samples.size() + 1));
        const QJsonObject dump = Jetcheck::Dump(mdb);
        // The tables of the earlier version's logs, column for column.
        EXPECT_EQ(schemaOf(dump), schemaOf(Jetcheck::Expected("dc-small")));
        EXPECT_EQ(Jetcheck::Rows(dump, "Info"), Jetcheck::AsRows(source.info));
        EXPECT_EQ(Jetcheck::Rows(dump, "LogData"), Jetcheck::AsRows(source.samples));
        EXPECT_TRUE(Jetcheck::MdbExportReads(mdb, source.samples));
        // Our own reader, through the helper, gives the log back exactly.
        const LogContents back = ReadWholeLog(mdb);
        EXPECT_EQ(Jetcheck::AsRows(back.samples), Jetcheck::AsRows(source.samples));
        EXPECT_EQ(Jetcheck::AsRows(back.info), Jetcheck::AsRows(source.info));
    }
}

void expectRowsOf(const QString& name, const LogContents& log) {
    const QJsonObject want = Jetcheck::Expected(name);
    const bool doubles = name == "doubles";
    EXPECT_EQ(Jetcheck::AsRows(log.info), Jetcheck::Rows(want, "Info")) << qPrintable(name);
    const QJsonArray rows = Jetcheck::AsRows(log.samples, doubles);
    const QJsonArray wanted = Jetcheck::Rows(want, "LogData");
    ASSERT_EQ(rows.size(), wanted.size()) << qPrintable(name);
    for (qsizetype i = 0; i < rows.size(); ++i) {
        ASSERT_EQ(rows[i], wanted[i]) << qPrintable(name) << " row " << i;
    }
}

// Each of the earlier version's logs: read, imported, opened for the graph (every sample as
// stored, read-only), exported as CSV and copied, and through qmxtool info, as a log of this
// program with the same rows would be. An empty one is refused as an empty log is.
TEST(LegacyLogs, ReadImportedGraphedAndExportedGiveTheirExpectedRows) {
    SKIP_WITHOUT_LEGACY_LOGS();
    QTemporaryDir dir;
    for (const char* name : Jetcheck::kLegacyLogs) {
        SCOPED_TRACE(name);
        const QString old = Jetcheck::LegacyLogs() + "/" + name + ".qmx";
        const QJsonObject want = Jetcheck::Expected(name);
        const std::vector<LogRecord> rows = Jetcheck::Samples(want);
        EXPECT_TRUE(LogReader::IsAccessFormat(old));
        expectRowsOf(name, ReadWholeLog(old));
        const QString imported = dir.filePath(QString(name) + ".qmx");
        ASSERT_EQ(qmxtool({"import", old, imported}).status, 0);
        EXPECT_FALSE(LogReader::IsAccessFormat(imported));
        expectRowsOf(name, ReadWholeLog(imported));
        if (rows.empty()) {
            EXPECT_EQ(ErrorCodeOf([&] { LogDocument{old}; }), DbError::kNoCurrentRow);
        } else {
            const LogDocument doc(old);
            EXPECT_EQ(doc.WhyReadOnly(), LogDocument::ReadOnlyReason::AccessFormat);
            EXPECT_EQ(doc.Date(), Jetcheck::Info(want)[0].Date.value_or(""));
            ASSERT_EQ(doc.Count(), qint32(rows.size()));
            for (qint32 p = 1; p <= doc.Count(); ++p) {
                const LogDocument::Sample s = doc.Read(p);
                const LogRecord& r = rows[size_t(p - 1)];
                ASSERT_TRUE(s.TimeStamp == r.TimeStamp.value_or("") &&
                            s.Type == r.Type.value_or("") && s.Units == r.Units.value_or("") &&
                            s.Value == SampleNumber(r.Value) && s.Dbu == SampleNumber(r.Dbu))
                    << "sample " << p;
            }
        }
        const QString base = dir.filePath(name);
        CsvExport(old, base + ".csv").Run();
        EXPECT_EQ(ContentsOf(base + ".csv"), CsvOf(Jetcheck::Info(want), rows));
        ExportAccessFile(old, base + ".mdb");
        EXPECT_EQ(ContentsOf(base + ".mdb"), ContentsOf(old)) << "a copy byte for byte";
        const ToolRun info = qmxtool({"info", old, "--json"});
        const ToolRun sqliteInfo = qmxtool({"info", imported, "--json"});
        EXPECT_EQ(info.out, sqliteInfo.out);
        EXPECT_EQ(info.status, sqliteInfo.status);
        if (!rows.empty()) {
            EXPECT_TRUE(info.out.contains(QString("\"samples\":%1,").arg(rows.size()).toUtf8()))
                << info.out.constData();
        }
    }
    // A new log is never written over an existing file.
    const QByteArray kept = ContentsOf(dir.filePath("edited.qmx"));
    const ToolRun again =
        qmxtool({"import", Jetcheck::LegacyLogs() + "/dc-small.qmx", dir.filePath("edited.qmx")});
    EXPECT_EQ(again.status, 1);
    EXPECT_TRUE(again.err.endsWith(": the file already exists\n")) << qPrintable(again.err);
    EXPECT_EQ(ContentsOf(dir.filePath("edited.qmx")), kept);
}

// Counts the rows a reader gives.
struct CountRows : LogVisitor {
    int rows = 0;
    void Info(const LogHeader&) override {}
    void Sample(const LogRecord&) override { ++rows; }
};

// Expects the not-readable error, in well under the time the limit allows.
void expectNotReadable(const QString& path, const AccessLogReader& reader, const QString& name) {
    QElapsedTimer clock;
    clock.start();
    CountRows count;
    try {
        reader.Read(path, count);
        ADD_FAILURE() << qPrintable(name) << ": read";
    } catch (const DbError& e) {
        EXPECT_EQ(e.Code, DbError::kUnreadableLog) << qPrintable(name);
        EXPECT_TRUE(e.Detail.startsWith("not a readable log (")) << qPrintable(name + e.Detail);
    }
    EXPECT_LT(clock.elapsed(), 8000) << qPrintable(name);
}

// Damaged files, and a reader helper that hangs, crashes, writes nonsense, stops short,
// needs more memory than allowed or is missing: each ends in the not-readable error.
TEST(AccessLogReader, DamagedFilesAndAFailingReaderEndInTheSameError) {
    QTemporaryDir dir;
    const QString log = dir.filePath("run.qmx"), mdb = dir.filePath("run.mdb");
    MakeLog(log, manySamples(1000));
    ExportAccessFile(log, mdb);
    for (const auto& [name, bytes] : DamagedCopies(ContentsOf(mdb), 1000)) {
        const QString path = WriteFile(dir.filePath("damaged.qmx"), bytes);
        EXPECT_TRUE(LogReader::IsAccessFormat(path));
        expectNotReadable(path, AccessLogReader(), name);
    }
    const QString small = dir.filePath("small.qmx"), smallMdb = dir.filePath("small.mdb");
    MakeLog(small, manySamples(10));
    ExportAccessFile(small, smallMdb);
    const QString real = AccessLogReader::FindHelper();
    ASSERT_FALSE(real.isEmpty());
    const AccessLogReader::Limits tight{std::chrono::milliseconds(3000),
                                        std::chrono::milliseconds(1500), qint64(64) << 20};
    const QByteArray hungry = "#!/bin/sh\nx=$(head -c 100000000 /dev/zero | tr '\\0' a)\nexec \"" +
                              real.toUtf8() + "\" \"$1\"\n";
    const std::pair<const char*, QByteArray> readers[] = {
        {"hangs", "#!/bin/sh\nexec sleep 30\n"},
        {"crashes", "#!/bin/sh\nkill -SEGV $$\n"},
        {"writes nonsense", "#!/bin/sh\necho hello\n"},
        {"stops short", "#!/bin/sh\n\"" + real.toUtf8() + "\" \"$1\" | head -c 300\n"},
        {"needs more memory than allowed", hungry},
    };
    const QString script = dir.filePath("reader.sh");
    for (const auto& [name, text] : readers) {
        expectNotReadable(smallMdb,
                          AccessLogReader(WriteFile(script, text, QFile::ExeOwner), tight), name);
    }
    expectNotReadable(smallMdb, AccessLogReader(QString()), "not installed");
    // The stand-in that needs memory reads the log when the limit allows it.
    CountRows count;
    AccessLogReader(WriteFile(script, hungry, QFile::ExeOwner), AccessLogReader::LimitsFor(0))
        .Read(smallMdb, count);
    EXPECT_EQ(count.rows, 10);
}

} // namespace
