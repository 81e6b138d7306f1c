// Message patterns and the coloured chat line, character for character.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "plugin/messaging/Patterns.h"

using namespace qv;

namespace {

TEST(Patterns, DoubledBracesBecomeSingleAndSingleBracesAreNotPatterns)
{
    EXPECT_EQ(FormatPattern(std::string_view("Rates {{x2}} on")), std::optional<std::string>("Rates {x2} on"));
    EXPECT_EQ(FormatPattern(std::wstring_view(L"{{}}")), std::optional<std::wstring>(L"{}"));
    EXPECT_EQ(FormatPattern(std::string_view("")), std::optional<std::string>(""));
    for (const char* bad : {"{", "}", "a {} b", "{0}", "x}y", "{name}"}) {
        EXPECT_FALSE(FormatPattern(std::string_view(bad)).has_value()) << bad;
        EXPECT_FALSE(FormatPattern(std::wstring_view(std::wstring(bad, bad + std::strlen(bad)))).has_value()) << bad;
    }
}

TEST(Patterns, EscapedTextPassesThroughAPatternUnchanged)
{
    const std::string text = "unexpected '}' at {line 3}";
    EXPECT_EQ(FormatPattern(EscapeBraces(text)), std::optional<std::string>(text));
}

TEST(Patterns, ChatLineHasTheColourMarkupAndTheTextUnchanged)
{
    EXPECT_EQ(FormatChatLine({0, 1, 0, 1}, L"Hi {{there}}"), L"<RichColor Color=\"0, 1, 0, 1\">Hi {{there}}</>");
    EXPECT_EQ(FormatChatLine({0.25f, 0.5f, 0.75f, 1}, L"x"), L"<RichColor Color=\"0.25, 0.5, 0.75, 1\">x</>");
    EXPECT_EQ(FormatChatLine({0, 0, 0, 0}, L""), L"<RichColor Color=\"0, 0, 0, 0\"></>");
}

TEST(Patterns, ColourNumbersPrintWithSixSignificantDigits)
{
    struct Row {
        float value;
        const wchar_t* printed;
    };
    const float inf = std::numeric_limits<float>::infinity();
    const Row rows[] = {
        {0.1f, L"0.1"},
        {1.0f / 3.0f, L"0.333333"},
        {0.123456789f, L"0.123457"},
        {0.00001f, L"1e-05"},
        {1000000.0f, L"1e+06"},
        {-0.0f, L"-0"},
        {255.0f, L"255"},
        {inf, L"inf"},
        {-inf, L"-inf"},
        {std::nanf(""), L"nan"},
        {0.0001f, L"0.0001"},
        {123456.0f, L"123456"},
        {1234567.0f, L"1.23457e+06"},
    };
    for (const Row& row : rows) {
        const std::wstring expected = std::wstring(L"<RichColor Color=\"") + row.printed + L", 0, 0, 0\">t</>";
        EXPECT_EQ(FormatChatLine({row.value, 0, 0, 0}, L"t"), expected);
    }
}

} // namespace
