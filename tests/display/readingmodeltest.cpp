#include "display/readingmodel.h"

#include <QLocale>

#include <gtest/gtest.h>

using namespace qmx;

namespace {

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

TEST(ReadingModelDbu, FormatsTheLevelAndKeepsItThroughInvalidReadings) {
    ReadingModel model;
    EXPECT_TRUE(model.TakeDbu(DecodeReading("AC .0775 V")));
    EXPECT_EQ(model.DbuText, "-20.00 dBu");
    EXPECT_TRUE(model.TakeDbu(DecodeReading("AC  0.000 V")));
    EXPECT_EQ(model.DbuText, "-20.00 dBu");
    EXPECT_NEAR(model.CurrentDbu, -20.0f, 0.01f);
    EXPECT_FALSE(model.TakeDbu(DecodeReading("DC  1.000 V")));
    EXPECT_EQ(model.DbuText, "dBu Not Valid");
    EXPECT_NEAR(model.CurrentDbu, -20.0f, 0.01f) << "the level stays for the logger";
}

} // namespace
