#include "logging/logmessages.h"

#include "logging/dberror.h"
#include "platform/linebreak.h"

namespace qmx {

namespace LogMessages {

namespace {
const QString kTwo = kCrLf + kCrLf;
} // namespace

QString FileErrorText(int code) {
    switch (code) {
    case DbError::kFileNotFound:
        return "File was not found. Check spelling or" + kCrLf + "ask for assistance." + kTwo;
    case DbError::kIoError:
        return "Hardware Problem, seek assistance." + kTwo;
    case DbError::kDiskFull:
        return "Disk Full!" + kCrLf + "Free up some space..." + kTwo;
    case DbError::kPermissionDenied:
        return "File or Media is Write Protected..." + kTwo;
    case 71:
        return "Drive door seems to be open - check..." + kTwo;
    case 72:
        return "Disk Hardware Error!" + kTwo;
    default:
        return "Error #" + QString::number(code) + " occurred!" + kCrLf +
               "Please report to Program Author." + kTwo;
    }
}

QString CreationErrorText(int code, const QString& path) {
    QString reason;
    if (code == DbError::kFileExists) {
        reason = "Database Already Exists!" + kTwo + "Remove " + path + "," + kCrLf +
                 "or choose another Name...." + kTwo;
    } else if (code == DbError::kEngineFailure) {
        reason = "Path Doesn't Exist! - " + path + kTwo +
                 "Check Path, and/or create the Parent Folder manually...." + kTwo;
    } else {
        reason = FileErrorText(code);
    }
    return kCrLf + reason + "If the error has been corrected, click 'Retry'," + kCrLf +
           "otherwise click 'Cancel' to Exit Program.";
}

QString RecordingFailedText(const QString& path, const QString& detail, qint32 samplesSaved) {
    return "Logging Stopped!" + kTwo + "The next sample could not be saved in" + kCrLf + path +
           kTwo + detail + kTwo + "The file holds the " + QString::number(samplesSaved) +
           " samples saved before." + kTwo;
}

} // namespace LogMessages

} // namespace qmx
