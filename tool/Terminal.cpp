// Terminal detection and ANSI styling. Windows consoles need virtual-terminal processing
// switched on before they understand the escape sequences.
#include "tool/Terminal.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include <fmt/format.h>

#if defined(_WIN32)
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace qvtool {

namespace {

#if defined(_WIN32)
void EnableEscapes(std::FILE* stream)
{
    HANDLE handle = GetStdHandle(stream == stderr ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode)) {
        SetConsoleMode(handle, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
    }
}
#endif

const char* Code(Tone tone)
{
    switch (tone) {
    case Tone::Plain:
        return "";
    case Tone::Bold:
        return "\x1b[1m";
    case Tone::Dim:
        return "\x1b[2m";
    case Tone::Error:
        return "\x1b[1;31m";
    case Tone::Warning:
        return "\x1b[1;33m";
    case Tone::Good:
        return "\x1b[1;32m";
    case Tone::Accent:
        return "\x1b[1;36m";
    }
    return "";
}

int Channel(float component)
{
    if (!(component > 0.0f)) return 0;
    return static_cast<int>(std::min(component, 1.0f) * 255.0f + 0.5f);
}

} // namespace

bool IsTerminal(std::FILE* stream)
{
#if defined(_WIN32)
    return _isatty(_fileno(stream)) != 0;
#else
    return isatty(fileno(stream)) != 0;
#endif
}

Style Style::For(std::FILE* stream)
{
    const char* noColor = std::getenv("NO_COLOR");
    if (noColor != nullptr && noColor[0] != '\0') return Style(false);
    if (!IsTerminal(stream)) return Style(false);
#if defined(_WIN32)
    EnableEscapes(stream);
#endif
    return Style(true);
}

std::string Style::Paint(std::string_view text, Tone tone) const
{
    if (!colour_ || tone == Tone::Plain) return std::string(text);
    return fmt::format("{}{}\x1b[0m", Code(tone), text);
}

std::string Style::PaintRgb(std::string_view text, float r, float g, float b) const
{
    if (!colour_) return std::string(text);
    return fmt::format("\x1b[38;2;{};{};{}m{}\x1b[0m", Channel(r), Channel(g), Channel(b), text);
}

std::string RenderRichColor(std::string_view line, const Style& style)
{
    constexpr std::string_view open = "<RichColor Color=\"";
    constexpr std::string_view close = "</>";
    if (!style.Colour() || line.substr(0, open.size()) != open) return std::string(line);
    const auto quote = line.find("\">", open.size());
    if (quote == std::string_view::npos || line.size() < quote + 2 + close.size() ||
        line.substr(line.size() - close.size()) != close) {
        return std::string(line);
    }
    float rgba[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    std::string numbers(line.substr(open.size(), quote - open.size()));
    const char* cursor = numbers.c_str();
    for (float& component : rgba) {
        char* end = nullptr;
        component = std::strtof(cursor, &end);
        if (end == cursor) return std::string(line);
        cursor = end;
        while (*cursor == ',' || *cursor == ' ') ++cursor;
    }
    const std::string_view text = line.substr(quote + 2, line.size() - close.size() - quote - 2);
    return style.PaintRgb(text, rgba[0], rgba[1], rgba[2]);
}

} // namespace qvtool
