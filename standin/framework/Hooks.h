// The hook registry behind ArkApi::IHooks: detours chained per game function, as the host framework
// chains them, and the host's side of it: what a library left behind, and what a detour let escape.
#pragma once

#include <string>
#include <vector>

#include "standin/framework/Export.h"
#include "standin/framework/HostTypes.h"

namespace standin::hooks {

// Every detour, function by function (by name), each chain oldest first, orphans included.
STANDIN_API std::vector<HookRegistration> Hooks();
// The owner's library is gone: its detours leave their chains, each one reported, and stay listed
// as orphaned. The host never writes to their originals again, which lived in that library.
STANDIN_API void OrphanOwner(int owner);
// Empties every chain, so that every hookable function runs its own code again.
STANDIN_API void ClearHooks();

// For the game, inside the host library: an exception that a detour let out of a call of function.
// A real server would have crashed; the stand-in logs it and lists it with the escaped exceptions.
void ReportEscape(const std::string& function, const std::string& what);

} // namespace standin::hooks
