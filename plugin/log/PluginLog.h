// The plug-in's logger holder and the few ways the plug-in writes to it. Every folder above the
// host bridge logs through here; nothing here may throw into a caller.
#pragma once

#include <memory>
#include <string_view>

namespace qv {

struct PluginLogger;

// Empty until Load fills it; released with the library's teardown.
std::shared_ptr<PluginLogger>& PluginLog();

// Creates the logger "Quorvandelle" over a copy of the host's sinks.
void CreatePluginLog();

enum class LogLevel { Info, Warning, Error };

// Records go nowhere before Load has created the logger.
void LogAt(LogLevel level, std::string_view text) noexcept;
void LogInfo(std::string_view text) noexcept;
void LogWarning(std::string_view text) noexcept;
void LogError(std::string_view text) noexcept;
// "<callback> failed: <reason>", at error level.
void LogCallbackFailure(std::string_view callback, std::string_view reason) noexcept;

} // namespace qv
