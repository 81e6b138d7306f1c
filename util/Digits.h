// Decimal numbers inside text that is read by hand: the config's dates and times, the time zones'
// rules, the tool's dates and durations and its folder names. A run of ASCII digits only, so that
// no sign, space or locale of the C library's number readers comes in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace util {

// The run of digits at text[at], as many as there are up to most, as a number; at moves past them.
// Nothing, and at unmoved, when fewer than fewest are there, or when the number would not fit in
// 63 bits (leading zeros cost nothing).
std::optional<std::int64_t> ReadDigits(std::string_view text, std::size_t& at, std::size_t fewest,
                                       std::size_t most = std::string_view::npos);

} // namespace util
