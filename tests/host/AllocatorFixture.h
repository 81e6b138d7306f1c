// A fixture for tests of the host bridge's values: the stand-in server provides the game's allocator
// ("FMemory.*"), and every test must hand back all the storage it took from it.
#pragma once

#include <gtest/gtest.h>

#include "standin/server/Server.h"

class AllocatorFixture : public ::testing::Test {
protected:
    void SetUp() override { before_ = server_.Allocations(); }

    void TearDown() override
    {
        const standin::AllocatorAccounts after = server_.Allocations();
        EXPECT_EQ(after.liveBlocks, before_.liveBlocks) << "blocks left allocated";
        EXPECT_EQ(after.liveBytes, before_.liveBytes) << "bytes left allocated";
    }

    // What the game's allocator did since the test began.
    std::uint64_t Allocations() const { return server_.Allocations().totalAllocations - before_.totalAllocations; }
    std::uint64_t Reallocations() const
    {
        return server_.Allocations().totalReallocations - before_.totalReallocations;
    }
    std::int64_t LiveBlocks() const
    {
        return static_cast<std::int64_t>(server_.Allocations().liveBlocks - before_.liveBlocks);
    }
    std::int64_t LiveBytes() const
    {
        return static_cast<std::int64_t>(server_.Allocations().liveBytes - before_.liveBytes);
    }

    standin::Server server_{[] {
        standin::ServerOptions options;
        options.echoLogToConsole = false;
        return options;
    }()};

private:
    standin::AllocatorAccounts before_;
};
