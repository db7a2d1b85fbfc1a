#pragma once

#include <QString>

namespace qmx {

// The texts that report a failure to make or write a file, chosen by error number.
namespace LogMessages {

inline const QString kCreationTitle = QStringLiteral("Database Creation Error!");

// The lines for a file error (53, 57, 61, 70, 71, 72, or any other number).
[[nodiscard]] QString FileErrorText(int code);
// The creation dialog's text for an error while making the log file at path.
[[nodiscard]] QString CreationErrorText(int code, const QString& path);
// What a run that could not save its next row says.
[[nodiscard]] QString RecordingFailedText(const QString& path, const QString& detail,
                                          qint32 samplesSaved);

} // namespace LogMessages

} // namespace qmx
