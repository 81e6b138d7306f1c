// The host framework as the rest of the plug-in sees it: its commands and timer, its base folder,
// its UTF-8 decoding, its log sinks and the thread ids its logger records. Only this file's
// implementation calls ArkApi:: itself.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "plugin/host/ArkApi.h"
#include "plugin/host/LogSink.h"

namespace qv {

namespace Framework {

// The host keeps its own copies of the name and the callable.
void RegisterChatCommand(const char* name, const ArkApi::ChatCommandCallback& callback);
void RegisterConsoleCommand(const char* name, const ArkApi::ConsoleCommandCallback& callback);
void RegisterTimerCallback(const char* id, const ArkApi::TimerCallback& callback);
// Removing a name that is not registered is harmless; the host's answer tells nothing we act on.
void UnregisterChatCommand(const char* name);
void UnregisterConsoleCommand(const char* name);
void UnregisterTimerCallback(const char* id);

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
