// FString construction, copying and release; storage only through the game's allocator.
#include "plugin/host/FString.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "plugin/host/Game.h"
#include "util/Utf.h"

namespace {

std::size_t Bytes(std::int32_t characters) { return static_cast<std::size_t>(characters) * sizeof(char16_t); }

} // namespace

FString::FString(const char* narrow)
{
    if (narrow == nullptr || narrow[0] == '\0') return;
    const std::size_t length = std::strlen(narrow);
    Num = static_cast<std::int32_t>(std::min<std::size_t>(length + 1, std::numeric_limits<std::int32_t>::max()));
    Grow();
    for (std::int32_t i = 0; i < Num - 1; ++i) {
        const auto byte = static_cast<unsigned char>(narrow[i]);
        Data[i] = byte < 0x80 ? static_cast<char16_t>(byte) : u'?';
    }
    Data[Num - 1] = u'\0';
}

FString::FString(std::u16string_view units)
{
    units = units.substr(0, units.find(u'\0'));
    if (units.empty()) return;
    Num = static_cast<std::int32_t>(units.size() + 1);
    Grow();
    std::copy(units.begin(), units.end(), Data);
    Data[Num - 1] = u'\0';
}

FString::FString(std::wstring_view wide)
    : FString(std::u16string_view(util::WideToUtf16(wide.substr(0, wide.find(L'\0')))))
{
}

FString::FString(const wchar_t* wide) : FString(wide == nullptr ? std::wstring_view() : std::wstring_view(wide)) {}

FString::FString(const FString& other) : Num(other.Num)
{
    if (Num == 0) return;
    Max = Num;
    Data = static_cast<char16_t*>(qv::Game::Malloc(Bytes(Max)));
    std::copy(other.Data, other.Data + Num, Data);
}

FString& FString::operator=(const FString& other)
{
    if (this == &other) return *this;
    if (other.Num != Max) ResizeExact(other.Num);
    Num = other.Num;
    if (Num != 0) std::copy(other.Data, other.Data + Num, Data);
    return *this;
}

FString::FString(FString&& other) noexcept : Data(other.Data), Num(other.Num), Max(other.Max)
{
    other.Data = nullptr;
    other.Num = other.Max = 0;
}

FString& FString::operator=(FString&& other) noexcept
{
    if (this == &other) return *this;
    Release();
    Data = other.Data;
    Num = other.Num;
    Max = other.Max;
    other.Data = nullptr;
    other.Num = other.Max = 0;
    return *this;
}

FString::~FString() { Release(); }

std::u16string_view FString::View() const
{
    return Num == 0 ? std::u16string_view() : std::u16string_view(Data, static_cast<std::size_t>(Num - 1));
}

const char16_t* FString::operator*() const { return Num != 0 ? Data : u""; }

std::wstring FString::ToWide() const { return util::Utf16ToWide(View()); }

std::string FString::ToUtf8() const { return util::Utf16ToUtf8(View()); }

std::int32_t GrowthCapacity(std::int32_t num, std::int32_t max)
{
    std::int64_t capacity = 4;
    if (max != 0 || num > 4) capacity = std::int64_t{num} + 3 * std::int64_t{num} / 8 + 16;
    if (num > capacity || capacity > std::numeric_limits<std::int32_t>::max()) {
        capacity = std::numeric_limits<std::int32_t>::max();
    }
    return static_cast<std::int32_t>(capacity);
}

// Num is already set.
void FString::Grow()
{
    Max = GrowthCapacity(Num, Max);
    if (Data != nullptr || Max != 0) {
        Data = static_cast<char16_t*>(Data == nullptr ? qv::Game::Malloc(Bytes(Max))
                                                      : qv::Game::Realloc(Data, Bytes(Max)));
    }
}

void FString::ResizeExact(std::int32_t num)
{
    if (num == 0) {
        Release();
        Data = nullptr;
        Num = Max = 0;
        return;
    }
    Data = static_cast<char16_t*>(Data == nullptr ? qv::Game::Malloc(Bytes(num)) : qv::Game::Realloc(Data, Bytes(num)));
    Max = num;
}

void FString::Release() noexcept
{
    if (Data != nullptr) qv::Game::Free(Data);
}
