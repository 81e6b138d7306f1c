// ASCII case, which the host's command matching and the config's suggestions ignore. Bytes beyond
// ASCII are left as they are, whatever the C library's locale says.
#pragma once

#include <string>
#include <string_view>

namespace util {

std::string AsciiLower(std::string_view text);
bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b);

} // namespace util
