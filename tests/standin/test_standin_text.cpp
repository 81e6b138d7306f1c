// The host's UTF-8 decoding (ArkApi::Tools::Utf8Decode): the platform's wide text, U+FFFD for what
// does not decode, nothing thrown.
#include <gtest/gtest.h>

#include "plugin/host/ArkApi.h"

namespace {

// The platform's wide text for a list of code points: UTF-16 where wchar_t has 16 bits.
std::wstring Wide(const std::u32string& codePoints)
{
    std::wstring out;
    for (const char32_t c : codePoints) {
        if (sizeof(wchar_t) == 2 && c >= 0x10000) {
            out.push_back(static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10)));
            out.push_back(static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            out.push_back(static_cast<wchar_t>(c));
        }
    }
    return out;
}

TEST(Utf8Decode, GivesThePlatformsWideTextAndReplacesWhatDoesNotDecode)
{
    EXPECT_EQ(ArkApi::Tools::Utf8Decode(""), L"");
    EXPECT_EQ(ArkApi::Tools::Utf8Decode("caf\xC3\xA9"), Wide(U"caf\u00E9"));
    EXPECT_EQ(ArkApi::Tools::Utf8Decode("\xF0\x9F\x98\x80!"), Wide(U"\U0001F600!"));
    EXPECT_EQ(ArkApi::Tools::Utf8Decode("a\x80z"), Wide(U"a\uFFFDz"));
    EXPECT_EQ(ArkApi::Tools::Utf8Decode("\xED\xA0\x80"), Wide(U"\uFFFD\uFFFD\uFFFD"));
}

} // namespace
