// Helpers for the stand-in's tests: a server fixture, game functions by name with the plug-in's
// signatures, and strings of the game's layout built through the game's own allocator.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include <gtest/gtest.h>

#include "standin/server/Server.h"

namespace standin_test {

template <typename FunctionPointer>
FunctionPointer Function(const char* name)
{
    return reinterpret_cast<FunctionPointer>(GetAddress(std::string(name)));
}

template <typename T>
T& Field(const void* object, const char* name)
{
    return *reinterpret_cast<T*>(static_cast<std::uintptr_t>(GetAddress(object, std::string(name))));
}

// A string of the game's layout, as a plug-in builds one: storage from "FMemory.Malloc".
struct TestString {
    char16_t* Data = nullptr;
    std::int32_t Num = 0;
    std::int32_t Max = 0;

    TestString() = default;
    explicit TestString(std::u16string_view text)
    {
        if (text.empty()) return;
        Num = Max = static_cast<std::int32_t>(text.size() + 1);
        Data = static_cast<char16_t*>(
            Function<void* (*)(std::uint64_t, std::uint32_t)>("FMemory.Malloc")(Num * sizeof(char16_t), 0));
        for (std::size_t i = 0; i < text.size(); ++i) Data[i] = text[i];
        Data[text.size()] = u'\0';
    }
    TestString(const TestString& other) : TestString(other.Num == 0 ? u"" : std::u16string_view(other.Data)) {}
    TestString& operator=(const TestString&) = delete;
    TestString& operator=(TestString&& other) noexcept
    {
        std::swap(Data, other.Data);
        std::swap(Num, other.Num);
        std::swap(Max, other.Max);
        return *this;
    }
    ~TestString() { Function<void (*)(void*)>("FMemory.Free")(Data); }

    FString* get() { return reinterpret_cast<FString*>(this); }
    const FString& ref() const { return *reinterpret_cast<const FString*>(this); }
};

class ServerTest : public ::testing::Test {
protected:
    static standin::ServerOptions QuietOptions()
    {
        standin::ServerOptions options;
        options.echoLogToConsole = false;
        return options;
    }
    standin::Server server{QuietOptions()};
};

} // namespace standin_test
