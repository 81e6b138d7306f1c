// Each rule speaks of the value the plug-in will really use (5.7 as 5, true as 1), as decoded.
#include "plugin/config/ConfigWarnings.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include <fmt/format.h>

#include "plugin/config/Schedules.h"
#include "plugin/config/WeekendWindow.h"
#include "plugin/config/Windows.h"
#include "plugin/messaging/Patterns.h"
#include "util/Ascii.h"
#include "util/EditDistance.h"

namespace qv {

namespace {

using json = nlohmann::json;

// The day rule takes 7 as Sunday in StartDay and EndDay; "Days" takes it the same way.
constexpr const char* kSevenIsSunday = "7 is taken as Sunday; weekdays run from 0 = Sunday to 6 = Saturday";

// Longer names are no misspelling of a known one, and comparing them would cost time to no end.
constexpr std::size_t kLongestSuggestedName = 64;

void Warn(ConfigProblems& warnings, const std::string& path, std::string what)
{
    warnings.push_back({ProblemKind::Member, path, std::move(what), {}});
}

using KnownNames = std::vector<std::string_view>;

// Made once: every load looks each member of the section up in it.
const KnownNames& KnownMembers()
{
    static const KnownNames known = [] {
        KnownNames names;
        for (const SettingRow& row : SettingsTable) names.emplace_back(row.Key);
        for (const MultiplierRow& row : WeekendMultiplierTable) names.emplace_back(row.Key);
        return names;
    }();
    return known;
}

const KnownNames& KnownScheduleMembers()
{
    static const KnownNames known = [] {
        KnownNames names(ScheduleMembers.begin(), ScheduleMembers.end());
        for (const MultiplierRow& row : WeekendMultiplierTable) names.emplace_back(row.Key);
        return names;
    }();
    return known;
}

std::string Nearest(const std::string& name, const KnownNames& known)
{
    if (name.size() > kLongestSuggestedName) return {};
    std::string best;
    std::size_t bestDistance = 4;
    for (const std::string_view candidate : known) {
        const std::size_t distance = util::EditDistance(util::AsciiLower(name), util::AsciiLower(candidate));
        if (distance < bestDistance) {
            bestDistance = distance;
            best = std::string(candidate);
        }
    }
    return best;
}

// Which settings decoded, by field.
class Decoded {
public:
    explicit Decoded(const std::bitset<kSettingCount>& rows) : rows_(rows) {}

    template <typename T>
    bool Has(T Config::*field) const
    {
        for (std::size_t index = 0; index < SettingsTable.size(); ++index) {
            const auto* candidate = std::get_if<T Config::*>(&SettingsTable[index].Field);
            if (candidate && *candidate == field) return rows_.test(index);
        }
        return false;
    }

private:
    std::bitset<kSettingCount> rows_;
};

struct Context {
    const Config& config;
    Decoded decoded;
    const json& section;
};

void WarnOnWeekdays(const Context& context, ConfigProblems& warnings)
{
    const Config& config = context.config;
    const char* startKey = KeyOf(&Config::StartDay);
    const char* endKey = KeyOf(&Config::EndDay);
    const bool start = context.decoded.Has(&Config::StartDay);
    const bool end = context.decoded.Has(&Config::EndDay);
    for (const auto& [key, day, known] : {std::tuple{startKey, config.StartDay, start}, {endKey, config.EndDay, end}}) {
        if (!known) continue;
        const json& member = *FindMember(context.section, key);
        if (member.is_number_float() && static_cast<double>(day) != member.get<double>()) {
            Warn(warnings, SectionMember(key),
                 fmt::format("{} is not a whole weekday; it takes effect as {}", member.dump(), day));
        }
        if (day == 7) {
            Warn(warnings, SectionMember(key), kSevenIsSunday);
        } else if (day < 0 || day > 6) {
            Warn(warnings, SectionMember(key), fmt::format("{} is not a weekday (0 = Sunday to 6 = Saturday)", day));
        }
    }
    if (!start || !end) return;
    const std::int32_t startTime = context.decoded.Has(&Config::StartTime) ? config.StartTime.Minutes : 0;
    const std::int32_t endTime = context.decoded.Has(&Config::EndTime) ? config.EndTime.Minutes : 0;
    if (config.StartDay == config.EndDay && startTime == endTime) {
        const std::string times = startTime == 0
                                      ? std::string()
                                      : fmt::format(" and StartTime equals EndTime ({})", FormatTimeOfDay(startTime));
        Warn(warnings, SectionMember(startKey),
             fmt::format("{} equals {} ({}){}: the window is empty and the weekend rates never switch on", startKey,
                         endKey, config.StartDay, times));
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
        Warn(warnings, SectionMember(startKey),
             fmt::format("with {} {} and {} {} the window is open on no weekday: the weekend rates never switch on",
                         startKey, config.StartDay, endKey, config.EndDay));
    }
}

void WarnOnColours(const Context& context, ConfigProblems& warnings)
{
    for (const auto field : {&Config::EnabledColor, &Config::DisabledColor}) {
        if (!context.decoded.Has(field)) continue;
        const char* key = KeyOf(field);
        const MessageColor& color = context.config.*field;
        const float components[] = {color.R, color.G, color.B, color.A};
        const float highest = *std::max_element(std::begin(components), std::end(components));
        const float lowest = *std::min_element(std::begin(components), std::end(components));
        for (const float extreme : {lowest, highest}) {
            if (std::isinf(extreme)) {
                Warn(warnings, SectionMember(key),
                     fmt::format("a component is beyond the range of a 32-bit float and is used as {:g}", extreme));
            }
        }
        if (highest > 1.0f && !std::isinf(highest)) {
            Warn(warnings, SectionMember(key),
                 fmt::format("a component of {:g} looks like a 0-255 colour; components run from 0 to 1 and are "
                             "used unscaled (write 255 as 1)",
                             highest));
        }
        if (lowest < 0.0f && !std::isinf(lowest)) {
            Warn(warnings, SectionMember(key),
                 fmt::format("a component of {:g} is below 0; components run from 0 to 1", lowest));
        }
    }
}

// The multipliers an object sets itself (the section, or a schedule's entry at prefix
// "Quorvandelle.Schedules[0]."), as decoded; the object's text says how each was written.
void WarnOnMultipliers(const WindowRates& rates, const json& object, const std::string& prefix,
                       ConfigProblems& warnings)
{
    for (std::size_t row = 0; row < kMultiplierCount; ++row) {
        if (!rates.Own.test(row)) continue;
        const MultiplierRow& entry = WeekendMultiplierTable[row];
        const json& member = *FindMember(object, entry.Key);
        const std::string path = prefix + entry.Key;
        const float value = rates.Values[row];
        // A fraction cut off, or a whole number beyond 32 bits cut to its low 32 bits.
        const double written = member.is_boolean() ? (member.get<bool>() ? 1.0 : 0.0) : member.get<double>();
        if (entry.WholeNumber && static_cast<double>(value) != written) {
            Warn(warnings, path,
                 fmt::format("{} is read as a whole number: it takes effect as {:g}{}", member.dump(), value,
                             value == 0.0f ? ", which leaves the rate unchanged" : ""));
        } else if (member.is_boolean() && !member.get<bool>()) {
            // A written 0 is the documented way to keep the game's value; false is no number at all.
            Warn(warnings, path, "false is taken as 0, which leaves the game's own rate unchanged; write 0");
        }
        if (std::isinf(value)) {
            Warn(warnings, path,
                 fmt::format("{} is beyond the range of the game's 32-bit rates; the plug-in writes it as {:g}",
                             member.dump(), value));
        }
        if (value < 0.0f) {
            Warn(warnings, path, fmt::format("{} is a negative rate; the plug-in writes it as it is", member.dump()));
        }
    }
}

void WarnOnTexts(const Context& context, ConfigProblems& warnings)
{
    const Config& config = context.config;
    const bool notification = context.decoded.Has(&Config::Notification) ? config.Notification : true;
    const bool chatbox = context.decoded.Has(&Config::Chatbox) ? config.Chatbox : false;
    for (const auto field : {&Config::EnabledMessage, &Config::DisabledMessage}) {
        if (!context.decoded.Has(field)) continue;
        const std::wstring text = (config.*field).ToWide();
        const bool pattern = FormatPattern(std::wstring_view(text)).has_value();
        if (!pattern && notification) {
            Warn(warnings, SectionMember(KeyOf(field)),
                 "is not a valid message pattern (a single brace or a replacement field): the notification shows it "
                 "as written (write {{ and }} for one brace)");
        }
        if (pattern && chatbox && notification &&
            (text.find(L"{{") != std::wstring::npos || text.find(L"}}") != std::wstring::npos)) {
            Warn(warnings, SectionMember(KeyOf(field)),
                 "doubled braces show as one brace in the notification but as two in the chat line");
        }
    }
}

// A file of a hundred thousand stray members gets a score of warnings and their count, not a
// hundred thousand lines.
void WarnOnUnknownMembers(const json& object, const std::string& prefix, const KnownNames& known,
                          ConfigProblems& warnings)
{
    constexpr std::size_t kMostNamed = 20;
    std::size_t unknown = 0;
    for (const auto& member : object.items()) {
        if (std::find(known.begin(), known.end(), member.key()) != known.end()) continue;
        if (++unknown > kMostNamed) continue;
        const std::string nearest = Nearest(member.key(), known);
        Warn(warnings, prefix + member.key(),
             nearest.empty() ? std::string("unknown member; the plug-in ignores it")
                             : fmt::format("unknown member; the plug-in ignores it (did you mean \"{}\"?)", nearest));
    }
    if (unknown > kMostNamed) {
        Warn(warnings, prefix.substr(0, prefix.size() - 1),
             fmt::format("{} more unknown members; the plug-in ignores them", unknown - kMostNamed));
    }
}

using WeekMask = std::bitset<kMinutesPerWeek>;

// The minutes of a week at which a weekly window is open, asked of the plug-in's own rule.
WeekMask OpenMinutes(const Window& window)
{
    // Sunday 1970-01-04, 00:00: any week will do for a weekly window.
    const WallSeconds sunday = 3 * kSecondsPerDay;
    WeekMask open;
    for (std::int32_t minute = 0; minute < kMinutesPerWeek; ++minute) {
        open[static_cast<std::size_t>(minute)] = IsOpen(window, FromWallSeconds(sunday + minute * 60));
    }
    return open;
}

bool Overlap(const Window& a, const WeekMask& openA, const Window& b, const WeekMask& openB)
{
    const DatedSpan* datedA = std::get_if<DatedSpan>(&a.Times);
    const DatedSpan* datedB = std::get_if<DatedSpan>(&b.Times);
    if (datedA != nullptr && datedB != nullptr) {
        return std::max(datedA->Start, datedB->Start) < std::min(datedA->End, datedB->End);
    }
    if (datedA == nullptr && datedB == nullptr) return (openA & openB).any();
    const DatedSpan& span = datedA != nullptr ? *datedA : *datedB;
    const WeekMask& weekly = datedA != nullptr ? openB : openA;
    const WallSeconds last = std::min(span.End, span.Start + 7 * kSecondsPerDay);
    for (WallSeconds at = span.Start; at < last; at += 60) {
        const LocalTime time = FromWallSeconds(at);
        if (weekly[static_cast<std::size_t>(time.Weekday * kMinutesPerDay + time.Hour * 60 + time.Minute)]) return true;
    }
    return false;
}

std::string SchedulePath(std::size_t index) { return SectionMember("Schedules") + "[" + std::to_string(index) + "]"; }

void WarnOnSchedules(const Context& context, const std::optional<LocalTime>& now, ConfigProblems& warnings)
{
    const Config& config = context.config;
    const json* member = FindMember(context.section, "Schedules");
    if (member == nullptr || !member->is_array()) return;
    const KnownNames& known = KnownScheduleMembers();
    for (std::size_t i = 0; i < member->size() && i < config.Schedules.size(); ++i) {
        const json& entry = (*member)[i];
        if (!entry.is_object()) continue;
        const std::string prefix = SchedulePath(i) + ".";
        if (const json* days = FindMember(entry, "Days"); days != nullptr && days->is_array()) {
            for (std::size_t day = 0; day < days->size(); ++day) {
                if (IsDaySeven((*days)[day]))
                    Warn(warnings, prefix + "Days[" + std::to_string(day) + "]", kSevenIsSunday);
            }
        }
        WarnOnMultipliers(config.Schedules[i].Rates, entry, prefix, warnings);
        WarnOnUnknownMembers(entry, prefix, known, warnings);
    }
    if (!context.decoded.Has(&Config::Schedules)) return;

    // In the order of precedence: the schedules in file order, then the weekly window.
    std::vector<const Window*> windows;
    for (const Window& schedule : config.Schedules) windows.push_back(&schedule);
    windows.push_back(&config.Weekly);
    std::vector<WeekMask> open;
    for (const Window* window : windows) open.push_back(OpenMinutes(*window));
    for (std::size_t later = 1; later < windows.size(); ++later) {
        for (std::size_t earlier = 0; earlier < later; ++earlier) {
            if (!Overlap(*windows[earlier], open[earlier], *windows[later], open[later])) continue;
            const std::string_view first = windows[earlier]->Id.DisplayName();
            Warn(warnings, SchedulePath(earlier),
                 windows[later] == &config.Weekly
                     ? fmt::format("\"{}\" overlaps the weekly window of StartDay and EndDay; \"{}\" is in force "
                                   "while both are open",
                                   first, first)
                     : fmt::format("\"{}\" overlaps \"{}\" (Schedules[{}]); \"{}\" comes first in the file, so it is "
                                   "in force while both are open",
                                   first, windows[later]->Id.DisplayName(), later, first));
        }
    }
    if (!now) return;
    for (std::size_t i = 0; i < config.Schedules.size(); ++i) {
        const Window& schedule = config.Schedules[i];
        const DatedSpan* span = std::get_if<DatedSpan>(&schedule.Times);
        if (span == nullptr || span->End > ToWallSeconds(*now)) continue;
        Warn(
            warnings, SchedulePath(i) + ".Until",
            fmt::format("\"{}\" ended {}: it never opens again", schedule.Id.DisplayName(), FormatWallTime(span->End)));
    }
}

void WarnOnReminders(const Context& context, ConfigProblems& warnings)
{
    const Config& config = context.config;
    const bool notification = context.decoded.Has(&Config::Notification) ? config.Notification : true;
    const bool chatbox = context.decoded.Has(&Config::Chatbox) ? config.Chatbox : false;
    if (context.decoded.Has(&Config::Reminders) && !config.Reminders.empty() && !notification && !chatbox) {
        Warn(warnings, SectionMember("Reminders"),
             "Notification and Chatbox are both false: the reminders reach nobody");
    }
    if (!context.decoded.Has(&Config::ReminderMessage) || config.ReminderMessage.IsEmpty()) return;
    // Formatted only once its length is known to be bounded (an error otherwise).
    if (ReminderLengthProblem(config)) return;
    if (!FormatReminder(ReminderPattern(config), kMinutesPerWeek, std::wstring(kLongestWindowName, L'W'))) {
        Warn(warnings, SectionMember("ReminderMessage"),
             "is not a valid message (its fields are {minutes}, {time_left} and {name}; write {{ and }} for one "
             "brace): the reminder shows it as written");
    }
}

} // namespace

std::string NearestKnownMember(const std::string& name) { return Nearest(name, KnownMembers()); }

ConfigProblems ProbableMistakes(const Config& config, const std::bitset<kSettingCount>& decoded, const json& section,
                                const std::optional<LocalTime>& now)
{
    const Context context{config, Decoded(decoded), section};
    ConfigProblems warnings;
    WarnOnWeekdays(context, warnings);
    WarnOnColours(context, warnings);
    WarnOnMultipliers(config.Weekly.Rates, section, SectionMember(""), warnings);
    WarnOnTexts(context, warnings);
    WarnOnSchedules(context, now, warnings);
    WarnOnReminders(context, warnings);
    WarnOnUnknownMembers(section, SectionMember(""), KnownMembers(), warnings);
    return warnings;
}

} // namespace qv
