// Typed reads with the conversions the config file format promises.
#include "plugin/config/TypedReads.h"

#include <cmath>
#include <limits>

#include "plugin/host/Framework.h"

namespace {

using json = nlohmann::json;

bool IsNumberOrFlag(const json& value) { return value.is_number() || value.is_boolean(); }

void Add(ConfigProblems& problems, const std::string& path, std::string what)
{
    problems.push_back({ProblemKind::Member, path, std::move(what), {}});
}

void Expected(const json* member, const std::string& path, const char* what, ConfigProblems& problems)
{
    if (member == nullptr) {
        Add(problems, path, std::string("missing (expected ") + what + ")");
    } else {
        Add(problems, path, std::string("expected ") + what + ", found " + member->type_name());
    }
}

} // namespace

const json* FindMember(const json& object, const char* name)
{
    if (!object.is_object()) return nullptr;
    const auto found = object.find(name);
    return found == object.end() ? nullptr : &*found;
}

std::optional<FString> ReadText(const json* member, const std::string& path, ConfigProblems& problems)
{
    if (member == nullptr || !member->is_string()) {
        Expected(member, path, "a string", problems);
        return std::nullopt;
    }
    return FString(Framework::Utf8Decode(member->get_ref<const std::string&>()));
}

std::optional<bool> ReadFlag(const json* member, const std::string& path, ConfigProblems& problems)
{
    if (member == nullptr || !member->is_boolean()) {
        Expected(member, path, "true or false", problems);
        return std::nullopt;
    }
    return member->get<bool>();
}

std::optional<float> ReadFloat(const json* member, const std::string& path, ConfigProblems& problems)
{
    if (member == nullptr || !IsNumberOrFlag(*member)) {
        Expected(member, path, "a number", problems);
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
        Expected(member, path, "a number", problems);
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
        Add(problems, path, member->dump() + " is too large for a whole number");
        return std::nullopt;
    }
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::int64_t>(cut)));
}

std::optional<MessageColor> ReadColor(const json* member, const std::string& path, ConfigProblems& problems)
{
    constexpr const char* kExpected = "an array of 4 numbers (R, G, B, A)";
    if (member == nullptr || !member->is_array()) {
        Expected(member, path, kExpected, problems);
        return std::nullopt;
    }
    if (member->size() < 4) {
        const auto count = member->size();
        Add(problems, path,
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
