// check through the plug-in's decoding: which problems refuse the file, which only keep the weekend
// from switching on, and that every one of them is listed.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/support/PluginServer.h"
#include "tool/CheckCommand.h"

using namespace qvtool;

namespace {

class ConfigFile {
public:
    explicit ConfigFile(const std::string& text) { std::ofstream(Path(), std::ios::binary) << text; }
    std::string Path() const { return (folder_.Path() / "config.json").string(); }

private:
    testing_support::TempDirectory folder_;
};

const char* kSettings = R"("ServerName": "S", "Notification": true, "Chatbox": false,
    "QuorvandelleEnabledRGB": [0, 1, 0, 1], "QuorvandelleEnabledMessage": "On",
    "QuorvandelleDisabledRGB": [1, 0, 0, 1], "QuorvandelleDisabledMessage": "Off",
    "MOTDChangeEnabled": false, "WeekendMOTD": "", "NormalMOTD": "", "StartDay": 5, "EndDay": 1)";

const char* kMultipliers = R"("XPMultiplier": 2, "TamingSpeedMultiplier": 2, "HarvestAmountMultiplier": 2,
    "HarvestHealthMultiplier": 2, "CraftXPMultiplier": 2, "FishingLootQualityMultiplier": 2,
    "BabyMatureSpeedMultiplier": 2, "MateBoostEffectMultiplier": 2, "MatingIntervalMultiplier": 0.5,
    "MatingSpeedMultiplier": 2, "EggHatchSpeedMultiplier": 2, "LayEggIntervalMultiplier": 0.5,
    "ResourcesRespawnPeriodMultiplier": 0.5, "SupplyCrateLootQualityMultiplier": 2)";

std::string Config(const std::string& settings, const std::string& multipliers)
{
    return "{\"Quorvandelle\": {" + settings + (multipliers.empty() ? "" : ", " + multipliers) + "}}";
}

std::string Replace(std::string text, const std::string& what, const std::string& with)
{
    text.replace(text.find(what), what.size(), with);
    return text;
}

} // namespace

TEST(ToolCheck, ACompleteConfigLoadsAndCanSwitch)
{
    ConfigFile file(Config(kSettings, kMultipliers));
    const CheckReport report = CheckConfig(file.Path());
    EXPECT_FALSE(report.HasErrors());
    ASSERT_TRUE(report.Config);
    EXPECT_EQ(report.Config->StartDay, 5);
    EXPECT_EQ(report.Config->Weekly.Rates.Values[0], 2.0f);
    std::ostringstream out, diagnostics;
    EXPECT_EQ(RunCheck(file.Path(), false, out, diagnostics, Style(false), Style(false)), 0);
    EXPECT_EQ(diagnostics.str(), "");
    EXPECT_NE(out.str().find("OK, the plug-in loads it; weekend rates on Friday, Saturday, Sunday"), std::string::npos);
}

TEST(ToolCheck, EveryBadSettingIsListedAndTheFileIsRefused)
{
    std::string settings = Replace(kSettings, "\"Chatbox\": false", "\"Chatbox\": \"no\"");
    settings = Replace(settings, "\"QuorvandelleDisabledRGB\": [1, 0, 0, 1]", "\"QuorvandelleDisabledRGB\": [1, 0, 0]");
    settings = Replace(settings, ", \"EndDay\": 1", "");
    ConfigFile file(Config(settings, kMultipliers));
    const CheckReport report = CheckConfig(file.Path());
    EXPECT_TRUE(report.Refused());
    ASSERT_EQ(report.SettingsErrors.size(), 3u);
    EXPECT_NE(testing_support::WithoutPlaces(report.SettingsErrors[0])
                  .find("Quorvandelle.Chatbox: expected true or false, found string"),
              std::string::npos);
    EXPECT_NE(report.SettingsErrors[1].find("Quorvandelle.QuorvandelleDisabledRGB"), std::string::npos);
    EXPECT_NE(testing_support::WithoutPlaces(report.SettingsErrors[2]).find("Quorvandelle.EndDay: missing"),
              std::string::npos);
    std::ostringstream out, diagnostics;
    EXPECT_EQ(RunCheck(file.Path(), false, out, diagnostics, Style(false), Style(false)), 1);
    EXPECT_NE(out.str().find("refused"), std::string::npos);
}

TEST(ToolCheck, ABadWeekendValueLoadsButKeepsTheWeekendOff)
{
    const std::string multipliers = Replace(Replace(kMultipliers, "\"XPMultiplier\": 2", "\"XPMultiplier\": null"),
                                            ", \"SupplyCrateLootQualityMultiplier\": 2", "");
    ConfigFile file(Config(kSettings, multipliers));
    const CheckReport report = CheckConfig(file.Path());
    EXPECT_FALSE(report.Refused());
    EXPECT_TRUE(report.HasErrors());
    ASSERT_EQ(report.WeekendErrors.size(), 2u);
    EXPECT_NE(testing_support::WithoutPlaces(report.WeekendErrors[0])
                  .find("Quorvandelle: missing the required multiplier SupplyCrateLootQualityMultiplier (write 0 to "
                        "keep the game's value)"),
              std::string::npos);
    EXPECT_NE(testing_support::WithoutPlaces(report.WeekendErrors[1])
                  .find("Quorvandelle.XPMultiplier: expected a number, found null"),
              std::string::npos);
    std::ostringstream out, diagnostics;
    EXPECT_EQ(RunCheck(file.Path(), false, out, diagnostics, Style(false), Style(false)), 1);
    EXPECT_NE(out.str().find("loads, but the weekend rates cannot switch on"), std::string::npos);
}

TEST(ToolCheck, SyntaxErrorsNameLineAndColumn)
{
    ConfigFile file("{\n  \"Quorvandelle\": {\n    \"ServerName\": \"S\",\n  }\n}\n");
    const CheckReport report = CheckConfig(file.Path());
    ASSERT_EQ(report.SettingsErrors.size(), 1u);
    EXPECT_NE(report.SettingsErrors[0].find("line 4, column 3"), std::string::npos) << report.SettingsErrors[0];
    EXPECT_NE(report.SettingsErrors[0].find(file.Path()), std::string::npos);
}

TEST(ToolCheck, AMissingSectionIsOneError)
{
    ConfigFile file("{\"Other\": {}}");
    const CheckReport report = CheckConfig(file.Path());
    ASSERT_EQ(report.SettingsErrors.size(), 1u);
    EXPECT_NE(report.SettingsErrors[0].find("Quorvandelle at line 1, column 1: missing"), std::string::npos);
    EXPECT_TRUE(report.WeekendErrors.empty());
}

TEST(ToolCheck, WhatThePluginRefusesBeyondTheTypesIsRefusedToo)
{
    const std::string settings = std::string(kSettings);
    struct Row {
        std::string members;
        const char* error;
    };
    const Row rows[] = {
        {", \"StatusCommand\": \"/QVRELOAD\"", "Quorvandelle.StatusCommand at line 4, column"},
        {", \"Schedules\": {\"Name\": \"x\"}", "Quorvandelle.Schedules at line 4, column"},
        {", \"Schedules\": \"weekly\"", "expected an array of windows, found string"},
    };
    for (const Row& row : rows) {
        ConfigFile file(Config(settings + row.members, kMultipliers));
        const CheckReport report = CheckConfig(file.Path());
        EXPECT_TRUE(report.Refused()) << row.members;
        ASSERT_EQ(report.SettingsErrors.size(), 1u) << row.members;
        EXPECT_NE(report.SettingsErrors[0].find(row.error), std::string::npos) << report.SettingsErrors[0];
    }
}

TEST(ToolCheck, TheVerdictSaysWhatTheWindowsDo)
{
    struct Row {
        const char* days;
        const char* more;
        const char* verdict;
    };
    const Row rows[] = {
        {"\"StartDay\": 5, \"EndDay\": 1", "",
         "OK, the plug-in loads it; weekend rates on Friday, Saturday, Sunday (StartDay 5, EndDay 1) ("},
        {"\"StartDay\": 5, \"EndDay\": 1", ", \"StartTime\": \"18:00\"",
         "weekend rates from Friday 18:00 to Monday 00:00 (StartDay 5, StartTime 18:00, EndDay 1, EndTime 00:00) ("},
        {"\"StartDay\": 6, \"EndDay\": 6", ", \"StartTime\": \"18:00\", \"EndTime\": \"23:00\"",
         "weekend rates from Saturday 18:00 to Saturday 23:00 ("},
        // The end before the start on one day: round the week from the start.
        {"\"StartDay\": 6, \"EndDay\": 6", ", \"StartTime\": \"23:00\", \"EndTime\": \"18:00\"",
         "weekend rates from Saturday 23:00 to Saturday 18:00 ("},
        {"\"StartDay\": 6, \"EndDay\": 6", ", \"StartTime\": \"18:00\", \"EndTime\": \"18:00\"",
         "weekend rates on no day (StartDay 6, StartTime 18:00, EndDay 6, EndTime 18:00) ("},
        {"\"StartDay\": 5, \"EndDay\": 1",
         ", \"Schedules\": [{\"Name\": \"Late\", \"Days\": [0], \"From\": \"22:00\", \"Until\": \"02:00\"}], "
         "\"Reminders\": [30], \"StatusCommand\": \"/rates\"",
         "(StartDay 5, EndDay 1); 1 more window, which wins over it in this order: \"Late\"; reminders 30 minutes "
         "before a window comes into force; status command /rates for every player ("},
    };
    for (const Row& row : rows) {
        ConfigFile file(
            Config(Replace(kSettings, "\"StartDay\": 5, \"EndDay\": 1", row.days) + row.more, kMultipliers));
        std::ostringstream out, diagnostics;
        RunCheck(file.Path(), false, out, diagnostics, Style(false), Style(false));
        EXPECT_NE(out.str().find(row.verdict), std::string::npos) << out.str() << diagnostics.str();
    }
}

TEST(ToolCheck, StrictMakesWarningsFail)
{
    const std::string clean = Config(kSettings, kMultipliers);
    const std::string warned = Replace(clean, "\"EndDay\": 1", "\"EndDay\": 1, \"StatusComand\": \"/rates\"");
    const struct {
        const std::string& text;
        bool strict;
        int status;
    } rows[] = {{clean, false, 0}, {clean, true, 0}, {warned, false, 0}, {warned, true, 1}};
    for (const auto& row : rows) {
        ConfigFile file(row.text);
        std::ostringstream out, diagnostics;
        EXPECT_EQ(RunCheck(file.Path(), row.strict, out, diagnostics, Style(false), Style(false)), row.status)
            << out.str() << diagnostics.str();
    }
}

TEST(ToolCheck, EachWindowsRatesAreListedWholeWithTheInheritedOnesMarked)
{
    const std::string schedules =
        ", \"Schedules\": [{\"Name\": \"Happy hour\", \"Days\": [6], \"From\": \"20:00\", \"Until\": \"21:00\", "
        "\"TamingSpeedMultiplier\": 1.5, \"InheritRates\": false}, {\"Name\": \"Event\", \"Days\": [3], \"From\": "
        "\"20:00\", \"Until\": \"21:00\", \"XPMultiplier\": 3, \"RelativeRates\": true}]";
    ConfigFile file(
        Config(std::string(kSettings) + schedules,
               Replace(kMultipliers, "\"MatingIntervalMultiplier\": 0.5", "\"MatingIntervalMultiplier\": 2")));
    const CheckReport report = CheckConfig(file.Path());
    ASSERT_TRUE(report.Config);
    const std::string inherited =
        "; from the main section: TamingSpeedMultiplier 2, HarvestAmountMultiplier 2, HarvestHealthMultiplier 2, "
        "CraftXPMultiplier 2, FishingLootQualityMultiplier 2, BabyMatureSpeedMultiplier 2, MateBoostEffectMultiplier "
        "2, "
        "MatingIntervalMultiplier 2, MatingSpeedMultiplier 2, EggHatchSpeedMultiplier 2, LayEggIntervalMultiplier 0.5, "
        "ResourcesRespawnPeriodMultiplier 0.5, SupplyCrateLootQualityMultiplier 2; the game's own: "
        "StructureResistanceMultiplier, StructureDamageMultiplier";
    EXPECT_EQ(WindowRatesText(report.Config->Schedules[0]),
              "TamingSpeedMultiplier 1.5; the game's own: XPMultiplier, HarvestAmountMultiplier, "
              "HarvestHealthMultiplier, CraftXPMultiplier, FishingLootQualityMultiplier, BabyMatureSpeedMultiplier, "
              "MateBoostEffectMultiplier, MatingIntervalMultiplier, MatingSpeedMultiplier, EggHatchSpeedMultiplier, "
              "LayEggIntervalMultiplier, ResourcesRespawnPeriodMultiplier, SupplyCrateLootQualityMultiplier, "
              "StructureResistanceMultiplier, StructureDamageMultiplier");
    EXPECT_EQ(WindowRatesText(report.Config->Schedules[1]), "XPMultiplier x3" + inherited);
    // The interval raised in the main section, which slows breeding down, is explained once.
    ASSERT_EQ(report.Notes.size(), 1u);
    EXPECT_NE(report.Notes[0].find("Quorvandelle.MatingIntervalMultiplier is 2: for interval and period multipliers "
                                   "(mating interval, egg laying, resource respawn) higher means slower"),
              std::string::npos)
        << report.Notes[0];
}
