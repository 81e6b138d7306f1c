// The plug-in server fixture.
#include "tests/support/PluginServer.h"

#include <fstream>
#include <random>
#include <regex>
#include <stdexcept>

namespace testing_support {

std::string WithoutPlaces(const std::string& message)
{
    return std::regex_replace(message, std::regex(" at line [0-9]+, column [0-9]+"), "");
}

nlohmann::json ValidConfig()
{
    return nlohmann::json::parse(R"({
      "Quorvandelle": {
        "ServerName": "Test Server",
        "Notification": true,
        "Chatbox": true,
        "QuorvandelleEnabledRGB": [0, 1, 0, 1],
        "QuorvandelleEnabledMessage": "Weekend rates on",
        "QuorvandelleDisabledRGB": [1, 0, 0, 1],
        "QuorvandelleDisabledMessage": "Weekend rates off",
        "MOTDChangeEnabled": true,
        "WeekendMOTD": "It is the weekend",
        "NormalMOTD": "A normal day",
        "StartDay": 5,
        "EndDay": 1,
        "XPMultiplier": 2,
        "TamingSpeedMultiplier": 3,
        "HarvestAmountMultiplier": 4,
        "HarvestHealthMultiplier": 5,
        "CraftXPMultiplier": 6,
        "FishingLootQualityMultiplier": 7,
        "BabyMatureSpeedMultiplier": 8,
        "MateBoostEffectMultiplier": 9,
        "MatingIntervalMultiplier": 0.5,
        "MatingSpeedMultiplier": 10,
        "EggHatchSpeedMultiplier": 11,
        "LayEggIntervalMultiplier": 0.25,
        "ResourcesRespawnPeriodMultiplier": 0.75,
        "SupplyCrateLootQualityMultiplier": 12,
        "StructureResistanceMultiplier": 2,
        "StructureDamageMultiplier": 3
      }
    })");
}

TempDirectory::TempDirectory()
{
    std::random_device random;
    const auto root = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        auto candidate = root / ("quorvandelle-test-" + std::to_string(random()));
        if (std::filesystem::create_directory(candidate)) {
            path_ = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder in " + root.string());
}

TempDirectory::~TempDirectory()
{
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

PluginServer::PluginServer(int year, int month, int day)
{
    standin::ServerOptions options;
    options.baseDirectory = base_.Path();
    options.echoLogToConsole = false;
    server_ = std::make_unique<standin::Server>(options);
    server_->SetLocalTime(year, month, day);
    std::filesystem::create_directories(server_->PluginDirectory("Quorvandelle"));
}

PluginServer::~PluginServer() { server_.reset(); }

std::filesystem::path PluginServer::ConfigFile() const
{
    return server_->PluginDirectory("Quorvandelle") / "config.json";
}

std::string PluginServer::PluginConfigPath() const
{
    return ArkApi::Tools::GetCurrentDir() + "/ArkApi/Plugins/Quorvandelle/config.json";
}

void PluginServer::WriteConfig(const nlohmann::json& config) const { WriteConfigText(config.dump(2)); }

void PluginServer::WriteConfigText(std::string_view text) const
{
    std::ofstream out(ConfigFile(), std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    if (!out) throw std::runtime_error("cannot write " + ConfigFile().string());
}

void PluginServer::RemoveConfig() const { std::filesystem::remove(ConfigFile()); }

void PluginServer::Load() { server_->LoadPlugin(standin::Server::LibraryBesideExecutable("Quorvandelle")); }

void PluginServer::Unload() { server_->UnloadPlugin(); }

standin::PlayerId PluginServer::Join(const std::string& name, bool admin)
{
    standin::PlayerProfile profile;
    profile.name = name;
    profile.admin = admin;
    return server_->JoinPlayer(profile);
}

standin::Inbox PluginServer::Toggle(standin::PlayerId admin)
{
    server_->ClearInboxes();
    server_->Chat(admin, "/ToggleQuorvandelle");
    return server_->InboxOf(admin);
}

void PluginServer::RunToFirstEvaluation() { server_->RunTimer(31); }

void PluginServer::RunToNextEvaluation() { server_->RunTimer(601); }

void PluginServer::SetDate(int year, int month, int day) { server_->SetLocalTime(year, month, day); }

bool PluginServer::LogContains(std::string_view text) const
{
    for (const auto& record : server_->LogRecords()) {
        if (record.level >= standin::LogLevel::Warning && record.message.find(text) != std::string::npos) return true;
    }
    return false;
}

std::vector<standin::LogRecord> PluginServer::PluginLogRecords() const
{
    std::vector<standin::LogRecord> records;
    for (auto& record : server_->LogRecords()) {
        if (record.logger == "Quorvandelle") records.push_back(std::move(record));
    }
    return records;
}

std::vector<std::string> PluginServer::PluginLogMessages(standin::LogLevel level) const
{
    std::vector<std::string> messages;
    for (auto& record : PluginLogRecords()) {
        if (record.level == level) messages.push_back(std::move(record.message));
    }
    return messages;
}

} // namespace testing_support
