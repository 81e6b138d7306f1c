// The timer callback that switches the boosted rates at the configured times.
#pragma once

namespace qv {

// Evaluates at the counted calls of schedule/Cadence.h. With ExactSwitching a call also evaluates
// when the moment of the next switch or reminder has come. A call also sends the welcomes due.
void CheckSchedule();

} // namespace qv
