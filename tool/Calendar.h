// The coming days as the plug-in's schedule will see them: which window is in force after each of
// its evaluations, the moments it switches and reminds, for a server started at a given time. The
// windows, the changes and the reminders are the plug-in's own functions (rates/Windows.h,
// rates/Reminders.h); only the timing of the evaluations is worked out here.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "plugin/config/Config.h"
#include "plugin/rates/Schedule.h"
#include "tool/DateTime.h"

namespace qvtool {

// When the schedule evaluates, in host timer calls: the plug-in counts calls and evaluates on
// the 31st after load and on every 601st after that. The timer call n after the start comes n
// intervals later.
struct EvaluationTiming {
    Seconds timerInterval = 1;
    std::int64_t firstEvaluationCall = qv::kCallsBeforeFirstCheck + 1;
    std::int64_t callsBetweenEvaluations = qv::kCallsBetweenChecks + 1;

    Seconds FirstEvaluation(Seconds serverStart) const { return serverStart + timerInterval * firstEvaluationCall; }
    Seconds Period() const { return timerInterval * callsBetweenEvaluations; }
    // The first evaluation at or after time.
    Seconds EvaluationAtOrAfter(Seconds serverStart, Seconds time) const;
};

struct CalendarDay {
    Seconds midnight = 0; // local midnight starting the day
    int weekday = 0;
    bool weekendRates = false; // what the day rule of StartDay and EndDay says for the date
};

struct SwitchMoment {
    Seconds when = 0;
    bool toWeekend = false; // a window's values are in force from when on; false: the normal values are back
    // The window in force from when on, and the one before (none: normal rates), of the config the
    // calendar was built from.
    const qv::Window* window = nullptr;
    const qv::Window* previous = nullptr;
    // The other windows open at that moment, which the one in force wins over.
    std::vector<const qv::Window*> alsoOpen;
};

struct ReminderMoment {
    Seconds when = 0;
    const qv::Window* window = nullptr;
    std::int32_t minutes = 0; // as the reminder says them
};

struct WeekCalendar {
    std::vector<CalendarDay> days;
    std::vector<SwitchMoment> switches;
    std::vector<ReminderMoment> reminders;
    Seconds firstEvaluation = 0;
    bool everOpen = false; // the day rule opens on some weekday
};

// The local date and time the plug-in reads at time, from the same C library.
qv::LocalTime LocalTimeAt(Seconds time);
// How far the wall clock is from the epoch's seconds at time: the zone's offset then.
qv::WallSeconds WallOffset(Seconds time);

// One plain sentence for readers of a preview or a timeline: how late a switch may come after the
// time set. verbose adds a line on the timer calls behind it. timesOfDay: the config has times of
// day or schedules, so windows open and close at any moment, not only at midnight, and reminders
// come too. exactSwitching: the config's ExactSwitching.
std::string DescribeTiming(const EvaluationTiming& timing, bool timesOfDay = false, bool exactSwitching = false,
                           bool verbose = false);

// days whole days from serverStart (to the same local time days later, as simulate runs), with the
// dates from the one holding serverStart on. Switch and reminder moments follow the schedule only
// (no hand toggles), starting from a server whose rates are normal.
WeekCalendar BuildCalendar(const qv::Config& config, Seconds serverStart, int days, const EvaluationTiming& timing);
// The weekly window of whole days alone, as a file without times of day or schedules has it. Its
// moments name no window: toWeekend tells.
WeekCalendar BuildCalendar(std::int32_t startDay, std::int32_t endDay, Seconds serverStart, int days,
                           const EvaluationTiming& timing);

} // namespace qvtool
