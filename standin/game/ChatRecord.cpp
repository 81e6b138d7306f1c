// Copying and releasing the game's chat record; copies are exact-size, like the game's.
#include "standin/game/ChatRecord.h"

namespace standin::game {

namespace {

GameString Copy(const GameString& text, const char* field) { return MakeGameString(ReadGameString(text, field)); }

} // namespace

ChatRecord::ChatRecord(const ChatRecord& other)
    : SenderName(Copy(other.SenderName, "ChatRecord.SenderName")),
      SenderSteamName(Copy(other.SenderSteamName, "ChatRecord.SenderSteamName")),
      SenderTribeName(Copy(other.SenderTribeName, "ChatRecord.SenderTribeName")), SenderId(other.SenderId),
      Message(Copy(other.Message, "ChatRecord.Message")), Receiver(Copy(other.Receiver, "ChatRecord.Receiver")),
      SenderTeamIndex(other.SenderTeamIndex), ReceivedTime(other.ReceivedTime), SendMode(other.SendMode),
      RadioFrequency(other.RadioFrequency), ChatType(other.ChatType), SenderIcon(other.SenderIcon),
      UserId(Copy(other.UserId, "ChatRecord.UserId"))
{
}

ChatRecord::~ChatRecord()
{
    ReleaseGameString(UserId);
    ReleaseGameString(Receiver);
    ReleaseGameString(Message);
    ReleaseGameString(SenderTribeName);
    ReleaseGameString(SenderSteamName);
    ReleaseGameString(SenderName);
}

} // namespace standin::game
