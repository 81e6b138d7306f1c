// Each cause is recognised by what follows the last token the parser took whole, which is where a
// file edited by hand usually goes wrong; the library's own description stays beside it.
#include "plugin/config/SyntaxHints.h"

#include "plugin/config/ConfigProblem.h"

namespace qv {

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
bool IsWordStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsWord(char c) { return IsWordStart(c) || (c >= '0' && c <= '9'); }
bool StartsValue(char c)
{
    return c == '"' || c == '{' || c == '[' || c == '-' || (c >= '0' && c <= '9') || c == 't' || c == 'f' || c == 'n';
}

std::size_t SkipSpace(std::string_view text, std::size_t at)
{
    while (at < text.size() && IsSpace(text[at])) ++at;
    return at;
}

std::string LineOf(std::string_view text, std::size_t at) { return std::to_string(PositionAfter(text, at).Line); }

} // namespace

std::optional<std::string> LikelySyntaxCause(std::string_view text, std::size_t end, ReadLast last, bool inObject)
{
    std::size_t at = SkipSpace(text, end);
    std::optional<std::size_t> comma;
    bool colon = false;
    if (at < text.size() && text[at] == ',') {
        comma = at;
        at = SkipSpace(text, at + 1);
    } else if (at < text.size() && text[at] == ':') {
        colon = true;
        at = SkipSpace(text, at + 1);
    }
    if (at >= text.size()) return std::nullopt;
    const char c = text[at];
    if (c == '/' && at + 1 < text.size() && (text[at + 1] == '/' || text[at + 1] == '*')) {
        return std::string("probably a comment: JSON allows none");
    }
    if (c == '\'') return std::string("probably single quotes: JSON writes texts and member names in double quotes");
    if ((c == '}' || c == ']') && comma) {
        const TextPosition place = PositionAfter(text, *comma + 1);
        return "probably the comma at line " + std::to_string(place.Line) + ", column " + std::to_string(place.Column) +
               ": JSON allows no comma after the last member or element";
    }
    if (last == ReadLast::Value && !comma && !colon && StartsValue(c)) {
        // The previous value's last byte and this one's first: on different lines, the comma
        // belongs at the end of the previous value's line.
        const std::string previous = LineOf(text, end);
        return LineOf(text, at + 1) != previous ? "probably a missing comma at the end of line " + previous
                                                : std::string("probably a missing comma before this value");
    }
    if (!IsWordStart(c)) return std::nullopt;
    std::size_t wordEnd = at;
    while (wordEnd < text.size() && IsWord(text[wordEnd])) ++wordEnd;
    const std::string word = Excerpt(text.substr(at, wordEnd - at));
    const bool afterSeparator = last == ReadLast::Opening || (last == ReadLast::Value && comma);
    if (inObject && afterSeparator) return "probably a member name without double quotes (write \"" + word + "\")";
    const bool value = (inObject && last == ReadLast::MemberName && colon) || (!inObject && afterSeparator);
    if (!value || word == "true" || word == "false" || word == "null") return std::nullopt;
    return "probably a text without double quotes (write \"" + word + "\")";
}

} // namespace qv
