// Message patterns and the coloured chat line, character for character.
#include <gtest/gtest.h>

#include <algorithm>
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

TEST(Patterns, ReminderTimeLeftSaysItInWordsAndItsLengthIsBounded)
{
    const std::pair<std::int32_t, const wchar_t*> rows[] = {
        {1, L"1 minute"},
        {5, L"5 minutes"},
        {60, L"1 hour"},
        {90, L"1 hour and 30 minutes"},
        {1439, L"23 hours and 59 minutes"},
        {1440, L"1 day"},
        {1441, L"1 day and 1 minute"},
        {2880, L"2 days"},
        {10079, L"6 days, 23 hours and 59 minutes"},
    };
    for (const auto& [minutes, words] : rows) {
        EXPECT_EQ(FormatReminder(L"{name}: {time_left} ({minutes})", minutes, L"Fair").value_or(L"(none)"),
                  L"Fair: " + std::wstring(words) + L" (" + std::to_wstring(minutes) + L")");
    }
    std::size_t longest = 0;
    for (std::int32_t minutes = 1; minutes <= 10080; ++minutes) longest = std::max(longest, TimeLeft(minutes).size());
    EXPECT_LE(longest, LongestReminder(L"{time_left}", 64, 10080));
    EXPECT_EQ(LongestReminder(L"{time_left:.4}", 64, 10080), 4u) << "a precision cuts it, as it cuts a name";
}

} // namespace
