// The weekly window of the main section: open from StartDay StartTime up to EndDay EndTime.
#pragma once

#include <cstdint>

namespace qv {

// The day rule: weekday is 0 = Sunday through 6 = Saturday. Days outside 0..6 are taken as the
// rule gives them, so 7 acts as Sunday and -1 as Saturday; equal days never open.
bool IsWindowOpen(std::int32_t startDay, std::int32_t endDay, int weekday);

// The day rule with times of day (minutes after midnight), at secondOfDay of a day that is
// weekday. With both times 0 it decides exactly as the day rule does, at every second of the day.
bool IsWindowOpen(std::int32_t startDay, std::int32_t startMinute, std::int32_t endDay, std::int32_t endMinute,
                  int weekday, std::int32_t secondOfDay);

} // namespace qv
