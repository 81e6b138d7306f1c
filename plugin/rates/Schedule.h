// The timer callback that switches the weekend rates on the configured weekdays.
#pragma once

#include <cstdint>

// The first evaluation comes on the call after kCallsBeforeFirstCheck counted calls (the 31st),
// later ones on the call after kCallsBetweenChecks more (every 601st).
inline constexpr std::int32_t kCallsBeforeFirstCheck = 30;
inline constexpr std::int32_t kCallsBetweenChecks = 600;

void CheckSchedule();
