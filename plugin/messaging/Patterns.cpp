// Formatting through fmt. The colour numbers use "{:g}" because a plain "{}" prints the
// shortest round-trip form (0.1f would show as 0.10000000149011612).
#include "plugin/messaging/Patterns.h"

#include <fmt/format.h>
#include <fmt/xchar.h>

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

std::optional<std::wstring> FormatReminder(std::wstring_view pattern, std::int32_t minutes, std::wstring_view name)
{
    try {
        return fmt::format(fmt::runtime(pattern), fmt::arg(L"minutes", minutes), fmt::arg(L"name", name));
    } catch (const fmt::format_error&) {
        return std::nullopt;
    }
}

std::wstring FormatChatLine(MessageColor color, std::wstring_view text)
{
    return fmt::format(L"<RichColor Color=\"{:g}, {:g}, {:g}, {:g}\">{}</>", double{color.R}, double{color.G},
                       double{color.B}, double{color.A}, text);
}
