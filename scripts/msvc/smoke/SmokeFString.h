// The game's string as the smoke test's two sides see it: plugin/host/FString.h's layout without its
// allocation, which needs the host's allocator and a C++ runtime.
#pragma once

#include <cstdint>

class FString {
public:
    const char16_t* Data = nullptr;
    std::int32_t Num = 0;
    std::int32_t Max = 0;
};
static_assert(sizeof(FString) == 16, "FString layout is the game's");

inline bool SameText(const FString& a, const FString& b)
{
    if (a.Num != b.Num) return false;
    for (std::int32_t i = 0; i < a.Num; ++i) {
        if (a.Data[i] != b.Data[i]) return false;
    }
    return true;
}

constexpr FString SmokeCommandName() { return FString{u"/smoke", 7, 7}; }
