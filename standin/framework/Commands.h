// The command registry behind ArkApi::ICommands, and the host's side of it: handing chat, console
// and RCON lines to the command registered under their first word, every chat line to the
// chat-message callbacks, and making the frame and timer calls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "plugin/host/ArkApi.h"
#include "standin/framework/Export.h"
#include "standin/framework/GameString.h"
#include "standin/framework/HostTypes.h"

namespace standin {

// The game's RCON request as the host hands it to a command (an RCONPacket to the plug-in): the size
// field of the packet on the wire, the client's id for the request, its type, and the line.
struct RconRequest {
    std::int32_t Length = 0;
    std::int32_t Id = 0;
    std::int32_t Type = 0;
    GameString Body;
};
static_assert(sizeof(RconRequest) == 32, "the game's RCON packet layout");
static_assert(offsetof(RconRequest, Length) == 0);
static_assert(offsetof(RconRequest, Id) == 4);
static_assert(offsetof(RconRequest, Type) == 8);
static_assert(offsetof(RconRequest, Body) == 16);

} // namespace standin

namespace standin::commands {

// Registrations made from now on belong to this owner (0: the host and its embedder). The owner
// of a callback that is running is the owner of what it registers.
STANDIN_API void SetOwner(int owner);
// The owner's library is gone: its registrations stay listed but are never called nor destroyed.
STANDIN_API void OrphanOwner(int owner);
// Drops every registration from the list; orphaned callables are still never destroyed.
STANDIN_API void ClearRegistrations();

struct ChatOutcome {
    bool command = false;  // a chat command took the line
    bool passedOn = false; // neither a command nor a chat-message callback stopped it
};
// line is UTF-8; the command receives the whole line, then every chat-message callback does.
STANDIN_API ChatOutcome DispatchChat(AShooterPlayerController* player, std::string_view line, EChatSendMode::Type mode);
// False when no live command matched.
STANDIN_API bool DispatchConsole(APlayerController* player, std::string_view line, bool flag);
// A command request (type 2) with the client's id packetId, read from the connection; false when no
// live command matched. What the command answers goes through "RCONClientConnection.SendMessageW".
STANDIN_API bool DispatchRcon(RCONClientConnection* connection, std::int32_t packetId, std::string_view line);
// One frame: every on-tick callback once, in registration order.
STANDIN_API void CallTicks(float seconds);
// Every registered timer callback once, in registration order.
STANDIN_API void CallTimers();

// For the hook registry, inside the host library: the owner of what is set now, and an exception
// that escaped a plug-in's code, listed with the callbacks' own.
int CurrentOwner();
void RecordEscapedException(const std::string& what);

STANDIN_API std::vector<Registration> Registrations();
STANDIN_API std::vector<std::string> EscapedExceptions();
STANDIN_API void ClearEscapedExceptions();

} // namespace standin::commands
