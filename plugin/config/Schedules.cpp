// Reading "Schedules". A weekly entry has "Days"; a dated one has dates in "From" and "Until". The
// rates of an entry are checked here, but, as the main section's, read from the kept document
// when the window opens.
#include "plugin/config/Schedules.h"

#include "plugin/config/TypedReads.h"
#include "plugin/config/WeekendValues.h"

const std::array<const char*, 9> ScheduleMembers = {
    "Name", "Days", "From", "Until", "EnabledMessage", "DisabledMessage", "EnabledRGB", "DisabledRGB", "WeekendMOTD",
};

namespace {

using json = nlohmann::json;

template <typename Value, typename Read>
void ReadOptional(const json& entry, const std::string& path, const char* key, std::optional<Value>& field, Read read,
                  ConfigProblems& problems)
{
    if (const json* member = FindMember(entry, key)) field = read(member, path + "." + key, problems);
}

void ReadWeeklyTimes(const json& entry, const std::string& path, Schedule& schedule, ConfigProblems& problems)
{
    const json* days = FindMember(entry, "Days");
    if (!days->is_array() || days->empty()) {
        AddTypeProblem(days, path + ".Days", "an array of weekdays (0 = Sunday to 6 = Saturday)", problems);
        if (days->is_array()) problems.back().What = "no weekday: the window would never open";
    } else {
        for (std::size_t i = 0; i < days->size(); ++i) {
            const auto day =
                ReadWholeNumber(&(*days)[i], path + ".Days[" + std::to_string(i) + "]", 0, 6, "a weekday", problems);
            if (day) schedule.Days |= static_cast<std::uint8_t>(1u << *day);
        }
    }
    if (const auto from = ReadTimeOfDay(FindMember(entry, "From"), path + ".From", problems))
        schedule.From = from->Minutes;
    if (const auto until = ReadTimeOfDay(FindMember(entry, "Until"), path + ".Until", problems)) {
        schedule.Until = until->Minutes;
    }
}

void ReadDatedTimes(const json& entry, const std::string& path, Schedule& schedule, ConfigProblems& problems)
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
                       ")");
    }
    schedule.Weekly = false;
    schedule.Start = from.value_or(0);
    schedule.End = until.value_or(0);
}

void ReadRates(const json& entry, const std::string& path, ConfigProblems& problems)
{
    for (const MultiplierRow& row : WeekendMultiplierTable) {
        const json* member = FindMember(entry, row.Key);
        if (member == nullptr) continue;
        if (row.WholeNumber) {
            ReadInteger(member, path + "." + row.Key, problems);
        } else {
            ReadFloat(member, path + "." + row.Key, problems);
        }
    }
}

} // namespace

std::optional<std::vector<Schedule>> ReadSchedules(const json* member, const std::string& path,
                                                   ConfigProblems& problems)
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
    const std::size_t problemsBefore = problems.size();
    std::vector<Schedule> schedules;
    for (std::size_t i = 0; i < member->size(); ++i) {
        const json& entry = (*member)[i];
        const std::string entryPath = path + "[" + std::to_string(i) + "]";
        if (!entry.is_object()) {
            AddTypeProblem(&entry, entryPath, "an object", problems);
            continue;
        }
        Schedule schedule;
        if (const auto name = ReadText(FindMember(entry, "Name"), entryPath + ".Name", problems)) {
            schedule.Name = name->ToUtf8();
            if (schedule.Name.empty()) AddProblem(problems, entryPath + ".Name", "a window needs a name");
            for (std::size_t earlier = 0; earlier < schedules.size(); ++earlier) {
                if (!schedule.Name.empty() && schedules[earlier].Name == schedule.Name) {
                    AddProblem(problems, entryPath + ".Name",
                               "\"" + schedule.Name + "\" is already the name of " + path + "[" +
                                   std::to_string(earlier) + "]; names must be unique");
                }
            }
        }
        if (FindMember(entry, "Days") != nullptr) {
            ReadWeeklyTimes(entry, entryPath, schedule, problems);
        } else {
            ReadDatedTimes(entry, entryPath, schedule, problems);
        }
        ReadRates(entry, entryPath, problems);
        ReadOptional(entry, entryPath, "EnabledMessage", schedule.EnabledMessage, ReadText, problems);
        ReadOptional(entry, entryPath, "DisabledMessage", schedule.DisabledMessage, ReadText, problems);
        ReadOptional(entry, entryPath, "WeekendMOTD", schedule.WeekendMOTD, ReadText, problems);
        ReadOptional(entry, entryPath, "EnabledRGB", schedule.EnabledColor, ReadColor, problems);
        ReadOptional(entry, entryPath, "DisabledRGB", schedule.DisabledColor, ReadColor, problems);
        schedules.push_back(std::move(schedule));
    }
    if (problems.size() != problemsBefore) return std::nullopt;
    return schedules;
}
