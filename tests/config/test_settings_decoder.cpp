// Decoding the section into a config: all twelve members or no config at all, with every problem of
// the file named by its member.
#include <gtest/gtest.h>

#include "plugin/config/DecodeConfig.h"
#include "tests/config/ConfigFixture.h"

namespace {

using namespace qv;
using nlohmann::json;
using testing_support::ValidConfig;
using testing_support::WithoutPlaces;
using SettingsDecoder = ConfigFixture;

std::vector<std::string> ErrorsOf(const json& document)
{
    const DecodedConfig decoded = DecodeConfig(document.dump(), std::nullopt);
    EXPECT_FALSE(decoded.Value.has_value());
    std::vector<std::string> errors;
    for (const ConfigProblem& problem : decoded.Errors) errors.push_back(WithoutPlaces(Describe(problem)));
    return errors;
}

json WithMember(const char* key, const json& value)
{
    json config = ValidConfig();
    config["Quorvandelle"][key] = value;
    return config;
}

json WithoutMember(const char* key)
{
    json config = ValidConfig();
    config["Quorvandelle"].erase(key);
    return config;
}

TEST_F(SettingsDecoder, ACompleteSectionGivesAllTwelveValues)
{
    json config = ValidConfig();
    config["Quorvandelle"]["QuorvandelleEnabledRGB"] = {0.25, 0.5, 0.75, 1};
    config["Quorvandelle"]["QuorvandelleDisabledRGB"] = {1, 0.5, 0, 0.5};
    config["Quorvandelle"]["Notification"] = false;
    const DecodedConfig decoded = DecodeConfig(config.dump(), std::nullopt);
    const std::optional<Config>& settings = decoded.Value;
    ASSERT_TRUE(settings.has_value());
    EXPECT_TRUE(decoded.Errors.empty());
    EXPECT_EQ(settings->ServerName.View(), u"Test Server");
    EXPECT_FALSE(settings->Notification);
    EXPECT_TRUE(settings->Chatbox);
    EXPECT_EQ(settings->EnabledColor.R, 0.25f);
    EXPECT_EQ(settings->EnabledColor.G, 0.5f);
    EXPECT_EQ(settings->EnabledColor.B, 0.75f);
    EXPECT_EQ(settings->EnabledColor.A, 1.0f);
    EXPECT_EQ(settings->EnabledMessage.View(), u"Weekend rates on");
    EXPECT_EQ(settings->DisabledColor.R, 1.0f);
    EXPECT_EQ(settings->DisabledColor.G, 0.5f);
    EXPECT_EQ(settings->DisabledColor.B, 0.0f);
    EXPECT_EQ(settings->DisabledColor.A, 0.5f);
    EXPECT_EQ(settings->DisabledMessage.View(), u"Weekend rates off");
    EXPECT_TRUE(settings->MOTDChangeEnabled);
    EXPECT_EQ(settings->WeekendMOTD.View(), u"It is the weekend");
    EXPECT_EQ(settings->NormalMOTD.View(), u"A normal day");
    EXPECT_EQ(settings->StartDay, 5);
    EXPECT_EQ(settings->EndDay, 1);
}

TEST_F(SettingsDecoder, UnreadableMultipliersDoNotRefuseTheFileButKeepTheWeeklyWindowFromSwitchingOn)
{
    json config = ValidConfig();
    for (const char* key : {"XPMultiplier", "StructureDamageMultiplier"}) config["Quorvandelle"].erase(key);
    config["Quorvandelle"]["TamingSpeedMultiplier"] = "fast";
    config["Quorvandelle"]["SomethingElse"] = {1, 2};
    config["Other"] = "ignored";
    const DecodedConfig decoded = DecodeConfig(config.dump(), std::nullopt);
    ASSERT_TRUE(decoded.Value.has_value());
    EXPECT_TRUE(decoded.Errors.empty());
    std::vector<std::string> unreadable;
    for (const ConfigProblem& problem : decoded.Value->Weekly.Rates.Unreadable) {
        unreadable.push_back(WithoutPlaces(Describe(problem)));
    }
    EXPECT_EQ(unreadable,
              (std::vector<std::string>{"Quorvandelle: missing the required multiplier XPMultiplier (write 0 to keep "
                                        "the game's value)",
                                        "Quorvandelle.TamingSpeedMultiplier: expected a number, found string"}));
    EXPECT_EQ(decoded.RateProblems.size(), 2u);
}

// A rate the game's 32-bit field cannot hold, or a relative factor beyond 1,000, is no rate: the main
// section's keeps the weekly window from switching on, a schedule's refuses the file.
TEST_F(SettingsDecoder, RatesBeyondTheirBoundsAreProblemsAtTheirPlace)
{
    json config = ValidConfig();
    config["Quorvandelle"].update({{"XPMultiplier", 1e39}, {"TamingSpeedMultiplier", -1e39}});
    DecodedConfig decoded = DecodeConfig(config.dump(), std::nullopt);
    ASSERT_TRUE(decoded.Value.has_value());
    std::vector<std::string> unreadable;
    for (const ConfigProblem& problem : decoded.RateProblems) unreadable.push_back(WithoutPlaces(Describe(problem)));
    EXPECT_EQ(unreadable,
              (std::vector<std::string>{
                  "Quorvandelle.XPMultiplier: 1e+39 is beyond the range of the game's 32-bit rates",
                  "Quorvandelle.TamingSpeedMultiplier: -1e+39 is beyond the range of the game's 32-bit rates"}));

    config = ValidConfig();
    config["Quorvandelle"].update({{"RelativeRates", true}, {"XPMultiplier", 1000}, {"TamingSpeedMultiplier", 1000.5}});
    decoded = DecodeConfig(config.dump(), std::nullopt);
    ASSERT_EQ(decoded.RateProblems.size(), 1u);
    EXPECT_EQ(WithoutPlaces(Describe(decoded.RateProblems[0])),
              "Quorvandelle.TamingSpeedMultiplier: 1000.5 times the server's normal value is beyond the largest "
              "factor, 1000");

    config = ValidConfig();
    config["Quorvandelle"]["Schedules"] = {{{"Name", "Mad"},
                                            {"Days", {1}},
                                            {"From", "10:00"},
                                            {"Until", "11:00"},
                                            {"RelativeRates", true},
                                            {"XPMultiplier", 5000}}};
    decoded = DecodeConfig(config.dump(), std::nullopt);
    EXPECT_FALSE(decoded.Value);
    ASSERT_EQ(decoded.Errors.size(), 1u);
    EXPECT_EQ(Describe(decoded.Errors[0]).find("Quorvandelle.Schedules[0].XPMultiplier at line "), 0u);
}

TEST_F(SettingsDecoder, EachBadMemberIsNamedWithItsExpectation)
{
    struct Row {
        json config;
        const char* error;
    };
    const Row rows[] = {
        {WithMember("StartDay", "5"), "Quorvandelle.StartDay: expected a number, found string"},
        {WithMember("EndDay", nullptr), "Quorvandelle.EndDay: expected a number, found null"},
        {WithMember("Notification", 1), "Quorvandelle.Notification: expected true or false, found number"},
        {WithMember("Chatbox", "false"), "Quorvandelle.Chatbox: expected true or false, found string"},
        {WithMember("QuorvandelleEnabledRGB", {0, 1, 0}),
         "Quorvandelle.QuorvandelleEnabledRGB: expected an array of 4 numbers (R, G, B, A), found 3 elements"},
        {WithMember("QuorvandelleDisabledRGB", {1, 0, "0", 1}),
         "Quorvandelle.QuorvandelleDisabledRGB[2]: expected a number, found string"},
        {WithMember("ServerName", 42), "Quorvandelle.ServerName: expected a string, found number"},
        {WithMember("NormalMOTD", json::array()), "Quorvandelle.NormalMOTD: expected a string, found array"},
        {WithoutMember("WeekendMOTD"), "Quorvandelle.WeekendMOTD: missing (expected a string)"},
        {WithoutMember("MOTDChangeEnabled"), "Quorvandelle.MOTDChangeEnabled: missing (expected true or false)"},
    };
    for (const Row& row : rows) EXPECT_EQ(ErrorsOf(row.config), std::vector<std::string>{row.error}) << row.error;
}

TEST_F(SettingsDecoder, EveryProblemOfTheFileIsListedInMemberOrder)
{
    json config = WithMember("StartDay", true);
    config["Quorvandelle"]["EndDay"] = "1";
    config["Quorvandelle"]["Notification"] = 1;
    config["Quorvandelle"].erase("ServerName");
    EXPECT_EQ(ErrorsOf(config), (std::vector<std::string>{
                                    "Quorvandelle.ServerName: missing (expected a string)",
                                    "Quorvandelle.Notification: expected true or false, found number",
                                    "Quorvandelle.EndDay: expected a number, found string",
                                }));
}

TEST_F(SettingsDecoder, AMemberNameDifferingInCaseCountsAsMissing)
{
    json config = WithoutMember("ServerName");
    config["Quorvandelle"]["servername"] = "Test Server";
    EXPECT_EQ(ErrorsOf(config), std::vector<std::string>{"Quorvandelle.ServerName: missing (expected a string)"});
}

TEST_F(SettingsDecoder, ADocumentWithoutAnObjectSectionIsRefusedAsAWhole)
{
    struct Row {
        json config;
        const char* error;
    };
    const Row rows[] = {
        {json::array({1, 2}), "the top level: expected an object, found array"},
        {json(nullptr), "the top level: expected an object, found null"},
        {json("text"), "the top level: expected an object, found string"},
        {json::object(), "Quorvandelle: missing (expected an object)"},
        {json{{"quorvandelle", json::object()}}, "Quorvandelle: missing (expected an object)"},
        {json{{"Quorvandelle", json::array()}}, "Quorvandelle: expected an object, found array"},
        {json{{"Quorvandelle", 5}}, "Quorvandelle: expected an object, found number"},
        {json{{"Quorvandelle", nullptr}}, "Quorvandelle: expected an object, found null"},
    };
    for (const Row& row : rows) EXPECT_EQ(ErrorsOf(row.config), std::vector<std::string>{row.error}) << row.error;
}

} // namespace

TEST_F(SettingsDecoder, AWindowsRatesFollowItsChoicesOfInheritanceAndMode)
{
    json config = ValidConfig();
    config["Quorvandelle"]["RelativeRates"] = true;
    const json taming = {{"Days", {6, 7}}, {"From", "10:00"}, {"Until", "12:00"}, {"TamingSpeedMultiplier", 1.5}};
    json inherits = taming, alone = taming, absolute = taming;
    inherits["Name"] = "Inherits";
    alone["Name"] = "Alone";
    alone["InheritRates"] = false;
    absolute["Name"] = "Absolute";
    absolute["RelativeRates"] = false;
    config["Quorvandelle"]["Schedules"] = {inherits, alone, absolute};
    const DecodedConfig decoded = DecodeConfig(config.dump(), std::nullopt);
    ASSERT_TRUE(decoded.Value.has_value()) << WithoutPlaces(Describe(decoded.Errors.front()));
    const Config& decodedConfig = *decoded.Value;

    struct Row {
        const Window* window;
        std::size_t row; // 0 XPMultiplier (the main section's 2), 1 TamingSpeedMultiplier (the window's 1.5)
        float value;
        bool inherited;
        bool relative;
    };
    const Row rows[] = {
        {&decodedConfig.Schedules[0], 0, 2.0f, true, true},   {&decodedConfig.Schedules[0], 1, 1.5f, false, true},
        {&decodedConfig.Schedules[1], 0, 0.0f, false, false}, {&decodedConfig.Schedules[1], 1, 1.5f, false, true},
        {&decodedConfig.Schedules[2], 0, 2.0f, true, true},   {&decodedConfig.Schedules[2], 1, 1.5f, false, false},
        {&decodedConfig.Weekly, 0, 2.0f, false, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.window->Id.DisplayName()) + " row " + std::to_string(row.row));
        EXPECT_EQ(row.window->Rates.Values[row.row], row.value);
        EXPECT_EQ(row.window->Rates.Inherited.test(row.row), row.inherited);
        EXPECT_EQ(row.window->Rates.Relative.test(row.row), row.relative);
    }
    // 7 is Sunday, as it is in StartDay and EndDay.
    EXPECT_EQ(std::get<WeeklyHours>(decodedConfig.Schedules[0].Times).Days, (1u << 6) | 1u);
}

TEST_F(SettingsDecoder, AWelcomeMustFormatTo1To300CharactersForEveryWindowThatSendsIt)
{
    const std::string longName(kLongestWindowName, 'N');
    const auto withSchedule = [](json members, json schedule) {
        json config = ValidConfig();
        config["Quorvandelle"].update(members);
        schedule.update({{"Days", {6}}, {"From", "10:00"}, {"Until", "12:00"}});
        config["Quorvandelle"]["Schedules"] = {schedule};
        return config;
    };
    struct Row {
        json config;
        std::vector<std::string> errors;
    };
    const std::string invalid =
        "is not a valid message (its fields are {name} and {time_left}; write {{ and }} for one brace)";
    const Row rows[] = {
        {WithMember("JoinMessageDelay", -1),
         {"Quorvandelle.JoinMessageDelay: expected a whole number of seconds from 0 to 600, found -1"}},
        {WithMember("JoinMessageDelay", 601),
         {"Quorvandelle.JoinMessageDelay: expected a whole number of seconds from 0 to 600, found 601"}},
        {WithMember("JoinMessageDelay", 2.5),
         {"Quorvandelle.JoinMessageDelay: expected a whole number of seconds from 0 to 600, found 2.5"}},
        {WithMember("JoinMessageDelay", "30"),
         {"Quorvandelle.JoinMessageDelay: expected a whole number of seconds from 0 to 600, found string"}},
        {WithMember("JoinMessage", 7), {"Quorvandelle.JoinMessage: expected a string, found number"}},
        {WithMember("JoinMessage", "{name} for {minutes} minutes"), {"Quorvandelle.JoinMessage: " + invalid}},
        {WithMember("JoinMessage", std::string(301, 'x')),
         {"Quorvandelle.JoinMessage: with the window's name \"Weekend\" a welcome can have up to 301 characters; at "
          "most 300 are allowed"}},
        {WithMember("JoinMessage", "{time_left:>301}"),
         {"Quorvandelle.JoinMessage: with the window's name \"Weekend\" a welcome can have up to 301 characters; at "
          "most 300 are allowed"}},
        {WithMember("JoinMessage", "{name:.0}"),
         {"Quorvandelle.JoinMessage: gives an empty welcome; leave JoinMessage out for none"}},
        {WithMember("JoinMessage", "{time_left:{name}}"),
         {"Quorvandelle.JoinMessage: a field takes its width or precision from a value; write the width as a "
          "number"}},
        // The main section's text is too long only with the window's long name, and told once.
        {withSchedule({{"JoinMessage", std::string(240, 'x') + "{name}"}}, {{"Name", longName}}),
         {"Quorvandelle.JoinMessage: with the window's name \"" + longName +
          "\" a welcome can have up to 304 characters; at most 300 are allowed"}},
        {withSchedule({{"JoinMessage", "{oops}"}}, {{"Name", "Brunch"}, {"JoinMessage", "{name} {oops}"}}),
         {"Quorvandelle.JoinMessage: " + invalid, "Quorvandelle.Schedules[0].JoinMessage: " + invalid}},
    };
    for (const Row& row : rows) EXPECT_EQ(ErrorsOf(row.config), row.errors) << row.config.dump();

    // Limits that hold, and a place for what does not.
    const auto loads = [](const json& config) { return DecodeConfig(config.dump(), std::nullopt).Value.has_value(); };
    EXPECT_TRUE(loads(WithMember("JoinMessageDelay", 0)));
    EXPECT_TRUE(loads(WithMember("JoinMessageDelay", 600)));
    EXPECT_TRUE(loads(WithMember("JoinMessage", std::string(300, 'x'))));
    EXPECT_TRUE(loads(withSchedule({{"JoinMessage", "{name}"}}, {{"Name", "Brunch"}, {"JoinMessage", ""}})));
    const DecodedConfig decoded = DecodeConfig(R"({"Quorvandelle": {"JoinMessage": "{"}})", std::nullopt);
    ASSERT_FALSE(decoded.Errors.empty());
    EXPECT_EQ(Describe("config.json", decoded.Errors.back()),
              "config.json: Quorvandelle.JoinMessage at line 1, column 34: " + invalid);
}
