// What the stand-in framework reports about itself: registrations, hooks, log records, allocator accounts.
#pragma once

#include <cstdint>
#include <string>

#include "standin/framework/Export.h"

namespace standin {

// The host's six kinds of registration: three commands, matched by a line's first word ignoring
// ASCII case, and three callbacks, named by an exact id.
enum class CommandKind { Chat, Console, Rcon, Tick, Timer, ChatMessage };

struct Registration {
    std::string name; // as registered, UTF-8
    CommandKind kind = CommandKind::Chat;
    // Left behind by a plug-in library that has since been unloaded: its callable points into
    // unmapped code, so the host neither calls nor destroys it.
    bool orphaned = false;

    bool operator==(const Registration& other) const
    {
        return name == other.name && kind == other.kind && orphaned == other.orphaned;
    }
    bool operator!=(const Registration& other) const { return !(*this == other); }
};

// One detour set through ArkApi::IHooks, in the order of its function's chain (oldest first).
struct HookRegistration {
    std::string function; // "Class.Function"
    // Left in the chain by a plug-in library that has since been unloaded: the host took it out of
    // the chain so that no call reaches unmapped code, where a real server would have crashed.
    bool orphaned = false;

    bool operator==(const HookRegistration& other) const
    {
        return function == other.function && orphaned == other.orphaned;
    }
    bool operator!=(const HookRegistration& other) const { return !(*this == other); }
};

// The host's log levels, in the order and numbers of its logging library.
enum class LogLevel { Trace, Debug, Info, Warning, Error, Critical, Off };

// As the host's logger writes it into a line: "info", "warning", "error"...
STANDIN_API const char* LogLevelName(LogLevel level);

struct LogRecord {
    LogLevel level = LogLevel::Info;
    std::string logger;   // the logger's name, such as "Quorvandelle"
    std::string message;  // the text alone
    std::string line;     // as the logger formatted it, without the line ending
    bool flushed = false; // the logger flushed the sinks right after this record
};

struct AllocatorAccounts {
    std::uint64_t liveBlocks = 0;
    std::uint64_t liveBytes = 0;
    std::uint64_t totalAllocations = 0;   // Malloc calls, and Reallocs of a null block
    std::uint64_t totalReallocations = 0; // Reallocs of a live block to a non-zero size
    std::uint64_t totalFrees = 0;         // Frees of a live block, and Reallocs to size 0

    bool operator==(const AllocatorAccounts& other) const
    {
        return liveBlocks == other.liveBlocks && liveBytes == other.liveBytes &&
               totalAllocations == other.totalAllocations && totalReallocations == other.totalReallocations &&
               totalFrees == other.totalFrees;
    }
    bool operator!=(const AllocatorAccounts& other) const { return !(*this == other); }
};

} // namespace standin
