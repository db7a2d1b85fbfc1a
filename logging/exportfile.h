#pragma once

#include <QByteArray>
#include <QString>

namespace qmx {

// The file an export writes. The contents go to a new file in the target's folder that
// takes the target's name only once it is complete and on disk, so a failed or abandoned
// export leaves an earlier file of that name as it was and nothing beside it. Refused:
// a target that is the source itself (after links are followed) and an existing file the
// user may not write or that is marked read-only. A target that is not a regular file (a
// terminal, a pipe) is written directly; such a target takes only writes in order.
// Failures throw DbError with the file error number.
class ExportFile {
public:
    ExportFile(const QString& source, const QString& target);
    ~ExportFile();
    ExportFile(const ExportFile&) = delete;
    ExportFile& operator=(const ExportFile&) = delete;

    // Appends bytes after those written so far.
    void Write(const QByteArray& bytes);
    // Writes bytes at an offset from the start, as a file made page by page needs.
    void WriteAt(qint64 offset, const QByteArray& bytes);
    // Puts the complete file in the target's place.
    void Commit();

private:
    void createBeside(const QString& target);
    void writeFrom(qint64 offset, const QByteArray& bytes);

    QString target_;    // what the contents replace, links followed
    QString temporary_; // the file being written; empty when writing the target directly
    int fd_ = -1;
    bool committed_ = false;
};

} // namespace qmx
