// Switches and reminders at their second (ExactSwitching), on the clock of the config's TimeZone,
// through the real plug-in library: every timer call is one second, and what players were shown is
// written down with the instant of the call that showed it, so that a second early or late shows.
#include <gtest/gtest.h>

#include <fmt/format.h>

#include <algorithm>

#include "tests/rates/RatesFixture.h"
#include "util/CivilDate.h"

namespace rates_testing {
namespace {

using nlohmann::json;
using testing_support::PluginServer;
using testing_support::ValidConfig;

std::int64_t Utc(int year, int month, int day, int hour, int minute, int second = 0)
{
    return util::DaysFromCivil(year, month, day) * 86400 + hour * 3600 + minute * 60 + second;
}

// "HH:MM:SS" of an instant, in UTC.
std::string UtcTime(std::int64_t instant)
{
    const std::int64_t second = (instant % 86400 + 86400) % 86400;
    return fmt::format("{:02}:{:02}:{:02}", second / 3600, second / 60 % 60, second % 60);
}

// ValidConfig() (a Friday-to-Monday weekend) with the given members of the section replaced.
json ConfigWith(const json& members)
{
    json config = ValidConfig();
    config["Quorvandelle"]["ReminderMessage"] = "{name} in {minutes}";
    config["Quorvandelle"].update(members);
    return config;
}

json Window(const char* name, const json& times)
{
    json window = times;
    window["Name"] = name;
    window["EnabledMessage"] = std::string(name) + " on";
    window["DisabledMessage"] = std::string(name) + " off";
    return window;
}

// A server with the config loaded and one player, its clock at start.
struct Running {
    PluginServer qv;
    standin::PlayerId player{};

    Running(const json& config, std::int64_t start)
    {
        qv.WriteConfig(config);
        qv->SetClock(start);
        qv.Load();
        player = qv.Join("Bo");
    }

    // Timer calls up to the instant until, one a second: "HH:MM:SS text" for each notification.
    std::vector<std::string> RunUntil(std::int64_t until)
    {
        std::vector<std::string> shown;
        std::size_t seen = qv->InboxOf(player).notifications.size();
        while (qv->Now() < until) {
            qv->RunTimer();
            const auto notifications = qv->InboxOf(player).notifications;
            for (; seen < notifications.size(); ++seen)
                shown.push_back(UtcTime(qv->Now()) + " " + notifications[seen].text);
        }
        return shown;
    }
};

using Timeline = std::vector<std::string>;

TEST(ExactSwitching, TwoServersStartedAtDifferentMomentsSwitchAndRemindInTheSameSecond)
{
    // Friday 2026-12-11, the weekend from 20:00 UTC with a reminder ten minutes before.
    for (const bool exact : {true, false}) {
        SCOPED_TRACE(exact ? "ExactSwitching" : "the regular evaluations");
        const json config =
            ConfigWith({{"StartTime", "20:00"}, {"Reminders", {10}}, {"TimeZone", "UTC"}, {"ExactSwitching", exact}});
        // One stand-in server runs at a time.
        const auto run = [&](std::int64_t start) { return Running(config, start).RunUntil(Utc(2026, 12, 11, 20, 15)); };
        const Timeline first = run(Utc(2026, 12, 11, 19, 40));
        const Timeline second = run(Utc(2026, 12, 11, 19, 44, 37));
        if (exact) {
            EXPECT_EQ(first, (Timeline{"19:50:00 Weekend in 10", "20:00:00 Weekend rates on"}));
            EXPECT_EQ(second, first);
        } else {
            ASSERT_EQ(first.size(), 2u);
            EXPECT_NE(second, first) << "a server evaluates on its own count of calls";
        }
    }
}

// Cases an administrator meets: each row runs one server with ExactSwitching from start to end.
TEST(ExactSwitching, EachWindowIsRemindedOfFromItsOwnComingIntoForceInRealMinutes)
{
    struct Row {
        const char* what;
        json members;
        std::int64_t start, end;
        Timeline expected;
    };
    const json daily = json::array({0, 1, 2, 3, 4, 5, 6});
    const std::vector<Row> rows = {
        {"a window right after another",
         {{"Reminders", {60, 30}},
          {"Schedules",
           {Window("Noon", {{"Days", daily}, {"From", "12:00"}, {"Until", "12:30"}}),
            Window("Half", {{"Days", daily}, {"From", "12:30"}, {"Until", "13:00"}})}}},
         Utc(2026, 12, 9, 10, 30),
         Utc(2026, 12, 9, 12, 31),
         {"11:00:00 Noon in 60", "11:30:00 Noon in 30", "11:30:00 Half in 60", "12:00:00 Noon on",
          "12:00:00 Half in 30", "12:30:00 Half on"}},
        {"a happy hour before the weekend",
         {{"StartTime", "18:00"},
          {"Reminders", {60}},
          {"Schedules", {Window("Happy", {{"Days", {5}}, {"From", "17:00"}, {"Until", "17:30"}})}}},
         Utc(2026, 12, 11, 15, 30),
         Utc(2026, 12, 11, 18, 1),
         {"16:00:00 Happy in 60", "17:00:00 Happy on", "17:00:00 Weekend in 60", "17:30:00 Happy off",
          "18:00:00 Weekend rates on"}},
        {"a window beaten for its whole span by one before it",
         {{"Reminders", {30}},
          {"Schedules",
           {Window("Long", {{"Days", daily}, {"From", "11:00"}, {"Until", "14:00"}}),
            Window("Short", {{"Days", daily}, {"From", "12:00"}, {"Until", "13:00"}})}}},
         Utc(2026, 12, 9, 10, 0),
         Utc(2026, 12, 9, 14, 1),
         {"10:30:00 Long in 30", "11:00:00 Long on", "14:00:00 Long off"}},
        {"real minutes across the spring change (07:00 CET is 06:00 UTC, 11:00 CEST 09:00 UTC)",
         {{"TimeZone", "Europe/Berlin"},
          {"Reminders", {180}},
          {"Schedules", {Window("Brunch", {{"From", "2027-03-28T11:00"}, {"Until", "2027-03-28T13:00"}})}}},
         Utc(2027, 3, 28, 5, 0),
         Utc(2027, 3, 28, 9, 1),
         {"06:00:00 Brunch in 180", "09:00:00 Brunch on"}},
        {"a window opening right after the skipped hour, and one wholly inside it, in Berlin",
         {{"TimeZone", "Europe/Berlin"},
          {"Reminders", {60}},
          {"Schedules",
           {Window("Gap", {{"From", "2027-03-28T02:15"}, {"Until", "2027-03-28T02:45"}}),
            Window("Early", {{"From", "2027-03-28T03:00"}, {"Until", "2027-03-28T04:00"}})}}},
         Utc(2027, 3, 27, 23, 30),
         Utc(2027, 3, 28, 2, 1),
         {"00:00:00 Early in 60", "01:00:00 Early on", "02:00:00 Early off"}},
        {"a window that opens inside the skipped hour opens at its end (03:00 CEST, 01:00 UTC)",
         {{"TimeZone", "Europe/Berlin"},
          {"Schedules", {Window("Night", {{"From", "2027-03-28T02:30"}, {"Until", "2027-03-28T05:00"}})}}},
         Utc(2027, 3, 28, 0, 0),
         Utc(2027, 3, 28, 3, 1),
         {"01:00:00 Night on", "03:00:00 Night off"}},
        {"in New York (UTC-5 in December)",
         {{"TimeZone", "America/New_York"},
          {"Reminders", {15}},
          {"Schedules", {Window("Evening", {{"Days", {3}}, {"From", "20:00"}, {"Until", "21:00"}})}}},
         Utc(2026, 12, 10, 0, 30),
         Utc(2026, 12, 10, 2, 1),
         {"00:45:00 Evening in 15", "01:00:00 Evening on", "02:00:00 Evening off"}},
        {"a window that cannot switch on, its inherited multiplier unreadable",
         {{"HarvestAmountMultiplier", "2"},
          {"Reminders", {30}},
          {"Schedules", {Window("Broken", {{"Days", daily}, {"From", "12:00"}, {"Until", "13:00"}})}}},
         Utc(2026, 12, 9, 11, 0),
         Utc(2026, 12, 9, 12, 1),
         {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        json members = row.members;
        members["ExactSwitching"] = true;
        if (!members.contains("TimeZone")) members["TimeZone"] = "UTC";
        // No weekend unless the row has one.
        if (!members.contains("StartTime")) members.update({{"StartDay", 3}, {"EndDay", 3}});
        Running server(ConfigWith(members), row.start);
        EXPECT_EQ(server.RunUntil(row.end), row.expected);
    }
}

TEST(ExactSwitching, AWindowThatCannotSwitchOnIsLoggedOnceAndNotPromised)
{
    const json config =
        ConfigWith({{"HarvestAmountMultiplier", "2"},
                    {"Reminders", {30, 10}},
                    {"StatusCommand", "/rates"},
                    {"TimeZone", "UTC"},
                    {"ExactSwitching", true},
                    {"Schedules", {Window("Broken", {{"Days", {3}}, {"From", "12:00"}, {"Until", "13:00"}})}}});
    Running server(config, Utc(2026, 12, 9, 11, 0));
    server.RunUntil(Utc(2026, 12, 9, 11, 55));
    std::size_t told = 0;
    for (const std::string& message : server.qv.PluginLogMessages(standin::LogLevel::Warning))
        told += message.find("No reminders for Broken: it cannot switch on") != std::string::npos ? 1 : 0;
    EXPECT_EQ(told, 1u);
    server.qv->ClearInboxes();
    server.qv->Chat(server.player, "/rates");
    const auto replies = server.qv->InboxOf(server.player).directChats;
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].text.rfind("Normal rates are on", 0), 0u) << replies[0].text;
    EXPECT_EQ(replies[0].text.find("Broken"), std::string::npos) << replies[0].text;
}

// 2026-10-25 in Berlin: 03:00 CEST (01:00 UTC) becomes 02:00 CET, so 02:00 to 03:00 comes twice.
TEST(ExactSwitching, TheStatusReplyIsTrueDuringTheRepeatedHour)
{
    const json config =
        ConfigWith({{"StartDay", 3},
                    {"EndDay", 3},
                    {"StatusCommand", "/rates"},
                    {"TimeZone", "Europe/Berlin"},
                    {"ExactSwitching", true},
                    {"Schedules", {Window("Night", {{"Days", {0}}, {"From", "00:30"}, {"Until", "02:30"}})}}});
    Running server(config, Utc(2026, 10, 24, 22, 0));
    EXPECT_EQ(server.RunUntil(Utc(2026, 10, 25, 1, 10)), (Timeline{"22:30:00 Night on", "00:30:00 Night off"}));
    server.qv->ClearInboxes();
    server.qv->Chat(server.player, "/rates");
    const auto replies = server.qv->InboxOf(server.player).directChats;
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].text.rfind("Normal rates are on. Next: Night rates from Sun 2026-11-01 00:30 Europe/Berlin "
                                    "until Sun 2026-11-01 02:30 Europe/Berlin",
                                    0),
              0u)
        << replies[0].text;
    EXPECT_EQ(server.RunUntil(Utc(2026, 10, 25, 2, 0)), Timeline{}) << "the window does not open a second time";
}

// A window that closed in the hours the clocks repeat opens once, however long the step back: two
// hours on Troll (03:00 +02 becomes 01:00 +00 on 2026-10-25, at 01:00 UTC), half an hour on Lord
// Howe (02:00 +11 becomes 01:30 +10:30 on 2027-04-04, at 15:00 UTC the day before).
TEST(ExactSwitching, AWindowThatClosedInTheRepeatedHoursOpensOnceWhateverTheStepBack)
{
    struct Row {
        const char* zone;
        const char* until; // the window closes in the hours the clocks repeat
        std::int64_t start, end;
        Timeline expected; // with ExactSwitching
    };
    const Row rows[] = {
        {"Antarctica/Troll",
         "02:30",
         Utc(2026, 10, 24, 19, 50),
         Utc(2026, 10, 25, 3, 30),
         {"20:00:00 Night on", "00:30:00 Night off"}},
        {"Australia/Lord_Howe",
         "01:45",
         Utc(2027, 4, 3, 8, 50),
         Utc(2027, 4, 3, 16, 0),
         {"11:00:00 Night on", "14:45:00 Night off"}},
    };
    for (const Row& row : rows) {
        for (const bool exact : {true, false}) {
            SCOPED_TRACE(std::string(row.zone) + (exact ? ", ExactSwitching" : ", the regular evaluations"));
            const json night = Window(
                "Night", {{"Days", json::array({0, 1, 2, 3, 4, 5, 6})}, {"From", "22:00"}, {"Until", row.until}});
            Running server(ConfigWith({{"StartDay", 3},
                                       {"EndDay", 3},
                                       {"TimeZone", row.zone},
                                       {"ExactSwitching", exact},
                                       {"Schedules", {night}}}),
                           row.start);
            const Timeline shown = server.RunUntil(row.end);
            if (exact) {
                EXPECT_EQ(shown, row.expected);
            }
            EXPECT_EQ(std::count_if(shown.begin(), shown.end(),
                                    [](const std::string& line) { return line.find("Night on") != std::string::npos; }),
                      1);
        }
    }
}

// An evening event inside the weekend: when it closes, the weekend's rates come back and are
// announced, but the weekend has been on since Friday, so nothing tells players it "starts".
TEST(ExactSwitching, AWindowThatResumesIsAnnouncedButNotRemindedOf)
{
    for (const bool exact : {true, false}) {
        SCOPED_TRACE(exact ? "ExactSwitching" : "the regular evaluations");
        Running server(
            ConfigWith({{"StartTime", "18:00"},
                        {"EndTime", "06:00"},
                        {"Reminders", {60}},
                        {"TimeZone", "UTC"},
                        {"ExactSwitching", exact},
                        {"Schedules", {Window("Evening", {{"Days", {6}}, {"From", "20:00"}, {"Until", "22:00"}})}}}),
            Utc(2026, 12, 12, 18, 30));
        const Timeline shown = server.RunUntil(Utc(2026, 12, 12, 22, 30));
        if (exact) {
            EXPECT_EQ(shown, (Timeline{"18:30:31 Weekend rates on", "19:00:00 Evening in 60", "20:00:00 Evening on",
                                       "22:00:00 Weekend rates on"}));
        }
        for (const std::string& line : shown) EXPECT_EQ(line.find("Weekend in"), std::string::npos) << line;
        EXPECT_EQ(shown.back().substr(9), "Weekend rates on");
    }
}

TEST(ExactSwitching, AReloadThatOnlyRenamesTheWindowInForceDoesNotAnnounceItAgain)
{
    struct Row {
        const char* what;
        json renamed;
        Timeline expected;
    };
    const json evening = Window("Evening", {{"Days", {3}}, {"From", "20:00"}, {"Until", "22:00"}});
    json night = evening;
    night["Name"] = "Night";
    json faster = night;
    faster["XPMultiplier"] = 9;
    const std::vector<Row> rows = {
        {"the name alone", night, {}},
        {"the name and a value", faster, {"20:30:01 Evening on"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const auto config = [](const json& window) {
            return ConfigWith({{"TimeZone", "UTC"}, {"ExactSwitching", true}, {"Schedules", {window}}});
        };
        Running server(config(evening), Utc(2026, 12, 9, 19, 59));
        EXPECT_EQ(server.RunUntil(Utc(2026, 12, 9, 20, 30)), Timeline{"20:00:00 Evening on"});
        server.qv.WriteConfig(config(row.renamed));
        ASSERT_TRUE(server.qv->ServerConsole("qvreload"));
        EXPECT_EQ(server.RunUntil(Utc(2026, 12, 9, 21, 0)), row.expected);
    }
}

} // namespace
} // namespace rates_testing
