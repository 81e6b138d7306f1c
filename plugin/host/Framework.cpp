// The host framework's calls. Every command call fetches ICommands anew: the host only promises
// it for the moment of the call. The detour on "AShooterGameMode.HandleNewPlayer_Implementation" is
// called by the host only while it is in the chain, and the host rewrites its original whenever a
// detour below it leaves, so the detour reads original at every call.
#include "plugin/host/Framework.h"

#include <exception>

#include "plugin/host/FString.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace qv {

namespace Framework {

void RegisterChatCommand(const char* name, const ArkApi::ChatCommandCallback& callback)
{
    ArkApi::GetCommands().RegisterChatCommand(FString(name), callback);
}

void RegisterConsoleCommand(const char* name, const ArkApi::ConsoleCommandCallback& callback)
{
    ArkApi::GetCommands().RegisterConsoleCommand(FString(name), callback);
}

void RegisterRconCommand(const char* name, const ArkApi::RconCommandCallback& callback)
{
    ArkApi::GetCommands().RegisterRconCommand(FString(name), callback);
}

void RegisterTimerCallback(const char* id, const ArkApi::TimerCallback& callback)
{
    ArkApi::GetCommands().RegisterTimerCallback(FString(id), callback);
}

void UnregisterChatCommand(const char* name) { ArkApi::GetCommands().UnregisterChatCommand(FString(name)); }

void UnregisterConsoleCommand(const char* name) { ArkApi::GetCommands().UnregisterConsoleCommand(FString(name)); }

void UnregisterRconCommand(const char* name) { ArkApi::GetCommands().UnregisterRconCommand(FString(name)); }

void UnregisterTimerCallback(const char* id) { ArkApi::GetCommands().UnregisterTimerCallback(FString(id)); }

namespace {

constexpr const char* HandleNewPlayerName = "AShooterGameMode.HandleNewPlayer_Implementation";
constexpr const char* CallbackName = "New player hook";

using HandleNewPlayerFunction = bool (*)(AShooterGameMode* gameMode, AShooterPlayerController* player,
                                         UPrimalPlayerData* data, AShooterCharacter* character, bool fromLogin);

struct HookState {
    // Written by the host while the detour is in the chain.
    void* Original = nullptr;
    NewPlayerCallback Callback = nullptr;
    FailureReport Report = nullptr;
    bool Hooked = false;
};

HookState hook;

void TellCallback(AShooterPlayerController* player) noexcept
{
    try {
        hook.Callback(player);
    } catch (const std::exception& error) {
        hook.Report(CallbackName, error.what());
    } catch (...) {
        hook.Report(CallbackName, "unknown error");
    }
}

// Not noexcept: what the rest of the chain throws is not ours to swallow, and answering the game
// in its place would be a guess. Only the callback is guarded.
bool HandleNewPlayerDetour(AShooterGameMode* gameMode, AShooterPlayerController* player, UPrimalPlayerData* data,
                           AShooterCharacter* character, bool fromLogin)
{
    const bool handled =
        reinterpret_cast<HandleNewPlayerFunction>(hook.Original)(gameMode, player, data, character, fromLogin);
    if (hook.Callback != nullptr) TellCallback(player);
    return handled;
}

LPVOID Detour() { return reinterpret_cast<LPVOID>(&HandleNewPlayerDetour); }

} // namespace

bool HookNewPlayer(NewPlayerCallback callback, FailureReport report)
{
    hook.Callback = callback;
    hook.Report = report;
    if (hook.Hooked) return true;
    hook.Hooked = ArkApi::GetHooks().SetHook(HandleNewPlayerName, Detour(), &hook.Original);
    if (!hook.Hooked) {
        hook.Callback = nullptr;
        hook.Report = nullptr;
    }
    return hook.Hooked;
}

void UnhookNewPlayer()
{
    if (!hook.Hooked) return;
    // The host's answer tells nothing we act on: either way the detour is out of the chain.
    ArkApi::GetHooks().DisableHook(HandleNewPlayerName, Detour());
    hook.Hooked = false;
    hook.Callback = nullptr;
    hook.Report = nullptr;
}

bool NewPlayerHooked() { return hook.Hooked; }

std::string CurrentDir() { return ArkApi::Tools::GetCurrentDir(); }

std::wstring Utf8Decode(const std::string& text) { return ArkApi::Tools::Utf8Decode(text); }

const std::vector<std::shared_ptr<spdlog::sinks::sink>>& LogSinks() { return GetLogSinks(); }

std::size_t CurrentThreadId()
{
#if defined(_WIN32)
    return static_cast<std::size_t>(GetCurrentThreadId());
#else
    return static_cast<std::size_t>(syscall(SYS_gettid));
#endif
}

} // namespace Framework

} // namespace qv
