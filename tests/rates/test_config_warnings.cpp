// The probable mistakes of a config that loads: each rule fires on the mistake it is about, names
// the member, and stays quiet on a config without it.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "plugin/config/ConfigWarnings.h"
#include "plugin/config/DecodeConfig.h"
#include "plugin/schedule/Calendar.h"
#include "tests/support/PluginServer.h"

using namespace qv;

using json = nlohmann::json;

namespace {

// The probable mistakes the one decoding of the file names, the file refused or not.
ConfigProblems Mistakes(const json& config, std::optional<Instant> now = std::nullopt)
{
    ConfigProblems warnings = DecodeConfig(config.dump(), now).Warnings;
    for (ConfigProblem& warning : warnings) warning.Where = {};
    return warnings;
}

// The shared valid config: no zero, negative or fractional rate, colours within 0 to 1.
json CleanConfig() { return testing_support::ValidConfig(); }

std::string Listed(const ConfigProblems& warnings)
{
    std::string text;
    for (const auto& warning : warnings) text += "\n  " + Describe(warning);
    return text.empty() ? " (none)" : text;
}

} // namespace

TEST(ConfigWarnings, ACleanConfigGetsNone)
{
    const auto advice = Mistakes(CleanConfig());
    EXPECT_TRUE(advice.empty()) << Listed(advice);
}

TEST(ConfigWarnings, EachProbableMistakeIsNamedByItsMember)
{
    struct Row {
        const char* key;
        json value;
        const char* path;
        const char* message;
    };
    const Row rows[] = {
        {"EndDay", 5, "Quorvandelle.StartDay", "StartDay equals EndDay (5)"},
        {"StartDay", 7, "Quorvandelle.StartDay", "7 is taken as Sunday; weekdays run from 0 = Sunday to 6 = Saturday"},
        {"EndDay", -1, "Quorvandelle.EndDay", "-1 is not a weekday"},
        {"StartDay", 5.7, "Quorvandelle.StartDay", "5.7 is not a whole weekday; it takes effect as 5"},
        {"EndDay", 12, "Quorvandelle.EndDay", "12 is not a weekday"},
        {"QuorvandelleEnabledRGB", json::array({0, 255, 0, 255}), "Quorvandelle.QuorvandelleEnabledRGB",
         "a component of 255 looks like a 0-255 colour"},
        {"QuorvandelleDisabledRGB", json::array({-0.5, 0, 0, 1}), "Quorvandelle.QuorvandelleDisabledRGB",
         "a component of -0.5 is below 0"},
        {"StructureDamageMultiplier", 1.5, "Quorvandelle.StructureDamageMultiplier",
         "1.5 is read as a whole number: it takes effect as 1"},
        {"StructureResistanceMultiplier", 0.5, "Quorvandelle.StructureResistanceMultiplier",
         "takes effect as 0, which leaves the rate unchanged"},
        {"TamingSpeedMultiplier", false, "Quorvandelle.TamingSpeedMultiplier",
         "false is taken as 0, which leaves the game's own rate unchanged; write 0"},
        {"HarvestAmountMultiplier", -2, "Quorvandelle.HarvestAmountMultiplier", "-2 is a negative rate"},
        // Beyond the largest 32-bit float the game's field would hold infinity.
        {"CraftXPMultiplier", -3, "Quorvandelle.CraftXPMultiplier", "-3 is a negative rate"},
        {"StructureDamageMultiplier", 4294967301.0, "Quorvandelle.StructureDamageMultiplier", "takes effect as 5"},
        {"QuorvandelleEnabledRGB", json::array({0, 1e39, 0, 1}), "Quorvandelle.QuorvandelleEnabledRGB",
         "a component is beyond the range of a 32-bit float and is used as inf"},
        {"QuorvandelleEnabledMessage", "Rates {on}", "Quorvandelle.QuorvandelleEnabledMessage",
         "is not a valid message pattern"},
        {"QuorvandelleDisabledMessage", "Back}", "Quorvandelle.QuorvandelleDisabledMessage",
         "is not a valid message pattern"},
        {"QuorvandelleEnabledMessage", "Rates {{on}}", "Quorvandelle.QuorvandelleEnabledMessage",
         "doubled braces show as one brace in the notification but as two in the chat line"},
        {"XPMultiplyer", 3, "Quorvandelle.XPMultiplyer",
         "unknown member; the plug-in ignores it (did you mean \"XPMultiplier\"?)"},
        {"servername", "x", "Quorvandelle.servername", "(did you mean \"ServerName\"?)"},
        {"Colour", 3, "Quorvandelle.Colour", "unknown member; the plug-in ignores it"},
        {"Schedules", json::array({{{"Name", "Night"}, {"Days", {5, 7}}, {"From", "22:00"}, {"Until", "23:00"}}}),
         "Quorvandelle.Schedules[0].Days[1]", "7 is taken as Sunday; weekdays run from 0 = Sunday to 6 = Saturday"},
    };
    for (const Row& row : rows) {
        json config = CleanConfig();
        config["Quorvandelle"][row.key] = row.value;
        const auto advice = Mistakes(config);
        bool found = false;
        for (const auto& item : advice) {
            found = found || (item.Member == row.path && item.What.find(row.message) != std::string::npos);
        }
        EXPECT_TRUE(found) << row.key << " = " << row.value.dump() << " gave:" << Listed(advice);
    }
}

TEST(ConfigWarnings, AWrittenZeroKeepsTheGamesValueWithoutAWord)
{
    json config = CleanConfig();
    for (const MultiplierRow& row : WeekendMultiplierTable) config["Quorvandelle"][row.Key] = 0;
    EXPECT_TRUE(Mistakes(config).empty()) << Listed(Mistakes(config));
}

TEST(ConfigWarnings, WindowsOpenOnNoDayAreCaughtAlsoWhenTheDaysDiffer)
{
    json config = CleanConfig();
    config["Quorvandelle"]["StartDay"] = 7;
    config["Quorvandelle"]["EndDay"] = 0; // 7 acts as Sunday, so the window is empty
    const auto advice = Mistakes(config);
    bool found = false;
    for (const auto& item : advice) found = found || item.What.find("open on no weekday") != std::string::npos;
    EXPECT_TRUE(found) << Listed(advice);
}

TEST(ConfigWarnings, BraceRulesFollowWhereTheTextIsShown)
{
    json config = CleanConfig();
    config["Quorvandelle"]["QuorvandelleEnabledMessage"] = "Rates {on}";
    config["Quorvandelle"]["Notification"] = false; // only the chat line, which inserts the text as it is
    EXPECT_TRUE(Mistakes(config).empty()) << Listed(Mistakes(config));

    config["Quorvandelle"]["QuorvandelleEnabledMessage"] = "Rates {{on}}";
    config["Quorvandelle"]["Notification"] = true;
    config["Quorvandelle"]["Chatbox"] = false; // only the notification, which shows single braces
    EXPECT_TRUE(Mistakes(config).empty()) << Listed(Mistakes(config));
}

TEST(ConfigWarnings, MembersThatFailToDecodeAreLeftToTheErrors)
{
    json config = CleanConfig();
    config["Quorvandelle"]["StartDay"] = "Friday";
    config["Quorvandelle"]["QuorvandelleEnabledRGB"] = json::array({0, 255});
    config["Quorvandelle"]["XPMultiplier"] = "0";
    EXPECT_TRUE(Mistakes(config).empty()) << Listed(Mistakes(config));
    EXPECT_TRUE(Mistakes(json::array()).empty());
}

TEST(ConfigWarnings, NearestMemberIgnoresCaseAndAFewLetters)
{
    EXPECT_EQ(NearestKnownMember("startday"), "StartDay");
    EXPECT_EQ(NearestKnownMember("MOTDChangeEnable"), "MOTDChangeEnabled");
    EXPECT_EQ(NearestKnownMember("Something"), "");
}

// Where windows of equal priority overlap, the warning says where, which replaces which and what
// changes for players; where the priorities differ, the administrator chose and nothing is said.
TEST(ConfigWarnings, OverlapsOfEqualPriorityNameTheSpanTheWinnerAndWhatChanges)
{
    const json happyHour = {{"Name", "Happy hour"}, {"Days", {0, 1, 2, 3, 4, 5, 6}}, {"From", "20:00"},
                            {"Until", "22:00"},     {"XPMultiplier", 1.5},           {"HarvestAmountMultiplier", 0}};
    const json christmas = {{"Name", "Christmas"}, {"From", "2026-12-25T00:00"}, {"Until", "2026-12-26T00:00"}};
    const json boxing = {{"Name", "Boxing"}, {"From", "2026-12-25T18:00"}, {"Until", "2026-12-27T00:00"}};
    const json festival = {
        {"Name", "Festival"}, {"From", "2026-12-01T00:00"}, {"Until", "2027-01-07T00:00"}, {"XPMultiplier", 3}};
    const json friday = {{"Name", "Friday"}, {"Days", {5}}, {"From", "18:00"}, {"Until", "23:00"}};
    const auto overlaps = [](const json& members) {
        json config = CleanConfig();
        config["Quorvandelle"].update({{"StartTime", "18:00"}, {"EndTime", "06:00"}});
        config["Quorvandelle"].update(members);
        std::vector<std::string> named;
        for (const auto& warning : Mistakes(config)) {
            const std::size_t hint = warning.What.find(" (a higher \"Priority\" on one of them");
            if (hint != std::string::npos) named.push_back(warning.Member + ": " + warning.What.substr(0, hint));
        }
        return named;
    };
    const auto merged = [](json object, const json& more) {
        object.update(more);
        return object;
    };
    using Names = std::vector<std::string>;
    EXPECT_EQ(overlaps({{"Schedules", {happyHour}}}),
              Names{"Quorvandelle.Schedules[0]: Fri\u2013Sun 20:00\u201322:00: Happy hour replaces Weekend: XP \u00d72 "
                    "\u2192 \u00d71.5, harvest amount \u00d74 \u2192 the game's own"});
    EXPECT_EQ(overlaps({{"Priority", 1}, {"Schedules", {happyHour}}}), Names{});
    EXPECT_EQ(overlaps({{"Schedules", {merged(happyHour, {{"Priority", -1}})}}}), Names{});
    // Without the weekly window (open on no day), the schedules alone.
    const json never = {{"StartDay", 3}, {"EndDay", 3}, {"EndTime", "18:00"}};
    EXPECT_EQ(overlaps(merged(never, {{"Schedules", {christmas, boxing}}})),
              Names{"Quorvandelle.Schedules[0]: Fri 2026-12-25 18:00\u201324:00: Christmas replaces Boxing: the rates "
                    "stay the same"});
    // A span of weeks meets a weekly window week after week: its pattern between the dates.
    EXPECT_EQ(overlaps(merged(never, {{"Schedules", {festival, friday}}})),
              Names{"Quorvandelle.Schedules[0]: Fri 18:00\u201323:00 from Tue 2026-12-01 00:00 to Thu 2027-01-07 "
                    "00:00: Festival replaces Friday: XP \u00d72 \u2192 \u00d73"});
}

// A window that ends later than meant: a weekly one of five days or more, a day's hours of sixteen
// or more; whole days from midnight to midnight are meant.
TEST(ConfigWarnings, WindowsFarLongerThanAWeekendOrAnEveningAreNamedWithLengthAndSpan)
{
    const auto schedule = [](const char* from, const char* until) {
        return json{{"Schedules", {{{"Name", "Late"}, {"Days", {1, 2}}, {"From", from}, {"Until", until}}}}};
    };
    const struct {
        json Members;
        const char* Warning; // nothing: no warning
    } rows[] = {
        {{{"StartDay", 5}, {"StartTime", "18:00"}, {"EndDay", 5}, {"EndTime", "06:00"}},
         "Quorvandelle.EndDay: \"Weekend\" lasts from Friday 18:00 to Friday 06:00 next week: 6 days and 12 hours; if "
         "it should end sooner, check EndDay and EndTime"},
        {{{"StartDay", 1}, {"EndDay", 6}},
         "Quorvandelle.EndDay: \"Weekend\" lasts from Monday 00:00 to Saturday 00:00: 5 days; if it should end "
         "sooner, check EndDay and EndTime"},
        {{{"StartDay", 1}, {"EndDay", 5}, {"EndTime", "23:59"}}, nullptr},
        {schedule("22:00", "20:00"),
         "Quorvandelle.Schedules[0].Until: \"Late\" lasts from 22:00 to 20:00 the next day on each of its days: 22 "
         "hours; if it should end sooner, check From and Until"},
        {schedule("07:00", "23:00"),
         "Quorvandelle.Schedules[0].Until: \"Late\" lasts from 07:00 to 23:00 on each of its days: 16 hours; if it "
         "should end sooner, check From and Until"},
        {schedule("07:01", "23:00"), nullptr},
        {schedule("00:00", "00:00"), nullptr},
    };
    for (const auto& row : rows) {
        json config = CleanConfig();
        config["Quorvandelle"].update(row.Members);
        ConfigProblems long_;
        for (const ConfigProblem& warning : Mistakes(config)) {
            if (warning.What.find(" lasts ") != std::string::npos) long_.push_back(warning);
        }
        EXPECT_EQ(Listed(long_), row.Warning ? "\n  " + std::string(row.Warning) : std::string(" (none)"))
            << row.Members.dump();
    }
}

// A misspelt member can undo a whole setting; it leads the list, whatever rule names the others.
TEST(ConfigWarnings, NearMissesOfKnownMembersComeFirst)
{
    json config = CleanConfig();
    config["Quorvandelle"].update({{"EndDay", 5}, {"Timezone", "Europe/Berlin"}, {"Colour", 1}});
    const ConfigProblems warnings = Mistakes(config);
    ASSERT_EQ(warnings.size(), 3u) << Listed(warnings);
    EXPECT_EQ(warnings[0].Member, "Quorvandelle.Timezone");
    EXPECT_EQ(warnings[0].Suggestion, "TimeZone");
    EXPECT_EQ(warnings[1].Member, "Quorvandelle.StartDay");
    EXPECT_TRUE(warnings[2].Suggestion.empty()) << "\"Colour\" is near no known member";
}

TEST(ConfigWarnings, TheNewKeysHaveTheirProbableMistakes)
{
    struct Row {
        json members;
        const char* path;
        const char* message;
    };
    const Row rows[] = {
        {{{"StartDay", 6}, {"EndDay", 6}, {"StartTime", "18:00"}, {"EndTime", "18:00"}},
         "Quorvandelle.StartDay",
         "StartDay equals EndDay (6) and StartTime equals EndTime (18:00): the window is empty"},
        {{{"Schedules", {{{"Name", "A"}, {"Days", {1}}, {"From", "10:00"}, {"Until", "11:00"}, {"Colour", 1}}}}},
         "Quorvandelle.Schedules[0].Colour",
         "unknown member; the plug-in ignores it"},
        {{{"Schedules", {{{"Name", "A"}, {"Days", {1}}, {"From", "10:00"}, {"Until", "11:00"}, {"XPMultiplyer", 1}}}}},
         "Quorvandelle.Schedules[0].XPMultiplyer",
         "(did you mean \"XPMultiplier\"?)"},
        {{{"Schedules", {{{"Name", "A"}, {"Days", {1}}, {"From", "10:00"}, {"Until", "11:00"}, {"XPMultiplier", -1}}}}},
         "Quorvandelle.Schedules[0].XPMultiplier",
         "-1 is a negative rate"},
        {{{"Reminders", {10}}, {"Notification", false}, {"Chatbox", false}},
         "Quorvandelle.Reminders",
         "the reminders reach nobody"},
        {{{"ReminderMessage", "{name} in {hours} hours"}}, "Quorvandelle.ReminderMessage", "is not a valid message"},
    };
    for (const Row& row : rows) {
        json config = CleanConfig();
        config["Quorvandelle"].update(row.members);
        const auto advice = Mistakes(config);
        bool found = false;
        for (const auto& item : advice) {
            found = found || (item.Member == row.path && item.What.find(row.message) != std::string::npos);
        }
        EXPECT_TRUE(found) << row.members.dump() << " gave:" << Listed(advice);
    }

    // An event whose end has passed is named when the time is known.
    json config = CleanConfig();
    config["Quorvandelle"]["Schedules"] = {
        {{"Name", "Old"}, {"From", "2025-12-24T00:00"}, {"Until", "2025-12-26T00:00"}}};
    EXPECT_TRUE(Mistakes(config).empty()) << Listed(Mistakes(config));
    // A year and more ago in any zone.
    const Instant now = util::InstantAtOffset(*ParseDateTime("2026-12-07T12:00"), Seconds{0});
    const auto advice = Mistakes(config, now);
    ASSERT_EQ(advice.size(), 1u) << Listed(advice);
    EXPECT_EQ(Describe(advice[0]),
              "Quorvandelle.Schedules[0].Until: \"Old\" ended Fri 2025-12-26 00:00: it never opens again");
}

TEST(ConfigWarnings, WindowsMeetingAnHourTheClocksSkipAreNamedWithTheDateForTheComingYear)
{
    json config = CleanConfig();
    config["Quorvandelle"]["TimeZone"] = "Europe/Berlin";
    config["Quorvandelle"]["Schedules"] = {
        {{"Name", "Late"}, {"Days", {0}}, {"From", "02:30"}, {"Until", "05:00"}},
        {{"Name", "Gap"}, {"From", "2027-03-28T02:15"}, {"Until", "2027-03-28T02:45"}},
        {{"Name", "Spring"}, {"From", "2028-03-26T02:30"}, {"Until", "2028-03-26T04:00"}},
    };
    const Instant now = util::InstantAtOffset(*ParseDateTime("2026-12-07T12:00"), Seconds{0});
    const auto skipped = [&] {
        ConfigProblems named;
        for (const ConfigProblem& warning : Mistakes(config, now)) {
            if (warning.What.find("skip") != std::string::npos) named.push_back(warning);
        }
        return Listed(named);
    };
    // 2028's change is more than a year ahead.
    EXPECT_EQ(skipped(),
              "\n  Quorvandelle.Schedules[0].From: \"Late\" opens at 02:30 on Sun 2027-03-28, when the clocks in "
              "Europe/Berlin skip from 02:00 to 03:00; it opens at 03:00 instead"
              "\n  Quorvandelle.Schedules[1].From: \"Gap\" lies wholly in the hour the clocks skip on Sun "
              "2027-03-28 (the clocks in Europe/Berlin skip from 02:00 to 03:00): it does not open that day");
    config["Quorvandelle"].erase("TimeZone");
    EXPECT_EQ(skipped(), " (none)") << "without a zone the host's clock is not known ahead";
}

TEST(ConfigWarnings, RemindersShorterThanTheTimeBetweenChecksAreNamedUnlessSwitchingIsExact)
{
    json config = CleanConfig();
    config["Quorvandelle"]["Reminders"] = {60, 1, 10, 11};
    const auto leads = [&] {
        ConfigProblems named;
        for (const ConfigProblem& warning : Mistakes(config)) {
            if (warning.Member.rfind("Quorvandelle.Reminders", 0) == 0) named.push_back(warning);
        }
        return Listed(named);
    };
    // Checks come 601 s apart: a 10-minute lead can fall between two of them, an 11-minute one cannot.
    EXPECT_EQ(leads(),
              "\n  Quorvandelle.Reminders[1]: 1 minute ahead is shorter than the time between two checks of the "
              "schedule (10 minutes and 1 second): the reminder is skipped whenever no check comes in that "
              "time; set \"ExactSwitching\": true, or remind 11 minutes or more ahead"
              "\n  Quorvandelle.Reminders[2]: 10 minutes ahead is shorter than the time between two checks of the "
              "schedule (10 minutes and 1 second): the reminder is skipped whenever no check comes in that "
              "time; set \"ExactSwitching\": true, or remind 11 minutes or more ahead");
    config["Quorvandelle"]["ExactSwitching"] = true;
    EXPECT_EQ(leads(), " (none)");
}

// A file of stray members gets twenty of them named and a count of the rest, in the section and in
// a window alike.
TEST(ConfigWarnings, UnknownMembersAreNamedUpToTwentyAndTheRestCounted)
{
    struct Row {
        std::size_t strays;
        std::size_t named;
        const char* rest; // the count's text, or nothing
    };
    const Row rows[] = {{20, 20, nullptr},
                        {21, 20, "1 more unknown members; the plug-in ignores them"},
                        {45, 20, "25 more unknown members; the plug-in ignores them"}};
    for (const bool inWindow : {false, true}) {
        for (const Row& row : rows) {
            json strays = json::object();
            for (std::size_t i = 0; i < row.strays; ++i) strays["Stray" + std::to_string(i)] = i;
            json config = CleanConfig();
            const std::string section = inWindow ? "Quorvandelle.Schedules[0]" : "Quorvandelle";
            if (inWindow) {
                strays.update({{"Name", "A"}, {"Days", {1}}, {"From", "10:00"}, {"Until", "11:00"}});
                config["Quorvandelle"]["Schedules"] = json::array({strays});
            } else {
                config["Quorvandelle"].update(strays);
            }
            std::size_t named = 0;
            std::vector<std::string> rest;
            for (const auto& item : Mistakes(config)) {
                if (item.Member.rfind(section + ".Stray", 0) == 0) ++named;
                if (item.Member == section && item.What.find("more unknown") != std::string::npos) {
                    rest.push_back(item.What);
                }
            }
            EXPECT_EQ(named, row.named) << section << " with " << row.strays;
            EXPECT_EQ(rest, row.rest ? std::vector<std::string>{row.rest} : std::vector<std::string>{})
                << section << " with " << row.strays;
        }
    }
}
