#include "grapher/exportmessages.h"

#include "logging/logmessages.h"
#include "platform/linebreak.h"

namespace qmx {

namespace ExportMessages {

namespace {
const QString kSameFolder = "File is in the same Folder as the .qmx File" + kCrLf + kCrLf +
                            "Press 'OK' to Continue..." + kCrLf + kCrLf;
} // namespace

QString CopyDoneText() {
    return "Access File Created Successfully!" + kCrLf + kSameFolder;
}

QString CopyFailedText() {
    return "Convert Operation Failed!" + kCrLf + kCrLf + "Cannot continue...." + kCrLf + kCrLf +
           "Press 'OK' to Exit." + kCrLf + kCrLf;
}

QString CsvDoneText() {
    return "Comma Separated Values File Creation Successful!" + kCrLf + kSameFolder;
}

QString CsvErrorText(int code) {
    return LogMessages::FileErrorText(code) + "If the error has been corrected, click 'Retry'," +
           kCrLf + "otherwise click 'Cancel'";
}

} // namespace ExportMessages

} // namespace qmx
