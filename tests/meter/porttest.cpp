// The devices behind the port numbers, and the texts of a port that fails.
#include "meter/portfailure.h"
#include "meter/portmap.h"
#include "platform/programsettings.h"
#include "tests/support/settingsfixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <cerrno>

using namespace qmx;

namespace {

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
