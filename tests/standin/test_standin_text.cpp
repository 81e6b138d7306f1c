// UTF-8 decoding as the host offers it (ArkApi::Tools::Utf8Decode) and the stand-in's own
// UTF-16 conversions: surrogate pairs, and U+FFFD for every maximal ill-formed subsequence.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "plugin/host/ArkApi.h"
#include "standin/framework/Text.h"

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

struct DecodeCase {
    const char* what;
    std::string bytes;
    std::u32string codePoints;
};

TEST(Utf8Decode, DecodesValidTextAndReplacesEachIllFormedSubsequenceOnce)
{
    const std::vector<DecodeCase> cases{
        {"empty", "", U""},
        {"ASCII", "qvreload 42", U"qvreload 42"},
        {"two bytes", "caf\xC3\xA9", U"caf\u00E9"},
        {"three bytes", "\xE2\x82\xAC", U"\u20AC"},
        {"four bytes, outside the BMP", "\xF0\x9F\x98\x80!", U"\U0001F600!"},
        {"highest code point", "\xF4\x8F\xBF\xBF", U"\U0010FFFF"},
        {"lone continuation byte", "a\x80z", U"a\uFFFDz"},
        {"byte FF", "\xFF", U"\uFFFD"},
        {"lead byte at the end", "ab\xC3", U"ab\uFFFD"},
        {"truncated three-byte sequence", "\xE2\x82", U"\uFFFD"},
        {"truncated four-byte sequence then ASCII",
         "\xF0\x9F\x98"
         "A",
         U"\uFFFDA"},
        {"broken sequence: the breaking byte is read again", "\xC3\x41", U"\uFFFDA"},
        {"overlong two bytes", "\xC0\xAF", U"\uFFFD\uFFFD"},
        {"overlong three bytes", "\xE0\x80\x80", U"\uFFFD\uFFFD\uFFFD"},
        {"encoded surrogate", "\xED\xA0\x80", U"\uFFFD\uFFFD\uFFFD"},
        {"above U+10FFFF", "\xF4\x90\x80\x80", U"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"NUL passes through", std::string("a\0b", 3), std::u32string(U"a\0b", 3)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ArkApi::Tools::Utf8Decode(c.bytes), Wide(c.codePoints)) << c.what;
        EXPECT_EQ(standin::text::DecodeUtf8(c.bytes), c.codePoints) << c.what;
    }
}

TEST(Utf8Decode, WideTextMatchesThePlatform)
{
    const std::wstring decoded = ArkApi::Tools::Utf8Decode("\xF0\x9F\x98\x80");
    if (sizeof(wchar_t) == 2) {
        ASSERT_EQ(decoded.size(), 2u);
        EXPECT_EQ(static_cast<unsigned>(decoded[0]), 0xD83Du);
        EXPECT_EQ(static_cast<unsigned>(decoded[1]), 0xDE00u);
    } else {
        ASSERT_EQ(decoded.size(), 1u);
        EXPECT_EQ(static_cast<unsigned>(decoded[0]), 0x1F600u);
    }
}

TEST(Utf16Text, RoundTripsAndReplacesUnpairedSurrogates)
{
    EXPECT_EQ(standin::text::Utf8ToUtf16("\xF0\x9F\x98\x80 \xC3\xA9"), u"\xD83D\xDE00 \u00E9");
    EXPECT_EQ(standin::text::Utf16ToUtf8(u"\xD83D\xDE00 \u00E9"), "\xF0\x9F\x98\x80 \xC3\xA9");
    const std::u16string unpaired{u'a', char16_t(0xD800), u'b', char16_t(0xDC00)};
    EXPECT_EQ(standin::text::Utf16ToUtf8(unpaired), "a\xEF\xBF\xBD"
                                                    "b\xEF\xBF\xBD");
    const std::u16string reversed{char16_t(0xDC00), char16_t(0xD800)};
    EXPECT_EQ(standin::text::Utf16ToUtf8(reversed), "\xEF\xBF\xBD\xEF\xBF\xBD");
}

} // namespace
