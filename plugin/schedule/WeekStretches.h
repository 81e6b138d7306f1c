// When a weekly window is open over one week, as stretches of minutes, and the words for them: a
// pattern of stretches ("Fri–Sun 20:00–22:00"), one stretch ("from Friday 18:00 to Friday 06:00
// next week") and a length ("6 days and 12 hours").
#pragma once

#include <bitset>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "plugin/schedule/Calendar.h"
#include "plugin/schedule/WindowTimes.h"

namespace qv {

// The minutes of a week, from Sunday 00:00, at which something is open.
using WeekMask = std::bitset<kMinutesPerWeek>;
// The minutes of a week at which a weekly window (a weekday rule or weekly hours) is open.
WeekMask OpenMinutes(const WindowTimes& times);

// Open from From minutes after Sunday 00:00 (less than a week) for Length minutes, which may run
// past the week's end into the next.
struct WeekStretch {
    std::int32_t From = 0;
    std::int32_t Length = 0;
};
// The stretches of a mask, in the order of the week: one of a whole week when every minute is open,
// none when no minute is.
std::vector<WeekStretch> StretchesOf(const WeekMask& open);

// The stretches in short words, Monday first: those shorter than a day that start at the same time
// and last as long together by their days ("Fri–Sun 20:00–22:00", "every day 20:00–22:00"), longer
// ones from day to day ("Fri 18:00 to Mon 06:00"), "all week"; three at most, then "and N more".
std::string WeekPatternText(const std::vector<WeekStretch>& stretches);
// The runs of consecutive days in a set of weekdays (bit d for weekday d, 0 = Sunday), Monday
// first, each as its first and last weekday; a run across Sunday into Monday stays one run, and
// every day is one run from Monday to Sunday.
std::vector<std::pair<int, int>> WeekdayRuns(unsigned days);
// One stretch in full words: "from Friday 18:00 to Friday 06:00 next week".
std::string StretchText(const WeekStretch& stretch);
// "6 days and 12 hours", "22 hours", "1 hour and 30 minutes".
std::string LengthText(Minutes length);

} // namespace qv
