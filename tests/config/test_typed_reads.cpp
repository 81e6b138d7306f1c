// The typed reads of config values: what each accepts, how it converts, and the exact message
// naming the member and the expectation when it does not.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "plugin/config/TypedReads.h"
#include "tests/config/ConfigFixture.h"

using namespace qv;

namespace {

using nlohmann::json;
using TypedReads = ConfigFixture;

const std::string kPath = "Quorvandelle.Member";

json Value(const char* text) { return json::parse(text); }

// "accepted" or "refused", then each error the read reported.
template <typename ReadValue>
std::string VerdictOf(ReadValue read, const json* member)
{
    ConfigProblems errors;
    std::string verdict = read(member, kPath, errors).has_value() ? "accepted" : "refused";
    for (const ConfigProblem& error : errors) verdict += "; " + Describe(error);
    return verdict;
}

std::string Integer(const json* member) { return VerdictOf(ReadInteger, member); }
std::string Flag(const json* member) { return VerdictOf(ReadFlag, member); }
std::string Text(const json* member) { return VerdictOf(ReadText, member); }
std::string Colour(const json* member) { return VerdictOf(ReadColor, member); }
std::string Multiplier(const json* member) { return VerdictOf(ReadFloat, member); }
std::string CommandName(const json* member) { return VerdictOf(ReadCommandName, member); }
std::string Reminders(const json* member) { return VerdictOf(ReadReminders, member); }

// A read of a member written as JSON text (empty: the member is absent), and the errors expected
// after the member's path (empty: accepted).
struct Row {
    std::string (*read)(const json*);
    std::string text;
    std::string expected;
};

std::string Verdict(const Row& row)
{
    const std::optional<json> member = row.text.empty() ? std::nullopt : std::optional<json>(Value(row.text.c_str()));
    return row.read(member ? &*member : nullptr);
}

std::string Expected(const Row& row) { return row.expected.empty() ? "accepted" : "refused; " + kPath + row.expected; }

TEST_F(TypedReads, WeekdaysTakeAnyNumberCutTowardZeroAndTheLow32Bits)
{
    struct Row {
        const char* text;
        std::int32_t value;
    };
    const Row rows[] = {
        {"5", 5},
        {"5.7", 5},
        {"-0.5", 0},
        {"-5.7", -5},
        {"true", 1},
        {"false", 0},
        {"0", 0},
        {"-1", -1},
        {"6e0", 6},
        {"2147483647", INT_MAX},
        {"2147483648", INT_MIN},
        {"4294967301", 5},
        {"-4294967291", 5},
        {"18446744073709551615", -1},
        {"1e10", 1410065408},
        {"1.0e1", 10},
    };
    for (const Row& row : rows) {
        ConfigProblems errors;
        const json member = Value(row.text);
        EXPECT_EQ(ReadInteger(&member, kPath, errors), std::optional<std::int32_t>(row.value)) << row.text;
        EXPECT_TRUE(errors.empty()) << row.text;
    }
}

TEST_F(TypedReads, FlagsAreTrueOrFalse)
{
    for (const bool flag : {true, false}) {
        ConfigProblems errors;
        const json member(flag);
        EXPECT_EQ(ReadFlag(&member, kPath, errors), std::optional<bool>(flag));
        EXPECT_TRUE(errors.empty());
    }
}

TEST_F(TypedReads, TextsArriveAsUtf16UnitsWrittenDirectlyOrEscaped)
{
    struct Row {
        const char* text;
        std::u16string units;
    };
    const Row rows[] = {
        {R"("Weekend rates on")", u"Weekend rates on"},
        {"\"Caf\xC3\xA9 \xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 \xE4\xBD\xA0\xE5\xA5\xBD \xF0\x9F\x98\x80\"",
         u"Caf\u00e9 \u041f\u0440\u0438\u0432\u0435\u0442 \u4f60\u597d \U0001F600"},
        {R"("Caf\u00e9 \u041f\u0440\u0438\u0432\u0435\u0442 \u4f60\u597d \ud83d\ude00")",
         u"Caf\u00e9 \u041f\u0440\u0438\u0432\u0435\u0442 \u4f60\u597d \U0001F600"},
        {R"("\ud800\udf48")", std::u16string{char16_t(0xD800), char16_t(0xDF48)}},
        // A NUL cuts the text just before it.
        {R"("Weekend\u0000 hidden")", u"Weekend"},
        {R"("\u0000hidden")", u""},
        {R"("")", u""},
    };
    for (const Row& row : rows) {
        ConfigProblems errors;
        const json member = Value(row.text);
        const std::optional<FString> text = ReadText(&member, kPath, errors);
        ASSERT_TRUE(text.has_value()) << row.text;
        EXPECT_EQ(std::u16string(text->View()), row.units) << row.text;
        if (row.units.empty()) {
            EXPECT_EQ(text->Data, nullptr) << "an empty text has no buffer: " << row.text;
        }
        EXPECT_TRUE(errors.empty());
    }
}

TEST_F(TypedReads, ColoursAreFourComponentsUnclampedWithExtraElementsIgnored)
{
    struct Row {
        const char* text;
        float r, g, b, a;
    };
    const float inf = std::numeric_limits<float>::infinity();
    const Row rows[] = {
        {"[0, 1, 0, 1]", 0, 1, 0, 1},
        {"[0, 255, 0, 255]", 0, 255, 0, 255},
        {"[0.25, -0.5, 2e0, 0.1]", 0.25f, -0.5f, 2, 0.1f},
        {"[true, false, true, false]", 1, 0, 1, 0},
        {"[1, 2, 3, 4, 5, \"six\"]", 1, 2, 3, 4},
        {"[1e39, -1e39, 0, 1]", inf, -inf, 0, 1},
    };
    for (const Row& row : rows) {
        ConfigProblems errors;
        const json member = Value(row.text);
        const std::optional<MessageColor> color = ReadColor(&member, kPath, errors);
        ASSERT_TRUE(color.has_value()) << row.text;
        EXPECT_EQ(color->R, row.r) << row.text;
        EXPECT_EQ(color->G, row.g) << row.text;
        EXPECT_EQ(color->B, row.b) << row.text;
        EXPECT_EQ(color->A, row.a) << row.text;
        EXPECT_TRUE(errors.empty()) << row.text;
    }
}

TEST_F(TypedReads, MultipliersAreAnyNumberOrFlagAsTheNearestFloat)
{
    struct Row {
        const char* text;
        float value;
    };
    const float inf = std::numeric_limits<float>::infinity();
    const float largest = std::numeric_limits<float>::max();
    const Row rows[] = {
        {"2", 2.0f},
        {"0.1", 0.1f},
        {"true", 1.0f},
        {"-3", -3.0f},
        // The largest float as it is usually written lies just above it, and still rounds to it.
        {"3.4028235e38", largest},
        {"-3.4028235e38", -largest},
        {"3.40282356e38", largest},
        // From halfway to the next power of two on, the nearest float is infinity.
        {"3.4028236e38", inf},
        {"-1e39", -inf},
        {"1e300", inf},
    };
    for (const Row& row : rows) {
        ConfigProblems errors;
        const json member = Value(row.text);
        EXPECT_EQ(ReadFloat(&member, kPath, errors), std::optional<float>(row.value)) << row.text;
    }
}

// Every read refuses what it cannot take with one error naming what it expected and what it found.
TEST_F(TypedReads, EachReadRefusesWhatItCannotTakeNamingWhatItFound)
{
    const Row rows[] = {
        {Integer, "\"5\"", ": expected a number, found string"},
        {Integer, "null", ": expected a number, found null"},
        {Integer, "[5]", ": expected a number, found array"},
        {Integer, "{}", ": expected a number, found object"},
        {Integer, "1e300", ": 1e+300 is too large for a whole number"},
        {Integer, "", ": missing (expected a number)"},
        {Flag, "1", ": expected true or false, found number"},
        {Flag, "0", ": expected true or false, found number"},
        {Flag, "\"true\"", ": expected true or false, found string"},
        {Flag, "null", ": expected true or false, found null"},
        {Flag, "[true]", ": expected true or false, found array"},
        {Flag, "", ": missing (expected true or false)"},
        {Text, "5", ": expected a string, found number"},
        {Text, "true", ": expected a string, found boolean"},
        {Text, "null", ": expected a string, found null"},
        {Text, "[\"a\"]", ": expected a string, found array"},
        {Text, "{}", ": expected a string, found object"},
        {Text, "", ": missing (expected a string)"},
        {Colour, "[0, 1, 0]", ": expected an array of 4 numbers (R, G, B, A), found 3 elements"},
        {Colour, "[0]", ": expected an array of 4 numbers (R, G, B, A), found 1 element"},
        {Colour, "[]", ": expected an array of 4 numbers (R, G, B, A), found 0 elements"},
        {Colour, "{\"R\": 0}", ": expected an array of 4 numbers (R, G, B, A), found object"},
        {Colour, "\"green\"", ": expected an array of 4 numbers (R, G, B, A), found string"},
        {Colour, "null", ": expected an array of 4 numbers (R, G, B, A), found null"},
        {Colour, "", ": missing (expected an array of 4 numbers (R, G, B, A))"},
        {Colour, "[0, 1, \"0\", 1]", "[2]: expected a number, found string"},
        {Colour, "[0, 1, 0, null]", "[3]: expected a number, found null"},
        {Multiplier, "\"2\"", ": expected a number, found string"},
    };
    for (const Row& row : rows) EXPECT_EQ(Verdict(row), Expected(row)) << row.text;
}

// Each limit is accepted where it lies and refused one past it.
TEST_F(TypedReads, LimitsAreAcceptedAtTheLimitAndRefusedOnePast)
{
    const std::string longest = "\"/" + std::string(31, 'r') + "\"";
    const std::string tooLong = "\"/" + std::string(32, 'r') + "\"";
    const std::string command = ": expected a chat command such as \"/rates\" (a slash and up to 31 letters, digits or "
                                "signs, no spaces), found ";
    const std::string lead = ": expected a whole number of minutes (a week at most) from 1 to 10080, found ";
    const std::string most = json(std::vector<int>(10, 5)).dump();
    const std::string tooMany = json(std::vector<int>(11, 5)).dump();
    const Row rows[] = {
        {CommandName, longest, ""},
        {CommandName, tooLong, command + tooLong},
        {CommandName, "\"/r\"", ""},
        {CommandName, "\"/\"", command + "\"/\""},
        {Reminders, most, ""},
        {Reminders, tooMany, ": 11 reminders; at most 10 are allowed"},
        {Reminders, "[1, 10080]", ""},
        {Reminders, "[10081]", "[0]" + lead + "10081"},
        {Reminders, "[5, 0]", "[1]" + lead + "0"},
    };
    for (const Row& row : rows) EXPECT_EQ(Verdict(row), Expected(row)) << row.text;
}

} // namespace
