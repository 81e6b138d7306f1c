// The request an RCON command receives: the packet as the game read it from its RCON listener. Its
// layout is the game's and binds, since the plug-in reads the host's own object.
#pragma once

#include <cstddef>
#include <cstdint>

#include "plugin/host/FString.h"

// Not in ArkApi.h, which only names it: the host's contract is also included by code that brings its
// own FString (scripts/msvc/smoke), and a member needs the whole class.
struct RCONPacket {
    // The size field of the packet on the wire: the body's bytes plus 10.
    std::int32_t Length;
    // The client's number for the request, which its answer carries back.
    std::int32_t Id;
    // 2 for a command.
    std::int32_t Type;
    // The command line, its first word the command's name.
    FString Body;
};

static_assert(sizeof(RCONPacket) == 32, "RCONPacket layout is the game's");
static_assert(offsetof(RCONPacket, Length) == 0);
static_assert(offsetof(RCONPacket, Id) == 4);
static_assert(offsetof(RCONPacket, Type) == 8);
static_assert(offsetof(RCONPacket, Body) == 16);
