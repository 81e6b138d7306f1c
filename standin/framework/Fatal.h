// Loud failure: a fault in how the plug-in uses the host or the game is never answered with a
// quiet null or a guess. The message names what went wrong and the process stops at once.
#pragma once

#include <string>

namespace standin {

[[noreturn]] void LoudFailure(const std::string& what);

} // namespace standin
