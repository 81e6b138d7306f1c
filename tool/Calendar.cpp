// Switch moments come from walking the evaluations the way the schedule makes them: the answer
// can only change at a local midnight, so each step jumps to the first evaluation after the next
// midnight instead of visiting all of them.
#include "tool/Calendar.h"

#include <fmt/format.h>

#include "plugin/rates/WeekendWindow.h"

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

} // namespace

std::string DescribeTiming(const EvaluationTiming& timing)
{
    return fmt::format("The host calls the plug-in's timer every {} s. The schedule evaluates on the {} call after the "
                       "plug-in loads and on every {} call after that (every {}), so a switch comes at the first "
                       "evaluation after the local midnight that opens or closes the window.",
                       timing.timerInterval, Ordinal(timing.firstEvaluationCall),
                       Ordinal(timing.callsBetweenEvaluations), FormatDuration(timing.Period()));
}

Seconds EvaluationTiming::EvaluationAtOrAfter(Seconds serverStart, Seconds time) const
{
    const Seconds first = FirstEvaluation(serverStart);
    if (time <= first) return first;
    const Seconds period = Period();
    const Seconds steps = (time - first + period - 1) / period;
    return first + steps * period;
}

WeekCalendar BuildCalendar(std::int32_t startDay, std::int32_t endDay, Seconds serverStart, int days,
                           const EvaluationTiming& timing)
{
    WeekCalendar calendar;
    for (int weekday = 0; weekday < 7; ++weekday)
        calendar.everOpen = calendar.everOpen || IsWindowOpen(startDay, endDay, weekday);

    Seconds midnight = StartOfLocalDay(serverStart);
    for (int i = 0; i < days; ++i) {
        const int weekday = LocalWeekday(midnight);
        calendar.days.push_back({midnight, weekday, IsWindowOpen(startDay, endDay, weekday)});
        midnight = NextLocalMidnight(midnight);
    }
    const Seconds horizon = midnight;

    calendar.firstEvaluation = timing.FirstEvaluation(serverStart);
    bool weekendInForce = false;
    Seconds evaluation = calendar.firstEvaluation;
    while (evaluation < horizon) {
        const bool open = IsWindowOpen(startDay, endDay, LocalWeekday(evaluation));
        if (open != weekendInForce) {
            weekendInForce = open;
            calendar.switches.push_back({evaluation, open});
        }
        evaluation = timing.EvaluationAtOrAfter(serverStart, NextLocalMidnight(evaluation));
    }
    return calendar;
}

} // namespace qvtool
