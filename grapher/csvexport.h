#pragma once

#include <QByteArray>
#include <QString>

#include <initializer_list>
#include <memory>
#include <optional>

namespace qmx {

class ExportFile;

// Writes a log of either format as comma-separated values: the header record (date,
// comment), then one line a sample (TimeStamp, Type, Units, Value, dBu), each ended by
// CR LF. Numbers use "." whatever the locale; a field holding a comma, a quote or a line
// break is quoted (quotes doubled); a missing field is empty. Any number of rows.
//
// The file takes the target's name only once it is complete (ExportFile). A failure
// throws DbError with the file error number; running again starts over (Retry).
class CsvExport {
public:
    CsvExport(QString logPath, QString csvPath);
    ~CsvExport();

    void Run();
    // Drops a partly written file; an earlier file of the target's name stays as it was.
    void Abandon();

    // The CSV file next to a log: its name with the last three characters "csv".
    [[nodiscard]] static QString TargetFor(const QString& logPath);
    [[nodiscard]] static QByteArray Field(const QByteArray& text);
    [[nodiscard]] static QByteArray Number(std::optional<float> value);

private:
    void writeContents();
    // Appends the fields, separated by commas, and the line's end.
    void writeLine(std::initializer_list<QByteArray> fields);
    void flush();

    QString logPath_;
    QString csvPath_;
    bool done_ = false;
    std::unique_ptr<ExportFile> file_;
    QByteArray buffer_;
};

} // namespace qmx
