#include "meter/portfailure.h"

#include <gtest/gtest.h>

#include <cerrno>

using namespace qmx;

namespace {

const QString kExit = "Press 'OK' to Exit.\r\n\r\n";

struct TextCase {
    int number;
    const char* body;
};

class StartupTextTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(StartupTextTest, ExactText) {
    PortFailure f;
    f.Number = GetParam().number;
    EXPECT_EQ(StartupFailureText(f), QString(GetParam().body) + kExit);
    EXPECT_EQ(SelectPortFailureText(f), QString(GetParam().body));
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, StartupTextTest,
    ::testing::Values(
        TextCase{8002, "        No Comm Port Available!\r\n\r\nThis program requires one port "
                       "(1-8).\r\n\r\nIf using a USB to Serial Adapter, plug it in "
                       "and\r\nconfigure it prior to launching this application.\r\n\r\n"},
        TextCase{91, "        No Comm Port Available!\r\n\r\nThis program requires one port "
                     "(1-8).\r\n\r\nIf using a USB to Serial Adapter, plug it in "
                     "and\r\nconfigure it prior to launching this application.\r\n\r\n"},
        TextCase{8012, "        Port Is Not Open!\r\n\r\nCheck Port Availability and "
                       "Status.\r\n\r\n"},
        TextCase{8005, "        Port Already Open!\r\n\r\nAnother process is using the "
                       "port.\r\n\r\n"},
        TextCase{5, "Error #5\r\n\r\nThere is a problem with the serial port!\r\n\r\n"}));

TEST(PortFailureText, PermissionProblemNamesTheDeviceAndTheGroup) {
    const PortFailure f = PortFailureFromErrno("/dev/ttyUSB0", EACCES);
    EXPECT_EQ(StartupFailureText(f),
              "Error #70\r\nYour user needs read and write access to /dev/ttyUSB0 (on most "
              "Linux systems, membership of the group dialout).\r\n\r\nThere is a problem "
              "with the serial port!\r\n\r\n" +
                  kExit);
}

struct PlaceCase {
    int number;
    int port;
    const char* device;
    const char* firstLines;
};

class DeviceLineTest : public ::testing::TestWithParam<PlaceCase> {};

// The line after the first one says which device the port number stands for and where to
// change it.
TEST_P(DeviceLineTest, NamesTheDeviceAndTheSettingsFile) {
    PortFailure f = PortFailureFromErrno(GetParam().device, 0);
    f.Number = GetParam().number;
    f.Port = GetParam().port;
    f.SettingsFile = "/home/u/.config/QMX7300/QMX7300.conf";
    EXPECT_TRUE(StartupFailureText(f).startsWith(GetParam().firstLines))
        << qPrintable(StartupFailureText(f));
    EXPECT_TRUE(SelectPortFailureText(f).startsWith(GetParam().firstLines));
}

INSTANTIATE_TEST_SUITE_P(
    Places, DeviceLineTest,
    ::testing::Values(
        PlaceCase{8002, 3, "/dev/ttyUSB0",
                  "        No Comm Port Available!\r\nCom3 is /dev/ttyUSB0; to change it, edit "
                  "Com3Device in /home/u/.config/QMX7300/QMX7300.conf.\r\n\r\nThis program"},
        PlaceCase{8002, 5, "",
                  "        No Comm Port Available!\r\nCom5 has no device; to give it one, edit "
                  "Com5Device in /home/u/.config/QMX7300/QMX7300.conf.\r\n\r\nThis program"},
        PlaceCase{8002, 9, "",
                  "        No Comm Port Available!\r\nPort 9 is not one of Com1 to Com8; to "
                  "change it, edit CommPort in /home/u/.config/QMX7300/QMX7300.conf.\r\n\r\n"},
        PlaceCase{8005, 1, "/dev/ttyS0",
                  "        Port Already Open!\r\nCom1 is /dev/ttyS0; to change it, edit "
                  "Com1Device in /home/u/.config/QMX7300/QMX7300.conf.\r\n\r\nAnother"},
        PlaceCase{5, 2, "/dev/ttyS1",
                  "Error #5\r\nCom2 is /dev/ttyS1; to change it, edit Com2Device in "
                  "/home/u/.config/QMX7300/QMX7300.conf.\r\n\r\nThere is a problem"}));

struct ErrnoCase {
    int err;
    int number;
};

class ErrnoTest : public ::testing::TestWithParam<ErrnoCase> {};

TEST_P(ErrnoTest, MapsToTheNumberThatChoosesTheText) {
    EXPECT_EQ(PortFailureFromErrno("/dev/x", GetParam().err).Number, GetParam().number);
}

INSTANTIATE_TEST_SUITE_P(Errors, ErrnoTest,
                         ::testing::Values(ErrnoCase{ENOENT, 8002}, ErrnoCase{ENXIO, 8002},
                                           ErrnoCase{ENODEV, 8002}, ErrnoCase{EBUSY, 8005},
                                           ErrnoCase{0, 8005}, ErrnoCase{EACCES, 70},
                                           ErrnoCase{EIO, EIO}));

} // namespace
