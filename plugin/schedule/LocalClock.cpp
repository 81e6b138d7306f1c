// A zone's rule gives its changes of offset exactly; the host's runtime only answers what its clock
// shows at an instant, so there a change is found by halving the stretch in which the offset moved.
#include "plugin/schedule/LocalClock.h"

#include <algorithm>

namespace qv {

namespace {

// The range the Windows runtime's _localtime64_s answers: the epoch to the end of the year 3000.
constexpr Instant kLatestHostInstant = util::InstantOf(32535215999);
constexpr Seconds kHostLookAhead = Days{8};

Seconds OffsetOf(const LocalTime& local, Instant instant)
{
    return ToWallTime(local).time_since_epoch() - instant.time_since_epoch();
}

Seconds HostOffset(Instant instant)
{
    const Instant clamped = std::clamp(instant, util::InstantOf(0), kLatestHostInstant);
    const std::optional<LocalTime> local = Clock::LocalTimeAt(clamped);
    return local ? OffsetOf(*local, clamped) : Seconds{0};
}

// HostOffset(instant), or nothing when the runtime has no local date for the instant itself: one
// conversion of the instant answers both, where each evaluation with reminders asked for two.
std::optional<Seconds> HostOffsetOfLocal(Instant instant)
{
    const std::optional<LocalTime> local = Clock::LocalTimeAt(instant);
    if (!local) return std::nullopt;
    const bool inRange = instant == std::clamp(instant, util::InstantOf(0), kLatestHostInstant);
    return inRange ? OffsetOf(*local, instant) : HostOffset(instant);
}

// The host's first change of offset in (from, to], within kHostLookAhead.
std::optional<Instant> HostChange(Instant from, Instant to)
{
    const Seconds offset = HostOffset(from);
    if (to - from > kHostLookAhead || HostOffset(to) == offset) return std::nullopt;
    // The offset is that of from at low and another at high.
    Instant low = from;
    Instant high = to;
    while (high - low > Seconds{1}) {
        const Instant middle = low + (high - low) / 2;
        (HostOffset(middle) == offset ? low : high) = middle;
    }
    return high;
}

} // namespace

std::optional<WallTime> LocalClock::WallAt(Instant instant) const
{
    if (zone_ != nullptr) return util::WallTimeAt(zone_->Rules, instant);
    const std::optional<LocalTime> local = Clock::LocalTimeAt(instant);
    return local ? std::optional(ToWallTime(*local)) : std::nullopt;
}

Seconds LocalClock::OffsetAt(Instant instant) const
{
    return zone_ != nullptr ? util::UtcOffsetAt(zone_->Rules, instant) : HostOffset(instant);
}

Instant LocalClock::FirstInstantShowing(WallTime wall, Instant after) const
{
    if (zone_ != nullptr) {
        return util::FirstInstantShowing(
            wall, after, [&](Instant at) { return OffsetAt(at); },
            [&](Instant from, Instant to) -> std::optional<Instant> {
                const std::optional<util::ZoneTransition> next = util::NextTransition(zone_->Rules, from);
                if (!next || next->At > to) return std::nullopt;
                return next->At;
            });
    }
    return util::FirstInstantShowing(wall, after, HostOffset, HostChange);
}

util::LocalInstants LocalClock::InstantsOf(WallTime wall) const
{
    if (zone_ != nullptr) return util::InstantsOf(zone_->Rules, wall);
    return util::InstantsOf(wall, HostOffset, [](Instant at) { return HostChange(at, at + kHostLookAhead); });
}

std::optional<util::ZoneTransition> LocalClock::NextChange(Instant instant) const
{
    if (zone_ != nullptr) return util::NextTransition(zone_->Rules, instant);
    const std::optional<Instant> at = HostChange(instant, instant + kHostLookAhead);
    if (!at) return std::nullopt;
    return util::ZoneTransition{*at, HostOffset(*at - Seconds{1}), HostOffset(*at)};
}

ClockAhead::ClockAhead(const LocalClock& clock, Instant now) : clock_(clock), holdsUntil_(now)
{
    if (clock.Zone() != nullptr) {
        offset_ = clock.OffsetAt(now);
        const std::optional<util::ZoneTransition> next = clock.NextChange(now);
        holdsUntil_ = next ? next->At : Instant::max();
        return;
    }
    // The host's runtime tells no changes ahead; an offset that is the same a week later is taken to
    // hold all week, as FirstInstantShowing takes it (no zone changes twice within a week).
    const std::optional<Seconds> offset = HostOffsetOfLocal(now);
    if (!offset) return;
    offset_ = *offset;
    if (HostOffset(now + kHostLookAhead) == offset_) holdsUntil_ = now + kHostLookAhead;
}

Instant ClockAhead::FirstInstantShowing(WallTime wall, Instant after) const
{
    const Instant candidate = std::max(after + Seconds{1}, util::InstantAtOffset(wall, offset_));
    if (candidate < holdsUntil_) return candidate;
    return clock_.FirstInstantShowing(wall, after);
}

std::optional<WallTime> ClockAhead::WallAt(Instant instant) const
{
    if (instant < holdsUntil_) return util::WallAtOffset(instant, offset_);
    return clock_.WallAt(instant);
}

} // namespace qv
