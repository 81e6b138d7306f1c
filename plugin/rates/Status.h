// What the status command tells a player about the rates.
#pragma once

#include <string>

#include "plugin/rates/PluginState.h"
#include "plugin/schedule/Calendar.h"

namespace qv {

// The window in force and until when, or that normal rates are in force and which window comes
// next and when (a window that cannot switch on is no promise), by the time the schedule decides by; with the
// multipliers of that window that differ from 1. The values of the window in force are those its switch wrote, whatever
// a reload has changed since. At most kReplyLength characters and the count of the multipliers that did not fit.
std::wstring RatesStatus(const PluginState& state, Instant now);

// The toggle's answer to an administrator while the schedule has a window in force: "Evening rates
// are scheduled until <time>; the toggle is not available now."
std::wstring ToggleUnavailable(const Config& config, const BoostState& boost, const ScheduleMemory& memory,
                               Instant now);

} // namespace qv
