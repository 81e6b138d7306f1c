// The game's wide string: UTF-16 units in storage from the game's allocator. Its layout binds,
// since the game reads and frees the strings it is handed.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class FString {
public:
    char16_t* Data = nullptr;
    std::int32_t Num = 0; // characters in use, the terminating zero included; 0 when empty
    std::int32_t Max = 0; // capacity in characters

    constexpr FString() noexcept = default;
    // Narrow text: bytes 0x80 to 0xFF each become '?'.
    explicit FString(const char* narrow);
    explicit FString(const std::string& narrow) : FString(narrow.c_str()) {}
    // Wide text, up to its first NUL. On Linux wchar_t holds code points, so a character
    // outside the Basic Multilingual Plane arrives as its surrogate pair.
    explicit FString(std::wstring_view wide);
    explicit FString(const wchar_t* wide);
    explicit FString(std::u16string_view units);

    FString(const FString& other);
    FString& operator=(const FString& other);
    FString(FString&& other) noexcept;
    FString& operator=(FString&& other) noexcept;
    ~FString();

    bool IsEmpty() const { return Num == 0; }
    // The characters without the terminating zero; empty text when there is no buffer.
    std::u16string_view View() const;
    const char16_t* operator*() const;
    std::wstring ToWide() const;
    std::string ToUtf8() const;

private:
    void Grow();
    void ResizeExact(std::int32_t num);
    void Release() noexcept;
};

static_assert(sizeof(FString) == 16, "FString layout is the game's");

// The game's slack rule for a string freshly built from text of num characters (the zero
// included): num + 3/8 num + 16, or 4 for a short new string; capped at the largest count a
// string can hold rather than wrapping.
std::int32_t GrowthCapacity(std::int32_t num, std::int32_t max);
