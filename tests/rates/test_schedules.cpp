// Windows beyond the weekly one, through the real plug-in library: times of day, schedules with
// their own values and messages, moves between windows under one snapshot, reminders, the status
// command, reloads in the middle of an event, and the nights the clocks change.
#include <gtest/gtest.h>

#include "tests/rates/RatesFixture.h"
#include "tests/support/TestZone.h"

namespace rates_testing {
namespace {

using nlohmann::json;
using testing_support::ValidConfig;

// ValidConfig() (a Friday-to-Monday window) with the given members of the section replaced.
json ConfigWith(const json& members)
{
    json config = ValidConfig();
    config["Quorvandelle"].update(members);
    return config;
}

class Schedules : public ScheduledRatesTest {
protected:
    // The clock to a local time in the week of Sunday 2026-12-06, then timer calls up to the next
    // evaluation, which comes 601 s later.
    void EvaluateAt(int day, int hour, int minute = 0)
    {
        server().SetLocalTime(2026, 12, day, hour, minute);
        qv().RunToNextEvaluation();
    }

    // What Bo was shown since the inboxes were last emptied, then empties them.
    std::vector<std::string> Shown()
    {
        std::vector<std::string> texts;
        for (const auto& shown : server().InboxOf(player_).notifications) texts.push_back(shown.text);
        server().ClearInboxes();
        return texts;
    }

    float Xp() const { return server_->server().Multiplier("XPMultiplier"); }
};

TEST_F(Schedules, AWindowPastMidnightOpensAndClosesAtTheFirstEvaluationsAfterItsTimes)
{
    Start(Wednesday, ConfigWith({{"StartDay", 3},
                                 {"EndDay", 3},
                                 {"Schedules",
                                  {{{"Name", "Night"},
                                    {"Days", {3}},
                                    {"From", "22:00"},
                                    {"Until", "02:00"},
                                    {"XPMultiplier", 5},
                                    {"EnabledMessage", "Night rates on"}}}}}));
    EvaluateAt(9, 21, 45);
    EXPECT_EQ(CurrentRates(), normal_);
    EvaluateAt(9, 22, 0);
    EXPECT_EQ(Xp(), 5.0f);
    EXPECT_EQ(server().Multiplier("TamingSpeedMultiplier"), ValidConfigWeekendRates().at("TamingSpeedMultiplier"))
        << "a value the schedule does not give is the main section's";
    EXPECT_EQ(Shown(), std::vector<std::string>{"Night rates on"});
    EvaluateAt(10, 1, 45);
    EXPECT_EQ(Xp(), 5.0f) << "Wednesday's night runs into Thursday";
    EvaluateAt(10, 2, 0);
    EXPECT_EQ(CurrentRates(), normal_);
    EXPECT_EQ(Shown(), std::vector<std::string>{"Weekend rates off"});
}

TEST_F(Schedules, MovingBetweenWindowsKeepsOneSnapshotAndAnnouncesEachWindow)
{
    // Saturday afternoon an event with its own values and texts takes over from the weekend; a 0
    // there means the game's own value, as it does in the main section.
    Start(Friday, ConfigWith({{"Schedules",
                               {{{"Name", "Fair"},
                                 {"From", "2026-12-12T12:00"},
                                 {"Until", "2026-12-12T18:00"},
                                 {"XPMultiplier", 3},
                                 {"TamingSpeedMultiplier", 0},
                                 {"EnabledMessage", "Fair on"},
                                 {"DisabledMessage", "Fair off"},
                                 {"WeekendMOTD", "The fair is on"}}}}}));
    qv().RunToFirstEvaluation();
    EXPECT_EQ(CurrentRates(), ValidConfigWeekendRates());
    Shown();

    EvaluateAt(12, 12, 0);
    Rates fair = ValidConfigWeekendRates();
    fair["XPMultiplier"] = 3.0f;
    fair["TamingSpeedMultiplier"] = normal_.at("TamingSpeedMultiplier");
    EXPECT_EQ(CurrentRates(), fair);
    EXPECT_EQ(server().MessageOfTheDay(), "The fair is on");
    EXPECT_EQ(Shown(), std::vector<std::string>{"Fair on"});

    EvaluateAt(12, 18, 0);
    EXPECT_EQ(CurrentRates(), ValidConfigWeekendRates());
    EXPECT_EQ(server().MessageOfTheDay(), "It is the weekend");
    EXPECT_EQ(Shown(), std::vector<std::string>{"Weekend rates on"});

    EvaluateAt(14, 0, 0);
    EXPECT_EQ(CurrentRates(), normal_) << "the one snapshot brings the normal values back";
    EXPECT_EQ(Shown(), std::vector<std::string>{"Weekend rates off"});
}

TEST_F(Schedules, RelativeValuesMultiplyTheNormalOnesAndAWindowMayLeaveTheOthersAlone)
{
    // The weekend doubles, triples ... the server's own rates; the fair sets XP alone, as written.
    Start(Friday, ConfigWith({{"RelativeRates", true},
                              {"Schedules",
                               {{{"Name", "Fair"},
                                 {"From", "2026-12-12T12:00"},
                                 {"Until", "2026-12-12T18:00"},
                                 {"XPMultiplier", 3},
                                 {"RelativeRates", false},
                                 {"InheritRates", false}}}}}));
    Rates relative;
    for (const auto& [name, value] : ValidConfigWeekendRates()) relative[name] = normal_.at(name) * value;
    qv().RunToFirstEvaluation();
    EXPECT_EQ(CurrentRates(), relative);

    EvaluateAt(12, 12, 0);
    Rates fair = normal_;
    fair["XPMultiplier"] = 3.0f;
    EXPECT_EQ(CurrentRates(), fair);
    EvaluateAt(12, 18, 0);
    EXPECT_EQ(CurrentRates(), relative) << "multiplied again from the one snapshot, not from the fair's values";
    EvaluateAt(14, 0, 0);
    EXPECT_EQ(CurrentRates(), normal_);
}

// A factor times a normal value beyond the game's 32-bit rates is never written: the game's own value
// stays, the log says why, and the status reply shows plain numbers, never infinity or an exponent.
TEST_F(Schedules, ARelativeProductBeyondTheGamesRatesKeepsTheGamesValue)
{
    json config = ConfigWith({{"RelativeRates", true}, {"StatusCommand", "/rates"}});
    for (auto& [key, value] : config["Quorvandelle"].items()) {
        if (key.size() > 10 && key.compare(key.size() - 10, 10, "Multiplier") == 0) value = 0;
    }
    config["Quorvandelle"].update({{"XPMultiplier", 2}, {"TamingSpeedMultiplier", 1e-6}});
    Start(Friday, config);
    server().SetMultiplier("XPMultiplier", 3e38f);
    server().SetMultiplier("TamingSpeedMultiplier", 1e-30f);
    qv().RunToFirstEvaluation();
    EXPECT_EQ(Xp(), 3e38f);
    EXPECT_EQ(server().Multiplier("TamingSpeedMultiplier"), 1e-30f * 1e-6f);
    const auto warnings = qv().PluginLogMessages(standin::LogLevel::Warning);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0], "XPMultiplier: 2 times the server's normal 3e+38 is beyond the game's 32-bit rates; the "
                           "game's own value is kept");
    server().ClearInboxes();
    server().Chat(player_, "/rates");
    EXPECT_EQ(server().InboxOf(player_).directChats.at(0).text,
              "Weekend rates are on until Mon 2026-12-14 00:00 (0.000001x taming).");
}

TEST_F(Schedules, AManualWeekendIsTakenOverQuietlyByALookAlikeAndVisiblyByAWindowOfItsOwn)
{
    const json midweek = {{"Name", "Midweek"}, {"Days", {3}}, {"From", "20:00"}, {"Until", "23:00"}};
    for (const bool ownValues : {false, true}) {
        SCOPED_TRACE(ownValues ? "with its own XPMultiplier" : "with the main section's values");
        json window = midweek;
        if (ownValues) window["XPMultiplier"] = 4;
        Start(Wednesday, ConfigWith({{"Schedules", {window}}}));
        Toggle(admin_);
        Shown();
        EvaluateAt(9, 20, 0);
        EXPECT_EQ(Xp(), ownValues ? 4.0f : 2.0f);
        EXPECT_EQ(Shown(), ownValues ? std::vector<std::string>{"Weekend rates on"} : std::vector<std::string>{});
        Toggle(admin_);
        EXPECT_EQ(Shown(), std::vector<std::string>{}) << "the toggle keeps out of a scheduled window";
        EvaluateAt(9, 23, 0);
        EXPECT_EQ(CurrentRates(), normal_);
    }
}

TEST_F(Schedules, AWindowWhoseValuesCannotBeReadChangesNothingAndIsLogged)
{
    // "Late" takes its XPMultiplier from the main section, which has none that can be read.
    json config =
        ConfigWith({{"StartDay", 3},
                    {"EndDay", 3},
                    {"Schedules",
                     {{{"Name", "Early"}, {"Days", {3}}, {"From", "18:00"}, {"Until", "20:00"}, {"XPMultiplier", 6}},
                      {{"Name", "Late"}, {"Days", {3}}, {"From", "20:00"}, {"Until", "22:00"}}}}});
    config["Quorvandelle"]["XPMultiplier"] = "double";
    Start(Wednesday, config);
    EvaluateAt(9, 18, 0);
    EXPECT_EQ(Xp(), 6.0f);
    const Rates early = CurrentRates();
    Shown();
    EvaluateAt(9, 20, 0);
    EXPECT_EQ(CurrentRates(), early) << "all or nothing";
    EXPECT_EQ(Shown(), std::vector<std::string>{});
    EXPECT_EQ(ErrorsMentioning("Late rates not switched on, nothing changed"), 1u);
    EXPECT_EQ(ErrorsMentioning("Quorvandelle.XPMultiplier at line "), 1u);
    EvaluateAt(9, 22, 0);
    EXPECT_EQ(CurrentRates(), normal_);
}

TEST_F(Schedules, RemindersGoOutOncePerLeadBeforeAnOpeningAndNeverAfter)
{
    Start(Wednesday, ConfigWith({{"StartDay", 5},
                                 {"StartTime", "20:00"},
                                 {"Reminders", {60, 10}},
                                 {"ReminderMessage", "{name} in {minutes} min"}}));
    server().SetLocalTime(2026, 12, 11, 18, 30);
    server().ClearInboxes();
    std::vector<std::string> reminders;
    // Friday 18:30 to 20:30, evaluation after evaluation, with a reload that changes nothing between.
    for (int evaluation = 0; evaluation < 12; ++evaluation) {
        qv().RunToNextEvaluation();
        if (evaluation == 6)
            Reload(ConfigWith({{"StartDay", 5},
                               {"StartTime", "20:00"},
                               {"Reminders", {60, 10}},
                               {"ReminderMessage", "{name} in {minutes} min"}}));
        for (const std::string& text : Shown()) {
            if (text.find(" min") != std::string::npos) reminders.push_back(text);
        }
    }
    ASSERT_EQ(reminders.size(), 2u);
    const int first = std::atoi(reminders[0].c_str() + std::string("Weekend in ").size());
    const int second = std::atoi(reminders[1].c_str() + std::string("Weekend in ").size());
    EXPECT_TRUE(first <= 60 && first > 50) << reminders[0];
    EXPECT_TRUE(second <= 10 && second > 0) << reminders[1];
    EXPECT_EQ(Xp(), 2.0f);
}

TEST_F(Schedules, AnOpeningIsRemindedOfOnceAlsoWhenReloadsPutAnotherOneBeforeItAndTakeItAway)
{
    const json weekly = ConfigWith({{"StartDay", 5}, {"StartTime", "20:00"}, {"Reminders", {60}}});
    json withFair = weekly;
    withFair["Quorvandelle"]["Schedules"] = {
        {{"Name", "Fair"}, {"From", "2026-12-11T19:45"}, {"Until", "2026-12-11T19:50"}}};
    Start(Wednesday, weekly);
    server().SetLocalTime(2026, 12, 11, 18, 50);
    qv().RunToFirstEvaluation();
    server().ClearInboxes();
    std::vector<std::string> reminders;
    for (const json* config : std::vector<const json*>{&weekly, &withFair, &weekly}) {
        Reload(*config);
        qv().RunToNextEvaluation();
        for (const std::string& text : Shown()) {
            if (text.find(" start in ") != std::string::npos) reminders.push_back(text.substr(0, text.find(" in ")));
        }
    }
    EXPECT_EQ(reminders, (std::vector<std::string>{"Boosted rates (Weekend) start", "Boosted rates (Fair) start"}));
}

TEST_F(Schedules, TheStatusCommandAnswersEveryPlayerAndFollowsReloads)
{
    Start(Wednesday, ConfigWith({{"StatusCommand", "/rates"}}));
    const auto status = [&](standin::PlayerId player, const char* command) -> std::string {
        server().ClearInboxes();
        if (!server().Chat(player, command)) return "(no such command)";
        const auto inbox = server().InboxOf(player);
        return inbox.directChats.size() == 1 ? inbox.directChats[0].text : "(no single reply)";
    };
    // Every one of the sixteen differs from the server's normal value: the reply lists what fits.
    EXPECT_EQ(status(player_, "/rates"),
              "Normal rates are on. Next: Weekend rates from Fri 2026-12-11 00:00 until Mon 2026-12-14 00:00 (2x XP, "
              "3x taming, 4x harvest amount, 5x resource health, 6x crafting XP, 7x fishing loot, 8x baby maturing, "
              "9x mate boost, 0.5x mating interval, 10x mating speed, 11x egg hatching, and 4 more).");
    EvaluateAt(12, 12, 0);
    EXPECT_EQ(status(admin_, "/RATES").rfind("Weekend rates are on until Mon 2026-12-14 00:00 (2x XP, 3x taming,", 0),
              0u);

    Reload(ConfigWith({{"StatusCommand", "/boost"}}));
    EXPECT_EQ(status(player_, "/rates"), "(no such command)");
    EXPECT_EQ(status(player_, "/boost").rfind("Weekend rates are on", 0), 0u);

    // Taking one of the plug-in's own names refuses the file; the command in force stays.
    qv().WriteConfig(ConfigWith({{"StatusCommand", "/QVRELOAD"}}));
    server().ServerConsole("qvreload");
    EXPECT_EQ(ErrorsMentioning("Quorvandelle.StatusCommand at line "), 1u);
    EXPECT_EQ(status(player_, "/boost").rfind("Weekend rates are on", 0), 0u);

    Reload(ValidConfig());
    EXPECT_EQ(status(player_, "/boost"), "(no such command)");
    EXPECT_EQ(server().Registrations().size(), 4u) << "without the key, the four registrations of old";
}

// The reply tells what the game holds: the values the switch wrote, not those of a file reloaded
// since, and the server's normal values in a game mode that replaced the one that held them. It
// lists only the rates that differ from the normal ones: a 0 leaves the game's own value, and taming
// is set to the server's normal value.
TEST_F(Schedules, TheStatusReplyTellsTheValuesInForceWhole)
{
    json config = ConfigWith({{"StatusCommand", "/rates"}});
    for (auto& [key, value] : config["Quorvandelle"].items()) {
        if (key.size() > 10 && key.compare(key.size() - 10, 10, "Multiplier") == 0) value = 0;
    }
    config["Quorvandelle"].update({{"XPMultiplier", 2},
                                   {"TamingSpeedMultiplier", DistinctNormalRates().at("TamingSpeedMultiplier")},
                                   {"MatingIntervalMultiplier", 0.375}});
    Start(Wednesday, config);
    const auto status = [&] {
        server().ClearInboxes();
        server().Chat(player_, "/rates");
        const auto inbox = server().InboxOf(player_);
        return inbox.directChats.empty() ? std::string("(no reply)") : inbox.directChats.front().text;
    };
    const std::string rates = " (2x XP, 0.375x mating interval).";
    EXPECT_EQ(status(),
              "Normal rates are on. Next: Weekend rates from Fri 2026-12-11 00:00 until Mon 2026-12-14 00:00" + rates);
    EvaluateAt(12, 12, 0);
    json reloaded = config;
    reloaded["Quorvandelle"]["XPMultiplier"] = 7;
    Reload(reloaded);
    EXPECT_EQ(status(), "Weekend rates are on until Mon 2026-12-14 00:00" + rates);

    server().RemoveGameMode();
    server().RestoreGameMode();
    EXPECT_EQ(status(), "Normal rates are on: the game mode that held the Weekend rates was replaced, and the new one "
                        "holds the server's normal values; Weekend rates come back at the next check of the schedule.");
    qv().RunToNextEvaluation();
    EXPECT_EQ(Xp(), 7.0f);
    EXPECT_EQ(status(), "Weekend rates are on until Mon 2026-12-14 00:00 (7x XP, 0.375x mating interval).");

    // Past the window's end, before the evaluation that closes it.
    server().SetLocalTime(2026, 12, 14, 0, 5);
    EXPECT_EQ(status(), "Weekend rates are on until the next check of the schedule (7x XP, 0.375x mating interval).");
    qv().RunToNextEvaluation();
    reloaded["Quorvandelle"]["XPMultiplier"] = "seven";
    Reload(reloaded);
    EXPECT_EQ(status(), "Normal rates are on; no boosted rates are scheduled.");
}

// A window lower in the file opening while a higher one stays in force changes nothing: the
// higher one's end is the next change.
TEST_F(Schedules, TheStatusReplyIsUntilTheEndOfTheWindowInForceNotTheOpeningOfALowerOne)
{
    Start(Wednesday, ConfigWith({{"StatusCommand", "/rates"},
                                 {"Schedules",
                                  {{{"Name", "Long"}, {"Days", {3}}, {"From", "10:00"}, {"Until", "14:00"}},
                                   {{"Name", "Short"}, {"Days", {3}}, {"From", "12:00"}, {"Until", "13:00"}}}}}));
    EvaluateAt(9, 11, 50);
    server().ClearInboxes();
    server().Chat(player_, "/rates");
    const auto replies = server().InboxOf(player_).directChats;
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].text.substr(0, replies[0].text.find(" (")), "Long rates are on until Wed 2026-12-09 14:00");
}

// The reply holds at most 300 characters: a last rate that just fits is listed, one more character
// and it is counted instead. The name's length moves the reply across the bound one by one.
TEST_F(Schedules, TheStatusReplysLastRateIsListedWhenItJustFits)
{
    json config = ConfigWith({{"StatusCommand", "/rates"}});
    for (const char* key :
         {"LayEggIntervalMultiplier", "ResourcesRespawnPeriodMultiplier", "SupplyCrateLootQualityMultiplier",
          "StructureResistanceMultiplier", "StructureDamageMultiplier"}) {
        config["Quorvandelle"][key] = 0;
    }
    Start(Wednesday, config);
    std::vector<std::string> replies;
    for (std::size_t length = 1; length <= 64; ++length) {
        config["Quorvandelle"]["Schedules"] = {
            {{"Name", std::string(length, 'N')}, {"Days", {4}}, {"From", "12:00"}, {"Until", "13:00"}}};
        Reload(config);
        server().ClearInboxes();
        server().Chat(player_, "/rates");
        replies.push_back(server().InboxOf(player_).directChats.at(0).text);
    }
    const auto endsWith = [](const std::string& text, const std::string& end) {
        return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
    };
    const auto whole = [&](const std::string& reply) { return endsWith(reply, ", 11x egg hatching)."); };
    const auto last = std::find_if(replies.rbegin(), replies.rend(), whole);
    ASSERT_NE(last, replies.rend());
    ASSERT_NE(last, replies.rbegin()) << "the longest name must cross the bound";
    EXPECT_EQ(last->size(), 300u) << *last;
    const std::string& next = *std::prev(last);
    EXPECT_TRUE(endsWith(next, ", 10x mating speed, and 1 more).")) << next;
}

// With a higher priority the weekly window wins over a daily happy hour; the main section's name is
// what players and the log are told; a relative rate is told as its factor, as announced.
TEST_F(Schedules, APriorityLetsTheWeeklyWindowWinAndItsNameAndFactorsAreWhatPlayersAreTold)
{
    Start(Friday, ConfigWith({{"Name", "Double XP"},
                              {"Priority", 1},
                              {"RelativeRates", true},
                              {"StatusCommand", "/rates"},
                              {"Schedules",
                               {{{"Name", "Happy hour"},
                                 {"Days", {0, 1, 2, 3, 4, 5, 6}},
                                 {"From", "20:00"},
                                 {"Until", "22:00"},
                                 {"XPMultiplier", 1.5}}}}}));
    const auto status = [&] {
        server().ClearInboxes();
        server().Chat(player_, "/rates");
        const auto inbox = server().InboxOf(player_);
        return inbox.directChats.empty() ? std::string("(no reply)") : inbox.directChats.front().text;
    };
    qv().RunToFirstEvaluation();
    EvaluateAt(12, 20, 30);
    EXPECT_EQ(Xp(), normal_.at("XPMultiplier") * 2) << "the weekly window's priority beats the happy hour";
    EXPECT_EQ(status().rfind("Double XP rates are on until Mon 2026-12-14 00:00 (2x XP, 3x taming, 4x harvest", 0), 0u)
        << status();
    std::vector<std::string> records;
    for (const auto& record : qv().PluginLogRecords()) {
        if (record.message.find("weekly window") != std::string::npos) records.push_back(record.message);
    }
    EXPECT_EQ(records,
              std::vector<std::string>{"Rates of the weekly window \"Double XP\" switched on by the schedule"});

    EvaluateAt(14, 20, 30);
    EXPECT_EQ(Xp(), normal_.at("XPMultiplier") * 1.5f) << "with the weekly window closed, the happy hour";
    EXPECT_EQ(status().rfind("Happy hour rates are on until Mon 2026-12-14 22:00 (1.5x XP, 3x taming", 0), 0u)
        << status();
}

TEST_F(Schedules, AReloadInTheMiddleOfAnEventTakesEffectAtTheNextEvaluation)
{
    const json fair = {
        {"Name", "Fair"}, {"From", "2026-12-09T12:00"}, {"Until", "2026-12-10T12:00"}, {"XPMultiplier", 3}};
    Start(Wednesday, ConfigWith({{"Schedules", {fair}}}));
    EvaluateAt(9, 12, 0);
    EXPECT_EQ(Xp(), 3.0f);

    json longer = fair;
    longer["XPMultiplier"] = 7;
    Reload(ConfigWith({{"Schedules", {longer}}}));
    EvaluateAt(9, 14, 0);
    EXPECT_EQ(Xp(), 3.0f) << "the values in force stay until the next switch";

    Reload(ValidConfig());
    Shown();
    EvaluateAt(9, 15, 0);
    EXPECT_EQ(CurrentRates(), normal_) << "the event is gone from the file";
    EXPECT_EQ(Shown(), std::vector<std::string>{"Weekend rates off"});
}

// The night the clocks go back, a window that ends in the repeated hour closes once; the night they
// go forward, one that starts in the skipped hour opens once the clocks show a later time.
TEST_F(Schedules, OnTheNightsTheClocksChangeEachWindowSwitchesOnceEachWay)
{
    const testing_support::TestZone zone; // Central European time (tests/rates/CMakeLists.txt)
    ASSERT_TRUE(zone.Honoured()) << zone.Advice();
    struct Night {
        int month, day;
        const char* from;
        const char* until;
    };
    // 2026-10-25: 03:00 CEST becomes 02:00 CET. 2026-03-29: 02:00 CET becomes 03:00 CEST.
    for (const Night& night : {Night{10, 25, "00:30", "02:30"}, Night{3, 29, "02:30", "04:00"}}) {
        SCOPED_TRACE(night.month == 10 ? "clocks back" : "clocks forward");
        server_.reset();
        server_ = std::make_unique<testing_support::PluginServer>(2026, night.month, night.day);
        qv().WriteConfig(ConfigWith({{"StartDay", 3},
                                     {"EndDay", 3},
                                     {"Schedules",
                                      {{{"Name", "Night"},
                                        {"Days", {0}},
                                        {"From", night.from},
                                        {"Until", night.until},
                                        {"EnabledMessage", "on"},
                                        {"DisabledMessage", "off"}}}}}));
        qv().Load();
        player_ = qv().Join("Bo");
        server().SetLocalTime(2026, night.month, night.day, 0, 0);
        server().RunTimer(6 * 3600);
        std::vector<std::string> shown;
        for (const auto& notification : server().InboxOf(player_).notifications) shown.push_back(notification.text);
        EXPECT_EQ(shown, (std::vector<std::string>{"on", "off"}));
    }
}

// The decision holds to the latest time seen for a step back of the clocks up to the longest change
// (an hour), and follows the clock beyond it.
TEST_F(Schedules, AClockBackByTheLongestChangeIsHeldAndOneSecondMoreIsNot)
{
    struct Row {
        int secondsBack;
        bool reopens;
    };
    for (const Row row : {Row{3600, false}, Row{3601, true}}) {
        SCOPED_TRACE(row.secondsBack);
        Start(Wednesday, ConfigWith({{"Schedules",
                                      {{{"Name", "Afternoon"},
                                        {"Days", {3}},
                                        {"From", "14:00"},
                                        {"Until", "15:00"},
                                        {"XPMultiplier", 5}}}}}));
        server().SetLocalTime(2026, 12, 9, 14, 0);
        qv().RunToFirstEvaluation();
        ASSERT_EQ(Xp(), 5.0f);
        server().SetLocalTime(2026, 12, 9, 14, 50);
        qv().RunToNextEvaluation(); // decided at 15:00:01
        ASSERT_EQ(CurrentRates(), normal_);
        // The same run of timer calls, started the step earlier: decided at 15:00:01 less the step.
        server().AdvanceClock(-(row.secondsBack + 601));
        qv().RunToNextEvaluation();
        EXPECT_EQ(Xp(), row.reopens ? 5.0f : normal_["XPMultiplier"]);
    }
}

} // namespace
} // namespace rates_testing
