// The probable mistakes in the windows together: which overlap, so that one is in force while both
// are open, and which dated ones are over.
#include "plugin/config/WarningRules.h"

#include <algorithm>
#include <bitset>

#include <fmt/format.h>

#include "plugin/schedule/LocalClock.h"
#include "plugin/schedule/Openings.h"

namespace qv {

namespace {

using WeekMask = std::bitset<kMinutesPerWeek>;

// The minutes of a week at which a weekly window is open, from the plug-in's own openings and closings.
WeekMask OpenMinutes(const Window& window)
{
    // Sunday 1970-01-04, 00:00: any week will do for a weekly window.
    const WallTime sunday{Days{3}};
    const WallTime end = sunday + Weeks{1};
    WeekMask open;
    // From one opening or closing to the next: times are whole minutes, so each stretch is too.
    for (WallTime at = sunday; at < end;) {
        const bool isOpen = IsOpenAt(window.Times, at);
        const WallTime next = std::min(NextOpeningOrClosing(window.Times, at).value_or(end), end);
        for (Minutes minute = std::chrono::ceil<Minutes>(at - sunday); isOpen && minute < next - sunday; ++minute)
            open.set(static_cast<std::size_t>(minute.count()));
        at = next;
    }
    return open;
}

bool Overlap(const Window& a, const WeekMask& openA, const Window& b, const WeekMask& openB)
{
    const DatedSpan* datedA = std::get_if<DatedSpan>(&a.Times);
    const DatedSpan* datedB = std::get_if<DatedSpan>(&b.Times);
    if (datedA != nullptr && datedB != nullptr) {
        return std::max(datedA->Start, datedB->Start) < std::min(datedA->End, datedB->End);
    }
    if (datedA == nullptr && datedB == nullptr) return (openA & openB).any();
    const DatedSpan& span = datedA != nullptr ? *datedA : *datedB;
    const WeekMask& weekly = datedA != nullptr ? openB : openA;
    const WallTime last = std::min(span.End, span.Start + Weeks{1});
    for (WallTime at = span.Start; at < last; at += Minutes{1}) {
        const LocalTime time = FromWallTime(at);
        if (weekly[static_cast<std::size_t>(time.Weekday * kMinutesPerDay + time.Hour * 60 + time.Minute)]) return true;
    }
    return false;
}

} // namespace

void WarnOnOverlaps(const WarningContext& context, ConfigProblems& warnings)
{
    const Config& config = context.Settings;
    if (!context.Decoded.Has(&Config::Schedules)) return;
    // In the order of precedence: the schedules in file order, then the weekly window.
    std::vector<const Window*> windows;
    for (const Window& schedule : config.Schedules) windows.push_back(&schedule);
    windows.push_back(&config.Weekly);
    std::vector<WeekMask> open;
    for (const Window* window : windows) open.push_back(OpenMinutes(*window));
    for (std::size_t later = 1; later < windows.size(); ++later) {
        for (std::size_t earlier = 0; earlier < later; ++earlier) {
            if (!Overlap(*windows[earlier], open[earlier], *windows[later], open[later])) continue;
            const std::string_view first = windows[earlier]->Id.DisplayName();
            AddWarning(warnings, SchedulePath(earlier),
                       windows[later] == &config.Weekly
                           ? fmt::format("\"{}\" overlaps the weekly window of StartDay and EndDay; \"{}\" is in "
                                         "force while both are open",
                                         first, first)
                           : fmt::format("\"{}\" overlaps \"{}\" (Schedules[{}]); \"{}\" comes first in the file, "
                                         "so it is in force while both are open",
                                         first, windows[later]->Id.DisplayName(), later, first));
        }
    }
}

void WarnOnEndedWindows(const WarningContext& context, ConfigProblems& warnings)
{
    const Config& config = context.Settings;
    if (!context.Decoded.Has(&Config::Schedules) || !context.Now) return;
    const std::optional<WallTime> today = ClockOf(config).WallAt(*context.Now);
    if (!today) return;
    for (std::size_t i = 0; i < config.Schedules.size(); ++i) {
        const Window& schedule = config.Schedules[i];
        const DatedSpan* span = std::get_if<DatedSpan>(&schedule.Times);
        if (span == nullptr || span->End > *today) continue;
        AddWarning(
            warnings, SchedulePath(i) + ".Until",
            fmt::format("\"{}\" ended {}: it never opens again", schedule.Id.DisplayName(), FormatWallTime(span->End)));
    }
}

} // namespace qv
