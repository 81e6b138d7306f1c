// The Levenshtein distance, one row of the table at a time; a suggestion compares lower case.
#include "util/EditDistance.h"

#include <algorithm>
#include <string>
#include <vector>

#include "util/Ascii.h"

namespace util {

std::size_t EditDistance(std::string_view a, std::string_view b)
{
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

} // namespace util

namespace util {

std::string_view NearestName(std::string_view name, const std::vector<std::string_view>& candidates,
                             std::size_t longest)
{
    if (name.size() > longest) return {};
    const std::string lower = AsciiLower(name);
    std::string_view best;
    std::size_t bestDistance = kMostEditsSuggested + 1;
    for (const std::string_view candidate : candidates) {
        const std::size_t distance = EditDistance(lower, AsciiLower(candidate));
        if (distance < bestDistance) {
            bestDistance = distance;
            best = candidate;
        }
    }
    return best;
}

} // namespace util
