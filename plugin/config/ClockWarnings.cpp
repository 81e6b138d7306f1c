// The probable mistakes that the clock's changes make: with a zone, the windows that open or close in
// an hour its clocks skip in the coming year.
#include "plugin/config/WarningRules.h"

#include <fmt/format.h>

#include "plugin/schedule/Openings.h"
#include "util/PosixTimeZone.h"

namespace qv {

namespace {

// What a window does in one hour the clocks skip, [gapStart, gapEnd) on the wall clock: it opens or
// closes at the first moment after the gap, or, lying wholly in it, does not open that day.
// "02:30": the time of day a wall-clock time shows.
std::string TimeOfDay(WallTime wall)
{
    return FormatTimeOfDay(static_cast<std::int32_t>(std::chrono::floor<Minutes>(wall - StartOfDay(wall)).count()));
}

void WarnOnGap(const Window& window, const std::string& opensAt, const std::string& closesAt, WallTime gapStart,
               WallTime gapEnd, const std::string& zone, ConfigProblems& warnings)
{
    const std::string name(window.Id.DisplayName());
    const std::string day = FormatWallTime(gapStart).substr(0, 14);
    const std::string gap =
        fmt::format("the clocks in {} skip from {} to {}", zone, TimeOfDay(gapStart), TimeOfDay(gapEnd));
    const std::string after = TimeOfDay(gapEnd);
    WallTime from = gapStart - Seconds{1};
    // A window opens or closes at most a few times in an hour.
    for (int moment = 0; moment < 4; ++moment) {
        const std::optional<WallTime> at = NextOpeningOrClosing(window.Times, from);
        if (!at || *at >= gapEnd) return;
        const std::string time = TimeOfDay(*at);
        const bool opens = IsOpenAt(window.Times, *at);
        const std::optional<WallTime> end = opens ? OpenUntil(window.Times, *at) : std::nullopt;
        if (end && *end <= gapEnd) {
            AddWarning(
                warnings, opensAt,
                fmt::format("\"{}\" lies wholly in the hour the clocks skip on {} ({}): it does not open that day",
                            name, day, gap));
            from = *end;
            continue;
        }
        AddWarning(warnings, opens ? opensAt : closesAt,
                   fmt::format("\"{}\" {} at {} on {}, when {}; it {} at {} instead", name, opens ? "opens" : "closes",
                               time, day, gap, opens ? "opens" : "closes", after));
        from = *at;
    }
}

} // namespace

void WarnOnSkippedHours(const WarningContext& context, ConfigProblems& warnings)
{
    const Config& config = context.Settings;
    if (!context.Now || !config.Zone || !context.Decoded.Has(&Config::Zone)) return;
    const util::ZoneRules& rule = config.Zone->Rules;
    const Instant end = *context.Now + Days{366};
    for (std::optional<util::ZoneTransition> change = util::NextTransition(rule, *context.Now);
         change && change->At < end; change = util::NextTransition(rule, change->At)) {
        if (change->After <= change->Before) continue;
        const WallTime gapStart = util::WallAtOffset(change->At, change->Before);
        const WallTime gapEnd = util::WallAtOffset(change->At, change->After);
        for (std::size_t i = 0; i < config.Schedules.size(); ++i) {
            const std::string path = SchedulePath(i);
            WarnOnGap(config.Schedules[i], path + ".From", path + ".Until", gapStart, gapEnd, config.Zone->Name,
                      warnings);
        }
        WarnOnGap(config.Weekly, SectionMember(KeyOf(&Config::StartTime)), SectionMember(KeyOf(&Config::EndTime)),
                  gapStart, gapEnd, config.Zone->Name, warnings);
    }
}

} // namespace qv
