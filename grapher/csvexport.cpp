#include "grapher/csvexport.h"

#include "grapher/exportfile.h"
#include "grapher/logdocument.h"
#include "logging/dberror.h"
#include "logging/sqlitedb.h"
#include "ui/numberformat.h"

namespace {

constexpr qsizetype kFlushBytes = 1 << 16;
const QByteArray kCrLf = "\r\n";

QByteArray textOf(const Statement& s, int column) {
    return s.IsNull(column) ? QByteArray() : s.Bytes(column);
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
    if (done_) {
        return;
    }
    try {
        file_ = std::make_unique<ExportFile>(logPath_, csvPath_);
        writeContents();
        file_->Commit();
    } catch (...) {
        Abandon();
        throw;
    }
    Abandon();
    done_ = true;
}

void CsvExport::writeContents() {
    db_ = std::make_unique<SqliteDb>(logPath_, SqliteDb::Mode::ReadOnly);
    Statement info = db_->Prepare("SELECT Date, Description FROM Info ORDER BY rowid LIMIT 1");
    if (!info.Step()) {
        throw DbError(DbError::kNoCurrentRow, "the log has no header row");
    }
    buffer_.clear();
    write(Field(textOf(info, 0)) + ',' + Field(textOf(info, 1)) + kCrLf);
    Statement rows =
        db_->Prepare("SELECT TimeStamp, Type, Units, Value, dBu FROM LogData ORDER BY rowid");
    while (rows.Step()) {
        write(Field(textOf(rows, 0)) + ',' + Field(textOf(rows, 1)) + ',' + Field(textOf(rows, 2)) +
              ',' + Number(SampleNumber(rows, 3)) + ',' + Number(SampleNumber(rows, 4)) + kCrLf);
    }
    flush();
}

void CsvExport::write(const QByteArray& bytes) {
    buffer_ += bytes;
    if (buffer_.size() >= kFlushBytes) {
        flush();
    }
}

void CsvExport::flush() {
    file_->Write(buffer_);
    buffer_.clear();
}

void CsvExport::Abandon() {
    file_.reset();
    db_.reset();
    buffer_.clear();
}
