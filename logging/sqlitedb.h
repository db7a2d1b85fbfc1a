#pragma once

#include <QString>
#include <QVariant>

#include <memory>
#include <optional>

struct sqlite3;
struct sqlite3_stmt;

namespace qmx {

// A prepared statement; steps through its rows.
class Statement {
public:
    Statement(sqlite3* db, sqlite3_stmt* stmt) : db_(db), stmt_(stmt, &finalize) {}

    // 1-based. Only these types: a number or text is never guessed from a variant.
    Statement& Bind(int index, qint64 value);
    Statement& Bind(int index, double value);
    Statement& Bind(int index, const QString& value); // a null QString binds empty text
    Statement& Bind(int index, std::nullopt_t);       // NULL
    template <typename T> Statement& Bind(int index, const std::optional<T>& value) {
        return value ? Bind(index, *value) : Bind(index, std::nullopt);
    }
    // One step: true while a row is there. Failures throw DbError.
    bool Step();
    void Reset();
    [[nodiscard]] QVariant Column(int index) const; // null for SQL NULL
    [[nodiscard]] qint64 Int(int index) const;
    // Fast reads for bulk scans, without a QVariant per field.
    [[nodiscard]] bool IsNull(int index) const;
    [[nodiscard]] bool IsNumber(int index) const;
    [[nodiscard]] double Double(int index) const;
    [[nodiscard]] QByteArray Bytes(int index) const;

private:
    Statement& check(int rc);
    static void finalize(sqlite3_stmt* s);
    sqlite3* db_;
    std::unique_ptr<sqlite3_stmt, void (*)(sqlite3_stmt*)> stmt_;
};

// An open SQLite database file: only a regular file, its name always a path, with the
// file's own views and triggers switched off. Opening read-only first rolls back a
// journal a crash left beside it. Failures throw DbError.
class SqliteDb {
public:
    enum class Mode { ReadOnly, ReadWrite, Create };

    SqliteDb(const QString& path, Mode mode);

    void Exec(const QString& sql);
    [[nodiscard]] Statement Prepare(const QString& sql);
    [[nodiscard]] sqlite3* Handle() const { return db_.get(); }
    [[nodiscard]] QString Path() const { return path_; }

    // Throws the DbError for the last failure with result code rc.
    [[noreturn]] void Fail(int rc) const;

private:
    QString path_;
    std::unique_ptr<sqlite3, int (*)(sqlite3*)> db_;
};

} // namespace qmx
