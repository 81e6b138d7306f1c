// Reading config.json into the settings and the kept document, all or nothing.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

std::string ConfigPath();

enum class LoadOutcome { Loaded, FileMissing };

// Reads the file at path into a document. Throws std::runtime_error naming the file and what is
// wrong with it (syntax errors with their line and column).
nlohmann::json ReadConfigDocument(const std::string& path);

// On success PluginSettings and ConfigDocument take the new values together; on any failure
// (thrown as std::runtime_error naming the file and every problem) both keep what they held.
// A missing file changes nothing and is reported through the outcome.
LoadOutcome LoadConfig();

// Start-up: a missing or bad file is logged and the initial settings stay in force.
void LoadConfigAtStartup() noexcept;
