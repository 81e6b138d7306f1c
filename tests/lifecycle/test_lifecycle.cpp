// Load and unload of the real plug-in library in the stand-in server: the four registrations, the
// logger, a start-up that touches nothing of the game, and nothing left behind.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <memory>
#include <regex>
#include <stdexcept>
#include <string>
#include <vector>

#include "plugin/host/LogSink.h"
#include "tests/support/PluginServer.h"

#if defined(_WIN32)
#include <windows.h>

#include <thread>
#endif

namespace {

using standin::CommandKind;
using testing_support::PluginServer;
using testing_support::ValidConfig;

struct Expected {
    const char* name;
    CommandKind kind;
};

// In the order the plug-in makes them.
const Expected kRegistrations[] = {
    {"/qvreload", CommandKind::Chat},
    {"qvreload", CommandKind::Console},
    {"QuorvandelleCheck", CommandKind::Timer},
    {"/ToggleQuorvandelle", CommandKind::Chat},
};

void ExpectTheFourRegistrations(const standin::Server& server)
{
    const std::vector<standin::Registration> registrations = server.Registrations();
    ASSERT_EQ(registrations.size(), std::size(kRegistrations));
    for (std::size_t i = 0; i < registrations.size(); ++i) {
        EXPECT_EQ(registrations[i].name, kRegistrations[i].name) << "registration " << i;
        EXPECT_EQ(registrations[i].kind, kRegistrations[i].kind) << kRegistrations[i].name;
        EXPECT_FALSE(registrations[i].orphaned) << kRegistrations[i].name;
    }
}

std::vector<standin::LogRecord> RecordsAt(const PluginServer& plugin, standin::LogLevel level)
{
    std::vector<standin::LogRecord> found;
    for (const auto& record : plugin.PluginLogRecords()) {
        if (record.level == level) found.push_back(record);
    }
    return found;
}

TEST(Lifecycle, LoadMakesTheFourRegistrationsInOrderAndUnloadRemovesThemAll)
{
    PluginServer plugin;
    plugin.WriteConfig(ValidConfig());
    ASSERT_TRUE(plugin->Registrations().empty());
    plugin.Load();
    ExpectTheFourRegistrations(plugin.server());
    for (const Expected& expected : kRegistrations) EXPECT_TRUE(plugin->IsRegistered(expected.name, expected.kind));

    plugin.Unload();
    EXPECT_TRUE(plugin->Registrations().empty()) << "nothing left behind, not even orphaned";
    EXPECT_FALSE(plugin->IsRegistered("qvreload", CommandKind::Console));
    EXPECT_FALSE(plugin->ServerConsole("qvreload"));
    EXPECT_TRUE(plugin->EscapedExceptions().empty());
}

TEST(Lifecycle, LoadingAgainAfterAnUnloadRegistersEachNameOnce)
{
    PluginServer plugin;
    plugin.WriteConfig(ValidConfig());
    plugin.Load();
    plugin.Unload();
    plugin.Load();
    ExpectTheFourRegistrations(plugin.server());
    plugin.Unload();
    EXPECT_TRUE(plugin->Registrations().empty());
}

TEST(Lifecycle, WithoutAConfigFileAllFourAreRegisteredAndTheMissingPathIsLogged)
{
    PluginServer plugin;
    ASSERT_FALSE(std::filesystem::exists(plugin.ConfigFile()));
    plugin.Load();
    ExpectTheFourRegistrations(plugin.server());

    const auto warnings = RecordsAt(plugin, standin::LogLevel::Warning);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].message.find(plugin.PluginConfigPath()), std::string::npos) << warnings[0].message;
    EXPECT_NE(warnings[0].message.find("not found"), std::string::npos) << warnings[0].message;
    EXPECT_TRUE(RecordsAt(plugin, standin::LogLevel::Error).empty());
}

TEST(Lifecycle, ABrokenConfigAtStartUpIsLoggedAsAnErrorAndAllFourAreStillRegistered)
{
    struct Row {
        const char* text;
        const char* problem;
    };
    const Row rows[] = {
        {"{\"Quorvandelle\": {\"ServerName\": }}", "parse error in Quorvandelle.ServerName at line 1, column 33"},
        {"[1, 2]", "the top level at line 1, column 1: expected an object, found array"},
        {"{\"Other\": {}}", "Quorvandelle at line 1, column 1: missing (expected an object)"},
    };
    for (const Row& row : rows) {
        PluginServer plugin;
        plugin.WriteConfigText(row.text);
        plugin.Load();
        ExpectTheFourRegistrations(plugin.server());
        const auto errors = RecordsAt(plugin, standin::LogLevel::Error);
        ASSERT_EQ(errors.size(), 1u) << row.text;
        EXPECT_NE(errors[0].message.find(plugin.PluginConfigPath()), std::string::npos) << errors[0].message;
        EXPECT_NE(errors[0].message.find(row.problem), std::string::npos) << errors[0].message;
        EXPECT_TRUE(plugin->EscapedExceptions().empty());
    }
}

TEST(Lifecycle, LoadChangesNoMultiplierAndSendsNothing)
{
    // A Saturday inside the configured Friday-to-Monday window: still nothing until the first check.
    PluginServer plugin(2026, 12, 12);
    plugin.WriteConfig(ValidConfig());
    const auto admin = plugin.Join("Admin", true);
    const auto player = plugin.Join("Player");
    plugin->SetMessageOfTheDay("Welcome");
    const auto before = plugin->Multipliers();

    plugin.Load();
    EXPECT_EQ(plugin->Multipliers(), before);
    EXPECT_EQ(plugin->MessageOfTheDay(), "Welcome");
    EXPECT_EQ(plugin->MessageOfTheDayChanges(), 0);
    EXPECT_EQ(plugin->InboxOf(admin).Count(), 0u);
    EXPECT_EQ(plugin->InboxOf(player).Count(), 0u);
}

TEST(Lifecycle, EveryBlockFromTheGameAllocatorIsGivenBackByUnloadAndTeardown)
{
    PluginServer plugin(2026, 12, 12);
    const auto admin = plugin.Join("Admin", true);
    const standin::AllocatorAccounts before = plugin->Allocations();

    plugin.WriteConfig(ValidConfig());
    plugin.Load();
    EXPECT_GT(plugin->Allocations().liveBlocks, before.liveBlocks) << "the settings' texts live in game storage";
    // Work that allocates: a reload, a switch on and off by hand, a scheduled switch with broadcasts.
    plugin->Chat(admin, "/qvreload");
    plugin->Chat(admin, "/ToggleQuorvandelle");
    plugin->Chat(admin, "/ToggleQuorvandelle");
    plugin.RunToFirstEvaluation();
    ASSERT_NE(plugin->Multiplier("XPMultiplier"), standin::Server::DefaultMultiplier("XPMultiplier"));
    plugin.Unload();

    const standin::AllocatorAccounts after = plugin->Allocations();
    EXPECT_EQ(after.liveBlocks, before.liveBlocks);
    EXPECT_EQ(after.liveBytes, before.liveBytes);
    EXPECT_TRUE(plugin->EscapedExceptions().empty());
}

TEST(Lifecycle, LogRecordsCarryTheLoggersPatternAndNameAndAreFlushedAtInfo)
{
    PluginServer plugin;
    plugin.WriteConfig(ValidConfig());
    plugin.Load();
    const auto records = plugin.PluginLogRecords();
    ASSERT_FALSE(records.empty());
    // "%D %R [%n][%l] %v": MM/DD/YY HH:MM [name][level] text
    const std::regex shape(R"(\d\d/\d\d/\d\d \d\d:\d\d \[Quorvandelle\]\[(info|warning|error)\] .+)");
    for (const auto& record : records) {
        EXPECT_TRUE(std::regex_match(record.line, shape)) << record.line;
        EXPECT_EQ(record.line.substr(record.line.size() - record.message.size()), record.message);
        EXPECT_TRUE(record.flushed) << "records at info and above are flushed at once: " << record.line;
    }
    const auto infos = RecordsAt(plugin, standin::LogLevel::Info);
    ASSERT_FALSE(infos.empty());
    EXPECT_NE(infos.back().line.find("[Quorvandelle][info] "), std::string::npos) << infos.back().line;

    // The warning of a file without multipliers, flushed too.
    plugin.WriteConfigText(R"({"Quorvandelle": {"ServerName": "", "Notification": true, "Chatbox": false,
        "QuorvandelleEnabledRGB": [0, 1, 0, 1], "QuorvandelleEnabledMessage": "",
        "QuorvandelleDisabledRGB": [1, 0, 0, 1], "QuorvandelleDisabledMessage": "", "MOTDChangeEnabled": false,
        "WeekendMOTD": "", "NormalMOTD": "", "StartDay": 5, "EndDay": 1}})");
    plugin->ClearLog();
    plugin->ServerConsole("qvreload");
    const auto warnings = RecordsAt(plugin, standin::LogLevel::Warning);
    ASSERT_FALSE(warnings.empty());
    EXPECT_TRUE(std::regex_match(warnings[0].line, shape)) << warnings[0].line;
    EXPECT_NE(warnings[0].line.find("[Quorvandelle][warning] "), std::string::npos) << warnings[0].line;
    EXPECT_TRUE(warnings[0].flushed);
}

// Counts what reaches it.
class CountingSink final : public spdlog::sinks::sink {
public:
    int records = 0;

private:
    void Log(const HostLog::Message&) override { ++records; }
    void Flush() override {}
};

TEST(Lifecycle, TheLoggerWritesToTheHostsSinksAsTheyWereAtLoad)
{
    PluginServer plugin;
    plugin.WriteConfig(ValidConfig());
    plugin.Load();
    auto late = std::make_shared<CountingSink>();
    GetLogSinks().push_back(late);
    plugin->ClearLog();
    plugin->ServerConsole("qvreload");
    GetLogSinks().pop_back();
    EXPECT_FALSE(plugin.PluginLogRecords().empty()) << "the host's own sinks still get the records";
    EXPECT_EQ(late->records, 0) << "a sink the host added after the load is not the plug-in's";
}

// Throws at every record and flush, as a sink on a full disk might.
class ThrowingSink final : public spdlog::sinks::sink {
    void Log(const HostLog::Message&) override { throw std::runtime_error("disk full"); }
    void Flush() override { throw std::runtime_error("disk full"); }
};

TEST(Lifecycle, EachSinkGetsOnlyTheLevelsItAcceptsAndAThrowingSinkCostsOnlyItsOwnRecords)
{
    PluginServer plugin;
    auto config = ValidConfig();
    config["Quorvandelle"]["XPMultiplierr"] = 2; // a probable mistake: one warning
    plugin.WriteConfig(config);
    auto& recording = *GetLogSinks().back();
    recording.MinimumLevel = static_cast<int>(HostLog::Level::Warning);
    GetLogSinks().insert(GetLogSinks().begin(), std::make_shared<ThrowingSink>());
    plugin.Load();
    GetLogSinks().erase(GetLogSinks().begin());
    const auto records = plugin.PluginLogRecords();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].level, standin::LogLevel::Warning) << records[0].message;
    EXPECT_TRUE(records[0].flushed);
    EXPECT_EQ(recording.MinimumLevel, static_cast<int>(HostLog::Level::Warning)) << "the host's setting stays";
    EXPECT_TRUE(plugin->EscapedExceptions().empty());
    ExpectTheFourRegistrations(plugin.server());
}

#if defined(_WIN32)
// Only on Windows do threads and the process's end reach the library's entry point.
TEST(Lifecycle, ThreadsStartingAndEndingChangeNothing)
{
    PluginServer plugin;
    plugin.WriteConfig(ValidConfig());
    plugin.Load();
    plugin->ClearLog();
    const standin::AllocatorAccounts before = plugin->Allocations();
    std::thread([] {}).join();
    std::thread([] {}).join();
    ExpectTheFourRegistrations(plugin.server());
    EXPECT_TRUE(plugin.PluginLogRecords().empty());
    EXPECT_EQ(plugin->Allocations(), before);
}

// The loader tells a library's entry point why it detaches: a non-null reserved argument when the
// process ends, null when the library alone is unloaded. Only the unload may touch the game.
TEST(Lifecycle, TheEntryPointPutsTheNormalValuesBackAtAnUnloadButNotAtTheProcessEnd)
{
    for (const bool processEnds : {true, false}) {
        SCOPED_TRACE(processEnds ? "process end" : "unload");
        PluginServer plugin;
        plugin.WriteConfig(ValidConfig());
        plugin.Load();
        const auto normal = plugin->Multipliers();
        plugin.Toggle(plugin.Join("Admin", true));
        const auto weekend = plugin->Multipliers();
        ASSERT_NE(weekend, normal);
        if (processEnds) {
            // Called as the loader calls it when the process ends; the unload's own call after it
            // finds the library's runtime already shut down and returns at once.
            const auto library = standin::Server::LibraryBesideExecutable("Quorvandelle");
            auto* base = reinterpret_cast<unsigned char*>(GetModuleHandleW(library.wstring().c_str()));
            ASSERT_NE(base, nullptr);
            const auto* headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(
                base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
            const auto entry = reinterpret_cast<BOOL(WINAPI*)(HINSTANCE, DWORD, LPVOID)>(
                base + headers->OptionalHeader.AddressOfEntryPoint);
            entry(reinterpret_cast<HINSTANCE>(base), DLL_PROCESS_DETACH, reinterpret_cast<LPVOID>(1));
            EXPECT_TRUE(plugin->Registrations().empty());
            EXPECT_EQ(plugin->Multipliers(), weekend);
        }
        plugin.Unload();
        EXPECT_TRUE(plugin->Registrations().empty());
        EXPECT_EQ(plugin->Multipliers(), processEnds ? weekend : normal);
        EXPECT_TRUE(plugin->EscapedExceptions().empty());
    }
}
#endif

#if !defined(_WIN32)
TEST(Lifecycle, LogTimesAreLocalTime)
{
    // A zone far from UTC, so that a UTC time cannot pass for the local one.
    const char* previous = std::getenv("TZ");
    const std::string saved = previous != nullptr ? previous : "";
    setenv("TZ", "<+0530>-5:30", 1);
    tzset();
    const auto localNow = [] {
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        char text[32] = {};
        std::strftime(text, sizeof text, "%m/%d/%y %H:%M", &local);
        return std::string(text);
    };
    std::string line;
    std::string before;
    std::string after;
    {
        PluginServer plugin;
        plugin.WriteConfig(ValidConfig());
        before = localNow();
        plugin.Load();
        after = localNow();
        const auto records = plugin.PluginLogRecords();
        if (!records.empty()) line = records.front().line;
    }
    if (previous != nullptr) {
        setenv("TZ", saved.c_str(), 1);
    } else {
        unsetenv("TZ");
    }
    tzset();
    ASSERT_FALSE(line.empty());
    const std::string stamp = line.substr(0, before.size());
    EXPECT_TRUE(stamp == before || stamp == after) << line << " (local time " << before << ")";
}
#endif

TEST(Lifecycle, AFailingCallbackIsContainedAndLoggedWithItsNameAndReason)
{
    PluginServer plugin;
    plugin.WriteConfig(ValidConfig());
    plugin.Load();
    // A time the platform runtime has no local date for: the schedule's evaluation fails.
    plugin->SetClock(-100000);
    plugin.RunToFirstEvaluation();
    EXPECT_TRUE(plugin->EscapedExceptions().empty());
    const auto errors = RecordsAt(plugin, standin::LogLevel::Error);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].message.find("QuorvandelleCheck"), std::string::npos) << errors[0].message;
    EXPECT_NE(errors[0].message.find("local date"), std::string::npos) << errors[0].message;

    // The plug-in goes on working: the next evaluation, on a Saturday, switches the weekend on.
    plugin.SetDate(2026, 12, 12);
    plugin.RunToNextEvaluation();
    EXPECT_EQ(plugin->Multiplier("XPMultiplier"), 2.0f);
    EXPECT_TRUE(plugin->EscapedExceptions().empty());
}

} // namespace
