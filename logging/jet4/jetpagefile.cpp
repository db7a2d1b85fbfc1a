#include "logging/jet4/jetpagefile.h"

#include "logging/dberror.h"
#include "logging/jet4/jetbytes.h"

#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

[[noreturn]] void fail(int err, const QString& what) {
    throw DbError(DbError::CodeForErrno(err),
                  what + ": " + QString::fromLocal8Bit(std::strerror(err)));
}

} // namespace

JetPageFile::JetPageFile(QString target) : target_(std::move(target)) {
    const QFileInfo info(target_);
    temporary_ = (info.absolutePath() + "/." + info.fileName() + ".XXXXXX").toLocal8Bit();
    fd_ = ::mkostemp(temporary_.data(), O_CLOEXEC);
    if (fd_ < 0) {
        fail(errno, target_);
    }
    // The finished file gets the permissions of any new file of the user.
    static const mode_t mask = [] {
        const mode_t m = ::umask(0);
        ::umask(m);
        return m;
    }();
    ::fchmod(fd_, 0666 & ~mask);
}

JetPageFile::~JetPageFile() {
    if (fd_ >= 0) {
        ::close(fd_);
        ::unlink(temporary_.constData());
    }
}

void JetPageFile::WritePage(quint32 number, const QByteArray& page) {
    qsizetype done = 0;
    const off_t at = off_t(number) * Jet::kPageSize;
    while (done < page.size()) {
        const ssize_t n =
            ::pwrite(fd_, page.constData() + done, size_t(page.size() - done), at + off_t(done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            fail(n < 0 ? errno : ENOSPC, target_);
        }
        done += n;
    }
}

void JetPageFile::Commit() {
    if (::fsync(fd_) != 0) {
        fail(errno, target_);
    }
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 ||
        std::rename(temporary_.constData(), target_.toLocal8Bit().constData()) != 0) {
        const int err = errno;
        ::unlink(temporary_.constData());
        fail(err, target_);
    }
    // The rename itself reaches the disk with the folder.
    const int folder = ::open(QFileInfo(target_).absolutePath().toLocal8Bit().constData(),
                              O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
}
