// The welcome told to players who join while a window's rates are in force: which windows have one,
// and what makes a JoinMessage unusable.
#pragma once

#include <cstddef>

#include "plugin/config/Config.h"
#include "plugin/config/ConfigProblem.h"

namespace qv {

// A welcome goes to one player, as a reply does, and stays as short.
inline constexpr std::size_t kLongestWelcome = kReplyLength;

// The window's welcome pattern: its own JoinMessage, or the main section's. Empty: no welcome.
const FString& JoinMessageOf(const Config& config, const Window& window);

// Whether some window has a welcome, so that joins need watching.
bool HasWelcomes(const Config& config);

// Each JoinMessage that cannot be sent, placed at the member that holds it: no valid message with
// the fields {name} and {time_left}, or one that is empty, or longer than kLongestWelcome characters,
// once formatted with the name of a window that uses it and any time left.
ConfigProblems JoinMessageProblems(const Config& config);

} // namespace qv
