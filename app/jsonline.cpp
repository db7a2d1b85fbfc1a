#include "app/jsonline.h"

#include <charconv>
#include <cmath>

namespace qmx {

namespace {

template <typename T> QByteArray shortest(std::optional<T> value) {
    if (!value || !std::isfinite(*value)) {
        return "null";
    }
    char buf[64];
    const auto result = std::to_chars(buf, buf + sizeof buf, *value);
    return QByteArray(buf, int(result.ptr - buf));
}

} // namespace

QByteArray JsonLine::Quoted(const QString& text) {
    QByteArray out = "\"";
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == '"' || u == '\\') {
            out += '\\';
            out += char(u);
        } else if (u < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", unsigned(u));
            out += buf;
        } else {
            out += QString(c).toUtf8();
        }
    }
    return out + '"';
}

JsonLine& JsonLine::raw(const char* key, const QByteArray& value) {
    if (!body_.isEmpty()) {
        body_ += ',';
    }
    body_ += Quoted(QString::fromLatin1(key)) + ':' + value;
    return *this;
}

JsonLine& JsonLine::Text(const char* key, const QString& value) {
    return raw(key, Quoted(value));
}

JsonLine& JsonLine::Bool(const char* key, bool value) {
    return raw(key, value ? "true" : "false");
}

JsonLine& JsonLine::Float(const char* key, std::optional<float> value) {
    return raw(key, shortest(value));
}

JsonLine& JsonLine::Double(const char* key, std::optional<double> value) {
    return raw(key, shortest(value));
}

JsonLine& JsonLine::Integer(const char* key, qint64 value) {
    return raw(key, QByteArray::number(value));
}

QByteArray JsonLine::Finish() const {
    return '{' + body_ + '}';
}

} // namespace qmx
