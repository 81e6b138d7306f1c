// The host's sinks. They derive from spdlog's sink interface directly (not base_sink, whose
// set_formatter is final) so the host can take its formatting back from an unloading plug-in.
#include "standin/framework/LogSinks.h"

#include <atomic>
#include <cstdio>
#include <mutex>

#include <spdlog/pattern_formatter.h>
#include <spdlog/sinks/sink.h>

#include "plugin/host/ArkApi.h"

namespace standin::logs {

namespace {

constexpr const char* HostPattern = "%Y-%m-%d %H:%M:%S.%e [%n][%l] %v";

std::unique_ptr<spdlog::formatter> HostFormatter() { return std::make_unique<spdlog::pattern_formatter>(HostPattern); }

class HostSink : public spdlog::sinks::sink {
public:
    void log(const spdlog::details::log_msg& message) final
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        spdlog::memory_buf_t buffer;
        formatter_->format(message, buffer);
        std::string line(buffer.data(), buffer.size());
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
        Emit(message, std::move(line));
    }
    void flush() final
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        Flushed();
    }
    void set_pattern(const std::string& pattern) final
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        formatter_ = std::make_unique<spdlog::pattern_formatter>(pattern);
    }
    void set_formatter(std::unique_ptr<spdlog::formatter> formatter) final
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        formatter_ = std::move(formatter);
    }

protected:
    // Called with the sink's mutex held.
    virtual void Emit(const spdlog::details::log_msg& message, std::string line) = 0;
    virtual void Flushed() = 0;
    std::mutex mutex_;

private:
    std::unique_ptr<spdlog::formatter> formatter_ = HostFormatter();
};

class ConsoleSink final : public HostSink {
public:
    void SetEcho(bool echo)
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        echo_ = echo;
    }

private:
    void Emit(const spdlog::details::log_msg&, std::string line) override
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
    void Emit(const spdlog::details::log_msg& message, std::string line) override
    {
        LogRecord record;
        record.level = message.level;
        record.logger.assign(message.logger_name.data(), message.logger_name.size());
        record.message.assign(message.payload.data(), message.payload.size());
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

} // namespace

std::vector<LogRecord> Records() { return TheSinks().recording->Records(); }

std::size_t RecordCount() { return TheSinks().recording->Count(); }

void ClearRecords() { TheSinks().recording->Clear(); }

void EchoToConsole(bool echo) { TheSinks().console->SetEcho(echo); }

void ReclaimFormatters()
{
    TheSinks().console->set_formatter(HostFormatter());
    TheSinks().recording->set_formatter(HostFormatter());
}

void Reset()
{
    Sinks& sinks = TheSinks();
    sinks.shared = {sinks.console, sinks.recording};
    ReclaimFormatters();
    ClearRecords();
}

spdlog::logger& HostLogger()
{
    static spdlog::logger* logger = [] {
        auto* made = new spdlog::logger("ArkApi", TheSinks().shared.begin(), TheSinks().shared.end());
        made->flush_on(spdlog::level::warn);
        return made;
    }();
    return *logger;
}

} // namespace standin::logs

std::vector<std::shared_ptr<spdlog::sinks::sink>>& GetLogSinks() { return standin::logs::TheSinks().shared; }
