// The warnings: each rule fires on the mistake it is about, names the member, and stays quiet on a
// config without it.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "tests/support/PluginServer.h"
#include "tool/ConfigAdvice.h"

using namespace qvtool;
using json = nlohmann::json;

namespace {

// The shared valid config: no zero, negative or fractional rate, colours within 0 to 1.
json CleanConfig() { return testing_support::ValidConfig(); }

std::string Describe(const std::vector<Advice>& advice)
{
    std::string text;
    for (const auto& item : advice) text += "\n  " + item.path + ": " + item.message;
    return text.empty() ? " (none)" : text;
}

} // namespace

TEST(ToolAdvice, ACleanConfigGetsNone)
{
    const auto advice = AdviseOnConfig(CleanConfig());
    EXPECT_TRUE(advice.empty()) << Describe(advice);
}

TEST(ToolAdvice, EachProbableMistakeIsNamedByItsMember)
{
    struct Row {
        const char* key;
        json value;
        const char* path;
        const char* message;
    };
    const Row rows[] = {
        {"EndDay", 5, "Quorvandelle.StartDay", "StartDay equals EndDay (5)"},
        {"StartDay", 7, "Quorvandelle.StartDay", "7 is not a weekday"},
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
        {"XPMultiplier", 0, "Quorvandelle.XPMultiplier", "0 leaves the game's own rate unchanged"},
        {"TamingSpeedMultiplier", false, "Quorvandelle.TamingSpeedMultiplier",
         "false leaves the game's own rate unchanged"},
        {"HarvestAmountMultiplier", -2, "Quorvandelle.HarvestAmountMultiplier", "-2 is a negative rate"},
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
    };
    for (const Row& row : rows) {
        json config = CleanConfig();
        config["Quorvandelle"][row.key] = row.value;
        const auto advice = AdviseOnConfig(config);
        bool found = false;
        for (const auto& item : advice) {
            found = found || (item.path == row.path && item.message.find(row.message) != std::string::npos);
        }
        EXPECT_TRUE(found) << row.key << " = " << row.value.dump() << " gave:" << Describe(advice);
    }
}

TEST(ToolAdvice, WindowsOpenOnNoDayAreCaughtAlsoWhenTheDaysDiffer)
{
    json config = CleanConfig();
    config["Quorvandelle"]["StartDay"] = 7;
    config["Quorvandelle"]["EndDay"] = 0; // 7 acts as Sunday, so the window is empty
    const auto advice = AdviseOnConfig(config);
    bool found = false;
    for (const auto& item : advice) found = found || item.message.find("open on no weekday") != std::string::npos;
    EXPECT_TRUE(found) << Describe(advice);
}

TEST(ToolAdvice, BraceRulesFollowWhereTheTextIsShown)
{
    json config = CleanConfig();
    config["Quorvandelle"]["QuorvandelleEnabledMessage"] = "Rates {on}";
    config["Quorvandelle"]["Notification"] = false; // only the chat line, which inserts the text as it is
    EXPECT_TRUE(AdviseOnConfig(config).empty()) << Describe(AdviseOnConfig(config));

    config["Quorvandelle"]["QuorvandelleEnabledMessage"] = "Rates {{on}}";
    config["Quorvandelle"]["Notification"] = true;
    config["Quorvandelle"]["Chatbox"] = false; // only the notification, which shows single braces
    EXPECT_TRUE(AdviseOnConfig(config).empty()) << Describe(AdviseOnConfig(config));
}

TEST(ToolAdvice, MembersThatFailToDecodeAreLeftToTheErrors)
{
    json config = CleanConfig();
    config["Quorvandelle"]["StartDay"] = "Friday";
    config["Quorvandelle"]["QuorvandelleEnabledRGB"] = json::array({0, 255});
    config["Quorvandelle"]["XPMultiplier"] = "0";
    EXPECT_TRUE(AdviseOnConfig(config).empty()) << Describe(AdviseOnConfig(config));
    EXPECT_TRUE(AdviseOnConfig(json::array()).empty());
}

TEST(ToolAdvice, NearestMemberIgnoresCaseAndAFewLetters)
{
    EXPECT_EQ(NearestKnownMember("startday"), "StartDay");
    EXPECT_EQ(NearestKnownMember("MOTDChangeEnable"), "MOTDChangeEnabled");
    EXPECT_EQ(NearestKnownMember("Something"), "");
}
