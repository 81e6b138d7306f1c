// The coming days as the plug-in's schedule will see them: which dates have the weekend rates
// on, and the moment of each switch for a server started at a given time.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "plugin/rates/Schedule.h"
#include "tool/DateTime.h"

namespace qvtool {

// When the schedule evaluates, in host timer calls: the plug-in counts calls and evaluates on
// the 31st after load and on every 601st after that. The timer call n after the start comes n
// intervals later.
struct EvaluationTiming {
    Seconds timerInterval = 1;
    std::int64_t firstEvaluationCall = kCallsBeforeFirstCheck + 1;
    std::int64_t callsBetweenEvaluations = kCallsBetweenChecks + 1;

    Seconds FirstEvaluation(Seconds serverStart) const { return serverStart + timerInterval * firstEvaluationCall; }
    Seconds Period() const { return timerInterval * callsBetweenEvaluations; }
    // The first evaluation at or after time.
    Seconds EvaluationAtOrAfter(Seconds serverStart, Seconds time) const;
};

struct CalendarDay {
    Seconds midnight = 0; // local midnight starting the day
    int weekday = 0;
    bool weekendRates = false; // what the window rule says for the date
};

struct SwitchMoment {
    Seconds when = 0;
    bool toWeekend = false;
};

struct WeekCalendar {
    std::vector<CalendarDay> days;
    std::vector<SwitchMoment> switches;
    Seconds firstEvaluation = 0;
    bool everOpen = false; // on any weekday at all
};

// One sentence for readers of a preview or a timeline: when the plug-in evaluates, and so when switches come.
std::string DescribeTiming(const EvaluationTiming& timing);

// days dates from the one holding serverStart. Switch moments follow the scheduled flag only
// (no hand toggles), starting from a server whose rates are normal.
WeekCalendar BuildCalendar(std::int32_t startDay, std::int32_t endDay, Seconds serverStart, int days,
                           const EvaluationTiming& timing);

} // namespace qvtool
