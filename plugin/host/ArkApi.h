// The host framework's published interface: the functions and interfaces it exports from its
// library ("version"), exactly as a plug-in sees them. This is the whole contract between the
// plug-in and the host; the stand-in host implements it and includes nothing else of the plug-in.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// The host's log sink (plugin/host/LogSink.h), named as the host's logging library names it.
namespace spdlog::sinks {
class sink;
}

// Game objects are opaque to the plug-in: it reaches their insides only by name.
class FString;
struct UWorld;
struct AShooterGameMode;
struct AShooterPlayerController;
struct APlayerController;
struct AShooterCharacter;
struct AShooterCheatManager;
struct UPrimalPlayerData;
struct RCONClientConnection;
// Its layout: plugin/host/RCONPacket.h.
struct RCONPacket;

namespace EChatSendMode {
enum Type { GlobalChat = 0, GlobalTribeChat = 1, LocalChat = 2, AllianceChat = 3, MAX = 4 };
}

// The host declares its hook functions with the platform's name for an untyped address (windows.h
// declares the same type under the same name, which C++ allows twice).
typedef void* LPVOID;

#if defined(_WIN32)
#if defined(ARK_API_EXPORTS)
#define ARK_API __declspec(dllexport)
#else
#define ARK_API __declspec(dllimport)
#endif
#else
#define ARK_API __attribute__((visibility("default")))
#endif

namespace ArkApi {

using ChatCommandCallback = std::function<void(AShooterPlayerController*, FString*, EChatSendMode::Type)>;
using ConsoleCommandCallback = std::function<void(APlayerController*, FString*, bool)>;
using RconCommandCallback = std::function<void(RCONClientConnection*, RCONPacket*, UWorld*)>;
// Called every frame with the frame's length in seconds.
using TickCallback = std::function<void(float)>;
// Called every second.
using TimerCallback = std::function<void()>;
// Called for every chat line: the sender, the line, its channel, whether the host took it for spam,
// and whether a chat command took it. True stops the line from going on to the other players.
using ChatMessageCallback = std::function<bool(AShooterPlayerController*, FString*, EChatSendMode::Type, bool, bool)>;

// The host's virtual table: the slots' order and signatures are binding, their names are ours. The
// plug-in calls only some of them, but every call lands by its position, so all thirteen are
// declared. The host keeps its own copies of names and callables; what a plug-in passes may die on
// return. Every removal answers whether it found the name.
class ICommands {
public:
    virtual ~ICommands() = default;
    virtual void RegisterChatCommand(const FString& name, const ChatCommandCallback& callback) = 0;
    virtual void RegisterConsoleCommand(const FString& name, const ConsoleCommandCallback& callback) = 0;
    virtual void RegisterRconCommand(const FString& name, const RconCommandCallback& callback) = 0;
    virtual void RegisterTickCallback(const FString& id, const TickCallback& callback) = 0;
    virtual void RegisterTimerCallback(const FString& id, const TimerCallback& callback) = 0;
    virtual void RegisterChatMessageCallback(const FString& id, const ChatMessageCallback& callback) = 0;
    virtual bool UnregisterChatCommand(const FString& name) = 0;
    virtual bool UnregisterConsoleCommand(const FString& name) = 0;
    virtual bool UnregisterRconCommand(const FString& name) = 0;
    virtual bool UnregisterTickCallback(const FString& id) = 0;
    virtual bool UnregisterTimerCallback(const FString& id) = 0;
    virtual bool UnregisterChatMessageCallback(const FString& id) = 0;
};

enum class ServerStatus { Loading, Ready };

// Also a virtual table whose order binds; the plug-in calls only the first two functions.
class IApiUtils {
public:
    virtual ~IApiUtils() = default;
    virtual UWorld* CurrentWorld() const = 0;
    // Null while the world is not up yet or is shutting down.
    virtual AShooterGameMode* CurrentGameMode() const = 0;
    virtual ServerStatus GetStatus() const = 0;
    virtual AShooterCheatManager* GetCheatManager() const = 0;

private:
    virtual AShooterPlayerController* FindPlayerFromSteamId_Internal(std::uint64_t steamId) const = 0;
};

// Detours on the game's functions, by name ("Class.Function"), again a virtual table whose order
// binds: the destructor, DisableHook, then SetHookInternal. Every detour set on one function joins
// its chain: a call of the function enters the newest detour, and original receives what that
// detour must call to go on, the detour set before it or the game's own code. The host keeps the
// address of original and rewrites it when a detour below it leaves the chain, so a detour reads it
// at every call. A plug-in disables its detours before its library is unloaded: a detour left in a
// chain points into unmapped code, and the next call of the function crashes the server.
class IHooks {
public:
    virtual ~IHooks() = default;

    // T is the function's own type, so that original can be called as it is.
    template <typename T>
    bool SetHook(const std::string& name, LPVOID detour, T** original)
    {
        return SetHookInternal(name, detour, reinterpret_cast<LPVOID*>(original));
    }
    // Takes one detour out of the function's chain; false when it was not in it.
    virtual bool DisableHook(const std::string& name, LPVOID detour) = 0;

private:
    virtual bool SetHookInternal(const std::string& name, LPVOID detour, LPVOID* original) = 0;
};

ARK_API ICommands& GetCommands();
ARK_API IApiUtils& GetApiUtils();
ARK_API IHooks& GetHooks();

namespace Tools {
ARK_API std::string GetCurrentDir();
// UTF-8 to the platform's wide text (UTF-16 on Windows, code points on Linux).
// Bytes that do not decode become U+FFFD.
ARK_API std::wstring Utf8Decode(const std::string& text);
} // namespace Tools

} // namespace ArkApi

// Address of the named game function ("Class.Function").
ARK_API void* GetAddress(const std::string& name);
// Address of the named field ("Class.Field") inside object.
ARK_API std::uint64_t GetAddress(const void* object, const std::string& name);
ARK_API std::vector<std::shared_ptr<spdlog::sinks::sink>>& GetLogSinks();

// The standard library's objects above cross the boundary in the host's layout: Microsoft's library,
// as Visual C++ builds it in a release configuration. A Debug runtime (_DEBUG) makes the strings 40
// bytes and the vector 32, which the host would misread. Other libraries' sizes belong to no real host.
#if defined(_MSVC_STL_VERSION)
static_assert(sizeof(std::string) == 32 && sizeof(std::wstring) == 32,
              "std::string and std::wstring cross to the host: 32 bytes in a release build");
static_assert(sizeof(ArkApi::ChatCommandCallback) == 64 && sizeof(ArkApi::ConsoleCommandCallback) == 64 &&
                  sizeof(ArkApi::RconCommandCallback) == 64 && sizeof(ArkApi::TickCallback) == 64 &&
                  sizeof(ArkApi::TimerCallback) == 64 && sizeof(ArkApi::ChatMessageCallback) == 64,
              "the callbacks cross to the host: std::function is 64 bytes");
static_assert(sizeof(std::vector<std::shared_ptr<spdlog::sinks::sink>>) == 24,
              "the host's log sinks: a vector of 24 bytes in a release build");
static_assert(sizeof(std::shared_ptr<spdlog::sinks::sink>) == 16, "the host's log sinks: shared_ptr is 16 bytes");
#endif
