// Writing config problems out, and finding their places.
#include "plugin/config/ConfigProblem.h"

#include <algorithm>

#include "util/Utf.h"

namespace qv {

namespace {

// The first length bytes of text, never half a UTF-8 character, and what was cut.
std::string Cut(std::string_view text, std::size_t length)
{
    if (text.size() <= length) return std::string(text);
    std::size_t cut = length;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    return std::string(text.substr(0, cut)) + "... (" + std::to_string(text.size() - cut) + " more bytes)";
}

} // namespace

TextPosition PositionAfter(std::string_view text, std::size_t read)
{
    const std::string_view before = text.substr(0, read);
    const std::size_t lastBreak = before.rfind('\n');
    std::size_t lineStart = lastBreak == std::string_view::npos ? 0 : lastBreak + 1;
    // An editor shows no byte-order mark (Notepad writes one).
    if (lineStart == 0 && before.substr(0, 3) == "\xEF\xBB\xBF") lineStart = 3;
    // A character cut by read counts as one, as does each ill-formed sequence, which an editor shows
    // as one replacement character; the end of the text, which the parser reads too, counts one.
    const std::size_t pastEnd = read > text.size() ? read - text.size() : 0;
    const std::size_t column = util::DecodeUtf8(before.substr(lineStart)).size() + pastEnd;
    return {static_cast<std::size_t>(std::count(before.begin(), before.end(), '\n')) + 1, column};
}

std::optional<std::size_t> ConfigPlaces::ReadBefore(std::string_view member) const
{
    if (const auto found = paths_.find(member); found != paths_.end()) return found->second;
    // "Quorvandelle.<name>": a member of the section, noted by its name.
    const std::string_view section = "Quorvandelle.";
    if (member.substr(0, section.size()) != section) return std::nullopt;
    const std::string_view name = member.substr(section.size());
    for (const SectionMember& entry : members_) {
        if (*entry.Name == name) return entry.Read;
    }
    return std::nullopt;
}

TextPosition ConfigPlaces::PlaceOf(std::string_view member) const
{
    while (true) {
        if (const auto read = ReadBefore(member)) return PositionAfter(text_, *read);
        if (member.empty()) return {};
        // Up one level: "a.b[2]" to "a.b", "a.b" to "a", "a" to the top level "".
        const std::size_t cut = member.find_last_of(".[");
        member = member.substr(0, cut == std::string_view::npos ? 0 : cut);
    }
}

void Locate(ConfigProblems& problems, const ConfigPlaces& places)
{
    for (ConfigProblem& problem : problems) {
        if (problem.Kind == ProblemKind::Member && problem.Where.Line == 0)
            problem.Where = places.PlaceOf(problem.Member);
    }
}

std::string Excerpt(std::string_view text) { return Cut(text, kMostQuoted); }

std::string Describe(const ConfigProblem& problem)
{
    std::string subject;
    switch (problem.Kind) {
    case ProblemKind::FileMissing:
    case ProblemKind::File:
        return problem.What;
    case ProblemKind::Syntax:
        subject = problem.Member.empty() ? "parse error" : "parse error in " + Excerpt(problem.Member);
        break;
    case ProblemKind::Member:
        subject = problem.Member.empty() ? "the top level" : Excerpt(problem.Member);
        break;
    }
    if (problem.Where.Line != 0) {
        subject +=
            " at line " + std::to_string(problem.Where.Line) + ", column " + std::to_string(problem.Where.Column);
    }
    return subject + ": " + problem.What;
}

std::string Describe(std::string_view file, const ConfigProblem& problem)
{
    const bool ofTheFile = problem.Kind == ProblemKind::FileMissing || problem.Kind == ProblemKind::File;
    return std::string(file) + (ofTheFile ? " " : ": ") + Describe(problem);
}

std::string DescribeAll(std::string_view file, const ConfigProblems& problems, std::size_t length)
{
    // A cut text ends in "... (N more bytes)", which takes up to this many bytes.
    constexpr std::size_t kCutRoom = 32;
    const auto bounded = [&](std::string text) {
        return text.size() <= length ? text : Cut(text, length > kCutRoom ? length - kCutRoom : 0);
    };
    if (problems.empty()) return bounded(std::string(file));
    std::string all = bounded(Describe(file, problems.front()));
    for (std::size_t i = 1; i < problems.size(); ++i) {
        const std::string next = Describe(problems[i]);
        if (all.size() + next.size() + 2 > length) {
            return all + "; and " + std::to_string(problems.size() - i) + " more";
        }
        all += "; " + next;
    }
    return all;
}

} // namespace qv
