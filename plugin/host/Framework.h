// The host framework as the rest of the plug-in sees it: its commands and timer, its hook on the
// game's new-player handler, its base folder, its UTF-8 decoding, its log sinks and the thread ids
// its logger records. Only this file's implementation calls ArkApi:: itself.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "plugin/host/ArkApi.h"
#include "plugin/host/LogSink.h"

namespace qv {

namespace Framework {

// The host keeps its own copies of the name and the callable.
void RegisterChatCommand(const char* name, const ArkApi::ChatCommandCallback& callback);
void RegisterConsoleCommand(const char* name, const ArkApi::ConsoleCommandCallback& callback);
void RegisterRconCommand(const char* name, const ArkApi::RconCommandCallback& callback);
void RegisterTimerCallback(const char* id, const ArkApi::TimerCallback& callback);
// Removing a name that is not registered is harmless; the host's answer tells nothing we act on.
void UnregisterChatCommand(const char* name);
void UnregisterConsoleCommand(const char* name);
void UnregisterRconCommand(const char* name);
void UnregisterTimerCallback(const char* id);

// Told of each player the game has just handled as new, on the game thread, after the game's own
// handling and every detour below ours.
using NewPlayerCallback = void (*)(AShooterPlayerController* player);
// Where the callback's failure is told: the callback's name and the reason, as LogCallbackFailure
// takes them.
using FailureReport = void (*)(std::string_view callback, std::string_view reason) noexcept;

// Sets the plug-in's detour on the game's new-player handler; neither argument may be null. The
// detour calls the rest of the chain first and returns its answer unchanged, then calls callback;
// whatever callback throws stops in the detour and goes to report. Hooking again while hooked only
// swaps in the new callback and report. False when the host refused the hook: nothing is set then.
bool HookNewPlayer(NewPlayerCallback callback, FailureReport report);
// Takes the detour out of the host's chain; does nothing while not hooked. Must run before the
// library is unloaded: the host would go on calling the detour in unmapped code.
void UnhookNewPlayer();
bool NewPlayerHooked();

// The server's base folder, under which the host keeps its plug-ins' folders.
std::string CurrentDir();
// UTF-8 to the platform's wide text; bytes that do not decode become U+FFFD.
std::wstring Utf8Decode(const std::string& text);
// The host's shared log sinks, in the host's order.
const std::vector<std::shared_ptr<spdlog::sinks::sink>>& LogSinks();
// The calling thread's id, as the host's logger records it in every record.
std::size_t CurrentThreadId();

} // namespace Framework

} // namespace qv
