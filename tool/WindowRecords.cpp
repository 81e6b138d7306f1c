// One table of the records' patterns. A record names a schedule in quotes and the weekly window not
// at all; a name may itself hold quotes, so it is what lies between the pattern's two ends.
#include "tool/WindowRecords.h"

#include <charconv>

namespace qvtool {

namespace {

enum class Says { InForce, NormalBack, Reminder };

struct Pattern {
    std::string_view start;
    // Empty: the record is start exactly and names no window, so the weekly window's values are
    // meant. Otherwise the record ends so, and what lies between is the window's name (a reminder:
    // "NAME in N").
    std::string_view end;
    Says says;
};

constexpr Pattern kPatterns[] = {
    {"Weekend rates switched on by the schedule", "", Says::InForce},
    {"Weekend rates switched on by the schedule (window \"", "\")", Says::InForce},
    {"Weekend rates moved to the weekly window by the schedule", "", Says::InForce},
    {"Weekend rates moved to window \"", "\" by the schedule", Says::InForce},
    {"Weekend window opened during a manual weekend; the schedule takes it over", "", Says::InForce},
    {"Weekend window opened during a manual weekend; the schedule takes it over (window \"", "\")", Says::InForce},
    {"Weekend rates switched on by hand", "", Says::InForce},
    {"Normal rates switched back by the schedule", "", Says::NormalBack},
    {"Normal rates switched back by hand", "", Says::NormalBack},
    {"Normal rates restored on unload", "", Says::NormalBack},
    {"Reminder sent: ", " minutes", Says::Reminder},
};

std::optional<WindowRecord> Reminder(std::string_view between)
{
    const std::size_t in = between.rfind(" in ");
    if (in == std::string_view::npos) return std::nullopt;
    const std::string_view number = between.substr(in + 4);
    std::int32_t minutes = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), minutes);
    if (error != std::errc() || end != number.data() + number.size()) return std::nullopt;
    return records::ReminderSent{std::string(between.substr(0, in)), minutes};
}

} // namespace

std::optional<WindowRecord> ReadWindowRecord(std::string_view text)
{
    for (const Pattern& pattern : kPatterns) {
        std::string_view between = kWeeklyWindowName;
        if (pattern.end.empty()) {
            if (text != pattern.start) continue;
        } else {
            if (text.size() < pattern.start.size() + pattern.end.size() ||
                text.substr(0, pattern.start.size()) != pattern.start ||
                text.substr(text.size() - pattern.end.size()) != pattern.end) {
                continue;
            }
            between = text.substr(pattern.start.size(), text.size() - pattern.start.size() - pattern.end.size());
        }
        switch (pattern.says) {
        case Says::InForce:
            return records::WindowInForce{std::string(between)};
        case Says::NormalBack:
            return records::NormalBack{};
        case Says::Reminder:
            return Reminder(between);
        }
    }
    return std::nullopt;
}

} // namespace qvtool
