// The host framework's calls. Every command call fetches ICommands anew: the host only promises
// it for the moment of the call.
#include "plugin/host/Framework.h"

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

void RegisterTimerCallback(const char* id, const ArkApi::TimerCallback& callback)
{
    ArkApi::GetCommands().RegisterTimerCallback(FString(id), callback);
}

void UnregisterChatCommand(const char* name) { ArkApi::GetCommands().UnregisterChatCommand(FString(name)); }

void UnregisterConsoleCommand(const char* name) { ArkApi::GetCommands().UnregisterConsoleCommand(FString(name)); }

void UnregisterTimerCallback(const char* id) { ArkApi::GetCommands().UnregisterTimerCallback(FString(id)); }

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
