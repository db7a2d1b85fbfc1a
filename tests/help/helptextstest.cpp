#include "help/helptexts.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace qmx;

namespace {

using namespace HelpTexts;

QStringList linesOf(const QString& text) {
    return text.split("\r\n");
}

TEST(HelpTexts, EveryBoxShowsTheVersionAsItsFourthLine) {
    for (const QString& text : {MainAbout(1.4f), MainHelp(1.4f), LoggerAbout(1.4f),
                                LoggerHelp(1.4f), GrapherAbout(1.4f), GrapherHelp(1.4f)}) {
        const QStringList lines = linesOf(text);
        ASSERT_GE(lines.size(), 8);
        EXPECT_EQ(lines[0], "QMX-7300 Multimeter Communications");
        EXPECT_EQ(lines[3], "Version 1.4");
        EXPECT_EQ(lines[6], "no parity, 7 data bits, and 2 stop bits.");
    }
}

TEST(HelpTexts, MainAboutExact) {
    EXPECT_EQ(MainAbout(1.4f),
              "QMX-7300 Multimeter Communications\r\nApplication and Data Logger\r\n\r\n"
              "Version 1.4\r\n\r\nUses Serial Communication at 1200 baud,\r\nno parity, 7 data "
              "bits, and 2 stop bits.\r\n\r\nConnect the QMX-7300 using a normal 9 pin "
              "serial\r\ncable, not a null-modem cable.\r\n\r\n");
    EXPECT_EQ(LoggerAbout(1.4f), MainAbout(1.4f));
}

TEST(HelpTexts, GrapherTextsDifferOnlyInTheLastWordOfLineSeventeen) {
    const QStringList about = linesOf(GrapherAbout(1.4f));
    const QStringList help = linesOf(GrapherHelp(1.4f));
    ASSERT_EQ(about.size(), help.size());
    for (qsizetype i = 0; i < about.size(); ++i) {
        if (i == 16) {
            EXPECT_EQ(about[i], "as the original .qmx File, which remains intact.");
            EXPECT_EQ(help[i], "as the original .qmx File, which remains unchanged.");
        } else {
            EXPECT_EQ(about[i], help[i]) << i;
        }
    }
    EXPECT_EQ(about[19], "Characters Maximum, Saved on Exit).");
}

} // namespace
