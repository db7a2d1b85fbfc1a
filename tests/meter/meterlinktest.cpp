#include "meter/meterlink.h"
#include "tests/support/ptypair.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

using namespace qmx;

namespace {

constexpr int kWaitMs = 3000;

PortMap mapOf(std::initializer_list<QString> devices) {
    PortMap map;
    int n = 1;
    for (const QString& d : devices) {
        map.SetDevice(n++, d);
    }
    return map;
}

class MeterLinkTest : public ::testing::Test {
protected:
    PtyPair meter;
    MeterLink link{mapOf({meter.SlavePath()})};

    void SetUp() override {
        ASSERT_FALSE(link.OpenConfiguredPort().has_value());
        ASSERT_TRUE(QTest::qWaitFor([&] { return link.InputSettled(); }, kWaitMs));
    }

    // Sends bytes and waits until the link has taken all of them.
    void send(const QByteArray& bytes) {
        QSignalSpy spy(&link, &MeterLink::LineCompleted);
        meter.Write(bytes);
        // The link reads each byte without its top bit.
        const auto crs =
            std::count_if(bytes.begin(), bytes.end(), [](char b) { return (b & 0x7F) == '\r'; });
        if (crs > 0) {
            ASSERT_TRUE(QTest::qWaitFor([&] { return spy.count() >= crs; }, kWaitMs));
        } else {
            const QChar last = QChar::fromLatin1(char(bytes.back() & 0x7F));
            ASSERT_TRUE(QTest::qWaitFor([&] { return link.PendingLine.endsWith(last); }, kWaitMs));
        }
    }
};

// Carriage returns end the lines, also from a meter set to 7 data bits and 2 stop bits,
// whose bytes arrive with the top bit set; every other byte is an ordinary character; a
// line that never ends is capped, and the line after it is whole.
TEST_F(MeterLinkTest, CarriageReturnsEndTheLinesInBothFramings) {
    QByteArray every;
    QString everyLine;
    for (int b = 0; b < 256; ++b) {
        if ((b & 0x7F) != '\r') {
            every += char(b);
            everyLine += QChar(b & 0x7F);
        }
    }
    QByteArray sevenTwo;
    for (const char c : QByteArray("AC  0.775 V\r")) {
        sevenTwo += char(c | 0x80);
    }
    const std::pair<QByteArray, QString> cases[] = {
        {"AC 1\r", "AC 1"},        {"DC 1\r\nDC 2\r", "\nDC 2"}, // a line feed starts the next line
        {"DC 1\r\r", ""},          {sevenTwo, "AC  0.775 V"},
        {every + '\r', everyLine}, {QByteArray(5000, 'x') + "\rDC 1\r", "DC 1"},
    };
    for (const auto& [bytes, line] : cases) {
        send(bytes);
        EXPECT_EQ(link.LastLine, line) << bytes.left(40).toHex().constData();
        EXPECT_EQ(link.PendingLine, "");
    }
    send(QByteArray(5000, 'x'));
    EXPECT_EQ(link.PendingLine.size(), MeterLink::kMaxLineLength);
}

// Any character, not only a whole line, starts the count of silent ticks again; the count
// stops at its largest value.
TEST_F(MeterLinkTest, AnyCharacterRestartsTheSilenceCount) {
    for (int i = 0; i < 5; ++i) {
        EXPECT_FALSE(link.CountSilentTick());
    }
    send("D");
    EXPECT_EQ(link.SilenceTicks, 0);
    link.SilenceTicks = MeterLink::kMaxSilenceTicks;
    EXPECT_TRUE(link.CountSilentTick());
    EXPECT_EQ(link.SilenceTicks, MeterLink::kMaxSilenceTicks);
}

TEST_F(MeterLinkTest, PollSendsOneCarriageReturn) {
    meter.ReadAvailable();
    link.SendPoll();
    QByteArray got;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            got += meter.ReadAvailable();
            return !got.isEmpty();
        },
        kWaitMs));
    EXPECT_EQ(got, "\r");
}

// Only a line begun after the port opened counts: what waited from before is dropped, and
// so is the rest of a line still arriving at the open.
TEST(MeterLinkStartup, InputFromBeforeTheOpenIsNoReading) {
    PtyPair meter;
    // Held open raw, as a meter's cable is, so what the meter sends waits in the port.
    const int held = ::open(qPrintable(meter.SlavePath()), O_RDWR | O_NOCTTY);
    termios raw{};
    ::tcgetattr(held, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(held, TCSANOW, &raw);
    meter.Write("52 V\rDC  1.2");
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            int waiting = 0;
            return ::ioctl(held, FIONREAD, &waiting) == 0 && waiting == 12;
        },
        kWaitMs));
    MeterLink link(mapOf({meter.SlavePath()}));
    QStringList lines;
    QObject::connect(&link, &MeterLink::LineCompleted, [&] { lines << link.LastLine; });
    ASSERT_FALSE(link.OpenConfiguredPort().has_value());
    meter.Write("34 V\r");
    ASSERT_TRUE(QTest::qWaitFor([&] { return link.InputSettled(); }, kWaitMs));
    meter.Write("DC  5.000 V\r");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !lines.isEmpty(); }, kWaitMs));
    EXPECT_EQ(lines, QStringList{"DC  5.000 V"});
    ::close(held);
}

TEST(MeterLinkStartup, APathThatIsNoSerialDeviceSaysWhatIsWrong) {
    QTemporaryDir dir;
    QFile(dir.filePath("file")).open(QIODevice::WriteOnly);
    ASSERT_EQ(::mkfifo(qPrintable(dir.filePath("fifo")), 0600), 0);
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder"));
    const std::pair<QString, QString> cases[] = {
        {dir.filePath("file"), "not a serial device (a regular file)"},
        {dir.filePath("fifo"), "not a serial device (a named pipe)"},
        {dir.filePath("folder"), "not a serial device (a folder)"},
        {dir.filePath("missing"), "no such device"},
        {"/dev/null", "not a serial device (a device that is no terminal)"},
        {"/etc/passwd", "not a serial device (a regular file)"}};
    for (const auto& [device, problem] : cases) {
        MeterLink link(mapOf({device}));
        EXPECT_FALSE(link.ProbePorts()[0]) << qPrintable(device);
        const auto failure = link.OpenConfiguredPort();
        ASSERT_TRUE(failure.has_value()) << qPrintable(device);
        const QString text = StartupFailureText(*failure);
        EXPECT_TRUE(text.startsWith("        No Comm Port Available!\r\n" + device + ": " +
                                    problem + ".\r\n"))
            << qPrintable(text);
        EXPECT_EQ(PortFailureLine(*failure), device + ": " + problem);
    }
}

TEST(MeterLinkStartup, ARelativeDeviceIsFoundFromTheCurrentFolder) {
    PtyPair meter;
    QTemporaryDir dir;
    ASSERT_TRUE(QFile::link(meter.SlavePath(), dir.filePath("meter")));
    const QString before = QDir::currentPath();
    QDir::setCurrent(dir.path());
    MeterLink link(mapOf({"meter"}));
    EXPECT_TRUE(link.ProbePorts()[0]);
    EXPECT_FALSE(link.OpenConfiguredPort().has_value());
    QDir::setCurrent(before);
}

} // namespace
