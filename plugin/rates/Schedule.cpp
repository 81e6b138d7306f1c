// Counting timer calls and, every so often, comparing the weekly window with what is in force.
#include "plugin/rates/Schedule.h"

#include "plugin/config/PluginSettings.h"
#include "plugin/host/Clock.h"
#include "plugin/host/Game.h"
#include "plugin/log/PluginLog.h"
#include "plugin/rates/Switching.h"
#include "plugin/rates/WeekendState.h"
#include "plugin/rates/WeekendWindow.h"

namespace {

void OpenWindow()
{
    if (Weekend.ManualWeekendActive) {
        // An administrator already put the weekend in force: the schedule takes it over rather
        // than switching again, which would snapshot weekend values as the normal ones.
        Weekend.ScheduledWeekendActive = true;
        Weekend.ManualWeekendActive = false;
        LogInfo("Weekend window opened during a manual weekend; the schedule takes it over");
        return;
    }
    if (SwitchWithFlag(Weekend.ScheduledWeekendActive, true)) LogInfo("Weekend rates switched on by the schedule");
}

void CloseWindow()
{
    if (SwitchWithFlag(Weekend.ScheduledWeekendActive, false)) LogInfo("Normal rates switched back by the schedule");
}

void Evaluate()
{
    Weekend.FirstCheckDone = true;
    const bool open = IsWindowOpen(PluginSettings.StartDay, PluginSettings.EndDay, Clock::LocalWeekday());
    if (open && !Weekend.ScheduledWeekendActive) {
        OpenWindow();
    } else if (!open && Weekend.ScheduledWeekendActive) {
        CloseWindow();
    }
}

} // namespace

void CheckSchedule()
{
    if (Game::CurrentGameMode() == nullptr) return;
    const std::int32_t threshold = Weekend.FirstCheckDone ? kCallsBetweenChecks : kCallsBeforeFirstCheck;
    if (Weekend.CheckCallCount++ != threshold) return;
    // Reset before the evaluation, which reads no count: however it ends, even by an error, the
    // next one comes a full period later.
    Weekend.CheckCallCount = 0;
    Evaluate();
}
