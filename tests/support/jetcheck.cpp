#include "tests/support/jetcheck.h"

#include <QFileInfo>
#include <QJsonDocument>
#include <QProcess>
#include <QStandardPaths>

#include <cstring>

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

QString LegacyLogs() {
    return qEnvironmentVariable("QMX_LEGACY_LOGS", QMX_LEGACY_LOGS);
}

} // namespace Jetcheck
