#pragma once

#include <QString>

namespace qmx {

// The texts of the two conversions of a log.
namespace ExportMessages {

inline const QString kCopyDoneTitle = QStringLiteral("Access Database File Creation Successful!");
inline const QString kCopyFailedTitle = QStringLiteral("Copy to Access File Failed!");
inline const QString kCsvDoneTitle = QStringLiteral(".CSV File Creation Successful!");
inline const QString kCsvErrorTitle = QStringLiteral("CSV File Creation Error!");

[[nodiscard]] QString CopyDoneText();
[[nodiscard]] QString CopyFailedText();
[[nodiscard]] QString CsvDoneText();
// The Retry/Cancel text for a file error while writing the CSV file.
[[nodiscard]] QString CsvErrorText(int code);

} // namespace ExportMessages

} // namespace qmx
