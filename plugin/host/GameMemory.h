// The game's allocator, "FMemory", reached by name. Every block of game-visible storage the
// plug-in owns comes from here, because the game frees what it receives with its own allocator.
#pragma once

#include <cstddef>

namespace GameMemory {

void* Malloc(std::size_t bytes);
void* Realloc(void* block, std::size_t bytes);
void Free(void* block);

} // namespace GameMemory
