// A zone's rule gives its changes of offset exactly; the host's runtime only answers what its clock
// shows at an instant, so there a change is found by halving the stretch in which the offset moved.
#include "plugin/config/LocalClock.h"

#include <algorithm>

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

} // namespace qv
