// Counting timer calls and, every so often, comparing the window in force by the clock with the
// one the game holds.
#include "plugin/rates/Schedule.h"

#include <stdexcept>

#include "plugin/config/Config.h"
#include "plugin/config/LocalClock.h"
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

// The local time to decide by, remembered for the next evaluation.
LocalTime DecisionTime(const Config& config, const LocalTime& now)
{
    const LocalTime held = HeldTime(config, now);
    if (UsesTimesOfDay(config) && ToWallSeconds(held) == ToWallSeconds(now))
        Weekend.LastEvaluation = ToWallSeconds(now);
    return held;
}

// Whether two windows write the same values and show the same switch-on texts.
bool SameSwitchOn(const Config& configA, const Window& a, const Config& configB, const Window& b)
{
    const WindowLook lookA = LookOf(configA, a);
    const WindowLook lookB = LookOf(configB, b);
    return a.Rates.Readable() && b.Rates.Readable() && a.Rates.Values == b.Rates.Values &&
           lookA.WeekendMOTD->View() == lookB.WeekendMOTD->View() &&
           lookA.EnabledMessage->View() == lookB.EnabledMessage->View();
}

// Whether a window shows and writes what the main section's does, so that taking over a manual
// weekend changes nothing players would notice.
bool SameLook(const Config& config, const Window& window)
{
    return window.Id.IsWeekly() || SameSwitchOn(config, window, config, config.Weekly);
}

bool SameColor(const MessageColor& a, const MessageColor& b)
{
    return a.R == b.R && a.G == b.G && a.B == b.B && a.A == b.A;
}

struct SameTimes {
    bool operator()(const WeekdayRule& a, const WeekdayRule& b) const
    {
        return a.StartDay == b.StartDay && a.StartMinute == b.StartMinute && a.EndDay == b.EndDay &&
               a.EndMinute == b.EndMinute;
    }
    bool operator()(const WeeklyHours& a, const WeeklyHours& b) const
    {
        return a.Days == b.Days && a.From == b.From && a.Until == b.Until;
    }
    bool operator()(const DatedSpan& a, const DatedSpan& b) const { return a.Start == b.Start && a.End == b.End; }
    template <typename A, typename B>
    bool operator()(const A&, const B&) const
    {
        return false;
    }
};

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

void Evaluate(Instant instant)
{
    Weekend.FirstCheckDone = true;
    // Should anything below fail, the count alone brings the next evaluation.
    Weekend.NextDue = kNeverDue;
    const Config& config = ConfigInForce;
    const std::optional<LocalTime> local = LocalTimeOf(config, instant);
    if (!local) throw std::runtime_error("the clock's time has no local date");
    const LocalTime now = DecisionTime(config, *local);
    const Window* target = WindowInForce(config, now);
    // The host rebuilt its game mode while the weekend was on: the weekend goes on in the new one.
    const bool sameWindow = Weekend.ScheduledWeekendActive() && target != nullptr && target->Id == Weekend.InForce;
    const bool stillManual = Weekend.ManualWeekendActive() && target == nullptr;
    if (GameModeReplaced() && (sameWindow || stillManual)) {
        const Window& window = sameWindow ? *target : config.Weekly;
        if (PutIntoNewGameMode(window)) LogInfo(RecordText({SwitchEvent::IntoNewGameMode, window.Id}));
    } else if (target == nullptr) {
        if (Weekend.ScheduledWeekendActive()) {
            SwitchToNormal();
            LogInfo(RecordText({SwitchEvent::BackBySchedule}));
        }
    } else if (!Weekend.ScheduledWeekendActive()) {
        OpenWindow(config, *target);
    } else if (target->Id != Weekend.InForce) {
        if (MoveToWindow(*target, Owner::Schedule)) LogInfo(RecordText({SwitchEvent::MovedBySchedule, target->Id}));
    }
    const WallSeconds wall = ToWallSeconds(now);
    const std::optional<Instant> reminder = SendDueReminders(instant, wall);
    if (config.ExactSwitching) Weekend.NextDue = NextDueAfter(config, instant, wall, reminder);
}

} // namespace

Instant NextDueAfter(const Config& config, Instant now, WallSeconds wall, std::optional<Instant> reminder)
{
    Instant due = reminder.value_or(kNeverDue);
    if (const std::optional<WindowChange> change = NextChange(config, wall)) {
        due = std::min(due, FirstInstantShowing(config, change->At, now));
    }
    return due;
}

Instant FirstDueAfterLoad(const Config& config, Instant now)
{
    const std::optional<LocalTime> local = LocalTimeOf(config, now);
    if (!local) return now;
    const WallSeconds wall = ToWallSeconds(*local);
    ReminderMemory none;
    return NextDueAfter(config, now, wall, CheckReminders(config, now, wall, false, none).NextMoment);
}

LocalTime HeldTime(const Config& config, const LocalTime& now)
{
    if (!UsesTimesOfDay(config)) return now;
    const WallSeconds wall = ToWallSeconds(now);
    const WallSeconds last = Weekend.LastEvaluation;
    if (last != 0 && wall < last && last - wall <= kLongestClockChange) return FromWallSeconds(last);
    return now;
}

void CheckSchedule()
{
    if (Game::CurrentGameMode() == nullptr) return;
    const std::int32_t threshold = Weekend.FirstCheckDone ? kCallsBetweenChecks : kCallsBeforeFirstCheck;
    const bool counted = Weekend.CheckCallCount++ == threshold;
    // Without ExactSwitching nothing is ever due, and the clock is not read between evaluations.
    const Instant now = counted || Weekend.NextDue == kNeverDue ? 0 : Clock::Now();
    if (!counted && (Weekend.NextDue == kNeverDue || now < Weekend.NextDue)) return;
    // Reset before the evaluation, which reads no count: however it ends, even by an error, the
    // next one comes a full period later.
    Weekend.CheckCallCount = 0;
    Evaluate(counted ? Clock::Now() : now);
}

void ScheduleAfterLoad(bool reload)
{
    Weekend.Reminders.Withheld.clear();
    const Config& config = ConfigInForce;
    if (!config.ExactSwitching) {
        Weekend.NextDue = kNeverDue;
        return;
    }
    const Instant now = Clock::Now();
    // The window by the clock may be another one now, or the look ahead fail: the next call looks.
    Weekend.NextDue = now;
    if (reload) return;
    // At start-up the first evaluation comes on its call, unless a switch or reminder falls due
    // before; what is due already waits for it. The config is committed: nothing may fail here.
    try {
        Weekend.NextDue = FirstDueAfterLoad(config, now);
    } catch (const std::exception&) {
        Weekend.NextDue = now;
    }
}

std::optional<WindowId> RenamedWindowInForce(const Config& before, const Config& after)
{
    if (!Weekend.BoostedValuesInForce() || Weekend.InForce.IsWeekly() || FindWindow(after, Weekend.InForce)) {
        return std::nullopt;
    }
    const Window* old = FindWindow(before, Weekend.InForce);
    if (old == nullptr) return std::nullopt;
    const WindowLook oldLook = LookOf(before, *old);
    for (const Window& candidate : after.Schedules) {
        if (FindWindow(before, candidate.Id) != nullptr) continue;
        const WindowLook look = LookOf(after, candidate);
        if (std::visit(SameTimes{}, old->Times, candidate.Times) && SameSwitchOn(before, *old, after, candidate) &&
            look.DisabledMessage->View() == oldLook.DisabledMessage->View() &&
            SameColor(look.EnabledColor, oldLook.EnabledColor) &&
            SameColor(look.DisabledColor, oldLook.DisabledColor)) {
            return candidate.Id;
        }
    }
    return std::nullopt;
}

} // namespace qv
