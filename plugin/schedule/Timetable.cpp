// The precedence walk. Each window's own times are answered by Openings; here only their order counts.
#include "plugin/schedule/Timetable.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <utility>

#include "plugin/schedule/Openings.h"

namespace qv {

namespace {

constexpr WallTime kNever = WallTime::max();

// Which windows are open, a bit each, so that the one in force is the lowest bit set.
class OpenSet {
public:
    explicit OpenSet(std::size_t count) : words_((count + 63) / 64), count_(count) {}

    void Flip(std::size_t i) { words_[i / 64] ^= std::uint64_t{1} << (i % 64); }
    bool Has(std::size_t i) const { return (words_[i / 64] >> (i % 64) & 1u) != 0; }
    // The first open window; count when none is.
    std::size_t First() const
    {
        for (std::size_t word = 0; word < words_.size(); ++word) {
            if (words_[word] == 0) continue;
            std::size_t bit = 0;
            while ((words_[word] >> bit & 1u) == 0) ++bit;
            return word * 64 + bit;
        }
        return count_;
    }

private:
    std::vector<std::uint64_t> words_;
    std::size_t count_;
};

} // namespace

std::optional<std::size_t> InForceAt(const Timetable& timetable, WallTime wall)
{
    for (std::size_t i = 0; i < timetable.size(); ++i) {
        if (IsOpenAt(*timetable[i], wall)) return i;
    }
    return std::nullopt;
}

std::optional<TimetableChange> NextChange(const Timetable& timetable, WallTime wall)
{
    const std::optional<std::size_t> current = InForceAt(timetable, wall);
    WallTime next = current ? OpenUntil(*timetable[*current], wall).value_or(kNever) : kNever;
    // The windows before the one in force are all closed now; with none in force, all are.
    const std::size_t closed = current.value_or(timetable.size());
    for (std::size_t i = 0; i < closed; ++i) next = std::min(next, NextOpening(*timetable[i], wall).value_or(kNever));
    if (next == kNever) return std::nullopt;
    return TimetableChange{next, InForceAt(timetable, next)};
}

std::vector<TimetableComing> ComingsIntoForce(const Timetable& timetable, WallTime from, WallTime until)
{
    // Every window, whether it is open, and when that changes next; the changes wait in a heap by
    // time, so each step costs the logarithm of the number of windows.
    const std::size_t count = timetable.size();
    OpenSet open(count);
    std::vector<bool> came(count);
    using Change = std::pair<WallTime, std::size_t>;
    std::vector<Change> changes;
    changes.reserve(count);
    const auto nextFor = [&](std::size_t i, WallTime at) {
        return (open.Has(i) ? OpenUntil(*timetable[i], at) : NextOpening(*timetable[i], at)).value_or(kNever);
    };
    for (std::size_t i = 0; i < count; ++i) {
        if (IsOpenAt(*timetable[i], from)) open.Flip(i);
        const WallTime next = nextFor(i, from);
        if (next <= until) changes.emplace_back(next, i);
    }
    const auto later = std::greater<Change>();
    std::make_heap(changes.begin(), changes.end(), later);

    std::vector<TimetableComing> comings;
    std::size_t current = open.First();
    while (!changes.empty() && comings.size() < count) {
        const WallTime at = changes.front().first;
        // Every window that opens or closes at this moment, before the one in force is asked.
        while (!changes.empty() && changes.front().first == at) {
            std::pop_heap(changes.begin(), changes.end(), later);
            const std::size_t i = changes.back().second;
            changes.pop_back();
            open.Flip(i);
            const WallTime next = nextFor(i, at);
            if (next <= until) {
                changes.emplace_back(next, i);
                std::push_heap(changes.begin(), changes.end(), later);
            }
        }
        const std::size_t next = open.First();
        if (next != current && next != count && !came[next]) {
            came[next] = true;
            comings.push_back({next, at});
        }
        current = next;
    }
    return comings;
}

} // namespace qv
