// The simulated game's control interface, for the server that runs it: players, what they
// received, the game mode's presence, multipliers and message of the day.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "plugin/host/ArkApi.h"
#include "standin/framework/Export.h"
#include "standin/game/GameTypes.h"

namespace standin::game {

// Removes every player and forgets departed ones, brings the game mode back with its defaults and
// an empty message of the day.
STANDIN_API void Reset();

STANDIN_API PlayerId Join(const PlayerProfile& profile);
// Throws std::invalid_argument for an unknown or departed player.
STANDIN_API void Leave(PlayerId player);
STANDIN_API bool IsConnected(PlayerId player);
// Null for a departed player; throws std::invalid_argument for an unknown one.
STANDIN_API AShooterPlayerController* ControllerOf(PlayerId player);
STANDIN_API void SetAdmin(PlayerId player, bool admin);
// How the game's new-player handler went for the player's join; throws std::invalid_argument for
// an unknown player.
STANDIN_API NewPlayerHandling NewPlayerHandlingOf(PlayerId player);
STANDIN_API Inbox InboxOf(PlayerId player);
// What the player received from cursor on; cursor then points past it. Throws std::invalid_argument
// for an unknown player. Messages received by every player together, since the process started.
STANDIN_API Inbox InboxSince(PlayerId player, InboxCursor& cursor);
STANDIN_API std::uint64_t MessagesDelivered();
STANDIN_API void ClearInboxes();

STANDIN_API void SetGameModePresent(bool present);
STANDIN_API bool GameModePresent();
// While absent, CurrentWorld() answers null; the players and their inboxes stay.
STANDIN_API void SetWorldPresent(bool present);
STANDIN_API bool WorldPresent();

STANDIN_API const std::vector<std::string>& MultiplierNames();
// Unknown names throw std::invalid_argument.
STANDIN_API float DefaultMultiplier(std::string_view field);
STANDIN_API float Multiplier(std::string_view field);
STANDIN_API void SetMultiplier(std::string_view field, float value);
// The server's setting: the game mode's value now, and that of every game mode built later.
STANDIN_API void ConfigureMultiplier(std::string_view field, float value);

// The game's RCON listener accepted a client (the listener itself is the server's embedder's).
STANDIN_API RconConnectionId OpenRconConnection();
// Throws std::invalid_argument for an unknown or closed connection.
STANDIN_API void CloseRconConnection(RconConnectionId connection);
// Null once closed; throws std::invalid_argument for an unknown connection.
STANDIN_API RCONClientConnection* RconConnectionObject(RconConnectionId connection);
// What the connection was sent from the from-th reply on, in order, also after it closed.
STANDIN_API std::vector<RconReply> RconRepliesSince(RconConnectionId connection, std::size_t from);
STANDIN_API std::size_t RconReplyCount(RconConnectionId connection);
// The game's own answer to a command line that no command took, as game servers word it.
STANDIN_API void AnswerUnknownRconCommand(RconConnectionId connection, std::int32_t requestId, std::string_view line);

STANDIN_API std::u16string MessageOfTheDay();
STANDIN_API int MessageOfTheDayChanges();
STANDIN_API void SetMessageOfTheDay(std::u16string_view text);

} // namespace standin::game
