// The config file: where it lives, reading it, and putting its values in force.
#include "plugin/config/LoadConfig.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "plugin/config/ConfigParser.h"
#include "plugin/config/PluginSettings.h"
#include "plugin/config/SettingsDecoder.h"
#include "plugin/host/ArkApi.h"
#include "plugin/lifecycle/PluginLog.h"
#include "plugin/rates/WeekendValues.h"

std::string ConfigPath() { return ArkApi::Tools::GetCurrentDir() + "/ArkApi/Plugins/Quorvandelle/config.json"; }

namespace {

// The weekend multipliers are only read when the rates switch on; a typo there would otherwise
// show hours later, so say so now.
void WarnAboutWeekendValues(const std::string& path)
{
    ConfigErrors problems;
    ReadWeekendValues(ConfigDocument, problems);
    for (const auto& problem : problems) {
        LogWarning(path + ": " + problem + "; the weekend rates cannot switch on until this is fixed");
    }
}

} // namespace

nlohmann::json ReadConfigDocument(const std::string& path)
{
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (std::filesystem::is_directory(status)) throw std::runtime_error(path + " is a folder, not a file");
    // Opening a pipe or a device would block the server's thread until something writes to it.
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        throw std::runtime_error(path + " is not a regular file");
    }
    std::ifstream input(path);
    if (!input.is_open()) throw std::runtime_error(path + " cannot be opened: " + std::strerror(errno));
    try {
        return ParseConfig(input);
    } catch (const std::exception& parseError) {
        throw std::runtime_error(path + ": " + parseError.what());
    }
}

LoadOutcome LoadConfig()
{
    const std::string path = ConfigPath();
    std::error_code error;
    if (!std::filesystem::exists(path, error)) return LoadOutcome::FileMissing;

    nlohmann::json document = ReadConfigDocument(path);
    ConfigErrors errors;
    std::optional<Settings> settings = DecodeSettings(document, errors);
    if (!settings) throw std::runtime_error(path + ": " + JoinErrors(errors));

    PluginSettings = std::move(*settings);
    ConfigDocument = std::move(document);
    WarnAboutWeekendValues(path);
    return LoadOutcome::Loaded;
}

void LoadConfigAtStartup() noexcept
{
    try {
        if (LoadConfig() == LoadOutcome::FileMissing) {
            LogWarning(ConfigPath() + " not found; running with the initial settings");
        } else {
            LogInfo("Loaded " + ConfigPath());
        }
    } catch (const std::exception& failure) {
        LogError(std::string("Config not loaded, running with the initial settings: ") + failure.what());
    } catch (...) {
        LogError("Config not loaded, running with the initial settings: unknown error");
    }
}
