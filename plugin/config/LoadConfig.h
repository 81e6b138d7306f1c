// Reading config.json into the settings and the kept document, all or nothing, with one result.
#pragma once

#include <cstddef>
#include <string>
#include <variant>

#include <nlohmann/json.hpp>

#include "plugin/config/ConfigProblem.h"

// The host's base folder followed by "/ArkApi/Plugins/Quorvandelle/config.json".
std::string ConfigPath();

// A real config file holds a few kilobytes, one with a hundred windows a few dozen. A megabyte is far
// beyond that and still parses in tens of milliseconds within a few dozen megabytes, whatever its
// shape; four, in the worst shape (an array of small numbers), took a hundred megabytes.
inline constexpr std::size_t kMostConfigBytes = 1024 * 1024;

// A config file as read and parsed, before any of it is decoded.
struct ConfigSource {
    nlohmann::json Document;
    ConfigPlaces Places;
    // What kept the file from being read or parsed: it is missing, no regular file, cannot be
    // opened, or not JSON. Document is null then.
    ConfigProblems Problems;
};
ConfigSource ReadConfigSource(const std::string& path);

struct ConfigLoad {
    std::string File;
    // Empty when the file was taken; otherwise every problem found, each with its member and
    // place where it has them.
    ConfigProblems Errors;

    bool Loaded() const { return Errors.empty(); }
    bool FileMissing() const { return Errors.size() == 1 && Errors.front().Kind == ProblemKind::FileMissing; }
};

struct Settings;
// A check of decoded settings beyond the file itself, by code above this folder.
using SettingsCheck = void (*)(const Settings& settings, ConfigProblems& problems);

// Loaded: PluginSettings, ConfigDocument and its places took the file's values together.
// Otherwise all three keep what they held. A problem that check finds refuses the file too.
ConfigLoad LoadConfig(SettingsCheck check = nullptr);
