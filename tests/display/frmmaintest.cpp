#include "tests/support/mainwindowfixture.h"

#include "grapher/frmgrapher.h"
#include "logging/frmlogger.h"
#include "platform/settingsstore.h"
#include "ui/twips.h"
#include "ui/widgetcolors.h"

#include <QAction>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QTest>

#include <gtest/gtest.h>

using namespace qmx;

namespace {

using DisplayTick = MainWindowFixture;

TEST_F(DisplayTick, FirstTicksShowAnEmptyReadingAtFullSize) {
    ASSERT_TRUE(load());
    tick();
    EXPECT_EQ(w->Label1->text(), "");
    EXPECT_EQ(w->Label1->font().pointSize(), 72);
    EXPECT_EQ(w->Label2->text(), "dBu Not Valid");
    EXPECT_FALSE(w->cmdDB->isEnabled());
    EXPECT_EQ(BackColorOf(w->cmdDB), VbColor::kButtonFace);
    EXPECT_FALSE(w->cmdLogger->isEnabled());
}

// Eleven characters at 72 points, twelve at 64, longer lines smaller until they fit whole.
TEST_F(DisplayTick, TheReadingShrinksOnlyAsFarAsItsLengthNeeds) {
    ASSERT_TRUE(load());
    for (const auto& [line, points] : {std::pair{"DC -1.234 V", 72}, std::pair{"DC -1.2345 V", 64},
                                       std::pair{"OH  12.34 KOHM OPEN 1234", 0}}) {
        showLine(line);
        const QFont font = w->Label1->font();
        if (points == 0) {
            EXPECT_LT(font.pointSize(), 64);
        } else {
            EXPECT_EQ(font.pointSize(), points) << line;
        }
        EXPECT_LE(QFontMetrics(font).horizontalAdvance(w->Label1->text()), w->Label1->width());
    }
}

TEST_F(DisplayTick, AcVoltsShowTheDbuLevelAndAZeroValueKeepsIt) {
    ASSERT_TRUE(load());
    showLine("AC 7.746 V");
    EXPECT_EQ(w->Label2->text(), "20.00 dBu");
    EXPECT_TRUE(w->cmdDB->isEnabled());
    EXPECT_EQ(BackColorOf(w->cmdDB), VbColor::kLightBlue);
    for (const char* noLevel : {"AC  0.000 V", "AC 9E999 V"}) {
        showLine(noLevel);
        EXPECT_EQ(w->Label2->text(), "20.00 dBu") << noLevel;
        EXPECT_NEAR(w->Reading.CurrentDbu, 20.0f, 0.01f);
        EXPECT_TRUE(w->cmdDB->isEnabled());
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

TEST_F(DisplayTick, DbuViewTwiceRestoresEveryControl) {
    ASSERT_TRUE(load());
    showLine("AC  0.775 V");
    const auto before = layoutOf(*w);
    QTest::mouseClick(w->cmdDB, Qt::LeftButton);
    EXPECT_TRUE(w->DbuViewShown);
    EXPECT_EQ(w->cmdDB->text(), "AC Volts Only!");
    EXPECT_TRUE(w->Label2->isVisibleTo(w.get()));
    QTest::mouseClick(w->cmdDB, Qt::LeftButton);
    EXPECT_FALSE(w->DbuViewShown);
    EXPECT_EQ(w->cmdDB->text(), "AC-V in &dBu");
    EXPECT_EQ(layoutOf(*w), before);
}

TEST_F(DisplayTick, ALineThatIsNotAnAcVoltageLeavesTheDbuView) {
    ASSERT_TRUE(load());
    showLine("AC  0.775 V");
    const auto before = layoutOf(*w);
    w->cmdDB_Click();
    showLine("DC  1.234 V");
    EXPECT_FALSE(w->DbuViewShown);
    EXPECT_FALSE(w->Label2->isVisibleTo(w.get()));
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

TEST_F(DisplayTick, ChartIndexRunsToTwoHundredThirtyNineAndWraps) {
    ASSERT_TRUE(load());
    showLine("DC  2.000 V");
    EXPECT_EQ(w->Chart.ChartIndex, 1);
    EXPECT_FLOAT_EQ(w->Chart.ChartBuffer[0], 2.0f);
    tick(238);
    EXPECT_EQ(w->Chart.ChartIndex, 239);
    tick();
    EXPECT_EQ(w->Chart.ChartIndex, 0);
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

TEST_F(MainWindowLayout, StartsCentredWithTheControlsOfTheDisplay) {
    ASSERT_TRUE(load());
    EXPECT_EQ(w->windowTitle(), "QMX-7300 RS-232 Communications");
    EXPECT_EQ(w->size(), QSize(760, 276));
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(w->x(), (screen.width() - 760) / 2);
    EXPECT_EQ(w->y(), (screen.height() - 276) / 2);
}

TEST_F(MainWindowLayout, OnlyTheFreePortIsEnabledAndTheStoredOneChecked) {
    PtyPair other;
    SettingsStore settings;
    settings.Write("Com3Device", other.SlavePath());
    settings.Write("Com5Device", "/dev/does-not-exist-qmx");
    ASSERT_TRUE(load());
    for (int n = 1; n <= 8; ++n) {
        // Port 1 is probed before the program opens it, so it is free then too.
        EXPECT_EQ(w->mnuCom[n - 1]->isEnabled(), n == 1 || n == 3) << n;
        EXPECT_EQ(w->mnuCom[n - 1]->isChecked(), n == 1) << n;
    }
    for (int n : {1, 3, 5}) {
        const QString device = SettingsStore().Read(QString("Com%1Device").arg(n), "");
        EXPECT_EQ(w->mnuCom[n - 1]->toolTip(), device);
        EXPECT_EQ(w->mnuCom[n - 1]->statusTip(), device);
        EXPECT_EQ(w->mnuCom[n - 1]->text(), QString("Com%1").arg(n));
    }
}

TEST_F(MainWindowLayout, PortChosenFromTheMenuIsOpenedAtTheNextStart) {
    PtyPair other;
    SettingsStore settings;
    settings.Write("Com4Device", other.SlavePath());
    ASSERT_TRUE(load());
    w->mnuCom[3]->trigger();
    EXPECT_TRUE(w->mnuCom[3]->isChecked());
    EXPECT_FALSE(w->mnuCom[0]->isChecked());
    EXPECT_EQ(w->Link.Device(), other.SlavePath());
    w->close();
    EXPECT_EQ(settings.Read("CommPort", ""), "4");
    ASSERT_TRUE(load());
    EXPECT_EQ(w->Link.CommPort, 4);
    EXPECT_TRUE(w->Link.IsOpen());
    other.Write("DC 4\r");
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->Link.LastLine == "DC 4"; }, 3000));
}

TEST_F(MainWindowLayout, APortThatCannotOpenFromTheMenuSaysSoAndKeepsRunning) {
    SettingsStore settings;
    settings.Write("Com2Device", "/dev/does-not-exist-qmx");
    ASSERT_TRUE(load());
    w->mnuCom_Click(2);
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].title, "Cannot Open Serial Port!");
    EXPECT_TRUE(dialogs.boxes[0].text.startsWith(
        "        No Comm Port Available!\r\n/dev/does-not-exist-qmx: no such device.\r\n"
        "Com2 is /dev/does-not-exist-qmx; to change it, edit "
        "Com2Device in " +
        QSettings("QMX7300", "QMX7300").fileName() + ".\r\n\r\n"))
        << qPrintable(dialogs.boxes[0].text);
    EXPECT_FALSE(dialogs.boxes[0].text.contains("Press 'OK' to Exit."));
    tick(8);
    EXPECT_EQ(w->Label1->text(), "No Comm");
}

} // namespace
