// A stretch runs from the configured moment at which a window comes into force to the one at which
// it stops being in force, as NextChange names them: an event that wins over a weekly window splits
// it in two. The plug-in's checks of the schedule come later than these moments; the calendar says so
// once instead of guessing when a server happens to check.
#include "tool/CalendarStretches.h"

#include <algorithm>
#include <chrono>
#include <set>

#include <fmt/format.h>

#include "plugin/config/Windows.h"
#include "plugin/messaging/Patterns.h"
#include "plugin/schedule/WeekStretches.h"
#include "tool/CheckCommand.h"
#include "tool/MachineZone.h"
#include "util/CivilDate.h"
#include "util/Utf.h"

namespace qvtool {

namespace {

using namespace qv;

// Windows open longer than this before the first day start at it in the calendar.
constexpr Days kLongestLookBack{4096};

std::string Plural(int weekday) { return std::string(util::WeekdayName(weekday)) + "s"; }

// "Mondays to Thursdays", "Fridays and Saturdays", "every day".
std::string PluralDays(unsigned days)
{
    if ((days & 0x7Fu) == 0x7Fu) return "every day";
    std::vector<std::string> parts;
    for (const auto& [first, last] : WeekdayRuns(days)) {
        if (first == last) {
            parts.push_back(Plural(first));
        } else if ((first + 1) % 7 == last) {
            parts.push_back(Plural(first));
            parts.push_back(Plural(last));
        } else {
            parts.push_back(Plural(first) + " to " + Plural(last));
        }
    }
    return JoinedWithAnd(parts);
}

// The weekly window in players' words: "Fridays 18:00 to Mondays 06:00", "Fridays to Sundays, all day".
std::string PlainWeekly(const WindowTimes& times)
{
    const std::vector<WeekStretch> stretches = StretchesOf(OpenMinutes(times));
    if (stretches.empty()) return "never";
    if (stretches.front().Length >= kMinutesPerWeek) return "all week";
    std::vector<std::string> parts;
    for (const WeekStretch& stretch : stretches) {
        const std::int32_t end = stretch.From + stretch.Length;
        const int firstDay = stretch.From / kMinutesPerDay % 7;
        if (stretch.From % kMinutesPerDay == 0 && stretch.Length % kMinutesPerDay == 0) {
            const int lastDay = (end - 1) / kMinutesPerDay % 7;
            parts.push_back((firstDay == lastDay ? Plural(firstDay) : Plural(firstDay) + " to " + Plural(lastDay)) +
                            ", all day");
            continue;
        }
        parts.push_back(fmt::format("{} {} to {} {}", Plural(firstDay), FormatTimeOfDay(stretch.From % kMinutesPerDay),
                                    Plural(end / kMinutesPerDay % 7), FormatTimeOfDay(end % kMinutesPerDay)));
    }
    return JoinedWithAnd(parts);
}

// When a window is open, in players' words rather than the config's keys.
std::string WindowWhen(const Window& window)
{
    if (const auto* span = std::get_if<DatedSpan>(&window.Times)) {
        if (StartOfDay(span->Start) == StartOfDay(span->End - Seconds{1}) && span->End != StartOfDay(span->End)) {
            return FormatWallTime(span->Start) + " to " + FormatWallTime(span->End).substr(15);
        }
        return "from " + FormatWallTime(span->Start) + " to " + FormatWallTime(span->End);
    }
    if (const auto* hours = std::get_if<WeeklyHours>(&window.Times)) {
        if (hours->From == 0 && hours->Until == 0) return PluralDays(hours->Days) + ", all day";
        return fmt::format("{}, {} to {}{}", PluralDays(hours->Days), FormatTimeOfDay(hours->From),
                           FormatTimeOfDay(hours->Until), hours->Until <= hours->From ? " the next day" : "");
    }
    return PlainWeekly(window.Times);
}

CalendarWindow Describe(const Config& config, const Window& window)
{
    CalendarWindow shown;
    shown.Name = std::string(window.Id.DisplayName());
    shown.When = WindowWhen(window);
    // A rate of 0 leaves the game's own value, and a relative one of 1 the normal value: as normal.
    // A relative rate is told as its factor of the normal value, as the announcement says it.
    for (std::size_t row = 0; row < kMultiplierCount; ++row) {
        const float value = window.Rates.Values[row];
        if (value != 0.0f && !(value == 1.0f && window.Rates.Relative.test(row))) {
            shown.Rates.push_back({WeekendMultiplierTable[row].Key, value});
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
    const std::int64_t size = std::chrono::abs(offset).count();
    return fmt::format("UTC{}{:02}:{:02}", offset < Seconds{0} ? '-' : '+', size / 3600, size / 60 % 60);
}

// "Times are in America/New_York (EST/EDT)."
std::string NamedZoneText(const qv::TimeZone& zone)
{
    const util::PosixTimeZone& rule = zone.Rules.Rule;
    std::string abbreviations = rule.StandardName;
    if (rule.HasDaylight && rule.DaylightName != rule.StandardName) abbreviations += "/" + rule.DaylightName;
    if (abbreviations.empty() || abbreviations == zone.Name) return "Times are in " + zone.Name + ".";
    return "Times are in " + zone.Name + " (" + abbreviations + ").";
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
    return fmt::format("Times are the local time of the machine that made this calendar, {} ({}); make it on the "
                       "server, or on a machine set to the server's time zone.",
                       MachineZoneText(LocalMachineZone()), JoinedWithAnd(shown));
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
    const auto index = [&](const Window& window) { return PlaceOf(config, window); };
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
    for (const Window* window : WindowsInOrder(config)) calendar.Windows.push_back(Describe(config, *window));
    calendar.Stretches = StretchesOf(config, clock, from, to);

    calendar.Zone = config.Zone ? CalendarZoneOf(*config.Zone) : std::nullopt;
    calendar.ZoneText = config.Zone ? NamedZoneText(*config.Zone) : LocalZoneText(calendar);
    // With ExactSwitching a switch comes at its second: nothing to warn readers of.
    if (!config.ExactSwitching) {
        calendar.TimingNote = "The plug-in switches at its next check of the schedule, up to about 10 minutes after "
                              "the time shown.";
    }
    return calendar;
}

} // namespace qvtool
