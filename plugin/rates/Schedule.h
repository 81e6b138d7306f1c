// The timer callback that switches the boosted rates at the configured times.
#pragma once

#include <cstdint>
#include <optional>

#include "plugin/config/Config.h"
#include "plugin/config/Evaluations.h"
#include "plugin/config/Window.h"

namespace qv {

// Evaluates at the counted calls of config/Evaluations.h. With ExactSwitching a call also evaluates
// when the moment of the next switch or reminder has come.
void CheckSchedule();

// The local time the schedule decides by at now. When the clocks go back, the repeated hour would
// close and reopen a window whose end falls in it; the decision keeps to the latest time an
// evaluation saw until the clock has caught up. With whole days only the weekday counts, as it
// always has.
LocalTime HeldTime(const Config& config, const LocalTime& now);

// After a config was taken: at start-up, with ExactSwitching, the first moment due is worked out;
// after a reload the next counted call evaluates. The reminders withheld may be told again.
void ScheduleAfterLoad(bool reload);

// With ExactSwitching, the instant at which an evaluation at now, which decided by the wall-clock
// time wall, is followed by another: the next change of the window in force, or reminder, the next
// moment a reminder falls due. And the first such instant after the library loads, before any
// evaluation (reminders due at once wait for the first one). kNeverDue (WeekendState.h) for nothing.
Instant NextDueAfter(const Config& config, Instant now, WallSeconds wall, std::optional<Instant> reminder);
Instant FirstDueAfterLoad(const Config& config, Instant now);

// A reload that renames the window in force, and changes nothing else of it (times, values, texts,
// colours): the new name, so that the window is not announced again. Nothing otherwise.
std::optional<WindowId> RenamedWindowInForce(const Config& before, const Config& after);

} // namespace qv
