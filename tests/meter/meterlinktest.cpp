#include "meter/meterlink.h"
#include "tests/support/ptypair.h"

#include <QDir>
#include <QFile>
#include <QSerialPort>
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

// A meter set to 7 data bits and 2 stop bits arrives with the top bit of every byte set.
QByteArray sevenTwo(const QByteArray& bytes) {
    QByteArray out;
    for (const char c : bytes) {
        out += char(c | 0x80);
    }
    return out;
}

TEST_F(MeterLinkTest, CarriageReturnsEndTheLinesInBothFramings) {
    const std::pair<QByteArray, QString> cases[] = {
        {"AC 1\r", "AC 1"},
        {"DC 1\r\nDC 2\r", "\nDC 2"}, // a line feed starts the next line
        {"DC 1\r\r", ""},
        {sevenTwo("AC  0.775 V\r"), "AC  0.775 V"},
    };
    for (const auto& [bytes, line] : cases) {
        send(bytes);
        EXPECT_EQ(link.LastLine, line) << bytes.toHex().constData();
        EXPECT_EQ(link.PendingLine, "");
    }
}

TEST_F(MeterLinkTest, EveryOtherByteIsAnOrdinaryCharacter) {
    QByteArray bytes;
    for (int b = 0; b < 256; ++b) {
        if ((b & 0x7F) != '\r') {
            bytes += char(b);
        }
    }
    send(bytes + '\r');
    ASSERT_EQ(link.LastLine.size(), 254);
    EXPECT_EQ(link.LastLine[0], QChar(0));
    EXPECT_EQ(link.LastLine[253], QChar(0x7F));
}

TEST_F(MeterLinkTest, ALineThatNeverEndsIsCappedAndTheNextLineIsWhole) {
    send(QByteArray(5000, 'x'));
    EXPECT_EQ(link.PendingLine.size(), MeterLink::kMaxLineLength);
    send("\rDC 1\r");
    EXPECT_EQ(link.LastLine, "DC 1");
}

TEST_F(MeterLinkTest, RingKeepsTheLastSixteenPiecesAndWraps) {
    send("0123456789ABCDEFG\r");
    EXPECT_EQ(link.RxWriteIndex, 18 % 16);
    EXPECT_EQ(link.RxRing[1], "\r");
    EXPECT_EQ(link.RxRing[0], "G");
}

TEST_F(MeterLinkTest, AnyCharacterResetsTheSilenceCount) {
    for (int i = 0; i < 5; ++i) {
        EXPECT_FALSE(link.CountSilentTick());
    }
    send("D");
    EXPECT_EQ(link.SilenceTicks, 0);
    for (int i = 0; i < 6; ++i) {
        EXPECT_FALSE(link.CountSilentTick()) << i;
    }
    EXPECT_TRUE(link.CountSilentTick()) << "the seventh silent tick";
}

TEST_F(MeterLinkTest, SilenceCountStopsAtItsLargestValue) {
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

TEST(MeterLinkStartup, APortThatCannotOpenSaysWhy) {
    PtyPair meter;
    QSerialPort other(meter.SlavePath());
    ASSERT_TRUE(other.open(QIODevice::ReadWrite));
    const struct {
        QString device;
        int port;
        int failure;
    } cases[] = {{"/dev/does-not-exist-qmx", 1, PortFailure::kNoSuchPort},
                 {meter.SlavePath(), 9, PortFailure::kNoSuchPort}, // no device for port 9
                 {meter.SlavePath(), 1, PortFailure::kAlreadyOpen}};
    for (const auto& c : cases) {
        MeterLink link(mapOf({c.device}));
        link.CommPort = c.port;
        const auto failure = link.OpenConfiguredPort();
        ASSERT_TRUE(failure.has_value()) << qPrintable(c.device) << " " << c.port;
        EXPECT_EQ(failure->Number, c.failure) << qPrintable(c.device) << " " << c.port;
    }
}

TEST(MeterLinkStartup, ProbeEnablesOnlyPortsThatOpen) {
    PtyPair meter;
    PortMap map;
    map.SetDevice(3, meter.SlavePath());
    map.SetDevice(5, "/dev/does-not-exist-qmx");
    const MeterLink link(map);
    const auto free = link.ProbePorts();
    for (int n = 1; n <= 8; ++n) {
        EXPECT_EQ(free[n - 1], n == 3) << "Com" << n;
    }
}

TEST(MeterLinkSelect, SwitchesPortsAndKeepsThePendingLine) {
    PtyPair first;
    PtyPair second;
    MeterLink link(mapOf({first.SlavePath(), second.SlavePath()}));
    ASSERT_FALSE(link.OpenConfiguredPort().has_value());
    ASSERT_TRUE(QTest::qWaitFor([&] { return link.InputSettled(); }, kWaitMs));
    first.Write("DC ");
    ASSERT_TRUE(QTest::qWaitFor([&] { return link.PendingLine == "DC "; }, kWaitMs));
    ASSERT_FALSE(link.SelectPort(2).has_value());
    EXPECT_EQ(link.CommPort, 2);
    // Port 1 is free again: another program can take it.
    QSerialPort other(first.SlavePath());
    EXPECT_TRUE(other.open(QIODevice::ReadWrite));
    second.Write("1.5 V\r");
    ASSERT_TRUE(QTest::qWaitFor([&] { return link.LastLine == "DC 1.5 V"; }, kWaitMs));
}

TEST(MeterLinkSelect, UnopenablePortLeavesTheLinkClosedAndRunning) {
    PtyPair first;
    MeterLink link(mapOf({first.SlavePath(), "/dev/does-not-exist-qmx"}));
    ASSERT_FALSE(link.OpenConfiguredPort().has_value());
    const auto failure = link.SelectPort(2);
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->Number, PortFailure::kNoSuchPort);
    EXPECT_FALSE(link.IsOpen());
    EXPECT_EQ(link.CommPort, 2);
    link.SendPoll();
}

TEST(MeterLinkReconnect, ADeviceThatGoesAwayIsOpenedAgainWhenItComesBack) {
    QTemporaryDir dir;
    const QString linkPath = dir.filePath("meter");
    auto before = std::make_unique<PtyPair>();
    ASSERT_TRUE(QFile::link(before->SlavePath(), linkPath));
    MeterLink link(mapOf({linkPath}));
    ASSERT_FALSE(link.OpenConfiguredPort().has_value());
    ASSERT_TRUE(QTest::qWaitFor([&] { return link.InputSettled(); }, kWaitMs));
    before->Write("DC  1.2"); // cut off by the loss
    ASSERT_TRUE(QTest::qWaitFor([&] { return link.PendingLine == "DC  1.2"; }, kWaitMs));
    before->Close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !link.IsOpen(); }, kWaitMs));
    EXPECT_EQ(link.LastLine, "No Comm");
    EXPECT_EQ(link.PendingLine, "");
    PtyPair after;
    QFile::remove(linkPath);
    ASSERT_TRUE(QFile::link(after.SlavePath(), linkPath));
    ASSERT_TRUE(QTest::qWaitFor([&] { return link.IsOpen() && link.InputSettled(); }, kWaitMs));
    after.Write("AC  0.775 V\r");
    ASSERT_TRUE(QTest::qWaitFor([&] { return link.LastLine == "AC  0.775 V"; }, kWaitMs));
}

} // namespace
