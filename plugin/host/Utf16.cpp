// UTF-16 encoding and decoding by hand: the standard library's converters are deprecated and
// differ between the two C++ runtimes the plug-in builds against.
#include "plugin/host/Utf16.h"

namespace Utf16 {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Only where wchar_t holds code points: with 16-bit wchar_t (Windows) nothing calls it.
[[maybe_unused]] void AppendUnits(std::u16string& out, char32_t c)
{
    if (c > 0x10FFFF) c = kReplacement;
    if (c >= 0x10000) {
        c -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
    } else {
        out.push_back(static_cast<char16_t>(c));
    }
}

// Calls emit with each code point of the units; an unpaired surrogate gives U+FFFD.
template <typename Emit>
void Decode(std::u16string_view units, Emit emit)
{
    for (std::size_t i = 0; i < units.size(); ++i) {
        char32_t c = units[i];
        if (IsHighSurrogate(c) && i + 1 < units.size() && IsLowSurrogate(units[i + 1])) {
            c = 0x10000 + ((c - 0xD800) << 10) + (char32_t(units[i + 1]) - 0xDC00);
            ++i;
        } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
            c = kReplacement;
        }
        emit(c);
    }
}

} // namespace

std::u16string FromWide(std::wstring_view wide)
{
    std::u16string out;
    out.reserve(wide.size());
    if constexpr (sizeof(wchar_t) == 2) {
        for (wchar_t c : wide) out.push_back(static_cast<char16_t>(c));
    } else {
        for (wchar_t c : wide) AppendUnits(out, static_cast<char32_t>(c));
    }
    return out;
}

std::wstring ToWide(std::u16string_view units)
{
    std::wstring out;
    out.reserve(units.size());
    if constexpr (sizeof(wchar_t) == 2) {
        for (char16_t c : units) out.push_back(static_cast<wchar_t>(c));
    } else {
        Decode(units, [&](char32_t c) { out.push_back(static_cast<wchar_t>(c)); });
    }
    return out;
}

std::string ToUtf8(std::u16string_view units)
{
    std::string out;
    out.reserve(units.size());
    Decode(units, [&](char32_t c) {
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    });
    return out;
}

} // namespace Utf16
