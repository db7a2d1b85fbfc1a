#include "tests/support/jetcheck.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QProcess>
#include <QStandardPaths>

#include <cmath>
#include <cstring>

namespace qmx {

namespace Jetcheck {

namespace {

constexpr int kCheckMs = 100000;

QString jar() {
    return qEnvironmentVariable("QMX_JETCHECK_DIR", QMX_JETCHECK_DIR) + "/jetcheck.jar";
}

QByteArray run(const QStringList& args, QString* error = nullptr) {
    QProcess java;
    java.start("java", QStringList{"-jar", jar()} + args);
    java.waitForFinished(kCheckMs);
    if (error != nullptr) {
        *error = QString::fromUtf8(java.readAllStandardError()).trimmed();
    }
    return java.exitCode() == 0 ? java.readAllStandardOutput() : QByteArray();
}

QJsonValue text(const NullableText& t) {
    return t ? QJsonValue(*t) : QJsonValue(QJsonValue::Null);
}

QJsonValue bits(const std::optional<double>& v, bool doubles) {
    if (!v) {
        return QJsonValue::Null;
    }
    if (doubles) {
        quint64 b;
        std::memcpy(&b, &*v, 8);
        return QJsonObject{{"f64bits", QString("0x%1").arg(b, 16, 16, QChar('0'))}};
    }
    const auto f = float(*v);
    quint32 b;
    std::memcpy(&b, &f, 4);
    return QJsonObject{{"f32bits", QString("0x%1").arg(b, 8, 16, QChar('0'))}};
}

NullableText textOf(const QJsonValue& v) {
    return v.isNull() ? NullableText() : NullableText(v.toString());
}

std::optional<double> numberOf(const QJsonValue& v) {
    if (v.isNull()) {
        return std::nullopt;
    }
    bool ok = false;
    if (v["f64bits"].isString()) {
        const quint64 b = v["f64bits"].toString().toULongLong(&ok, 16);
        double d;
        std::memcpy(&d, &b, 8);
        return d;
    }
    const auto b = quint32(v["f32bits"].toString().toULong(&ok, 16));
    float f;
    std::memcpy(&f, &b, 4);
    return double(f);
}

} // namespace

QString MissingReason() {
    if (QStandardPaths::findExecutable("java").isEmpty()) {
        return "no Java runtime (install default-jre-headless) to run jetcheck";
    }
    if (!QFileInfo::exists(jar())) {
        return "jetcheck not found at " + jar() + " (set QMX_JETCHECK_DIR)";
    }
    return {};
}

QString Verify(const QString& file) {
    QString error;
    const QByteArray out = run({"verify", file}, &error);
    return out.isEmpty() ? error : QString::fromUtf8(out).trimmed();
}

QJsonObject Dump(const QString& file) {
    return QJsonDocument::fromJson(run({"dump", file})).object();
}

QJsonArray Rows(const QJsonObject& dump, const QString& table) {
    for (const QJsonValue t : dump["tables"].toArray()) {
        if (t["name"].toString() != table) {
            continue;
        }
        QJsonArray rows;
        for (const QJsonValue r : t["rows"].toArray()) {
            QJsonArray row;
            for (QJsonValue v : r.toArray()) {
                QJsonObject o = v.toObject();
                o.remove("text");
                row.append(v.isObject() ? QJsonValue(o) : v);
            }
            rows.append(row);
        }
        return rows;
    }
    return {};
}

QJsonArray AsRows(const std::vector<LogRecord>& samples, bool doubles) {
    QJsonArray rows;
    for (const LogRecord& s : samples) {
        rows.append(QJsonArray{text(s.TimeStamp), text(s.Type), text(s.Units),
                               bits(s.Value, doubles), bits(s.Dbu, doubles)});
    }
    return rows;
}

QJsonArray AsRows(const std::vector<LogHeader>& info) {
    QJsonArray rows;
    for (const LogHeader& h : info) {
        rows.append(QJsonArray{text(h.Date), text(h.Description)});
    }
    return rows;
}

std::vector<LogRecord> Samples(const QJsonObject& dump) {
    std::vector<LogRecord> samples;
    for (const QJsonValue r : Rows(dump, "LogData")) {
        samples.push_back(
            {textOf(r[0]), textOf(r[1]), textOf(r[2]), numberOf(r[3]), numberOf(r[4])});
    }
    return samples;
}

std::vector<LogHeader> Info(const QJsonObject& dump) {
    std::vector<LogHeader> info;
    for (const QJsonValue r : Rows(dump, "Info")) {
        info.push_back({textOf(r[0]), textOf(r[1])});
    }
    return info;
}

::testing::AssertionResult MdbExportReads(const QString& file,
                                          const std::vector<LogRecord>& samples) {
    QProcess mdb;
    mdb.start("mdb-export", {"-H", "-d", "\t", "-q", "", file, "LogData"});
    if (!mdb.waitForFinished(kCheckMs) || mdb.exitCode() != 0) {
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

QJsonObject Expected(const QString& name) {
    QFile f(LegacyLogs() + "/" + name + ".expected.json");
    return f.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(f.readAll()).object()
                                       : QJsonObject();
}

QString LegacyLogs() {
    return qEnvironmentVariable("QMX_LEGACY_LOGS", QMX_LEGACY_LOGS);
}

} // namespace Jetcheck

} // namespace qmx
