#include "meter/portfailure.h"

#include <gtest/gtest.h>

#include <cerrno>

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
