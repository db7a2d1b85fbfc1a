#pragma once

#include <gtest/gtest.h>

namespace qmx {

// A test that starts with an empty settings store.
class SettingsFixture : public ::testing::Test {
protected:
    void SetUp() override;
};

} // namespace qmx
