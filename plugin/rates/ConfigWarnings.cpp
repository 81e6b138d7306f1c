// Each rule reads the member through the plug-in's own typed reads, so a warning speaks of the
// value the plug-in will really use (5.7 as 5, true as 1).
#include "plugin/rates/ConfigWarnings.h"

#include <algorithm>
#include <bitset>
#include <cctype>
#include <cmath>
#include <vector>

#include <fmt/format.h>

#include "plugin/config/PluginSettings.h"
#include "plugin/config/TypedReads.h"
#include "plugin/config/WeekendValues.h"
#include "plugin/host/Framework.h"
#include "plugin/messaging/Patterns.h"
#include "plugin/rates/WeekendWindow.h"
#include "plugin/rates/Windows.h"
#include "util/Ascii.h"
#include "util/EditDistance.h"

namespace {

using json = nlohmann::json;

// Longer names are no misspelling of a known one, and comparing them would cost time to no end.
constexpr std::size_t kLongestSuggestedName = 64;

void Warn(ConfigProblems& warnings, const std::string& path, std::string what)
{
    warnings.push_back({ProblemKind::Member, path, std::move(what), {}});
}

std::vector<std::string> KnownMembers()
{
    std::vector<std::string> known;
    for (const SettingRow& row : SettingsTable) known.emplace_back(row.Key);
    for (const MultiplierRow& row : WeekendMultiplierTable) known.emplace_back(row.Key);
    return known;
}

std::vector<std::string> KnownScheduleMembers()
{
    std::vector<std::string> known(ScheduleMembers.begin(), ScheduleMembers.end());
    for (const MultiplierRow& row : WeekendMultiplierTable) known.emplace_back(row.Key);
    return known;
}

std::string Nearest(const std::string& name, const std::vector<std::string>& known)
{
    if (name.size() > kLongestSuggestedName) return {};
    std::string best;
    std::size_t bestDistance = 4;
    for (const std::string& candidate : known) {
        const std::size_t distance = util::EditDistance(util::AsciiLower(name), util::AsciiLower(candidate));
        if (distance < bestDistance) {
            bestDistance = distance;
            best = candidate;
        }
    }
    return best;
}

// The decoder's reads, with their problems dropped: a member that fails is reported as an error
// elsewhere.
template <typename Read>
auto Quietly(const json& section, const char* key, Read read)
{
    ConfigProblems ignored;
    return read(FindMember(section, key), SectionMember(key), ignored);
}

void WarnOnWeekdays(const json& section, ConfigProblems& warnings)
{
    const char* startKey = KeyOf(&Settings::StartDay);
    const char* endKey = KeyOf(&Settings::EndDay);
    for (const char* key : {startKey, endKey}) {
        const json* member = FindMember(section, key);
        const auto day = Quietly(section, key, ReadInteger);
        if (!day) continue;
        if (member->is_number_float() && static_cast<double>(*day) != member->get<double>()) {
            Warn(warnings, SectionMember(key),
                 fmt::format("{} is not a whole weekday; it takes effect as {}", member->dump(), *day));
        }
        if (*day < 0 || *day > 6) {
            Warn(warnings, SectionMember(key), fmt::format("{} is not a weekday (0 = Sunday to 6 = Saturday)", *day));
        }
    }
    const auto start = Quietly(section, startKey, ReadInteger);
    const auto end = Quietly(section, endKey, ReadInteger);
    if (!start || !end) return;
    const std::int32_t startTime = Quietly(section, "StartTime", ReadTimeOfDay).value_or(TimeOfDay{}).Minutes;
    const std::int32_t endTime = Quietly(section, "EndTime", ReadTimeOfDay).value_or(TimeOfDay{}).Minutes;
    if (*start == *end && startTime == endTime) {
        const std::string times = startTime == 0
                                      ? std::string()
                                      : fmt::format(" and StartTime equals EndTime ({})", FormatTimeOfDay(startTime));
        Warn(warnings, SectionMember(startKey),
             fmt::format("{} equals {} ({}){}: the window is empty and the weekend rates never switch on", startKey,
                         endKey, *start, times));
        return;
    }
    // The window can only open or close at midnight and at its two times.
    bool everOpen = false;
    for (int weekday = 0; weekday < 7; ++weekday) {
        for (const std::int32_t minute : {0, startTime, endTime}) {
            everOpen = everOpen || IsWindowOpen(*start, startTime, *end, endTime, weekday, minute * 60);
        }
    }
    if (!everOpen) {
        Warn(warnings, SectionMember(startKey),
             fmt::format("with {} {} and {} {} the window is open on no weekday: the weekend rates never switch on",
                         startKey, *start, endKey, *end));
    }
}

void WarnOnColours(const json& section, ConfigProblems& warnings)
{
    for (const char* key : {KeyOf(&Settings::EnabledColor), KeyOf(&Settings::DisabledColor)}) {
        const auto color = Quietly(section, key, ReadColor);
        if (!color) continue;
        const float components[] = {color->R, color->G, color->B, color->A};
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

// The multipliers of the section, or of a schedule (prefix "Quorvandelle.Schedules[0].").
void WarnOnMultipliers(const json& object, const std::string& prefix, ConfigProblems& warnings)
{
    for (const MultiplierRow& row : WeekendMultiplierTable) {
        const json* member = FindMember(object, row.Key);
        if (member == nullptr) continue;
        const std::string path = prefix + row.Key;
        ConfigProblems ignored;
        std::optional<float> value;
        if (row.WholeNumber) {
            if (const auto whole = ReadInteger(member, path, ignored)) value = static_cast<float>(*whole);
        } else {
            value = ReadFloat(member, path, ignored);
        }
        if (!value) continue;
        // A fraction cut off, or a whole number beyond 32 bits cut to its low 32 bits.
        const double written = member->is_boolean() ? (member->get<bool>() ? 1.0 : 0.0) : member->get<double>();
        if (row.WholeNumber && static_cast<double>(*value) != written) {
            Warn(warnings, path,
                 fmt::format("{} is read as a whole number: it takes effect as {:g}{}", member->dump(), *value,
                             *value == 0.0f ? ", which leaves the rate unchanged" : ""));
        } else if (*value == 0.0f) {
            Warn(warnings, path, fmt::format("{} leaves the game's own rate unchanged on the weekend", member->dump()));
        }
        if (std::isinf(*value)) {
            Warn(warnings, path,
                 fmt::format("{} is beyond the range of the game's 32-bit rates; the plug-in writes it as {:g}",
                             member->dump(), *value));
        }
        if (*value < 0.0f) {
            Warn(warnings, path, fmt::format("{} is a negative rate; the plug-in writes it as it is", member->dump()));
        }
    }
}

void WarnOnTexts(const json& section, ConfigProblems& warnings)
{
    const auto notification = Quietly(section, KeyOf(&Settings::Notification), ReadFlag);
    const auto chatbox = Quietly(section, KeyOf(&Settings::Chatbox), ReadFlag);
    for (const char* key : {KeyOf(&Settings::EnabledMessage), KeyOf(&Settings::DisabledMessage)}) {
        const json* member = FindMember(section, key);
        if (member == nullptr || !member->is_string()) continue;
        const std::string& text = member->get_ref<const std::string&>();
        const bool pattern = FormatPattern(std::string_view(text)).has_value();
        if (!pattern && notification.value_or(true)) {
            Warn(warnings, SectionMember(key),
                 "is not a valid message pattern (a single brace or a replacement field): the notification shows it "
                 "as written (write {{ and }} for one brace)");
        }
        if (pattern && chatbox.value_or(false) && notification.value_or(true) &&
            (text.find("{{") != std::string::npos || text.find("}}") != std::string::npos)) {
            Warn(warnings, SectionMember(key),
                 "doubled braces show as one brace in the notification but as two in the chat line");
        }
    }
}

// A file of a hundred thousand stray members gets a score of warnings and their count, not a
// hundred thousand lines.
void WarnOnUnknownMembers(const json& object, const std::string& prefix, const std::vector<std::string>& known,
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
WeekMask OpenMinutes(const Settings& settings, int window)
{
    // Sunday 1970-01-04, 00:00: any week will do for a weekly window.
    const WallSeconds sunday = 3 * kSecondsPerDay;
    WeekMask open;
    for (std::int32_t minute = 0; minute < kMinutesPerWeek; ++minute) {
        open[static_cast<std::size_t>(minute)] = IsOpen(settings, window, FromWallSeconds(sunday + minute * 60));
    }
    return open;
}

bool Overlap(const Settings& settings, int a, const WeekMask& openA, int b, const WeekMask& openB)
{
    const auto dated = [&](int window) -> const Schedule* {
        if (window == kWeeklyWindow) return nullptr;
        const Schedule& schedule = settings.Schedules[static_cast<std::size_t>(window)];
        return schedule.Weekly ? nullptr : &schedule;
    };
    const Schedule* datedA = dated(a);
    const Schedule* datedB = dated(b);
    if (datedA != nullptr && datedB != nullptr) {
        return std::max(datedA->Start, datedB->Start) < std::min(datedA->End, datedB->End);
    }
    if (datedA == nullptr && datedB == nullptr) return (openA & openB).any();
    const Schedule& span = datedA != nullptr ? *datedA : *datedB;
    const WeekMask& weekly = datedA != nullptr ? openB : openA;
    const WallSeconds last = std::min(span.End, span.Start + 7 * kSecondsPerDay);
    for (WallSeconds at = span.Start; at < last; at += 60) {
        const LocalTime time = FromWallSeconds(at);
        if (weekly[static_cast<std::size_t>(time.Weekday * kMinutesPerDay + time.Hour * 60 + time.Minute)]) return true;
    }
    return false;
}

void WarnOnSchedules(const json& section, const std::optional<LocalTime>& now, ConfigProblems& warnings)
{
    const json* member = FindMember(section, "Schedules");
    if (member == nullptr || !member->is_array()) return;
    auto schedules = Quietly(section, "Schedules", ReadSchedules);
    const std::vector<std::string> known = KnownScheduleMembers();
    for (std::size_t i = 0; i < member->size(); ++i) {
        const json& entry = (*member)[i];
        const std::string prefix = SectionMember("Schedules") + "[" + std::to_string(i) + "].";
        if (!entry.is_object()) continue;
        WarnOnMultipliers(entry, prefix, warnings);
        WarnOnUnknownMembers(entry, prefix, known, warnings);
    }
    if (!schedules) return;

    Settings settings;
    settings.Schedules = std::move(*schedules);
    settings.StartDay = Quietly(section, "StartDay", ReadInteger).value_or(0);
    settings.EndDay = Quietly(section, "EndDay", ReadInteger).value_or(0);
    settings.StartTime = Quietly(section, "StartTime", ReadTimeOfDay).value_or(TimeOfDay{});
    settings.EndTime = Quietly(section, "EndTime", ReadTimeOfDay).value_or(TimeOfDay{});

    // In the order of precedence: the schedules in file order, then the weekly window.
    std::vector<int> windows;
    for (std::size_t i = 0; i < settings.Schedules.size(); ++i) windows.push_back(static_cast<int>(i));
    windows.push_back(kWeeklyWindow);
    std::vector<WeekMask> open;
    for (const int window : windows) open.push_back(OpenMinutes(settings, window));
    for (std::size_t later = 1; later < windows.size(); ++later) {
        for (std::size_t earlier = 0; earlier < later; ++earlier) {
            if (!Overlap(settings, windows[earlier], open[earlier], windows[later], open[later])) continue;
            const std::string first = DisplayName(settings, windows[earlier]);
            const std::string path = SectionMember("Schedules") + "[" + std::to_string(windows[earlier]) + "]";
            Warn(
                warnings, path,
                windows[later] == kWeeklyWindow
                    ? fmt::format("\"{}\" overlaps the weekly window of StartDay and EndDay; \"{}\" is in force "
                                  "while both are open",
                                  first, first)
                    : fmt::format("\"{}\" overlaps \"{}\" (Schedules[{}]); \"{}\" comes first in the file, so it is in "
                                  "force while both are open",
                                  first, DisplayName(settings, windows[later]), windows[later], first));
        }
    }
    if (!now) return;
    for (std::size_t i = 0; i < settings.Schedules.size(); ++i) {
        const Schedule& schedule = settings.Schedules[i];
        if (schedule.Weekly || schedule.End > ToWallSeconds(*now)) continue;
        Warn(warnings, SectionMember("Schedules") + "[" + std::to_string(i) + "].Until",
             "\"" + schedule.Name + "\" ended " + FormatWallTime(schedule.End) + ": it never opens again");
    }
}

void WarnOnReminders(const json& section, ConfigProblems& warnings)
{
    const auto reminders = Quietly(section, "Reminders", ReadReminders);
    if (reminders && !reminders->empty() && !Quietly(section, "Notification", ReadFlag).value_or(true) &&
        !Quietly(section, "Chatbox", ReadFlag).value_or(false)) {
        Warn(warnings, SectionMember("Reminders"),
             "Notification and Chatbox are both false: the reminders reach nobody");
    }
    const json* message = FindMember(section, "ReminderMessage");
    if (message == nullptr || !message->is_string()) return;
    const std::wstring pattern = Framework::Utf8Decode(message->get_ref<const std::string&>());
    if (!FormatReminder(pattern, 10, L"Weekend")) {
        Warn(warnings, SectionMember("ReminderMessage"),
             "is not a valid message (its fields are {minutes} and {name}; write {{ and }} for one brace): the "
             "reminder shows it as written");
    }
}

} // namespace

std::string NearestKnownMember(const std::string& name) { return Nearest(name, KnownMembers()); }

ConfigProblems ProbableMistakes(const json& document, const std::optional<LocalTime>& now)
{
    ConfigProblems warnings;
    ConfigProblems ignored;
    const json* section = FindSection(document, ignored);
    if (section == nullptr) return warnings;
    WarnOnWeekdays(*section, warnings);
    WarnOnColours(*section, warnings);
    WarnOnMultipliers(*section, SectionMember(""), warnings);
    WarnOnTexts(*section, warnings);
    WarnOnSchedules(*section, now, warnings);
    WarnOnReminders(*section, warnings);
    WarnOnUnknownMembers(*section, SectionMember(""), KnownMembers(), warnings);
    return warnings;
}

ConfigProblems LoadWarnings(const json& document, const ConfigPlaces& places, const std::optional<LocalTime>& now)
{
    ConfigProblems warnings;
    ReadWeekendValues(document, warnings);
    for (ConfigProblem& warning : warnings) warning.What += "; the weekend rates cannot switch on until this is fixed";
    for (ConfigProblem& mistake : ProbableMistakes(document, now)) warnings.push_back(std::move(mistake));
    Locate(warnings, places);
    return warnings;
}
