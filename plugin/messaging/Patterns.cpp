// Formatting through fmt. The colour numbers use "{:g}" because a plain "{}" prints the
// shortest round-trip form (0.1f would show as 0.10000000149011612).
#include "plugin/messaging/Patterns.h"

#include <fmt/format.h>
#include <fmt/xchar.h>

#include <algorithm>
#include <limits>
#include <vector>

namespace qv {

namespace {

constexpr std::int32_t kMinutesPerDay = 24 * 60;

} // namespace

std::optional<std::string> FormatPattern(std::string_view pattern)
{
    try {
        return fmt::format(fmt::runtime(pattern));
    } catch (const fmt::format_error&) {
        return std::nullopt;
    }
}

std::optional<std::wstring> FormatPattern(std::wstring_view pattern)
{
    try {
        return fmt::format(fmt::runtime(pattern));
    } catch (const fmt::format_error&) {
        return std::nullopt;
    }
}

namespace {

template <typename Char>
std::basic_string<Char> Escaped(std::basic_string_view<Char> text)
{
    std::basic_string<Char> escaped;
    escaped.reserve(text.size());
    for (Char c : text) {
        escaped.push_back(c);
        if (c == Char('{') || c == Char('}')) escaped.push_back(c);
    }
    return escaped;
}

} // namespace

std::string EscapeBraces(std::string_view text) { return Escaped(text); }

std::wstring EscapeBraces(std::wstring_view text) { return Escaped(text); }

std::wstring TimeLeft(std::int32_t minutes)
{
    const auto part = [](std::int32_t count, const wchar_t* unit) {
        return std::to_wstring(count) + L" " + unit + (count == 1 ? L"" : L"s");
    };
    std::vector<std::wstring> parts;
    if (minutes >= kMinutesPerDay) parts.push_back(part(minutes / kMinutesPerDay, L"day"));
    if (minutes / 60 % 24 != 0) parts.push_back(part(minutes / 60 % 24, L"hour"));
    if (minutes % 60 != 0 || parts.empty()) parts.push_back(part(minutes % 60, L"minute"));
    std::wstring text;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        text += (i == 0 ? L"" : i + 1 == parts.size() ? L" and " : L", ") + parts[i];
    }
    return text;
}

std::optional<std::wstring> FormatReminder(std::wstring_view pattern, std::int32_t minutes, std::wstring_view name)
{
    try {
        return fmt::format(fmt::runtime(pattern), fmt::arg(L"minutes", minutes), fmt::arg(L"name", name),
                           fmt::arg(L"time_left", TimeLeft(minutes)));
    } catch (const fmt::format_error&) {
        return std::nullopt;
    }
}

std::wstring WelcomeTimeLeft(std::optional<std::int32_t> minutes)
{
    // No longer than LongestReminder's bound for {time_left}, which the welcome's length check uses.
    return minutes ? TimeLeft(*minutes) : L"until further notice";
}

std::optional<std::wstring> FormatWelcome(std::wstring_view pattern, std::wstring_view name, std::wstring_view timeLeft)
{
    try {
        return fmt::format(fmt::runtime(pattern), fmt::arg(L"name", name), fmt::arg(L"time_left", timeLeft));
    } catch (const fmt::format_error&) {
        return std::nullopt;
    }
}

namespace {

// A run of digits at text[at], saturated far beyond any bound; at moves past it.
std::size_t Number(std::wstring_view text, std::size_t& at)
{
    std::size_t value = 0;
    for (; at < text.size() && text[at] >= L'0' && text[at] <= L'9'; ++at) {
        value = std::min<std::size_t>(value * 10 + static_cast<std::size_t>(text[at] - L'0'), std::size_t{1} << 40);
    }
    return value;
}

// The longest text one replacement field can give: its value's, or the width its spec pads it to.
// A spec reads [[fill]align][sign][#][0][width][.precision][type]; only width and precision matter.
std::size_t LongestField(std::wstring_view name, std::wstring_view spec, std::size_t longestName,
                         std::int32_t mostMinutes)
{
    const bool text = name == L"name" || name == L"time_left";
    // At most "D days, 23 hours and 59 minutes".
    const std::size_t longestTimeLeft = std::to_wstring(std::max(1, mostMinutes / kMinutesPerDay)).size() + 30;
    std::size_t longest = name == L"name"        ? longestName
                          : name == L"time_left" ? longestTimeLeft
                                                 : std::to_wstring(mostMinutes).size();
    std::size_t at = 0;
    if (spec.size() >= 2 && (spec[1] == L'<' || spec[1] == L'>' || spec[1] == L'^')) {
        at = 2;
    } else if (!spec.empty() && (spec[0] == L'<' || spec[0] == L'>' || spec[0] == L'^')) {
        at = 1;
    }
    while (at < spec.size() && (spec[at] == L'+' || spec[at] == L'-' || spec[at] == L' ' || spec[at] == L'#')) ++at;
    const std::size_t width = Number(spec, at);
    if (at < spec.size() && spec[at] == L'.') {
        ++at;
        // A precision cuts a text; on a number fmt refuses it.
        const std::size_t precision = Number(spec, at);
        if (text) longest = std::min(longest, precision);
    }
    return std::max(longest, width);
}

} // namespace

std::size_t LongestReminder(std::wstring_view pattern, std::size_t longestName, std::int32_t mostMinutes)
{
    std::size_t length = 0;
    for (std::size_t at = 0; at < pattern.size(); ++at) {
        const wchar_t c = pattern[at];
        if ((c == L'{' || c == L'}') && at + 1 < pattern.size() && pattern[at + 1] == c) {
            ++at;
            ++length;
            continue;
        }
        if (c != L'{') {
            ++length;
            continue;
        }
        const std::size_t close = pattern.find(L'}', at);
        // Not a pattern: fmt stops at it, having formatted only what came before.
        if (close == std::wstring_view::npos) break;
        const std::wstring_view field = pattern.substr(at + 1, close - at - 1);
        // A width or precision taken from a value ("{minutes:{minutes}}") has no bound of its own.
        if (field.find(L'{') != std::wstring_view::npos) return std::numeric_limits<std::size_t>::max();
        const std::size_t colon = field.find(L':');
        length += LongestField(field.substr(0, colon),
                               colon == std::wstring_view::npos ? std::wstring_view() : field.substr(colon + 1),
                               longestName, mostMinutes);
        at = close;
    }
    return length;
}

std::wstring FormatChatLine(MessageColor color, std::wstring_view text)
{
    return fmt::format(L"<RichColor Color=\"{:g}, {:g}, {:g}, {:g}\">{}</>", double{color.R}, double{color.G},
                       double{color.B}, double{color.A}, text);
}

} // namespace qv
