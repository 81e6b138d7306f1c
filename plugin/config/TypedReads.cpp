// Typed reads with the conversions the config file format promises.
#include "plugin/config/TypedReads.h"

#include <cmath>
#include <limits>

#include "plugin/host/Framework.h"

namespace qv {

namespace {

using json = nlohmann::json;

bool IsNumberOrFlag(const json& value) { return value.is_number() || value.is_boolean(); }

} // namespace

void AddProblem(ConfigProblems& problems, const std::string& path, std::string what)
{
    problems.push_back({ProblemKind::Member, path, std::move(what), {}});
}

void AddTypeProblem(const json* member, const std::string& path, const char* what, ConfigProblems& problems)
{
    if (member == nullptr) {
        AddProblem(problems, path, std::string("missing (expected ") + what + ")");
    } else {
        AddProblem(problems, path, std::string("expected ") + what + ", found " + member->type_name());
    }
}

// By a view: a member name longer than the string's own room would otherwise be copied to the heap
// for every lookup.
const json* FindMember(const json& object, std::string_view name)
{
    if (!object.is_object()) return nullptr;
    const auto found = object.find(name);
    return found == object.end() ? nullptr : &*found;
}

std::optional<FString> ReadText(const json* member, const std::string& path, ConfigProblems& problems)
{
    if (member == nullptr || !member->is_string()) {
        AddTypeProblem(member, path, "a string", problems);
        return std::nullopt;
    }
    return FString(Framework::Utf8Decode(member->get_ref<const std::string&>()));
}

std::optional<bool> ReadFlag(const json* member, const std::string& path, ConfigProblems& problems)
{
    if (member == nullptr || !member->is_boolean()) {
        AddTypeProblem(member, path, "true or false", problems);
        return std::nullopt;
    }
    return member->get<bool>();
}

std::optional<float> ReadFloat(const json* member, const std::string& path, ConfigProblems& problems)
{
    if (member == nullptr || !IsNumberOrFlag(*member)) {
        AddTypeProblem(member, path, "a number", problems);
        return std::nullopt;
    }
    const double value = member->is_boolean() ? (member->get<bool>() ? 1.0 : 0.0) : member->get<double>();
    // Narrowing a double beyond float range is undefined, so round by hand there. Up to halfway to
    // the next power of two the nearest float is still the largest one ("3.4028235e38", the usual
    // way of writing it, lies just above it); from halfway on, it is infinity.
    constexpr double largest = std::numeric_limits<float>::max();
    constexpr double halfway = largest + 0x1p103; // half a unit in the last place of the largest float
    if (std::fabs(value) >= halfway) return std::copysign(std::numeric_limits<float>::infinity(), value);
    if (std::fabs(value) > largest) return std::copysign(std::numeric_limits<float>::max(), value);
    return static_cast<float>(value);
}

std::optional<std::int32_t> ReadInteger(const json* member, const std::string& path, ConfigProblems& problems)
{
    if (member == nullptr || !IsNumberOrFlag(*member)) {
        AddTypeProblem(member, path, "a number", problems);
        return std::nullopt;
    }
    if (member->is_boolean()) return member->get<bool>() ? 1 : 0;
    if (member->is_number_unsigned())
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(member->get<std::uint64_t>()));
    if (member->is_number_integer())
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(member->get<std::int64_t>()));
    const double cut = std::trunc(member->get<double>());
    // Beyond 64 bits there are no low 32 bits to take; converting would be undefined.
    if (!(std::fabs(cut) < 9.2e18)) {
        AddProblem(problems, path, member->dump() + " is too large for a whole number");
        return std::nullopt;
    }
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::int64_t>(cut)));
}

std::optional<MessageColor> ReadColor(const json* member, const std::string& path, ConfigProblems& problems)
{
    constexpr const char* kExpected = "an array of 4 numbers (R, G, B, A)";
    if (member == nullptr || !member->is_array()) {
        AddTypeProblem(member, path, kExpected, problems);
        return std::nullopt;
    }
    if (member->size() < 4) {
        const auto count = member->size();
        AddProblem(problems, path,
                   std::string("expected ") + kExpected + ", found " + std::to_string(count) +
                       (count == 1 ? " element" : " elements"));
        return std::nullopt;
    }
    float components[4] = {};
    bool complete = true;
    for (std::size_t i = 0; i < 4; ++i) {
        const auto value = ReadFloat(&(*member)[i], path + "[" + std::to_string(i) + "]", problems);
        if (value) components[i] = *value;
        complete = complete && value.has_value();
    }
    if (!complete) return std::nullopt;
    return MessageColor{components[0], components[1], components[2], components[3]};
}

std::optional<TimeOfDay> ReadTimeOfDay(const json* member, const std::string& path, ConfigProblems& problems)
{
    constexpr const char* kExpected = "a time of day \"HH:MM\" (24-hour)";
    if (member == nullptr || !member->is_string()) {
        AddTypeProblem(member, path, kExpected, problems);
        return std::nullopt;
    }
    const auto minutes = ParseTimeOfDay(member->get_ref<const std::string&>());
    if (!minutes) {
        AddProblem(problems, path, std::string("expected ") + kExpected + ", found " + Excerpt(member->dump()));
        return std::nullopt;
    }
    return TimeOfDay{*minutes};
}

std::optional<WallTime> ReadDateTime(const json* member, const std::string& path, ConfigProblems& problems)
{
    constexpr const char* kExpected = "a local date and time \"YYYY-MM-DDTHH:MM\"";
    if (member == nullptr || !member->is_string()) {
        AddTypeProblem(member, path, kExpected, problems);
        return std::nullopt;
    }
    const auto seconds = ParseDateTime(member->get_ref<const std::string&>());
    if (!seconds) {
        AddProblem(problems, path,
                   std::string("expected ") + kExpected + " that exists, found " + Excerpt(member->dump()));
        return std::nullopt;
    }
    return seconds;
}

std::optional<std::int32_t> ReadWholeNumber(const json* member, const std::string& path, std::int32_t low,
                                            std::int32_t high, const char* unit, ConfigProblems& problems)
{
    const std::string expected = "a whole number" + (*unit == '\0' ? std::string() : " of " + std::string(unit)) +
                                 " from " + std::to_string(low) + " to " + std::to_string(high);
    if (member == nullptr || !member->is_number()) {
        AddTypeProblem(member, path, expected.c_str(), problems);
        return std::nullopt;
    }
    const double value = member->get<double>();
    if (!(value >= low && value <= high) || value != static_cast<double>(static_cast<std::int32_t>(value))) {
        AddProblem(problems, path, "expected " + expected + ", found " + member->dump());
        return std::nullopt;
    }
    return static_cast<std::int32_t>(value);
}

bool IsDaySeven(const json& value) { return value.is_number() && value.get<double>() == 7.0; }

std::optional<std::vector<std::int32_t>> ReadReminders(const json* member, const std::string& path,
                                                       ConfigProblems& problems)
{
    if (member == nullptr || !member->is_array()) {
        AddTypeProblem(member, path, "an array of minutes before a window opens", problems);
        return std::nullopt;
    }
    constexpr std::size_t kMostReminders = 10;
    if (member->size() > kMostReminders) {
        AddProblem(problems, path,
                   std::to_string(member->size()) + " reminders; at most " + std::to_string(kMostReminders) +
                       " are allowed");
        return std::nullopt;
    }
    const std::size_t problemsBefore = problems.size();
    std::vector<std::int32_t> minutes;
    for (std::size_t i = 0; i < member->size(); ++i) {
        const auto value = ReadWholeNumber(&(*member)[i], path + "[" + std::to_string(i) + "]", 1, kMinutesPerWeek,
                                           "minutes (a week at most)", problems);
        if (value) minutes.push_back(*value);
    }
    if (problems.size() != problemsBefore) return std::nullopt;
    return minutes;
}

std::optional<std::string> ReadCommandName(const json* member, const std::string& path, ConfigProblems& problems)
{
    constexpr const char* kExpected = "a chat command such as \"/rates\"";
    if (member == nullptr || !member->is_string()) {
        AddTypeProblem(member, path, kExpected, problems);
        return std::nullopt;
    }
    const std::string& name = member->get_ref<const std::string&>();
    bool visible = name.size() >= 2 && name.size() <= 32 && name[0] == '/';
    for (const char c : name) visible = visible && c > ' ' && c < 0x7F;
    if (!visible) {
        AddProblem(problems, path,
                   std::string("expected ") + kExpected +
                       " (a slash and up to 31 letters, digits or signs, no spaces), found " + Excerpt(member->dump()));
        return std::nullopt;
    }
    return name;
}

std::optional<TimeZone> ReadTimeZone(const json* member, const std::string& path, ConfigProblems& problems)
{
    constexpr const char* kExpected = "a time zone such as \"Europe/Berlin\"";
    if (member == nullptr || !member->is_string()) {
        AddTypeProblem(member, path, kExpected, problems);
        return std::nullopt;
    }
    const std::string& name = member->get_ref<const std::string&>();
    if (std::optional<TimeZone> zone = FindTimeZone(name)) return zone;
    const std::string nearest = NearestTimeZoneName(name);
    AddProblem(problems, path,
               "\"" + Excerpt(name) + "\" is no time zone the plug-in knows; expected an IANA name such as " +
                   "\"Europe/Berlin\", \"America/New_York\" or \"UTC\"" +
                   (nearest.empty() ? std::string() : " (did you mean \"" + nearest + "\"?)"));
    return std::nullopt;
}

} // namespace qv
