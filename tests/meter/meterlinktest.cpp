// The serial link on a pseudo-terminal, the devices behind the port numbers, and the texts
// of a port that fails.
#include "meter/meterlink.h"
#include "platform/programsettings.h"
#include "tests/support/ptypair.h"
#include "tests/support/settingsfixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cerrno>
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

using PortMapTest = SettingsFixture;

void expectDevices(const PortMap& map, const QStringList& devices) {
    for (int n = 1; n <= 9; ++n) {
        EXPECT_EQ(map.Device(n), devices.value(n - 1)) << "Com" << n;
    }
}

// Numbers without a stored device take the free devices in order; a stored device stays,
// an empty one too. Saved, an adapter keeps its number when another one appears ahead of
// it in the system's list.
TEST_F(PortMapTest, UnassignedNumbersTakeFreeDevicesInOrderAndKeepThem) {
    SettingsStore().Write("Com1Device", "");
    SettingsStore().Write("Com3Device", "/dev/ttyUSB1");
    ProgramSettings settings;
    PortMap first;
    first.Load(settings);
    first.AssignFree({"/dev/ttyUSB0", "/dev/ttyUSB1", "/dev/ttyS0"});
    expectDevices(first, {"", "/dev/ttyUSB0", "/dev/ttyUSB1", "/dev/ttyS0"});
    first.Save(settings);
    PortMap second;
    second.Load(settings);
    second.AssignFree({"/dev/ttyACM0", "/dev/ttyUSB0", "/dev/ttyUSB1", "/dev/ttyS0"});
    expectDevices(second, {"", "/dev/ttyUSB0", "/dev/ttyUSB1", "/dev/ttyS0", "/dev/ttyACM0"});
}

// Eight devices saved into a settings folder that is a plain file: one line says so.
TEST_F(PortMapTest, ASettingsFileThatCannotBeWrittenIsToldOnce) {
    const QString folder = QFileInfo(SettingsStore().FileName()).path();
    QDir(folder).removeRecursively();
    QDir().mkpath(QFileInfo(folder).path());
    QFile blocker(folder);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    PortMap map;
    map.AssignFree({"/dev/ttyUSB0", "/dev/ttyUSB1", "/dev/ttyS0"});
    ProgramSettings settings;
    testing::internal::CaptureStderr();
    map.Save(settings);
    const std::string told = testing::internal::GetCapturedStderr();
    QFile::remove(folder);
    EXPECT_EQ(told, "The settings file " + SettingsStore().FileName().toStdString() +
                        " cannot be written: the settings of this session are not kept.\n");
}

const QString kExit = "Press 'OK' to Exit.\r\n\r\n";
const QString kNoPort = "        No Comm Port Available!\r\n\r\nThis program requires one port "
                        "(1-8).\r\n\r\nIf using a USB to Serial Adapter, plug it in and\r\n"
                        "configure it prior to launching this application.\r\n\r\n";

// The start-up box adds the line to exit to the text the port menu shows.
TEST(PortFailureText, EachNumberHasItsText) {
    const std::pair<int, QString> cases[] = {
        {8002, kNoPort},
        {91, kNoPort},
        {8012, "        Port Is Not Open!\r\n\r\nCheck Port Availability and Status.\r\n\r\n"},
        {8005, "        Port Already Open!\r\n\r\nAnother process is using the port.\r\n\r\n"},
        {5, "Error #5\r\n\r\nThere is a problem with the serial port!\r\n\r\n"}};
    for (const auto& [number, body] : cases) {
        PortFailure f;
        f.Number = number;
        EXPECT_EQ(StartupFailureText(f), body + kExit) << number;
        EXPECT_EQ(SelectPortFailureText(f), body) << number;
    }
    EXPECT_EQ(StartupFailureText(PortFailureFromErrno("/dev/ttyUSB0", EACCES)),
              "Error #70\r\nYour user needs read and write access to /dev/ttyUSB0 (on most "
              "Linux systems, membership of the group dialout).\r\n\r\nThere is a problem "
              "with the serial port!\r\n\r\n" +
                  kExit);
}

TEST(PortFailureText, TheSystemsErrorChoosesTheNumber) {
    const std::pair<int, int> cases[] = {{ENOENT, 8002}, {ENXIO, 8002}, {ENODEV, 8002},
                                         {EBUSY, 8005},  {0, 8005},     {EACCES, 70},
                                         {EIO, EIO}};
    for (const auto& [err, number] : cases) {
        EXPECT_EQ(PortFailureFromErrno("/dev/x", err).Number, number) << err;
    }
}

// The line after the first one says which device the port number stands for and where to
// change it (the main window's tests check the others: a device that is missing, a port
// number beyond Com8).
TEST(PortFailureText, TheSecondLineNamesTheDeviceAndTheSettingsFile) {
    const QString conf = "/home/u/.config/QMX7300/QMX7300.conf.\r\n\r\n";
    const struct {
        int number;
        int port;
        const char* device;
        QString firstLines;
    } cases[] = {{8002, 5, "",
                  "        No Comm Port Available!\r\nCom5 has no device; to give it one, edit "
                  "Com5Device in " +
                      conf + "This program"},
                 {8005, 1, "/dev/ttyS0",
                  "        Port Already Open!\r\nCom1 is /dev/ttyS0; to change it, edit "
                  "Com1Device in " +
                      conf + "Another"},
                 {5, 2, "/dev/ttyS1",
                  "Error #5\r\nCom2 is /dev/ttyS1; to change it, edit Com2Device in " + conf +
                      "There is a problem"}};
    for (const auto& c : cases) {
        PortFailure f = PortFailureFromErrno(c.device, 0);
        f.Number = c.number;
        f.Port = c.port;
        f.SettingsFile = "/home/u/.config/QMX7300/QMX7300.conf";
        EXPECT_TRUE(StartupFailureText(f).startsWith(c.firstLines))
            << qPrintable(StartupFailureText(f));
        EXPECT_TRUE(SelectPortFailureText(f).startsWith(c.firstLines));
    }
}

} // namespace
