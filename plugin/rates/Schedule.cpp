// Counting timer calls and, every so often, deciding what the clock asks of the rates and doing it.
#include "plugin/rates/Schedule.h"

#include "plugin/host/Clock.h"
#include "plugin/host/Game.h"
#include "plugin/rates/Decisions.h"
#include "plugin/rates/Executor.h"
#include "plugin/rates/Welcomes.h"
#include "plugin/schedule/Cadence.h"

namespace qv {

namespace {

void Evaluate(Instant now)
{
    ScheduleMemory& memory = State.Schedule;
    memory.FirstCheckDone = true;
    // Should anything below fail, the count alone brings the next evaluation.
    memory.NextDue = kNeverDue;
    const Evaluation evaluation = DecideEvaluation(State.Settings, State.Boost, memory, now, CurrentHostFacts());
    const Instant due = memory.NextDue;
    memory.NextDue = kNeverDue;
    // Most evaluations decide nothing, and skip the executor.
    if (!evaluation.Actions.empty()) Perform(evaluation.Actions);
    memory.NextDue = due;
}

// A call that has something to do. Apart from CheckSchedule, so that the idle calls, nearly all of
// them, pay for none of the frame this one needs.
void Wake(bool counted, Instant now)
{
    ScheduleMemory& memory = State.Schedule;
    if (counted || memory.NextDue <= now) {
        // Reset before the evaluation, which reads no count: however it ends, even by an error, the
        // next one comes a full period later.
        memory.CallCount = 0;
        Evaluate(now);
    }
    // After the evaluation: rates that it ended welcome nobody.
    if (State.Welcomes.NextDue <= now) SendDueWelcomes(now);
    RefreshWakeAt(State);
}

} // namespace

void CheckSchedule()
{
    if (Game::CurrentGameMode() == nullptr) return;
    ScheduleMemory& memory = State.Schedule;
    const std::int32_t threshold = memory.FirstCheckDone ? kCallsBetweenChecks : kCallsBeforeFirstCheck;
    if (memory.CallCount++ == threshold) {
        Wake(true, Clock::Now());
        return;
    }
    // Without ExactSwitching, and while nobody waits for a welcome, nothing is ever due, and the
    // clock is not read between evaluations.
    const Instant wake = State.WakeAt;
    if (wake == kNeverDue) return;
    const Instant now = Clock::Now();
    if (now >= wake) Wake(false, now);
}

} // namespace qv
