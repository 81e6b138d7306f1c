// Each broadcast builds its text once and reaches every live player in list order.
#include "plugin/messaging/Messaging.h"

#include <optional>
#include <string>

#include "plugin/host/ChatMessageRecord.h"
#include "plugin/host/FString.h"
#include "plugin/host/Game.h"
#include "plugin/messaging/Patterns.h"

namespace qv {

namespace {

ChatMessageRecord ChatRecord(const FString& sender, MessageColor color, std::wstring_view text)
{
    ChatMessageRecord record;
    record.SenderName = sender;
    const FString line(FormatChatLine(color, text));
    record.Message = line; // exact-size copy, as the game's record copies are
    return record;
}

} // namespace

void TellPlayer(AShooterPlayerController* player, MessageColor color, std::string_view text)
{
    if (player == nullptr) return;
    const std::optional<std::string> formatted = FormatPattern(text);
    const FString message(formatted ? *formatted : std::string(text));
    Game::SendDirectMessage(player, message, color);
}

void TellPlayer(AShooterPlayerController* player, MessageColor color, std::wstring_view text)
{
    if (player == nullptr) return;
    const std::optional<std::wstring> formatted = FormatPattern(text);
    const FString message(formatted ? std::wstring_view(*formatted) : text);
    Game::SendDirectMessage(player, message, color);
}

namespace {

void AddLine(std::wstring& answer, std::wstring_view line)
{
    if (!answer.empty()) answer += L'\n';
    answer += line;
}

} // namespace

void Tell(const Asker& asker, MessageColor color, std::string_view text)
{
    if (asker.RconAnswer == nullptr) {
        TellPlayer(asker.Player, color, text);
        return;
    }
    // Through FString, so that RCON reads the very text a player would.
    const std::optional<std::string> formatted = FormatPattern(text);
    AddLine(*asker.RconAnswer, FString(formatted ? *formatted : std::string(text)).ToWide());
}

void Tell(const Asker& asker, MessageColor color, std::wstring_view text)
{
    if (asker.RconAnswer == nullptr) {
        TellPlayer(asker.Player, color, text);
        return;
    }
    const std::optional<std::wstring> formatted = FormatPattern(text);
    AddLine(*asker.RconAnswer, formatted ? std::wstring_view(*formatted) : text);
}

bool BroadcastNotification(MessageColor color, float scale, float seconds, std::wstring_view text)
{
    const std::optional<std::wstring> formatted = FormatPattern(text);
    UWorld* world = Game::CurrentWorld();
    if (world == nullptr) return formatted.has_value();

    const FString message(formatted ? std::wstring_view(*formatted) : text);
    Game::ForEachLivePlayer(world, [&](AShooterPlayerController* player) {
        Game::SendNotification(player, message, color, scale, seconds);
    });
    return formatted.has_value();
}

void BroadcastChat(const FString& sender, MessageColor color, std::wstring_view text)
{
    UWorld* world = Game::CurrentWorld();
    if (world == nullptr) return;

    const ChatMessageRecord record = ChatRecord(sender, color, text);
    Game::ForEachLivePlayer(world, [&](AShooterPlayerController* player) { Game::SendChatMessage(player, record); });
}

void NotifyPlayer(AShooterPlayerController* player, MessageColor color, std::wstring_view text)
{
    Game::SendNotification(player, FString(text), color, kNotificationScale, kNotificationSeconds);
}

void ChatToPlayer(AShooterPlayerController* player, const FString& sender, MessageColor color, std::wstring_view text)
{
    Game::SendChatMessage(player, ChatRecord(sender, color, text));
}

} // namespace qv
