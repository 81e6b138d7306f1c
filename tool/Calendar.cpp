// Switch and reminder moments come from walking the evaluations the way the schedule makes them,
// each one decided by the plug-in's functions. Nothing can change before the moment the plug-in
// names as due next (the next change of the window in force, or a reminder's), so each step jumps
// to the first evaluation at or after it instead of visiting all the evaluations in between.
#include "tool/Calendar.h"

#include <algorithm>

#include <fmt/format.h>

#include "plugin/config/LocalClock.h"
#include "plugin/config/WeekendWindow.h"
#include "plugin/config/Windows.h"
#include "plugin/rates/Reminders.h"
#include "plugin/rates/Schedule.h"
#include "plugin/rates/WeekendState.h"

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

// The offset of the config's clock from the host's at an instant.
WallSeconds Offset(const Config& config, Seconds time)
{
    const std::optional<LocalTime> local = LocalTimeOf(config, time);
    return local ? ToWallSeconds(*local) - time : 0;
}

std::vector<const Window*> OthersOpen(const Config& config, const Window* window, const LocalTime& now)
{
    std::vector<const Window*> open;
    if (&config.Weekly != window && IsOpen(config.Weekly, now)) open.push_back(&config.Weekly);
    for (const Window& other : config.Schedules) {
        if (&other != window && IsOpen(other, now)) open.push_back(&other);
    }
    return open;
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

namespace {

std::string TechnicalTiming(const EvaluationTiming& timing, bool timesOfDay, bool exactSwitching)
{
    if (exactSwitching) {
        return fmt::format("The host calls the plug-in's timer every {} s. With ExactSwitching, a switch or reminder "
                           "comes at the first call at or after its moment; besides, the schedule evaluates on the {} "
                           "call after the plug-in loads and on the {} call after each evaluation.",
                           timing.timerInterval, Ordinal(timing.firstEvaluationCall),
                           Ordinal(timing.callsBetweenEvaluations));
    }
    return fmt::format("The host calls the plug-in's timer every {} s. The schedule evaluates on the {} call after the "
                       "plug-in loads and on every {} call after that (every {}), so a switch comes at the first "
                       "evaluation after the {}.",
                       timing.timerInterval, Ordinal(timing.firstEvaluationCall),
                       Ordinal(timing.callsBetweenEvaluations), FormatDuration(timing.Period()),
                       timesOfDay ? "moment that opens or closes a window, and a reminder at the first at or after "
                                    "its moment"
                                  : "local midnight that opens or closes the window");
}

} // namespace

std::string DescribeTiming(const EvaluationTiming& timing, bool timesOfDay, bool exactSwitching, bool verbose)
{
    std::string plain;
    if (exactSwitching) {
        plain = fmt::format("With ExactSwitching, switches{} come within {} s of the time you set.",
                            timesOfDay ? " and reminders" : "", timing.timerInterval);
    } else {
        // The period is 601 calls of a second: said as the whole minutes an administrator plans with.
        const Seconds minutes = (timing.Period() + 30) / 60;
        plain = fmt::format("The plug-in checks the schedule every {} minutes; switches{} come up to {} minutes after "
                            "the time you set.",
                            minutes, timesOfDay ? " and reminders" : "", minutes);
    }
    return verbose ? plain + "\n" + TechnicalTiming(timing, timesOfDay, exactSwitching) : plain;
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
    const Seconds end = AddLocalDays(serverStart, days);
    WeekCalendar calendar;
    for (int weekday = 0; weekday < 7; ++weekday)
        calendar.everOpen = calendar.everOpen || IsWindowOpen(config.StartDay, config.EndDay, weekday);

    for (Seconds midnight = StartOfLocalDay(serverStart); midnight < end; midnight = NextLocalMidnight(midnight)) {
        const int weekday = LocalWeekday(midnight);
        calendar.days.push_back({midnight, weekday, IsWindowOpen(config.StartDay, config.EndDay, weekday)});
    }

    // The timer calls come at serverStart + k intervals; with ExactSwitching one evaluates when the
    // moment due has come, besides those the count brings.
    const Seconds interval = timing.timerInterval;
    const auto callAtOrAfter = [&](Seconds time) {
        return time <= serverStart + interval ? serverStart + interval
                                              : serverStart + (time - serverStart + interval - 1) / interval * interval;
    };
    calendar.firstEvaluation = timing.FirstEvaluation(serverStart);
    if (config.ExactSwitching) {
        calendar.firstEvaluation =
            std::min(calendar.firstEvaluation, callAtOrAfter(FirstDueAfterLoad(config, serverStart)));
    }
    DecisionClock clock(config);
    ReminderMemory reminded;
    const Window* inForce = nullptr;
    Seconds evaluation = calendar.firstEvaluation;
    while (evaluation < end) {
        const std::optional<LocalTime> local = LocalTimeOf(config, evaluation);
        if (!local) break;
        const LocalTime decision = clock.At(*local);
        const WallSeconds wall = ToWallSeconds(decision);
        const Window* window = WindowInForceAt(config, wall);
        if (window != inForce) {
            calendar.switches.push_back({evaluation, window != nullptr, window, inForce,
                                         window ? OthersOpen(config, window, decision) : std::vector<const Window*>{}});
            inForce = window;
        }
        const ReminderCheck reminders = CheckReminders(config, evaluation, wall, false, reminded);
        for (const DueReminder& due : reminders.Due)
            calendar.reminders.push_back({evaluation, due.InForce, due.Minutes});

        // Nothing changes before the moment due, so the evaluations up to it are passed over: the
        // count's up to the first at or after it, and with ExactSwitching the call at it. Across a
        // change of the clocks they are visited one by one, as the plug-in remembers the latest
        // time each saw.
        const Instant due = NextDueAfter(config, evaluation, wall, reminders.NextMoment);
        if (due == kNeverDue) break;
        const Seconds period = timing.Period();
        const Seconds next = evaluation + period;
        Seconds counted = due <= next ? next : evaluation + (due - evaluation + period - 1) / period * period;
        if (Offset(config, counted) != Offset(config, evaluation)) counted = next;
        evaluation = config.ExactSwitching ? std::min(counted, callAtOrAfter(due)) : counted;
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
