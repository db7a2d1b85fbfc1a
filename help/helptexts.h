#pragma once

#include <QString>

namespace qmx {

// The fixed help and about texts of the three windows, with the program version.
namespace HelpTexts {

inline const QString kMainAboutTitle = QStringLiteral("About QMX-7300 Serial Application");
inline const QString kMainHelpTitle = QStringLiteral("QMX-7300 Serial Application Help");
inline const QString kLoggerAboutTitle = QStringLiteral("About QMX-7300 Log Control");
inline const QString kLoggerHelpTitle = QStringLiteral("QMX-7300 Logging Control Help");
inline const QString kGrapherAboutTitle =
    QStringLiteral("About QMX-7300 Serial Application Graphing");
inline const QString kGrapherHelpTitle =
    QStringLiteral("QMX-7300 Serial Application Graphing Help");

[[nodiscard]] QString MainAbout(float version);
[[nodiscard]] QString MainHelp(float version);
[[nodiscard]] QString LoggerAbout(float version);
[[nodiscard]] QString LoggerHelp(float version);
[[nodiscard]] QString GrapherAbout(float version);
[[nodiscard]] QString GrapherHelp(float version);

} // namespace HelpTexts

} // namespace qmx
