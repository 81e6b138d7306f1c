// The accounting allocator. Blocks are filled with 0xCD when handed out and with 0xDD before
// they are released, so reads of uninitialised or freed game memory show up as odd values.
#include "standin/framework/Allocator.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <sstream>
#include <unordered_map>

#include "standin/framework/Fatal.h"

namespace standin::memory {

namespace {

constexpr std::uint32_t DefaultAlignment = 16; // what malloc gives on x86-64
constexpr unsigned char FreshByte = 0xCD;
constexpr unsigned char FreedByte = 0xDD;

struct Block {
    void* raw = nullptr; // what std::malloc returned
    std::uint64_t size = 0;
};

struct Ledger {
    std::mutex mutex;
    std::unordered_map<const void*, Block> blocks;
    AllocatorAccounts accounts;
};

// Never destroyed: a plug-in's library-wide strings are released during its teardown, which can
// come after this library's own static objects are gone.
Ledger& TheLedger()
{
    static Ledger* ledger = new Ledger();
    return *ledger;
}

std::string Describe(const void* block)
{
    std::ostringstream text;
    text << block;
    return text.str();
}

// Caller holds the mutex.
void* Allocate(Ledger& ledger, std::uint64_t size, std::uint32_t alignment, const char* caller)
{
    if (alignment == 0) alignment = DefaultAlignment;
    if ((alignment & (alignment - 1)) != 0) {
        LoudFailure(std::string(caller) + ": alignment " + std::to_string(alignment) + " is not a power of two");
    }
    const std::uint64_t extra = alignment > DefaultAlignment ? alignment : 0;
    if (size > (std::uint64_t{1} << 40)) {
        LoudFailure(std::string(caller) + ": absurd size " + std::to_string(size) + " bytes");
    }
    void* raw = std::malloc(static_cast<std::size_t>(std::max<std::uint64_t>(size + extra, 1)));
    if (raw == nullptr) LoudFailure(std::string(caller) + ": out of memory for " + std::to_string(size) + " bytes");
    auto address = reinterpret_cast<std::uintptr_t>(raw);
    if (extra != 0) address = (address + alignment - 1) & ~std::uintptr_t{alignment - 1};
    void* block = reinterpret_cast<void*>(address);
    std::memset(block, FreshByte, static_cast<std::size_t>(size));
    ledger.blocks.emplace(block, Block{raw, size});
    ++ledger.accounts.liveBlocks;
    ledger.accounts.liveBytes += size;
    return block;
}

// Caller holds the mutex and has checked that the block is live.
void Release(Ledger& ledger, std::unordered_map<const void*, Block>::iterator entry)
{
    const Block block = entry->second;
    std::memset(const_cast<void*>(entry->first), FreedByte, static_cast<std::size_t>(block.size));
    ledger.blocks.erase(entry);
    --ledger.accounts.liveBlocks;
    ledger.accounts.liveBytes -= block.size;
    ++ledger.accounts.totalFrees;
    std::free(block.raw);
}

std::unordered_map<const void*, Block>::iterator LiveEntry(Ledger& ledger, void* block, const char* caller)
{
    const auto entry = ledger.blocks.find(block);
    if (entry == ledger.blocks.end()) {
        LoudFailure(std::string(caller) + "(" + Describe(block) +
                    "): not a live block of this allocator (never handed out, or already freed)");
    }
    return entry;
}

} // namespace

void* Malloc(std::uint64_t size, std::uint32_t alignment)
{
    Ledger& ledger = TheLedger();
    const std::lock_guard<std::mutex> lock(ledger.mutex);
    ++ledger.accounts.totalAllocations;
    return Allocate(ledger, size, alignment, "FMemory.Malloc");
}

void* Realloc(void* block, std::uint64_t size)
{
    Ledger& ledger = TheLedger();
    const std::lock_guard<std::mutex> lock(ledger.mutex);
    if (block == nullptr) {
        ++ledger.accounts.totalAllocations;
        return Allocate(ledger, size, 0, "FMemory.Realloc");
    }
    const auto entry = LiveEntry(ledger, block, "FMemory.Realloc");
    if (size == 0) {
        Release(ledger, entry);
        return nullptr;
    }
    const std::uint64_t oldSize = entry->second.size;
    void* moved = Allocate(ledger, size, 0, "FMemory.Realloc");
    std::memcpy(moved, block, static_cast<std::size_t>(std::min(oldSize, size)));
    Release(ledger, ledger.blocks.find(block));
    // The move is a reallocation, not a fresh allocation plus a free.
    --ledger.accounts.totalFrees;
    ++ledger.accounts.totalReallocations;
    return moved;
}

void Free(void* block)
{
    if (block == nullptr) return;
    Ledger& ledger = TheLedger();
    const std::lock_guard<std::mutex> lock(ledger.mutex);
    Release(ledger, LiveEntry(ledger, block, "FMemory.Free"));
}

AllocatorAccounts Accounts()
{
    Ledger& ledger = TheLedger();
    const std::lock_guard<std::mutex> lock(ledger.mutex);
    return ledger.accounts;
}

bool IsLiveBlock(const void* block)
{
    Ledger& ledger = TheLedger();
    const std::lock_guard<std::mutex> lock(ledger.mutex);
    return ledger.blocks.count(block) != 0;
}

} // namespace standin::memory
