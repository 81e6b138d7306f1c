// Windows are worked out on the wall clock (config/Calendar.h): a weekly window by the weekday and
// the time of day, a dated one by its local dates.
#include "plugin/rates/Windows.h"

#include <algorithm>

#include "plugin/rates/WeekendWindow.h"

namespace {

constexpr WallSeconds kSecondsPerWeek = 7 * kSecondsPerDay;
// A change further away than the last date of any window plus a week never comes: weekly windows
// repeat every week. The step limit keeps a pathological file from costing more than milliseconds.
constexpr int kMostSteps = 20000;

const std::string kNoName;

WallSeconds Modulo(WallSeconds value, WallSeconds divisor) { return (value % divisor + divisor) % divisor; }

// Seconds since Sunday 00:00 of the week holding wall.
WallSeconds WeekSecond(WallSeconds wall)
{
    // 1970-01-01 was a Thursday, four days after a Sunday.
    return Modulo(wall + 4 * kSecondsPerDay, kSecondsPerWeek);
}

WallSeconds RunLength(const Schedule& schedule)
{
    const std::int32_t minutes = schedule.Until > schedule.From ? schedule.Until - schedule.From
                                                                : schedule.Until - schedule.From + kMinutesPerDay;
    return WallSeconds{minutes} * 60;
}

bool IsScheduleOpen(const Schedule& schedule, WallSeconds wall)
{
    if (!schedule.Weekly) return wall >= schedule.Start && wall < schedule.End;
    const WallSeconds now = WeekSecond(wall);
    for (int day = 0; day < 7; ++day) {
        if ((schedule.Days & (1u << day)) == 0) continue;
        const WallSeconds start = day * kSecondsPerDay + WallSeconds{schedule.From} * 60;
        if (Modulo(now - start, kSecondsPerWeek) < RunLength(schedule)) return true;
    }
    return false;
}

// The first time after wall at which a weekly moment (seconds since Sunday 00:00) comes round.
WallSeconds NextWeekly(WallSeconds wall, WallSeconds weekSecond)
{
    const WallSeconds ahead = Modulo(weekSecond - WeekSecond(wall), kSecondsPerWeek);
    return wall + (ahead == 0 ? kSecondsPerWeek : ahead);
}

// The first time after wall at which a daily moment (seconds after midnight) comes round.
WallSeconds NextDaily(WallSeconds wall, WallSeconds daySecond)
{
    const WallSeconds ahead = Modulo(daySecond - Modulo(wall, kSecondsPerDay), kSecondsPerDay);
    return wall + (ahead == 0 ? kSecondsPerDay : ahead);
}

// The first moment after wall at which the window may open or close.
std::optional<WallSeconds> NextBoundary(const Settings& settings, int window, WallSeconds wall)
{
    if (window == kWeeklyWindow) {
        // The day rule can change at any midnight, the times at their time of any day.
        return std::min({NextDaily(wall, 0), NextDaily(wall, WallSeconds{settings.StartTime.Minutes} * 60),
                         NextDaily(wall, WallSeconds{settings.EndTime.Minutes} * 60)});
    }
    const Schedule& schedule = settings.Schedules[static_cast<std::size_t>(window)];
    if (!schedule.Weekly) {
        if (schedule.Start > wall) return schedule.Start;
        if (schedule.End > wall) return schedule.End;
        return std::nullopt;
    }
    std::optional<WallSeconds> next;
    for (int day = 0; day < 7; ++day) {
        if ((schedule.Days & (1u << day)) == 0) continue;
        const WallSeconds start = day * kSecondsPerDay + WallSeconds{schedule.From} * 60;
        for (const WallSeconds moment : {start, start + RunLength(schedule)}) {
            const WallSeconds candidate = NextWeekly(wall, Modulo(moment, kSecondsPerWeek));
            if (!next || candidate < *next) next = candidate;
        }
    }
    return next;
}

} // namespace

const std::string& WindowName(const Settings& settings, int window)
{
    return window == kWeeklyWindow ? kNoName : settings.Schedules[static_cast<std::size_t>(window)].Name;
}

std::optional<int> FindWindow(const Settings& settings, std::string_view name)
{
    if (name.empty()) return kWeeklyWindow;
    for (std::size_t i = 0; i < settings.Schedules.size(); ++i) {
        if (settings.Schedules[i].Name == name) return static_cast<int>(i);
    }
    return std::nullopt;
}

std::string DisplayName(const Settings& settings, int window)
{
    return window == kWeeklyWindow ? std::string("Weekend") : WindowName(settings, window);
}

bool IsOpen(const Settings& settings, int window, const LocalTime& now)
{
    if (window != kWeeklyWindow) {
        return IsScheduleOpen(settings.Schedules[static_cast<std::size_t>(window)], ToWallSeconds(now));
    }
    return IsWindowOpen(settings.StartDay, settings.StartTime.Minutes, settings.EndDay, settings.EndTime.Minutes,
                        now.Weekday, now.Hour * 3600 + now.Minute * 60 + now.Second);
}

std::optional<int> WindowInForce(const Settings& settings, const LocalTime& now)
{
    for (std::size_t i = 0; i < settings.Schedules.size(); ++i) {
        if (IsOpen(settings, static_cast<int>(i), now)) return static_cast<int>(i);
    }
    if (IsOpen(settings, kWeeklyWindow, now)) return kWeeklyWindow;
    return std::nullopt;
}

std::optional<WindowChange> NextChange(const Settings& settings, WallSeconds now)
{
    const std::optional<int> current = WindowInForce(settings, FromWallSeconds(now));
    WallSeconds limit = now + 8 * kSecondsPerDay;
    for (const Schedule& schedule : settings.Schedules) {
        if (!schedule.Weekly) limit = std::max(limit, schedule.End + 8 * kSecondsPerDay);
    }
    WallSeconds cursor = now;
    for (int step = 0; step < kMostSteps; ++step) {
        std::optional<WallSeconds> next = NextBoundary(settings, kWeeklyWindow, cursor);
        for (std::size_t i = 0; i < settings.Schedules.size(); ++i) {
            const auto boundary = NextBoundary(settings, static_cast<int>(i), cursor);
            if (boundary && *boundary < *next) next = boundary;
        }
        if (*next > limit) return std::nullopt;
        cursor = *next;
        const std::optional<int> window = WindowInForce(settings, FromWallSeconds(cursor));
        if (window != current) return WindowChange{cursor, window};
    }
    return std::nullopt;
}

bool UsesTimesOfDay(const Settings& settings)
{
    return settings.StartTime.Minutes != 0 || settings.EndTime.Minutes != 0 || !settings.Schedules.empty();
}

WindowLook LookOf(const Settings& settings, int window)
{
    WindowLook look{&settings.EnabledMessage,
                    &settings.DisabledMessage,
                    &settings.WeekendMOTD,
                    settings.EnabledColor,
                    settings.DisabledColor,
                    KeyOf(&Settings::EnabledMessage),
                    KeyOf(&Settings::DisabledMessage)};
    if (window == kWeeklyWindow) return look;
    const Schedule& schedule = settings.Schedules[static_cast<std::size_t>(window)];
    const std::string path = "Schedules[" + std::to_string(window) + "].";
    if (schedule.EnabledMessage) {
        look.EnabledMessage = &*schedule.EnabledMessage;
        look.EnabledMessageKey = path + "EnabledMessage";
    }
    if (schedule.DisabledMessage) {
        look.DisabledMessage = &*schedule.DisabledMessage;
        look.DisabledMessageKey = path + "DisabledMessage";
    }
    if (schedule.WeekendMOTD) look.WeekendMOTD = &*schedule.WeekendMOTD;
    if (schedule.EnabledColor) look.EnabledColor = *schedule.EnabledColor;
    if (schedule.DisabledColor) look.DisabledColor = *schedule.DisabledColor;
    return look;
}
