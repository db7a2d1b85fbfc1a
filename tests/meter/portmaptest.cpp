#include "meter/portmap.h"
#include "platform/programsettings.h"
#include "tests/support/settingsfixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace qmx;

namespace {

class PortMapTest : public SettingsFixture {};

TEST_F(PortMapTest, UnassignedNumbersTakeFreeDevicesInOrder) {
    SettingsStore().Write("Com2Device", "/dev/ttyUSB1");
    PortMap map;
    map.Load(ProgramSettings());
    map.AssignFree({"/dev/ttyUSB0", "/dev/ttyUSB1", "/dev/ttyS0"});
    EXPECT_EQ(map.Device(1), "/dev/ttyUSB0");
    EXPECT_EQ(map.Device(2), "/dev/ttyUSB1");
    EXPECT_EQ(map.Device(3), "/dev/ttyS0");
    EXPECT_EQ(map.Device(4), "");
    EXPECT_EQ(map.Device(9), "");
}

TEST_F(PortMapTest, AStoredEmptyDeviceStaysEmpty) {
    SettingsStore().Write("Com1Device", "");
    PortMap map;
    map.Load(ProgramSettings());
    map.AssignFree({"/dev/ttyUSB0"});
    EXPECT_EQ(map.Device(1), "");
    EXPECT_EQ(map.Device(2), "/dev/ttyUSB0");
}

TEST_F(PortMapTest, AnAdapterKeepsItsNumberFromRunToRun) {
    ProgramSettings settings;
    {
        PortMap first;
        first.Load(settings);
        first.AssignFree({"/dev/ttyUSB0", "/dev/ttyS0"});
        first.Save(settings);
    }
    PortMap second;
    second.Load(settings);
    // Another adapter appeared ahead of the first in the system's list.
    second.AssignFree({"/dev/ttyACM0", "/dev/ttyUSB0", "/dev/ttyS0"});
    EXPECT_EQ(second.Device(1), "/dev/ttyUSB0");
    EXPECT_EQ(second.Device(2), "/dev/ttyS0");
    EXPECT_EQ(second.Device(3), "/dev/ttyACM0");
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

} // namespace
