// What is wrong with a config file, and where: the one shape of every config error and warning,
// from a missing file to a mistyped member, the one way each is written out, and the one way any
// text from the file is quoted in a message.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

// A place in the config text. Lines count from 1; the column is the place of the character on
// its line, counted in bytes from 1. Line 0 means no place in the text.
struct TextPosition {
    std::size_t Line = 0;
    std::size_t Column = 0;
};

enum class ProblemKind {
    FileMissing, // there is no file at the path
    File,        // the path is not a readable regular file
    Syntax,      // the text is not JSON
    Member,      // a value, or the lack of one (Member "" is the top level)
};

struct ConfigProblem {
    ProblemKind Kind = ProblemKind::Member;
    // The member's path, such as "Quorvandelle.StartDay" or "Quorvandelle.QuorvandelleEnabledRGB[2]":
    // where a value was missing or wrong, or the innermost member a syntax error was found in.
    std::string Member;
    std::string What; // "expected a number, found string"
    TextPosition Where;
};
using ConfigProblems = std::vector<ConfigProblem>;

// Where each value of the section (and the top level, "") starts in the text, by member path.
using ConfigPlaces = std::map<std::string, TextPosition, std::less<>>;

// The place of a member, or, for one that is absent, of the nearest enclosing value that is there.
TextPosition PlaceOf(const ConfigPlaces& places, std::string_view member);
// Gives every member problem that has no place yet the place of its member.
void Locate(ConfigProblems& problems, const ConfigPlaces& places);

// Every text taken from a file (a name, a value, a token) goes into a message through Excerpt,
// so that a huge one cannot make a huge message: it is cut to this many bytes.
inline constexpr std::size_t kMostQuoted = 80;
// text, or its first kMostQuoted bytes (never half a character) and "... (N more bytes)".
std::string Excerpt(std::string_view text);

// A reply to a player stays short; a log record may say more. Problems that do not fit are counted.
inline constexpr std::size_t kReplyLength = 300;
inline constexpr std::size_t kLogRecordLength = 4000;

// One problem, without the file: "Quorvandelle.StartDay at line 12, column 17: expected a number,
// found string", "parse error at line 1, column 68: ...", "not found".
std::string Describe(const ConfigProblem& problem);
// With the file: "<file> not found" for a problem of the file itself, "<file>: <problem>" otherwise.
std::string Describe(std::string_view file, const ConfigProblem& problem);
// Every problem on one line, for a log record or a reply: "<file>: <problem>; <problem>", at most
// length bytes and then "; and N more" for the problems that did not fit. A problem longer than
// the room left, the first one too, is cut.
std::string DescribeAll(std::string_view file, const ConfigProblems& problems, std::size_t length = kLogRecordLength);

} // namespace qv
