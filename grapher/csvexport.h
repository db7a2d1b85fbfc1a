#pragma once

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>

class SqliteDb;

// Writes a log as comma-separated values: the header record (date, comment), then one
// line a sample (TimeStamp, Type, Units, Value, dBu), each ended by CR LF. Numbers use
// "." whatever the locale; a field holding a comma, a quote or a line break is quoted
// (quotes doubled); a missing field is empty. Any number of rows.
//
// The export runs in steps; a step that fails throws DbError with the file error number,
// and running again resumes at that step (Retry).
class CsvExport {
public:
    CsvExport(QString logPath, QString csvPath);
    ~CsvExport();

    void Run();
    [[nodiscard]] bool Done() const { return step_ == Step::Done; }
    // Closes the file if it is open (a partly written file stays).
    void Abandon();
    [[nodiscard]] qint64 RowsWritten() const { return rows_; }

    // The CSV file next to a log: its name with the last three characters "csv".
    [[nodiscard]] static QString TargetFor(const QString& logPath);
    [[nodiscard]] static QByteArray Field(const QByteArray& text);
    [[nodiscard]] static QByteArray Number(std::optional<float> value);

private:
    enum class Step { OpenFile, WriteContents, CloseFile, Done };
    void runStep();
    void write(const QByteArray& bytes);
    void flush();

    QString logPath_;
    QString csvPath_;
    Step step_ = Step::OpenFile;
    int fd_ = -1;
    std::unique_ptr<SqliteDb> db_;
    QByteArray buffer_;
    qint64 rows_ = 0;
};
