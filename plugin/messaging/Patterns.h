// Message texts as formatting patterns: "{{" and "}}" stand for single braces.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "plugin/host/Colors.h"

namespace qv {

// The text with its doubled braces made single, or nothing when the text is not a valid
// pattern without arguments (a single brace or a replacement field).
std::optional<std::string> FormatPattern(std::string_view pattern);
std::optional<std::wstring> FormatPattern(std::wstring_view pattern);

// Doubles every brace, so that text passes through a pattern unchanged.
std::string EscapeBraces(std::string_view text);
std::wstring EscapeBraces(std::wstring_view text);

// minutes in words: "1 minute", "45 minutes", "1 hour and 30 minutes", "2 days, 1 hour and 5 minutes".
std::wstring TimeLeft(std::int32_t minutes);

// A reminder text: the pattern with its named fields filled in ({minutes}, the bare number;
// {time_left}, the same in words; {name}), or nothing when the pattern cannot be formatted with them.
std::optional<std::wstring> FormatReminder(std::wstring_view pattern, std::int32_t minutes, std::wstring_view name);

// What {time_left} says in a welcome: TimeLeft(minutes), or, for rates without an end the plug-in
// knows (an administrator's weekend, a window that never closes), "until further notice".
std::wstring WelcomeTimeLeft(std::optional<std::int32_t> minutes);

// A welcome text: the pattern with {name} and {time_left} filled in, or nothing when the pattern
// cannot be formatted with them.
std::optional<std::wstring> FormatWelcome(std::wstring_view pattern, std::wstring_view name,
                                          std::wstring_view timeLeft);

// The most characters a reminder text can have, worked out without formatting it: the pattern's own
// characters, and each field at the longest its value (a name of longestName characters, minutes up
// to mostMinutes) and its format spec can make it. A spec that takes its width from a value has no
// bound: the largest size_t.
std::size_t LongestReminder(std::wstring_view pattern, std::size_t longestName, std::int32_t mostMinutes);

// The coloured chat line: <RichColor Color="r, g, b, a">text</>, each number with six
// significant digits in general notation; the text is inserted as it is.
std::wstring FormatChatLine(MessageColor color, std::wstring_view text);

} // namespace qv
