// Reading, building and releasing strings of the game's layout.
#include "standin/framework/GameString.h"

#include <algorithm>

#include "standin/framework/Allocator.h"
#include "standin/framework/Fatal.h"

namespace standin {

std::u16string ReadGameString(const FString* text, const char* where)
{
    if (text == nullptr) LoudFailure(std::string(where) + ": null string pointer");
    return ReadGameString(*reinterpret_cast<const GameString*>(text), where);
}

std::u16string ReadGameString(const GameString& text, const char* where)
{
    const auto fail = [&](const std::string& problem) {
        LoudFailure(std::string(where) + ": malformed string (Num " + std::to_string(text.Num) + ", Max " +
                    std::to_string(text.Max) + "): " + problem);
    };
    if (text.Num < 0 || text.Max < 0) fail("negative count");
    if (text.Num > text.Max) fail("Num exceeds Max");
    if (text.Num == 0) return {};
    if (text.Data == nullptr) fail("characters in use but no buffer");
    if (text.Data[text.Num - 1] != u'\0') fail("no terminating zero at Num - 1");
    return std::u16string(text.Data, static_cast<std::size_t>(text.Num - 1));
}

GameString MakeGameString(std::u16string_view characters)
{
    GameString text;
    if (characters.empty()) return text;
    text.Num = text.Max = static_cast<std::int32_t>(characters.size() + 1);
    text.Data = static_cast<char16_t*>(memory::Malloc(static_cast<std::uint64_t>(text.Num) * sizeof(char16_t), 0));
    std::copy(characters.begin(), characters.end(), text.Data);
    text.Data[text.Num - 1] = u'\0';
    return text;
}

void ReleaseGameString(GameString& text)
{
    memory::Free(text.Data);
    text = GameString{};
}

} // namespace standin
