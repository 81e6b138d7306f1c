// The clock a config's times are read on: its TimeZone's rules, or without one the host's local time.
// Every conversion between instants and wall-clock times, the plug-in's and the tool's, goes through
// it. Windows are worked out on the wall clock, and what must happen at a second (a switch, a
// reminder) is placed back among instants.
#pragma once

#include <optional>

#include "plugin/host/Clock.h"
#include "plugin/schedule/Calendar.h"
#include "plugin/schedule/TimeZone.h"
#include "util/PosixTimeZone.h"

namespace qv {

class LocalClock {
public:
    // Without a zone: the host's local time. The zone outlives the clock.
    explicit LocalClock(const TimeZone* zone = nullptr) : zone_(zone) {}

    // The zone's, or null for the host's local time.
    const TimeZone* Zone() const { return zone_; }

    // The wall-clock time at an instant; nothing when the host's runtime has no local date for it.
    std::optional<WallTime> WallAt(Instant instant) const;
    // The offset east of UTC at an instant (0 where the host's runtime has no local date).
    Seconds OffsetAt(Instant instant) const;
    // The first instant after `after` at which the clock shows wall or later. A time in an hour the
    // clocks skip comes at the first moment after the gap; a time in an hour they repeat at its first
    // pass (or its second, when `after` lies in the second pass already). Further than a week ahead
    // on the host's clock, the offset in force at `after` is assumed: nothing that far is due, and
    // the next evaluation looks again.
    Instant FirstInstantShowing(WallTime wall, Instant after) const;
    // The instants at which the clock shows wall.
    util::LocalInstants InstantsOf(WallTime wall) const;
    // The first change of offset after an instant, within a week on the host's clock; nothing when
    // there is none.
    std::optional<util::ZoneTransition> NextChange(Instant instant) const;

private:
    const TimeZone* zone_;
};

// The clock from one instant on, for the many questions of one evaluation: the offset in force then,
// and until when it holds for certain, are found once, so that each answer before that moment is one
// addition.
class ClockAhead {
public:
    ClockAhead(const LocalClock& clock, Instant now);
    // clock.FirstInstantShowing(wall, after), for after not before now.
    Instant FirstInstantShowing(WallTime wall, Instant after) const;
    // The wall-clock time at an instant not before now; nothing when the host's runtime has none.
    std::optional<WallTime> WallAt(Instant instant) const;

private:
    const LocalClock& clock_;
    Seconds offset_{0};
    Instant holdsUntil_; // the offset holds before this instant
};

} // namespace qv
