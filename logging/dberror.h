#pragma once

#include <QString>

#include <stdexcept>

namespace qmx {

// A failure of the log file's database, with the error number the messages are chosen
// by (the numbers the program has always shown for these failures).
class DbError : public std::runtime_error {
public:
    static constexpr int kFileExists = -2147217897;    // the file already exists
    static constexpr int kEngineFailure = -2147467259; // e.g. the folder does not exist
    static constexpr int kNoCurrentRow = 3021;
    static constexpr int kFieldTooSmall = 3163;  // a text longer than its column
    static constexpr int kNullNotAllowed = 3314; // a required field left empty
    static constexpr int kFileNotFound = 53;
    static constexpr int kIoError = 57;
    static constexpr int kDiskFull = 61;
    static constexpr int kPermissionDenied = 70;
    static constexpr int kNotALog = 3343; // unrecognised database format
    // A database of the log's kind that cannot be read as a log: damaged, or cut short.
    static constexpr int kUnreadableLog = 3049;
    // The file is held by another program that reads or writes it just now.
    static constexpr int kLocked = 3260;
    // The file is not a plain log file (a folder, a pipe, a device), or holds the tables
    // of a log in another shape (a view, a column missing); Detail says which.
    static constexpr int kNotALogFile = 3078;

    DbError(int code, const QString& detail)
        : std::runtime_error(detail.toStdString()), Code(code), Detail(detail) {}

    int Code;
    QString Detail; // what the engine or the system said, for messages that name it

    // The number for a failure the system reported with errno err.
    [[nodiscard]] static int CodeForErrno(int err);
    // The number for an SQLite result code, with the errno behind it when there is one.
    [[nodiscard]] static int CodeForSqlite(int resultCode, int err);
};

} // namespace qmx
