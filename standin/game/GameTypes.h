// What the simulated game reports: players and everything each player has received.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace standin {

// A player of the simulated game, valid for the life of the server that made it (also after leaving).
enum class PlayerId : std::uint32_t {};

// A client connected to the game's RCON listener, valid for the life of the server that made it (also
// after it closed).
enum class RconConnectionId : std::uint32_t {};

// What the game sent an RCON client: the arguments of one "RCONClientConnection.SendMessageW" call.
struct RconReply {
    std::int32_t Id = 0;   // the request's id it answers; the game's own answers carry it too
    std::int32_t Type = 0; // 0: a response value
    std::string Text;      // UTF-8; unpaired surrogates become U+FFFD
};

struct PlayerProfile {
    std::string name;
    bool admin = false;
    bool hasCharacter = true;   // without one, "GetPlayerCharacter" returns null
    bool hasPlayerState = true; // without one, "AController.PlayerState" holds null
};

// How the game's new-player handler went for one join. The game calls it through the host's hooks,
// so every detour on it runs before the game's own code, or instead of it.
struct NewPlayerHandling {
    bool called = false; // the join called the handler: not while the game mode is absent
    int gameRuns = 0;    // the game's own code ran for this player, at the end of the chain
    bool result = false; // what the call returned, through every detour
};

// A colour as the game received it: linear floats R, G, B, A.
struct ReceivedColor {
    float R = 0.0f;
    float G = 0.0f;
    float B = 0.0f;
    float A = 0.0f;
};

struct DirectChatLine {
    std::string text;     // UTF-8; unpaired surrogates become U+FFFD
    std::u16string units; // exactly the UTF-16 units received, without the terminating zero
    ReceivedColor color;
    bool flag = false; // the call's bool argument
};

struct ShownNotification {
    std::string text;
    std::u16string units;
    ReceivedColor color;
    float scale = 0.0f;
    float seconds = 0.0f;
    bool iconWasNull = true;
    bool soundWasNull = true;
};

// Every field of the chat record the game received by value; strings as UTF-8.
struct ReceivedChatRecord {
    std::string senderName;
    std::string senderSteamName;
    std::string senderTribeName;
    std::uint32_t senderId = 0;
    std::string message;
    std::u16string messageUnits;
    std::string receiver;
    std::int32_t senderTeamIndex = 0;
    double receivedTime = 0.0;
    std::uint8_t sendMode = 0;
    std::uint32_t radioFrequency = 0;
    std::uint8_t chatType = 0;
    bool senderIconWasNull = true;
    std::string userId;
};

enum class MessageKind { DirectChat, Notification, ChatRecord };

struct Inbox {
    std::vector<MessageKind> order; // every message received, in arrival order
    std::vector<DirectChatLine> directChats;
    std::vector<ShownNotification> notifications;
    std::vector<ReceivedChatRecord> chatRecords;

    std::size_t Count() const { return order.size(); }
};

// Where a reader of an inbox stopped: the next message, and the next of each kind.
struct InboxCursor {
    std::size_t message = 0;
    std::size_t directChat = 0;
    std::size_t notification = 0;
    std::size_t chatRecord = 0;
};

} // namespace standin
