// The real plug-in library, loaded into the stand-in server, logging into real sinks of the host's
// library: an ostream_sink and recording sinks, one of them at warning. What each receives must be
// what the library's own logger, with the plug-in's pattern and flush level, gives the same sinks
// for the same records: byte for byte, level for level, flush for flush.
#include <algorithm>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <spdlog/logger.h>
#include <spdlog/sinks/ostream_sink.h>

#include "tests/support/PluginServer.h"

namespace {

using testing_support::PluginServer;
using testing_support::ValidConfig;

// Everything a sink is told, in order: "<level> <line, as c_str() gives it>" and "flush". The
// records' fields too, to replay them.
class RecordingSink final : public spdlog::sinks::sink {
public:
    struct Record {
        std::string logger;
        spdlog::level::level_enum level;
        std::string raw;
        spdlog::log_clock::time_point time;
    };
    std::vector<std::string> events;
    std::vector<Record> records;

    void log(const spdlog::details::log_msg& message) override
    {
        records.push_back({*message.logger_name, message.level, message.raw.str(), message.time});
        events.push_back(std::string(spdlog::level::to_str(message.level)) + " " + message.formatted.c_str());
    }
    void flush() override { events.push_back("flush"); }
};

// The library's own logger, its clock held at the moment of the record it replays.
class ReplayLogger final : public spdlog::logger {
public:
    ReplayLogger(const std::string& name, const std::vector<spdlog::sink_ptr>& sinks)
        : spdlog::logger(name, sinks.begin(), sinks.end())
    {
        set_pattern("%D %R [%n][%l] %v", spdlog::pattern_time_type::local);
        flush_on(spdlog::level::info);
    }
    void Replay(const RecordingSink::Record& record)
    {
        at_ = record.time;
        log(record.level, record.raw);
    }

protected:
    void _sink_it(spdlog::details::log_msg& message) override
    {
        message.time = at_;
        spdlog::logger::_sink_it(message);
    }

private:
    spdlog::log_clock::time_point at_;
};

struct Sinks {
    Sinks() { warnings->set_level(spdlog::level::warn); }
    std::vector<spdlog::sink_ptr> All() const { return {stream, everything, warnings}; }

    std::ostringstream text;
    std::shared_ptr<spdlog::sinks::ostream_sink_mt> stream = std::make_shared<spdlog::sinks::ostream_sink_mt>(text);
    std::shared_ptr<RecordingSink> everything = std::make_shared<RecordingSink>();
    std::shared_ptr<RecordingSink> warnings = std::make_shared<RecordingSink>();
};

TEST(RealSinks, ThePluginsRecordsReachThemAsTheLibrarysOwnLoggerWritesThem)
{
    Sinks fromPlugin; // outlives the server, whose unload may still log
    PluginServer plugin;
    // A probable mistake (a warning), then multipliers the switch cannot read: a failed switch is
    // one error naming all sixteen, longer than a record's inline bytes.
    auto config = ValidConfig();
    config["Quorvandelle"]["XPMultiplierr"] = 1;
    plugin.WriteConfig(config);
    GetLogSinks() = fromPlugin.All();
    plugin.Load();
    for (auto& [key, value] : config["Quorvandelle"].items()) {
        if (key.find("Multiplier") != std::string::npos) value = "n\xC3\xB6 number";
    }
    plugin.WriteConfig(config);
    plugin->ServerConsole("qvreload");
    plugin.Toggle(plugin.Join("Admin", true));
    plugin.Unload();

    std::vector<spdlog::level::level_enum> levels;
    std::size_t longest = 0;
    for (const auto& record : fromPlugin.everything->records) {
        EXPECT_EQ(record.logger, "Quorvandelle");
        levels.push_back(record.level);
        longest = std::max(longest, record.raw.size());
    }
    EXPECT_GT(longest, 1000u);
    for (const auto level : {spdlog::level::info, spdlog::level::warn, spdlog::level::err}) {
        EXPECT_NE(std::find(levels.begin(), levels.end(), level), levels.end()) << spdlog::level::to_str(level);
    }

    Sinks fromLibrary;
    ReplayLogger library("Quorvandelle", fromLibrary.All());
    for (const auto& record : fromPlugin.everything->records) library.Replay(record);
    EXPECT_EQ(fromPlugin.text.str(), fromLibrary.text.str());
    EXPECT_EQ(fromPlugin.everything->events, fromLibrary.everything->events);
    EXPECT_EQ(fromPlugin.warnings->events, fromLibrary.warnings->events);
    EXPECT_EQ(fromPlugin.warnings->level(), spdlog::level::warn) << "the host's sinks keep their settings";
    GetLogSinks().clear(); // they write into this test's stream; the next server brings the host's own
}

} // namespace
