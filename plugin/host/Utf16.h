// Conversions between the platform's wide text, the game's UTF-16 units and UTF-8 (for logs).
#pragma once

#include <string>
#include <string_view>

namespace Utf16 {

// wchar_t is UTF-16 on Windows and a code point on Linux; the game wants UTF-16 everywhere.
std::u16string FromWide(std::wstring_view wide);
std::wstring ToWide(std::u16string_view units);
// Unpaired surrogates become U+FFFD.
std::string ToUtf8(std::u16string_view units);

} // namespace Utf16
