#pragma once

#include "logging/logrecord.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QString>

#include <gtest/gtest.h>

#include <bit>
#include <cmath>

namespace qmx {

// jetcheck, the independent checker of Access-format files (a Java program beside the
// project, or where the environment variable QMX_JETCHECK_DIR says), and the sample logs
// of the earlier version (QMX_LEGACY_LOGS).
namespace Jetcheck {

namespace detail {

inline QString jar() {
    return qEnvironmentVariable("QMX_JETCHECK_DIR", QMX_JETCHECK_DIR) + "/jetcheck.jar";
}

inline QByteArray run(const QStringList& args, QString* error = nullptr) {
    QProcess java;
    java.start("java", QStringList{"-jar", jar()} + args);
    java.waitForFinished(100000);
    if (error != nullptr) {
        *error = QString::fromUtf8(java.readAllStandardError()).trimmed();
    }
    return java.exitCode() == 0 ? java.readAllStandardOutput() : QByteArray();
}

inline QJsonValue text(const NullableText& t) {
    return t ? QJsonValue(*t) : QJsonValue(QJsonValue::Null);
}

inline QJsonValue bits(const std::optional<double>& v, bool doubles) {
    if (!v) {
        return QJsonValue::Null;
    }
    if (doubles) {
        const auto b = std::bit_cast<quint64>(*v);
        return QJsonObject{{"f64bits", QString("0x%1").arg(b, 16, 16, QChar('0'))}};
    }
    const auto b = std::bit_cast<quint32>(float(*v));
    return QJsonObject{{"f32bits", QString("0x%1").arg(b, 8, 16, QChar('0'))}};
}

inline NullableText textOf(const QJsonValue& v) {
    return v.isNull() ? NullableText() : NullableText(v.toString());
}

inline std::optional<double> numberOf(const QJsonValue& v) {
    if (v.isNull()) {
        return std::nullopt;
    }
    if (v["f64bits"].isString()) {
        return std::bit_cast<double>(v["f64bits"].toString().toULongLong(nullptr, 16));
    }
    return std::bit_cast<float>(quint32(v["f32bits"].toString().toULong(nullptr, 16)));
}

} // namespace detail

// Why the checker cannot run here; empty when it can.
[[nodiscard]] inline QString MissingReason() {
    if (QStandardPaths::findExecutable("java").isEmpty()) {
        return "no Java runtime (install default-jre-headless) to run jetcheck";
    }
    if (!QFileInfo::exists(detail::jar())) {
        return "jetcheck not found at " + detail::jar() + " (set QMX_JETCHECK_DIR)";
    }
    return {};
}

// "ok: N tables, M rows", or the checker's error line.
[[nodiscard]] inline QString Verify(const QString& file) {
    QString error;
    const QByteArray out = detail::run({"verify", file}, &error);
    return out.isEmpty() ? error : QString::fromUtf8(out).trimmed();
}

// The checker's dump of the file; an empty object when it fails.
[[nodiscard]] inline QJsonObject Dump(const QString& file) {
    return QJsonDocument::fromJson(detail::run({"dump", file})).object();
}

// The rows of a table of a dump, values as the dump gives them without their "text".
[[nodiscard]] inline QJsonArray Rows(const QJsonObject& dump, const QString& table) {
    QJsonArray rows;
    for (const QJsonValue t : dump["tables"].toArray()) {
        for (const QJsonValue r :
             t["name"].toString() == table ? t["rows"].toArray() : QJsonArray()) {
            QJsonArray row;
            for (QJsonValue v : r.toArray()) {
                QJsonObject o = v.toObject();
                o.remove("text");
                row.append(v.isObject() ? QJsonValue(o) : v);
            }
            rows.append(row);
        }
    }
    return rows;
}

// The rows as a dump shows them: numbers by their single (or double) bits.
[[nodiscard]] inline QJsonArray AsRows(const std::vector<LogRecord>& samples,
                                       bool doubles = false) {
    QJsonArray rows;
    for (const LogRecord& s : samples) {
        rows.append(QJsonArray{detail::text(s.TimeStamp), detail::text(s.Type),
                               detail::text(s.Units), detail::bits(s.Value, doubles),
                               detail::bits(s.Dbu, doubles)});
    }
    return rows;
}
[[nodiscard]] inline QJsonArray AsRows(const std::vector<LogHeader>& info) {
    QJsonArray rows;
    for (const LogHeader& h : info) {
        rows.append(QJsonArray{detail::text(h.Date), detail::text(h.Description)});
    }
    return rows;
}

// The rows of a dump's tables as the program's reader gives them.
[[nodiscard]] inline std::vector<LogRecord> Samples(const QJsonObject& dump) {
    std::vector<LogRecord> samples;
    for (const QJsonValue r : Rows(dump, "LogData")) {
        samples.push_back({detail::textOf(r[0]), detail::textOf(r[1]), detail::textOf(r[2]),
                           detail::numberOf(r[3]), detail::numberOf(r[4])});
    }
    return samples;
}
[[nodiscard]] inline std::vector<LogHeader> Info(const QJsonObject& dump) {
    std::vector<LogHeader> info;
    for (const QJsonValue r : Rows(dump, "Info")) {
        info.push_back({detail::textOf(r[0]), detail::textOf(r[1])});
    }
    return info;
}

// Whether mdbtools' mdb-export reads the samples from a file's LogData (texts exact,
// null and empty alike; singles within one step of their last digit).
[[nodiscard]] inline ::testing::AssertionResult
MdbExportReads(const QString& file, const std::vector<LogRecord>& samples) {
    QProcess mdb;
    mdb.start("mdb-export", {"-H", "-d", "\t", "-q", "", file, "LogData"});
    if (!mdb.waitForFinished(100000) || mdb.exitCode() != 0) {
        return ::testing::AssertionFailure()
               << "mdb-export failed: " << mdb.readAllStandardError().constData();
    }
    const QList<QByteArray> lines = mdb.readAllStandardOutput().split('\n');
    if (lines.size() != qsizetype(samples.size()) + 1) {
        return ::testing::AssertionFailure() << "mdb-export read " << lines.size() - 1 << " rows";
    }
    const auto close = [](const QByteArray& field, const std::optional<double>& v) {
        if (!v) {
            return field.isEmpty();
        }
        const auto want = float(*v), got = field.toFloat();
        return got == want || std::nextafter(got, want) == want;
    };
    for (size_t i = 0; i < samples.size(); ++i) {
        const QList<QByteArray> f = lines[qsizetype(i)].split('\t');
        const LogRecord& s = samples[i];
        if (f.size() != 5 || f[0] != s.TimeStamp.value_or("").toUtf8() ||
            f[1] != s.Type.value_or("").toUtf8() || f[2] != s.Units.value_or("").toUtf8() ||
            !close(f[3], s.Value) || !close(f[4], s.Dbu)) {
            return ::testing::AssertionFailure()
                   << "mdb-export row " << i << ": " << lines[qsizetype(i)].constData();
        }
    }
    return ::testing::AssertionSuccess();
}

// The sample logs of the earlier version, by name ("dc-small" for dc-small.qmx), and the
// dump of each that says what it holds.
[[nodiscard]] inline QString LegacyLogs() {
    return qEnvironmentVariable("QMX_LEGACY_LOGS", QMX_LEGACY_LOGS);
}
inline const char* const kLegacyLogs[] = {"dc-small", "ac-dbu", "mixed-nulls", "doubles",
                                          "big-40k",  "edited", "empty-log"};
[[nodiscard]] inline QJsonObject Expected(const QString& name) {
    QFile f(LegacyLogs() + "/" + name + ".expected.json");
    return f.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(f.readAll()).object()
                                       : QJsonObject();
}

} // namespace Jetcheck

#define SKIP_WITHOUT_LEGACY_LOGS()                                                                 \
    if (!QFileInfo::exists(Jetcheck::LegacyLogs() + "/dc-small.qmx"))                              \
    GTEST_SKIP() << "no sample logs at " << qPrintable(Jetcheck::LegacyLogs())                     \
                 << " (set QMX_LEGACY_LOGS)"

#define SKIP_WITHOUT_JETCHECK()                                                                    \
    if (const QString why = Jetcheck::MissingReason(); !why.isEmpty())                             \
    GTEST_SKIP() << qPrintable(why)

} // namespace qmx
