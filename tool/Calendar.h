// The coming days as the plug-in's schedule will see them: which window is in force after each of
// its evaluations, the moments it switches and reminds, for a server started at a given time. Each
// evaluation is the plug-in's own decision (rates/Decisions.h), on its own windows
// (config/Windows.h, schedule/); only the timing of the evaluations is worked out here.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "plugin/config/Config.h"
#include "plugin/schedule/Cadence.h"
#include "tool/DateTime.h"

namespace qvtool {

// When the schedule evaluates, in host timer calls: the plug-in counts calls and evaluates on
// the 31st after load and on every 601st after that. The timer call n after the start comes n
// intervals later.
struct EvaluationTiming {
    Seconds TimerInterval{1};
    std::int64_t FirstEvaluationCall = qv::kCallsBeforeFirstCheck + 1;
    std::int64_t CallsBetweenEvaluations = qv::kCallsBetweenChecks + 1;

    Instant FirstEvaluation(Instant serverStart) const { return serverStart + TimerInterval * FirstEvaluationCall; }
    Seconds Period() const { return TimerInterval * CallsBetweenEvaluations; }
    // The first evaluation at or after time.
    Instant EvaluationAtOrAfter(Instant serverStart, Instant time) const;
};

struct CalendarDay {
    Instant Midnight; // the midnight starting the day
    int Weekday = 0;
    bool WeekendRates = false; // what the day rule of StartDay and EndDay says for the date
};

struct SwitchMoment {
    Instant When;
    bool ToWeekend = false; // a window's values are in force from When on; false: the normal values are back
    // The window in force from When on, and the one before (none: normal rates), of the config the
    // calendar was built from.
    const qv::Window* Window = nullptr;
    const qv::Window* Previous = nullptr;
    // The other windows open at that moment, which the one in force wins over.
    std::vector<const qv::Window*> AlsoOpen;
};

struct ReminderMoment {
    Instant When;
    const qv::Window* Window = nullptr;
    std::int32_t Minutes = 0; // as the reminder says them
};

struct WeekCalendar {
    std::vector<CalendarDay> Days;
    std::vector<SwitchMoment> Switches;
    std::vector<ReminderMoment> Reminders;
    Instant FirstEvaluation;
    bool EverOpen = false; // the day rule opens on some weekday
};

// One plain sentence for readers of a preview or a timeline: how late a switch may come after the
// time set. verbose adds a line on the timer calls behind it. timesOfDay: the config has times of
// day or schedules, so windows open and close at any moment, not only at midnight, and reminders
// come too. exactSwitching: the config's ExactSwitching.
std::string DescribeTiming(const EvaluationTiming& timing, bool timesOfDay = false, bool exactSwitching = false,
                           bool verbose = false);

// days whole days from serverStart (to the same local time days later, as simulate runs), with the
// dates from the one holding serverStart on, all on the config's clock. Switch and reminder moments
// follow the schedule only (no hand toggles), starting from a server whose rates are normal.
WeekCalendar BuildCalendar(const qv::Config& config, Instant serverStart, int days, const EvaluationTiming& timing);
// The weekly window of whole days alone, as a file without times of day or schedules has it, on
// the host's clock. Its moments name no window: ToWeekend tells.
WeekCalendar BuildCalendar(std::int32_t startDay, std::int32_t endDay, Instant serverStart, int days,
                           const EvaluationTiming& timing);

} // namespace qvtool
