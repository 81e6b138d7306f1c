// One row per kind of record: the sentence for the weekly window, and the two ends around a
// schedule's name. A name may itself hold quotes, so it is what lies between the two ends.
#include "plugin/rates/SwitchRecords.h"

#include <charconv>

namespace qv {

namespace {

struct Sentence {
    SwitchEvent Event;
    std::string_view Weekly; // empty: only schedules have the record
    std::string_view Before; // empty: only the weekly window has the record
    std::string_view After;
};

constexpr Sentence kSentences[] = {
    {SwitchEvent::OnBySchedule, "Weekend rates switched on by the schedule",
     "Weekend rates switched on by the schedule (window \"", "\")"},
    {SwitchEvent::MovedBySchedule, "Weekend rates moved to the weekly window by the schedule",
     "Weekend rates moved to window \"", "\" by the schedule"},
    {SwitchEvent::TakenOver, "Weekend window opened during a manual weekend; the schedule takes it over",
     "Weekend window opened during a manual weekend; the schedule takes it over (window \"", "\")"},
    {SwitchEvent::IntoNewGameMode, "Weekend rates put into the new game mode",
     "Weekend rates put into the new game mode (window \"", "\")"},
    {SwitchEvent::OnByHand, "Weekend rates switched on by hand", "", ""},
    {SwitchEvent::BackBySchedule, "Normal rates switched back by the schedule", "", ""},
    {SwitchEvent::BackByHand, "Normal rates switched back by hand", "", ""},
    {SwitchEvent::RestoredOnUnload, "Normal rates restored on unload", "", ""},
};

constexpr std::string_view kReminderBefore = "Reminder sent: ";
constexpr std::string_view kReminderMiddle = " in ";
constexpr std::string_view kReminderAfter = " minutes";

bool StartsWith(std::string_view text, std::string_view start) { return text.substr(0, start.size()) == start; }
bool EndsWith(std::string_view text, std::string_view end)
{
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
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
    const WindowId window =
        name == WindowId::Weekly().DisplayName() ? WindowId::Weekly() : WindowId::Schedule(std::string(name));
    return SwitchRecord{SwitchEvent::ReminderSent, window, minutes};
}

} // namespace

std::string RecordText(const SwitchRecord& record)
{
    if (record.Event == SwitchEvent::ReminderSent) {
        return std::string(kReminderBefore) + std::string(record.Window.DisplayName()) + std::string(kReminderMiddle) +
               std::to_string(record.Minutes) + std::string(kReminderAfter);
    }
    for (const Sentence& sentence : kSentences) {
        if (sentence.Event != record.Event) continue;
        if (record.Window.IsWeekly() || sentence.Before.empty()) return std::string(sentence.Weekly);
        return std::string(sentence.Before) + record.Window.ScheduleName() + std::string(sentence.After);
    }
    return {};
}

std::optional<SwitchRecord> ReadRecord(std::string_view text)
{
    for (const Sentence& sentence : kSentences) {
        if (!sentence.Weekly.empty() && text == sentence.Weekly)
            return SwitchRecord{sentence.Event, WindowId::Weekly(), 0};
        if (sentence.Before.empty() || text.size() < sentence.Before.size() + sentence.After.size() ||
            !StartsWith(text, sentence.Before) || !EndsWith(text, sentence.After)) {
            continue;
        }
        const std::string_view name =
            text.substr(sentence.Before.size(), text.size() - sentence.Before.size() - sentence.After.size());
        return SwitchRecord{sentence.Event, WindowId::Schedule(std::string(name)), 0};
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
