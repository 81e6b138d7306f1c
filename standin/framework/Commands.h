// The command registry behind ArkApi::ICommands, and the host's side of it: handing chat lines and
// console lines to the command registered under their first word, and making the timer calls.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "plugin/host/ArkApi.h"
#include "standin/framework/Export.h"
#include "standin/framework/HostTypes.h"

namespace standin::commands {

// Registrations made from now on belong to this owner (0: the host and its embedder). The owner
// of a callback that is running is the owner of what it registers.
STANDIN_API void SetOwner(int owner);
// The owner's library is gone: its registrations stay listed but are never called nor destroyed.
STANDIN_API void OrphanOwner(int owner);
// Drops every registration from the list; orphaned callables are still never destroyed.
STANDIN_API void ClearRegistrations();

// line is UTF-8; the callback receives the whole line. False when no live command matched.
STANDIN_API bool DispatchChat(AShooterPlayerController* player, std::string_view line, EChatSendMode::Type mode);
STANDIN_API bool DispatchConsole(APlayerController* player, std::string_view line, bool flag);
// Every registered timer callback once, in registration order.
STANDIN_API void CallTimers();

STANDIN_API std::vector<Registration> Registrations();
STANDIN_API std::vector<std::string> EscapedExceptions();
STANDIN_API void ClearEscapedExceptions();

} // namespace standin::commands
