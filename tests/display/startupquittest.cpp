#include "tests/support/mainwindowfixture.h"

#include "platform/settingsstore.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QSettings>
#include <QTest>

#include <sys/stat.h>

#include <gtest/gtest.h>

using namespace qmx;

namespace {

using StartupQuit = MainWindowFixture;

// The program folder of an installed copy is the user's documents folder, where no sound
// is: the default sound is found all the same, and no path is saved that was not chosen.
TEST_F(StartupQuit, TheDefaultAlarmSoundPlaysWhereverTheProgramIsAndIsNotSaved) {
    ASSERT_TRUE(load());
    showLine("DC  1.000 V");
    QTest::mouseClick(w->cmdAlarms, Qt::LeftButton);
    QTest::keyClicks(w->Panel->txtHiAlarm, "0.5");
    QTest::mouseClick(w->Panel->chkHiSet, Qt::LeftButton);
    showLine("DC  1.000 V");
    ASSERT_EQ(w->cmdAlarms->text(), "RESET!");
    const QString played = sound.calls.filter("play:").first().mid(5);
    QFile wav(played);
    ASSERT_TRUE(wav.open(QIODevice::ReadOnly)) << qPrintable(played);
    EXPECT_TRUE(wav.read(12).endsWith("WAVE"));
    w->close();
    SettingsStore settings;
    EXPECT_FALSE(settings.Contains("AlarmWav"));
    // Where an earlier version looked for the sound, and saved that path.
    settings.Write("AlarmWav", programFolder.filePath("attention.wav"));
    ASSERT_TRUE(load());
    EXPECT_EQ(w->AlarmWavPath, played);
}

// Values written by hand with a comma in them read as they were written, and stay so.
TEST_F(StartupQuit, HandEditedValuesWithACommaAreReadAsWritten) {
    QFile conf(SettingsStore().FileName());
    ASSERT_TRUE(conf.open(QIODevice::Append));
    conf.write("AlarmWav=/x/y,z.wav\nFont=Liberation Sans, Bold\n");
    conf.close();
    ASSERT_TRUE(load());
    EXPECT_EQ(w->AlarmWavPath, "/x/y,z.wav");
    EXPECT_EQ(w->Label1->font().family(), "Liberation Sans");
    w->close();
    SettingsStore settings;
    EXPECT_EQ(settings.Read("AlarmWav", ""), "/x/y,z.wav");
    EXPECT_EQ(settings.Read("Font", ""), "Liberation Sans, Bold");
}

TEST_F(StartupQuit, AStoredFolderProposesTestQmxInIt) {
    SettingsStore settings;
    settings.Write("DataFilePath", "/data/logs");
    ASSERT_TRUE(load());
    EXPECT_EQ(w->LogFilePath, "/data/logs/Test.qmx");
    settings.Write("DataFilePath", programFolder.path() + "/Test.qmx");
    ASSERT_TRUE(load());
    EXPECT_EQ(w->LogFilePath, programFolder.path() + "/Test.qmx");
}

struct GarbageCase {
    const char* key;
    const char* value;
};

class GarbageSettings : public StartupQuit, public ::testing::WithParamInterface<GarbageCase> {};

// An empty store (no key) and values that are no setting give the defaults.
TEST_P(GarbageSettings, ReadAsTheirDefaults) {
    if (GetParam().key != nullptr) {
        SettingsStore().Write(GetParam().key, GetParam().value);
    }
    ASSERT_TRUE(load());
    EXPECT_EQ(w->Colors.Background, 0);
    EXPECT_EQ(w->Colors.Foreground, 65535);
    EXPECT_TRUE(w->mnuBGBlack->isChecked());
    EXPECT_TRUE(w->mnuYellow->isChecked());
    EXPECT_EQ(w->Link.CommPort, 1);
    EXPECT_EQ(w->LogFilePath, programFolder.path() + "/Test.qmx");
}

INSTANTIATE_TEST_SUITE_P(
    Values, GarbageSettings,
    ::testing::Values(GarbageCase{nullptr, nullptr}, GarbageCase{"BGColor", "white"},
                      GarbageCase{"BGColor", "1.5"}, GarbageCase{"FGColor", "99999999999"},
                      GarbageCase{"FGColor", ""}, GarbageCase{"CommPort", "COM1"},
                      GarbageCase{"CommPort", "70000"}));

TEST_F(StartupQuit, AColourOutsideTheMenuIsAppliedWithNoItemChecked) {
    SettingsStore settings;
    settings.Write("FGColor", "4210752");
    ASSERT_TRUE(load());
    EXPECT_EQ(w->Colors.Foreground, 4210752);
    for (QAction* item :
         {w->mnuFGBlack, w->mnuFGWhite, w->mnuRed, w->mnuGreen, w->mnuBlue, w->mnuYellow}) {
        EXPECT_FALSE(item->isChecked()) << qPrintable(item->objectName());
    }
}

TEST_F(StartupQuit, QuitStopsSoundAndTimerClosesThePortAndSavesSettings) {
    ASSERT_TRUE(load());
    w->tmrDispUpdate.start();
    w->mnuBGWhite->trigger();
    dialogs.files.push_back(QString("/sounds/bell.wav"));
    w->mnuAlarm->trigger();
    sound.calls.clear();
    QTest::mouseClick(w->cmdQuit, Qt::LeftButton);
    EXPECT_FALSE(w->isVisible());
    EXPECT_FALSE(w->tmrDispUpdate.isActive());
    EXPECT_FALSE(w->Link.IsOpen());
    EXPECT_GE(sound.count("stop"), 1);
    SettingsStore settings;
    EXPECT_EQ(settings.Read("BGColor", ""), "16777215");
    EXPECT_EQ(settings.Read("FGColor", ""), "65535");
    EXPECT_EQ(settings.Read("CommPort", ""), "1");
    EXPECT_EQ(settings.Read("Font", ""), "MSSansserif");
    EXPECT_EQ(settings.Read("AlarmWav", ""), "/sounds/bell.wav");
    EXPECT_EQ(settings.Read("Com1Device", ""), meter.SlavePath());
}

TEST_F(StartupQuit, TheFrameAndFileExitRunTheWholeQuit) {
    const std::pair<const char*, void (*)(frmMain&)> ways[] = {
        {"frame",
         [](frmMain& w) {
             QCloseEvent frameClose;
             QApplication::sendEvent(&w, &frameClose);
         }},
        {"File Exit", [](frmMain& w) { w.mnuExit->trigger(); }}};
    for (const auto& [how, quit] : ways) {
        QSettings("QMX7300", "QMX7300").remove("Startup/CommPort");
        ASSERT_TRUE(load());
        w->tmrDispUpdate.start();
        quit(*w);
        EXPECT_FALSE(w->tmrDispUpdate.isActive()) << how;
        EXPECT_FALSE(w->Link.IsOpen()) << how;
        EXPECT_EQ(SettingsStore().Read("CommPort", ""), "1") << how;
    }
}

TEST_F(StartupQuit, MissingPortEndsTheStartWithItsMessageAndKeepsTheSettings) {
    SettingsStore settings;
    settings.Write("CommPort", "9");
    settings.Write("AlarmWav", "/sounds/bell.wav");
    settings.Write("Font", "Liberation Sans");
    EXPECT_FALSE(load());
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].title, "Cannot Start QMX7300 Serial Comm!");
    EXPECT_EQ(dialogs.boxes[0].buttons, Dialogs::Buttons::Ok);
    EXPECT_TRUE(dialogs.boxes[0].text.startsWith(
        "        No Comm Port Available!\r\nPort 9 is not one of Com1 to Com8; to change it, "
        "edit CommPort in " +
        QSettings("QMX7300", "QMX7300").fileName() + ".\r\n\r\n"))
        << qPrintable(dialogs.boxes[0].text);
    for (QAction* port : w->mnuCom) {
        EXPECT_FALSE(port->isChecked());
    }
    EXPECT_FALSE(w->tmrDispUpdate.isActive());
    EXPECT_GE(sound.count("stop"), 1);
    EXPECT_EQ(settings.Read("CommPort", ""), "9");
    EXPECT_EQ(settings.Read("AlarmWav", ""), "/sounds/bell.wav");
    EXPECT_EQ(settings.Read("Font", ""), "Liberation Sans");
}

TEST_F(StartupQuit, PortHeldByAnotherProgramSaysAlreadyOpen) {
    QSerialPort other(meter.SlavePath());
    ASSERT_TRUE(other.open(QIODevice::ReadWrite));
    EXPECT_FALSE(load());
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_TRUE(dialogs.boxes[0].text.startsWith("        Port Already Open!\r\n"));
}

TEST_F(StartupQuit, FontDialogSetsTheFaceOfBothDisplaysAtFullSize) {
    ASSERT_TRUE(load());
    dialogs.fonts.push_back(QString("Liberation Serif"));
    w->mnuFont_Click();
    EXPECT_EQ(w->Label1->font().family(), "Liberation Serif");
    EXPECT_EQ(w->Label2->font().family(), "Liberation Serif");
    EXPECT_EQ(w->Label1->font().pointSize(), 72);
    w->mnuFont_Click(); // cancelled
    EXPECT_EQ(w->Label1->font().family(), "Liberation Serif");
    EXPECT_TRUE(dialogs.boxes.empty());
    w->close();
    EXPECT_EQ(SettingsStore().Read("Font", ""), "Liberation Serif");
}

TEST_F(StartupQuit, ASettingsFileThatIsNoRegularFileIsLeftAloneAndSaidOnce) {
    const QString file = SettingsStore().FileName();
    QFile::remove(file);
    ASSERT_EQ(::mkfifo(qPrintable(file), 0600), 0);
    const auto removeFifo = qScopeGuard([&] { QFile::remove(file); });
    load();
    w->close();
    ASSERT_FALSE(dialogs.boxes.empty());
    EXPECT_EQ(dialogs.boxes[0].title, "Settings Not Used");
    EXPECT_EQ(dialogs.boxes[0].text,
              "The settings file " + file +
                  " is not a regular file, so it is left alone: the program starts with its "
                  "default settings and keeps no changes.");
    EXPECT_EQ(std::count_if(dialogs.boxes.begin(), dialogs.boxes.end(),
                            [](const auto& b) { return b.title == "Settings Not Used"; }),
              1);
    EXPECT_FALSE(QFileInfo(file).isFile()) << "nothing was written to it";
}

TEST_F(StartupQuit, HelpMenuShowsTheTexts) {
    ASSERT_TRUE(load());
    w->mnuAbout->trigger();
    w->mnuContents->trigger();
    ASSERT_EQ(dialogs.boxes.size(), 2u);
    EXPECT_EQ(dialogs.boxes[0].title, "About QMX-7300 Serial Application");
    EXPECT_EQ(dialogs.boxes[1].title, "QMX-7300 Serial Application Help");
    EXPECT_TRUE(
        dialogs.boxes[1].text.endsWith("in dBu (a 20 log law relative to .775 volts).\r\n"));
}

} // namespace
