#include "help/helptexts.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace qmx;
using namespace qmx::HelpTexts;

namespace {

// Every box names the program, its version and the serial settings in its first lines; the
// About boxes of the main and logging windows are one text, and the graph window's About
// and Help differ in one word.
TEST(HelpTexts, EveryBoxShowsTheVersionAndTheGraphTextsDifferInOneWord) {
    for (const QString& text : {MainAbout(1.4f), MainHelp(1.4f), LoggerAbout(1.4f),
                                LoggerHelp(1.4f), GrapherAbout(1.4f), GrapherHelp(1.4f)}) {
        const QStringList lines = text.split("\r\n");
        ASSERT_GE(lines.size(), 8);
        EXPECT_EQ(lines[0], "QMX-7300 Multimeter Communications");
        EXPECT_EQ(lines[3], "Version 1.4");
        EXPECT_EQ(lines[6], "no parity, 7 data bits, and 2 stop bits.");
    }
    EXPECT_EQ(MainAbout(1.4f),
              "QMX-7300 Multimeter Communications\r\nApplication and Data Logger\r\n\r\n"
              "Version 1.4\r\n\r\nUses Serial Communication at 1200 baud,\r\nno parity, 7 data "
              "bits, and 2 stop bits.\r\n\r\nConnect the QMX-7300 using a normal 9 pin "
              "serial\r\ncable, not a null-modem cable.\r\n\r\n");
    EXPECT_EQ(LoggerAbout(1.4f), MainAbout(1.4f));
    const QString about = GrapherAbout(1.4f);
    EXPECT_EQ(about.split("\r\n").value(16), "as the original .qmx File, which remains intact.");
    EXPECT_EQ(QString(about).replace("remains intact.", "remains unchanged."), GrapherHelp(1.4f));
}

} // namespace
