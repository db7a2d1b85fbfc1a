#include "grapher/csvexport.h"

#include "display/numberformat.h"
#include "grapher/logdocument.h"
#include "logging/dberror.h"
#include "logging/exportfile.h"
#include "logging/logreader.h"
#include "platform/linebreak.h"

namespace qmx {

namespace {

constexpr qsizetype kFlushBytes = 1 << 16;
const QByteArray kLineEnd = kCrLf.toLatin1();

QByteArray textOf(const NullableText& text) {
    return text ? text->toUtf8() : QByteArray();
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
    // The header line from the first Info row, then a line a sample, as the log is read.
    struct Lines final : LogVisitor {
        CsvExport& csv;
        bool header = false;
        explicit Lines(CsvExport& out) : csv(out) {}
        void Info(const LogHeader& h) override {
            if (!header) {
                csv.writeLine({Field(textOf(h.Date)), Field(textOf(h.Description))});
                header = true;
            }
        }
        void Sample(const LogRecord& s) override {
            if (!header) {
                throw DbError(DbError::kNoCurrentRow, "the log has no header row");
            }
            csv.writeLine({Field(textOf(s.TimeStamp)), Field(textOf(s.Type)),
                           Field(textOf(s.Units)), Number(SampleNumber(s.Value)),
                           Number(SampleNumber(s.Dbu))});
        }
    } lines(*this);
    buffer_.clear();
    LogReader::Read(logPath_, lines);
    if (!lines.header) {
        throw DbError(DbError::kNoCurrentRow, "the log has no header row");
    }
    flush();
}

void CsvExport::writeLine(std::initializer_list<QByteArray> fields) {
    for (const QByteArray& field : fields) {
        buffer_ += field;
        buffer_ += ',';
    }
    buffer_.chop(1);
    buffer_ += kLineEnd;
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
    buffer_.clear();
}

} // namespace qmx
