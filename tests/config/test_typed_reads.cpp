// The typed reads of config values: what each accepts, how it converts, and the exact message
// naming the member and the expectation when it does not.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

#include "plugin/config/TypedReads.h"
#include "tests/config/ConfigFixture.h"

using namespace qv;

namespace {

using nlohmann::json;
using TypedReads = ConfigFixture;

const std::string kPath = "Quorvandelle.Member";

json Value(const char* text) { return json::parse(text); }

// The one error a failed read reports.
template <typename Read>
std::string ErrorOf(Read read, const json* member)
{
    ConfigProblems errors;
    const auto value = read(member, kPath, errors);
    EXPECT_FALSE(value.has_value());
    return errors.size() == 1 ? Describe(errors[0]) : "(" + std::to_string(errors.size()) + " errors)";
}

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

TEST_F(TypedReads, WeekdaysRefuseEverythingButNumbersAndFlags)
{
    struct Row {
        const char* text;
        const char* error;
    };
    const Row rows[] = {
        {"\"5\"", "Quorvandelle.Member: expected a number, found string"},
        {"null", "Quorvandelle.Member: expected a number, found null"},
        {"[5]", "Quorvandelle.Member: expected a number, found array"},
        {"{}", "Quorvandelle.Member: expected a number, found object"},
        {"1e300", "Quorvandelle.Member: 1e+300 is too large for a whole number"},
    };
    for (const Row& row : rows) {
        const json member = Value(row.text);
        EXPECT_EQ(ErrorOf(ReadInteger, &member), row.error) << row.text;
    }
    EXPECT_EQ(ErrorOf(ReadInteger, nullptr), "Quorvandelle.Member: missing (expected a number)");
}

TEST_F(TypedReads, FlagsAreOnlyTrueOrFalse)
{
    for (const bool flag : {true, false}) {
        ConfigProblems errors;
        const json member(flag);
        EXPECT_EQ(ReadFlag(&member, kPath, errors), std::optional<bool>(flag));
        EXPECT_TRUE(errors.empty());
    }
    struct Row {
        const char* text;
        const char* found;
    };
    const Row rows[] = {
        {"1", "number"}, {"0", "number"}, {"\"true\"", "string"}, {"null", "null"}, {"[true]", "array"}};
    for (const Row& row : rows) {
        const json member = Value(row.text);
        EXPECT_EQ(ErrorOf(ReadFlag, &member),
                  std::string("Quorvandelle.Member: expected true or false, found ") + row.found)
            << row.text;
    }
    EXPECT_EQ(ErrorOf(ReadFlag, nullptr), "Quorvandelle.Member: missing (expected true or false)");
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

TEST_F(TypedReads, TextsRefuseEverythingButStrings)
{
    struct Row {
        const char* text;
        const char* found;
    };
    const Row rows[] = {{"5", "number"}, {"true", "boolean"}, {"null", "null"}, {"[\"a\"]", "array"}, {"{}", "object"}};
    for (const Row& row : rows) {
        const json member = Value(row.text);
        EXPECT_EQ(ErrorOf(ReadText, &member), std::string("Quorvandelle.Member: expected a string, found ") + row.found)
            << row.text;
    }
    EXPECT_EQ(ErrorOf(ReadText, nullptr), "Quorvandelle.Member: missing (expected a string)");
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

TEST_F(TypedReads, ColoursWithoutFourNumbersNameWhatWasFound)
{
    struct Row {
        const char* text;
        const char* error;
    };
    const Row rows[] = {
        {"[0, 1, 0]", "Quorvandelle.Member: expected an array of 4 numbers (R, G, B, A), found 3 elements"},
        {"[0]", "Quorvandelle.Member: expected an array of 4 numbers (R, G, B, A), found 1 element"},
        {"[]", "Quorvandelle.Member: expected an array of 4 numbers (R, G, B, A), found 0 elements"},
        {"{\"R\": 0}", "Quorvandelle.Member: expected an array of 4 numbers (R, G, B, A), found object"},
        {"\"green\"", "Quorvandelle.Member: expected an array of 4 numbers (R, G, B, A), found string"},
        {"null", "Quorvandelle.Member: expected an array of 4 numbers (R, G, B, A), found null"},
        {"[0, 1, \"0\", 1]", "Quorvandelle.Member[2]: expected a number, found string"},
        {"[0, 1, 0, null]", "Quorvandelle.Member[3]: expected a number, found null"},
    };
    for (const Row& row : rows) {
        const json member = Value(row.text);
        EXPECT_EQ(ErrorOf(ReadColor, &member), row.error) << row.text;
    }
    EXPECT_EQ(ErrorOf(ReadColor, nullptr),
              "Quorvandelle.Member: missing (expected an array of 4 numbers (R, G, B, A))");
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
    const json text = Value("\"2\"");
    EXPECT_EQ(ErrorOf(ReadFloat, &text), "Quorvandelle.Member: expected a number, found string");
}

} // namespace
