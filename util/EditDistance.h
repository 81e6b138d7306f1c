// How many single-byte insertions, deletions and substitutions turn one text into another.
#pragma once

#include <cstddef>
#include <string_view>

namespace util {

// Costs time and memory in proportion to the product and the second's length: callers bound both.
std::size_t EditDistance(std::string_view a, std::string_view b);

} // namespace util
