// The settings table, its decoding, and the library-wide settings and document. The settings hold
// their initial values without any code running; their strings are released through the game's
// allocator at teardown.
#include "plugin/config/PluginSettings.h"

#include <type_traits>

#include "plugin/host/LibraryObject.h"

QV_LIBRARY_OBJECT Settings PluginSettings;
QV_LIBRARY_OBJECT nlohmann::json ConfigDocument;
QV_LIBRARY_OBJECT ConfigPlaces ConfigDocumentPlaces;

const std::array<SettingRow, 18> SettingsTable = {{
    {"ServerName", true, &Settings::ServerName},
    {"Notification", true, &Settings::Notification},
    {"Chatbox", true, &Settings::Chatbox},
    {"QuorvandelleEnabledRGB", true, &Settings::EnabledColor},
    {"QuorvandelleEnabledMessage", true, &Settings::EnabledMessage},
    {"QuorvandelleDisabledRGB", true, &Settings::DisabledColor},
    {"QuorvandelleDisabledMessage", true, &Settings::DisabledMessage},
    {"MOTDChangeEnabled", true, &Settings::MOTDChangeEnabled},
    {"WeekendMOTD", true, &Settings::WeekendMOTD},
    {"NormalMOTD", true, &Settings::NormalMOTD},
    {"StartDay", true, &Settings::StartDay},
    {"EndDay", true, &Settings::EndDay},
    {"StartTime", false, &Settings::StartTime},
    {"EndTime", false, &Settings::EndTime},
    {"Schedules", false, &Settings::Schedules},
    {"Reminders", false, &Settings::Reminders},
    {"ReminderMessage", false, &Settings::ReminderMessage},
    {"StatusCommand", false, &Settings::StatusCommand},
}};

void ResetConfigState()
{
    PluginSettings = Settings{};
    ConfigDocument = nullptr;
    ConfigDocumentPlaces.clear();
}

std::string SectionMember(const char* key) { return std::string(kSectionName) + "." + key; }

const nlohmann::json* FindSection(const nlohmann::json& document, ConfigProblems& problems)
{
    if (!document.is_object()) {
        problems.push_back(
            {ProblemKind::Member, "", std::string("expected an object, found ") + document.type_name(), {}});
        return nullptr;
    }
    const nlohmann::json* section = FindMember(document, kSectionName);
    if (section == nullptr) {
        problems.push_back({ProblemKind::Member, kSectionName, "missing (expected an object)", {}});
        return nullptr;
    }
    if (!section->is_object()) {
        problems.push_back(
            {ProblemKind::Member, kSectionName, std::string("expected an object, found ") + section->type_name(), {}});
        return nullptr;
    }
    return section;
}

std::optional<Settings> DecodeSettings(const nlohmann::json& document, ConfigProblems& problems)
{
    const std::size_t problemsBefore = problems.size();
    const nlohmann::json* section = FindSection(document, problems);
    if (section == nullptr) return std::nullopt;

    Settings settings;
    for (const SettingRow& row : SettingsTable) {
        const nlohmann::json* member = FindMember(*section, row.Key);
        if (member == nullptr && !row.Required) continue;
        const std::string path = SectionMember(row.Key);
        std::visit(
            [&](auto field) {
                using Value = std::remove_reference_t<decltype(settings.*field)>;
                std::optional<Value> value;
                if constexpr (std::is_same_v<Value, FString>) {
                    value = ReadText(member, path, problems);
                } else if constexpr (std::is_same_v<Value, bool>) {
                    value = ReadFlag(member, path, problems);
                } else if constexpr (std::is_same_v<Value, MessageColor>) {
                    value = ReadColor(member, path, problems);
                } else if constexpr (std::is_same_v<Value, std::int32_t>) {
                    value = ReadInteger(member, path, problems);
                } else if constexpr (std::is_same_v<Value, TimeOfDay>) {
                    value = ReadTimeOfDay(member, path, problems);
                } else if constexpr (std::is_same_v<Value, std::vector<Schedule>>) {
                    value = ReadSchedules(member, path, problems);
                } else if constexpr (std::is_same_v<Value, std::vector<std::int32_t>>) {
                    value = ReadReminders(member, path, problems);
                } else {
                    value = ReadCommandName(member, path, problems);
                }
                if (value) settings.*field = std::move(*value);
            },
            row.Field);
    }
    if (problems.size() != problemsBefore) return std::nullopt;
    return settings;
}
