// How often the schedule looks at the clock without ExactSwitching. The config's warnings judge the
// reminders' leads by it, and the schedule keeps to it.
#pragma once

#include <cstdint>

#include "plugin/schedule/Calendar.h"

namespace qv {

// The first evaluation comes on the call after kCallsBeforeFirstCheck counted calls (the 31st),
// later ones on the call after kCallsBetweenChecks more (every 601st).
inline constexpr std::int32_t kCallsBeforeFirstCheck = 30;
inline constexpr std::int32_t kCallsBetweenChecks = 600;

// The host calls the timer once a second, so evaluations come 10 minutes and 1 second apart. A
// reminder's moment is only seen at an evaluation, and one that none falls in before its window
// comes into force is never sent.
inline constexpr Seconds kTimeBetweenEvaluations{kCallsBetweenChecks + 1};

} // namespace qv
