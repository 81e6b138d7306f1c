// The timer callback that switches the weekend rates on the configured weekdays.
#pragma once

#include <cstdint>

// Counted calls since the last evaluation; calls while there is no game mode do not count.
extern std::int32_t CheckCallCount;
extern bool FirstCheckDone;
// True while a weekend that the schedule switched on (or took over) is in force.
extern bool ScheduledWeekendActive;

void CheckSchedule();
