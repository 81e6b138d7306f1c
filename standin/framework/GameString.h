// The game's string layout {Data, Num, Max} as the host and the game read and build it. Strings a
// plug-in hands over are read by this layout and checked; strings the host hands to a plug-in get
// their storage from the game's allocator, as the game's own strings do.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class FString;

namespace standin {

struct GameString {
    char16_t* Data = nullptr;
    std::int32_t Num = 0; // characters in use, the terminating zero included; 0 when empty
    std::int32_t Max = 0;
};
static_assert(sizeof(GameString) == 16, "the game's string layout");

// The characters of a string handed over (without the terminating zero). A string that breaks the
// layout's rules (negative counts, Num above Max, no buffer, no terminating zero) is a loud
// failure naming where it was handed over.
std::u16string ReadGameString(const FString* text, const char* where);
std::u16string ReadGameString(const GameString& text, const char* where);

// A new string in allocator storage holding exactly the given characters plus the zero.
GameString MakeGameString(std::u16string_view characters);
// Frees the buffer, if any, and empties the string.
void ReleaseGameString(GameString& text);

inline FString* AsFString(GameString& text) { return reinterpret_cast<FString*>(&text); }

} // namespace standin
