// The game's chat record, which "AShooterPlayerController.ClientChatMessage" takes by value. It is
// non-trivial (user-declared copy constructor and destructor) exactly as the plug-in's is: a
// record of that kind travels as the address of a caller-made temporary, and both sides must agree
// on that or the call reads garbage. It owns its six strings, in the game's allocator.
#pragma once

#include <cstddef>
#include <cstdint>

#include "standin/framework/GameString.h"

namespace standin::game {

struct ChatRecord {
    GameString SenderName;
    GameString SenderSteamName;
    GameString SenderTribeName;
    std::uint32_t SenderId = 0;
    GameString Message;
    GameString Receiver;
    std::int32_t SenderTeamIndex = 0;
    double ReceivedTime = -1.0;
    std::uint8_t SendMode = 0;
    std::uint32_t RadioFrequency = 0;
    std::uint8_t ChatType = 0;
    void* SenderIcon = nullptr;
    GameString UserId;

    ChatRecord() = default;
    ChatRecord(const ChatRecord& other);
    ChatRecord& operator=(const ChatRecord&) = delete;
    // Releases the six strings in the reverse order of their offsets.
    ~ChatRecord();
};

static_assert(sizeof(ChatRecord) == 144, "the game's chat record layout");
static_assert(offsetof(ChatRecord, SenderName) == 0);
static_assert(offsetof(ChatRecord, SenderSteamName) == 16);
static_assert(offsetof(ChatRecord, SenderTribeName) == 32);
static_assert(offsetof(ChatRecord, SenderId) == 48);
static_assert(offsetof(ChatRecord, Message) == 56);
static_assert(offsetof(ChatRecord, Receiver) == 72);
static_assert(offsetof(ChatRecord, SenderTeamIndex) == 88);
static_assert(offsetof(ChatRecord, ReceivedTime) == 96);
static_assert(offsetof(ChatRecord, SendMode) == 104);
static_assert(offsetof(ChatRecord, RadioFrequency) == 108);
static_assert(offsetof(ChatRecord, ChatType) == 112);
static_assert(offsetof(ChatRecord, SenderIcon) == 120);
static_assert(offsetof(ChatRecord, UserId) == 128);

} // namespace standin::game
