// One row per kind of record: the sentence for the weekly window, the two ends around a
// schedule's name, and the two ends around the weekly window's name when the main section gives it
// one. A name may itself hold quotes, so it is what lies between the two ends.
#include "plugin/rates/SwitchRecords.h"

#include <charconv>

namespace qv {

namespace {

struct Sentence {
    SwitchEvent Event;
    std::string_view Weekly; // empty: only schedules have the record
    std::string_view Before; // empty: only the weekly window has the record
    std::string_view After;
    std::string_view WeeklyBefore; // empty: the record names no window
    std::string_view WeeklyAfter;
};

// A schedule's window is named, and its rates are not called the weekend's; nor are the weekly
// window's when the main section names it.
constexpr Sentence kSentences[] = {
    {SwitchEvent::OnBySchedule, "Weekend rates switched on by the schedule", "Rates of window \"",
     "\" switched on by the schedule", "Rates of the weekly window \"", "\" switched on by the schedule"},
    {SwitchEvent::MovedBySchedule, "Weekend rates moved to the weekly window by the schedule",
     "Rates moved to window \"", "\" by the schedule", "Rates moved to the weekly window \"", "\" by the schedule"},
    {SwitchEvent::TakenOver, "Weekend window opened during a manual weekend; the schedule takes it over", "Window \"",
     "\" opened while the rates were switched on by hand; the schedule takes it over", "Weekly window \"",
     "\" opened while the rates were switched on by hand; the schedule takes it over"},
    {SwitchEvent::IntoNewGameMode, "Weekend rates put into the new game mode", "Rates of window \"",
     "\" put into the new game mode", "Rates of the weekly window \"", "\" put into the new game mode"},
    {SwitchEvent::OnByHand, "Weekend rates switched on by hand", "", "", "Rates of the weekly window \"",
     "\" switched on by hand"},
    {SwitchEvent::BackBySchedule, "Normal rates switched back by the schedule", "", "", "", ""},
    {SwitchEvent::BackByHand, "Normal rates switched back by hand", "", "", "", ""},
    {SwitchEvent::RestoredOnUnload, "Normal rates restored on unload", "", "", "", ""},
};

constexpr std::string_view kReminderBefore = "Reminder sent: ";
constexpr std::string_view kReminderMiddle = " in ";
constexpr std::string_view kReminderAfter = " minutes";
// A reminder of the weekly window under a name of the main section's.
constexpr std::string_view kWeeklyBefore = "the weekly window \"";
constexpr std::string_view kWeeklyAfter = "\"";

bool StartsWith(std::string_view text, std::string_view start) { return text.substr(0, start.size()) == start; }
bool EndsWith(std::string_view text, std::string_view end)
{
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

// What lies between before and after in text, when text has both ends.
std::optional<std::string_view> Between(std::string_view text, std::string_view before, std::string_view after)
{
    if (before.empty() || text.size() < before.size() + after.size() || !StartsWith(text, before) ||
        !EndsWith(text, after)) {
        return std::nullopt;
    }
    return text.substr(before.size(), text.size() - before.size() - after.size());
}

std::optional<SwitchRecord> ReadReminder(std::string_view text)
{
    if (!StartsWith(text, kReminderBefore) || !EndsWith(text, kReminderAfter)) return std::nullopt;
    const std::string_view between =
        text.substr(kReminderBefore.size(), text.size() - kReminderBefore.size() - kReminderAfter.size());
    const std::size_t in = between.rfind(kReminderMiddle);
    if (in == std::string_view::npos) return std::nullopt;
    const std::string_view number = between.substr(in + kReminderMiddle.size());
    std::int32_t minutes = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), minutes);
    if (error != std::errc() || end != number.data() + number.size()) return std::nullopt;
    const std::string_view name = between.substr(0, in);
    if (const std::optional<std::string_view> weekly = Between(name, kWeeklyBefore, kWeeklyAfter)) {
        return SwitchRecord{SwitchEvent::ReminderSent, WindowId::Weekly(std::string(*weekly)), minutes};
    }
    const WindowId window = name == kWeeklyWindowName ? WindowId::Weekly() : WindowId::Schedule(std::string(name));
    return SwitchRecord{SwitchEvent::ReminderSent, window, minutes};
}

} // namespace

std::string RecordText(const SwitchRecord& record)
{
    const std::string name(record.Window.DisplayName());
    if (record.Event == SwitchEvent::ReminderSent) {
        const std::string window =
            record.Window.RenamedWeekly() ? std::string(kWeeklyBefore) + name + std::string(kWeeklyAfter) : name;
        return std::string(kReminderBefore) + window + std::string(kReminderMiddle) + std::to_string(record.Minutes) +
               std::string(kReminderAfter);
    }
    for (const Sentence& sentence : kSentences) {
        if (sentence.Event != record.Event) continue;
        if (record.Window.RenamedWeekly() && !sentence.WeeklyBefore.empty()) {
            return std::string(sentence.WeeklyBefore) + name + std::string(sentence.WeeklyAfter);
        }
        if (record.Window.IsWeekly() || sentence.Before.empty()) return std::string(sentence.Weekly);
        return std::string(sentence.Before) + name + std::string(sentence.After);
    }
    return {};
}

std::optional<SwitchRecord> ReadRecord(std::string_view text)
{
    for (const Sentence& sentence : kSentences) {
        if (!sentence.Weekly.empty() && text == sentence.Weekly)
            return SwitchRecord{sentence.Event, WindowId::Weekly(), 0};
        if (const auto name = Between(text, sentence.WeeklyBefore, sentence.WeeklyAfter)) {
            return SwitchRecord{sentence.Event, WindowId::Weekly(std::string(*name)), 0};
        }
        if (const auto name = Between(text, sentence.Before, sentence.After)) {
            return SwitchRecord{sentence.Event, WindowId::Schedule(std::string(*name)), 0};
        }
    }
    return ReadReminder(text);
}

bool PutsWindowInForce(const SwitchRecord& record)
{
    switch (record.Event) {
    case SwitchEvent::OnBySchedule:
    case SwitchEvent::MovedBySchedule:
    case SwitchEvent::TakenOver:
    case SwitchEvent::OnByHand:
        return true;
    default:
        return false;
    }
}

bool PutsNormalValuesBack(const SwitchRecord& record)
{
    return record.Event == SwitchEvent::BackBySchedule || record.Event == SwitchEvent::BackByHand ||
           record.Event == SwitchEvent::RestoredOnUnload;
}

} // namespace qv
