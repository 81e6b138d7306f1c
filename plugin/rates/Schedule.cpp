// Counting timer calls and, every so often, comparing the weekly window with what is in force.
#include "plugin/rates/Schedule.h"

#include "plugin/commands/ToggleCommand.h"
#include "plugin/config/PluginSettings.h"
#include "plugin/host/Clock.h"
#include "plugin/host/Game.h"
#include "plugin/lifecycle/PluginLog.h"
#include "plugin/rates/Switching.h"
#include "plugin/rates/WeekendWindow.h"

std::int32_t CheckCallCount = 0;
bool FirstCheckDone = false;
bool ScheduledWeekendActive = false;

namespace {

void OpenWindow()
{
    if (ManualWeekendActive) {
        // An administrator already put the weekend in force: the schedule takes it over rather
        // than switching again, which would snapshot weekend values as the normal ones.
        ScheduledWeekendActive = true;
        ManualWeekendActive = false;
        LogInfo("Weekend window opened during a manual weekend; the schedule takes it over");
        return;
    }
    ScheduledWeekendActive = true;
    if (SwitchToWeekend()) {
        LogInfo("Weekend rates switched on by the schedule");
    } else {
        // Keep the flag true to what the game holds; the next evaluation tries again.
        ScheduledWeekendActive = false;
    }
}

void CloseWindow()
{
    ScheduledWeekendActive = false;
    if (SwitchToNormal()) LogInfo("Normal rates switched back by the schedule");
}

void Evaluate()
{
    FirstCheckDone = true;
    const bool open = IsWindowOpen(PluginSettings.StartDay, PluginSettings.EndDay, Clock::LocalWeekday());
    if (open && !ScheduledWeekendActive) {
        OpenWindow();
    } else if (!open && ScheduledWeekendActive) {
        CloseWindow();
    }
}

} // namespace

void CheckSchedule()
{
    if (Game::CurrentGameMode() == nullptr) return;
    const std::int32_t threshold = FirstCheckDone ? kCallsBetweenChecks : kCallsBeforeFirstCheck;
    if (CheckCallCount++ != threshold) return;
    // However the evaluation ends, the next one comes a full period later.
    struct ResetCount {
        ~ResetCount() { CheckCallCount = 0; }
    } resetCount;
    Evaluate();
}
