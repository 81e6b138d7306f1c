// The typed reads of config values. Each names what it expected and what it found, by the
// member's path, and adds that to problems instead of giving up, so that a check can list every
// problem of a file at once.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "plugin/config/ConfigProblem.h"
#include "plugin/host/Colors.h"
#include "plugin/host/FString.h"
#include "plugin/schedule/Calendar.h"
#include "plugin/schedule/TimeZone.h"

namespace qv {

// member is null when the member is absent.
std::optional<FString> ReadText(const nlohmann::json* member, const std::string& path, ConfigProblems& problems);
std::optional<bool> ReadFlag(const nlohmann::json* member, const std::string& path, ConfigProblems& problems);
// Any number or true/false, unclamped; a magnitude beyond float range becomes infinity.
std::optional<float> ReadFloat(const nlohmann::json* member, const std::string& path, ConfigProblems& problems);
// Any number or true/false; a fraction is cut toward zero, an integer keeps its low 32 bits.
std::optional<std::int32_t> ReadInteger(const nlohmann::json* member, const std::string& path,
                                        ConfigProblems& problems);
// An array of at least four numbers: R, G, B, A; further elements are ignored.
std::optional<MessageColor> ReadColor(const nlohmann::json* member, const std::string& path, ConfigProblems& problems);

// A local time of day written "HH:MM", 24-hour, as minutes after midnight.
struct TimeOfDay {
    std::int32_t Minutes = 0;
};
std::optional<TimeOfDay> ReadTimeOfDay(const nlohmann::json* member, const std::string& path, ConfigProblems& problems);
// A local date and time written "YYYY-MM-DDTHH:MM".
std::optional<WallTime> ReadDateTime(const nlohmann::json* member, const std::string& path, ConfigProblems& problems);
// A whole number from low to high (a number with a fraction is no whole number here); unit names
// what it counts ("minutes"), or is empty.
std::optional<std::int32_t> ReadWholeNumber(const nlohmann::json* member, const std::string& path, std::int32_t low,
                                            std::int32_t high, const char* unit, ConfigProblems& problems);
// A weekday written as 7, which the day rule takes as Sunday (0).
bool IsDaySeven(const nlohmann::json& value);
// Reminders: an array of whole numbers of minutes, 1 to a week.
std::optional<std::vector<std::int32_t>> ReadReminders(const nlohmann::json* member, const std::string& path,
                                                       ConfigProblems& problems);
// A chat command's name: "/" and up to 31 visible ASCII characters, no spaces.
std::optional<std::string> ReadCommandName(const nlohmann::json* member, const std::string& path,
                                           ConfigProblems& problems);

// An IANA time zone name of the compiled-in table, such as "Europe/Berlin", written exactly.
std::optional<TimeZone> ReadTimeZone(const nlohmann::json* member, const std::string& path, ConfigProblems& problems);

// The problem of a member that is missing or of the wrong type: "missing (expected <what>)" or
// "expected <what>, found <type>".
void AddTypeProblem(const nlohmann::json* member, const std::string& path, const char* what, ConfigProblems& problems);
void AddProblem(ConfigProblems& problems, const std::string& path, std::string what);

// The member of object, or null when object is not an object or has no such member.
const nlohmann::json* FindMember(const nlohmann::json& object, std::string_view name);

} // namespace qv
