// Counting timer calls and, every so often, comparing the window in force by the clock with the
// one the game holds.
#include "plugin/rates/Schedule.h"

#include "plugin/config/PluginSettings.h"
#include "plugin/host/Clock.h"
#include "plugin/host/Game.h"
#include "plugin/log/PluginLog.h"
#include "plugin/rates/Reminders.h"
#include "plugin/rates/Switching.h"
#include "plugin/rates/WeekendState.h"
#include "plugin/rates/Windows.h"

namespace {

// The longest step back of the clocks in autumn.
constexpr WallSeconds kLongestClockChange = 60 * 60;

// The log names schedules; the weekly window keeps the words it has always had.
std::string Which(int window)
{
    return window == kWeeklyWindow ? std::string() : " (window \"" + WindowName(PluginSettings, window) + "\")";
}

// The local time to decide by. When the clocks go back, the repeated hour would close and reopen a
// window whose end falls in it; the decision keeps to the latest time already seen until the clock
// has caught up. With whole days only the weekday counts, as it always has.
LocalTime DecisionTime(const LocalTime& now)
{
    if (!UsesTimesOfDay(PluginSettings)) return now;
    const WallSeconds wall = ToWallSeconds(now);
    const WallSeconds last = Weekend.LastEvaluation;
    if (last != 0 && wall < last && last - wall <= kLongestClockChange) return FromWallSeconds(last);
    Weekend.LastEvaluation = wall;
    return now;
}

bool SameLook(int window)
{
    if (window == kWeeklyWindow) return true;
    ConfigProblems ignored;
    const auto values = ReadWindowValues(ConfigDocument, window, ignored);
    const auto weekly = ReadWindowValues(ConfigDocument, kWeeklyWindow, ignored);
    const WindowLook look = LookOf(PluginSettings, window);
    const WindowLook weeklyLook = LookOf(PluginSettings, kWeeklyWindow);
    return values && weekly && *values == *weekly && look.WeekendMOTD->View() == weeklyLook.WeekendMOTD->View() &&
           look.EnabledMessage->View() == weeklyLook.EnabledMessage->View();
}

void OpenWindow(int window)
{
    if (Weekend.ManualWeekendActive) {
        // An administrator already put the weekend in force: the schedule takes it over rather
        // than switching again, which would snapshot weekend values as the normal ones. A window
        // that looks different brings its own values and message.
        const bool taken = SameLook(window) ? !GameModeReplaced() || PutIntoNewGameMode(window) : MoveToWindow(window);
        if (!taken) return;
        Weekend.ScheduledWeekendActive = true;
        Weekend.ManualWeekendActive = false;
        Weekend.WindowName = WindowName(PluginSettings, window);
        LogInfo("Weekend window opened during a manual weekend; the schedule takes it over" + Which(window));
        return;
    }
    if (SwitchWithFlag(Weekend.ScheduledWeekendActive, true, window)) {
        LogInfo("Weekend rates switched on by the schedule" + Which(window));
    }
}

void CloseWindow()
{
    if (SwitchWithFlag(Weekend.ScheduledWeekendActive, false, kWeeklyWindow)) {
        LogInfo("Normal rates switched back by the schedule");
    }
}

void Evaluate()
{
    Weekend.FirstCheckDone = true;
    const LocalTime now = DecisionTime(Clock::LocalNow());
    const std::optional<int> target = WindowInForce(PluginSettings, now);
    // The host rebuilt its game mode while the weekend was on: the weekend goes on in the new one.
    const bool sameWindow =
        Weekend.ScheduledWeekendActive && target && FindWindow(PluginSettings, Weekend.WindowName) == target;
    const bool stillManual = Weekend.ManualWeekendActive && !target;
    if (GameModeReplaced() && (sameWindow || stillManual)) {
        const int window = sameWindow ? *target : kWeeklyWindow;
        if (PutIntoNewGameMode(window)) LogInfo("Weekend rates put into the new game mode" + Which(window));
    } else if (!target) {
        if (Weekend.ScheduledWeekendActive) CloseWindow();
    } else if (!Weekend.ScheduledWeekendActive) {
        OpenWindow(*target);
    } else if (FindWindow(PluginSettings, Weekend.WindowName) != target) {
        if (MoveToWindow(*target)) {
            LogInfo("Weekend rates moved to " +
                    (*target == kWeeklyWindow ? std::string("the weekly window")
                                              : "window \"" + WindowName(PluginSettings, *target) + "\"") +
                    " by the schedule");
        }
    }
    SendDueReminders(now);
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
