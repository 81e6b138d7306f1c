// The decisions, worked out from values alone: nothing here calls the host or changes the state.
#include "plugin/rates/Decisions.h"

#include <stdexcept>

#include "plugin/config/Windows.h"
#include "plugin/messaging/Patterns.h"
#include "plugin/rates/Reminders.h"
#include "plugin/rates/Status.h"
#include "plugin/schedule/LocalClock.h"

namespace qv {

namespace {

// The longest step back of the clocks in autumn, on a host's clock whose changes are not known.
constexpr Seconds kLongestHostClockChange = Hours{1};
// A step back is held no longer than its size, which no zone has made larger than a day: a change
// further back than that is over.
constexpr Seconds kHoldLookBack = Days{2};

constexpr ByteColor kToggleUnavailableColor{255, 191, 0, 255};

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

// Whether a switch into the window can succeed: its values were all read from a file.
bool CanSwitchInto(const Config& config, const Window& window) { return config.FromFile && window.Rates.Readable(); }

// The window in force by the clock against the one the game holds; owner is who owns the boosted
// values once the switches are done.
void DecideSwitches(const Config& config, const BoostState& boost, const Window* target, const HostFacts& facts,
                    ActionList& actions, Owner& owner)
{
    // The host rebuilt its game mode while the weekend was on: the weekend goes on in the new one.
    const bool sameWindow = boost.Scheduled() && target != nullptr && target->Id == boost.InForce;
    const bool stillManual = boost.Manual() && target == nullptr;
    if (facts.GameModeReplaced && (sameWindow || stillManual)) {
        actions.push_back(action::Reinstate{sameWindow ? target->Id : config.Weekly.Id});
    } else if (target == nullptr) {
        if (boost.Scheduled()) {
            actions.push_back(action::SwitchBack{SwitchEvent::BackBySchedule});
            owner = Owner::Nobody;
        }
    } else if (boost.Manual()) {
        // An administrator already put the weekend in force: the schedule takes it over rather than
        // switching again, which would snapshot weekend values as the normal ones.
        const bool sameLook = SameLook(config, *target);
        actions.push_back(action::TakeOver{target->Id, sameLook});
        if ((sameLook && !facts.GameModeReplaced) || CanSwitchInto(config, *target)) owner = Owner::Schedule;
    } else if (!boost.Scheduled()) {
        actions.push_back(action::SwitchOn{target->Id, Owner::Schedule, SwitchEvent::OnBySchedule});
        if (CanSwitchInto(config, *target)) owner = Owner::Schedule;
    } else if (target->Id != boost.InForce) {
        actions.push_back(action::Move{target->Id, SwitchEvent::MovedBySchedule});
    }
}

void DecideReminders(const Config& config, Instant now, WallTime wall, bool manualWeekend, ReminderMemory& memory,
                     Evaluation& evaluation)
{
    const ReminderCheck check = CheckReminders(config, now, wall, manualWeekend, memory);
    for (const Window* window : check.Withheld) {
        evaluation.Actions.push_back(action::Log{LogLevel::Warning, WithheldReminders(*window)});
    }
    for (const DueReminder& due : check.Due) evaluation.Actions.push_back(action::Remind{due.InForce->Id, due.Minutes});
    evaluation.NextReminder = check.NextMoment;
}

} // namespace

Seconds LongestHold(const Config& config, Instant now)
{
    if (!config.Zone) return kLongestHostClockChange;
    // The last change at or before now, among the few of the look back.
    const LocalClock clock = ClockOf(config);
    std::optional<util::ZoneTransition> last;
    for (auto change = clock.NextChange(now - kHoldLookBack); change && change->At <= now;
         change = clock.NextChange(change->At)) {
        last = change;
    }
    return last && last->After < last->Before ? last->Before - last->After : Seconds{0};
}

WallTime DecisionTime(const Config& config, const ScheduleMemory& memory, Instant now, WallTime wall)
{
    if (!UsesTimesOfDay(config) || !memory.LatestDecision || wall >= *memory.LatestDecision) return wall;
    const WallTime latest = *memory.LatestDecision;
    return latest - wall <= LongestHold(config, now) ? latest : wall;
}

Evaluation DecideEvaluation(const Config& config, const BoostState& boost, ScheduleMemory& memory, Instant now,
                            const HostFacts& facts)
{
    const std::optional<WallTime> local = ClockOf(config).WallAt(now);
    if (!local) throw std::runtime_error("the clock's time has no local date");
    Evaluation evaluation;
    evaluation.Decided = DecisionTime(config, memory, now, *local);
    evaluation.ByClock = WindowInForceAt(config, evaluation.Decided);

    Owner owner = boost.OwnedBy;
    DecideSwitches(config, boost, evaluation.ByClock, facts, evaluation.Actions, owner);
    // The reminders move on in a copy, taken over once nothing can fail; without reminders none is
    // made, which spares every evaluation of most configs a copy of the memory.
    std::optional<ReminderMemory> reminders;
    if (!config.Reminders.empty()) {
        reminders = memory.Reminders;
        DecideReminders(config, now, evaluation.Decided, owner == Owner::Administrator, *reminders, evaluation);
    }
    const Instant due =
        config.ExactSwitching ? NextDueAfter(config, now, evaluation.Decided, evaluation.NextReminder) : kNeverDue;

    // Nothing from here on can fail: the memory moves on whole or not at all.
    memory.FirstCheckDone = true;
    if (UsesTimesOfDay(config) && evaluation.Decided == *local) memory.LatestDecision = *local;
    if (reminders) memory.Reminders = std::move(*reminders);
    memory.NextDue = due;
    return evaluation;
}

Instant NextDueAfter(const Config& config, Instant now, WallTime wall, std::optional<Instant> reminder)
{
    Instant due = reminder.value_or(kNeverDue);
    if (const std::optional<WindowChange> change = NextChange(config, wall)) {
        due = std::min(due, ClockOf(config).FirstInstantShowing(change->At, now));
    }
    return due;
}

Instant FirstDueAfterLoad(const Config& config, Instant now)
{
    const std::optional<WallTime> wall = ClockOf(config).WallAt(now);
    if (!wall) return now;
    ReminderMemory none;
    return NextDueAfter(config, now, *wall, CheckReminders(config, now, *wall, false, none).NextMoment);
}

ScheduleMemory MemoryAfterLoad(const Config& config, ScheduleMemory memory, Instant now, bool reload)
{
    memory.Reminders.Withheld.clear();
    if (!config.ExactSwitching) {
        memory.NextDue = kNeverDue;
        return memory;
    }
    // The window by the clock may be another one now, or the look ahead fail: the next call looks.
    memory.NextDue = now;
    if (reload) return memory;
    // At start-up the first evaluation comes on its call, unless a switch or reminder falls due
    // before; what is due already waits for it.
    try {
        memory.NextDue = FirstDueAfterLoad(config, now);
    } catch (const std::exception&) {
        memory.NextDue = now;
    }
    return memory;
}

std::optional<WindowId> RenamedWindowInForce(const Config& before, const Config& after, const BoostState& boost)
{
    if (!boost.Active()) return std::nullopt;
    // The weekly window stays the same window under any name.
    if (boost.InForce.IsWeekly()) {
        if (boost.InForce.DisplayName() == after.Weekly.Id.DisplayName()) return std::nullopt;
        return after.Weekly.Id;
    }
    if (FindWindow(after, boost.InForce)) return std::nullopt;
    const Window* old = FindWindow(before, boost.InForce);
    if (old == nullptr) return std::nullopt;
    const WindowLook oldLook = LookOf(before, *old);
    for (const Window& candidate : after.Schedules) {
        if (FindWindow(before, candidate.Id) != nullptr) continue;
        const WindowLook look = LookOf(after, candidate);
        if (old->Times == candidate.Times && SameSwitchOn(before, *old, after, candidate) &&
            look.DisabledMessage->View() == oldLook.DisabledMessage->View() &&
            look.EnabledColor == oldLook.EnabledColor && look.DisabledColor == oldLook.DisabledColor) {
            return candidate.Id;
        }
    }
    return std::nullopt;
}

ActionList DecideToggle(const Config& config, const BoostState& boost, const ScheduleMemory& memory, Instant now)
{
    // The administrator is told why nothing happens; the window's name may hold braces.
    if (boost.Scheduled()) {
        return {action::Reply{kToggleUnavailableColor, EscapeBraces(ToggleUnavailable(config, boost, memory, now))}};
    }
    if (boost.Manual()) return {action::SwitchBack{SwitchEvent::BackByHand}};
    return {action::SwitchOn{config.Weekly.Id, Owner::Administrator, SwitchEvent::OnByHand}};
}

ActionList DecideUnload(const BoostState& boost)
{
    if (!boost.Active()) return {};
    return {action::RestoreOnUnload{}};
}

} // namespace qv
