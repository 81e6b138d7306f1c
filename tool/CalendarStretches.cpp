// A stretch runs from the configured moment at which a window comes into force to the one at which
// it stops being in force, as NextChange names them: an event that wins over a weekly window splits
// it in two. The plug-in's checks of the schedule come later than these moments; the calendar says so
// once instead of guessing when a server happens to check.
#include "tool/CalendarStretches.h"

#include <algorithm>
#include <set>

#include <fmt/format.h>

#include "plugin/config/Windows.h"
#include "plugin/messaging/Patterns.h"
#include "tool/Calendar.h"
#include "tool/CheckCommand.h"
#include "util/Utf.h"

namespace qvtool {

namespace {

using namespace qv;

// Windows open longer than this before the first day start at it in the calendar.
constexpr WallSeconds kLongestLookBack = 4096 * kSecondsPerDay;

std::string WindowWhen(const Config& config, const Window& window)
{
    return window.Id.IsWeekly() ? WeeklyWindowText(config) : ScheduleText(window);
}

CalendarWindow Describe(const Config& config, const Window& window)
{
    CalendarWindow shown;
    shown.name = std::string(window.Id.DisplayName());
    shown.when = WindowWhen(config, window);
    // A rate of 0 leaves the game's own value: that one is as normal.
    for (std::size_t row = 0; row < kMultiplierCount; ++row) {
        if (window.Rates.Values[row] != 0.0f) {
            shown.rates.push_back({WeekendMultiplierTable[row].Key, window.Rates.Values[row]});
        }
    }
    const std::wstring message = LookOf(config, window).EnabledMessage->ToWide();
    shown.enabledMessage = util::WideToUtf8(FormatPattern(std::wstring_view(message)).value_or(message));
    return shown;
}

// When the window in force at wall came into force: the last change at or before it, looked for
// ever further back; the look-back's limit when it has been in force all that time.
WallSeconds StretchStart(const Config& config, WallSeconds wall)
{
    for (WallSeconds back = 8 * kSecondsPerDay;; back *= 8) {
        back = std::min(back, kLongestLookBack);
        std::optional<WallSeconds> last;
        for (WallSeconds cursor = wall - back;;) {
            const std::optional<WindowChange> change = NextChange(config, cursor);
            if (!change || change->At > wall) break;
            last = cursor = change->At;
        }
        if (last) return *last;
        if (back == kLongestLookBack) return wall - back;
    }
}

CalendarTime At(WallSeconds wall) { return {wall, InstantOfWall(wall)}; }

std::string OffsetText(std::int64_t offset)
{
    const std::int64_t size = offset < 0 ? -offset : offset;
    return fmt::format("UTC{}{:02}:{:02}", offset < 0 ? '-' : '+', size / 3600, size / 60 % 60);
}

std::string LocalZoneText(const PublishedCalendar& calendar)
{
    std::set<std::int64_t> offsets{calendar.from.UtcOffset(), calendar.to.UtcOffset()};
    for (const CalendarStretch& stretch : calendar.stretches) {
        offsets.insert(stretch.start.UtcOffset());
        offsets.insert(stretch.end.UtcOffset());
    }
    std::vector<std::string> shown;
    for (const std::int64_t offset : offsets) shown.push_back(OffsetText(offset));
    return fmt::format("Times are the local time of the machine that made this calendar ({}); make it on the "
                       "server, or on a machine set to the server's time zone.",
                       JoinedWithAnd(shown));
}

} // namespace

Seconds InstantOfWall(WallSeconds wall)
{
    // The zone's offsets a day before and a day after; a time that either gives back is real.
    const WallSeconds early = WallOffset(wall - kSecondsPerDay);
    const WallSeconds late = WallOffset(wall + kSecondsPerDay);
    std::optional<Seconds> first;
    for (const WallSeconds offset : {early, late}) {
        const Seconds instant = wall - offset;
        if (ToWallSeconds(LocalTimeAt(instant)) == wall && (!first || instant < *first)) first = instant;
    }
    if (first) return *first;
    // Skipped: the first instant whose reading is past wall, between the two offsets' readings.
    Seconds low = wall - std::max(early, late); // reads before wall
    Seconds high = wall - std::min(early, late);
    while (high - low > 1) {
        const Seconds middle = low + (high - low) / 2;
        (ToWallSeconds(LocalTimeAt(middle)) >= wall ? high : low) = middle;
    }
    return high;
}

PublishedCalendar MakePublishedCalendar(const Config& config, const CalendarRequest& request)
{
    PublishedCalendar calendar;
    calendar.title = request.title;
    calendar.made = request.made;
    const WallSeconds from = ToWallSeconds(LocalTimeAt(request.from));
    const WallSeconds to = from + WallSeconds{request.days} * kSecondsPerDay;
    calendar.from = {from, request.from};
    calendar.to = At(to);

    std::vector<const Window*> windows;
    for (const Window& schedule : config.Schedules) windows.push_back(&schedule);
    windows.push_back(&config.Weekly);
    for (const Window* window : windows) calendar.windows.push_back(Describe(config, *window));
    const auto index = [&](const Window* window) {
        return static_cast<std::size_t>(std::find(windows.begin(), windows.end(), window) - windows.begin());
    };

    const Window* inForce = WindowInForce(config, FromWallSeconds(from));
    WallSeconds start = inForce ? StretchStart(config, from) : from;
    for (;;) {
        const std::optional<WindowChange> change = NextChange(config, start);
        // A window in force for good ends with the calendar's days.
        const WallSeconds end = change ? change->At : std::max(to, start);
        if (inForce) calendar.stretches.push_back({index(inForce), At(start), At(end)});
        if (!change || change->At >= to) break;
        start = change->At;
        inForce = change->InForce;
    }

    calendar.zoneText = LocalZoneText(calendar);
    calendar.timingNote = "The plug-in switches at its next check of the schedule, up to about 10 minutes after "
                          "the time shown.";
    return calendar;
}

} // namespace qvtool
