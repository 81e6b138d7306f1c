// Speaking to players: a server chat line to one, notifications and coloured chat lines to all.
#pragma once

#include <string>
#include <string_view>

#include "plugin/host/ArkApi.h"
#include "plugin/host/Colors.h"
#include "plugin/host/FString.h"

namespace qv {

// How long and how large switches, reminders and welcomes show as notifications.
inline constexpr float kNotificationScale = 1.2f;
inline constexpr float kNotificationSeconds = 8.0f;

// Whom a command answers: a player in chat (none: the server console, which is not answered), or an
// RCON client, whose answer is gathered here, one reply a line, and sent whole when the command is done.
struct Asker {
    Asker(AShooterPlayerController* player = nullptr) : Player(player) {}
    AShooterPlayerController* Player = nullptr;
    std::wstring* RconAnswer = nullptr;
};

// The reply to asker: a server chat line to a player, a line of plain text for RCON (no colour). A text
// that is not a valid pattern is given as written.
void Tell(const Asker& asker, MessageColor color, std::string_view text);
void Tell(const Asker& asker, MessageColor color, std::wstring_view text);

// Does nothing for a null player (the server console). A text that is not a valid pattern is
// sent as written.
void TellPlayer(AShooterPlayerController* player, MessageColor color, std::string_view text);
// Wide text, whose characters beyond ASCII arrive as they are.
void TellPlayer(AShooterPlayerController* player, MessageColor color, std::wstring_view text);

// Shown without icon or sound. Returns false when the text was not a valid pattern and went out as
// written. Nothing is sent without a world.
bool BroadcastNotification(MessageColor color, float scale, float seconds, std::wstring_view text);

// Under sender, the configured server name; the text is inserted unchanged. Nothing is sent without
// a world.
void BroadcastChat(const FString& sender, MessageColor color, std::wstring_view text);

// To one player, who must be connected, as the broadcasts show it; the text is sent as it is.
void NotifyPlayer(AShooterPlayerController* player, MessageColor color, std::wstring_view text);
void ChatToPlayer(AShooterPlayerController* player, const FString& sender, MessageColor color, std::wstring_view text);

} // namespace qv
