// The logger over the host's sinks: pattern "%D %R [%n][%l] %v" in local time, flushed at info.
#include "plugin/log/PluginLog.h"

#include <string>

#include <spdlog/logger.h>
#include <spdlog/pattern_formatter.h>

#include "plugin/host/Framework.h"

std::shared_ptr<spdlog::logger>& PluginLog()
{
    static std::shared_ptr<spdlog::logger> holder;
    return holder;
}

void CreatePluginLog()
{
    auto& holder = PluginLog();
    const auto& sinks = Framework::LogSinks();
    holder = std::make_shared<spdlog::logger>("Quorvandelle", sinks.begin(), sinks.end());
    holder->set_pattern("%D %R [%n][%l] %v", spdlog::pattern_time_type::local);
    holder->flush_on(spdlog::level::info);
}

namespace {

void Log(spdlog::level::level_enum level, std::string_view text) noexcept
{
    try {
        if (const auto& logger = PluginLog()) logger->log(level, "{}", text);
    } catch (...) {
        // A failing sink must not take the server down with the record it could not write.
    }
}

} // namespace

void LogInfo(std::string_view text) noexcept { Log(spdlog::level::info, text); }

void LogWarning(std::string_view text) noexcept { Log(spdlog::level::warn, text); }

void LogError(std::string_view text) noexcept { Log(spdlog::level::err, text); }

void LogCallbackFailure(std::string_view callback, std::string_view reason) noexcept
{
    try {
        LogError(std::string(callback) + " failed: " + std::string(reason));
    } catch (...) {
        // Out of memory while reporting: there is nothing left to tell anyone with.
    }
}
