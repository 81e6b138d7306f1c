// Text conversions between UTF-8, UTF-16 units and code points, by their stand-in names; they
// are the repository's one set (util/Utf.h).
#pragma once

#include "util/Utf.h"

namespace standin::text {

using util::DecodeUtf8;
using util::Utf16ToUtf8;
using util::Utf8ToUtf16;
using util::Utf8ToWide;

} // namespace standin::text
