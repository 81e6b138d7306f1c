// The host's sinks, of the host's own kind (plugin/host/LogSink.h): they take the line the logger
// formatted into each record, and keep a level of their own that loggers read and never set.
#include "standin/framework/LogSinks.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <memory>
#include <mutex>

#include "plugin/host/ArkApi.h"
#include "plugin/host/LogSink.h"

namespace standin {

const char* LogLevelName(LogLevel level) { return HostLog::LevelName(static_cast<HostLog::Level>(level)); }

namespace logs {

namespace {

// The line as formatted, without the one line ending the host's logger appends; any other ending
// stays, for the tests to see.
std::string LineOf(const HostLog::Message& message)
{
    std::string_view line = message.Formatted.Text->View();
    if (line.size() >= HostLog::LineEnd.size() &&
        line.substr(line.size() - HostLog::LineEnd.size()) == HostLog::LineEnd) {
        line.remove_suffix(HostLog::LineEnd.size());
    }
    return std::string(line);
}

class HostSink : public spdlog::sinks::sink {
public:
    void Log(const HostLog::Message& message) final
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        Emit(message, LineOf(message));
    }
    void Flush() final
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        Flushed();
    }

protected:
    // Called with the sink's mutex held.
    virtual void Emit(const HostLog::Message& message, std::string line) = 0;
    virtual void Flushed() = 0;
    std::mutex mutex_;
};

class ConsoleSink final : public HostSink {
public:
    void SetEcho(bool echo)
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        echo_ = echo;
    }

private:
    void Emit(const HostLog::Message&, std::string line) override
    {
        if (!echo_) return;
        line.push_back('\n');
        std::fwrite(line.data(), 1, line.size(), stdout);
    }
    // Quiet, it leaves standard output alone: the program's own writes share the C runtime's buffer
    // with it under Microsoft's library, and a flush here would take their write errors.
    void Flushed() override
    {
        if (echo_) std::fflush(stdout);
    }
    bool echo_ = true;
};

class RecordingSink final : public HostSink {
public:
    std::vector<LogRecord> Records()
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        return records_;
    }
    void Clear()
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        records_.clear();
        count_ = 0;
    }
    std::size_t Count() const { return count_.load(std::memory_order_relaxed); }

private:
    void Emit(const HostLog::Message& message, std::string line) override
    {
        LogRecord record;
        record.level = static_cast<LogLevel>(message.Level);
        if (message.Logger != nullptr) record.logger = *message.Logger;
        record.message = std::string(message.Raw.Text->View());
        record.line = std::move(line);
        records_.push_back(std::move(record));
        count_ = records_.size();
    }
    void Flushed() override
    {
        if (!records_.empty()) records_.back().flushed = true;
    }
    std::vector<LogRecord> records_;
    std::atomic<std::size_t> count_{0};
};

struct Sinks {
    std::shared_ptr<ConsoleSink> console = std::make_shared<ConsoleSink>();
    std::shared_ptr<RecordingSink> recording = std::make_shared<RecordingSink>();
    std::vector<std::shared_ptr<spdlog::sinks::sink>> shared{console, recording};
};

// Never destroyed: a plug-in's logger may still hold the sinks while the process exits.
Sinks& TheSinks()
{
    static Sinks* sinks = new Sinks();
    return *sinks;
}

// The host's own lines: "2026-12-24 18:00:00.123 [ArkApi][warning] text", in local time.
std::string HostLine(const HostLog::Message& message)
{
    const auto since = message.Time.time_since_epoch();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(message.Time);
    const auto milliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(since).count() % 1000;
    std::tm local{};
#if defined(_WIN32)
    localtime_s(&local, &seconds);
#else
    localtime_r(&seconds, &local);
#endif
    char stamp[40] = {};
    const std::size_t length = std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
    char fraction[8] = {};
    std::snprintf(fraction, sizeof fraction, ".%03d", static_cast<int>(milliseconds));
    return std::string(stamp, length) + fraction + " [" + *message.Logger + "][" + HostLog::LevelName(message.Level) +
           "] " + std::string(message.Raw.Text->View()) + std::string(HostLog::LineEnd);
}

} // namespace

std::vector<LogRecord> Records() { return TheSinks().recording->Records(); }

std::size_t RecordCount() { return TheSinks().recording->Count(); }

void ClearRecords() { TheSinks().recording->Clear(); }

void EchoToConsole(bool echo) { TheSinks().console->SetEcho(echo); }

void Reset()
{
    Sinks& sinks = TheSinks();
    sinks.shared = {sinks.console, sinks.recording};
    for (const auto& sink : sinks.shared) sink->MinimumLevel = static_cast<int>(HostLog::Level::Trace);
    ClearRecords();
}

void HostNotice(LogLevel level, const std::string& text)
{
    static const auto* name = new std::string("ArkApi");
    const auto hostLevel = static_cast<HostLog::Level>(level);
    HostLog::Message message(name, hostLevel);
    message.Time = std::chrono::system_clock::now();
    message.Raw.Text->Append(text);
    message.Formatted.Text->Append(HostLine(message));
    const auto sinks = TheSinks().shared;
    for (const auto& sink : sinks) {
        if (sink->Accepts(hostLevel)) sink->Log(message);
    }
    if (level >= LogLevel::Warning) {
        for (const auto& sink : sinks) sink->Flush();
    }
}

} // namespace logs

} // namespace standin

std::vector<std::shared_ptr<spdlog::sinks::sink>>& GetLogSinks() { return standin::logs::TheSinks().shared; }
