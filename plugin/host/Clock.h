// The local date and time, through the platform runtime.
#pragma once

#include <cstdint>
#include <optional>

namespace qv {

// A local date and time as the platform's runtime gives it.
struct LocalTime {
    int Year = 1970;
    int Month = 1; // 1 to 12
    int Day = 1;
    int Hour = 0;
    int Minute = 0;
    int Second = 0;
    int Weekday = 4; // 0 = Sunday through 6 = Saturday
};

namespace Clock {

// Throws when the clock's time has no local date.
LocalTime LocalNow();
// Nothing when the clock's time has no local date.
std::optional<LocalTime> LocalNowIfKnown();
// Any moment in seconds since the epoch, in the same local time; nothing when it has no local date.
std::optional<LocalTime> LocalTimeAt(std::int64_t secondsSinceEpoch);

} // namespace Clock

} // namespace qv
