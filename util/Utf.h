// Conversions between UTF-8, UTF-16 units, code points and the platform's wide text. Malformed
// input never throws: each maximal ill-formed subsequence of UTF-8, and each unpaired surrogate,
// becomes U+FFFD.
#pragma once

#include <string>
#include <string_view>

namespace util {

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

std::u32string DecodeUtf8(std::string_view utf8);
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view units);

// wchar_t is UTF-16 on Windows and a code point on Linux; the game wants UTF-16 everywhere.
std::wstring Utf8ToWide(std::string_view utf8);
std::u16string WideToUtf16(std::wstring_view wide);
std::wstring Utf16ToWide(std::u16string_view units);
std::string WideToUtf8(std::wstring_view wide);

} // namespace util
