// The typed reads of config values: what each accepts, how it converts, and the exact message
// naming the member and the expectation when it does not.
#include <gtest/gtest.h>

#include <iomanip>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "plugin/config/Schedules.h"
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
    // A read that reports an error refuses the file, whatever it gives.
    const bool given = read(member, kPath, errors).has_value();
    std::string verdict = given && errors.empty() ? "accepted" : "refused";
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
std::string Windows(const json* member) { return VerdictOf(ReadSchedules, member); }

// Schedules of count weekly windows named by the given names, "W0", "W1" ... where there are none.
std::string WindowsNamed(std::size_t count, std::vector<std::string> names = {})
{
    json windows = json::array();
    for (std::size_t i = 0; i < count; ++i) {
        const std::string name = i < names.size() ? names[i] : "W" + std::to_string(i);
        windows.push_back({{"Name", name}, {"Days", {1}}, {"From", "10:00"}, {"Until", "11:00"}});
    }
    return windows.dump();
}

void Print(std::ostream& out, std::int32_t value) { out << value; }
void Print(std::ostream& out, bool value) { out << (value ? "true" : "false"); }
void Print(std::ostream& out, float value) { out << value; }
void Print(std::ostream& out, const MessageColor& value)
{
    out << value.R << " " << value.G << " " << value.B << " " << value.A;
}

// The value a read gives, printed; its errors when it gives none or reports any.
template <typename ReadValue>
std::string ValueOf(ReadValue read, const json* member)
{
    ConfigProblems errors;
    const auto value = read(member, kPath, errors);
    if (!value || !errors.empty()) return VerdictOf(read, member);
    std::ostringstream out;
    out << std::setprecision(9);
    Print(out, *value);
    return out.str();
}

std::string IntegerValue(const json* member) { return ValueOf(ReadInteger, member); }
std::string FlagValue(const json* member) { return ValueOf(ReadFlag, member); }
std::string ColourValue(const json* member) { return ValueOf(ReadColor, member); }
std::string MultiplierValue(const json* member) { return ValueOf(ReadFloat, member); }

// A read of a member written as JSON text (empty: the member is absent), and what it must give: for
// a verdict, the errors after the member's path (empty: accepted); for a value, the value printed.
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
        // Next to the surrogate ranges and at the ends of the planes, through the host's decoding.
        {"\"\xED\x9F\xBF\xEE\x80\x80\"", u"\uD7FF\uE000"},
        {"\"\xF0\x90\x8F\xBF\"", std::u16string{char16_t(0xD800), char16_t(0xDFFF)}}, // U+103FF
        {"\"\xF0\x9F\x8F\xBF\"", std::u16string{char16_t(0xD83C), char16_t(0xDFFF)}}, // U+1F3FF
        {"\"\xF4\x8F\xBF\xBF\"", std::u16string{char16_t(0xDBFF), char16_t(0xDFFF)}}, // U+10FFFF
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

// What each read takes, as the value it gives, printed to the float's last digit.
TEST_F(TypedReads, EachReadGivesTheValueItsTextMeans)
{
    const Row rows[] = {
        // Weekdays: any number, cut toward zero, and the low 32 bits of a whole one.
        {IntegerValue, "5", "5"},
        {IntegerValue, "5.7", "5"},
        {IntegerValue, "-0.5", "0"},
        {IntegerValue, "-5.7", "-5"},
        {IntegerValue, "true", "1"},
        {IntegerValue, "false", "0"},
        {IntegerValue, "-1", "-1"},
        {IntegerValue, "6e0", "6"},
        {IntegerValue, "1.0e1", "10"},
        {IntegerValue, "2147483647", "2147483647"},
        {IntegerValue, "2147483648", "-2147483648"},
        {IntegerValue, "4294967301", "5"},
        {IntegerValue, "-4294967291", "5"},
        {IntegerValue, "18446744073709551615", "-1"},
        {IntegerValue, "1e10", "1410065408"},
        {FlagValue, "true", "true"},
        {FlagValue, "false", "false"},
        // Colours: four components, unclamped, elements after the fourth ignored.
        {ColourValue, "[0, 1, 0, 1]", "0 1 0 1"},
        {ColourValue, "[0, 255, 0, 255]", "0 255 0 255"},
        {ColourValue, "[0.25, -0.5, 2e0, 0.1]", "0.25 -0.5 2 0.100000001"},
        {ColourValue, "[true, false, true, false]", "1 0 1 0"},
        {ColourValue, "[1, 2, 3, 4, 5, \"six\"]", "1 2 3 4"},
        {ColourValue, "[1e39, -1e39, 0, 1]", "inf -inf 0 1"},
        // Multipliers: the nearest float of any number or flag.
        {MultiplierValue, "2", "2"},
        {MultiplierValue, "0.1", "0.100000001"},
        {MultiplierValue, "true", "1"},
        {MultiplierValue, "-3", "-3"},
        // The largest float as it is usually written lies just above it, and still rounds to it;
        // from halfway to the next power of two on, the nearest float is infinity.
        {MultiplierValue, "3.4028235e38", "3.40282347e+38"},
        {MultiplierValue, "-3.4028235e38", "-3.40282347e+38"},
        {MultiplierValue, "3.40282356e38", "3.40282347e+38"},
        {MultiplierValue, "3.4028236e38", "inf"},
        {MultiplierValue, "-1e39", "-inf"},
        {MultiplierValue, "1e300", "inf"},
    };
    for (const Row& row : rows) EXPECT_EQ(Verdict(row), row.expected) << row.text;
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
        {Windows, WindowsNamed(1, {""}), "[0].Name: a window needs a name"},
        {Windows, WindowsNamed(1, {"Tab\there"}),
         "[0].Name: holds the control character U+0009; a name is printable text"},
        {Windows, WindowsNamed(1, {"Zero\xE2\x80\x8Bwidth"}),
         "[0].Name: holds the invisible character U+200B; a name is printable text, which players can tell apart"},
        {Windows, WindowsNamed(3, {"A", "B", "A"}),
         "[2].Name: \"A\" is already the name of Quorvandelle.Member[0]; names must be unique"},
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
        {Windows, WindowsNamed(100), ""},
        {Windows, WindowsNamed(101), ": 101 windows; at most 100 are allowed"},
        {Windows, WindowsNamed(1, {std::string(64, 'n')}), ""},
        {Windows, WindowsNamed(1, {std::string(65, 'n')}),
         "[0].Name: a name may have at most 64 bytes, this one has 65 (\"" + std::string(65, 'n') + "\")"},
    };
    for (const Row& row : rows) EXPECT_EQ(Verdict(row), Expected(row)) << row.text;
}

} // namespace
