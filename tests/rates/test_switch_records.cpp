// The switch records: every sentence the plug-in writes reads back as what it said, and the weekly
// window's sentences are the ones the log has always had.
#include <gtest/gtest.h>

#include "plugin/rates/SwitchRecords.h"

using namespace qv;

namespace {

constexpr SwitchEvent kEvents[] = {
    SwitchEvent::OnBySchedule,    SwitchEvent::MovedBySchedule,  SwitchEvent::TakenOver,
    SwitchEvent::IntoNewGameMode, SwitchEvent::OnByHand,         SwitchEvent::BackBySchedule,
    SwitchEvent::BackByHand,      SwitchEvent::RestoredOnUnload, SwitchEvent::ReminderSent,
};

TEST(SwitchRecords, EverySentenceReadsBackAsWhatItSays)
{
    // Names that hold the words and quotes the sentences are made of.
    const WindowId windows[] = {WindowId::Weekly(),
                                WindowId::Schedule("Evening"),
                                WindowId::Schedule("Night \"owl\") in 5 minutes by the schedule"),
                                WindowId::Schedule("\xC3\x89t\xC3\xA9"),
                                WindowId::Weekly("Double XP"),
                                WindowId::Weekly("Weekend \"owl\" in 5 minutes by the schedule")};
    for (const SwitchEvent event : kEvents) {
        for (const WindowId& window : windows) {
            const SwitchRecord written{event, window, 45};
            const std::string text = RecordText(written);
            const std::optional<SwitchRecord> read = ReadRecord(text);
            ASSERT_TRUE(read.has_value()) << text;
            EXPECT_EQ(read->Event, event) << text;
            // Records about the normal values and the toggle name no window.
            const bool named = PutsWindowInForce(written) && (event != SwitchEvent::OnByHand || window.IsWeekly());
            if (named || event == SwitchEvent::IntoNewGameMode || event == SwitchEvent::ReminderSent) {
                EXPECT_EQ(read->Window, window) << text;
                EXPECT_EQ(read->Window.DisplayName(), window.DisplayName()) << text;
            }
            if (event == SwitchEvent::ReminderSent) {
                EXPECT_EQ(read->Minutes, 45) << text;
            }
        }
    }
    for (const char* other :
         {"", "Config reloaded from config.json", "Reminder sent: Evening in many minutes",
          "Rates of window \"Evening\" switched on", "Weekend rates switched on by the schedule (window"}) {
        EXPECT_FALSE(ReadRecord(other).has_value()) << other;
    }
}

TEST(SwitchRecords, TheWeeklyWindowKeepsItsSentences)
{
    const std::pair<SwitchRecord, const char*> rows[] = {
        {{SwitchEvent::OnBySchedule}, "Weekend rates switched on by the schedule"},
        {{SwitchEvent::MovedBySchedule}, "Weekend rates moved to the weekly window by the schedule"},
        {{SwitchEvent::TakenOver}, "Weekend window opened during a manual weekend; the schedule takes it over"},
        {{SwitchEvent::IntoNewGameMode}, "Weekend rates put into the new game mode"},
        {{SwitchEvent::OnByHand}, "Weekend rates switched on by hand"},
        {{SwitchEvent::BackBySchedule}, "Normal rates switched back by the schedule"},
        {{SwitchEvent::BackByHand}, "Normal rates switched back by hand"},
        {{SwitchEvent::RestoredOnUnload}, "Normal rates restored on unload"},
        {{SwitchEvent::ReminderSent, WindowId::Weekly(), 10}, "Reminder sent: Weekend in 10 minutes"},
    };
    for (const auto& [record, text] : rows) EXPECT_EQ(RecordText(record), text);
}

TEST(SwitchRecords, AWeeklyWindowNamedInTheMainSectionIsNamedByIt)
{
    const WindowId named = WindowId::Weekly("Double XP");
    const std::pair<SwitchRecord, const char*> rows[] = {
        {{SwitchEvent::OnBySchedule, named}, "Rates of the weekly window \"Double XP\" switched on by the schedule"},
        {{SwitchEvent::OnByHand, named}, "Rates of the weekly window \"Double XP\" switched on by hand"},
        {{SwitchEvent::BackBySchedule, named}, "Normal rates switched back by the schedule"},
        {{SwitchEvent::ReminderSent, named, 10}, "Reminder sent: the weekly window \"Double XP\" in 10 minutes"},
        // Named as it is without a name: the sentences the log has always had.
        {{SwitchEvent::OnBySchedule, WindowId::Weekly("Weekend")}, "Weekend rates switched on by the schedule"},
        {{SwitchEvent::ReminderSent, WindowId::Weekly("Weekend"), 10}, "Reminder sent: Weekend in 10 minutes"},
    };
    for (const auto& [record, text] : rows) EXPECT_EQ(RecordText(record), text);
}

TEST(SwitchRecords, AScheduleIsNamedAndNotCalledTheWeekend)
{
    const WindowId evening = WindowId::Schedule("Evening");
    const std::pair<SwitchRecord, const char*> rows[] = {
        {{SwitchEvent::OnBySchedule, evening}, "Rates of window \"Evening\" switched on by the schedule"},
        {{SwitchEvent::MovedBySchedule, evening}, "Rates moved to window \"Evening\" by the schedule"},
        {{SwitchEvent::TakenOver, evening},
         "Window \"Evening\" opened while the rates were switched on by hand; the schedule takes it over"},
        {{SwitchEvent::IntoNewGameMode, evening}, "Rates of window \"Evening\" put into the new game mode"},
    };
    for (const auto& [record, text] : rows) EXPECT_EQ(RecordText(record), text);
}

} // namespace
