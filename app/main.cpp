// qmx7300: the desktop program.
#include "display/frmmain.h"
#include "ui/clock.h"
#include "ui/largeglyphs.h"
#include "ui/qtdialogs.h"
#include "ui/qtsoundplayer.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <csignal>

namespace {

// The folder of the executable when it is writable, otherwise the user's documents.
QString programFolder() {
    const QString exeDir = QCoreApplication::applicationDirPath();
    if (QFileInfo(exeDir).isWritable()) {
        return QDir::toNativeSeparators(exeDir);
    }
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

} // namespace

int main(int argc, char* argv[]) {
    // A file size limit makes a write fail (and the run stop with a message), not the program.
    std::signal(SIGXFSZ, SIG_IGN);
    CacheLargeGlyphs();
    QApplication app(argc, argv);
    QApplication::setApplicationName("QMX7300");
    QApplication::setOrganizationName("QMX7300");
    SystemClock clock;
    QtDialogs dialogs;
    QtSoundPlayer sound;
    frmMain main(Services{clock, dialogs, sound, programFolder()});
    if (!main.Form_Load()) {
        return 1;
    }
    main.show();
    return QApplication::exec();
}
