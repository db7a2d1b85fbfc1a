#include "meter/portmap.h"
#include "platform/settingsstore.h"
#include "tests/support/settingsfixture.h"

#include <gtest/gtest.h>

using namespace qmx;

namespace {

class PortMapTest : public SettingsFixture {};

TEST_F(PortMapTest, UnassignedNumbersTakeFreeDevicesInOrder) {
    SettingsStore settings;
    settings.Write("Com2Device", "/dev/ttyUSB1");
    PortMap map;
    map.Load(settings);
    map.AssignFree({"/dev/ttyUSB0", "/dev/ttyUSB1", "/dev/ttyS0"});
    EXPECT_EQ(map.Device(1), "/dev/ttyUSB0");
    EXPECT_EQ(map.Device(2), "/dev/ttyUSB1");
    EXPECT_EQ(map.Device(3), "/dev/ttyS0");
    EXPECT_EQ(map.Device(4), "");
    EXPECT_EQ(map.Device(9), "");
}

TEST_F(PortMapTest, AStoredEmptyDeviceStaysEmpty) {
    SettingsStore settings;
    settings.Write("Com1Device", "");
    PortMap map;
    map.Load(settings);
    map.AssignFree({"/dev/ttyUSB0"});
    EXPECT_EQ(map.Device(1), "");
    EXPECT_EQ(map.Device(2), "/dev/ttyUSB0");
}

TEST_F(PortMapTest, AnAdapterKeepsItsNumberFromRunToRun) {
    SettingsStore settings;
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

} // namespace
