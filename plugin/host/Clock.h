// The local date and time, through the platform runtime.
#pragma once

#include <cstdint>
#include <ctime>
#include <optional>

#include "util/Time.h"

#if !defined(_WIN32)
// On Windows the C runtime's; elsewhere the platform runtime library beside the host gives them.
extern "C" {
std::int64_t _time64(std::int64_t* out);
int _localtime64_s(std::tm* out, const std::int64_t* time);
}
#endif

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

// The instant the platform runtime's _time64 gives. Inline: with ExactSwitching every timer call
// reads it.
inline util::Instant Now() { return util::InstantOf(_time64(nullptr)); }

// Any instant in the runtime's local time; nothing when it has no local date.
std::optional<LocalTime> LocalTimeAt(util::Instant instant);

} // namespace Clock

} // namespace qv
