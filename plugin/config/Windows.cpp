// Windows are worked out on the wall clock (config/Calendar.h): a weekly window by the weekday and
// the time of day, a dated one by its local dates.
#include "plugin/config/Windows.h"

#include <algorithm>

#include "plugin/config/WeekendWindow.h"

namespace qv {

namespace {

constexpr WallSeconds kSecondsPerWeek = 7 * kSecondsPerDay;
// A change further away than the last date of any window plus a week never comes: weekly windows
// repeat every week. The step limit keeps a pathological file from costing more than milliseconds.
constexpr int kMostSteps = 20000;

WallSeconds Modulo(WallSeconds value, WallSeconds divisor) { return (value % divisor + divisor) % divisor; }

// Seconds since Sunday 00:00 of the week holding wall.
WallSeconds WeekSecond(WallSeconds wall)
{
    // 1970-01-01 was a Thursday, four days after a Sunday.
    return Modulo(wall + 4 * kSecondsPerDay, kSecondsPerWeek);
}

WallSeconds RunLength(const WeeklyHours& hours)
{
    const std::int32_t minutes =
        hours.Until > hours.From ? hours.Until - hours.From : hours.Until - hours.From + kMinutesPerDay;
    return WallSeconds{minutes} * 60;
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

struct OpenAt {
    const LocalTime& now;

    bool operator()(const WeekdayRule& rule) const
    {
        return IsWindowOpen(rule.StartDay, rule.StartMinute, rule.EndDay, rule.EndMinute, now.Weekday,
                            now.Hour * 3600 + now.Minute * 60 + now.Second);
    }
    bool operator()(const WeeklyHours& hours) const
    {
        const WallSeconds at = WeekSecond(ToWallSeconds(now));
        for (int day = 0; day < 7; ++day) {
            if ((hours.Days & (1u << day)) == 0) continue;
            const WallSeconds start = day * kSecondsPerDay + WallSeconds{hours.From} * 60;
            if (Modulo(at - start, kSecondsPerWeek) < RunLength(hours)) return true;
        }
        return false;
    }
    bool operator()(const DatedSpan& span) const
    {
        const WallSeconds wall = ToWallSeconds(now);
        return wall >= span.Start && wall < span.End;
    }
};

// The first moment after wall at which the window may open or close.
struct NextBoundary {
    WallSeconds wall;

    std::optional<WallSeconds> operator()(const WeekdayRule& rule) const
    {
        // The day rule can change at any midnight, the times at their time of any day.
        return std::min({NextDaily(wall, 0), NextDaily(wall, WallSeconds{rule.StartMinute} * 60),
                         NextDaily(wall, WallSeconds{rule.EndMinute} * 60)});
    }
    std::optional<WallSeconds> operator()(const WeeklyHours& hours) const
    {
        std::optional<WallSeconds> next;
        for (int day = 0; day < 7; ++day) {
            if ((hours.Days & (1u << day)) == 0) continue;
            const WallSeconds start = day * kSecondsPerDay + WallSeconds{hours.From} * 60;
            for (const WallSeconds moment : {start, start + RunLength(hours)}) {
                const WallSeconds candidate = NextWeekly(wall, Modulo(moment, kSecondsPerWeek));
                if (!next || candidate < *next) next = candidate;
            }
        }
        return next;
    }
    std::optional<WallSeconds> operator()(const DatedSpan& span) const
    {
        if (span.Start > wall) return span.Start;
        if (span.End > wall) return span.End;
        return std::nullopt;
    }
};

} // namespace

std::string_view WindowId::DisplayName() const { return weekly_ ? std::string_view("Weekend") : name_; }

bool IsOpen(const Window& window, const LocalTime& now) { return std::visit(OpenAt{now}, window.Times); }

const Window* WindowInForce(const Config& config, const LocalTime& now)
{
    for (const Window& schedule : config.Schedules) {
        if (IsOpen(schedule, now)) return &schedule;
    }
    return IsOpen(config.Weekly, now) ? &config.Weekly : nullptr;
}

const Window* FindWindow(const Config& config, const WindowId& id)
{
    if (id.IsWeekly()) return &config.Weekly;
    for (const Window& schedule : config.Schedules) {
        if (schedule.Id == id) return &schedule;
    }
    return nullptr;
}

std::optional<WindowChange> NextChange(const Config& config, WallSeconds now)
{
    const Window* current = WindowInForce(config, FromWallSeconds(now));
    WallSeconds limit = now + 8 * kSecondsPerDay;
    for (const Window& schedule : config.Schedules) {
        if (const auto* span = std::get_if<DatedSpan>(&schedule.Times)) {
            limit = std::max(limit, span->End + 8 * kSecondsPerDay);
        }
    }
    WallSeconds cursor = now;
    for (int step = 0; step < kMostSteps; ++step) {
        std::optional<WallSeconds> next = std::visit(NextBoundary{cursor}, config.Weekly.Times);
        for (const Window& schedule : config.Schedules) {
            const auto boundary = std::visit(NextBoundary{cursor}, schedule.Times);
            if (boundary && (!next || *boundary < *next)) next = boundary;
        }
        if (!next || *next > limit) return std::nullopt;
        cursor = *next;
        const Window* window = WindowInForce(config, FromWallSeconds(cursor));
        if (window != current) return WindowChange{cursor, window};
    }
    return std::nullopt;
}

bool UsesTimesOfDay(const Config& config)
{
    return config.StartTime.Minutes != 0 || config.EndTime.Minutes != 0 || !config.Schedules.empty();
}

std::optional<std::size_t> ScheduleIndex(const Config& config, const Window& window)
{
    if (config.Schedules.empty() || &window < config.Schedules.data() ||
        &window >= config.Schedules.data() + config.Schedules.size()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(&window - config.Schedules.data());
}

WindowLook LookOf(const Config& config, const Window& window)
{
    WindowLook look{&config.EnabledMessage,
                    &config.DisabledMessage,
                    &config.WeekendMOTD,
                    config.EnabledColor,
                    config.DisabledColor,
                    KeyOf(&Config::EnabledMessage),
                    KeyOf(&Config::DisabledMessage)};
    const std::optional<std::size_t> index = ScheduleIndex(config, window);
    const std::string path = index ? "Schedules[" + std::to_string(*index) + "]." : std::string();
    if (window.EnabledMessage) {
        look.EnabledMessage = &*window.EnabledMessage;
        look.EnabledMessageKey = path + "EnabledMessage";
    }
    if (window.DisabledMessage) {
        look.DisabledMessage = &*window.DisabledMessage;
        look.DisabledMessageKey = path + "DisabledMessage";
    }
    if (window.WeekendMOTD) look.WeekendMOTD = &*window.WeekendMOTD;
    if (window.EnabledColor) look.EnabledColor = *window.EnabledColor;
    if (window.DisabledColor) look.DisabledColor = *window.DisabledColor;
    return look;
}

} // namespace qv
