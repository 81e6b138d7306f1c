// The record the game's chat function takes by value. Its layout is the game's and binds.
#pragma once

#include <cstddef>
#include <cstdint>

#include "plugin/host/FString.h"

struct ChatMessageRecord {
    FString SenderName;
    FString SenderSteamName;
    FString SenderTribeName;
    std::uint32_t SenderId = 0;
    FString Message;
    FString Receiver;
    std::int32_t SenderTeamIndex = 0;
    double ReceivedTime = -1.0;
    std::uint8_t SendMode = 0;
    std::uint32_t RadioFrequency = 0;
    std::uint8_t ChatType = 0;
    void* SenderIcon = nullptr;
    FString UserId;

    ChatMessageRecord() = default;
    ChatMessageRecord(const ChatMessageRecord&) = default;
    ChatMessageRecord& operator=(const ChatMessageRecord&) = default;
    // Destroying releases the six strings in the reverse order of their offsets, as the
    // members' reverse destruction order gives; a user-declared destructor also keeps the
    // record non-trivial, so it travels by address on both sides of the call.
    ~ChatMessageRecord() {}
};

static_assert(sizeof(ChatMessageRecord) == 144, "ChatMessageRecord layout is the game's");
static_assert(offsetof(ChatMessageRecord, SenderName) == 0);
static_assert(offsetof(ChatMessageRecord, SenderSteamName) == 16);
static_assert(offsetof(ChatMessageRecord, SenderTribeName) == 32);
static_assert(offsetof(ChatMessageRecord, SenderId) == 48);
static_assert(offsetof(ChatMessageRecord, Message) == 56);
static_assert(offsetof(ChatMessageRecord, Receiver) == 72);
static_assert(offsetof(ChatMessageRecord, SenderTeamIndex) == 88);
static_assert(offsetof(ChatMessageRecord, ReceivedTime) == 96);
static_assert(offsetof(ChatMessageRecord, SendMode) == 104);
static_assert(offsetof(ChatMessageRecord, RadioFrequency) == 108);
static_assert(offsetof(ChatMessageRecord, ChatType) == 112);
static_assert(offsetof(ChatMessageRecord, SenderIcon) == 120);
static_assert(offsetof(ChatMessageRecord, UserId) == 128);
