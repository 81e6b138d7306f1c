// Each rule reads the member through the plug-in's own typed reads, so a warning speaks of the
// value the plug-in will really use (5.7 as 5, true as 1).
#include "plugin/rates/ConfigWarnings.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <vector>

#include <fmt/format.h>

#include "plugin/config/PluginSettings.h"
#include "plugin/config/TypedReads.h"
#include "plugin/messaging/Patterns.h"
#include "plugin/rates/WeekendValues.h"
#include "plugin/rates/WeekendWindow.h"

namespace {

using json = nlohmann::json;

// Longer names are no misspelling of a known one, and comparing them would cost time to no end.
constexpr std::size_t kLongestSuggestedName = 64;

void Warn(ConfigProblems& warnings, const char* key, std::string what)
{
    warnings.push_back({ProblemKind::Member, SectionMember(key), std::move(what), {}});
}

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::size_t EditDistance(const std::string& a, const std::string& b)
{
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

std::vector<std::string> KnownMembers()
{
    std::vector<std::string> known;
    for (const SettingRow& row : SettingsTable) known.emplace_back(row.Key);
    for (const MultiplierRow& row : WeekendMultiplierTable) known.emplace_back(row.Key);
    return known;
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
            Warn(warnings, key, fmt::format("{} is not a whole weekday; it takes effect as {}", member->dump(), *day));
        }
        if (*day < 0 || *day > 6) {
            Warn(warnings, key, fmt::format("{} is not a weekday (0 = Sunday to 6 = Saturday)", *day));
        }
    }
    const auto start = Quietly(section, startKey, ReadInteger);
    const auto end = Quietly(section, endKey, ReadInteger);
    if (!start || !end) return;
    if (*start == *end) {
        Warn(warnings, startKey,
             fmt::format("{} equals {} ({}): the window is empty and the weekend rates never switch on", startKey,
                         endKey, *start));
        return;
    }
    bool everOpen = false;
    for (int weekday = 0; weekday < 7; ++weekday) everOpen = everOpen || IsWindowOpen(*start, *end, weekday);
    if (!everOpen) {
        Warn(warnings, startKey,
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
                Warn(warnings, key,
                     fmt::format("a component is beyond the range of a 32-bit float and is used as {:g}", extreme));
            }
        }
        if (highest > 1.0f && !std::isinf(highest)) {
            Warn(warnings, key,
                 fmt::format("a component of {:g} looks like a 0-255 colour; components run from 0 to 1 and are "
                             "used unscaled (write 255 as 1)",
                             highest));
        }
        if (lowest < 0.0f && !std::isinf(lowest)) {
            Warn(warnings, key, fmt::format("a component of {:g} is below 0; components run from 0 to 1", lowest));
        }
    }
}

void WarnOnMultipliers(const json& section, ConfigProblems& warnings)
{
    for (const MultiplierRow& row : WeekendMultiplierTable) {
        const json* member = FindMember(section, row.Key);
        if (member == nullptr) continue;
        std::optional<float> value;
        if (row.WholeNumber) {
            if (const auto whole = Quietly(section, row.Key, ReadInteger)) value = static_cast<float>(*whole);
        } else {
            value = Quietly(section, row.Key, ReadFloat);
        }
        if (!value) continue;
        // A fraction cut off, or a whole number beyond 32 bits cut to its low 32 bits.
        const double written = member->is_boolean() ? (member->get<bool>() ? 1.0 : 0.0) : member->get<double>();
        if (row.WholeNumber && static_cast<double>(*value) != written) {
            Warn(warnings, row.Key,
                 fmt::format("{} is read as a whole number: it takes effect as {:g}{}", member->dump(), *value,
                             *value == 0.0f ? ", which leaves the rate unchanged" : ""));
        } else if (*value == 0.0f) {
            Warn(warnings, row.Key,
                 fmt::format("{} leaves the game's own rate unchanged on the weekend", member->dump()));
        }
        if (std::isinf(*value)) {
            Warn(warnings, row.Key,
                 fmt::format("{} is beyond the range of the game's 32-bit rates; the plug-in writes it as {:g}",
                             member->dump(), *value));
        }
        if (*value < 0.0f) {
            Warn(warnings, row.Key,
                 fmt::format("{} is a negative rate; the plug-in writes it as it is", member->dump()));
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
            Warn(warnings, key,
                 "is not a valid message pattern (a single brace or a replacement field): the notification shows it "
                 "as written (write {{ and }} for one brace)");
        }
        if (pattern && chatbox.value_or(false) && notification.value_or(true) &&
            (text.find("{{") != std::string::npos || text.find("}}") != std::string::npos)) {
            Warn(warnings, key, "doubled braces show as one brace in the notification but as two in the chat line");
        }
    }
}

void WarnOnUnknownMembers(const json& section, ConfigProblems& warnings)
{
    const std::vector<std::string> known = KnownMembers();
    for (const auto& member : section.items()) {
        if (std::find(known.begin(), known.end(), member.key()) != known.end()) continue;
        const std::string nearest = NearestKnownMember(member.key());
        Warn(warnings, member.key().c_str(),
             nearest.empty() ? std::string("unknown member; the plug-in ignores it")
                             : fmt::format("unknown member; the plug-in ignores it (did you mean \"{}\"?)", nearest));
    }
}

} // namespace

std::string NearestKnownMember(const std::string& name)
{
    if (name.size() > kLongestSuggestedName) return {};
    std::string best;
    std::size_t bestDistance = 4;
    for (const std::string& known : KnownMembers()) {
        const std::size_t distance = EditDistance(Lower(name), Lower(known));
        if (distance < bestDistance) {
            bestDistance = distance;
            best = known;
        }
    }
    return best;
}

ConfigProblems ProbableMistakes(const json& document)
{
    ConfigProblems warnings;
    ConfigProblems ignored;
    const json* section = FindSection(document, ignored);
    if (section == nullptr) return warnings;
    WarnOnWeekdays(*section, warnings);
    WarnOnColours(*section, warnings);
    WarnOnMultipliers(*section, warnings);
    WarnOnTexts(*section, warnings);
    WarnOnUnknownMembers(*section, warnings);
    return warnings;
}

ConfigProblems LoadWarnings(const json& document, const ConfigPlaces& places)
{
    ConfigProblems warnings;
    ReadWeekendValues(document, warnings);
    for (ConfigProblem& warning : warnings) warning.What += "; the weekend rates cannot switch on until this is fixed";
    for (ConfigProblem& mistake : ProbableMistakes(document)) warnings.push_back(std::move(mistake));
    Locate(warnings, places);
    return warnings;
}
