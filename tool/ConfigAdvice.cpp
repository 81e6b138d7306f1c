// Each rule reads the member through the plug-in's own typed reads, so the advice speaks of the
// value the plug-in will really use (5.7 as 5, true as 1).
#include "tool/ConfigAdvice.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include <fmt/format.h>

#include "plugin/config/SettingsDecoder.h"
#include "plugin/config/TypedReads.h"
#include "plugin/messaging/Patterns.h"
#include "plugin/rates/MultiplierTable.h"
#include "plugin/rates/WeekendWindow.h"

namespace qvtool {

namespace {

using json = nlohmann::json;

std::string PathOf(const std::string& key) { return std::string(kSectionName) + "." + key; }

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
    std::vector<std::string> known(SettingsKeys.begin(), SettingsKeys.end());
    for (const MultiplierRow& row : WeekendMultiplierTable) known.emplace_back(row.Key);
    return known;
}

bool HasFraction(const json& member)
{
    return member.is_number_float() && std::trunc(member.get<double>()) != member.get<double>();
}

// The decoder's reads, with their errors dropped: a member that fails is reported as an error elsewhere.
template <typename Read>
auto Quietly(const json& section, const std::string& key, Read read)
{
    ConfigErrors ignored;
    return read(FindMember(section, key.c_str()), PathOf(key), ignored);
}

void AdviseOnWeekdays(const json& section, std::vector<Advice>& advice)
{
    const auto start = Quietly(section, "StartDay", ReadInteger);
    const auto end = Quietly(section, "EndDay", ReadInteger);
    for (const char* key : {"StartDay", "EndDay"}) {
        const json* member = FindMember(section, key);
        const auto day = Quietly(section, key, ReadInteger);
        if (!day) continue;
        if (HasFraction(*member)) {
            advice.push_back(
                {PathOf(key), fmt::format("{} is not a whole weekday; it takes effect as {}", member->dump(), *day)});
        }
        if (*day < 0 || *day > 6) {
            advice.push_back({PathOf(key), fmt::format("{} is not a weekday (0 = Sunday to 6 = Saturday)", *day)});
        }
    }
    if (!start || !end) return;
    if (*start == *end) {
        advice.push_back(
            {PathOf("StartDay"),
             fmt::format("StartDay equals EndDay ({}): the window is empty and the weekend rates never switch on",
                         *start)});
        return;
    }
    bool everOpen = false;
    for (int weekday = 0; weekday < 7; ++weekday) everOpen = everOpen || IsWindowOpen(*start, *end, weekday);
    if (!everOpen) {
        advice.push_back(
            {PathOf("StartDay"), fmt::format("with StartDay {} and EndDay {} the window is open on no weekday: "
                                             "the weekend rates never switch on",
                                             *start, *end)});
    }
}

void AdviseOnColours(const json& section, std::vector<Advice>& advice)
{
    for (const char* key : {"QuorvandelleEnabledRGB", "QuorvandelleDisabledRGB"}) {
        const auto color = Quietly(section, key, ReadColor);
        if (!color) continue;
        const float components[] = {color->R, color->G, color->B, color->A};
        const float highest = *std::max_element(std::begin(components), std::end(components));
        const float lowest = *std::min_element(std::begin(components), std::end(components));
        if (highest > 1.0f) {
            advice.push_back(
                {PathOf(key), fmt::format("a component of {:g} looks like a 0-255 colour; components run from 0 to "
                                          "1 and are used unscaled (write 255 as 1)",
                                          highest)});
        }
        if (lowest < 0.0f) {
            advice.push_back(
                {PathOf(key), fmt::format("a component of {:g} is below 0; components run from 0 to 1", lowest)});
        }
    }
}

void AdviseOnMultipliers(const json& section, std::vector<Advice>& advice)
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
        const bool cut = row.WholeNumber && HasFraction(*member);
        if (cut) {
            advice.push_back(
                {PathOf(row.Key), fmt::format("{} is read as a whole number: it takes effect as {:g}{}", member->dump(),
                                              *value, *value == 0.0f ? ", which leaves the rate unchanged" : "")});
        } else if (*value == 0.0f) {
            advice.push_back({PathOf(row.Key),
                              fmt::format("{} leaves the game's own rate unchanged on the weekend", member->dump())});
        }
        if (*value < 0.0f) {
            advice.push_back({PathOf(row.Key),
                              fmt::format("{} is a negative rate; the plug-in writes it as it is", member->dump())});
        }
    }
}

void AdviseOnTexts(const json& section, std::vector<Advice>& advice)
{
    const auto notification = Quietly(section, "Notification", ReadFlag);
    const auto chatbox = Quietly(section, "Chatbox", ReadFlag);
    for (const char* key : {"QuorvandelleEnabledMessage", "QuorvandelleDisabledMessage"}) {
        const json* member = FindMember(section, key);
        if (member == nullptr || !member->is_string()) continue;
        const std::string& text = member->get_ref<const std::string&>();
        const bool pattern = FormatPattern(std::string_view(text)).has_value();
        if (!pattern && notification.value_or(true)) {
            advice.push_back({PathOf(key),
                              "is not a valid message pattern (a single brace or a replacement field): the "
                              "notification shows it as written (write {{ and }} for one brace)"});
        }
        if (pattern && chatbox.value_or(false) && notification.value_or(true) &&
            (text.find("{{") != std::string::npos || text.find("}}") != std::string::npos)) {
            advice.push_back(
                {PathOf(key), "doubled braces show as one brace in the notification but as two in the chat line"});
        }
    }
}

void AdviseOnUnknownMembers(const json& section, std::vector<Advice>& advice)
{
    const std::vector<std::string> known = KnownMembers();
    for (const auto& member : section.items()) {
        if (std::find(known.begin(), known.end(), member.key()) != known.end()) continue;
        const std::string nearest = NearestKnownMember(member.key());
        advice.push_back({PathOf(member.key()),
                          nearest.empty()
                              ? std::string("unknown member; the plug-in ignores it")
                              : fmt::format("unknown member; the plug-in ignores it (did you mean \"{}\"?)", nearest)});
    }
}

} // namespace

std::string NearestKnownMember(const std::string& name)
{
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

std::vector<Advice> AdviseOnConfig(const nlohmann::json& document)
{
    std::vector<Advice> advice;
    ConfigErrors ignored;
    const json* section = FindSection(document, ignored);
    if (section == nullptr) return advice;
    AdviseOnWeekdays(*section, advice);
    AdviseOnColours(*section, advice);
    AdviseOnMultipliers(*section, advice);
    AdviseOnTexts(*section, advice);
    AdviseOnUnknownMembers(*section, advice);
    return advice;
}

} // namespace qvtool
