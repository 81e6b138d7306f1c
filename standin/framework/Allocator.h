// The game's allocator as the host offers it ("FMemory.Malloc", "FMemory.Realloc", "FMemory.Free"),
// with accounts of every block it hands out. Freeing or reallocating a block it did not hand out,
// or one already freed, is a loud failure: that is exactly the fault a plug-in that mixes heaps has.
#pragma once

#include <cstdint>

#include "standin/framework/Export.h"
#include "standin/framework/HostTypes.h"

namespace standin::memory {

// Alignment 0 means the default of 16; otherwise a power of two. Size 0 still gives a distinct block.
void* Malloc(std::uint64_t size, std::uint32_t alignment);
// A null block allocates; size 0 frees and gives null. Any other call moves the block, so a
// caller that keeps the old address is caught reading poison.
void* Realloc(void* block, std::uint64_t size);
// Null is harmless.
void Free(void* block);

STANDIN_API AllocatorAccounts Accounts();
STANDIN_API bool IsLiveBlock(const void* block);

} // namespace standin::memory
