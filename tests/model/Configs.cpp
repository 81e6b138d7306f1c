// Config files built member by member as text, so that repeated members, a byte-order mark,
// trailing text and broken syntax can be written exactly, with the values a load must yield.
#include "tests/model/Configs.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

namespace model {

namespace {

using json = nlohmann::json;

struct Member {
    std::string key;
    std::string value; // JSON text
};

// A value as written in the file and what it reads as.
struct Encoded {
    const char* text;
    double value;
};

const char* const kMessages[] = {
    "Weekend rates on",
    "",
    "Rates {{x2}} now",
    "Broken {pattern}",
    "Lone } brace",
    "Ünïcödé Ωμέγα 週末",
    "Party \xF0\x9F\x8E\x89 time",
    "tab\tand \"quotes\"",
    "Weekend rates off",
};
const char* const kNames[] = {"Test Server", "Ωmega Server", "", "Server {x}", "S"};
const char* const kMotds[] = {"It is the weekend", "A normal day", "", "MOTD \xE2\x9C\x93", "{{braces}} kept"};
// Colour components: any number, unclamped; true and false are 1 and 0.
const Encoded kComponents[] = {{"0", 0},     {"1", 1},   {"0.5", 0.5}, {"0.25", 0.25}, {"0.1", 0.1},
                               {"255", 255}, {"-1", -1}, {"true", 1},  {"false", 0},   {"0.333333", 0.333333}};
// Weekdays: fractions cut toward zero, integers taken as their low 32 bits.
const Encoded kDays[] = {{"0", 0},
                         {"1", 1},
                         {"2", 2},
                         {"3", 3},
                         {"4", 4},
                         {"5", 5},
                         {"6", 6},
                         {"7", 7},
                         {"-1", -1},
                         {"5.7", 5},
                         {"true", 1},
                         {"-0.5", 0},
                         {"4294967301", 5},
                         {"2147483647", 2147483647.0},
                         {"-2147483648", -2147483648.0}};
// Windows that open on several days, so that a sequence sees many switches.
const std::pair<int, int> kWindows[] = {{5, 1}, {1, 0}, {0, 6}, {6, 1}, {3, 3}, {1, 5}, {2, 4}, {4, 2}};
const Encoded kFloatRows[] = {{"0", 0},     {"false", 0}, {"true", 1}, {"1", 1},     {"2", 2},        {"3", 3},
                              {"0.5", 0.5}, {"1.5", 1.5}, {"-1", -1},  {"100", 100}, {"0.001", 0.001}};
// The two whole-number rows; text null means the member is left out (it then reads as 0).
const Encoded kWholeRows[] = {{nullptr, 0}, {"0", 0},   {"1", 1},     {"2", 2},    {"3", 3},
                              {"1.5", 1},   {"0.5", 0}, {"-1.5", -1}, {"true", 1}, {"4294967298", 2}};

std::string Quote(const std::string& text, bool ascii) { return json(text).dump(-1, ' ', ascii); }

std::string ColorText(Rng& rng, Color& color)
{
    float* parts[] = {&color.R, &color.G, &color.B, &color.A};
    std::string text = "[";
    for (int i = 0; i < 4; ++i) {
        const Encoded& component = rng.Pick(kComponents);
        *parts[i] = static_cast<float>(component.value);
        text += (i ? ", " : "") + std::string(component.text);
    }
    // Elements after the fourth are ignored.
    if (rng.Percent(10)) text += ", 7";
    return text + "]";
}

std::string DayText(Rng& rng, int wanted, std::int32_t& day)
{
    if (rng.Percent(80)) {
        day = wanted;
        return std::to_string(wanted);
    }
    const Encoded& encoded = rng.Pick(kDays);
    day = static_cast<std::int32_t>(encoded.value);
    return encoded.text;
}

struct Draft {
    std::vector<Member> members;
    Settings settings;
    Values weekend{};
    bool warns = false;

    void Set(const std::string& key, const std::string& value)
    {
        for (auto& member : members) {
            if (member.key == key) {
                member.value = value;
                return;
            }
        }
        members.push_back({key, value});
    }
    void Remove(const std::string& key)
    {
        for (auto it = members.begin(); it != members.end(); ++it) {
            if (it->key == key) {
                members.erase(it);
                return;
            }
        }
    }
};

bool IsWeekday(const std::string& text)
{
    const double day = text == "true" ? 1 : std::strtod(text.c_str(), nullptr);
    return day == std::trunc(day) && day >= 0 && day <= 6;
}

// What the plug-in names as probable mistakes of a file that loads, worked out from the values chosen.
bool Warns(const Draft& draft, bool unknownMember)
{
    const Settings& s = draft.settings;
    bool warns = unknownMember;
    for (std::size_t row = 0; row < kRows; ++row) {
        const bool present = std::any_of(draft.members.begin(), draft.members.end(),
                                         [&](const Member& member) { return member.key == FieldName(row); });
        if (present && draft.weekend[row] <= 0.0f) warns = true;
    }
    for (const Color& color : {s.enabledColor, s.disabledColor}) {
        for (const float component : {color.R, color.G, color.B, color.A})
            warns = warns || component > 1 || component < 0;
    }
    for (const char* key : {"StartDay", "EndDay"}) {
        for (const Member& member : draft.members) warns = warns || (member.key == key && !IsWeekday(member.value));
    }
    bool everOpen = false;
    for (int weekday = 0; weekday < 7; ++weekday)
        everOpen = everOpen || Model::WindowOpen(s.startDay, s.endDay, weekday);
    warns = warns || !everOpen;
    for (const std::string& text : {s.enabledMessage, s.disabledMessage}) {
        const bool pattern = Model::FormatPattern(text).has_value();
        warns = warns || (!pattern && s.notification) ||
                (pattern && s.notification && s.chatbox &&
                 (text.find("{{") != std::string::npos || text.find("}}") != std::string::npos));
    }
    return warns;
}

Draft GoodDraft(Rng& rng)
{
    Draft draft;
    Settings& s = draft.settings;
    const bool ascii = rng.Percent(20);
    s.serverName = rng.Pick(kNames);
    s.notification = rng.Percent(70);
    s.chatbox = rng.Percent(60);
    s.enabledMessage = rng.Pick(kMessages);
    s.disabledMessage = rng.Pick(kMessages);
    s.motdEnabled = rng.Percent(70);
    s.weekendMotd = rng.Pick(kMotds);
    s.normalMotd = rng.Pick(kMotds);
    const auto& window = rng.Pick(kWindows);

    draft.Set("ServerName", Quote(s.serverName, ascii));
    draft.Set("Notification", s.notification ? "true" : "false");
    draft.Set("Chatbox", s.chatbox ? "true" : "false");
    draft.Set("QuorvandelleEnabledRGB", ColorText(rng, s.enabledColor));
    draft.Set("QuorvandelleEnabledMessage", Quote(s.enabledMessage, ascii));
    draft.Set("QuorvandelleDisabledRGB", ColorText(rng, s.disabledColor));
    draft.Set("QuorvandelleDisabledMessage", Quote(s.disabledMessage, ascii));
    draft.Set("MOTDChangeEnabled", s.motdEnabled ? "true" : "false");
    draft.Set("WeekendMOTD", Quote(s.weekendMotd, ascii));
    draft.Set("NormalMOTD", Quote(s.normalMotd, ascii));
    draft.Set("StartDay", DayText(rng, window.first, s.startDay));
    draft.Set("EndDay", DayText(rng, window.second, s.endDay));
    for (std::size_t row = 0; row < kRows; ++row) {
        if (!WholeNumberRow(row)) {
            const Encoded& value = rng.Pick(kFloatRows);
            draft.weekend[row] = static_cast<float>(value.value);
            draft.Set(FieldName(row), value.text);
        } else {
            const Encoded& value = rng.Pick(kWholeRows);
            draft.weekend[row] = static_cast<float>(value.value);
            if (value.text != nullptr) draft.Set(FieldName(row), value.text);
            // A fraction or a number beyond 32 bits that the whole-number read cuts.
            const std::string text = value.text != nullptr ? value.text : "";
            if (text != "" && text != "true" && std::strtod(text.c_str(), nullptr) != value.value) draft.warns = true;
        }
    }
    const bool unknownMember = rng.Percent(15);
    if (unknownMember) draft.Set("SomethingElse", "{\"ignored\": [1, 2, 3]}");
    draft.warns = Warns(draft, unknownMember);
    // Member order plays no part; the loaded values must not depend on it.
    if (rng.Percent(30)) {
        for (std::size_t i = draft.members.size(); i > 1; --i) {
            std::swap(draft.members[i - 1], draft.members[rng.Below(i)]);
        }
    }
    return draft;
}

std::string SectionText(const std::vector<Member>& members)
{
    std::string text = "{\n";
    for (std::size_t i = 0; i < members.size(); ++i) {
        text +=
            "    " + Quote(members[i].key, false) + ": " + members[i].value + (i + 1 < members.size() ? ",\n" : "\n");
    }
    return text + "  }";
}

std::string FileText(const Draft& draft, Rng& rng, bool decorate)
{
    std::vector<Member> members = draft.members;
    if (decorate && rng.Percent(15)) {
        // A repeated member: the first occurrence is the one kept.
        const Member& first = members[rng.Below(members.size())];
        members.push_back({first.key, first.key == "ServerName" ? "\"second\"" : "\"ignored\""});
    }
    std::string text;
    if (decorate && rng.Percent(10)) text += "\xEF\xBB\xBF";
    text += "{\n";
    if (decorate && rng.Percent(10)) text += "  \"Other\": {\"Quorvandelle\": 1},\n";
    text += "  \"Quorvandelle\": " + SectionText(members) + "\n}\n";
    if (decorate && rng.Percent(10)) text += "trailing text that is never read {";
    return text;
}

ConfigFile Good(Rng& rng)
{
    const Draft draft = GoodDraft(rng);
    ConfigFile file;
    file.label = "good";
    file.text = FileText(draft, rng, true);
    file.loads = true;
    file.settings = draft.settings;
    file.weekend = draft.weekend;
    file.warns = draft.warns;
    return file;
}

ConfigFile UnreadableWeekend(Rng& rng)
{
    Draft draft = GoodDraft(rng);
    const std::size_t row = rng.Below(kRows);
    const char* const required[] = {nullptr, "\"2\"", "null", "[2]", "{\"v\": 1}"};
    const char* const optional[] = {"\"2\"", "null", "[1]"};
    const char* bad = WholeNumberRow(row) ? rng.Pick(optional) : rng.Pick(required);
    if (bad == nullptr) {
        draft.Remove(FieldName(row));
    } else {
        draft.Set(FieldName(row), bad);
    }
    ConfigFile file;
    file.label = std::string("weekend value ") + FieldName(row) + " = " + (bad ? bad : "missing");
    file.text = FileText(draft, rng, true);
    file.loads = true;
    file.problem = std::string("Quorvandelle.") + FieldName(row);
    file.settings = draft.settings;
    file.warns = true;
    return file;
}

ConfigFile HalfValid(Rng& rng)
{
    Draft draft = GoodDraft(rng);
    struct Fault {
        const char* key;
        const char* value; // null: the member is left out
    };
    const Fault faults[] = {
        {"Notification", "1"},
        {"Chatbox", "\"true\""},
        {"StartDay", "\"5\""},
        {"EndDay", "null"},
        {"StartDay", "1e19"},
        {"QuorvandelleEnabledRGB", "[0, 1, 0]"},
        {"QuorvandelleDisabledRGB", "\"red\""},
        {"QuorvandelleEnabledRGB", "[0, 1, \"x\", 1]"},
        {"ServerName", nullptr},
        {"WeekendMOTD", "5"},
        {"MOTDChangeEnabled", nullptr},
        {"NormalMOTD", "[\"text\"]"},
    };
    ConfigFile file;
    file.loads = false;
    if (rng.Percent(85)) {
        const Fault& fault = rng.Pick(faults);
        if (fault.value == nullptr) {
            draft.Remove(fault.key);
        } else {
            draft.Set(fault.key, fault.value);
        }
        file.label = std::string("half-valid: ") + fault.key + " = " + (fault.value ? fault.value : "missing");
        file.problem = std::string("Quorvandelle.") + fault.key;
        file.text = FileText(draft, rng, false);
        return file;
    }
    // The whole section or document has the wrong shape.
    switch (rng.Below(3)) {
    case 0:
        file.label = "half-valid: no section";
        file.text = "{\"quorvandelle\": " + SectionText(draft.members) + "}";
        file.problem = "Quorvandelle";
        break;
    case 1:
        file.label = "half-valid: section is an array";
        file.text = "{\"Quorvandelle\": [1, 2]}";
        file.problem = "Quorvandelle";
        break;
    default:
        file.label = "half-valid: top level is an array";
        file.text = "[" + SectionText(draft.members) + "]";
        file.problem = "top level";
        break;
    }
    return file;
}

ConfigFile Broken(Rng& rng)
{
    ConfigFile file;
    file.loads = false;
    file.problem = "line";
    switch (rng.Below(5)) {
    case 0: {
        const std::string good = FileText(GoodDraft(rng), rng, true);
        // Cut before the closing brace, so the object never ends.
        const std::size_t end = good.rfind('}');
        file.text = good.substr(0, rng.Below(end));
        file.label = "broken: cut after " + std::to_string(file.text.size()) + " bytes";
        break;
    }
    case 1:
        file.label = "broken: empty";
        break;
    case 2:
        file.label = "broken: ill-formed UTF-8 in a text";
        file.text = "{\"Quorvandelle\": {\"ServerName\": \"bad \xC3\x28 byte\"}}";
        break;
    case 3:
        file.label = "broken: trailing comma";
        file.text = "{\"Quorvandelle\": {\"StartDay\": 5,}}";
        break;
    default:
        file.label = "broken: number overflow";
        file.text = "{\"Quorvandelle\": {\"StartDay\": 1e400}}";
        file.problem = "1e400";
        break;
    }
    return file;
}

} // namespace

ConfigFile MakeConfig(Rng& rng, ConfigKind kind)
{
    switch (kind) {
    case ConfigKind::Good:
        return Good(rng);
    case ConfigKind::UnreadableWeekend:
        return UnreadableWeekend(rng);
    case ConfigKind::HalfValid:
        return HalfValid(rng);
    case ConfigKind::Broken:
        break;
    }
    return Broken(rng);
}

} // namespace model
