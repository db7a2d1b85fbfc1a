#include <QProcess>

#include <gtest/gtest.h>

namespace {

QString decode(const QByteArray& input, const QStringList& extra = {}) {
    QProcess p;
    p.start(QString(QMX_BIN_DIR) + "/qmxtool", QStringList{"decode"} + extra);
    p.write(input);
    p.closeWriteChannel();
    p.waitForFinished(5000);
    EXPECT_EQ(p.exitCode(), 0);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The dBu level comes from five value characters, so " 0.77" here, not " 0.775".
TEST(QmxtoolDecode, PrintsEveryFieldOfAnAcVoltsLine) {
    EXPECT_EQ(decode("AC  0.775 V\n"),
              "{\"line\":\"AC  0.775 V\",\"modePrefix\":\"AC\",\"mode\":\"AC\","
              "\"valueText\":\" 0.775\",\"value\":0.775,\"units\":\"Volts\","
              "\"isAcVolts\":true,\"acVolts\":0.77,\"dbuValid\":true,"
              "\"dbu\":-0.05169801}\n");
}

TEST(QmxtoolDecode, NullsWhereThereIsNoAcVoltage) {
    EXPECT_EQ(decode("DC -1.234 V\r\n"),
              "{\"line\":\"DC -1.234 V\",\"modePrefix\":\"DC\",\"mode\":\"DC\","
              "\"valueText\":\"-1.234\",\"value\":-1.234,\"units\":\"Volts\","
              "\"isAcVolts\":false,\"acVolts\":null,\"dbuValid\":false,\"dbu\":null}\n");
}

TEST(QmxtoolDecode, RawSplitsAtCarriageReturnsAndKeepsLineFeeds) {
    const QStringList lines = decode("DC 1\r\nDC 2\r", {"--raw"}).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[1].startsWith("{\"line\":\"\\u000aDC 2\"")) << qPrintable(lines[1]);
}

} // namespace
