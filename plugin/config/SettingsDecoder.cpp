// The twelve settings, each with its typed read.
#include "plugin/config/SettingsDecoder.h"

#include <string>

const std::array<const char*, 12> SettingsKeys = {
    "ServerName",
    "Notification",
    "Chatbox",
    "QuorvandelleEnabledRGB",
    "QuorvandelleEnabledMessage",
    "QuorvandelleDisabledRGB",
    "QuorvandelleDisabledMessage",
    "MOTDChangeEnabled",
    "WeekendMOTD",
    "NormalMOTD",
    "StartDay",
    "EndDay",
};

const nlohmann::json* FindSection(const nlohmann::json& document, ConfigErrors& errors)
{
    if (!document.is_object()) {
        errors.push_back(std::string("the top level: expected an object, found ") + document.type_name());
        return nullptr;
    }
    const nlohmann::json* section = FindMember(document, kSectionName);
    if (section == nullptr) {
        errors.push_back(std::string(kSectionName) + ": missing (expected an object)");
        return nullptr;
    }
    if (!section->is_object()) {
        errors.push_back(std::string(kSectionName) + ": expected an object, found " + section->type_name());
        return nullptr;
    }
    return section;
}

std::optional<Settings> DecodeSettings(const nlohmann::json& document, ConfigErrors& errors)
{
    const std::size_t errorsBefore = errors.size();
    const nlohmann::json* section = FindSection(document, errors);
    if (section == nullptr) return std::nullopt;

    const auto member = [&](const char* key) { return FindMember(*section, key); };
    const auto path = [](const char* key) { return std::string(kSectionName) + "." + key; };

    Settings settings;
    const auto assign = [](auto& field, auto&& value) {
        if (value) field = std::move(*value);
    };
    assign(settings.ServerName, ReadText(member("ServerName"), path("ServerName"), errors));
    assign(settings.Notification, ReadFlag(member("Notification"), path("Notification"), errors));
    assign(settings.Chatbox, ReadFlag(member("Chatbox"), path("Chatbox"), errors));
    assign(settings.EnabledColor, ReadColor(member("QuorvandelleEnabledRGB"), path("QuorvandelleEnabledRGB"), errors));
    assign(settings.EnabledMessage,
           ReadText(member("QuorvandelleEnabledMessage"), path("QuorvandelleEnabledMessage"), errors));
    assign(settings.DisabledColor,
           ReadColor(member("QuorvandelleDisabledRGB"), path("QuorvandelleDisabledRGB"), errors));
    assign(settings.DisabledMessage,
           ReadText(member("QuorvandelleDisabledMessage"), path("QuorvandelleDisabledMessage"), errors));
    assign(settings.MOTDChangeEnabled, ReadFlag(member("MOTDChangeEnabled"), path("MOTDChangeEnabled"), errors));
    assign(settings.WeekendMOTD, ReadText(member("WeekendMOTD"), path("WeekendMOTD"), errors));
    assign(settings.NormalMOTD, ReadText(member("NormalMOTD"), path("NormalMOTD"), errors));
    assign(settings.StartDay, ReadInteger(member("StartDay"), path("StartDay"), errors));
    assign(settings.EndDay, ReadInteger(member("EndDay"), path("EndDay"), errors));

    if (errors.size() != errorsBefore) return std::nullopt;
    return settings;
}
