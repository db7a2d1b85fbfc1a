#include "grapher/csvexport.h"

#include "logging/dberror.h"
#include "logging/sqlitedb.h"
#include "meter/readnumber.h"
#include "ui/numberformat.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr qsizetype kFlushBytes = 1 << 16;
const QByteArray kCrLf = "\r\n";

// The file error number of a failed file operation, as the CSV messages know them.
[[noreturn]] void failWithErrno(int err) {
    const int code =
        err == ENOENT || err == ENOTDIR ? DbError::kFileNotFound : DbError::CodeForErrno(err);
    throw DbError(code, QString::fromLocal8Bit(std::strerror(err)));
}

QByteArray textOf(const Statement& s, int column) {
    return s.IsNull(column) ? QByteArray() : s.Bytes(column);
}

std::optional<float> numberOf(const Statement& s, int column) {
    return s.IsNumber(column) ? std::optional(NarrowToSingle(s.Double(column))) : std::nullopt;
}

} // namespace

CsvExport::CsvExport(QString logPath, QString csvPath)
    : logPath_(std::move(logPath)), csvPath_(std::move(csvPath)) {}

CsvExport::~CsvExport() {
    Abandon();
}

QString CsvExport::TargetFor(const QString& logPath) {
    return logPath.left(logPath.size() - 3) + "csv";
}

QByteArray CsvExport::Field(const QByteArray& text) {
    for (const char c : text) {
        if (c == ',' || c == '"' || c == '\r' || c == '\n') {
            return '"' + QByteArray(text).replace("\"", "\"\"") + '"';
        }
    }
    return text;
}

QByteArray CsvExport::Number(std::optional<float> value) {
    return value ? FormatGeneral(*value).toLatin1() : QByteArray();
}

void CsvExport::Run() {
    while (!Done()) {
        runStep();
        step_ = Step(int(step_) + 1);
    }
}

void CsvExport::runStep() {
    switch (step_) {
    case Step::OpenFile:
        fd_ = ::open(csvPath_.toLocal8Bit().constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC,
                     0666);
        if (fd_ < 0) {
            failWithErrno(errno);
        }
        break;
    case Step::WriteContents: {
        // A retry writes the whole contents again, from the start of the file.
        if (::ftruncate(fd_, 0) != 0 || ::lseek(fd_, 0, SEEK_SET) != 0) {
            failWithErrno(errno);
        }
        db_ = std::make_unique<SqliteDb>(logPath_, SqliteDb::Mode::ReadOnly);
        Statement info = db_->Prepare("SELECT Date, Description FROM Info ORDER BY rowid LIMIT 1");
        if (!info.Step()) {
            throw DbError(DbError::kNoCurrentRow, "the log has no header row");
        }
        buffer_.clear();
        write(Field(textOf(info, 0)) + ',' + Field(textOf(info, 1)) + kCrLf);
        Statement rows =
            db_->Prepare("SELECT TimeStamp, Type, Units, Value, dBu FROM LogData ORDER BY rowid");
        rows_ = 0;
        while (rows.Step()) {
            write(Field(textOf(rows, 0)) + ',' + Field(textOf(rows, 1)) + ',' +
                  Field(textOf(rows, 2)) + ',' + Number(numberOf(rows, 3)) + ',' +
                  Number(numberOf(rows, 4)) + kCrLf);
            ++rows_;
        }
        flush();
        break;
    }
    case Step::CloseFile:
        db_.reset();
        if (::fsync(fd_) != 0 || ::close(fd_) != 0) {
            const int err = errno;
            fd_ = -1;
            failWithErrno(err);
        }
        fd_ = -1;
        break;
    case Step::Done:
        break;
    }
}

void CsvExport::write(const QByteArray& bytes) {
    buffer_ += bytes;
    if (buffer_.size() >= kFlushBytes) {
        flush();
    }
}

void CsvExport::flush() {
    qsizetype done = 0;
    while (done < buffer_.size()) {
        const ssize_t n = ::write(fd_, buffer_.constData() + done, size_t(buffer_.size() - done));
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            buffer_.clear();
            failWithErrno(errno);
        }
        done += n;
    }
    buffer_.clear();
}

void CsvExport::Abandon() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    db_.reset();
}
