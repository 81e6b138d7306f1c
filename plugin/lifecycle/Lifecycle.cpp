// Load and Unload: the logger, the first config read, the host registrations and the hook on joins.
#include "plugin/lifecycle/Lifecycle.h"

#include "plugin/commands/NewPlayerHook.h"
#include "plugin/commands/Registrations.h"
#include "plugin/commands/ReloadCommands.h"
#include "plugin/log/Guard.h"
#include "plugin/log/PluginLog.h"
#include "plugin/rates/Decisions.h"
#include "plugin/rates/Executor.h"

namespace qv {

void Load()
{
    RunGuarded("Load", [] { CreatePluginLog(); });
    // A bad file must not cost the administrator the reload command that would fix it.
    RunGuarded("Load", [] { LoadConfigAtStartup(); });
    RunGuarded("Load", [] { RegisterAll(); });
}

void Unload(UnloadReason reason)
{
    // First: a join while the rest unloads would still reach the detour.
    RunGuarded("Unload", [] { DropWelcomes(); });
    RunGuarded("Unload", [] { UnregisterAll(); });
    // Weekend values left in the game would be snapshotted as "normal" by the next load.
    if (reason == UnloadReason::LibraryUnloaded) RunGuarded("Unload", [] { Perform(DecideUnload(State.Boost)); });
}

} // namespace qv
