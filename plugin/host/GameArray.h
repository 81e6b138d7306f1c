// The game's array layout (Data, Num, Max) and its weak object pointer, as the plug-in reads them.
#pragma once

#include <cstdint>

template <typename T>
struct GameArray {
    T* Data;
    std::int32_t Num;
    std::int32_t Max; // the game's business; never read
};
static_assert(sizeof(GameArray<int>) == 16, "array layout is the game's");

// Opaque to the plug-in: only "FWeakObjectPtr.Get" knows what the eight bytes mean.
struct FWeakObjectPtr {
    std::int32_t ObjectIndex;
    std::int32_t ObjectSerialNumber;
};
static_assert(sizeof(FWeakObjectPtr) == 8, "weak pointer layout is the game's");
