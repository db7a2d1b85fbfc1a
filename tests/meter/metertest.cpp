// The meter: its serial link on a pseudo-terminal, the devices behind the port numbers, the
// texts of a port that fails, and the readings decoded from its lines.
#include "meter/meterlink.h"
#include "meter/meterreading.h"
#include "meter/readnumber.h"
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
#include <clocale>
#include <cmath>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

using namespace qmx;

namespace {

constexpr int kWaitMs = 3000;

class MeterLinkTest : public ::testing::Test {
protected:
    PtyPair meter;
    MeterLink link{PortOne({meter.SlavePath()})};

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
    QByteArray sevenTwo = "AC  0.775 V\r";
    for (char& c : sevenTwo) {
        c = char(c | 0x80);
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

// The poll is one carriage return. Any character, not only a whole line, starts the count
// of silent ticks again; the count stops at its largest value.
TEST_F(MeterLinkTest, PollSendsOneCarriageReturnAndAnyCharacterRestartsTheSilenceCount) {
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
    for (int i = 0; i < 5; ++i) {
        EXPECT_FALSE(link.CountSilentTick());
    }
    send("D");
    EXPECT_EQ(link.SilenceTicks, 0);
    link.SilenceTicks = MeterLink::kMaxSilenceTicks;
    EXPECT_TRUE(link.CountSilentTick());
    EXPECT_EQ(link.SilenceTicks, MeterLink::kMaxSilenceTicks);
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
    MeterLink link(PortOne({meter.SlavePath()}));
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
        MeterLink link(PortOne({device}));
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
    MeterLink link(PortOne({"meter"}));
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
    // The failure's number, port and device; the first lines of its text.
    const std::tuple<int, int, const char*, QString> cases[] = {
        {8002, 5, "",
         "        No Comm Port Available!\r\nCom5 has no device; to give it one, edit Com5Device "
         "in " +
             conf + "This program"},
        {8005, 1, "/dev/ttyS0",
         "        Port Already Open!\r\nCom1 is /dev/ttyS0; to change it, edit Com1Device in " +
             conf + "Another"},
        {5, 2, "/dev/ttyS1",
         "Error #5\r\nCom2 is /dev/ttyS1; to change it, edit Com2Device in " + conf +
             "There is a problem"}};
    for (const auto& [number, port, device, firstLines] : cases) {
        PortFailure f = PortFailureFromErrno(device, 0);
        f.Number = number;
        f.Port = port;
        f.SettingsFile = "/home/u/.config/QMX7300/QMX7300.conf";
        EXPECT_TRUE(StartupFailureText(f).startsWith(firstLines))
            << qPrintable(StartupFailureText(f));
        EXPECT_TRUE(SelectPortFailureText(f).startsWith(firstLines));
    }
}

// The fields of a line by their positions: the line, its mode prefix, mode, value text,
// value and the units or status word of its end.
TEST(DecodeReading, DecodesFieldsByPosition) {
    using Fields =
        std::tuple<const char*, const char*, const char*, const char*, float, const char*>;
    const Fields cases[] = {{"", "", "", "", 0.0f, ""},
                            {"No Comm", "No", "No ", "Comm", 0.0f, "omm"},
                            {"DC -1.234 V", "DC", "DC", "-1.234", -1.234f, "Volts"},
                            {"AC  123.4 mV", "AC", "AC", " 123.4", 123.4f, " mV"},
                            {"FR  1.000 KHz", "FR", "FR", " 1.000", 1.0f, "KHz"},
                            {"OH  12.34 KOHM", "OH", "OH ", " 12.34", 12.34f, "Ohm"},
                            {"OH  1.234 MOHM", "OH", "OH ", " 1.234", 1.234f, "Mohm"},
                            {"OH    OL OPEN", "OH", "OH ", "   OL ", 0.0f, ""},
                            {"CO     0 SHORT", "CO", "CO ", "    0 ", 0.0f, ""},
                            {"LG    LO  LOW", "LG", "LG ", "   LO ", 0.0f, ""},
                            {"TEMP  25.3  C", "TE", "Temp", " 25.3", 25.3f, "  C"},
                            {"Temp  25.3  C", "Te", "Tem", "p  25.", 0.0f, "  C"},
                            {"CAP 47.00 nF", "CA", "CAP", " 47.00", 47.0f, " nF"},
                            {"DC 12", "DC", "DC", "12", 12.0f, " 12"},
                            {"DCV", "DC", "DC", "", 0.0f, "DCV"},
                            {"A", "A", "A", "", 0.0f, "A"}};
    for (const auto& [line, modePrefix, mode, valueText, value, units] : cases) {
        const MeterReading r = DecodeReading(QString::fromLatin1(line));
        EXPECT_EQ(r.ModePrefix, modePrefix) << line;
        EXPECT_EQ(r.Mode, mode) << line;
        EXPECT_EQ(r.ValueText, valueText) << line;
        EXPECT_FLOAT_EQ(r.Value, value) << line;
        EXPECT_EQ(r.Units, units) << line;
    }
}

// Only a line ending in a blank and a capital V is AC volts. Its level needs a positive
// value and a finite single, and is read from five value characters, the value from six.
TEST(DecodeReading, AcVoltsAndTheirLevel) {
    const std::tuple<const char*, bool, bool, double> cases[] = {
        {"AC 0.7746 V", true, true, 0.0},   {"AC 7.746 V", true, true, 20.0},
        {"AC .07746 V", true, true, -20.0}, {"AC  0.000 V", true, false, 0.0},
        {"AC    OL V", true, false, 0.0},   {"AC -0.100 V", true, false, 0.0},
        {"AC 9E999 V", true, false, 0.0},   {"AC  0.775 mV", false, false, 0.0},
        {"AC  0.775 v", false, false, 0.0}, {"DC  0.775 V", false, false, 0.0}};
    for (const auto& [line, acVolts, dbuValid, dbu] : cases) {
        const MeterReading r = DecodeReading(line);
        EXPECT_EQ(r.IsAcVolts, acVolts) << line;
        EXPECT_EQ(r.DbuValid, dbuValid) << line;
        EXPECT_NEAR(r.DbuValid ? r.Dbu : 0.0, dbu, 0.01) << line;
    }
    const MeterReading sixth = DecodeReading("AC 0.7749 V");
    EXPECT_FLOAT_EQ(sixth.Value, 0.7749f);
    EXPECT_DOUBLE_EQ(sixth.AcVolts, 0.774);
}

TEST(ReadNumber, ReadsTheLeadingNumber) {
    const std::pair<QString, double> cases[] = {
        {" 1.234", 1.234}, {"-0.512", -0.512}, {"OPEN", 0.0},
        {"1 2", 12.0},     {"", 0.0},          {"-", 0.0},
        {"+5", 5.0},       {"1,5", 1.0},       {"- 3 .2 5", -3.25},
        {"\t7\n.5", 7.5},  {"1.2.3", 1.2},     {"1E3", 1000.0},
        {"2.5e-2", 0.025}, {"1D2", 100.0},     {"4E", 4.0},
        {"4E+", 4.0},      {".5", 0.5},        {"12.34 KOHM", 12.34},
        {"  OL", 0.0},     {"Comm", 0.0},      {"x12", 0.0}};
    for (const auto& [text, number] : cases) {
        EXPECT_DOUBLE_EQ(ReadNumber(text), number) << qPrintable(text);
    }
    EXPECT_EQ(ReadNumber("1" + QString(400, '0')), INFINITY);
    EXPECT_EQ(ReadNumber("-1E999"), -INFINITY);
}

TEST(ReadNumber, DecimalPointIsAFullStopWhateverTheLocale) {
    const std::string old = std::setlocale(LC_NUMERIC, nullptr);
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) {
        std::setlocale(LC_NUMERIC, "C.UTF-8");
    }
    EXPECT_DOUBLE_EQ(ReadNumber("1.25"), 1.25);
    EXPECT_DOUBLE_EQ(ReadNumber("1,25"), 1.0);
    std::setlocale(LC_NUMERIC, old.c_str());
}

} // namespace
