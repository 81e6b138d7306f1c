// The clock a config's times are read on: the wall clock of its TimeZone, or without one the host's
// local time. Instants are seconds since 1970-01-01 00:00 UTC, as the host's clock counts them;
// windows are worked out on the wall clock, and what must happen at a second (a switch, a reminder)
// is placed back among instants.
#pragma once

#include <cstdint>
#include <optional>

#include "plugin/config/Calendar.h"
#include "plugin/config/Config.h"
#include "plugin/host/Clock.h"

namespace qv {

// The local date and time of an instant on the config's clock; nothing when the host's runtime has
// no local date for it.
std::optional<LocalTime> LocalTimeOf(const Config& config, Instant instant);

// The first instant after `after` at which the config's clock shows wall or later. A time in an hour
// the clocks skip comes at the first moment after the gap; a time in an hour they repeat at its
// first pass (or its second, when `after` lies in the second pass already). Further than a week
// ahead on the host's clock, the offset in force at `after` is assumed: nothing that far is due,
// and the next evaluation looks again.
Instant FirstInstantShowing(const Config& config, WallSeconds wall, Instant after);

// The config's clock from one instant on, for the many questions of one evaluation: the offset in
// force then, and until when it holds for certain, are found once, so that each answer before that
// moment is one subtraction.
class ClockAhead {
public:
    ClockAhead(const Config& config, Instant now);
    // FirstInstantShowing(config, wall, after), for after not before now.
    Instant FirstInstantShowing(WallSeconds wall, Instant after) const;
    // The wall-clock time at an instant not before now; nothing when the host's runtime has none.
    std::optional<WallSeconds> WallAt(Instant instant) const;

private:
    const Config& config_;
    std::int32_t offset_ = 0;
    Instant holdsUntil_ = 0; // the offset holds before this instant
};

} // namespace qv
