// The game's colour values: MessageColor (linear floats, handed by value) and ByteColor
// (8-bit sRGB, stored B, G, R, A), with the game's sRGB decoding table between them.
#pragma once

#include <array>
#include <cstdint>

struct MessageColor {
    float R = 0.0f;
    float G = 0.0f;
    float B = 0.0f;
    float A = 0.0f;

    friend bool operator==(const MessageColor& a, const MessageColor& b)
    {
        return a.R == b.R && a.G == b.G && a.B == b.B && a.A == b.A;
    }
    friend bool operator!=(const MessageColor& a, const MessageColor& b) { return !(a == b); }
};
static_assert(sizeof(MessageColor) == 16, "MessageColor layout is the game's");

struct ByteColor {
    std::uint8_t B = 0;
    std::uint8_t G = 0;
    std::uint8_t R = 0;
    std::uint8_t A = 255;

    constexpr ByteColor(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a = 255) : B(b), G(g), R(r), A(a)
    {
    }

    friend constexpr bool operator==(const ByteColor& x, const ByteColor& y)
    {
        return x.B == y.B && x.G == y.G && x.R == y.R && x.A == y.A;
    }
};
static_assert(sizeof(ByteColor) == 4, "ByteColor layout is the game's");

namespace qv {

// Entry i is the sRGB decoding of i / 255, as the game's own table holds it.
extern const std::array<double, 256> SrgbToLinearTable;

MessageColor ToMessageColor(ByteColor color);

} // namespace qv
