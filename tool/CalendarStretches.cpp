// A stretch runs from the configured moment at which a window comes into force to the one at which
// it stops being in force, as NextChange names them: an event that wins over a weekly window splits
// it in two. The plug-in's checks of the schedule come later than these moments; the calendar says so
// once instead of guessing when a server happens to check.
#include "tool/CalendarStretches.h"

#include <algorithm>
#include <cstdlib>
#include <set>

#include <fmt/format.h>

#include "plugin/config/Windows.h"
#include "plugin/messaging/Patterns.h"
#include "tool/CheckCommand.h"
#include "util/Utf.h"

namespace qvtool {

namespace {

using namespace qv;

// Windows open longer than this before the first day start at it in the calendar.
constexpr Days kLongestLookBack{4096};

std::string WindowWhen(const Config& config, const Window& window)
{
    return window.Id.IsWeekly() ? WeeklyWindowText(config) : ScheduleText(window);
}

CalendarWindow Describe(const Config& config, const Window& window)
{
    CalendarWindow shown;
    shown.Name = std::string(window.Id.DisplayName());
    shown.When = WindowWhen(config, window);
    // A rate of 0 leaves the game's own value: that one is as normal.
    for (std::size_t row = 0; row < kMultiplierCount; ++row) {
        if (window.Rates.Values[row] != 0.0f) {
            shown.Rates.push_back({WeekendMultiplierTable[row].Key, window.Rates.Values[row]});
        }
    }
    const std::wstring message = LookOf(config, window).EnabledMessage->ToWide();
    shown.EnabledMessage = util::WideToUtf8(FormatPattern(std::wstring_view(message)).value_or(message));
    return shown;
}

// When the window in force at wall came into force: the last change at or before it, looked for
// ever further back; the look-back's limit when it has been in force all that time.
WallTime StretchStart(const Config& config, WallTime wall)
{
    for (Days back{8};; back *= 8) {
        back = std::min(back, kLongestLookBack);
        std::optional<WallTime> last;
        for (WallTime cursor = wall - back;;) {
            const std::optional<WindowChange> change = NextChange(config, cursor);
            if (!change || change->At > wall) break;
            last = cursor = change->At;
        }
        if (last) return *last;
        if (back == kLongestLookBack) return wall - back;
    }
}

// A configured time as it happens: one that the clocks skip comes when the gap ends, and is shown at
// the wall-clock time of that instant (02:30 on the night Berlin skips from 02:00 to 03:00 is
// 03:00), which is where the plug-in switches and where a reader of the feed puts it.
CalendarTime At(const LocalClock& clock, WallTime wall)
{
    const Instant at = InstantOfWall(clock, wall).Time;
    return {WallOf(clock, at), at};
}

std::string OffsetText(Seconds offset)
{
    const std::int64_t size = std::abs(offset.count());
    return fmt::format("UTC{}{:02}:{:02}", offset < Seconds{0} ? '-' : '+', size / 3600, size / 60 % 60);
}

std::string LocalZoneText(const PublishedCalendar& calendar)
{
    std::set<Seconds> offsets{calendar.From.UtcOffset(), calendar.To.UtcOffset()};
    for (const CalendarStretch& stretch : calendar.Stretches) {
        offsets.insert(stretch.Start.UtcOffset());
        offsets.insert(stretch.End.UtcOffset());
    }
    std::vector<std::string> shown;
    for (const Seconds offset : offsets) shown.push_back(OffsetText(offset));
    return fmt::format("Times are the local time of the machine that made this calendar ({}); make it on the "
                       "server, or on a machine set to the server's time zone.",
                       JoinedWithAnd(shown));
}

// A zone as the feed writes it, from the rule it follows now; nothing for one whose coming changes
// the rule does not tell, or whose days are not a weekday of a month: its feed then gives UTC times.
std::optional<CalendarZone> CalendarZoneOf(const qv::TimeZone& zone)
{
    const util::PosixTimeZone& rule = zone.Rules.Rule;
    if (!zone.Rules.Listed.empty()) return std::nullopt;
    CalendarZone written{zone.Name, rule.StandardName, rule.StandardOffset, std::nullopt};
    if (!rule.HasDaylight) return written;
    for (const util::ZoneChangeDay* day : {&rule.Start, &rule.End}) {
        if (day->Kind != util::ZoneChangeDay::Form::MonthWeekDay) return std::nullopt;
    }
    written.Daylight = ZoneDaylight{rule.DaylightName, rule.DaylightOffset, rule.Start, rule.End};
    return written;
}

// A stretch after those before it. One that opens and closes within an hour the clocks skip is never
// in force, and the window beneath it goes on as one stretch.
void Append(std::vector<CalendarStretch>& stretches, const CalendarStretch& stretch)
{
    if (stretch.End.At <= stretch.Start.At) return;
    if (!stretches.empty() && stretches.back().Window == stretch.Window &&
        stretches.back().End.At == stretch.Start.At) {
        stretches.back().End = stretch.End;
        return;
    }
    stretches.push_back(stretch);
}

// The stretches from the one in force at from on, up to the first change at or after to.
std::vector<CalendarStretch> StretchesOf(const Config& config, const LocalClock& clock, WallTime from, WallTime to)
{
    std::vector<CalendarStretch> stretches;
    const auto index = [&](const Window& window) {
        return ScheduleIndex(config, window).value_or(config.Schedules.size());
    };
    const Window* inForce = WindowInForceAt(config, from);
    WallTime start = inForce ? StretchStart(config, from) : from;
    for (;;) {
        const std::optional<WindowChange> change = NextChange(config, start);
        // A window in force for good ends with the calendar's days, and none runs on past the last
        // date the tool writes.
        const WallTime end = std::min(change ? change->At : std::max(to, start), std::max(LatestEnd(), start));
        if (inForce) Append(stretches, {index(*inForce), At(clock, start), At(clock, end)});
        if (!change || change->At >= to) break;
        start = change->At;
        inForce = change->InForce;
    }
    return stretches;
}

} // namespace

PublishedCalendar MakePublishedCalendar(const Config& config, const CalendarRequest& request)
{
    const LocalClock clock = ClockOf(config);
    PublishedCalendar calendar;
    calendar.Title = request.Title;
    calendar.Made = request.Made;
    const WallTime from = WallOf(clock, request.From);
    const WallTime to = from + Days{request.Days};
    calendar.From = {from, request.From};
    calendar.To = {to, InstantOfWall(clock, to).Time};
    for (std::size_t place = 0; place <= config.Schedules.size(); ++place) {
        calendar.Windows.push_back(Describe(config, WindowAt(config, place)));
    }
    calendar.Stretches = StretchesOf(config, clock, from, to);

    calendar.Zone = config.Zone ? CalendarZoneOf(*config.Zone) : std::nullopt;
    calendar.ZoneText = config.Zone ? "Times are in " + config.Zone->Name + "." : LocalZoneText(calendar);
    // With ExactSwitching a switch comes at its second: nothing to warn readers of.
    if (!config.ExactSwitching) {
        calendar.TimingNote = "The plug-in switches at its next check of the schedule, up to about 10 minutes after "
                              "the time shown.";
    }
    return calendar;
}

} // namespace qvtool
