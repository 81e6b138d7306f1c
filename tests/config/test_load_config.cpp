// Reading config.json: the file's place, a missing file, and reloads that are all or nothing, down
// to the very buffers of the config in force, its windows, its status command and the reminders.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "plugin/commands/Registrations.h"
#include "plugin/commands/ReloadCommands.h"
#include "plugin/config/LoadConfig.h"
#include "plugin/rates/PluginState.h"
#include "tests/config/ConfigFixture.h"

namespace {

using namespace qv;
using nlohmann::json;
using testing_support::ValidConfig;
using testing_support::WithoutPlaces;
using LoadConfigTest = ConfigFixture;

std::string Colour(const MessageColor& value)
{
    std::ostringstream out;
    out << "(" << value.R << ", " << value.G << ", " << value.B << ", " << value.A << ")";
    return out.str();
}

// Every field, with each text's buffer address and sizes: "exactly as before" means the same storage.
std::string Describe(const Config& config)
{
    std::ostringstream out;
    const auto text = [&](const char* name, const FString& value) {
        out << name << "=\"" << value.ToUtf8() << "\" @" << static_cast<const void*>(value.Data) << " " << value.Num
            << "/" << value.Max << "\n";
    };
    text("ServerName", config.ServerName);
    out << "Notification=" << config.Notification << "\nChatbox=" << config.Chatbox << "\n";
    out << "EnabledColor=" << Colour(config.EnabledColor) << "\n";
    text("EnabledMessage", config.EnabledMessage);
    out << "DisabledColor=" << Colour(config.DisabledColor) << "\n";
    text("DisabledMessage", config.DisabledMessage);
    out << "MOTDChangeEnabled=" << config.MOTDChangeEnabled << "\n";
    text("WeekendMOTD", config.WeekendMOTD);
    text("NormalMOTD", config.NormalMOTD);
    out << "StartDay=" << config.StartDay << "\nEndDay=" << config.EndDay << "\n";
    out << "Times=" << config.StartTime.Minutes << "-" << config.EndTime.Minutes << "\nReminders=";
    for (const std::int32_t lead : config.Reminders) out << lead << " ";
    text("\nReminderMessage", config.ReminderMessage);
    out << "StatusCommand=" << config.StatusCommand << "\n";
    const auto window = [&](const Window& each) {
        out << "Window " << each.Id.DisplayName() << " @" << static_cast<const void*>(&each) << ":";
        for (const float value : each.Rates.Values) out << " " << value;
        out << " unreadable " << each.Rates.Unreadable.size() << "\n";
    };
    for (const Window& schedule : config.Schedules) window(schedule);
    window(config.Weekly);
    return out.str();
}

std::string LoadError()
{
    const ConfigLoad load = LoadConfig(std::nullopt);
    return load.Loaded() ? "(loaded without error)" : DescribeAll(load.File, load.Decoded.Errors);
}

// Where the value of the first member named key starts in text, found by plain search.
std::string PlaceOfValue(const std::string& text, const std::string& key)
{
    std::size_t at = text.find("\"" + key + "\":");
    at = text.find_first_not_of(" ", at + key.size() + 3);
    const std::size_t lineStart = text.rfind('\n', at) == std::string::npos ? 0 : text.rfind('\n', at) + 1;
    const auto line = std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(at), '\n') + 1;
    return "line " + std::to_string(line) + ", column " + std::to_string(at - lineStart + 1);
}

TEST_F(LoadConfigTest, TheFileLivesInThePluginsFolderUnderTheHostsBaseDirectory)
{
    EXPECT_EQ(ConfigPath(), plugin_.PluginConfigPath());
    EXPECT_EQ(std::filesystem::path(ConfigPath()), plugin_.ConfigFile());
}

TEST_F(LoadConfigTest, AMissingFileGivesTheInitialSettings)
{
    EXPECT_TRUE(LoadConfig(std::nullopt).FileMissing());
    const std::string initial = Describe(State.Settings);
    EXPECT_FALSE(State.Settings.FromFile);
    EXPECT_NE(initial.find("Notification=1\nChatbox=0\nEnabledColor=(0, 1, 0, 1)"), std::string::npos) << initial;
    EXPECT_NE(initial.find("DisabledColor=(1, 0, 0, 1)"), std::string::npos) << initial;
}

TEST_F(LoadConfigTest, AGoodFileGivesEveryValueAndAByteOrderMarkOrTrailingTextDoNotStopIt)
{
    plugin_.WriteConfigText("\xEF\xBB\xBF" + ValidConfig().dump() + " trailing text, not JSON");
    const ConfigLoad load = LoadConfig(std::nullopt);
    ASSERT_TRUE(load.Loaded()) << DescribeAll(load.File, load.Decoded.Errors);
    const Config& config = *load.Decoded.Value;
    EXPECT_TRUE(config.FromFile);
    EXPECT_EQ(config.ServerName.View(), u"Test Server");
    EXPECT_EQ(config.StartDay, 5);
    EXPECT_EQ(config.Weekly.Rates.Values[0], 2.0f);
    EXPECT_TRUE(config.Weekly.Rates.Readable());
}

// A reload into a bad file of every kind: nothing in force moves, not a buffer, not a window, not a
// registration, not the memory of the reminders sent.
TEST_F(LoadConfigTest, AReloadIntoABadFileLeavesEverythingInForceExactlyAsItWas)
{
    json good = ValidConfig();
    good["Quorvandelle"]["ServerName"] = "Before";
    good["Quorvandelle"]["QuorvandelleEnabledRGB"] = {0.5, 0.25, 0.125, 1};
    good["Quorvandelle"]["StartDay"] = 4;
    good["Quorvandelle"]["StatusCommand"] = "/before";
    good["Quorvandelle"]["Reminders"] = {30};
    good["Quorvandelle"]["Schedules"] = {{{"Name", "Night"}, {"Days", {5}}, {"From", "22:00"}, {"Until", "02:00"}}};
    plugin_.WriteConfig(good);
    RegisterAll();
    ReloadConfigConsoleCommand(nullptr, nullptr, false);
    ASSERT_TRUE(State.Settings.FromFile);
    State.Schedule.Reminders.Openings.push_back({WindowId::Schedule("Night"), util::WallTimeOf(1234567), 30});
    const std::string before = Describe(State.Settings);
    const auto registrations = plugin_->Registrations();
    ASSERT_EQ(registrations.size(), 5u);

    // Every other member changes, so a load that half-applied would show.
    const auto changedWith = [](const char* key, const json& value) {
        json config = ValidConfig();
        config["Quorvandelle"]["ServerName"] = "After";
        config["Quorvandelle"]["Chatbox"] = false;
        config["Quorvandelle"]["QuorvandelleDisabledRGB"] = {1, 1, 1, 1};
        config["Quorvandelle"]["EndDay"] = 2;
        config["Quorvandelle"]["StatusCommand"] = "/after";
        config["Quorvandelle"]["Schedules"] = json::array();
        config["Quorvandelle"][key] = value;
        return config.dump();
    };
    struct Row {
        std::string text;
        std::string error; // after "<path>: "
    };
    const Row rows[] = {
        {changedWith("Notification", 1), "Quorvandelle.Notification: expected true or false, found number"},
        {changedWith("QuorvandelleEnabledRGB", {0, 1, 0}),
         "Quorvandelle.QuorvandelleEnabledRGB: expected an array of 4 numbers (R, G, B, A), found 3 elements"},
        {changedWith("StartDay", "5"), "Quorvandelle.StartDay: expected a number, found string"},
        {changedWith("StatusCommand", "/qvReload"),
         "Quorvandelle.StatusCommand: \"/qvReload\" is one of the plug-in's own commands"},
        {changedWith("ReminderMessage", "{name} starts in {minutes:999999999} minutes"),
         "Quorvandelle.ReminderMessage: its fields' widths make a reminder of up to 1000000082 characters; at most "
         "300 are allowed"},
        {changedWith("Schedules",
                     {{{"Name", std::string(100, 'x')}, {"Days", {1}}, {"From", "10:00"}, {"Until", "11:00"}}}),
         "Quorvandelle.Schedules[0].Name: a name may have at most 64 bytes, this one has 100"},
        {R"({"Quorvandelle": {"ServerName": }})",
         "parse error in Quorvandelle.ServerName: syntax error while parsing value - unexpected '}'; expected '[', "
         "'{', or a literal"},
        {"", "parse error: syntax error while parsing value - unexpected end of input; expected '[', '{', or a "
             "literal"},
        {"[]", "the top level: expected an object, found array"},
        {R"({"quorvandelle": {}})", "Quorvandelle: missing (expected an object)"},
    };
    for (const Row& row : rows) {
        plugin_.WriteConfigText(row.text);
        EXPECT_EQ(WithoutPlaces(LoadError()).substr(0, ConfigPath().size() + 2 + row.error.size()),
                  ConfigPath() + ": " + row.error);
        ReloadConfigConsoleCommand(nullptr, nullptr, false);
        EXPECT_EQ(Describe(State.Settings), before) << row.error;
        EXPECT_EQ(plugin_->Registrations(), registrations) << row.error;
        ASSERT_EQ(State.Schedule.Reminders.Openings.size(), 1u) << row.error;
    }

    plugin_.RemoveConfig();
    ReloadConfigConsoleCommand(nullptr, nullptr, false);
    EXPECT_EQ(Describe(State.Settings), before);
    std::filesystem::create_directories(plugin_.ConfigFile());
    EXPECT_NE(LoadError().find(ConfigPath()), std::string::npos);
    ReloadConfigConsoleCommand(nullptr, nullptr, false);
    EXPECT_EQ(Describe(State.Settings), before);
    EXPECT_EQ(plugin_->Registrations(), registrations);
    UnregisterAll();
}

TEST_F(LoadConfigTest, AllProblemsOfAFileAreNamedInOneError)
{
    plugin_.WriteConfigText(R"({"Quorvandelle": {"ServerName": "x", "Notification": 1, "StartDay": "5"}})");
    const std::string error = LoadError();
    EXPECT_EQ(
        error.rfind(ConfigPath() +
                        ": Quorvandelle.Notification at line 1, column 54: expected true or false, found number; ",
                    0),
        0u)
        << error;
    EXPECT_NE(error.find("; Quorvandelle.StartDay at line 1, column 69: expected a number, found string"),
              std::string::npos)
        << error;
    // A missing member is placed at the object that should hold it.
    EXPECT_NE(error.find("; Quorvandelle.EndDay at line 1, column 18: missing (expected a number)"), std::string::npos)
        << error;
}

TEST_F(LoadConfigTest, EveryErrorNamesTheLineAndColumnOfItsValue)
{
    json config = ValidConfig();
    config["Quorvandelle"]["Notification"] = 1;
    config["Quorvandelle"]["QuorvandelleDisabledRGB"] = {1, 0, "0", 1};
    config["Quorvandelle"]["StartDay"] = {{"day", 5}};
    config["Quorvandelle"].erase("NormalMOTD");
    const std::string text = config.dump(4);
    plugin_.WriteConfigText(text);
    const ConfigLoad load = LoadConfig(std::nullopt);
    const ConfigProblems& errors = load.Decoded.Errors;
    ASSERT_EQ(errors.size(), 4u) << DescribeAll(load.File, errors);
    const auto placeOf = [&](const ConfigProblem& problem) {
        return "line " + std::to_string(problem.Where.Line) + ", column " + std::to_string(problem.Where.Column);
    };
    EXPECT_EQ(placeOf(errors[0]), PlaceOfValue(text, "Notification"));
    // The element that is wrong, not the colour: two lines below the member's name.
    const std::size_t element = text.find("\"0\"");
    const std::size_t elementLine = std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(element), '\n');
    EXPECT_EQ(errors[1].Member, "Quorvandelle.QuorvandelleDisabledRGB[2]");
    EXPECT_EQ(errors[1].Where.Line, elementLine + 1);
    EXPECT_EQ(errors[1].Where.Column, element - text.rfind('\n', element));
    EXPECT_EQ(errors[2].Member, "Quorvandelle.NormalMOTD");
    EXPECT_EQ(placeOf(errors[2]), PlaceOfValue(text, "Quorvandelle"));
    EXPECT_EQ(placeOf(errors[3]), PlaceOfValue(text, "StartDay"));

    // The top level and a byte-order mark; places count characters, as an editor shows them.
    plugin_.WriteConfigText("\xEF\xBB\xBF\n  [1]");
    EXPECT_EQ(LoadError(), ConfigPath() + ": the top level at line 2, column 3: expected an object, found array");
    plugin_.WriteConfigText("\xEF\xBB\xBF{\"Quorvandelle\": {\"ServerName\": \"\u20ac\u20ac\", \"StartDay\": \"5\"}}");
    EXPECT_NE(LoadError().find("Quorvandelle.StartDay at line 1, column 51: expected a number, found string"),
              std::string::npos)
        << LoadError();
}

} // namespace

namespace {

TEST_F(LoadConfigTest, TheOptionalKeysAreCheckedLikeEveryOtherAndRefuseTheFileWhole)
{
    const json night = {{"Name", "Night"}, {"Days", {5}}, {"From", "22:00"}, {"Until", "02:00"}};
    const json fair = {{"Name", "Fair"}, {"From", "2026-12-24T18:00"}, {"Until", "2026-12-26T00:00"}};
    const auto with = [](const json& members) {
        json config = ValidConfig();
        config["Quorvandelle"].update(members);
        return config;
    };
    const auto changed = [](json entry, const char* key, const json& value) {
        entry[key] = value;
        return entry;
    };
    struct Row {
        json config;
        const char* error; // without its place
    };
    const Row rows[] = {
        {with({{"StartTime", "6pm"}}),
         "Quorvandelle.StartTime: expected a time of day \"HH:MM\" (24-hour), found \"6pm\""},
        {with({{"EndTime", 1800}}), "Quorvandelle.EndTime: expected a time of day \"HH:MM\" (24-hour), found number"},
        {with({{"Schedules", {changed(night, "Days", {5, 8})}}}),
         "Quorvandelle.Schedules[0].Days[1]: expected a whole number of a weekday from 0 to 6, found 8"},
        {with({{"Schedules", {changed(night, "InheritRates", "no")}}}),
         "Quorvandelle.Schedules[0].InheritRates: expected true or false, found string"},
        {with({{"Schedules", {changed(night, "RelativeRates", 1)}}}),
         "Quorvandelle.Schedules[0].RelativeRates: expected true or false, found number"},
        {with({{"RelativeRates", "yes"}}), "Quorvandelle.RelativeRates: expected true or false, found string"},
        {with({{"Schedules", {changed(night, "Days", json::array())}}}),
         "Quorvandelle.Schedules[0].Days: no weekday: the window would never open"},
        {with({{"Schedules", {changed(night, "Until", "25:00")}}}),
         "Quorvandelle.Schedules[0].Until: expected a time of day \"HH:MM\" (24-hour), found \"25:00\""},
        {with({{"Schedules", {changed(fair, "Until", "2026-12-24T17:00")}}}),
         "Quorvandelle.Schedules[0].Until: \"2026-12-24T17:00\" is not after From (\"2026-12-24T18:00\")"},
        // At the turn of the year the year is easily left as it was.
        {with({{"Schedules", {changed(changed(fair, "From", "2026-12-31T18:00"), "Until", "2026-01-02T10:00")}}}),
         "Quorvandelle.Schedules[0].Until: \"2026-01-02T10:00\" is not after From (\"2026-12-31T18:00\"); if it ends "
         "in the next year, write \"2027-01-02T10:00\""},
        {with({{"Schedules", {changed(fair, "From", "2026-02-30T00:00")}}}),
         "Quorvandelle.Schedules[0].From: expected a local date and time \"YYYY-MM-DDTHH:MM\" that exists, found "
         "\"2026-02-30T00:00\""},
        {with({{"Schedules", {changed(fair, "From", "18:00")}}}), "a weekly window gives its weekdays in \"Days\""},
        {with({{"Schedules", {night, changed(fair, "Name", "Night")}}}),
         "Quorvandelle.Schedules[1].Name: \"Night\" is already the name of Quorvandelle.Schedules[0]; names must be "
         "unique"},
        {with({{"Schedules", {changed(night, "XPMultiplier", "fast")}}}),
         "Quorvandelle.Schedules[0].XPMultiplier: expected a number, found string"},
        {with({{"Schedules", {changed(night, "EnabledRGB", {1, 0})}}}),
         "Quorvandelle.Schedules[0].EnabledRGB: expected an array of 4 numbers (R, G, B, A), found 2 elements"},
        {with({{"Reminders", {60, 20000}}}),
         "Quorvandelle.Reminders[1]: expected a whole number of minutes (a week at most) from 1 to 10080, found 20000"},
        {with({{"Reminders", {0}}}), "from 1 to 10080, found 0"},
        {with({{"StatusCommand", "rates"}}), "Quorvandelle.StatusCommand: expected a chat command such as \"/rates\""},
        {with({{"TimeZone", "Europe/Berln"}}),
         "Quorvandelle.TimeZone: \"Europe/Berln\" is no time zone the plug-in knows; expected an IANA name such as "
         "\"Europe/Berlin\", \"America/New_York\" or \"UTC\" (did you mean \"Europe/Berlin\"?)"},
        {with({{"TimeZone", 1}}),
         "Quorvandelle.TimeZone: expected a time zone such as \"Europe/Berlin\", found number"},
        {with({{"ExactSwitching", "on"}}), "Quorvandelle.ExactSwitching: expected true or false, found string"},
        {with({{"Priority", 1.5}}), "Quorvandelle.Priority: expected a whole number from -1000 to 1000, found 1.5"},
        {with({{"Schedules", {changed(night, "Priority", "high")}}}),
         "Quorvandelle.Schedules[0].Priority: expected a whole number from -1000 to 1000, found string"},
        {with({{"Name", ""}}), "Quorvandelle.Name: a window needs a name"},
        {with({{"Name", std::string(65, 'x')}}),
         "Quorvandelle.Name: a name may have at most 64 bytes, this one has 65"},
        {with({{"Name", "Night"}, {"Schedules", {night}}}),
         "Quorvandelle.Schedules[0].Name: \"Night\" is already the name of the weekly window (Quorvandelle.Name); "
         "names must be unique"},
        {with({{"Schedules", std::vector<json>(101, night)}}),
         "Quorvandelle.Schedules: 101 windows; at most 100 are allowed"},
    };
    for (const Row& row : rows) {
        plugin_.WriteConfig(row.config);
        const std::string error = LoadError();
        EXPECT_NE(WithoutPlaces(error).find(row.error), std::string::npos) << error;
        EXPECT_NE(error.find(" at line "), std::string::npos) << error;
    }
}

} // namespace
