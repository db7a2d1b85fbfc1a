#pragma once

#include <QSettings>

#include <gtest/gtest.h>

namespace qmx {

// A test that starts with an empty settings store.
class SettingsFixture : public ::testing::Test {
protected:
    void SetUp() override { QSettings("QMX7300", "QMX7300").clear(); }
};

} // namespace qmx
