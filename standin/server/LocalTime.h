// The one place that turns a local date and time into seconds since the epoch, in the process's
// time zone, and says whether that date and time exist: the server's SetLocalTime and the
// administrators' tool both read dates through it.
#pragma once

#include <cstdint>
#include <optional>

namespace standin {

struct LocalMoment {
    std::int64_t seconds = 0;
    // The date exists but its clock never shows that time, because a daylight-saving change jumps
    // over it: seconds is where the C library moves it (glibc an hour on, Windows an hour back).
    bool skipped = false;
};

// month 1 to 12. Nothing for a date or time that does not exist at all (30 February, hour 24) or
// that the C library cannot represent.
std::optional<LocalMoment> FromLocalTime(int year, int month, int day, int hour, int minute, int second);

} // namespace standin
