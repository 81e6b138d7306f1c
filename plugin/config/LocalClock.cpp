// A zone's rule gives its changes of offset exactly; the host's runtime only answers what its clock
// shows at an instant, so there a change is found by halving the stretch in which the offset moved.
#include "plugin/config/LocalClock.h"

#include <algorithm>
#include <limits>

namespace qv {

namespace {

// The range the Windows runtime's _localtime64_s answers: the epoch to the end of the year 3000.
constexpr Instant kLatestHostInstant = 32535215999;
constexpr Instant kHostLookAhead = 8 * kSecondsPerDay;

std::int32_t HostOffset(Instant instant)
{
    const Instant clamped = std::clamp<Instant>(instant, 0, kLatestHostInstant);
    const std::optional<LocalTime> local = Clock::LocalTimeAt(clamped);
    return local ? static_cast<std::int32_t>(ToWallSeconds(*local) - clamped) : 0;
}

} // namespace

std::optional<LocalTime> LocalTimeOf(const Config& config, Instant instant)
{
    if (!config.Zone) return Clock::LocalTimeAt(instant);
    return FromWallSeconds(util::LocalSecondsAt(config.Zone->Rules, instant));
}

Instant FirstInstantShowing(const Config& config, WallSeconds wall, Instant after)
{
    if (config.Zone) {
        const util::ZoneRules& rule = config.Zone->Rules;
        return util::FirstInstantShowing(
            wall, after, [&](Instant at) { return util::UtcOffsetAt(rule, at); },
            [&](Instant from, Instant to) -> std::optional<Instant> {
                const std::optional<util::ZoneTransition> next = util::NextTransition(rule, from);
                if (!next || next->At > to) return std::nullopt;
                return next->At;
            });
    }
    return util::FirstInstantShowing(wall, after, HostOffset, [](Instant from, Instant to) -> std::optional<Instant> {
        const std::int32_t offset = HostOffset(from);
        if (to - from > kHostLookAhead || HostOffset(to) == offset) return std::nullopt;
        // The offset is that of from at low and another at high.
        Instant low = from;
        Instant high = to;
        while (high - low > 1) {
            const Instant middle = low + (high - low) / 2;
            (HostOffset(middle) == offset ? low : high) = middle;
        }
        return high;
    });
}

ClockAhead::ClockAhead(const Config& config, Instant now) : config_(config), holdsUntil_(now)
{
    if (config.Zone) {
        const util::ZoneRules& rule = config.Zone->Rules;
        offset_ = util::UtcOffsetAt(rule, now);
        const std::optional<util::ZoneTransition> next = util::NextTransition(rule, now);
        holdsUntil_ = next ? next->At : std::numeric_limits<Instant>::max();
        return;
    }
    // The host's runtime tells no changes ahead; an offset that is the same a week later is taken to
    // hold all week, as FirstInstantShowing takes it (no zone changes twice within a week).
    const std::optional<LocalTime> local = Clock::LocalTimeAt(now);
    if (!local) return;
    offset_ = static_cast<std::int32_t>(ToWallSeconds(*local) - now);
    if (HostOffset(now + kHostLookAhead) == offset_) holdsUntil_ = now + kHostLookAhead;
}

Instant ClockAhead::FirstInstantShowing(WallSeconds wall, Instant after) const
{
    const Instant candidate = std::max(after + 1, wall - offset_);
    if (candidate < holdsUntil_) return candidate;
    return qv::FirstInstantShowing(config_, wall, after);
}

std::optional<WallSeconds> ClockAhead::WallAt(Instant instant) const
{
    if (instant < holdsUntil_) return instant + offset_;
    const std::optional<LocalTime> local = LocalTimeOf(config_, instant);
    return local ? std::optional(ToWallSeconds(*local)) : std::nullopt;
}

} // namespace qv
