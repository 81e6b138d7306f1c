// Test support: the stand-in server with the real plug-in library loaded, a base directory of its
// own, and the config file written from a test. Most plug-in tests start from here.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "standin/server/Server.h"

namespace testing_support {

// A complete, valid config: a Friday-to-Monday window, every multiplier set, both messages on.
nlohmann::json ValidConfig();

// A config error message without the places it names (" at line L, column C"), for checks of what
// an error says rather than where.
std::string WithoutPlaces(const std::string& message);

// A fresh temporary folder, removed with the object.
class TempDirectory {
public:
    TempDirectory();
    ~TempDirectory();
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

class PluginServer {
public:
    // The server starts on the given local date (noon) with the plug-in not yet loaded.
    explicit PluginServer(int year = 2026, int month = 12, int day = 9);
    ~PluginServer();

    standin::Server& server() { return *server_; }
    standin::Server* operator->() { return server_.get(); }

    std::filesystem::path ConfigFile() const;
    // The config file's path as the plug-in builds it and names it in its messages: the host's
    // base directory followed by "/ArkApi/Plugins/Quorvandelle/config.json".
    std::string PluginConfigPath() const;
    void WriteConfig(const nlohmann::json& config) const;
    void WriteConfigText(std::string_view text) const;
    void RemoveConfig() const;

    void Load();
    void Unload();

    standin::PlayerId Join(const std::string& name, bool admin = false);
    // Empties every inbox, then the administrator types "/ToggleQuorvandelle": the weekend rates
    // switch by hand. Returns what that player received.
    standin::Inbox Toggle(standin::PlayerId admin);
    // Timer calls until the first evaluation has run (the 31st counted call after load).
    void RunToFirstEvaluation();
    // Timer calls until the next evaluation after one has run (601 counted calls).
    void RunToNextEvaluation();
    // Sets the simulated local date (noon); the next evaluation sees that day.
    void SetDate(int year, int month, int day);

    // Log records at warning level or above whose message contains text.
    bool LogContains(std::string_view text) const;
    // The records of the plug-in's own logger ("Quorvandelle"), in order.
    std::vector<standin::LogRecord> PluginLogRecords() const;
    // Messages of the plug-in's records at exactly the given level, in order.
    std::vector<std::string> PluginLogMessages(standin::LogLevel level) const;

private:
    TempDirectory base_;
    std::unique_ptr<standin::Server> server_;
};

} // namespace testing_support
