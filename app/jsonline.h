#pragma once

#include <QString>

#include <optional>

namespace qmx {

// Builds one JSON object on one line, keys in the order they are added. Numbers are
// written in the shortest form that reads back to the same float or double.
class JsonLine {
public:
    JsonLine& Text(const char* key, const QString& value);
    JsonLine& Bool(const char* key, bool value);
    JsonLine& Float(const char* key, std::optional<float> value);
    JsonLine& Double(const char* key, std::optional<double> value);
    JsonLine& Integer(const char* key, qint64 value);
    // A value written in JSON already: an object, an array or null.
    JsonLine& Json(const char* key, const QByteArray& json) { return raw(key, json); }
    [[nodiscard]] QByteArray Finish() const;

    [[nodiscard]] static QByteArray Quoted(const QString& text);

private:
    JsonLine& raw(const char* key, const QByteArray& value);
    QByteArray body_;
};

} // namespace qmx
