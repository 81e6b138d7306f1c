// The welcome for players who join while boosted rates are in force: through the real plug-in
// library and the host's hook on new players, each message written down with the second it came,
// counted from the join; and the decision of whom to welcome, on values alone.
#include <gtest/gtest.h>

#include <fmt/format.h>

#include "plugin/config/DecodeConfig.h"
#include "plugin/rates/Welcomes.h"
#include "tests/rates/RatesFixture.h"
#include "util/CivilDate.h"

namespace rates_testing {
namespace {

using nlohmann::json;
using testing_support::PluginServer;
using testing_support::ValidConfig;
using Messages = std::vector<std::string>;

const std::int64_t kSaturday = util::DaysFromCivil(2026, 12, 12) * 86400;

constexpr std::int64_t At(int hour, int minute, int second = 0) { return hour * 3600 + minute * 60 + second; }

// ValidConfig()'s weekend from Friday 20:00 to Monday 00:00 UTC, with a welcome.
json WelcomeConfig(const json& members = json::object())
{
    json config = ValidConfig();
    config["Quorvandelle"].update(
        {{"TimeZone", "UTC"}, {"StartTime", "20:00"}, {"JoinMessage", "{name}: {time_left}"}});
    config["Quorvandelle"].update(members);
    return config;
}

// A window on Saturdays from 10:00 to until, with texts of its own.
json Brunch(const char* until, const json& members = json::object())
{
    json window = {{"Name", "Brunch"},       {"Days", {6}},
                   {"From", "10:00"},        {"Until", until},
                   {"EnabledMessage", "on"}, {"DisabledMessage", "off"}};
    window.update(members);
    return window;
}

// The server with config loaded at start on Saturday, run past its first evaluation.
struct Running {
    PluginServer qv;

    Running(const json& config, std::int64_t start)
    {
        qv.WriteConfig(config);
        qv->SetClock(kSaturday + start);
        qv.Load();
        qv.RunToFirstEvaluation();
    }

    standin::PlayerId JoinAt(const std::string& name, std::int64_t at)
    {
        RunTo(at);
        return qv.Join(name);
    }
    void RunTo(std::int64_t at)
    {
        while (qv->Now() < kSaturday + at) qv->RunTimer();
    }
    // "+S notification TEXT" or "+S chat TEXT", S the seconds from since, for what player received
    // up to until.
    Messages Received(standin::PlayerId player, std::int64_t since, std::int64_t until)
    {
        Messages shown;
        standin::InboxCursor cursor;
        const auto look = [&] {
            const standin::Inbox inbox = qv->InboxSince(player, cursor);
            const std::int64_t second = qv->Now() - kSaturday - since;
            for (const auto& notification : inbox.notifications)
                shown.push_back(fmt::format("+{} notification {}", second, notification.text));
            for (const auto& chat : inbox.chatRecords)
                shown.push_back(fmt::format("+{} chat {}", second, chat.message));
        };
        look();
        while (qv->Now() < kSaturday + until) {
            qv->RunTimer();
            look();
        }
        return shown;
    }
};

TEST(Welcome, AJoinDuringTheRatesIsWelcomedAfterTheDelayThroughTheSwitchChannels)
{
    // Joins at 10:05:00; the weekend lasts until Monday 00:00, 37 h 55 min later.
    struct Row {
        const char* what;
        json members;
        Messages expected;
    };
    const std::vector<Row> rows = {
        {"the default delay, notification and chat line",
         json::object(),
         {"+30 notification Weekend: 1 day, 13 hours and 55 minutes",
          "+30 chat <RichColor Color=\"0, 1, 0, 1\">Weekend: 1 day, 13 hours and 55 minutes</>"}},
        {"no delay: the next timer call",
         {{"JoinMessageDelay", 0}, {"Chatbox", false}},
         {"+1 notification Weekend: 1 day, 13 hours and 55 minutes"}},
        {"ten minutes, a window's own text and colour, chat line only",
         {{"JoinMessageDelay", 600},
          {"Notification", false},
          {"Schedules",
           {Brunch("12:00", {{"JoinMessage", "{name} for {time_left}"}, {"EnabledRGB", {1, 0.5, 0, 1}}})}}},
         {"+600 chat <RichColor Color=\"1, 0.5, 0, 1\">Brunch for 1 hour and 45 minutes</>"}},
        {"ExactSwitching, the main section's text in a window that ends",
         {{"JoinMessageDelay", 5}, {"ExactSwitching", true}, {"Chatbox", false}, {"Schedules", {Brunch("10:08")}}},
         {"+5 notification Brunch: 3 minutes", "+180 notification Weekend rates on"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Running server(WelcomeConfig(row.members), At(9, 50));
        const standin::PlayerId player = server.JoinAt("Bo", At(10, 5));
        EXPECT_EQ(server.Received(player, At(10, 5), At(10, 15, 1)), row.expected);
    }
}

TEST(Welcome, NobodyIsWelcomedWhoLeftOrWhoseRatesEndedOrTwiceForOneJoin)
{
    // Saturday 10:00 to 10:30 only, at its seconds.
    Running server(WelcomeConfig({{"StartDay", 6},
                                  {"StartTime", "10:00"},
                                  {"EndDay", 6},
                                  {"EndTime", "10:30"},
                                  {"ExactSwitching", true},
                                  {"Chatbox", false}}),
                   At(9, 58));
    const standin::PlayerId early = server.JoinAt("Early", At(9, 59, 50));
    const standin::PlayerId leaving = server.JoinAt("Leaving", At(10, 1));
    const standin::PlayerId staying = server.qv.Join("Staying");
    server.RunTo(At(10, 1, 10));
    server.qv->RemovePlayer(leaving);
    server.RunTo(At(10, 12));
    server.qv->RemovePlayer(staying);
    const standin::PlayerId back = server.qv.Join("Staying");
    const standin::PlayerId late = server.JoinAt("Late", At(10, 29, 50));
    server.RunTo(At(10, 31));

    const auto notifications = [&](standin::PlayerId player) {
        Messages texts;
        for (const auto& notification : server.qv->InboxOf(player).notifications) texts.push_back(notification.text);
        return texts;
    };
    EXPECT_EQ(notifications(early), (Messages{"Weekend rates on", "Weekend rates off"}));
    EXPECT_EQ(notifications(leaving), Messages{});
    EXPECT_EQ(notifications(staying), Messages{"Weekend: 29 minutes"});
    EXPECT_EQ(notifications(back), (Messages{"Weekend: 18 minutes", "Weekend rates off"}));
    EXPECT_EQ(notifications(late), Messages{"Weekend rates off"});
}

TEST(Welcome, TheHookIsSetOnlyWhileSomeWindowHasAWelcomeAndLeavesBeforeTheLibraryDoes)
{
    PluginServer qv(2026, 12, 12);
    qv.WriteConfig(ValidConfig());
    qv.Load();
    const auto registrations = qv->Registrations();
    using Hooks = std::vector<standin::HookRegistration>;
    const Hooks none, ours{{"AShooterGameMode.HandleNewPlayer_Implementation", false}};
    EXPECT_EQ(qv->Hooks(), none);
    struct Step {
        const char* what;
        json members;
        Hooks hooks;
    };
    const Step steps[] = {
        {"a window's own welcome", {{"Schedules", {Brunch("12:00", {{"JoinMessage", "hi"}})}}}, ours},
        {"the same again", {{"Schedules", {Brunch("12:00", {{"JoinMessage", "hi"}})}}}, ours},
        {"an empty one in the main section", {{"JoinMessage", ""}}, none},
        {"the main section's", {{"JoinMessage", "hi"}}, ours},
        {"the main section's, which a window turns off for itself",
         {{"JoinMessage", "hi"}, {"Schedules", {Brunch("12:00", {{"JoinMessage", ""}})}}},
         ours},
        {"a file the plug-in refuses keeps it", {{"JoinMessage", 7}}, ours},
        {"none", json::object(), none},
    };
    for (const Step& step : steps) {
        json config = ValidConfig();
        config["Quorvandelle"].update(step.members);
        qv.WriteConfig(config);
        ASSERT_TRUE(qv->ServerConsole("qvreload"));
        EXPECT_EQ(qv->Hooks(), step.hooks) << step.what;
        EXPECT_EQ(qv->Registrations(), registrations) << step.what;
    }
    qv.WriteConfig(WelcomeConfig());
    ASSERT_TRUE(qv->ServerConsole("qvreload"));
    ASSERT_EQ(qv->Hooks(), ours);
    qv.Unload();
    EXPECT_EQ(qv->Hooks(), none) << "no detour is left behind, orphaned";
    for (const auto& record : qv->LogRecords()) {
        if (record.message.find("JoinMessage") == std::string::npos) {
            EXPECT_LT(record.level, standin::LogLevel::Error) << record.message;
        }
    }
}

TEST(Welcome, WithoutAWelcomeARunLogsAndAnnouncesWhatItAlwaysHas)
{
    // Saturday 10:00 to 10:30; a player joins before, one during and one after.
    const auto run = [](const json& members) {
        json config = ValidConfig();
        config["Quorvandelle"].update(
            {{"TimeZone", "UTC"}, {"StartDay", 6}, {"StartTime", "10:00"}, {"EndDay", 6}, {"EndTime", "10:30"}});
        config["Quorvandelle"].update(members);
        Running server(config, At(9, 50));
        std::vector<standin::PlayerId> players;
        for (const std::int64_t at : {At(9, 59), At(10, 15), At(10, 40)}) players.push_back(server.JoinAt("P", at));
        server.RunTo(At(10, 50));
        Messages seen;
        const std::string base = server.qv->BaseDirectory().string();
        for (const auto& record : server.qv->LogRecords()) {
            std::string message = record.message;
            if (const auto at = message.find(base); at != std::string::npos) message.replace(at, base.size(), "<base>");
            seen.push_back("log " + message);
        }
        for (const standin::PlayerId player : players) {
            for (const auto& notification : server.qv->InboxOf(player).notifications)
                seen.push_back("notification " + notification.text);
            for (const auto& chat : server.qv->InboxOf(player).chatRecords) seen.push_back("chat " + chat.message);
        }
        EXPECT_TRUE(server.qv->Hooks().empty());
        return seen;
    };
    const Messages before = run(json::object());
    EXPECT_GT(before.size(), 6u);
    EXPECT_EQ(run({{"JoinMessage", ""}, {"JoinMessageDelay", 45}}), before);
}

// Three made-up controllers: the decision compares them and never follows them.
AShooterPlayerController* Controller(std::uintptr_t n) { return reinterpret_cast<AShooterPlayerController*>(n); }

TEST(Welcome, AJoinIsNotedOnlyWhileRatesAreInForceAndEachWelcomeDueIsSettledOnce)
{
    const qv::Instant t = qv::Instant{} + qv::Seconds{kSaturday + At(10, 5)};
    qv::BoostState boost;
    qv::PendingWelcomes pending;
    qv::NoteJoin(pending, boost, Controller(1), t);
    EXPECT_TRUE(pending.Waiting.empty());

    boost.OwnedBy = qv::Owner::Schedule;
    boost.InForce = qv::WindowId::Schedule("Brunch");
    qv::NoteJoin(pending, boost, Controller(1), t + qv::Seconds{30});
    qv::NoteJoin(pending, boost, Controller(2), t + qv::Seconds{10});
    EXPECT_EQ(pending.NextDue, t + qv::Seconds{10});
    qv::SettleWelcomes(pending, t + qv::Seconds{10});
    ASSERT_EQ(pending.Waiting.size(), 1u);
    EXPECT_EQ(pending.Waiting[0].Player, Controller(1));
    EXPECT_EQ(pending.NextDue, t + qv::Seconds{30});

    // Those waiting joined into rates that have ended.
    boost.InForce = qv::WindowId::Weekly();
    qv::NoteJoin(pending, boost, Controller(3), t + qv::Seconds{40});
    ASSERT_EQ(pending.Waiting.size(), 1u);
    EXPECT_EQ(pending.Waiting[0].Player, Controller(3));
    EXPECT_EQ(pending.NextDue, t + qv::Seconds{40});
    qv::SettleWelcomes(pending, t + qv::Seconds{40});
    EXPECT_TRUE(pending.Waiting.empty());
    EXPECT_EQ(pending.NextDue, qv::kNeverDue);
}

TEST(Welcome, TheDecisionWelcomesTheConnectedWhileTheWindowTheyJoinedIntoIsInForce)
{
    // Brunch takes the main section's text; Quiet has none.
    const auto decoded = qv::DecodeConfig(
        WelcomeConfig(
            {{"Schedules",
              {Brunch("12:00"),
               {{"Name", "Quiet"}, {"Days", {6}}, {"From", "13:00"}, {"Until", "14:00"}, {"JoinMessage", ""}}}}})
            .dump(),
        std::nullopt);
    ASSERT_TRUE(decoded.Value.has_value());
    const qv::Config& config = *decoded.Value;
    const auto boost = [](qv::Owner owner, qv::WindowId window) {
        qv::BoostState state;
        state.OwnedBy = owner;
        state.InForce = std::move(window);
        return state;
    };
    const qv::BoostState brunch = boost(qv::Owner::Schedule, qv::WindowId::Schedule("Brunch"));
    struct Row {
        const char* what;
        qv::BoostState boost;
        qv::WindowId joinedInto;
        std::vector<std::pair<std::uintptr_t, std::int64_t>> waiting; // controller, due
        std::vector<std::uintptr_t> connected;
        std::int64_t now;
        Messages expected; // "controller minutes"
    };
    const std::int64_t soon = At(10, 5, 30);
    const std::vector<Row> rows = {
        {"due and connected, in join order",
         brunch,
         brunch.InForce,
         {{2, soon}, {1, soon - 5}},
         {1, 2},
         soon,
         {"2: 115 minutes", "1: 115 minutes"}},
        {"not due yet, or gone", brunch, brunch.InForce, {{1, soon + 1}, {2, soon}}, {1}, soon, {}},
        {"the same controller joined again since", brunch, brunch.InForce, {{1, soon}, {1, soon + 30}}, {1}, soon, {}},
        {"another window came into force", brunch, qv::WindowId::Weekly(), {{1, soon}}, {1}, soon, {}},
        {"an administrator's weekend has no end",
         boost(qv::Owner::Administrator, qv::WindowId::Weekly()),
         qv::WindowId::Weekly(),
         {{1, soon}},
         {1},
         soon,
         {"1: no end"}},
        {"the clock has left the window", brunch, brunch.InForce, {{1, At(12, 0, 1)}}, {1}, At(12, 0, 1), {}},
        {"a window without a welcome",
         boost(qv::Owner::Schedule, qv::WindowId::Schedule("Quiet")),
         qv::WindowId::Schedule("Quiet"),
         {{1, At(13, 30)}},
         {1},
         At(13, 30),
         {}},
    };
    for (const Row& row : rows) {
        qv::PendingWelcomes pending;
        pending.Window = row.joinedInto;
        for (const auto& [controller, due] : row.waiting) {
            pending.Waiting.push_back({Controller(controller), qv::Instant{} + qv::Seconds{kSaturday + due}});
        }
        std::vector<const AShooterPlayerController*> connected;
        for (const std::uintptr_t controller : row.connected) connected.push_back(Controller(controller));
        Messages decided;
        for (const qv::Action& action : qv::DecideWelcomes(
                 config, row.boost, {}, pending, qv::Instant{} + qv::Seconds{kSaturday + row.now}, connected)) {
            const auto& welcome = std::get<qv::action::Welcome>(action);
            EXPECT_EQ(welcome.Window, row.joinedInto) << row.what;
            decided.push_back(fmt::format("{}: {}", reinterpret_cast<std::uintptr_t>(welcome.Player),
                                          welcome.MinutesLeft ? fmt::format("{} minutes", *welcome.MinutesLeft)
                                                              : std::string("no end")));
        }
        EXPECT_EQ(decided, row.expected) << row.what;
    }
}

} // namespace
} // namespace rates_testing
