// One digit at a time, with the overflow checked before it can happen.
#include "util/Digits.h"

#include <limits>

namespace util {

std::optional<std::int64_t> ReadDigits(std::string_view text, std::size_t& at, std::size_t fewest, std::size_t most)
{
    constexpr std::int64_t kLargest = std::numeric_limits<std::int64_t>::max();
    std::int64_t value = 0;
    std::size_t end = at;
    for (; end < text.size() && end - at < most && text[end] >= '0' && text[end] <= '9'; ++end) {
        const int digit = text[end] - '0';
        if (value > (kLargest - digit) / 10) return std::nullopt;
        value = value * 10 + digit;
    }
    if (end - at < fewest) return std::nullopt;
    at = end;
    return value;
}

} // namespace util
