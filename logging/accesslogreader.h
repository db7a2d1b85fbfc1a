#pragma once

#include "logging/logrecord.h"

#include <QString>

#include <chrono>
#include <optional>

namespace qmx {

// Reads a log in the Access format (Jet 4) through the helper program qmx7300-mdbread,
// which it starts as a child process under a time and a memory limit: a damaged file can
// crash or hang only the helper. Any failure (the helper's own report, a crash, a limit
// reached, output that is not the expected stream, fewer or more rows than the table
// says it holds) throws one DbError kUnreadableLog, "not a readable log (<reason>)".
class AccessLogReader {
public:
    struct Limits {
        std::chrono::milliseconds Time;  // the whole read
        std::chrono::milliseconds Stall; // without any output
        qint64 MemoryBytes;
    };

    // Limits for a file of the given size: generous for a sound file of that size.
    [[nodiscard]] static Limits LimitsFor(qint64 fileBytes);
    // The helper next to the running program, else in the install prefix's libexec or
    // bin folder; empty when there is none.
    [[nodiscard]] static QString FindHelper();

    explicit AccessLogReader(QString helper = FindHelper(), std::optional<Limits> limits = {});

    // Passes the log's sample count, its Info rows, then its samples in stored order.
    void Read(const QString& path, LogVisitor& visitor) const;

private:
    QString helper_;
    std::optional<Limits> limits_;
};

} // namespace qmx
