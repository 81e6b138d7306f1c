// Config files built member by member as text, so that repeated members, a byte-order mark,
// trailing text and broken syntax can be written exactly, with the values a load must yield.
#include "tests/model/Configs.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iterator>
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

// Times of day as written and in minutes after midnight.
struct Time {
    const char* text;
    int minutes;
};
const Time kTimes[] = {{"00:00", 0},    {"00:01", 1},    {"06:30", 390},  {"12:00", 720}, {"18:00", 1080},
                       {"20:00", 1200}, {"22:00", 1320}, {"23:30", 1410}, {"23:59", 1439}};
const char* const kWindowNames[] = {"Evening", "Night", "Fair", "Holiday {x}", "\xce\xa9 week", "Double XP"};
const int kLeads[] = {1, 5, 10, 12, 30, 60, 90, 600, 1440, 10080};
const char* const kReminderMessages[] = {
    "{name} in {minutes} minutes",
    "{name} starts in {time_left}",
    "Soon: {name} ({minutes} min) {{x2}}",
    "",
    "Broken {pattern} {minutes}",
    "No fields at all",
    ("\xc3\x9c"
     "ber {name}: {minutes}"),
};
const char* const kStatusCommands[] = {"/rates", "/Boost", "/r"};
const char* const kJoinMessages[] = {"{name} rates: {time_left} left", "Welcome! {name} is on", "Hi {{there}}",
                                     ("\xc3\x9c"
                                      "ber {time_left}"),
                                     ""};
const int kJoinDelays[] = {0, 1, 5, 30, 600};
// Zones of one offset all year, so that the model's clock is that offset from the instant.
struct Zone {
    const char* name;
    Wall offset;
};
const Zone kZones[] = {{"UTC", 0}, {"Asia/Kolkata", 19800}, {"Etc/GMT+5", -18000}, {"Asia/Tokyo", 32400}};

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
    std::optional<bool> warns = false;

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
    // A written 0 is the documented way to keep the game's value; false and a negative rate are not.
    for (const Member& member : draft.members) {
        for (std::size_t row = 0; row < kRows; ++row) {
            if (member.key == FieldName(row) && (draft.weekend[row] < 0.0f || member.value == "false")) warns = true;
        }
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
        everOpen = everOpen || Model::WeeklyOpen(s, (3 + weekday) * kDay); // 1970-01-04 was a Sunday
    warns = warns || !everOpen;
    // A weekly window of five days or more is probably a slip of its end: the longest run of open
    // days, across the week's end too.
    int run = 0;
    for (int day = 0; day < 14 && !warns; ++day) {
        run = Model::WeeklyOpen(s, (3 + day % 7) * kDay) ? run + 1 : 0;
        warns = run >= 5;
    }
    for (const std::string& text : {s.enabledMessage, s.disabledMessage}) {
        const bool pattern = Model::FormatPattern(text).has_value();
        warns = warns || (!pattern && s.notification) ||
                (pattern && s.notification && s.chatbox &&
                 (text.find("{{") != std::string::npos || text.find("}}") != std::string::npos));
    }
    return warns;
}

// "2026-12-24T18:00" for a wall-clock time.
std::string DateText(Wall wall)
{
    const auto leap = [](int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; };
    Wall days = wall / kDay;
    int year = 1970;
    while (days >= (leap(year) ? 366 : 365)) days -= leap(year++) ? 366 : 365;
    const int lengths[] = {31, leap(year) ? 29 : 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    int month = 0;
    while (days >= lengths[month]) days -= lengths[month++];
    const Wall second = wall % kDay;
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d", year, month + 1, static_cast<int>(days) + 1,
                  static_cast<int>(second / 3600), static_cast<int>(second / 60 % 60));
    return text;
}

// One entry of "Schedules": when it is open, and, now and then, rates and texts of its own. A
// quarter of them look exactly like the main section, so that a manual weekend is taken over
// quietly.
std::string WindowText(Rng& rng, const ConfigScope& scope, const std::string& name, bool ascii, Window& window)
{
    window.name = name;
    std::string text = "{\"Name\": " + Quote(name, ascii);
    if (rng.Percent(60)) {
        std::string days;
        for (std::uint64_t i = 0, count = 1 + rng.Below(3); i < count; ++i) {
            const int day = static_cast<int>(rng.Below(7));
            window.days = static_cast<std::uint8_t>(window.days | 1u << day);
            days += (i ? ", " : "") + std::to_string(day);
        }
        const Time& from = rng.Pick(kTimes);
        const Time& until = rng.Percent(15) ? from : rng.Pick(kTimes);
        window.from = from.minutes;
        window.until = until.minutes;
        text += ", \"Days\": [" + days + "], \"From\": \"" + from.text + "\", \"Until\": \"" + until.text + "\"";
    } else {
        const Wall lengths[] = {60 * 60, 3 * 60 * 60, kDay, 5 * kDay / 2};
        window.weekly = false;
        window.start = (scope.around / kDay + static_cast<Wall>(rng.Below(12)) - 1) * kDay +
                       static_cast<Wall>(rng.Below(48)) * 30 * 60;
        window.end = window.start + rng.Pick(lengths);
        text += ", \"From\": \"" + DateText(window.start) + "\", \"Until\": \"" + DateText(window.end) + "\"";
    }
    if (rng.Percent(25)) return text + "}";
    if (rng.Percent(50)) {
        for (std::uint64_t i = 0, count = 1 + rng.Below(3); i < count; ++i) {
            const std::size_t row = static_cast<std::size_t>(rng.Below(kRows));
            if (window.rates[row]) continue;
            const Encoded& value =
                WholeNumberRow(row) ? kWholeRows[1 + rng.Below(std::size(kWholeRows) - 1)] : rng.Pick(kFloatRows);
            window.rates[row] = static_cast<float>(value.value);
            text += ", " + Quote(FieldName(row), false) + ": " + value.text;
        }
    }
    const auto message = [&](const char* key, std::optional<std::string>& field, const char* const* texts,
                             std::size_t count) {
        if (!rng.Percent(30)) return;
        field = texts[rng.Below(count)];
        text += std::string(", \"") + key + "\": " + Quote(*field, ascii);
    };
    message("EnabledMessage", window.enabledMessage, kMessages, std::size(kMessages));
    message("DisabledMessage", window.disabledMessage, kMessages, std::size(kMessages));
    message("WeekendMOTD", window.weekendMotd, kMotds, std::size(kMotds));
    const auto color = [&](const char* key, std::optional<Color>& field) {
        if (!rng.Percent(30)) return;
        field = Color{};
        text += std::string(", \"") + key + "\": " + ColorText(rng, *field);
    };
    color("EnabledRGB", window.enabledColor);
    color("DisabledRGB", window.disabledColor);
    message("JoinMessage", window.joinMessage, kJoinMessages, std::size(kJoinMessages));
    return text + "}";
}

// The optional members, each present now and then.
void AddWindows(Rng& rng, const ConfigScope& scope, bool ascii, Draft& draft)
{
    Settings& s = draft.settings;
    if (rng.Percent(40)) {
        const Time& start = rng.Pick(kTimes);
        s.startTime = start.minutes;
        draft.Set("StartTime", std::string("\"") + start.text + "\"");
    }
    if (rng.Percent(40)) {
        const Time& end = rng.Pick(kTimes);
        s.endTime = end.minutes;
        draft.Set("EndTime", std::string("\"") + end.text + "\"");
    }
    if (rng.Percent(60)) {
        // Distinct names, in a random order.
        std::vector<const char*> names(std::begin(kWindowNames), std::end(kWindowNames));
        for (std::size_t i = names.size(); i > 1; --i) std::swap(names[i - 1], names[rng.Below(i)]);
        std::string text = "[";
        for (std::uint64_t i = 0, count = 1 + rng.Below(3); i < count; ++i) {
            s.windows.emplace_back();
            text += (i ? ", " : "") + WindowText(rng, scope, names[i], ascii, s.windows.back());
        }
        draft.Set("Schedules", text + "]");
    }
    if (rng.Percent(45)) {
        std::string text = "[";
        for (std::uint64_t i = 0, count = 1 + rng.Below(3); i < count; ++i) {
            s.reminders.push_back(rng.Pick(kLeads));
            text += (i ? ", " : "") + std::to_string(s.reminders.back());
        }
        draft.Set("Reminders", text + "]");
        if (rng.Percent(70)) {
            s.reminderMessage = rng.Pick(kReminderMessages);
            draft.Set("ReminderMessage", Quote(*s.reminderMessage, ascii));
        }
    }
    if (rng.Percent(25)) {
        s.statusCommand = rng.Pick(kStatusCommands);
        draft.Set("StatusCommand", Quote(s.statusCommand, false));
    }
    if (rng.Percent(30)) {
        const Zone& zone = rng.Pick(kZones);
        s.zoneOffset = zone.offset;
        s.zoneName = zone.name;
        draft.Set("TimeZone", std::string("\"") + zone.name + "\"");
    }
    if (rng.Percent(35)) {
        s.exactSwitching = rng.Percent(80);
        draft.Set("ExactSwitching", s.exactSwitching ? "true" : "false");
    }
    if (rng.Percent(40)) {
        s.joinMessage = rng.Pick(kJoinMessages);
        draft.Set("JoinMessage", Quote(*s.joinMessage, ascii));
    }
    if (rng.Percent(30)) {
        s.joinDelay = rng.Pick(kJoinDelays);
        draft.Set("JoinMessageDelay", std::to_string(s.joinDelay));
    }
}

Draft GoodDraft(Rng& rng, const ConfigScope& scope)
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
    draft.warns = draft.warns.value_or(false) || Warns(draft, unknownMember);
    if (scope.windows) {
        AddWindows(rng, scope, ascii, draft);
        draft.warns = std::nullopt;
    }
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

ConfigFile Good(Rng& rng, const ConfigScope& scope)
{
    const Draft draft = GoodDraft(rng, scope);
    ConfigFile file;
    file.label = "good";
    file.text = FileText(draft, rng, true);
    file.loads = true;
    file.settings = draft.settings;
    file.weekend = draft.weekend;
    file.warns = draft.warns;
    file.rows = draft.weekend;
    return file;
}

ConfigFile UnreadableWeekend(Rng& rng, const ConfigScope& scope)
{
    Draft draft = GoodDraft(rng, scope);
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
    // A missing one is named among the multipliers the section leaves out.
    file.problem = bad == nullptr ? std::string("missing the required multiplier ") + FieldName(row)
                                  : std::string("Quorvandelle.") + FieldName(row);
    file.settings = draft.settings;
    file.warns = true;
    file.rows = draft.weekend;
    file.unreadableRow = row;
    return file;
}

// A mistake in one of the optional members: the whole file is refused, naming the member.
struct WindowFault {
    const char* key;
    const char* value;
    const char* problem;
};
const WindowFault kWindowFaults[] = {
    {"StartTime", "\"24:00\"", "Quorvandelle.StartTime"},
    {"EndTime", "\"7:30\"", "Quorvandelle.EndTime"},
    {"StartTime", "1800", "Quorvandelle.StartTime"},
    {"Schedules", "{\"Name\": \"Fair\"}", "Quorvandelle.Schedules"},
    {"Schedules", "[{\"Days\": [5], \"From\": \"18:00\", \"Until\": \"20:00\"}]", "Quorvandelle.Schedules[0].Name"},
    {"Schedules", "[{\"Name\": \"\", \"Days\": [5], \"From\": \"18:00\", \"Until\": \"20:00\"}]",
     "Quorvandelle.Schedules[0].Name"},
    {"Schedules", "[{\"Name\": \"A\", \"Days\": [8], \"From\": \"18:00\", \"Until\": \"20:00\"}]",
     "Quorvandelle.Schedules[0].Days[0]"},
    {"Schedules", "[{\"Name\": \"A\", \"Days\": [1], \"From\": \"18:00\", \"Until\": \"20:00\", \"InheritRates\": 0}]",
     "Quorvandelle.Schedules[0].InheritRates"},
    {"RelativeRates", "\"yes\"", "Quorvandelle.RelativeRates"},
    {"Schedules", "[{\"Name\": \"A\", \"Days\": [], \"From\": \"18:00\", \"Until\": \"20:00\"}]",
     "Quorvandelle.Schedules[0].Days"},
    {"Schedules", "[{\"Name\": \"A\", \"Days\": [1], \"From\": \"18:00\", \"Until\": \"24:00\"}]",
     "Quorvandelle.Schedules[0].Until"},
    {"Schedules",
     "[{\"Name\": \"A\", \"Days\": [1], \"From\": \"18:00\", \"Until\": \"20:00\"}, {\"Name\": \"A\", \"From\": "
     "\"2026-12-24T18:00\", \"Until\": \"2026-12-26T00:00\"}]",
     "Quorvandelle.Schedules[1].Name"},
    {"Schedules", "[{\"Name\": \"X\", \"From\": \"2026-12-26T00:00\", \"Until\": \"2026-12-24T18:00\"}]",
     "Quorvandelle.Schedules[0].Until"},
    {"Schedules", "[{\"Name\": \"X\", \"From\": \"2026-02-30T00:00\", \"Until\": \"2026-03-02T00:00\"}]",
     "Quorvandelle.Schedules[0].From"},
    {"Schedules", "[{\"Name\": \"X\", \"From\": \"18:00\", \"Until\": \"20:00\"}]", "Quorvandelle.Schedules[0].From"},
    {"Schedules",
     "[{\"Name\": \"X\", \"Days\": [6], \"From\": \"10:00\", \"Until\": \"12:00\", \"XPMultiplier\": \"3\"}]",
     "Quorvandelle.Schedules[0].XPMultiplier"},
    {"Schedules",
     "[{\"Name\": \"X\", \"Days\": [6], \"From\": \"10:00\", \"Until\": \"12:00\", \"EnabledRGB\": [1, 0]}]",
     "Quorvandelle.Schedules[0].EnabledRGB"},
    {"Schedules", "[{\"Name\": \"X\", \"Days\": [6], \"From\": \"10:00\", \"Until\": \"12:00\", \"WeekendMOTD\": 5}]",
     "Quorvandelle.Schedules[0].WeekendMOTD"},
    {"Reminders", "[0]", "Quorvandelle.Reminders[0]"},
    {"Reminders", "[60, 10081]", "Quorvandelle.Reminders[1]"},
    {"Reminders", "60", "Quorvandelle.Reminders"},
    {"ReminderMessage", "[\"soon\"]", "Quorvandelle.ReminderMessage"},
    {"StatusCommand", "\"rates\"", "Quorvandelle.StatusCommand"},
    {"StatusCommand", "\"/QVReload\"", "Quorvandelle.StatusCommand"},
};

ConfigFile HalfValid(Rng& rng, const ConfigScope& scope)
{
    Draft draft = GoodDraft(rng, scope);
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
    if (scope.windows && rng.Percent(50)) {
        const WindowFault& fault = rng.Pick(kWindowFaults);
        draft.Set(fault.key, fault.value);
        file.label = std::string("half-valid: ") + fault.key + " = " + fault.value;
        file.problem = fault.problem;
        file.text = FileText(draft, rng, false);
        return file;
    }
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

ConfigFile Broken(Rng& rng, const ConfigScope& scope)
{
    ConfigFile file;
    file.loads = false;
    file.problem = "line";
    switch (rng.Below(5)) {
    case 0: {
        const std::string good = FileText(GoodDraft(rng, scope), rng, true);
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

ConfigFile MakeConfig(Rng& rng, ConfigKind kind, const ConfigScope& scope)
{
    switch (kind) {
    case ConfigKind::Good:
        return Good(rng, scope);
    case ConfigKind::UnreadableWeekend:
        return UnreadableWeekend(rng, scope);
    case ConfigKind::HalfValid:
        return HalfValid(rng, scope);
    case ConfigKind::Broken:
        break;
    }
    return Broken(rng, scope);
}

} // namespace model
