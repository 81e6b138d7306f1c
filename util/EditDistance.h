// How many single-byte insertions, deletions and substitutions turn one text into another, and the
// nearest of some known names to a misspelt one.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace util {

// Costs time and memory in proportion to the product and the second's length: callers bound both.
std::size_t EditDistance(std::string_view a, std::string_view b);

// A suggestion is at most this many edits off.
inline constexpr std::size_t kMostEditsSuggested = 3;

// The candidate nearest to name, ASCII case ignored, when it is at most kMostEditsSuggested edits
// off; among equally near ones the first. Empty when none is, or when name is longer than longest:
// such a name is no misspelling of a known one, and comparing it would cost time to no end.
std::string_view NearestName(std::string_view name, const std::vector<std::string_view>& candidates,
                             std::size_t longest);

} // namespace util
