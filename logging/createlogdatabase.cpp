#include "logging/createlogdatabase.h"

#include "logging/dberror.h"
#include "logging/logcreation.h"
#include "logging/logmessages.h"
#include "platform/dialogs.h"

namespace qmx {

bool CreateLogDatabase(const QString& path, Dialogs& dialogs,
                       const std::function<void()>& endProgram) {
    LogCreation creation(path);
    while (true) {
        try {
            creation.Run();
            return true;
        } catch (const DbError& e) {
            const auto answer =
                dialogs.MsgBox(LogMessages::CreationErrorText(e.Code, path),
                               Dialogs::Buttons::RetryCancel, LogMessages::kCreationTitle);
            if (answer != Dialogs::Answer::Retry) {
                creation.RemoveMadeFile(); // an empty file would only block the next run
                endProgram();
                return false;
            }
        }
    }
}

} // namespace qmx
