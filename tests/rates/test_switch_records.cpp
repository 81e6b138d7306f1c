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
    const WindowId windows[] = {WindowId::Weekly(), WindowId::Schedule("Evening"),
                                WindowId::Schedule("Night \"owl\") in 5 minutes by the schedule"),
                                WindowId::Schedule("\xC3\x89t\xC3\xA9")};
    for (const SwitchEvent event : kEvents) {
        for (const WindowId& window : windows) {
            const SwitchRecord written{event, window, 45};
            const std::string text = RecordText(written);
            const std::optional<SwitchRecord> read = ReadRecord(text);
            ASSERT_TRUE(read.has_value()) << text;
            EXPECT_EQ(read->Event, event) << text;
            // Records about the normal values and the toggle name no window.
            const bool named = PutsWindowInForce(written) && event != SwitchEvent::OnByHand;
            if (named || event == SwitchEvent::IntoNewGameMode || event == SwitchEvent::ReminderSent) {
                EXPECT_EQ(read->Window, window) << text;
            }
            if (event == SwitchEvent::ReminderSent) {
                EXPECT_EQ(read->Minutes, 45) << text;
            }
        }
    }
    for (const char* other : {"", "Config reloaded from config.json", "Reminder sent: Evening in many minutes",
                              "Weekend rates switched on by the schedule (window \"Evening"}) {
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
        {{SwitchEvent::OnBySchedule, WindowId::Schedule("Evening")},
         "Weekend rates switched on by the schedule (window \"Evening\")"},
        {{SwitchEvent::MovedBySchedule, WindowId::Schedule("Evening")},
         "Weekend rates moved to window \"Evening\" by the schedule"},
    };
    for (const auto& [record, text] : rows) EXPECT_EQ(RecordText(record), text);
}

} // namespace
