// Reading "Schedules". A weekly entry has "Days"; a dated one has dates in "From" and "Until".
#include "plugin/config/Schedules.h"

#include <cstdio>

#include "plugin/config/TypedReads.h"
#include "plugin/config/WeekendValues.h"
#include "util/CivilDate.h"
#include "util/Utf.h"

namespace qv {

const std::array<const char*, 13> ScheduleMembers = {
    "Name",        "Days",        "From",          "Until",        "EnabledMessage", "DisabledMessage", "EnabledRGB",
    "DisabledRGB", "WeekendMOTD", "RelativeRates", "InheritRates", "Priority",       "JoinMessage",
};

namespace {

using json = nlohmann::json;

bool IsControl(char32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

// Characters that take no room on a screen and can make two names look alike, or reorder the text
// around them.
bool IsInvisible(char32_t c)
{
    return c == 0x00AD || c == 0x061C || c == 0x180E || (c >= 0x200B && c <= 0x200F) || (c >= 0x202A && c <= 0x202E) ||
           (c >= 0x2060 && c <= 0x2064) || (c >= 0x2066 && c <= 0x206F) || c == 0xFEFF;
}

std::string CodePoint(char32_t c)
{
    char text[16];
    std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(c));
    return text;
}

template <typename Value, typename Read>
void ReadOptional(const json& entry, const std::string& path, const char* key, std::optional<Value>& field, Read read,
                  ConfigProblems& problems)
{
    if (const json* member = FindMember(entry, key)) field = read(member, path + "." + key, problems);
}

WeeklyHours ReadWeeklyTimes(const json& entry, const std::string& path, ConfigProblems& problems)
{
    WeeklyHours hours;
    const json* days = FindMember(entry, "Days");
    if (!days->is_array() || days->empty()) {
        AddTypeProblem(days, path + ".Days", "an array of weekdays (0 = Sunday to 6 = Saturday)", problems);
        if (days->is_array()) problems.back().What = "no weekday: the window would never open";
    } else {
        for (std::size_t i = 0; i < days->size(); ++i) {
            // 7 is Sunday, as StartDay and EndDay take it; a warning says so.
            if (IsDaySeven((*days)[i])) {
                hours.Days |= 1u;
                continue;
            }
            const auto day =
                ReadWholeNumber(&(*days)[i], path + ".Days[" + std::to_string(i) + "]", 0, 6, "a weekday", problems);
            if (day) hours.Days |= static_cast<std::uint8_t>(1u << *day);
        }
    }
    if (const auto from = ReadTimeOfDay(FindMember(entry, "From"), path + ".From", problems))
        hours.From = from->Minutes;
    if (const auto until = ReadTimeOfDay(FindMember(entry, "Until"), path + ".Until", problems)) {
        hours.Until = until->Minutes;
    }
    return hours;
}

// An Until in the year of its From that would be weeks after it in the next year: the year was not
// moved on at the turn of the year ("2026-12-31T18:00" to "2026-01-02T10:00").
std::string YearSlip(WallTime from, WallTime until)
{
    constexpr Days kLongestAcrossTheYear{62};
    const LocalTime end = FromWallTime(until);
    if (end.Year != FromWallTime(from).Year || !util::IsValidDate(end.Year + 1, end.Month, end.Day)) return {};
    LocalTime meant = end;
    ++meant.Year;
    const WallTime next = ToWallTime(meant);
    if (next <= from || next - from > kLongestAcrossTheYear) return {};
    char text[24];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d", meant.Year, meant.Month, meant.Day, meant.Hour,
                  meant.Minute);
    return std::string("; if it ends in the next year, write \"") + text + "\"";
}

DatedSpan ReadDatedTimes(const json& entry, const std::string& path, ConfigProblems& problems)
{
    const auto read = [&](const char* key) {
        const json* member = FindMember(entry, key);
        const auto seconds = ReadDateTime(member, path + "." + key, problems);
        if (!seconds && member != nullptr && member->is_string() &&
            ParseTimeOfDay(member->get_ref<const std::string&>())) {
            problems.back().What += "; a weekly window gives its weekdays in \"Days\"";
        }
        return seconds;
    };
    const auto from = read("From");
    const auto until = read("Until");
    if (from && until && *until <= *from) {
        AddProblem(problems, path + ".Until",
                   FindMember(entry, "Until")->dump() + " is not after From (" + FindMember(entry, "From")->dump() +
                       ")" + YearSlip(*from, *until));
    }
    return DatedSpan{from.value_or(WallTime{}), until.value_or(WallTime{})};
}

// The name, as written; checked, and compared with the names before it.
std::string ReadName(const json& entry, const std::string& entryPath, const std::string& path,
                     const std::vector<Window>& earlier, ConfigProblems& problems)
{
    const json* member = FindMember(entry, "Name");
    ReadWindowName(member, entryPath + ".Name", problems);
    if (member == nullptr || !member->is_string()) return {};
    const std::string& name = member->get_ref<const std::string&>();
    for (std::size_t i = 0; i < earlier.size(); ++i) {
        if (name.empty() || earlier[i].Id.ScheduleName() != name) continue;
        AddProblem(problems, entryPath + ".Name",
                   "\"" + Excerpt(name) + "\" is already the name of " + path + "[" + std::to_string(i) +
                       "]; names must be unique");
    }
    return name;
}

} // namespace

std::optional<std::string> WindowNameProblem(std::string_view name)
{
    if (name.empty()) return "a window needs a name";
    if (name.size() > kLongestWindowName) {
        return "a name may have at most " + std::to_string(kLongestWindowName) + " bytes, this one has " +
               std::to_string(name.size()) + " (\"" + Excerpt(name) + "\")";
    }
    for (const char32_t c : util::DecodeUtf8(name)) {
        if (IsControl(c)) return "holds the control character " + CodePoint(c) + "; a name is printable text";
        if (IsInvisible(c)) {
            return "holds the invisible character " + CodePoint(c) +
                   "; a name is printable text, which players can tell apart";
        }
    }
    return std::nullopt;
}

std::optional<std::string> ReadWindowName(const json* member, const std::string& path, ConfigProblems& problems)
{
    if (member == nullptr || !member->is_string()) {
        AddTypeProblem(member, path, "a string", problems);
        return std::nullopt;
    }
    const std::string& name = member->get_ref<const std::string&>();
    if (const auto problem = WindowNameProblem(name)) {
        AddProblem(problems, path, *problem);
        return std::nullopt;
    }
    return name;
}

std::optional<WeeklyName> ReadWeeklyName(const json* member, const std::string& path, ConfigProblems& problems)
{
    std::optional<std::string> name = ReadWindowName(member, path, problems);
    if (!name) return std::nullopt;
    return WeeklyName{std::move(*name)};
}

std::optional<WindowPriority> ReadPriority(const json* member, const std::string& path, ConfigProblems& problems)
{
    const auto value = ReadWholeNumber(member, path, kLowestPriority, kHighestPriority, "", problems);
    if (!value) return std::nullopt;
    return WindowPriority{*value};
}

std::optional<std::vector<Window>> ReadSchedules(const json* member, const std::string& path, ConfigProblems& problems)
{
    if (member == nullptr || !member->is_array()) {
        AddTypeProblem(member, path, "an array of windows", problems);
        return std::nullopt;
    }
    if (member->size() > kMostSchedules) {
        AddProblem(problems, path,
                   std::to_string(member->size()) + " windows; at most " + std::to_string(kMostSchedules) +
                       " are allowed");
        return std::nullopt;
    }
    std::vector<Window> schedules;
    for (std::size_t i = 0; i < member->size(); ++i) {
        const json& entry = (*member)[i];
        const std::string entryPath = path + "[" + std::to_string(i) + "]";
        Window window{WindowId::Schedule({}), WeeklyHours{}, {}, {}, {}, {}, {}, {}, {}, {}, {}};
        if (!entry.is_object()) {
            AddTypeProblem(&entry, entryPath, "an object", problems);
            schedules.push_back(std::move(window));
            continue;
        }
        window.Id = WindowId::Schedule(ReadName(entry, entryPath, path, schedules, problems));
        if (FindMember(entry, "Days") != nullptr) {
            window.Times = ReadWeeklyTimes(entry, entryPath, problems);
        } else {
            window.Times = ReadDatedTimes(entry, entryPath, problems);
        }
        window.Rates = ReadRates(entry, entryPath, false, problems);
        ReadOptional(entry, entryPath, "EnabledMessage", window.EnabledMessage, ReadText, problems);
        ReadOptional(entry, entryPath, "DisabledMessage", window.DisabledMessage, ReadText, problems);
        ReadOptional(entry, entryPath, "WeekendMOTD", window.WeekendMOTD, ReadText, problems);
        ReadOptional(entry, entryPath, "EnabledRGB", window.EnabledColor, ReadColor, problems);
        ReadOptional(entry, entryPath, "DisabledRGB", window.DisabledColor, ReadColor, problems);
        ReadOptional(entry, entryPath, "RelativeRates", window.RelativeRates, ReadFlag, problems);
        ReadOptional(entry, entryPath, "InheritRates", window.InheritRates, ReadFlag, problems);
        std::optional<WindowPriority> priority;
        ReadOptional(entry, entryPath, "Priority", priority, ReadPriority, problems);
        window.Priority = priority.value_or(WindowPriority{});
        ReadOptional(entry, entryPath, "JoinMessage", window.JoinMessage, ReadText, problems);
        schedules.push_back(std::move(window));
    }
    return schedules;
}

} // namespace qv
