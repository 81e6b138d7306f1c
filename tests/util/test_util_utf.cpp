// UTF-8 decoding with U+FFFD for every maximal ill-formed subsequence, and UTF-16 at the edges of
// the surrogate ranges, both ways, with the platform's wide text.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "util/Utf.h"

namespace {

struct DecodeCase {
    const char* what;
    std::string bytes;
    std::u32string codePoints;
};

TEST(Utf8, DecodesValidTextAndReplacesEachIllFormedSubsequenceOnce)
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
    for (const auto& c : cases) EXPECT_EQ(util::DecodeUtf8(c.bytes), c.codePoints) << c.what;
}

// Code points next to the surrogate ranges and at the ends of the planes, with their units.
struct Edge {
    const char* utf8;
    std::u16string units;
};

TEST(Utf16, CodePointsAtTheEdgesOfTheSurrogateRangesRoundTrip)
{
    const std::vector<Edge> edges{
        {"\xED\x9F\xBF", u"\uD7FF"},                                // just below the surrogates
        {"\xEE\x80\x80", u"\uE000"},                                // just above them
        {"\xEF\xBF\xBF", u"\uFFFF"},                                // the last of the BMP
        {"\xF0\x90\x80\x80", {char16_t(0xD800), char16_t(0xDC00)}}, // U+10000
        {"\xF0\x90\x8F\xBF", {char16_t(0xD800), char16_t(0xDFFF)}}, // U+103FF: the first high, the last low
        {"\xF0\x9F\x8F\xBF", {char16_t(0xD83C), char16_t(0xDFFF)}}, // U+1F3FF
        {"\xF4\x8F\xBF\xBF", {char16_t(0xDBFF), char16_t(0xDFFF)}}, // U+10FFFF
    };
    for (const Edge& edge : edges) {
        EXPECT_EQ(util::Utf8ToUtf16(edge.utf8), edge.units) << edge.utf8;
        EXPECT_EQ(util::Utf16ToUtf8(edge.units), edge.utf8) << edge.utf8;
        EXPECT_EQ(util::WideToUtf16(util::Utf16ToWide(edge.units)), edge.units) << edge.utf8;
        EXPECT_EQ(util::WideToUtf8(util::Utf8ToWide(edge.utf8)), edge.utf8) << edge.utf8;
    }
    // One wide character per code point where wchar_t holds code points, two units where it is UTF-16.
    EXPECT_EQ(util::Utf8ToWide("\xF4\x8F\xBF\xBF").size(), sizeof(wchar_t) == 2 ? 2u : 1u);
}

TEST(Utf16, EachLoneSurrogateBecomesOneReplacementCharacter)
{
    const char* const replacement = "\xEF\xBF\xBD";
    struct Lone {
        std::u16string units;
        std::string utf8;
    };
    const std::vector<Lone> cases{
        {{u'a', char16_t(0xD800), u'b'}, std::string("a") + replacement + "b"},
        {{u'a', char16_t(0xDBFF)}, std::string("a") + replacement},                     // a high one at the end
        {{char16_t(0xDC00), u'b'}, std::string(replacement) + "b"},                     // a low one first
        {{char16_t(0xDFFF), char16_t(0xD800)}, std::string(replacement) + replacement}, // the wrong order
        {{char16_t(0xD800), char16_t(0xD800), char16_t(0xDC00)}, std::string(replacement) + "\xF0\x90\x80\x80"},
    };
    for (const Lone& lone : cases) {
        EXPECT_EQ(util::Utf16ToUtf8(lone.units), lone.utf8);
        EXPECT_EQ(util::WideToUtf8(util::Utf16ToWide(lone.units)), lone.utf8);
    }
}

} // namespace
