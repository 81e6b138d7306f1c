// The game's allocator behind "FMemory.*": its accounts, reallocation, alignment, and the loud
// failure on a block it never handed out or already took back.
#include <cstdint>
#include <cstring>

#include <gtest/gtest.h>

#include "standin/framework/Allocator.h"
#include "tests/standin/StandinTest.h"

namespace {

using standin_test::Function;
using standin_test::ServerTest;

using MallocFn = void* (*)(std::uint64_t, std::uint32_t);
using ReallocFn = void* (*)(void*, std::uint64_t);
using FreeFn = void (*)(void*);

class Allocator : public ServerTest {
protected:
    MallocFn malloc_ = Function<MallocFn>("FMemory.Malloc");
    ReallocFn realloc_ = Function<ReallocFn>("FMemory.Realloc");
    FreeFn free_ = Function<FreeFn>("FMemory.Free");
};
using AllocatorDeathTest = Allocator;

TEST_F(Allocator, AccountsFollowEveryAllocationReallocationAndFree)
{
    const standin::AllocatorAccounts before = server.Allocations();
    void* a = malloc_(40, 0);
    void* b = malloc_(0, 0);
    void* c = realloc_(nullptr, 8);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    ASSERT_NE(c, nullptr);
    EXPECT_NE(a, b);
    standin::AllocatorAccounts now = server.Allocations();
    EXPECT_EQ(now.liveBlocks, before.liveBlocks + 3);
    EXPECT_EQ(now.liveBytes, before.liveBytes + 48);
    EXPECT_EQ(now.totalAllocations, before.totalAllocations + 3);

    std::memcpy(a, "twenty characters...", 21);
    void* grown = realloc_(a, 100);
    EXPECT_STREQ(static_cast<const char*>(grown), "twenty characters...");
    now = server.Allocations();
    EXPECT_EQ(now.liveBlocks, before.liveBlocks + 3);
    EXPECT_EQ(now.liveBytes, before.liveBytes + 108);
    EXPECT_EQ(now.totalReallocations, before.totalReallocations + 1);
    EXPECT_EQ(now.totalFrees, before.totalFrees);

    EXPECT_EQ(realloc_(c, 0), nullptr); // a reallocation to nothing is a free
    free_(b);
    free_(nullptr);
    free_(grown);
    now = server.Allocations();
    EXPECT_EQ(now.liveBlocks, before.liveBlocks);
    EXPECT_EQ(now.liveBytes, before.liveBytes);
    EXPECT_EQ(now.totalFrees, before.totalFrees + 3);
    EXPECT_EQ(now.totalAllocations, before.totalAllocations + 3);
}

TEST_F(Allocator, ReallocationMovesTheBlockSoStaleAddressesAreCaught)
{
    void* block = malloc_(16, 0);
    void* moved = realloc_(block, 16);
    EXPECT_NE(moved, block);
    EXPECT_FALSE(standin::memory::IsLiveBlock(block));
    EXPECT_TRUE(standin::memory::IsLiveBlock(moved));
    free_(moved);
}

TEST_F(Allocator, HonoursPowerOfTwoAlignments)
{
    for (const std::uint32_t alignment : {1u, 8u, 16u, 64u, 4096u}) {
        void* block = malloc_(24, alignment);
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % alignment, 0u) << alignment;
        free_(block);
    }
}

TEST_F(AllocatorDeathTest, ForeignAndRepeatedReleasesAreLoudFailures)
{
    int local = 0;
    EXPECT_DEATH(free_(&local), "FMemory.Free\\(\\w+\\): not a live block of this allocator");
    EXPECT_DEATH(realloc_(&local, 8), "FMemory.Realloc\\(.*\\): not a live block");
    void* heap = std::malloc(8);
    EXPECT_DEATH(free_(heap), "not a live block");
    std::free(heap);
    void* block = malloc_(8, 0);
    free_(block);
    EXPECT_DEATH(free_(block), "already freed");
    EXPECT_DEATH(malloc_(8, 24), "alignment 24 is not a power of two");
}

} // namespace
