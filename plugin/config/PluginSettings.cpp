// The settings table, its decoding, and the library-wide settings and document. The settings hold
// their initial values without any code running; their strings are released through the game's
// allocator at teardown.
#include "plugin/config/PluginSettings.h"

#include <type_traits>

#include "plugin/config/TypedReads.h"
#include "plugin/host/LibraryObject.h"

QV_LIBRARY_OBJECT Settings PluginSettings;
QV_LIBRARY_OBJECT nlohmann::json ConfigDocument;
QV_LIBRARY_OBJECT ConfigPlaces ConfigDocumentPlaces;

const std::array<SettingRow, 12> SettingsTable = {{
    {"ServerName", &Settings::ServerName},
    {"Notification", &Settings::Notification},
    {"Chatbox", &Settings::Chatbox},
    {"QuorvandelleEnabledRGB", &Settings::EnabledColor},
    {"QuorvandelleEnabledMessage", &Settings::EnabledMessage},
    {"QuorvandelleDisabledRGB", &Settings::DisabledColor},
    {"QuorvandelleDisabledMessage", &Settings::DisabledMessage},
    {"MOTDChangeEnabled", &Settings::MOTDChangeEnabled},
    {"WeekendMOTD", &Settings::WeekendMOTD},
    {"NormalMOTD", &Settings::NormalMOTD},
    {"StartDay", &Settings::StartDay},
    {"EndDay", &Settings::EndDay},
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
                } else {
                    value = ReadInteger(member, path, problems);
                }
                if (value) settings.*field = std::move(*value);
            },
            row.Field);
    }
    if (problems.size() != problemsBefore) return std::nullopt;
    return settings;
}
