// Several windows together, in order of precedence: at any moment the first open one is in force.
// Which one that is at a time, when that changes next, and when each comes into force.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "plugin/schedule/Calendar.h"
#include "plugin/schedule/WindowTimes.h"

namespace qv {

// The windows' times, highest precedence first. A view of times that live elsewhere (a config's
// windows), valid as long as they are; the answers name a window by its place here.
using Timetable = std::vector<const WindowTimes*>;

std::optional<std::size_t> InForceAt(const Timetable& timetable, WallTime wall);

struct TimetableChange {
    WallTime At;
    std::optional<std::size_t> InForce; // from At on; none: no window
};
// The first moment after wall at which the window in force differs from the one in force at wall;
// nothing when it never does. The window in force changes only when it closes or when one before it
// opens, so this is the first of those few moments, each found at once however far ahead.
std::optional<TimetableChange> NextChange(const Timetable& timetable, WallTime wall);

// A window coming into force: from At on it is the window in force, and it was not the second before.
struct TimetableComing {
    std::size_t InForce = 0;
    WallTime At;
};
// Each window's first coming into force after from and no later than until, in time order. A window
// that another one before it beats for all the time it is open does not come.
std::vector<TimetableComing> ComingsIntoForce(const Timetable& timetable, WallTime from, WallTime until);

} // namespace qv
