// Counting timer calls and, every so often, comparing the window in force by the clock with the
// one the game holds.
#include "plugin/rates/Schedule.h"

#include "plugin/config/Config.h"
#include "plugin/config/Windows.h"
#include "plugin/host/Clock.h"
#include "plugin/host/Game.h"
#include "plugin/log/PluginLog.h"
#include "plugin/rates/Reminders.h"
#include "plugin/rates/SwitchRecords.h"
#include "plugin/rates/Switching.h"
#include "plugin/rates/WeekendState.h"

namespace qv {

namespace {

// The longest step back of the clocks in autumn.
constexpr WallSeconds kLongestClockChange = 60 * 60;

// The local time to decide by. When the clocks go back, the repeated hour would close and reopen a
// window whose end falls in it; the decision keeps to the latest time already seen until the clock
// has caught up. With whole days only the weekday counts, as it always has.
LocalTime DecisionTime(const Config& config, const LocalTime& now)
{
    if (!UsesTimesOfDay(config)) return now;
    const WallSeconds wall = ToWallSeconds(now);
    const WallSeconds last = Weekend.LastEvaluation;
    if (last != 0 && wall < last && last - wall <= kLongestClockChange) return FromWallSeconds(last);
    Weekend.LastEvaluation = wall;
    return now;
}

// Whether a window shows and writes what the main section's does, so that taking over a manual
// weekend changes nothing players would notice.
bool SameLook(const Config& config, const Window& window)
{
    if (window.Id.IsWeekly()) return true;
    const WindowLook look = LookOf(config, window);
    const WindowLook weeklyLook = LookOf(config, config.Weekly);
    return window.Rates.Readable() && config.Weekly.Rates.Readable() &&
           window.Rates.Values == config.Weekly.Rates.Values &&
           look.WeekendMOTD->View() == weeklyLook.WeekendMOTD->View() &&
           look.EnabledMessage->View() == weeklyLook.EnabledMessage->View();
}

void OpenWindow(const Config& config, const Window& window)
{
    if (Weekend.ManualWeekendActive()) {
        // An administrator already put the weekend in force: the schedule takes it over rather
        // than switching again, which would snapshot weekend values as the normal ones. A window
        // that looks different brings its own values and message.
        const bool taken = SameLook(config, window) ? !GameModeReplaced() || PutIntoNewGameMode(window)
                                                    : MoveToWindow(window, Owner::Schedule);
        if (!taken) return;
        Weekend.Boost = Owner::Schedule;
        Weekend.InForce = window.Id;
        LogInfo(RecordText({SwitchEvent::TakenOver, window.Id}));
        return;
    }
    if (SwitchToWindow(window, Owner::Schedule)) LogInfo(RecordText({SwitchEvent::OnBySchedule, window.Id}));
}

void Evaluate()
{
    Weekend.FirstCheckDone = true;
    const Config& config = ConfigInForce;
    const LocalTime now = DecisionTime(config, Clock::LocalNow());
    const Window* target = WindowInForce(config, now);
    // The host rebuilt its game mode while the weekend was on: the weekend goes on in the new one.
    const bool sameWindow = Weekend.ScheduledWeekendActive() && target != nullptr && target->Id == Weekend.InForce;
    const bool stillManual = Weekend.ManualWeekendActive() && target == nullptr;
    if (GameModeReplaced() && (sameWindow || stillManual)) {
        const Window& window = sameWindow ? *target : config.Weekly;
        if (PutIntoNewGameMode(window)) LogInfo(RecordText({SwitchEvent::IntoNewGameMode, window.Id}));
    } else if (target == nullptr) {
        if (Weekend.ScheduledWeekendActive() && SwitchToNormal()) {
            LogInfo(RecordText({SwitchEvent::BackBySchedule}));
        }
    } else if (!Weekend.ScheduledWeekendActive()) {
        OpenWindow(config, *target);
    } else if (target->Id != Weekend.InForce) {
        if (MoveToWindow(*target, Owner::Schedule)) LogInfo(RecordText({SwitchEvent::MovedBySchedule, target->Id}));
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

} // namespace qv
