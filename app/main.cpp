// qmx7300 [LOG]: the desktop program; a log named on the command line (as a file manager
// does) opens in the graph window at start-up.
#include "display/frmmain.h"
#include "platform/clock.h"
#include "ui/qtdialogs.h"
#include "ui/qtsoundplayer.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <csignal>

namespace qmx {

namespace {

// The folder of the executable when it is writable, otherwise the user's documents.
QString programFolder() {
    const QString exeDir = QCoreApplication::applicationDirPath();
    if (QFileInfo(exeDir).isWritable()) {
        return QDir::toNativeSeparators(exeDir);
    }
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

void describeOptions(QCommandLineParser& options) {
    options.setApplicationDescription("The desktop companion of the QMX-7300 multimeter.");
    options.addHelpOption();
    options.addVersionOption();
    options.addPositionalArgument("LOG", "A log file to open in the graph window.", "[LOG]");
}

// --help and --version need no display, so that they answer where there is none (as when
// the manual page is made from them).
bool asksForTextOnly(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "-h" || arg == "--help" || arg == "--help-all" || arg == "-v" ||
            arg == "--version") {
            return true;
        }
    }
    return false;
}

} // namespace

} // namespace qmx

using namespace qmx;

int main(int argc, char* argv[]) {
    // A file size limit makes a write fail (and the run stop with a message), not the program.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication::setApplicationName("QMX7300");
    QApplication::setOrganizationName("QMX7300");
    QApplication::setApplicationVersion(QMX_VERSION);
    QCommandLineParser options;
    describeOptions(options);
    if (asksForTextOnly(argc, argv)) {
        const QCoreApplication text(argc, argv);
        options.process(text); // prints the text and ends the program
    }
    QApplication app(argc, argv);
    // The desktop entry this program is started from (the Wayland app id, the taskbar's icon).
    QGuiApplication::setDesktopFileName("org.qmx7300.Companion");
    options.process(app);
    if (options.positionalArguments().size() > 1) {
        options.showHelp(2);
    }
    SystemClock clock;
    QtDialogs dialogs;
    QtSoundPlayer sound;
    frmMain main(Services{clock, dialogs, sound, programFolder()});
    if (!main.Form_Load()) {
        return 1;
    }
    // A sound that cannot play is said at start, not first when an alarm should sound.
    sound.Check(main.AlarmWavPath);
    main.show();
    if (!options.positionalArguments().isEmpty()) {
        main.OpenGraph(QFileInfo(options.positionalArguments().first()).absoluteFilePath());
    }
    return QApplication::exec();
}
