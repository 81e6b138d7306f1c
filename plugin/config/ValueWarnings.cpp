// The probable mistakes in the values as written: each rule speaks of the value the plug-in will
// really use (5.7 as 5, true as 1), as decoded.
#include "plugin/config/WarningRules.h"

#include <algorithm>
#include <cmath>
#include <tuple>

#include <fmt/format.h>

#include "plugin/config/Schedules.h"
#include "plugin/messaging/Patterns.h"
#include "plugin/schedule/Cadence.h"
#include "plugin/schedule/DayRule.h"

namespace qv {

namespace {

// Without ExactSwitching a reminder goes out at the first evaluation at or after its moment, and
// only while its window has not come into force yet: a lead shorter than the time between two
// evaluations is skipped whenever none falls in it.
void WarnOnShortLeads(const WarningContext& context, ConfigProblems& warnings)
{
    const Config& config = context.Settings;
    if (!context.Decoded.Has(&Config::Reminders) || !context.Decoded.Has(&Config::ExactSwitching) ||
        config.ExactSwitching) {
        return;
    }
    const auto safeLead = std::chrono::ceil<Minutes>(kTimeBetweenEvaluations).count();
    const auto count = [](std::int64_t number, const char* unit) {
        return fmt::format("{} {}{}", number, unit, number == 1 ? "" : "s");
    };
    const std::string between = count(std::chrono::floor<Minutes>(kTimeBetweenEvaluations).count(), "minute") +
                                " and " + count((kTimeBetweenEvaluations % Minutes{1}).count(), "second");
    for (std::size_t i = 0; i < config.Reminders.size(); ++i) {
        const std::int32_t lead = config.Reminders[i];
        if (Minutes{lead} >= kTimeBetweenEvaluations) continue;
        AddWarning(
            warnings, SectionMember("Reminders") + "[" + std::to_string(i) + "]",
            fmt::format("{} ahead is shorter than the time between two checks of the schedule ({}): the reminder "
                        "is skipped whenever no check comes in that time; set \"ExactSwitching\": true, or remind "
                        "{} or more ahead",
                        count(lead, "minute"), between, count(safeLead, "minute")));
    }
}

} // namespace

void WarnOnReminders(const WarningContext& context, ConfigProblems& warnings)
{
    const Config& config = context.Settings;
    const bool notification = context.Decoded.Has(&Config::Notification) ? config.Notification : true;
    const bool chatbox = context.Decoded.Has(&Config::Chatbox) ? config.Chatbox : false;
    if (context.Decoded.Has(&Config::Reminders) && !config.Reminders.empty() && !notification && !chatbox) {
        AddWarning(warnings, SectionMember("Reminders"),
                   "Notification and Chatbox are both false: the reminders reach nobody");
    }
    WarnOnShortLeads(context, warnings);
    if (!context.Decoded.Has(&Config::ReminderMessage) || config.ReminderMessage.IsEmpty()) return;
    // Formatted only once its length is known to be bounded (an error otherwise).
    if (ReminderLengthProblem(config)) return;
    if (!FormatReminder(ReminderPattern(config), kMinutesPerWeek, std::wstring(kLongestWindowName, L'W'))) {
        AddWarning(warnings, SectionMember("ReminderMessage"),
                   "is not a valid message (its fields are {minutes}, {time_left} and {name}; write {{ and }} for one "
                   "brace): the reminder shows it as written");
    }
}

void WarnOnWeekdays(const WarningContext& context, ConfigProblems& warnings)
{
    const Config& config = context.Settings;
    const char* startKey = KeyOf(&Config::StartDay);
    const char* endKey = KeyOf(&Config::EndDay);
    const bool start = context.Decoded.Has(&Config::StartDay);
    const bool end = context.Decoded.Has(&Config::EndDay);
    for (const auto& [key, day, known] : {std::tuple{startKey, config.StartDay, start}, {endKey, config.EndDay, end}}) {
        if (!known) continue;
        const nlohmann::json& member = *FindMember(context.Section, key);
        if (member.is_number_float() && static_cast<double>(day) != member.get<double>()) {
            AddWarning(warnings, SectionMember(key),
                       fmt::format("{} is not a whole weekday; it takes effect as {}", member.dump(), day));
        }
        if (day == 7) {
            AddWarning(warnings, SectionMember(key), kSevenIsSunday);
        } else if (day < 0 || day > 6) {
            AddWarning(warnings, SectionMember(key),
                       fmt::format("{} is not a weekday (0 = Sunday to 6 = Saturday)", day));
        }
    }
    if (!start || !end) return;
    const std::int32_t startTime = context.Decoded.Has(&Config::StartTime) ? config.StartTime.Minutes : 0;
    const std::int32_t endTime = context.Decoded.Has(&Config::EndTime) ? config.EndTime.Minutes : 0;
    if (config.StartDay == config.EndDay && startTime == endTime) {
        const std::string times = startTime == 0
                                      ? std::string()
                                      : fmt::format(" and StartTime equals EndTime ({})", FormatTimeOfDay(startTime));
        AddWarning(warnings, SectionMember(startKey),
                   fmt::format("{} equals {} ({}){}: the window is empty and the weekend rates never switch on",
                               startKey, endKey, config.StartDay, times));
        return;
    }
    // The window can only open or close at midnight and at its two times.
    bool everOpen = false;
    for (int weekday = 0; weekday < 7; ++weekday) {
        for (const std::int32_t minute : {0, startTime, endTime}) {
            everOpen =
                everOpen || IsWindowOpen(config.StartDay, startTime, config.EndDay, endTime, weekday, minute * 60);
        }
    }
    if (!everOpen) {
        AddWarning(
            warnings, SectionMember(startKey),
            fmt::format("with {} {} and {} {} the window is open on no weekday: the weekend rates never switch on",
                        startKey, config.StartDay, endKey, config.EndDay));
    }
}

void WarnOnColours(const WarningContext& context, ConfigProblems& warnings)
{
    for (const auto field : {&Config::EnabledColor, &Config::DisabledColor}) {
        if (!context.Decoded.Has(field)) continue;
        const char* key = KeyOf(field);
        const MessageColor& color = context.Settings.*field;
        const float components[] = {color.R, color.G, color.B, color.A};
        const float highest = *std::max_element(std::begin(components), std::end(components));
        const float lowest = *std::min_element(std::begin(components), std::end(components));
        for (const float extreme : {lowest, highest}) {
            if (std::isinf(extreme)) {
                AddWarning(
                    warnings, SectionMember(key),
                    fmt::format("a component is beyond the range of a 32-bit float and is used as {:g}", extreme));
            }
        }
        if (highest > 1.0f && !std::isinf(highest)) {
            AddWarning(warnings, SectionMember(key),
                       fmt::format("a component of {:g} looks like a 0-255 colour; components run from 0 to 1 and are "
                                   "used unscaled (write 255 as 1)",
                                   highest));
        }
        if (lowest < 0.0f && !std::isinf(lowest)) {
            AddWarning(warnings, SectionMember(key),
                       fmt::format("a component of {:g} is below 0; components run from 0 to 1", lowest));
        }
    }
}

void WarnOnMultipliers(const WindowRates& rates, const nlohmann::json& object, const std::string& prefix,
                       ConfigProblems& warnings)
{
    for (std::size_t row = 0; row < kMultiplierCount; ++row) {
        if (!rates.Own.test(row)) continue;
        const MultiplierRow& entry = WeekendMultiplierTable[row];
        const nlohmann::json& member = *FindMember(object, entry.Key);
        const std::string path = prefix + entry.Key;
        const float value = rates.Values[row];
        // A fraction cut off, or a whole number beyond 32 bits cut to its low 32 bits.
        const double written = member.is_boolean() ? (member.get<bool>() ? 1.0 : 0.0) : member.get<double>();
        if (entry.WholeNumber && static_cast<double>(value) != written) {
            AddWarning(warnings, path,
                       fmt::format("{} is read as a whole number: it takes effect as {:g}{}", member.dump(), value,
                                   value == 0.0f ? ", which leaves the rate unchanged" : ""));
        } else if (member.is_boolean() && !member.get<bool>()) {
            // A written 0 is the documented way to keep the game's value; false is no number at all.
            AddWarning(warnings, path, "false is taken as 0, which leaves the game's own rate unchanged; write 0");
        }
        if (value < 0.0f) {
            AddWarning(warnings, path,
                       fmt::format("{} is a negative rate; the plug-in writes it as it is", member.dump()));
        }
    }
}

void WarnOnTexts(const WarningContext& context, ConfigProblems& warnings)
{
    const Config& config = context.Settings;
    const bool notification = context.Decoded.Has(&Config::Notification) ? config.Notification : true;
    const bool chatbox = context.Decoded.Has(&Config::Chatbox) ? config.Chatbox : false;
    for (const auto field : {&Config::EnabledMessage, &Config::DisabledMessage}) {
        if (!context.Decoded.Has(field)) continue;
        const std::wstring text = (config.*field).ToWide();
        const bool pattern = FormatPattern(std::wstring_view(text)).has_value();
        if (!pattern && notification) {
            AddWarning(
                warnings, SectionMember(KeyOf(field)),
                "is not a valid message pattern (a single brace or a replacement field): the notification shows it "
                "as written (write {{ and }} for one brace)");
        }
        if (pattern && chatbox && notification &&
            (text.find(L"{{") != std::wstring::npos || text.find(L"}}") != std::wstring::npos)) {
            AddWarning(warnings, SectionMember(KeyOf(field)),
                       "doubled braces show as one brace in the notification but as two in the chat line");
        }
    }
}

void WarnOnSectionMultipliers(const WarningContext& context, ConfigProblems& warnings)
{
    WarnOnMultipliers(context.Settings.Weekly.Rates, context.Section, SectionMember(""), warnings);
}

void WarnOnScheduleEntries(const WarningContext& context, ConfigProblems& warnings)
{
    const Config& config = context.Settings;
    const nlohmann::json* member = FindMember(context.Section, "Schedules");
    if (member == nullptr || !member->is_array()) return;
    for (std::size_t i = 0; i < member->size() && i < config.Schedules.size(); ++i) {
        const nlohmann::json& entry = (*member)[i];
        if (!entry.is_object()) continue;
        const std::string prefix = SchedulePath(i) + ".";
        if (const nlohmann::json* days = FindMember(entry, "Days"); days != nullptr && days->is_array()) {
            for (std::size_t day = 0; day < days->size(); ++day) {
                if (IsDaySeven((*days)[day]))
                    AddWarning(warnings, prefix + "Days[" + std::to_string(day) + "]", kSevenIsSunday);
            }
        }
        WarnOnMultipliers(config.Schedules[i].Rates, entry, prefix, warnings);
        WarnOnUnknownMembers(entry, prefix, KnownScheduleMembers(), warnings);
    }
}

} // namespace qv
