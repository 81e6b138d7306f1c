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

std::string EscapeBraces(std::string_view text)
{
    std::string escaped;
    escaped.reserve(text.size());
    for (char c : text) {
        escaped.push_back(c);
        if (c == '{' || c == '}') escaped.push_back(c);
    }
    return escaped;
}

std::wstring FormatChatLine(MessageColor color, std::wstring_view text)
{
    return fmt::format(L"<RichColor Color=\"{:g}, {:g}, {:g}, {:g}\">{}</>", double{color.R}, double{color.G},
                       double{color.B}, double{color.A}, text);
}
