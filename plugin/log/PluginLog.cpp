// The plug-in's logger over the host's sinks, run as the host's logging library runs a logger: each
// record is formatted once, at the logger (LineFormat.h), and the one record goes to every sink whose
// own level accepts it; records at info and above are flushed at once, on every sink. The sinks are
// the host's, shared with everybody: the logger reads their levels and changes nothing of them.
#include "plugin/log/PluginLog.h"

#include <chrono>
#include <string>
#include <vector>

#include "plugin/host/Framework.h"
#include "plugin/log/LineFormat.h"

namespace qv {

struct PluginLogger {
    std::string name;
    std::vector<std::shared_ptr<spdlog::sinks::sink>> sinks;
};

std::shared_ptr<PluginLogger>& PluginLog()
{
    static std::shared_ptr<PluginLogger> holder;
    return holder;
}

void CreatePluginLog()
{
    const auto& sinks = Framework::LogSinks();
    PluginLog() = std::make_shared<PluginLogger>(PluginLogger{"Quorvandelle", {sinks.begin(), sinks.end()}});
}

namespace {

constexpr HostLog::Level FlushLevel = HostLog::Level::Info;

// A sink that throws loses its own record, not the other sinks': the server's log is shared.
template <typename Call>
void EachSink(const PluginLogger& logger, Call&& call) noexcept
{
    for (const auto& sink : logger.sinks) {
        if (sink == nullptr) continue;
        try {
            call(*sink);
        } catch (...) {
            // Nothing left to report a failing log with.
        }
    }
}

void Log(HostLog::Level level, std::string_view text) noexcept
{
    try {
        const std::shared_ptr<PluginLogger> logger = PluginLog();
        if (logger == nullptr) return;
        HostLog::Message message(&logger->name, level);
        message.Time = std::chrono::system_clock::now();
        message.Thread = Framework::CurrentThreadId();
        message.Raw.Text->Append(text);
        FormatLine(message);
        EachSink(*logger, [&](spdlog::sinks::sink& sink) {
            if (sink.Accepts(level)) sink.Log(message);
        });
        if (level >= FlushLevel && level != HostLog::Level::Off) {
            EachSink(*logger, [](spdlog::sinks::sink& sink) { sink.Flush(); });
        }
    } catch (...) {
        // Out of memory for the record: a failing log must not take the server down.
    }
}

} // namespace

void LogAt(LogLevel level, std::string_view text) noexcept
{
    switch (level) {
    case LogLevel::Info:
        Log(HostLog::Level::Info, text);
        break;
    case LogLevel::Warning:
        Log(HostLog::Level::Warning, text);
        break;
    case LogLevel::Error:
        Log(HostLog::Level::Error, text);
        break;
    }
}

void LogInfo(std::string_view text) noexcept { Log(HostLog::Level::Info, text); }

void LogWarning(std::string_view text) noexcept { Log(HostLog::Level::Warning, text); }

void LogError(std::string_view text) noexcept { Log(HostLog::Level::Error, text); }

void LogCallbackFailure(std::string_view callback, std::string_view reason) noexcept
{
    try {
        LogError(std::string(callback) + " failed: " + std::string(reason));
    } catch (...) {
        // Out of memory while reporting: there is nothing left to tell anyone with.
    }
}

} // namespace qv
