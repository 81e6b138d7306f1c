// Switch and reminder moments come from walking the evaluations the way the schedule makes them,
// each one decided by the plug-in's functions. Nothing can change between the moments that the
// plug-in's NextChange and the reminders' leads name, so each step jumps to the first evaluation
// at or after the next of them instead of visiting all the evaluations in between.
#include "tool/Calendar.h"

#include <algorithm>

#include <fmt/format.h>

#include "plugin/config/WeekendWindow.h"
#include "plugin/config/Windows.h"
#include "plugin/rates/Reminders.h"

namespace qvtool {

namespace {

using namespace qv;

std::string Ordinal(std::int64_t n)
{
    const std::int64_t lastTwo = n % 100;
    const char* suffix = lastTwo >= 11 && lastTwo <= 13 ? "th"
                         : n % 10 == 1                  ? "st"
                         : n % 10 == 2                  ? "nd"
                         : n % 10 == 3                  ? "rd"
                                                        : "th";
    return fmt::format("{}{}", n, suffix);
}

// The time the plug-in decides by (rates/Schedule.cpp): on the night the clocks go back it keeps
// to the latest wall-clock time already seen, for up to an hour, when times of day play a part.
class DecisionClock {
public:
    explicit DecisionClock(const Config& config) : timesOfDay_(UsesTimesOfDay(config)) {}

    LocalTime At(const LocalTime& now)
    {
        if (!timesOfDay_) return now;
        const WallSeconds wall = ToWallSeconds(now);
        if (last_ != 0 && wall < last_ && last_ - wall <= 60 * 60) return FromWallSeconds(last_);
        last_ = wall;
        return now;
    }

private:
    bool timesOfDay_;
    WallSeconds last_ = 0;
};

std::vector<const Window*> OthersOpen(const Config& config, const Window* window, const LocalTime& now)
{
    std::vector<const Window*> open;
    if (&config.Weekly != window && IsOpen(config.Weekly, now)) open.push_back(&config.Weekly);
    for (const Window& other : config.Schedules) {
        if (&other != window && IsOpen(other, now)) open.push_back(&other);
    }
    return open;
}

// The next wall-clock moment after wall at which an evaluation may switch or remind: the next
// change of the window in force, or a reminder's lead before it. Nothing when nothing ever changes.
std::optional<WallSeconds> NextMoment(const Config& config, WallSeconds wall)
{
    const std::optional<WindowChange> change = NextChange(config, wall);
    if (!change) return std::nullopt;
    WallSeconds next = change->At;
    if (change->InForce != nullptr) {
        for (const std::int32_t lead : config.Reminders) {
            const WallSeconds moment = change->At - WallSeconds{lead} * 60;
            if (moment > wall) next = std::min(next, moment);
        }
    }
    return next;
}

} // namespace

qv::LocalTime LocalTimeAt(Seconds time)
{
    const std::tm local = LocalCalendar(time);
    qv::LocalTime at;
    at.Year = local.tm_year + 1900;
    at.Month = local.tm_mon + 1;
    at.Day = local.tm_mday;
    at.Hour = local.tm_hour;
    at.Minute = local.tm_min;
    at.Second = local.tm_sec;
    at.Weekday = local.tm_wday;
    return at;
}

qv::WallSeconds WallOffset(Seconds time) { return qv::ToWallSeconds(LocalTimeAt(time)) - time; }

std::string DescribeTiming(const EvaluationTiming& timing, bool timesOfDay)
{
    return fmt::format("The host calls the plug-in's timer every {} s. The schedule evaluates on the {} call after the "
                       "plug-in loads and on every {} call after that (every {}), so a switch comes at the first "
                       "evaluation after the {}.",
                       timing.timerInterval, Ordinal(timing.firstEvaluationCall),
                       Ordinal(timing.callsBetweenEvaluations), FormatDuration(timing.Period()),
                       timesOfDay ? "moment that opens or closes a window, and a reminder at the first at or after "
                                    "its moment"
                                  : "local midnight that opens or closes the window");
}

Seconds EvaluationTiming::EvaluationAtOrAfter(Seconds serverStart, Seconds time) const
{
    const Seconds first = FirstEvaluation(serverStart);
    if (time <= first) return first;
    const Seconds period = Period();
    const Seconds steps = (time - first + period - 1) / period;
    return first + steps * period;
}

WeekCalendar BuildCalendar(const Config& config, Seconds serverStart, int days, const EvaluationTiming& timing)
{
    WeekCalendar calendar;
    for (int weekday = 0; weekday < 7; ++weekday)
        calendar.everOpen = calendar.everOpen || IsWindowOpen(config.StartDay, config.EndDay, weekday);

    Seconds midnight = StartOfLocalDay(serverStart);
    for (int i = 0; i < days; ++i) {
        const int weekday = LocalWeekday(midnight);
        calendar.days.push_back({midnight, weekday, IsWindowOpen(config.StartDay, config.EndDay, weekday)});
        midnight = NextLocalMidnight(midnight);
    }
    const Seconds horizon = midnight;

    calendar.firstEvaluation = timing.FirstEvaluation(serverStart);
    DecisionClock clock(config);
    ReminderMemory reminded;
    const Window* inForce = nullptr;
    Seconds evaluation = calendar.firstEvaluation;
    while (evaluation < horizon) {
        const LocalTime local = LocalTimeAt(evaluation);
        const LocalTime decision = clock.At(local);
        const Window* window = WindowInForce(config, decision);
        if (window != inForce) {
            calendar.switches.push_back({evaluation, window != nullptr, window, inForce,
                                         window ? OthersOpen(config, window, decision) : std::vector<const Window*>{}});
            inForce = window;
        }
        const WallSeconds wall = ToWallSeconds(decision);
        if (const std::optional<DueReminder> due = NextDueReminder(config, wall, false, reminded)) {
            calendar.reminders.push_back({evaluation, due->InForce, due->Minutes});
        }

        const std::optional<WallSeconds> next = NextMoment(config, wall);
        if (!next) break;
        // Within one offset of the zone, wall-clock seconds and real ones pass alike; across a
        // daylight-saving change the evaluations are visited one by one.
        const Seconds estimate = evaluation + (*next - ToWallSeconds(local));
        evaluation = estimate > evaluation + timing.Period() && WallOffset(estimate) == WallOffset(evaluation)
                         ? timing.EvaluationAtOrAfter(serverStart, estimate)
                         : evaluation + timing.Period();
    }
    return calendar;
}

WeekCalendar BuildCalendar(std::int32_t startDay, std::int32_t endDay, Seconds serverStart, int days,
                           const EvaluationTiming& timing)
{
    Config config;
    config.StartDay = startDay;
    config.EndDay = endDay;
    config.Weekly.Times = WeekdayRule{startDay, 0, endDay, 0};
    WeekCalendar calendar = BuildCalendar(config, serverStart, days, timing);
    // The config goes with this call: its switches tell the weekly window by toWeekend alone.
    for (SwitchMoment& change : calendar.switches) {
        change.window = change.previous = nullptr;
        change.alsoOpen.clear();
    }
    for (ReminderMoment& reminder : calendar.reminders) reminder.window = nullptr;
    return calendar;
}

} // namespace qvtool
