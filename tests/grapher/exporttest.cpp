// The exports of a log, below the window: the CSV's bytes, and targets no export may write.
#include "tests/logging/testfiles.h"
#include "tests/support/logmaker.h"

#include "grapher/accessexport.h"
#include "grapher/csvexport.h"
#include "grapher/logcopy.h"

#include <QLocale>
#include <QScopeGuard>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <clocale>
#include <unistd.h>

using namespace qmx;

namespace {

// Written under a German locale (whose decimal comma the file must not take), over an
// earlier export of the same name.
TEST(CsvFile, HoldsTheLogInThePlainLayoutWhateverTheLocale) {
    const struct {
        std::vector<LogSample> samples;
        NullableText description;
        QByteArray csv;
    } cases[] = {
        {{{0.5f, "AC", " V", 2.5f, "9:00:00 AM"},
          {-1.25f, "DC", " V", std::nullopt, "9:00:01 AM"},
          {std::nullopt, "OH", "Ohm", std::nullopt, "9:00:02 AM"}},
         "",
         "12/6/2026,\r\n9:00:00 AM,AC, V,0.5,2.5\r\n9:00:01 AM,DC, V,-1.25,\r\n"
         "9:00:02 AM,OH,Ohm,,\r\n"},
        {{{12345678.0f}, {0.00001f}, {0.0001f}, {1234567.0f}},
         "bench",
         "12/6/2026,bench\r\n9:00:00 AM,DC, V,1.234568E+07,\r\n9:00:00 AM,DC, V,1E-05,\r\n"
         "9:00:00 AM,DC, V,0.0001,\r\n9:00:00 AM,DC, V,1234567,\r\n"},
        {{{3.25f}},
         "rail, \"5 V\"\r\nsecond line",
         "12/6/2026,\"rail, \"\"5 V\"\"\r\nsecond line\"\r\n9:00:00 AM,DC, V,3.25,\r\n"},
    };
    const std::string cBefore = std::setlocale(LC_ALL, nullptr);
    const QLocale qtBefore;
    const auto restore = qScopeGuard([&] {
        QLocale::setDefault(qtBefore);
        std::setlocale(LC_ALL, cBefore.c_str());
    });
    std::setlocale(LC_ALL, "de_DE.UTF-8");
    QLocale::setDefault(QLocale(QLocale::German));
    for (const auto& c : cases) {
        QTemporaryDir dir;
        const QString log = dir.filePath("run1.qmx");
        MakeLog(log, c.samples, "12/6/2026", c.description);
        WriteFile(dir.filePath("run1.csv"), "an earlier export");
        CsvExport(log, CsvExport::TargetFor(log)).Run();
        EXPECT_EQ(ContentsOf(dir.filePath("run1.csv")), c.csv);
    }
}

// An earlier export at a path, which the user may not write when read-only.
void earlierExport(const QString& path, bool readOnly = false) {
    WriteFile(path, "an earlier export");
    if (readOnly) {
        QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    }
}

// Each export onto a target it must not write over, made beside the log: the log itself, a
// link to it, a read-only file, and for the CSV (the copy reads no rows, so only it can fail
// half-way) an earlier export of a log that no longer reads. The export fails, with the
// file error number where one is given, and no file changes, none is left behind.
TEST(ExportTargets, FailAndLeaveEveryFileAsItWas) {
    const struct {
        const char* name;
        const char* log;    // the log's file name
        const char* target; // the export's target
        void (*make)(const QString& log, const QString& target);
        int code = DbError::kPermissionDenied; // 0: any failure
        std::vector<const char*> kinds = {"csv", "copy", "access"};
    } targets[] = {
        {"TheLogItself", "run.csv", "run.csv", [](auto&, auto&) {}},
        {"ALinkToTheLog", "run1.qmx", "out", [](auto& log, auto& out) { QFile::link(log, out); }},
        {"AHardLinkToTheLog", "run1.qmx", "out",
         [](auto& log, auto& out) { ::link(qPrintable(log), qPrintable(out)); }},
        {"AReadOnlyFile", "run1.qmx", "out", [](auto&, auto& out) { earlierExport(out, true); }},
        {"AnEarlierExportOfALogThatNoLongerReads",
         "run1.qmx",
         "out",
         [](auto& log, auto& out) {
             earlierExport(out);
             QFile::resize(log, 0);
         },
         0,
         {"csv"}},
    };
    for (const auto& t : targets) {
        for (const std::string kind : t.kinds) {
            SCOPED_TRACE(kind + " " + t.name);
            QTemporaryDir dir;
            const QString log = dir.filePath(t.log);
            const QString out = dir.filePath(t.target);
            MakeLog(log, Ramp(5, [](int k) { return float(k); }));
            t.make(log, out);
            const auto before = FilesIn(dir.path());
            const int code = ErrorCodeOf([&] {
                if (kind == "csv") {
                    CsvExport(log, out).Run();
                } else if (kind == "copy") {
                    CopyLogFile(log, out);
                } else {
                    ExportAccessFile(log, out);
                }
            });
            EXPECT_NE(code, 0) << "the export must fail";
            if (t.code != 0) {
                EXPECT_EQ(code, t.code);
            }
            EXPECT_EQ(FilesIn(dir.path()), before) << "no file changed, none left behind";
        }
    }
}

} // namespace
