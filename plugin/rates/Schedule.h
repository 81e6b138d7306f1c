// The timer callback that switches the boosted rates at the configured times.
#pragma once

#include <cstdint>

namespace qv {

// The first evaluation comes on the call after kCallsBeforeFirstCheck counted calls (the 31st),
// later ones on the call after kCallsBetweenChecks more (every 601st).
inline constexpr std::int32_t kCallsBeforeFirstCheck = 30;
inline constexpr std::int32_t kCallsBetweenChecks = 600;

void CheckSchedule();

} // namespace qv
