// What is wrong with a config file, and where: the one shape of every config error and warning,
// from a missing file to a mistyped member, the one way each is written out, and the one way any
// text from the file is quoted in a message.
#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

// A place in the config text. Lines count from 1; the column is the place of the character on
// its line, counted from 1 in characters as an editor shows them: a UTF-8 character counts one
// whatever its bytes, a tab one, and the byte-order mark at the start of the file none. Line 0
// means no place in the text.
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
    // For a member the plug-in does not know that is a near miss of one it does: the known name it
    // probably means ("TimeZone" for "Timezone"). Empty for every other problem.
    std::string Suggestion = {};
};
using ConfigProblems = std::vector<ConfigProblem>;

// A misspelt member: the plug-in ignores it, which can undo a whole setting.
inline bool IsNearMiss(const ConfigProblem& problem) { return !problem.Suggestion.empty(); }

// Lines and columns of places in a text: after n bytes read, the line is 1 + the line breaks among
// them, the column the characters read since the last.
TextPosition PositionAfter(std::string_view text, std::size_t read);

// Where the values of the top level, the section and the insides of the settings' own members
// start in a text, noted cheaply while it is parsed (a member of the section by its name, which the
// parsed document keeps, and a byte count); lines and columns are worked out only for the few
// places a problem asks for. Lives no longer than the text and the document it was made from.
class ConfigPlaces {
public:
    explicit ConfigPlaces(std::string_view text = {}) : text_(text) {}

    // A value by its path ("", "Quorvandelle", "Quorvandelle.Schedules[2].Days"), which starts
    // after read bytes.
    void Add(std::string path, std::size_t read) { paths_.emplace(std::move(path), read); }
    // A member of the section, whose name the document holds at name.
    void AddSectionMember(const std::string* name, std::size_t read) { members_.push_back({name, read}); }

    // The place of a member, or, for one that is absent, of the nearest enclosing value that is there.
    TextPosition PlaceOf(std::string_view member) const;

private:
    std::optional<std::size_t> ReadBefore(std::string_view member) const;

    struct SectionMember {
        const std::string* Name;
        std::size_t Read;
    };
    std::string_view text_;
    std::map<std::string, std::size_t, std::less<>> paths_;
    std::vector<SectionMember> members_;
};

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
