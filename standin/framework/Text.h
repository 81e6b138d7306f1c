// Text conversions between UTF-8, UTF-16 units and code points. Malformed input never throws:
// each maximal ill-formed subsequence of UTF-8, and each unpaired surrogate, becomes U+FFFD.
#pragma once

#include <string>
#include <string_view>

#include "standin/framework/Export.h"

namespace standin::text {

STANDIN_API std::u32string DecodeUtf8(std::string_view utf8);
STANDIN_API std::u16string Utf8ToUtf16(std::string_view utf8);
STANDIN_API std::string Utf16ToUtf8(std::u16string_view units);
// The platform's wide text: UTF-16 units where wchar_t is 16 bits wide, code points elsewhere.
STANDIN_API std::wstring Utf8ToWide(std::string_view utf8);

} // namespace standin::text
