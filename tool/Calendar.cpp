// Switch and reminder moments come from walking the evaluations the way the schedule makes them,
// each one decided by the plug-in's own DecideEvaluation. Nothing can change before the moment the
// plug-in names as due next (the next change of the window in force, or a reminder's), so each step
// jumps to the first evaluation at or after it instead of visiting all the evaluations in between.
#include "tool/Calendar.h"

#include <algorithm>

#include <fmt/format.h>

#include "plugin/config/Windows.h"
#include "plugin/rates/Decisions.h"
#include "plugin/schedule/DayRule.h"
#include "plugin/schedule/Openings.h"

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

std::string TechnicalTiming(const EvaluationTiming& timing, bool timesOfDay, bool exactSwitching)
{
    if (exactSwitching) {
        return fmt::format("The host calls the plug-in's timer every {} s. With ExactSwitching, a switch or reminder "
                           "comes at the first call at or after its moment; besides, the schedule evaluates on the {} "
                           "call after the plug-in loads and on the {} call after each evaluation.",
                           timing.TimerInterval.count(), Ordinal(timing.FirstEvaluationCall),
                           Ordinal(timing.CallsBetweenEvaluations));
    }
    return fmt::format("The host calls the plug-in's timer every {} s. The schedule evaluates on the {} call after the "
                       "plug-in loads and on every {} call after that (every {}), so a switch comes at the first "
                       "evaluation after the {}.",
                       timing.TimerInterval.count(), Ordinal(timing.FirstEvaluationCall),
                       Ordinal(timing.CallsBetweenEvaluations), FormatDuration(timing.Period()),
                       timesOfDay ? "moment that opens or closes a window, and a reminder at the first at or after "
                                    "its moment"
                                  : "local midnight that opens or closes the window");
}

std::vector<const Window*> OthersOpen(const Config& config, const Window* window, WallTime wall)
{
    std::vector<const Window*> open;
    if (&config.Weekly != window && IsOpenAt(config.Weekly.Times, wall)) open.push_back(&config.Weekly);
    for (const Window& other : config.Schedules) {
        if (&other != window && IsOpenAt(other.Times, wall)) open.push_back(&other);
    }
    return open;
}

// What the plug-in remembers between evaluations, moved on by each decision as the executor carries
// it out. The preview refuses a file whose weekend values cannot be read, so every window can switch
// on, and each switch is taken as done.
class PluginMemory {
public:
    explicit PluginMemory(const Config& config) : config_(config) {}

    // The evaluation at now, with its switches and reminders added to calendar; the next instant at
    // which something may change (kNeverDue: never).
    Instant Evaluate(Instant now, WeekCalendar& calendar)
    {
        const Evaluation evaluation = DecideEvaluation(config_, boost_, memory_, now, HostFacts{});
        for (const qv::Action& decided : evaluation.Actions) {
            std::visit([&](const auto& action) { Take(action, now, evaluation.Decided, calendar); }, decided);
        }
        return NextDueAfter(config_, now, evaluation.Decided, evaluation.NextReminder);
    }

private:
    const Config& config_;
    BoostState boost_;
    ScheduleMemory memory_;

    void Take(const action::SwitchOn& on, Instant now, WallTime wall, WeekCalendar& calendar)
    {
        SwitchTo(on.Window, now, wall, calendar);
    }
    void Take(const action::Move& move, Instant now, WallTime wall, WeekCalendar& calendar)
    {
        SwitchTo(move.Window, now, wall, calendar);
    }
    void Take(const action::SwitchBack&, Instant now, WallTime, WeekCalendar& calendar)
    {
        calendar.Switches.push_back({now, false, nullptr, FindWindow(config_, boost_.InForce), {}});
        boost_.OwnedBy = Owner::Nobody;
    }
    void Take(const action::Remind& remind, Instant now, WallTime, WeekCalendar& calendar)
    {
        calendar.Reminders.push_back({now, FindWindow(config_, remind.Window), remind.Minutes});
    }
    // Log records; the rest come only after a toggle by hand or a new game mode, which the schedule
    // alone never brings.
    template <typename Other>
    void Take(const Other&, Instant, WallTime, WeekCalendar&)
    {
    }

    void SwitchTo(const WindowId& id, Instant now, WallTime wall, WeekCalendar& calendar)
    {
        const Window* window = FindWindow(config_, id);
        const Window* previous = boost_.Active() ? FindWindow(config_, boost_.InForce) : nullptr;
        calendar.Switches.push_back({now, true, window, previous, OthersOpen(config_, window, wall)});
        boost_.OwnedBy = Owner::Schedule;
        boost_.InForce = id;
    }
};

std::vector<CalendarDay> DaysOf(const Config& config, const LocalClock& clock, Instant serverStart, Instant end)
{
    std::vector<CalendarDay> days;
    for (Instant midnight = StartOfLocalDay(clock, serverStart); midnight < end;
         midnight = NextLocalMidnight(clock, midnight)) {
        const int weekday = WeekdayOf(WallOf(clock, midnight));
        days.push_back({midnight, weekday, IsWindowOpen(config.StartDay, config.EndDay, weekday)});
    }
    return days;
}

} // namespace

std::string DescribeTiming(const EvaluationTiming& timing, bool timesOfDay, bool exactSwitching, bool verbose)
{
    std::string plain;
    if (exactSwitching) {
        plain = fmt::format("With ExactSwitching, switches{} come within {} s of the time you set.",
                            timesOfDay ? " and reminders" : "", timing.TimerInterval.count());
    } else {
        // The period is 601 calls of a second: said as the whole minutes an administrator plans with.
        const std::int64_t minutes = (timing.Period() + Seconds{30}) / Minutes{1};
        plain = fmt::format("The plug-in checks the schedule every {} minutes; switches{} come up to {} minutes after "
                            "the time you set.",
                            minutes, timesOfDay ? " and reminders" : "", minutes);
    }
    return verbose ? plain + "\n" + TechnicalTiming(timing, timesOfDay, exactSwitching) : plain;
}

Instant EvaluationTiming::EvaluationAtOrAfter(Instant serverStart, Instant time) const
{
    const Instant first = FirstEvaluation(serverStart);
    if (time <= first) return first;
    const Seconds period = Period();
    return first + (time - first + period - Seconds{1}) / period * period;
}

WeekCalendar BuildCalendar(const Config& config, Instant serverStart, int days, const EvaluationTiming& timing)
{
    const LocalClock clock = ClockOf(config);
    const Instant end = AddLocalDays(clock, serverStart, days);
    WeekCalendar calendar;
    for (int weekday = 0; weekday < 7; ++weekday)
        calendar.EverOpen = calendar.EverOpen || IsWindowOpen(config.StartDay, config.EndDay, weekday);
    calendar.Days = DaysOf(config, clock, serverStart, end);

    // The timer calls come at serverStart + k intervals; with ExactSwitching one evaluates when the
    // moment due has come, besides those the count brings.
    const Seconds interval = timing.TimerInterval;
    const auto callAtOrAfter = [&](Instant time) {
        return time <= serverStart + interval
                   ? serverStart + interval
                   : serverStart + (time - serverStart + interval - Seconds{1}) / interval * interval;
    };
    calendar.FirstEvaluation = timing.FirstEvaluation(serverStart);
    if (config.ExactSwitching) {
        calendar.FirstEvaluation =
            std::min(calendar.FirstEvaluation, callAtOrAfter(FirstDueAfterLoad(config, serverStart)));
    }
    PluginMemory plugin(config);
    for (Instant evaluation = calendar.FirstEvaluation; evaluation < end && clock.WallAt(evaluation);) {
        const Instant due = plugin.Evaluate(evaluation, calendar);
        // Nothing changes before the moment due, so the evaluations up to it are passed over: the
        // count's up to the first at or after it, and with ExactSwitching the call at it. Across a
        // change of the clocks they are visited one by one, as the plug-in remembers the latest
        // time each saw.
        if (due == kNeverDue) break;
        const Seconds period = timing.Period();
        const Instant next = evaluation + period;
        Instant counted = due <= next ? next : evaluation + (due - evaluation + period - Seconds{1}) / period * period;
        if (clock.OffsetAt(counted) != clock.OffsetAt(evaluation)) counted = next;
        evaluation = config.ExactSwitching ? std::min(counted, callAtOrAfter(due)) : counted;
    }
    return calendar;
}

WeekCalendar BuildCalendar(std::int32_t startDay, std::int32_t endDay, Instant serverStart, int days,
                           const EvaluationTiming& timing)
{
    Config config;
    config.StartDay = startDay;
    config.EndDay = endDay;
    config.Weekly.Times = WeekdayRule{startDay, 0, endDay, 0};
    WeekCalendar calendar = BuildCalendar(config, serverStart, days, timing);
    // The config goes with this call: its switches tell the weekly window by ToWeekend alone.
    for (SwitchMoment& change : calendar.Switches) {
        change.Window = change.Previous = nullptr;
        change.AlsoOpen.clear();
    }
    for (ReminderMoment& reminder : calendar.Reminders) reminder.Window = nullptr;
    return calendar;
}

} // namespace qvtool
