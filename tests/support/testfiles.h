#pragma once

// Files as the log, graph and end-to-end tests make and read them.
#include "logging/dberror.h"

#include <QDir>
#include <QFile>

#include <functional>
#include <map>

namespace qmx {

// A file's bytes; empty when it cannot be read.
inline QByteArray ContentsOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Writes a file anew with these bytes and the given permissions added; returns its path.
inline QString WriteFile(const QString& path, const QByteArray& bytes,
                         QFile::Permissions added = {}) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) {
        f.write(bytes);
        f.setPermissions(f.permissions() | added);
    }
    return path;
}

// Every file of a folder with its bytes (through links).
inline std::map<QString, QByteArray> FilesIn(const QString& folder) {
    std::map<QString, QByteArray> files;
    for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        files[name] = ContentsOf(folder + "/" + name);
    }
    return files;
}

// The number of the DbError a call ends in; 0 when it ends without one.
inline int ErrorCodeOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const DbError& e) {
        return e.Code;
    }
    return 0;
}

} // namespace qmx
