// Switch and reminder moments come from walking the evaluations the way the schedule makes them,
// each one decided by the plug-in's functions. Nothing can change between the moments that the
// plug-in's NextChange and the reminders' leads name, so each step jumps to the first evaluation
// at or after the next of them instead of visiting all the evaluations in between.
#include "tool/Calendar.h"

#include <algorithm>

#include <fmt/format.h>

#include "plugin/rates/Reminders.h"
#include "plugin/rates/WeekendWindow.h"
#include "plugin/rates/Windows.h"

namespace qvtool {

namespace {

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

// The local date and time the plug-in reads at time, from the same C library.
LocalTime LocalTimeAt(Seconds time)
{
    const std::tm local = LocalCalendar(time);
    LocalTime at;
    at.Year = local.tm_year + 1900;
    at.Month = local.tm_mon + 1;
    at.Day = local.tm_mday;
    at.Hour = local.tm_hour;
    at.Minute = local.tm_min;
    at.Second = local.tm_sec;
    at.Weekday = local.tm_wday;
    return at;
}

// How far the wall clock is from the epoch's seconds at time: the zone's offset then.
WallSeconds WallOffset(Seconds time) { return ToWallSeconds(LocalTimeAt(time)) - time; }

// The time the plug-in decides by (rates/Schedule.cpp): on the night the clocks go back it keeps
// to the latest wall-clock time already seen, for up to an hour, when times of day play a part.
class DecisionClock {
public:
    explicit DecisionClock(const Settings& settings) : timesOfDay_(UsesTimesOfDay(settings)) {}

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

std::vector<int> OthersOpen(const Settings& settings, int window, const LocalTime& now)
{
    std::vector<int> open;
    for (int other = kWeeklyWindow; other < static_cast<int>(settings.Schedules.size()); ++other) {
        if (other != window && IsOpen(settings, other, now)) open.push_back(other);
    }
    return open;
}

// The next wall-clock moment after wall at which an evaluation may switch or remind: the next
// change of the window in force, or a reminder's lead before it. Nothing when nothing ever changes.
std::optional<WallSeconds> NextMoment(const Settings& settings, WallSeconds wall)
{
    const std::optional<WindowChange> change = NextChange(settings, wall);
    if (!change) return std::nullopt;
    WallSeconds next = change->At;
    if (change->Window) {
        for (const std::int32_t lead : settings.Reminders) {
            const WallSeconds moment = change->At - WallSeconds{lead} * 60;
            if (moment > wall) next = std::min(next, moment);
        }
    }
    return next;
}

} // namespace

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

WeekCalendar BuildCalendar(const Settings& settings, Seconds serverStart, int days, const EvaluationTiming& timing)
{
    WeekCalendar calendar;
    for (int weekday = 0; weekday < 7; ++weekday)
        calendar.everOpen = calendar.everOpen || IsWindowOpen(settings.StartDay, settings.EndDay, weekday);

    Seconds midnight = StartOfLocalDay(serverStart);
    for (int i = 0; i < days; ++i) {
        const int weekday = LocalWeekday(midnight);
        calendar.days.push_back({midnight, weekday, IsWindowOpen(settings.StartDay, settings.EndDay, weekday)});
        midnight = NextLocalMidnight(midnight);
    }
    const Seconds horizon = midnight;

    calendar.firstEvaluation = timing.FirstEvaluation(serverStart);
    DecisionClock clock(settings);
    ReminderMemory reminded;
    std::optional<int> inForce;
    Seconds evaluation = calendar.firstEvaluation;
    while (evaluation < horizon) {
        const LocalTime local = LocalTimeAt(evaluation);
        const LocalTime decision = clock.At(local);
        const std::optional<int> window = WindowInForce(settings, decision);
        if (window != inForce) {
            calendar.switches.push_back({evaluation, window.has_value(), window, inForce,
                                         window ? OthersOpen(settings, *window, decision) : std::vector<int>{}});
            inForce = window;
        }
        const WallSeconds wall = ToWallSeconds(decision);
        if (const std::optional<DueReminder> due = NextDueReminder(settings, wall, false, reminded)) {
            calendar.reminders.push_back({evaluation, due->Window, due->Minutes});
        }

        const std::optional<WallSeconds> next = NextMoment(settings, wall);
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
    Settings settings;
    settings.StartDay = startDay;
    settings.EndDay = endDay;
    return BuildCalendar(settings, serverStart, days, timing);
}

} // namespace qvtool
