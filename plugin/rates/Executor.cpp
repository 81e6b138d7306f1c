// One function per kind of action; a window an action names is looked up in the config in force.
#include "plugin/rates/Executor.h"

#include "plugin/config/Windows.h"
#include "plugin/log/PluginLog.h"
#include "plugin/messaging/Messaging.h"
#include "plugin/rates/Reminders.h"
#include "plugin/rates/SwitchRecords.h"
#include "plugin/rates/Switching.h"
#include "plugin/rates/Welcomes.h"

namespace qv {

namespace {

// A decision names windows of the config in force, which nothing changes between the decision and
// its actions; a window that is gone all the same switches nothing.
const Window* Named(const WindowId& id) { return FindWindow(State.Settings, id); }

void Record(SwitchEvent event, const WindowId& window, std::int32_t minutes = 0)
{
    LogInfo(RecordText({event, window, minutes}));
}

struct Performer {
    const Asker& asker;

    void operator()(const action::SwitchOn& on) const
    {
        const Window* window = Named(on.Window);
        if (window != nullptr && SwitchToWindow(*window, on.By)) Record(on.Record, on.Window);
    }
    void operator()(const action::Move& move) const
    {
        const Window* window = Named(move.Window);
        if (window != nullptr && MoveToWindow(*window, Owner::Schedule)) Record(move.Record, move.Window);
    }
    void operator()(const action::TakeOver& takeOver) const
    {
        const Window* window = Named(takeOver.Window);
        if (window == nullptr) return;
        const bool taken = takeOver.SameLook ? !GameModeReplaced() || PutIntoNewGameMode(*window)
                                             : MoveToWindow(*window, Owner::Schedule);
        if (!taken) return;
        State.Boost.OwnedBy = Owner::Schedule;
        State.Boost.InForce = takeOver.Window;
        Record(SwitchEvent::TakenOver, takeOver.Window);
    }
    void operator()(const action::Reinstate& reinstate) const
    {
        const Window* window = Named(reinstate.Window);
        if (window != nullptr && PutIntoNewGameMode(*window)) Record(SwitchEvent::IntoNewGameMode, reinstate.Window);
    }
    void operator()(const action::SwitchBack& back) const
    {
        SwitchToNormal();
        Record(back.Record, WindowId::Weekly());
    }
    void operator()(const action::RestoreOnUnload&) const { RestoreNormalOnUnload(); }
    void operator()(const action::Remind& remind) const
    {
        const Window* window = Named(remind.Window);
        if (window == nullptr) return;
        SendReminder(State.Settings, *window, remind.Minutes);
        Record(SwitchEvent::ReminderSent, remind.Window, remind.Minutes);
    }
    void operator()(const action::Rename& rename) const { State.Boost.InForce = rename.To; }
    void operator()(const action::Log& log) const { LogAt(log.Level, log.Text); }
    void operator()(const action::Reply& reply) const { Tell(asker, ToMessageColor(reply.Color), reply.Text); }
    void operator()(const action::Welcome& welcome) const
    {
        if (const Window* window = Named(welcome.Window)) {
            SendWelcome(State.Settings, *window, welcome.Player, welcome.MinutesLeft);
        }
    }
};

} // namespace

void Perform(const ActionList& actions, const Asker& asker)
{
    for (const Action& action : actions) std::visit(Performer{asker}, action);
}

HostFacts CurrentHostFacts() { return HostFacts{GameModeReplaced()}; }

} // namespace qv
