#include "logging/exportfile.h"

#include "logging/dberror.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace qmx {

namespace {

constexpr int kNameTries = 100;
// Room left in a file name for the temporary file's dot and suffix.
constexpr qsizetype kLongestBaseName = 200;
constexpr mode_t kAnyWrite = S_IWUSR | S_IWGRP | S_IWOTH;

// The file error number of a failed file operation, as the export messages know them.
[[noreturn]] void failWithErrno(int err) {
    const int code =
        err == ENOENT || err == ENOTDIR ? DbError::kFileNotFound : DbError::CodeForErrno(err);
    throw DbError(code, QString::fromLocal8Bit(std::strerror(err)));
}

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

} // namespace

ExportFile::ExportFile(const QString& source, const QString& target) {
    struct stat existing {};
    if (::stat(QFile::encodeName(target).constData(), &existing) != 0) {
        if (errno != ENOENT) {
            failWithErrno(errno);
        }
        createBeside(target);
        return;
    }
    struct stat from {};
    if (::stat(QFile::encodeName(source).constData(), &from) == 0 && sameFile(from, existing)) {
        throw DbError(DbError::kPermissionDenied, "the export would replace the log itself");
    }
    if (S_ISDIR(existing.st_mode)) {
        failWithErrno(EISDIR);
    }
    if (::access(QFile::encodeName(target).constData(), W_OK) != 0) {
        failWithErrno(errno);
    }
    if ((existing.st_mode & kAnyWrite) == 0) {
        throw DbError(DbError::kPermissionDenied, "the file is marked read-only");
    }
    if (!S_ISREG(existing.st_mode)) {
        fd_ = ::open(QFile::encodeName(target).constData(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
        if (fd_ < 0) {
            failWithErrno(errno);
        }
        target_ = target;
        return;
    }
    createBeside(QFileInfo(target).canonicalFilePath());
    // The new file keeps the permissions the user gave the one it replaces.
    (void)::fchmod(fd_, existing.st_mode & 07777);
}

void ExportFile::createBeside(const QString& target) {
    target_ = target;
    const QFileInfo info(target);
    const QString stem = info.absolutePath() + "/." + info.fileName().left(kLongestBaseName) + ".";
    for (int i = 0; i < kNameTries; ++i) {
        temporary_ = stem + QString::number(QRandomGenerator::global()->generate(), 36);
        fd_ = ::open(QFile::encodeName(temporary_).constData(),
                     O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ >= 0) {
            return;
        }
        if (errno != EEXIST) {
            const int err = errno;
            temporary_.clear();
            failWithErrno(err);
        }
    }
    temporary_.clear();
    failWithErrno(EEXIST);
}

ExportFile::~ExportFile() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
    if (!committed_ && !temporary_.isEmpty()) {
        ::unlink(QFile::encodeName(temporary_).constData());
    }
}

void ExportFile::Write(const QByteArray& bytes) {
    writeFrom(-1, bytes);
}

void ExportFile::WriteAt(qint64 offset, const QByteArray& bytes) {
    writeFrom(offset, bytes);
}

// Writes all bytes, at the offset or (-1) after those written so far.
void ExportFile::writeFrom(qint64 offset, const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const char* from = bytes.constData() + done;
        const auto size = size_t(bytes.size() - done);
        const ssize_t n =
            offset < 0 ? ::write(fd_, from, size) : ::pwrite(fd_, from, size, off_t(offset + done));
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            failWithErrno(errno);
        }
        if (n == 0) {
            failWithErrno(ENOSPC); // no progress: nothing more fits
        }
        done += n;
    }
}

void ExportFile::Commit() {
    if (!temporary_.isEmpty() && ::fsync(fd_) != 0) {
        failWithErrno(errno);
    }
    if (::close(std::exchange(fd_, -1)) != 0) {
        failWithErrno(errno);
    }
    if (temporary_.isEmpty()) {
        committed_ = true;
        return;
    }
    if (::rename(QFile::encodeName(temporary_).constData(),
                 QFile::encodeName(target_).constData()) != 0) {
        failWithErrno(errno);
    }
    committed_ = true;
    // The new name is on disk too once the folder is.
    const int folder = ::open(QFile::encodeName(QFileInfo(target_).absolutePath()).constData(),
                              O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
}

} // namespace qmx
