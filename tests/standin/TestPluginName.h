// For the test plug-in libraries: a name of the game's string layout in the game's allocator, as
// the host's registration calls take it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "plugin/host/ArkApi.h"

namespace test_plugin {

struct Name {
    char16_t* Data = nullptr;
    std::int32_t Num = 0;
    std::int32_t Max = 0;

    explicit Name(std::u16string_view text)
    {
        Num = Max = static_cast<std::int32_t>(text.size() + 1);
        Data = static_cast<char16_t*>(reinterpret_cast<void* (*)(std::uint64_t, std::uint32_t)>(
            GetAddress(std::string("FMemory.Malloc")))(Num * sizeof(char16_t), 0));
        for (std::size_t i = 0; i < text.size(); ++i) Data[i] = text[i];
        Data[Num - 1] = u'\0';
    }
    Name(const Name&) = delete;
    Name& operator=(const Name&) = delete;
    ~Name() { reinterpret_cast<void (*)(void*)>(GetAddress(std::string("FMemory.Free")))(Data); }
    const FString& ref() const { return *reinterpret_cast<const FString*>(this); }
};

} // namespace test_plugin
