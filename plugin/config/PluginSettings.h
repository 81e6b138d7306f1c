// The settings decoded from the config file's section, the table that says which member goes into
// which field, and the kept parsed document with the places of its values.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include <nlohmann/json.hpp>

#include "plugin/config/ConfigParser.h"
#include "plugin/config/ConfigProblem.h"
#include "plugin/config/Schedules.h"
#include "plugin/config/TypedReads.h"
#include "plugin/host/Colors.h"
#include "plugin/host/FString.h"

struct Settings {
    FString ServerName;
    bool Notification = true;
    bool Chatbox = false;
    MessageColor EnabledColor{0.0f, 1.0f, 0.0f, 1.0f};
    FString EnabledMessage;
    MessageColor DisabledColor{1.0f, 0.0f, 0.0f, 1.0f};
    FString DisabledMessage;
    bool MOTDChangeEnabled = false;
    FString WeekendMOTD;
    FString NormalMOTD;
    std::int32_t StartDay = 0;
    std::int32_t EndDay = 0;
    // Optional: a file without them behaves as if they were "00:00", no schedules, no reminders
    // and no status command.
    TimeOfDay StartTime;
    TimeOfDay EndTime;
    std::vector<Schedule> Schedules;
    std::vector<std::int32_t> Reminders; // minutes before a window opens
    FString ReminderMessage;             // empty: the default text
    std::string StatusCommand;           // empty: none
};

// One row per member of the section, in the order they are read: its key, whether a file must have
// it, and the field its value goes into. The field's type chooses the typed read.
struct SettingRow {
    const char* Key;
    bool Required;
    std::variant<FString Settings::*, bool Settings::*, MessageColor Settings::*, std::int32_t Settings::*,
                 TimeOfDay Settings::*, std::vector<Schedule> Settings::*, std::vector<std::int32_t> Settings::*,
                 std::string Settings::*>
        Field;
};
extern const std::array<SettingRow, 18> SettingsTable;

// The key the table gives a field, such as "QuorvandelleEnabledMessage" for EnabledMessage.
template <typename T>
const char* KeyOf(T Settings::*field)
{
    for (const SettingRow& row : SettingsTable) {
        if (const auto* candidate = std::get_if<T Settings::*>(&row.Field); candidate && *candidate == field) {
            return row.Key;
        }
    }
    return nullptr;
}

// "Quorvandelle.<key>": the path by which problems name a member of the section.
std::string SectionMember(const char* key);

// The section of a document, or null with a problem when the document has no usable section.
const nlohmann::json* FindSection(const nlohmann::json& document, ConfigProblems& problems);

// Every problem is added to problems; a record comes back only when there was none, so a bad file
// never yields a half-decoded record.
std::optional<Settings> DecodeSettings(const nlohmann::json& document, ConfigProblems& problems);

// Written only by LoadConfig, and then only whole.
extern Settings PluginSettings;
// Null until the first successful load; the weekend multipliers are read from it at each switch-on.
extern nlohmann::json ConfigDocument;
// Where the values of ConfigDocument's section stood in the file it was read from.
extern ConfigPlaces ConfigDocumentPlaces;

// Back to the initial settings and no document, as a freshly loaded library has them, for code that
// runs the plug-in's functions without loading and unloading the library (tests, the fuzz target).
void ResetConfigState();
