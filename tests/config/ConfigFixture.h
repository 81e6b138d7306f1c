// For tests that call the plug-in's config code directly, in this process: a stand-in server (the
// game's allocator, UTF-8 decoding and a base directory of its own) with the plug-in not loaded.
// The plug-in's state and the logger go back to their initial state after each test,
// while the allocator that holds their strings is still there.
#pragma once

#include <gtest/gtest.h>

#include "plugin/config/Config.h"
#include "plugin/log/PluginLog.h"
#include "plugin/rates/PluginState.h"
#include "tests/support/PluginServer.h"

class ConfigFixture : public ::testing::Test {
protected:
    void TearDown() override
    {
        qv::State = qv::PluginState{};
        qv::PluginLog().reset();
    }

    testing_support::PluginServer plugin_;
};
