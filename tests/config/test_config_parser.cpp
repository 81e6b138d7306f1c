// Parsing config text: a byte-order mark skipped, only the first value read, the first of two equal
// member names kept at every depth, and syntax errors named by line and column (in characters).
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "plugin/config/ConfigParser.h"

using namespace qv;

namespace {

using nlohmann::json;

json Parse(const std::string& text) { return ParseConfig(text).Document; }

std::string ParseError(const std::string& text)
{
    const ParsedConfig parsed = ParseConfig(text);
    return parsed.Error ? Describe(*parsed.Error) : "(parsed without error)";
}

TEST(ConfigParser, AByteOrderMarkAtTheStartIsSkipped)
{
    EXPECT_EQ(Parse("\xEF\xBB\xBF{\"a\": 1}"), json::parse(R"({"a": 1})"));
    EXPECT_EQ(Parse("\xEF\xBB\xBF[true]"), json::parse("[true]"));
}

TEST(ConfigParser, OnlyTheFirstValueIsReadAndWhateverFollowsIsIgnored)
{
    EXPECT_EQ(Parse(R"({"a": 1} trailing text, not JSON {)"), json::parse(R"({"a": 1})"));
    EXPECT_EQ(Parse(R"({"a": 1}{"a": 2})"), json::parse(R"({"a": 1})"));
    EXPECT_EQ(Parse("{\"a\": 1}\n\n// a comment\n"), json::parse(R"({"a": 1})"));
}

TEST(ConfigParser, TheFirstOfTwoEqualMemberNamesIsKeptAtEveryDepth)
{
    struct Row {
        const char* text;
        const char* expected;
    };
    const Row rows[] = {
        {R"({"a": 1, "a": 2})", R"({"a": 1})"},
        {R"({"a": null, "a": 1})", R"({"a": null})"},
        {R"({"a": {"x": 1}, "a": {"y": 2}})", R"({"a": {"x": 1}})"},
        {R"({"a": [1, 2], "a": [3]})", R"({"a": [1, 2]})"},
        // The skipped value's own members and elements, and equal names inside it, go with it.
        {R"({"a": 1, "a": {"a": [1, {"a": 2}], "b": 3}, "b": 4})", R"({"a": 1, "b": 4})"},
        {R"({"o": {"k": "first", "k": "second", "m": 1}})", R"({"o": {"k": "first", "m": 1}})"},
        {R"([{"k": 1, "k": 2}, {"k": 3}])", R"([{"k": 1}, {"k": 3}])"},
        {R"({"list": [{"k": [1], "k": [2]}, [{"k": true, "k": false}]]})", R"({"list": [{"k": [1]}, [{"k": true}]]})"},
        // Equal names in different objects are no duplicates.
        {R"({"x": {"a": 1}, "a": 2, "y": {"a": 3}})", R"({"x": {"a": 1}, "a": 2, "y": {"a": 3}})"},
        {R"({"Quorvandelle": {"ServerName": "A"}, "Quorvandelle": {"ServerName": "B", "Extra": 1}})",
         R"({"Quorvandelle": {"ServerName": "A"}})"},
        // Names differing in case are different names.
        {R"({"ServerName": "A", "servername": "B"})", R"({"ServerName": "A", "servername": "B"})"},
    };
    for (const Row& row : rows) EXPECT_EQ(Parse(row.text), json::parse(row.expected)) << row.text;
}

// A random JSON text whose objects often repeat a name, and the document it must give.
struct Generated {
    std::string text;
    json expected;
};

Generated Generate(std::mt19937& random, int depth)
{
    const auto pick = [&](int count) { return static_cast<int>(random() % static_cast<unsigned>(count)); };
    const int kind = depth == 0 ? pick(6) : pick(8);
    if (kind < 6) {
        const json scalars[] = {
            nullptr, true, pick(1000) - 500, pick(1000) / 8.0, "text " + std::to_string(pick(9)), json::object()};
        const json& value = scalars[kind];
        return {value.dump(), value};
    }
    Generated result;
    const int count = pick(5);
    if (kind == 6) {
        result.expected = json::array();
        result.text = "[";
        for (int i = 0; i < count; ++i) {
            Generated element = Generate(random, depth - 1);
            result.text += (i == 0 ? "" : ", ") + element.text;
            result.expected.push_back(std::move(element.expected));
        }
        result.text += "]";
        return result;
    }
    const char* const names[] = {"a", "b", "c", "Quorvandelle"};
    result.expected = json::object();
    result.text = "{";
    for (int i = 0; i < count; ++i) {
        const std::string name = names[pick(4)];
        Generated member = Generate(random, depth - 1);
        result.text += (i == 0 ? "\"" : ", \"") + name + "\": " + member.text;
        if (!result.expected.contains(name)) result.expected[name] = std::move(member.expected);
    }
    result.text += "}";
    return result;
}

TEST(ConfigParser, RandomDocumentsKeepTheFirstOfEveryRepeatedNameAndAllElse)
{
    std::mt19937 random(20261209);
    for (int i = 0; i < 3000; ++i) {
        const Generated generated = Generate(random, 4);
        ASSERT_EQ(Parse(generated.text), generated.expected) << generated.text;
    }
}

TEST(ConfigParser, AnyTopLevelValueParses)
{
    EXPECT_EQ(Parse("5"), json(5));
    EXPECT_EQ(Parse("\"text\""), json("text"));
    EXPECT_EQ(Parse("null"), json(nullptr));
    EXPECT_EQ(Parse("[1, 2.5, -3]"), json::parse("[1, 2.5, -3]"));
}

TEST(ConfigParser, EscapesBecomeUtf8IncludingSurrogatePairs)
{
    EXPECT_EQ(Parse(R"({"t": "caf\u00e9 \ud83d\ude00"})").at("t"), "caf\xC3\xA9 \xF0\x9F\x98\x80");
    EXPECT_EQ(Parse(R"({"t": "a\u0000b"})").at("t"), std::string("a\0b", 3));
}

TEST(ConfigParser, SyntaxErrorsNameTheLineColumnMemberAndWhatWasWrong)
{
    struct Row {
        std::string text;
        const char* error;
    };
    const Row rows[] = {
        {R"({"Quorvandelle": {"ServerName": }})",
         "parse error in Quorvandelle.ServerName at line 1, column 33: syntax error while parsing value - unexpected "
         "'}'; expected '[', '{', or a literal"},
        {"", "parse error at line 1, column 1: syntax error while parsing value - unexpected end of input; expected "
             "'[', '{', or a literal"},
        {"{\n  \"a\": 1,\n}",
         "parse error at line 3, column 1: probably the comma at line 2, column 9: JSON allows no comma after the last "
         "member or element (syntax error while parsing object key - unexpected '}'; expected string literal)"},
        {R"({"a": 1)", "parse error at line 1, column 8: syntax error while parsing object - unexpected end of input; "
                       "expected '}'"},
        {"{\"a\": \"x\ty\"}",
         "parse error in a at line 1, column 9: syntax error while parsing value - invalid string: "
         "control character U+0009 (HT) must be escaped to \\u0009 or \\t; last read: "
         "'\"x<U+0009>'"},
        {R"({"a": "\q"})", "parse error in a at line 1, column 9: syntax error while parsing value - invalid string: "
                           "forbidden character after backslash; last read: '\"\\q'"},
        {R"({"a": "\ud800"})",
         "parse error in a at line 1, column 14: syntax error while parsing value - invalid string: "
         "surrogate U+D800..U+DBFF must be followed by U+DC00..U+DFFF; last read: "
         "'\"\\ud800\"'"},
    };
    for (const Row& row : rows) EXPECT_EQ(ParseError(row.text), row.error) << row.text;
    // Ill-formed UTF-8 is a syntax error too.
    EXPECT_NE(ParseError("{\"a\": \"\xC3\"}").find("parse error in a at line 1, column 9: "), std::string::npos);
}

TEST(ConfigParser, ColumnsCountCharactersAsAnEditorShowsThem)
{
    // The same place to the eye: the 18th character of line 1, whatever bytes come before it.
    const std::string rows[] = {
        "{\"a\": \"ab\", \"b\": }",
        "{\"a\": \"\u20ac\u20ac\", \"b\": }",
        "{\"a\":\t\"\U0001F389x\", \"b\": }",
        "\xEF\xBB\xBF{\"a\": \"ab\", \"b\": }",
    };
    for (const std::string& text : rows) {
        EXPECT_EQ(ParseError(text).rfind("parse error in b at line 1, column 18: ", 0), 0u) << ParseError(text);
    }
    EXPECT_NE(ParseError("\xEF\xBB\xBF{\"\u20ac\": [1, 2,\n]}").find("probably the comma at line 1, column 12: "),
              std::string::npos);
}

TEST(ConfigParser, TheCommonMistakesOfAHandEditedFileAreNamedInPlainWords)
{
    struct Row {
        std::string text;
        const char* cause; // what the error begins with, after its place
    };
    const Row rows[] = {
        {"{\n  \"a\": 1\n  \"b\": 2\n}", "probably a missing comma at the end of line 2 ("},
        {"{\n  \"a\": \"x\"\n  \"b\": 2\n}", "probably a missing comma at the end of line 2 ("},
        {"{\"a\": {\"x\": 1}\n \"b\": true}", "probably a missing comma at the end of line 1 ("},
        {"{\"a\": [1 2]}", "probably a missing comma before this value ("},
        {"{\"a\": [1, 2,\n]}", "probably the comma at line 1, column 12: JSON allows no comma after the last "},
        {"{\"a\": {\"b\": true,  }}", "probably the comma at line 1, column 17: JSON allows no comma after the last "},
        {"{\n  XPMultiplier: 2\n}", "probably a member name without double quotes (write \"XPMultiplier\") ("},
        {"{\"a\": 1, b: 2}", "probably a member name without double quotes (write \"b\") ("},
        {"{\"a\": Friday}", "probably a text without double quotes (write \"Friday\") ("},
        {"{\"a\": [1, Friday]}", "probably a text without double quotes (write \"Friday\") ("},
        {"{'a': 1}", "probably single quotes: JSON writes texts and member names in double quotes ("},
        {"{\"a\": 'x'}", "probably single quotes: JSON writes texts and member names in double quotes ("},
        {"{\n  // the weekend\n  \"a\": 1\n}", "probably a comment: JSON allows none ("},
        {"{\"a\": 1 /* two */}", "probably a comment: JSON allows none ("},
        // Mistakes of other kinds keep the library's words alone.
        {"{\"a\" 1}", "syntax error while parsing object separator"},
        {"{\"a\" b}", "syntax error while parsing object separator"},
        {"{\"a\": 01}", "syntax error while parsing object"},
    };
    for (const Row& row : rows) {
        const std::string error = ParseError(row.text);
        const std::size_t what = error.find(": ");
        EXPECT_EQ(error.substr(what + 2).rfind(row.cause, 0), 0u) << row.text << "\n" << error;
    }
}

} // namespace

namespace {

// Every text from the file goes into a message through Excerpt: up to 80 bytes whole, and never half
// a character when cut.
TEST(ConfigProblem, AQuotedTextOfEightyBytesIsWholeAndALongerOneIsCutAtACharacter)
{
    const std::string eighty(80, 'a');
    struct Row {
        std::string text;
        std::string quoted;
    };
    const Row rows[] = {
        {eighty, eighty},
        {eighty + "b", eighty + "... (1 more bytes)"},
        // "é" is two bytes, the second of them the 81st: the cut comes before the character.
        {std::string(79, 'a') + "\xC3\xA9" + "b", std::string(79, 'a') + "... (3 more bytes)"},
        {std::string(78, 'a') + "\xE2\x82\xAC", std::string(78, 'a') + "... (3 more bytes)"},
    };
    for (const Row& row : rows) EXPECT_EQ(Excerpt(row.text), row.quoted) << row.text.size();
}

} // namespace
