// The main window: the display tick, the port menu, the start and the ways to quit; the
// texts and colours of the display, whatever the locale.
#include "tests/support/mainwindowfixture.h"

#include "display/displaycolors.h"
#include "display/numberformat.h"
#include "grapher/frmgrapher.h"
#include "help/helptexts.h"
#include "logging/frmlogger.h"
#include "platform/settingsstore.h"
#include "ui/widgetcolors.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QScopeGuard>
#include <QSerialPort>
#include <QTest>

#include <span>
#include <sys/stat.h>

#include <gtest/gtest.h>

using namespace qmx;

namespace {

using DisplayTick = MainWindowFixture;

// Before the first line an empty reading at full size and no level; eleven characters at
// 72 points, twelve at 64, longer lines smaller until they fit whole.
TEST_F(DisplayTick, TheReadingShrinksOnlyAsFarAsItsLengthNeeds) {
    ASSERT_TRUE(load());
    tick();
    EXPECT_EQ(w->Label2->text(), "dBu Not Valid");
    EXPECT_FALSE(w->cmdDB->isEnabled());
    EXPECT_EQ(BackColorOf(w->cmdDB), VbColor::kButtonFace);
    EXPECT_FALSE(w->cmdLogger->isEnabled());
    for (const auto& [line, points] :
         {std::pair{"", 72}, std::pair{"DC -1.234 V", 72}, std::pair{"DC -1.2345 V", 64},
          std::pair{"OH  12.34 KOHM OPEN 1234", 0}}) {
        showLine(line);
        EXPECT_EQ(w->Label1->text(), line);
        const QFont font = w->Label1->font();
        if (points == 0) {
            EXPECT_LT(font.pointSize(), 64);
        } else {
            EXPECT_EQ(font.pointSize(), points) << line;
        }
        EXPECT_LE(QFontMetrics(font).horizontalAdvance(w->Label1->text()), w->Label1->width());
    }
}

// Geometry of every control the dBu view moves, with the window's height.
std::vector<QRect> layoutOf(const frmMain& w) {
    std::vector<QRect> rects{QRect(0, 0, w.width(), w.height())};
    for (const QWidget* c : w.findChildren<QWidget*>()) {
        if (c->parent() == w.centralWidget()) {
            rects.push_back(c->geometry());
        }
    }
    return rects;
}

// AC volts show their level, which a reading without one keeps (also for the logger). The
// dBu view's button twice brings every control back in place, and so does a line that is
// not an AC voltage while the view is shown.
TEST_F(DisplayTick, AcVoltsShowTheDbuLevelAndItsViewComesAndGoes) {
    ASSERT_TRUE(load());
    showLine("AC 7.746 V");
    EXPECT_EQ(w->Label2->text(), "20.00 dBu");
    EXPECT_EQ(BackColorOf(w->cmdDB), VbColor::kLightBlue);
    for (const char* noLevel : {"AC  0.000 V", "AC 9E999 V"}) {
        showLine(noLevel);
        EXPECT_EQ(w->Label2->text(), "20.00 dBu") << noLevel;
        EXPECT_NEAR(w->Reading.CurrentDbu, 20.0f, 0.01f);
        EXPECT_TRUE(w->cmdDB->isEnabled());
    }
    const auto before = layoutOf(*w);
    QTest::mouseClick(w->cmdDB, Qt::LeftButton);
    EXPECT_EQ(w->cmdDB->text(), "AC Volts Only!");
    EXPECT_TRUE(w->Label2->isVisibleTo(w.get()));
    QTest::mouseClick(w->cmdDB, Qt::LeftButton);
    EXPECT_EQ(w->cmdDB->text(), "AC-V in &dBu");
    EXPECT_EQ(layoutOf(*w), before);
    QTest::mouseClick(w->cmdDB, Qt::LeftButton);
    showLine("DC  1.000 V");
    EXPECT_FALSE(w->Label2->isVisibleTo(w.get()));
    EXPECT_EQ(w->Label2->text(), "dBu Not Valid");
    EXPECT_NEAR(w->Reading.CurrentDbu, 20.0f, 0.01f) << "the level stays for the logger";
    EXPECT_EQ(w->cmdDB->text(), "AC-V in &dBu");
    EXPECT_FALSE(w->cmdDB->isEnabled());
    EXPECT_EQ(layoutOf(*w), before);
}

TEST_F(DisplayTick, SilenceShowsNoCommOnTheEighthTick) {
    ASSERT_TRUE(load());
    meterSends("DC  1.234 V\r");
    EXPECT_TRUE(w->cmdLogger->isEnabled());
    EXPECT_EQ(BackColorOf(w->cmdLogger), VbColor::kGreen);
    tick(6);
    EXPECT_EQ(w->Link.LastLine, "DC  1.234 V");
    tick();
    EXPECT_EQ(w->Link.LastLine, "No Comm") << "the seventh tick";
    EXPECT_FALSE(w->cmdLogger->isEnabled());
    EXPECT_EQ(BackColorOf(w->cmdLogger), VbColor::kButtonFace);
    EXPECT_EQ(w->Label1->text(), "DC  1.234 V");
    tick();
    EXPECT_EQ(w->Label1->text(), "No Comm") << "shown on the eighth";
    EXPECT_EQ(w->Label2->text(), "dBu Not Valid");
    EXPECT_FLOAT_EQ(w->Reading.CurrentValue, 0.0f);

    meterSends("AC  0.775 V\r");
    EXPECT_TRUE(w->cmdLogger->isEnabled()) << "a new line wakes the logger button at once";
    tick();
    EXPECT_EQ(w->Label1->text(), "AC  0.775 V");
}

using MainWindowLayout = MainWindowFixture;

// Text from the meter, a log or the settings is shown as it is: its tags are characters.
TEST_F(MainWindowLayout, EveryLabelOfEveryWindowShowsPlainText) {
    ASSERT_TRUE(load());
    showLine("<s>DC 1.0 V");
    const auto shownAsWritten = [](QLabel* label) {
        return label->sizeHint().width() >=
               QFontMetrics(label->font()).horizontalAdvance(label->text());
    };
    EXPECT_TRUE(shownAsWritten(w->Label1));
    w->cmdLogger_Click();
    frmGrapher grapher(*w, Services{clock, dialogs, sound, programFolder.path()});
    for (QWidget* window : std::initializer_list<QWidget*>{w.get(), w->Logger.get(), &grapher}) {
        for (QLabel* label : window->findChildren<QLabel*>()) {
            label->setText("<s>" + label->objectName() + "</s>");
            EXPECT_TRUE(shownAsWritten(label)) << qPrintable(label->objectName());
        }
    }
}

// Only the ports that open are enabled, each with its device as its tip, the stored one
// checked. The port chosen takes over the line begun on the old one, which is free for
// other programs at once, and is opened at the next start. A port that cannot open says
// why, and the display goes on.
TEST_F(MainWindowLayout, ThePortMenuOffersTheFreePortsAndSwitchesOrSaysWhyItCannot) {
    PtyPair other;
    SettingsStore settings;
    settings.Write("Com3Device", other.SlavePath());
    settings.Write("Com5Device", "/dev/does-not-exist-qmx");
    ASSERT_TRUE(load());
    for (int n = 1; n <= 8; ++n) {
        const QAction* item = w->mnuCom[n - 1];
        // Port 1 is probed before the program opens it, so it is free then too.
        EXPECT_EQ(item->isEnabled(), n == 1 || n == 3) << n;
        EXPECT_EQ(item->isChecked(), n == 1) << n;
        EXPECT_EQ(item->text(), QString("Com%1").arg(n));
        if (const QString device = settings.Read(QString("Com%1Device").arg(n), "");
            !device.isEmpty()) {
            EXPECT_EQ(item->toolTip(), device);
            EXPECT_EQ(item->statusTip(), device);
        }
    }
    meter.Write("DC ");
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->Link.PendingLine == "DC "; }, 3000));
    w->mnuCom[2]->trigger();
    EXPECT_TRUE(w->mnuCom[2]->isChecked());
    EXPECT_FALSE(w->mnuCom[0]->isChecked());
    EXPECT_TRUE(QSerialPort(meter.SlavePath()).open(QIODevice::ReadWrite));
    other.Write("1.5 V\r");
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->Link.LastLine == "DC 1.5 V"; }, 3000));
    w->close();
    EXPECT_EQ(settings.Read("CommPort", ""), "3");
    ASSERT_TRUE(load());
    EXPECT_EQ(w->Link.CommPort, 3);
    other.Write("DC 4\r");
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->Link.LastLine == "DC 4"; }, 3000));
    w->mnuCom_Click(5);
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].title, "Cannot Open Serial Port!");
    EXPECT_TRUE(dialogs.boxes[0].text.startsWith(
        "        No Comm Port Available!\r\n/dev/does-not-exist-qmx: no such device.\r\n"
        "Com5 is /dev/does-not-exist-qmx; to change it, edit Com5Device in " +
        settings.FileName() + ".\r\n\r\n"))
        << qPrintable(dialogs.boxes[0].text);
    EXPECT_FALSE(dialogs.boxes[0].text.contains("Press 'OK' to Exit."));
    tick(8);
    EXPECT_EQ(w->Label1->text(), "No Comm");
}

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

// A stored folder proposes Test.qmx in it, a stored log name is kept; a colour outside the
// menu is applied with no item checked; no value, or one that is no setting, gives the
// default.
TEST_F(StartupQuit, StoredSettingsAreReadAndGarbageGivesTheDefaults) {
    const QString proposed = programFolder.filePath("Test.qmx");
    // A setting, and the log proposed and the foreground then.
    const std::tuple<QString, QString, qint32> cases[] = {
        {"", proposed, 65535},
        {"FGColor=99999999999", proposed, 65535},
        {"DataFilePath=/data/logs", "/data/logs/Test.qmx", 65535},
        {"DataFilePath=" + proposed, proposed, 65535},
        {"FGColor=4210752", proposed, 4210752}};
    for (const auto& [setting, log, foreground] : cases) {
        SCOPED_TRACE(qPrintable(setting));
        TearDown(); // the last round's window saves its settings as it closes,
        SetUp();    // then a store without them
        if (!setting.isEmpty()) {
            SettingsStore().Write(setting.section('=', 0, 0), setting.section('=', 1));
        }
        ASSERT_TRUE(load());
        EXPECT_EQ(w->Colors.Background, 0);
        EXPECT_TRUE(w->mnuBGBlack->isChecked());
        EXPECT_EQ(w->Colors.Foreground, foreground);
        for (QAction* item :
             {w->mnuFGBlack, w->mnuFGWhite, w->mnuRed, w->mnuGreen, w->mnuBlue, w->mnuYellow}) {
            EXPECT_EQ(item->isChecked(), item == w->mnuYellow && foreground == 65535)
                << qPrintable(item->objectName());
        }
        EXPECT_EQ(w->Link.CommPort, 1);
        EXPECT_EQ(w->LogFilePath, log);
    }
}

// The frame and File Exit, as the Quit button, each stop the sound and the display timer,
// close the port and save the settings, the alarm sound chosen from the menu among them.
TEST_F(StartupQuit, EveryWayOfQuittingRunsTheWholeQuit) {
    const std::pair<const char*, void (*)(frmMain&)> ways[] = {
        {"frame",
         [](frmMain& w) {
             QCloseEvent frameClose;
             QApplication::sendEvent(&w, &frameClose);
         }},
        {"File Exit", [](frmMain& w) { w.mnuExit->trigger(); }}};
    for (const auto& [how, quit] : ways) {
        SCOPED_TRACE(how);
        TearDown(); // the last round's window saves its settings as it closes,
        SetUp();    // then a store without them
        ASSERT_TRUE(load());
        w->tmrDispUpdate.start();
        w->mnuBGWhite->trigger();
        dialogs.files.push_back(QString("/sounds/bell.wav"));
        w->mnuAlarm->trigger();
        w->mnuAlarm->trigger(); // cancelled
        sound.calls.clear();
        quit(*w);
        EXPECT_FALSE(w->tmrDispUpdate.isActive());
        EXPECT_FALSE(w->Link.IsOpen());
        EXPECT_GE(sound.count("stop"), 1);
        SettingsStore settings;
        EXPECT_EQ(settings.Read("BGColor", ""), "16777215");
        EXPECT_EQ(settings.Read("CommPort", ""), "1");
        EXPECT_EQ(settings.Read("AlarmWav", ""), "/sounds/bell.wav");
        EXPECT_EQ(settings.Read("Com1Device", ""), meter.SlavePath());
    }
    EXPECT_TRUE(dialogs.boxes.empty());
}

// A port that is not there ends the start with its message and keeps the settings as they
// were; a port held by another program says so.
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
        settings.FileName() + ".\r\n\r\n"))
        << qPrintable(dialogs.boxes[0].text);
    for (QAction* port : w->mnuCom) {
        EXPECT_FALSE(port->isChecked());
    }
    EXPECT_FALSE(w->tmrDispUpdate.isActive());
    EXPECT_GE(sound.count("stop"), 1);
    EXPECT_EQ(settings.Read("CommPort", ""), "9");
    EXPECT_EQ(settings.Read("AlarmWav", ""), "/sounds/bell.wav");
    EXPECT_EQ(settings.Read("Font", ""), "Liberation Sans");

    settings.Write("CommPort", "1");
    QSerialPort holder(meter.SlavePath());
    ASSERT_TRUE(holder.open(QIODevice::ReadWrite));
    EXPECT_FALSE(load());
    ASSERT_EQ(dialogs.boxes.size(), 2u);
    EXPECT_TRUE(dialogs.boxes[1].text.startsWith("        Port Already Open!\r\n"));
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

// Help shows the About box and the help text.
TEST_F(StartupQuit, HelpMenuShowsTheTexts) {
    ASSERT_TRUE(load());
    w->mnuAbout->trigger();
    w->mnuContents->trigger();
    ASSERT_EQ(dialogs.boxes.size(), 2u);
    EXPECT_EQ(dialogs.boxes[0].title, "About QMX-7300 Serial Application");
    EXPECT_EQ(dialogs.boxes[0].text, HelpTexts::MainAbout(1.4f));
    EXPECT_EQ(dialogs.boxes[1].title, "QMX-7300 Serial Application Help");
    EXPECT_TRUE(
        dialogs.boxes[1].text.endsWith("in dBu (a 20 log law relative to .775 volts).\r\n"));
}

TEST(ClockText, AlwaysElevenCharactersInTwelveHourFormWhateverTheLocale) {
    const QLocale before;
    for (const char* name : {"de_DE", "en_US", "ja_JP", "ar_EG"}) {
        QLocale::setDefault(QLocale(name));
        EXPECT_EQ(ReadingModel::FormatClockText(QTime(9, 5, 3)), "09:05:03 AM") << name;
        EXPECT_EQ(ReadingModel::FormatClockText(QTime(23, 59, 50)), "11:59:50 PM") << name;
        EXPECT_EQ(ReadingModel::FormatClockText(QTime(0, 0, 10)), "12:00:10 AM") << name;
    }
    QLocale::setDefault(before);
}

using Examples = std::pair<double, const char*>[];

void expectTexts(QString (*format)(double),
                 std::span<const std::pair<double, const char*>> examples) {
    for (const auto& [value, text] : examples) {
        EXPECT_EQ(format(value), text) << value;
    }
}

TEST(NumberFormats, GiveTheTextsOfTheLevelTheScaleTheReadoutAndTheValue) {
    const Examples zeroZero = {{5.234, "05.23"}, {-3.1, "-03.10"}, {123.456, "123.46"},
                               {0.0, "00.00"},   {20.0, "20.00"},  {-0.001, "00.00"}};
    const Examples scale = {{2.0, "2.00"},   {0.5, ".50"},        {0.125, ".125"}, {0.075, ".075"},
                            {-2.5, "-2.50"}, {1000.0, "1000.00"}, {-0.25, "-.25"}, {0.1, ".10"},
                            {0.025, ".025"}, {1.5, "1.50"}};
    const Examples signedTexts = {
        {12.3456, "+12.346"},    {0.5, "+0.50"},         {-3.0, "-3.00"}, {0.0, "+0.00"},
        {-50000.0, "-50000.00"}, {50000.0, "+50000.00"}, {0.25, "+0.25"}, {-1.5, "-1.50"}};
    const Examples plain = {{1.4, "1.4"},       {-1.234, "-1.234"}, {0.0, "0"},
                            {25.0, "25"},       {3.3, "3.3"},       {0.1, "0.1"},
                            {0.0001, "0.0001"}, {100.25, "100.25"}};
    // Seven significant digits at most, and the exponent form where they do not reach.
    const Examples digits = {
        {1234567.0, "1234567"}, {12345678.0, "1.234568E+07"},    {1e7, "1E+07"},
        {0.00001, "1E-05"},     {0.00012345678, "0.0001234568"}, {-0.000012, "-1.2E-05"}};
    expectTexts(FormatZeroZero, zeroZero);
    expectTexts(FormatScale, scale);
    expectTexts(FormatSigned, signedTexts);
    const auto general = [](double v) { return FormatGeneral(float(v)); };
    expectTexts(general, plain);
    expectTexts(general, digits);
}

// The foreground never takes the background's colour: black and white swap.
TEST(DisplayColors, KeepTheForegroundOffTheBackground) {
    // Foreground, background; the foreground then, and whether white and black are offered.
    const std::tuple<qint32, qint32, qint32, bool, bool> cases[] = {
        {VbColor::kWhite, VbColor::kWhite, VbColor::kBlack, false, true},
        {VbColor::kBlack, VbColor::kBlack, VbColor::kWhite, true, false},
        {VbColor::kYellow, VbColor::kBlack, VbColor::kYellow, true, false},
        {VbColor::kYellow, VbColor::kWhite, VbColor::kYellow, false, true},
        {VbColor::kRed, 0x123456, VbColor::kRed, true, true}};
    for (const auto& [foreground, background, shown, white, black] : cases) {
        DisplayColors colors;
        colors.SetForeground(foreground);
        colors.SetBackground(background);
        EXPECT_EQ(std::tuple(colors.Foreground, colors.FgWhiteEnabled, colors.FgBlackEnabled),
                  std::tuple(shown, white, black))
            << foreground << " on " << background;
    }
}

} // namespace
