#include "logging/logcreation.h"

#include "logging/dberror.h"
#include "logging/logformat.h"
#include "logging/sqlitedb.h"

#include <QFile>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qmx {

namespace {

// Creates the file only when no file of that name exists; returns its device and inode.
std::pair<dev_t, ino_t> createEmptyFile(const QString& path) {
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
    if (fd < 0) {
        const int err = errno;
        throw DbError(DbError::CodeForErrno(err), QString::fromLocal8Bit(std::strerror(err)));
    }
    struct stat st {};
    (void)::fstat(fd, &st);
    ::close(fd);
    return {st.st_dev, st.st_ino};
}

} // namespace

void LogCreation::Run() {
    while (!Done()) {
        runStep();
        step_ = Step(int(step_) + 1);
    }
}

void LogCreation::runStep() {
    switch (step_) {
    case Step::CreateFile:
        made_ = createEmptyFile(path_);
        break;
    case Step::MakeTables:
        makeTables();
        break;
    case Step::Done:
        break;
    }
}

void LogCreation::makeTables() {
    SqliteDb db(path_, SqliteDb::Mode::ReadWrite);
    // A failure ends the transaction with the connection: closing rolls it back.
    db.Exec("BEGIN IMMEDIATE");
    db.Exec(QString("PRAGMA application_id = %1; PRAGMA user_version = %2;")
                .arg(LogFormat::kApplicationId)
                .arg(LogFormat::kUserVersion));
    db.Exec(LogFormat::LogData().CreateSql());
    db.Exec(LogFormat::Info().CreateSql());
    db.Exec("COMMIT");
}

void LogCreation::RemoveMadeFile() const {
    const QByteArray name = QFile::encodeName(path_);
    struct stat st {};
    if (made_ && ::lstat(name.constData(), &st) == 0 && S_ISREG(st.st_mode) &&
        std::pair(st.st_dev, st.st_ino) == *made_) {
        ::unlink(name.constData());
    }
}

} // namespace qmx
