// Faults at the edges, through the real plug-in library in the stand-in server: a config path that
// is a folder, a file that cannot be read, a file that changes or goes away between reloads, files
// beyond the size limit, huge tokens, ill-formed UTF-8 and colours beyond every number. Each must give
// a clear reply or log record, lose nothing already in force, let nothing escape to the host, and keep
// the game's allocator bounded.
#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#if !defined(_WIN32)
#include <sys/stat.h>
#endif

#include "tests/support/PluginServer.h"

namespace {

using nlohmann::json;
using testing_support::PluginServer;
using testing_support::ValidConfig;

// The plug-in's strings while loaded: the five texts of its settings, nothing per reload or switch.
constexpr std::uint64_t kSettingsBlocks = 5;

json ConfigWithXp(double xp)
{
    json config = ValidConfig();
    config["Quorvandelle"]["XPMultiplier"] = xp;
    return config;
}

class EdgeFaults : public ::testing::Test {
protected:
    void SetUp() override { Start(); }

    void TearDown() override
    {
        EXPECT_TRUE(server().EscapedExceptions().empty()) << server().EscapedExceptions().front();
        if (server().PluginLoaded()) {
            ExpectMemoryBounded();
            qv_->Unload();
        }
        const standin::AllocatorAccounts after = server().Allocations();
        EXPECT_EQ(after.liveBlocks, baseline_.liveBlocks) << "blocks left behind after unload";
        EXPECT_EQ(after.liveBytes, baseline_.liveBytes);
    }

    // A fresh server on Wednesday 2026-12-09 with Ada (an administrator) connected, and the
    // plug-in not yet loaded.
    void Start()
    {
        qv_.reset();
        qv_ = std::make_unique<PluginServer>(2026, 12, 9);
        admin_ = qv_->Join("Ada", true);
        baseline_ = server().Allocations();
    }

    standin::Server& server() { return qv_->server(); }

    // "/qvreload" from Ada: the reply she got, or "(no reply)".
    std::string Reload()
    {
        server().ClearInboxes();
        server().ClearLog();
        server().Chat(admin_, "/qvreload");
        const standin::Inbox inbox = server().InboxOf(admin_);
        EXPECT_EQ(inbox.Count(), inbox.directChats.size()) << "a reload sends nothing but its reply";
        return inbox.directChats.empty() ? "(no reply)" : inbox.directChats.front().text;
    }

    void ExpectReloadFails(const std::vector<std::string>& naming)
    {
        const std::string reply = Reload();
        EXPECT_EQ(reply.rfind("Config reload failed: ", 0), 0u) << reply;
        EXPECT_NE(reply.find(qv_->PluginConfigPath()), std::string::npos) << reply;
        for (const auto& text : naming) {
            EXPECT_NE(reply.find(text), std::string::npos) << "reply '" << reply << "' does not name " << text;
            EXPECT_TRUE(qv_->LogContains(text)) << "no log record names " << text;
        }
    }

    // Toggles the weekend on and back by hand: the XP multiplier it put in force and the sender
    // of its chat line; every normal value must come back exactly.
    struct Weekend {
        float xp = 0.0f;
        std::string sender;
    };
    Weekend TryWeekend()
    {
        const auto normal = server().Multipliers();
        const float normalXp = server().Multiplier("XPMultiplier");
        Weekend weekend;
        const standin::Inbox on = qv_->Toggle(admin_);
        weekend.xp = server().Multiplier("XPMultiplier");
        if (!on.chatRecords.empty()) weekend.sender = on.chatRecords.front().senderName;
        ExpectMemoryBounded();
        if (weekend.xp != normalXp) qv_->Toggle(admin_);
        EXPECT_EQ(server().Multipliers(), normal) << "the switch back must restore every normal value";
        return weekend;
    }

    void ExpectMemoryBounded()
    {
        const standin::AllocatorAccounts accounts = server().Allocations();
        EXPECT_LE(accounts.liveBlocks, baseline_.liveBlocks + kSettingsBlocks);
        EXPECT_LE(accounts.liveBytes, baseline_.liveBytes + 64 * 1024) << "the settings' texts are short here";
    }

    std::unique_ptr<PluginServer> qv_;
    standin::PlayerId admin_{};
    standin::AllocatorAccounts baseline_;
};

TEST_F(EdgeFaults, AConfigPathThatIsAFolderIsReportedAtStartUpAndOnReloadAndLosesNothing)
{
    std::filesystem::create_directory(qv_->ConfigFile());
    qv_->Load();
    EXPECT_TRUE(qv_->LogContains("is a folder")) << "start-up must say what is wrong";
    EXPECT_TRUE(server().IsRegistered("/qvreload", standin::CommandKind::Chat)) << "so it can be fixed and reloaded";
    ExpectReloadFails({"is a folder"});

    std::filesystem::remove(qv_->ConfigFile());
    qv_->WriteConfig(ConfigWithXp(7));
    EXPECT_EQ(Reload(), "Config Reloaded!");
    std::filesystem::remove(qv_->ConfigFile());
    std::filesystem::create_directory(qv_->ConfigFile());
    ExpectReloadFails({"is a folder"});
    EXPECT_EQ(TryWeekend().xp, 7.0f) << "the settings in force stay";
}

#if !defined(_WIN32)
TEST_F(EdgeFaults, AConfigPathThatIsAPipeIsRefusedWithoutWaitingForAWriter)
{
    qv_->WriteConfig(ConfigWithXp(7));
    qv_->Load();
    std::filesystem::remove(qv_->ConfigFile());
    ASSERT_EQ(mkfifo(qv_->ConfigFile().c_str(), 0600), 0);
    // Opening the pipe would block the server's thread for as long as nobody writes to it.
    ExpectReloadFails({"is not a regular file"});
    EXPECT_EQ(TryWeekend().xp, 7.0f) << "the settings in force stay";
}
#endif

TEST_F(EdgeFaults, AFileWithoutReadPermissionIsReportedAndLosesNothing)
{
    qv_->WriteConfig(ConfigWithXp(7));
    qv_->Load();
    qv_->WriteConfig(ConfigWithXp(9));
    namespace fs = std::filesystem;
    fs::permissions(qv_->ConfigFile(), fs::perms::none);
    if (std::ifstream(qv_->ConfigFile()).is_open()) {
        fs::permissions(qv_->ConfigFile(), fs::perms::owner_read | fs::perms::owner_write);
        GTEST_SKIP() << "this process reads files whatever their permission bits (it runs as root or with "
                        "CAP_DAC_OVERRIDE), so an unreadable file cannot be made here";
    }
    ExpectReloadFails({"cannot be opened"});
    EXPECT_EQ(TryWeekend().xp, 7.0f);

    fs::permissions(qv_->ConfigFile(), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(Reload(), "Config Reloaded!");
    EXPECT_EQ(TryWeekend().xp, 9.0f);
}

TEST_F(EdgeFaults, AFileThatChangesOrDisappearsBetweenReloadsNeverCostsWhatIsInForce)
{
    qv_->WriteConfig(ConfigWithXp(7));
    qv_->Load();
    qv_->WriteConfig(ConfigWithXp(9));
    EXPECT_EQ(Reload(), "Config Reloaded!");
    EXPECT_EQ(TryWeekend().xp, 9.0f);

    qv_->RemoveConfig();
    ExpectReloadFails({"not found"});
    EXPECT_EQ(TryWeekend().xp, 9.0f);
    qv_->WriteConfigText("{\"Quorvandelle\": {\"XPMultiplier\": 3,");
    ExpectReloadFails({"line 1"});
    EXPECT_EQ(TryWeekend().xp, 9.0f);
    qv_->WriteConfig(ConfigWithXp(3));
    EXPECT_EQ(Reload(), "Config Reloaded!");
    EXPECT_EQ(TryWeekend().xp, 3.0f);

    // The same during a weekend: the file changing and vanishing under it costs no normal value.
    const auto normal = server().Multipliers();
    qv_->Toggle(admin_);
    qv_->WriteConfig(ConfigWithXp(11));
    EXPECT_EQ(Reload(), "Config Reloaded!");
    qv_->RemoveConfig();
    ExpectReloadFails({"not found"});
    EXPECT_EQ(server().Multiplier("XPMultiplier"), 3.0f) << "a reload switches nothing";
    qv_->Toggle(admin_);
    EXPECT_EQ(server().Multipliers(), normal);
    EXPECT_EQ(TryWeekend().xp, 11.0f) << "the last good file is the one in force";
}

TEST_F(EdgeFaults, AFileBeyondTheSizeLimitIsRefusedWithItsSizeAndOneJustUnderLoads)
{
    qv_->WriteConfig(ConfigWithXp(7));
    qv_->Load();

    // The bulk sits in a member the plug-in ignores; the file is built at test time, never committed.
    const auto padded = [](std::size_t size, double xp) {
        std::string text = ConfigWithXp(xp).dump();
        const std::string head = "\"Padding\": \"";
        text.insert(1, head + std::string(size - text.size() - head.size() - 3, 'x') + "\", ");
        return text;
    };
    qv_->WriteConfigText(padded(50u * 1024 * 1024, 9));
    ExpectReloadFails({"is 52428800 bytes; a config file may have at most 1048576 bytes (1 MiB)"});
    EXPECT_EQ(TryWeekend().xp, 7.0f);

    qv_->WriteConfigText(padded(1024 * 1024, 9));
    EXPECT_EQ(Reload(), "Config Reloaded!");
    ExpectMemoryBounded();
    EXPECT_EQ(TryWeekend().xp, 9.0f);
}

TEST_F(EdgeFaults, AnErrorQuotesAPieceOfAHugeTokenAndSaysHowMuchWasCut)
{
    qv_->WriteConfig(ConfigWithXp(7));
    qv_->Load();
    // One control character at the end of a text of a megabyte: the parser's last token is all of it.
    std::string text = ConfigWithXp(9).dump();
    text.insert(1, "\"Padding\": \"" + std::string(1000000, 'x') + "\t\", ");
    qv_->WriteConfigText(text);
    const std::string reply = Reload();
    EXPECT_EQ(reply.rfind("Config reload failed: ", 0), 0u) << reply.substr(0, 200);
    EXPECT_LE(reply.size(), std::string("Config reload failed: ").size() + 300) << reply.substr(0, 600);
    bool excerpted = false;
    for (const auto& record : server().LogRecords()) {
        EXPECT_LT(record.message.size(), 4096u);
        excerpted = excerpted || record.message.find("xxx... (9999") != std::string::npos;
    }
    EXPECT_TRUE(excerpted);
    EXPECT_EQ(TryWeekend().xp, 7.0f);
}

TEST_F(EdgeFaults, IllFormedUtf8InATextIsRefusedAtItsPlaceAndLosesNothing)
{
    json config = ValidConfig();
    qv_->WriteConfig(config);
    qv_->Load();
    const std::string sender = config["Quorvandelle"]["ServerName"];

    const char* const illFormed[] = {
        "\xFF",             // never a UTF-8 byte
        "\xC3\x28",         // a lead byte without its continuation
        "\xE2\x82",         // cut short by the closing quote
        "\xC0\xAF",         // an overlong '/'
        "\xED\xA0\x80",     // a UTF-16 surrogate, encoded
        "\xF4\x90\x80\x80", // beyond U+10FFFF
    };
    for (const char* bytes : illFormed) {
        SCOPED_TRACE(json(std::string(bytes)).dump(-1, ' ', true, json::error_handler_t::replace));
        std::string text = "{\n  \"Quorvandelle\": {\n    \"ServerName\": \"Bad ";
        text += bytes;
        text += " name\",\n    \"StartDay\": 5\n  }\n}\n";
        qv_->WriteConfigText(text);
        ExpectReloadFails({"ill-formed UTF-8", "line 3"});
        const Weekend weekend = TryWeekend();
        EXPECT_EQ(weekend.xp, 2.0f);
        EXPECT_EQ(weekend.sender, sender) << "the texts in force stay";
    }
}

TEST_F(EdgeFaults, TextThatIsNoUtf8AndPathsThatLeadNowhereSayWhatTheyAre)
{
    qv_->WriteConfig(ConfigWithXp(7));
    qv_->Load();
    const std::string good = ConfigWithXp(9).dump();
    std::string utf16;
    for (const char c : good) utf16 += std::string(1, c) + '\0';
    struct Row {
        std::string text;
        std::vector<std::string> naming;
    };
    const Row rows[] = {
        {std::string("{\n  \"Quorvandelle\":") + '\0' + " {}}",
         {"at line 2, column 18: a NUL byte; a config file is UTF-8"}},
        {utf16, {"at line 1, column 2: a NUL byte"}},
        {"\xFF\xFE" + utf16, {"the file is UTF-16 text", "save it as UTF-8"}},
    };
    for (const Row& row : rows) {
        qv_->WriteConfigText(row.text);
        ExpectReloadFails(row.naming);
    }
#if !defined(_WIN32)
    // A link that leads round in a loop is no missing file.
    qv_->RemoveConfig();
    std::filesystem::create_symlink(qv_->ConfigFile(), qv_->ConfigFile().string() + ".loop");
    std::filesystem::create_symlink(qv_->ConfigFile().string() + ".loop", qv_->ConfigFile());
    ExpectReloadFails({"cannot be read: Too many levels of symbolic links"});
    std::filesystem::remove(qv_->ConfigFile());
#endif
    EXPECT_EQ(TryWeekend().xp, 7.0f);
}

TEST_F(EdgeFaults, ColoursBeyondEveryNumberAreRefusedAtTheirPlaceAndBeyondFloatsShowAsInfinity)
{
    json config = ValidConfig();
    qv_->WriteConfig(config);
    qv_->Load();

    for (const char* huge : {"1e400", "-1e400"}) {
        SCOPED_TRACE(huge);
        std::string text = "{\"Quorvandelle\": {\n\"QuorvandelleEnabledRGB\": [" + std::string(huge) + ", 0, 0, 1],";
        text += ValidConfig()["Quorvandelle"].dump().substr(1) + "}";
        qv_->WriteConfigText(text);
        ExpectReloadFails({std::string("number overflow parsing '") + huge + "'", "line 2, column"});
        EXPECT_EQ(TryWeekend().xp, 2.0f);
    }

    // Beyond the largest float but still a number: the colour is as far as a float goes.
    config["Quorvandelle"]["QuorvandelleEnabledRGB"] = json::parse("[1e39, -1e39, 0, 1]");
    qv_->WriteConfig(config);
    EXPECT_EQ(Reload(), "Config Reloaded!");
    EXPECT_NE(server().InboxOf(admin_).directChats.back().text.find("beyond the range of a 32-bit float"),
              std::string::npos);
    const standin::Inbox on = qv_->Toggle(admin_);
    ASSERT_EQ(on.notifications.size(), 1u);
    EXPECT_TRUE(std::isinf(on.notifications[0].color.R) && on.notifications[0].color.R > 0);
    EXPECT_TRUE(std::isinf(on.notifications[0].color.G) && on.notifications[0].color.G < 0);
    ASSERT_EQ(on.chatRecords.size(), 1u);
    EXPECT_NE(on.chatRecords[0].message.find("Color=\"inf, -inf, 0, 1\""), std::string::npos)
        << on.chatRecords[0].message;
    qv_->Toggle(admin_);
}

} // namespace

namespace {

// Every text the plug-in shows a player or logs stays bounded whatever the file holds: a reply at
// most 300 characters and the count of what did not fit, a log record at most 4,000. A name or a
// value of half a megabyte goes through each path that could quote it.
TEST_F(EdgeFaults, AHalfMegabyteNameOrValueIsQuotedByAPieceOnEveryPath)
{
    const std::string huge(500 * 1024, 'N');
    const auto allWeek = [](const std::string& name) {
        return json{{"Name", name}, {"Days", {0, 1, 2, 3, 4, 5, 6}}, {"From", "00:00"}, {"Until", "00:00"}};
    };
    const json over = {{"Name", huge}, {"From", "2020-01-01T00:00"}, {"Until", "2020-01-02T00:00"}};
    const json soon = {{"Name", huge}, {"Days", {3}}, {"From", "12:30"}, {"Until", "13:00"}};
    struct Row {
        const char* path;
        json members;
    };
    const Row rows[] = {
        {"duplicate names", {{"Schedules", {allWeek(huge), allWeek(huge)}}}},
        {"overlapping windows", {{"Schedules", {allWeek(huge), allWeek("Second")}}}},
        {"a window that is over", {{"Schedules", {over}}}},
        {"a reminder", {{"Reminders", {60}}, {"Schedules", {soon}}}},
        {"a switch record and the status reply", {{"StatusCommand", "/rates"}, {"Schedules", {allWeek(huge)}}}},
        {"a value in the red reply", {{"StartTime", huge}}},
        {"a status command", {{"StatusCommand", "/" + huge}}},
        {"an unknown member in the amber reply", {{huge, 1}}},
        {"a reminder that would grow", {{"ReminderMessage", huge + "{minutes:99999999}"}}},
        {"every rate in the status reply", {{"StatusCommand", "/rates"}}},
    };
    qv_->Load();
    for (const Row& row : rows) {
        json config = ValidConfig();
        config["Quorvandelle"].update(row.members);
        qv_->WriteConfig(config);
        server().ClearLog();
        server().ClearInboxes();
        server().Chat(admin_, "/qvreload");
        server().RunTimer(700);
        server().Chat(admin_, "/ToggleQuorvandelle");
        server().Chat(admin_, "/rates");
        server().Chat(admin_, "/ToggleQuorvandelle");
        const standin::Inbox inbox = server().InboxOf(admin_);
        ASSERT_FALSE(inbox.directChats.empty()) << row.path;
        for (const auto& reply : inbox.directChats) {
            // "Config reload failed: " or "N warnings about " before the 300, "; and N more" after it.
            EXPECT_LE(reply.text.size(), 340u) << row.path << ": " << reply.text.substr(0, 400);
            EXPECT_EQ(reply.text.find(std::string(81, 'N')), std::string::npos) << row.path;
        }
        for (const auto& record : server().LogRecords()) {
            EXPECT_LE(record.message.size(), 4100u) << row.path << ": " << record.message.substr(0, 400);
            EXPECT_EQ(record.message.find(std::string(81, 'N')), std::string::npos) << row.path;
        }
        for (const auto& shown : inbox.notifications) EXPECT_LE(shown.text.size(), 300u) << row.path;
    }
}

} // namespace
