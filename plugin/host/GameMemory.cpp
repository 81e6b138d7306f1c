// FMemory calls by name; nothing is cached, every call asks the host again.
#include "plugin/host/GameMemory.h"

#include <cstdint>

#include "plugin/host/GameAccess.h"

namespace GameMemory {

void* Malloc(std::size_t bytes)
{
    return GameFunction<void* (*)(std::uint64_t, std::uint32_t)>("FMemory.Malloc")(bytes, 0);
}

void* Realloc(void* block, std::size_t bytes)
{
    return GameFunction<void* (*)(void*, std::uint64_t)>("FMemory.Realloc")(block, bytes);
}

void Free(void* block) { GameFunction<void (*)(void*)>("FMemory.Free")(block); }

} // namespace GameMemory
