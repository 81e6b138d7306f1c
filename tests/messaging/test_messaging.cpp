// What players are sent, as the game receives it: the announcements of a switch through the real
// plug-in library (an administrator's toggle switches), and the server chat line to one player.
#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "plugin/host/Colors.h"
#include "plugin/messaging/Messaging.h"
#include "tests/support/PluginServer.h"

using namespace qv;

namespace {

using standin::MessageKind;
using standin::PlayerId;
using testing_support::ValidConfig;

class Messaging : public ::testing::Test {
protected:
    void SetUp() override
    {
        qv_.WriteConfig(ValidConfig());
        qv_.Load();
        ada_ = qv_.Join("Ada", true);
        bo_ = qv_.Join("Bo");
    }

    // Reloads ValidConfig() with the given members replaced.
    void Configure(const nlohmann::json& members)
    {
        nlohmann::json config = ValidConfig();
        config["Quorvandelle"].update(members);
        qv_.WriteConfig(config);
        const std::size_t recordsBefore = qv_->LogRecords().size();
        ASSERT_TRUE(qv_->ServerConsole("qvreload"));
        for (std::size_t i = recordsBefore; i < qv_->LogRecords().size(); ++i) {
            ASSERT_LT(qv_->LogRecords()[i].level, standin::LogLevel::Error) << qv_->LogRecords()[i].message;
        }
    }

    // Each use switches the other way, starting with the weekend.
    void Toggle() { ASSERT_TRUE(qv_->Chat(ada_, "/ToggleQuorvandelle")); }

    std::size_t WarningsMentioning(const std::string& text)
    {
        std::size_t count = 0;
        for (const auto& record : qv_.server().LogRecords()) {
            if (record.level == standin::LogLevel::Warning && record.message.find(text) != std::string::npos) ++count;
        }
        return count;
    }

    testing_support::PluginServer qv_;
    PlayerId ada_{};
    PlayerId bo_{};
};

TEST_F(Messaging, TheAnnouncementFlagsChooseWhatEveryPlayerIsSentNotificationFirst)
{
    const struct {
        bool notification, chatbox;
        std::vector<MessageKind> perSwitch;
    } cases[] = {
        {true, true, {MessageKind::Notification, MessageKind::ChatRecord}},
        {true, false, {MessageKind::Notification}},
        {false, true, {MessageKind::ChatRecord}},
        {false, false, {}},
    };
    for (const auto& flags : cases) {
        SCOPED_TRACE(std::string("Notification ") + (flags.notification ? "true" : "false") + ", Chatbox " +
                     (flags.chatbox ? "true" : "false"));
        Configure({{"Notification", flags.notification}, {"Chatbox", flags.chatbox}});
        qv_->ClearInboxes();
        Toggle();
        EXPECT_EQ(qv_->Multiplier("XPMultiplier"), 2.0f) << "silent or not, the rates switch";
        Toggle();

        std::vector<MessageKind> expected = flags.perSwitch;
        expected.insert(expected.end(), flags.perSwitch.begin(), flags.perSwitch.end());
        for (const PlayerId player : {ada_, bo_}) EXPECT_EQ(qv_->InboxOf(player).order, expected);
    }
}

TEST_F(Messaging, AnEmptyMessageIsStillAnnounced)
{
    Configure({{"QuorvandelleEnabledMessage", ""}});
    Toggle();
    const standin::Inbox inbox = qv_->InboxOf(bo_);
    ASSERT_EQ(inbox.notifications.size(), 1u);
    EXPECT_EQ(inbox.notifications[0].units, u"");
    ASSERT_EQ(inbox.chatRecords.size(), 1u);
    EXPECT_EQ(inbox.chatRecords[0].message, R"(<RichColor Color="0, 1, 0, 1"></>)");
}

TEST_F(Messaging, APlayerWhoLeftIsSkippedAndTheOthersAreReached)
{
    const PlayerId cy = qv_.Join("Cy");
    qv_->RemovePlayer(bo_);
    Toggle();
    const std::vector<MessageKind> announcement = {MessageKind::Notification, MessageKind::ChatRecord};
    EXPECT_EQ(qv_->InboxOf(ada_).order, announcement);
    EXPECT_EQ(qv_->InboxOf(bo_).Count(), 0u);
    EXPECT_EQ(qv_->InboxOf(cy).order, announcement);
}

TEST_F(Messaging, TheChatLineCarriesTheColourAndTheTextUnderTheServerName)
{
    const struct {
        nlohmann::json color;
        const char* line;
    } cases[] = {
        {{0, 1, 0, 1}, R"(<RichColor Color="0, 1, 0, 1">Rates up</>)"},
        {{0.25, 0.5, 0.75, 1}, R"(<RichColor Color="0.25, 0.5, 0.75, 1">Rates up</>)"},
        {{0.1, 1.0 / 3.0, 0.00001, 1000000}, R"(<RichColor Color="0.1, 0.333333, 1e-05, 1e+06">Rates up</>)"},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.color.dump());
        Configure({{"QuorvandelleEnabledRGB", row.color}, {"QuorvandelleEnabledMessage", "Rates up"}});
        qv_->ClearInboxes();
        Toggle();
        Toggle();
        const standin::Inbox inbox = qv_->InboxOf(bo_);
        ASSERT_FALSE(inbox.chatRecords.empty());
        const standin::ReceivedChatRecord& record = inbox.chatRecords[0];
        EXPECT_EQ(record.message, row.line);
        EXPECT_EQ(record.senderName, "Test Server");
        EXPECT_EQ(record.senderSteamName, "");
        EXPECT_EQ(record.senderTribeName, "");
        EXPECT_EQ(record.senderId, 0u);
        EXPECT_EQ(record.receiver, "");
        EXPECT_EQ(record.senderTeamIndex, 0);
        EXPECT_EQ(record.receivedTime, -1.0);
        EXPECT_EQ(record.sendMode, 0);
        EXPECT_EQ(record.radioFrequency, 0u);
        EXPECT_EQ(record.chatType, 0);
        EXPECT_TRUE(record.senderIconWasNull);
        EXPECT_EQ(record.userId, "");
    }

    Configure({{"ServerName", ""}});
    qv_->ClearInboxes();
    Toggle();
    ASSERT_EQ(qv_->InboxOf(bo_).chatRecords.size(), 1u);
    EXPECT_EQ(qv_->InboxOf(bo_).chatRecords[0].senderName, "");
}

TEST_F(Messaging, TheNotificationIsShownAtScale12For8SecondsInItsColourWithoutIconOrSound)
{
    Configure({{"QuorvandelleEnabledRGB", {0.2, 0.4, 0.6, 0.8}}, {"QuorvandelleDisabledRGB", {1, 0.5, 0, 0.25}}});
    Toggle();
    Toggle();
    const standin::Inbox inbox = qv_->InboxOf(bo_);
    ASSERT_EQ(inbox.notifications.size(), 2u);
    const standin::ReceivedColor colors[] = {{0.2f, 0.4f, 0.6f, 0.8f}, {1.0f, 0.5f, 0.0f, 0.25f}};
    for (std::size_t i = 0; i < 2; ++i) {
        const standin::ShownNotification& shown = inbox.notifications[i];
        EXPECT_EQ(shown.scale, 1.2f);
        EXPECT_EQ(shown.seconds, 8.0f);
        EXPECT_TRUE(shown.iconWasNull);
        EXPECT_TRUE(shown.soundWasNull);
        EXPECT_EQ(shown.color.R, colors[i].R);
        EXPECT_EQ(shown.color.G, colors[i].G);
        EXPECT_EQ(shown.color.B, colors[i].B);
        EXPECT_EQ(shown.color.A, colors[i].A);
    }
}

TEST_F(Messaging, DoubledBracesAreSingleInANotificationAndUnchangedInTheChatLine)
{
    Configure({{"QuorvandelleEnabledMessage", "Rates {{x2}} on"}});
    Toggle();
    const standin::Inbox inbox = qv_->InboxOf(bo_);
    ASSERT_EQ(inbox.notifications.size(), 1u);
    EXPECT_EQ(inbox.notifications[0].text, "Rates {x2} on");
    ASSERT_EQ(inbox.chatRecords.size(), 1u);
    EXPECT_EQ(inbox.chatRecords[0].message, R"(<RichColor Color="0, 1, 0, 1">Rates {{x2}} on</>)");
    EXPECT_EQ(WarningsMentioning("not a valid message pattern"), 0u);
}

TEST_F(Messaging, ATextThatIsNoValidPatternIsSentAsWrittenWithOneWarningPerSwitch)
{
    const PlayerId cy = qv_.Join("Cy");
    Configure({{"QuorvandelleEnabledMessage", "Rates {up"}, {"QuorvandelleDisabledMessage", "{0} down}"}});
    qv_->ClearLog();

    Toggle();
    EXPECT_EQ(qv_->Multiplier("XPMultiplier"), 2.0f) << "the switch itself went through";
    EXPECT_EQ(WarningsMentioning("QuorvandelleEnabledMessage"), 1u);
    Toggle();
    EXPECT_EQ(WarningsMentioning("QuorvandelleDisabledMessage"), 1u);
    EXPECT_EQ(WarningsMentioning("QuorvandelleEnabledMessage"), 1u);

    for (const PlayerId player : {ada_, bo_, cy}) {
        const standin::Inbox inbox = qv_->InboxOf(player);
        ASSERT_EQ(inbox.notifications.size(), 2u);
        EXPECT_EQ(inbox.notifications[0].text, "Rates {up");
        EXPECT_EQ(inbox.notifications[1].text, "{0} down}");
        ASSERT_EQ(inbox.chatRecords.size(), 2u);
        EXPECT_EQ(inbox.chatRecords[0].message, R"(<RichColor Color="0, 1, 0, 1">Rates {up</>)");
        EXPECT_EQ(inbox.chatRecords[1].message, R"(<RichColor Color="1, 0, 0, 1">{0} down}</>)");
    }
}

TEST_F(Messaging, WithoutAWorldASwitchStillTakesPlaceAndNobodyIsSentAnything)
{
    // The host's world can be down while its game mode and a player's command are still there.
    qv_->RemoveWorld();
    Toggle();
    EXPECT_EQ(qv_->Multiplier("XPMultiplier"), 2.0f);
    EXPECT_EQ(qv_->MessageOfTheDay(), "It is the weekend");
    EXPECT_EQ(qv_->InboxOf(ada_).Count() + qv_->InboxOf(bo_).Count(), 0u);
    EXPECT_TRUE(qv_->EscapedExceptions().empty());
    EXPECT_TRUE(qv_.PluginLogMessages(standin::LogLevel::Error).empty());

    qv_->RestoreWorld();
    Toggle();
    EXPECT_EQ(qv_->InboxOf(bo_).notifications.size(), 1u) << "the switch back is announced again";
}

TEST_F(Messaging, TextsBeyondAsciiReachEveryPlayerUnchanged)
{
    const struct {
        const char* utf8;
        const char16_t* units;
    } cases[] = {
        {"Caf\xC3\xA9 weekend", u"Caf\u00E9 weekend"},
        {"\xE9\x80\xB1\xE6\x9C\xAB \xF0\x9F\x8E\x89", u"\u9031\u672B \U0001F389"},
    };
    for (const auto& text : cases) {
        SCOPED_TRACE(text.utf8);
        Configure({{"QuorvandelleEnabledMessage", text.utf8}});
        qv_->ClearInboxes();
        Toggle();
        Toggle();
        const standin::Inbox inbox = qv_->InboxOf(bo_);
        ASSERT_EQ(inbox.notifications.size(), 2u);
        EXPECT_EQ(inbox.notifications[0].units, text.units);
        ASSERT_EQ(inbox.chatRecords.size(), 2u);
        EXPECT_EQ(inbox.chatRecords[0].messageUnits,
                  std::u16string(u"<RichColor Color=\"0, 1, 0, 1\">") + text.units + u"</>");
    }
}

// TellPlayer's one caller in the library replies a fixed text; the core shows what becomes of others.
TEST_F(Messaging, TellPlayerShowsNarrowBytesBeyondAsciiAsQuestionMarks)
{
    const struct {
        const char* text;
        const char* shown;
    } cases[] = {
        {"Caf\xC3\xA9", "Caf??"},
        {"{{ok}}", "{ok}"},
        {"not {a pattern", "not {a pattern"},
    };
    const MessageColor green{0.0f, 1.0f, 0.0f, 1.0f};
    for (const auto& row : cases) TellPlayer(qv_->Controller(bo_), green, row.text);
    TellPlayer(nullptr, green, "nobody");

    const standin::Inbox inbox = qv_->InboxOf(bo_);
    ASSERT_EQ(inbox.directChats.size(), std::size(cases));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(inbox.directChats[i].text, cases[i].shown);
        EXPECT_EQ(inbox.directChats[i].color.G, 1.0f);
        EXPECT_FALSE(inbox.directChats[i].flag);
    }
    EXPECT_EQ(qv_->InboxOf(ada_).Count(), 0u);
}

TEST_F(Messaging, TheAllocatorsAccountsBalanceAfterBroadcastsToManyPlayers)
{
    constexpr std::size_t kPlayers = 200;
    std::vector<PlayerId> players = {ada_, bo_};
    while (players.size() < kPlayers) players.push_back(qv_.Join("Player " + std::to_string(players.size())));
    const standin::AllocatorAccounts before = qv_->Allocations();

    constexpr int kSwitches = 6;
    for (int i = 0; i < kSwitches; ++i) Toggle();

    const standin::AllocatorAccounts after = qv_->Allocations();
    EXPECT_EQ(after.liveBlocks, before.liveBlocks);
    EXPECT_EQ(after.liveBytes, before.liveBytes);
    // Each chat line is a fresh copy of the record per player, which the game disposes of.
    EXPECT_GE(after.totalAllocations - before.totalAllocations, kSwitches * kPlayers);
    for (const PlayerId player : players) ASSERT_EQ(qv_->InboxOf(player).Count(), 2u * kSwitches);
}

} // namespace
