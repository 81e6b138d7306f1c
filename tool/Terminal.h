// Output styling: colour only on a terminal and only when NO_COLOR is unset; the game's
// RichColor chat markup shown in its own colour.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace qvtool {

enum class Tone { Plain, Bold, Dim, Error, Warning, Good, Accent };

class Style {
public:
    Style() = default;
    explicit Style(bool colour) : colour_(colour) {}

    // For a standard stream: colour when it is a terminal and NO_COLOR is unset (or empty).
    static Style For(std::FILE* stream);

    bool Colour() const { return colour_; }
    std::string Paint(std::string_view text, Tone tone) const;
    // 24-bit colour from the game's colour components (0 to 1, clamped for display).
    std::string PaintRgb(std::string_view text, float r, float g, float b) const;

private:
    bool colour_ = false;
};

bool IsTerminal(std::FILE* stream);

// "<RichColor Color="r, g, b, a">text</>": the text in its colour when the style has colour,
// otherwise the markup as the game received it. Text that is not such markup is returned as it is.
std::string RenderRichColor(std::string_view line, const Style& style);

} // namespace qvtool
