#pragma once

#include "logging/logrecord.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QString>

#include <gtest/gtest.h>

namespace qmx {

// jetcheck, the independent checker of Access-format files (a Java program beside the
// project, or where the environment variable QMX_JETCHECK_DIR says), and the sample logs
// of the earlier version (QMX_LEGACY_LOGS).
namespace Jetcheck {

// Why the checker cannot run here; empty when it can.
[[nodiscard]] QString MissingReason();
// "ok: N tables, M rows", or the checker's error line.
[[nodiscard]] QString Verify(const QString& file);
// The checker's dump of the file; an empty object when it fails.
[[nodiscard]] QJsonObject Dump(const QString& file);
// The rows of a table of a dump, values as the dump gives them without their "text".
[[nodiscard]] QJsonArray Rows(const QJsonObject& dump, const QString& table);
// The rows as a dump shows them: numbers by their single (or double) bits.
[[nodiscard]] QJsonArray AsRows(const std::vector<LogRecord>& samples, bool doubles = false);
[[nodiscard]] QJsonArray AsRows(const std::vector<LogHeader>& info);
// The rows of a dump's tables as the program's reader gives them.
[[nodiscard]] std::vector<LogRecord> Samples(const QJsonObject& dump);
[[nodiscard]] std::vector<LogHeader> Info(const QJsonObject& dump);
// Whether mdbtools' mdb-export reads the samples from a file's LogData (texts exact,
// null and empty alike; singles within one step of their last digit).
[[nodiscard]] ::testing::AssertionResult MdbExportReads(const QString& file,
                                                        const std::vector<LogRecord>& samples);

// The sample logs of the earlier version, by name ("dc-small" for dc-small.qmx), and the
// dump of each that says what it holds.
[[nodiscard]] QString LegacyLogs();
inline const char* const kLegacyLogs[] = {"dc-small", "ac-dbu", "mixed-nulls", "doubles",
                                          "big-40k",  "edited", "empty-log"};
[[nodiscard]] QJsonObject Expected(const QString& name);

} // namespace Jetcheck

#define SKIP_WITHOUT_LEGACY_LOGS()                                                                 \
    if (!QFileInfo::exists(Jetcheck::LegacyLogs() + "/dc-small.qmx"))                              \
    GTEST_SKIP() << "no sample logs at " << qPrintable(Jetcheck::LegacyLogs())                     \
                 << " (set QMX_LEGACY_LOGS)"

#define SKIP_WITHOUT_JETCHECK()                                                                    \
    if (const QString why = Jetcheck::MissingReason(); !why.isEmpty())                             \
    GTEST_SKIP() << qPrintable(why)

} // namespace qmx
