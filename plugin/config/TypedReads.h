// The typed reads of config values. Each names what it expected and what it found, by the
// member's path, and adds that to problems instead of giving up, so that a check can list every
// problem of a file at once.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "plugin/config/ConfigProblem.h"
#include "plugin/host/Colors.h"
#include "plugin/host/FString.h"

// member is null when the member is absent.
std::optional<FString> ReadText(const nlohmann::json* member, const std::string& path, ConfigProblems& problems);
std::optional<bool> ReadFlag(const nlohmann::json* member, const std::string& path, ConfigProblems& problems);
// Any number or true/false, unclamped; a magnitude beyond float range becomes infinity.
std::optional<float> ReadFloat(const nlohmann::json* member, const std::string& path, ConfigProblems& problems);
// Any number or true/false; a fraction is cut toward zero, an integer keeps its low 32 bits.
std::optional<std::int32_t> ReadInteger(const nlohmann::json* member, const std::string& path,
                                        ConfigProblems& problems);
// An array of at least four numbers: R, G, B, A; further elements are ignored.
std::optional<MessageColor> ReadColor(const nlohmann::json* member, const std::string& path, ConfigProblems& problems);

// The member of object, or null when object is not an object or has no such member.
const nlohmann::json* FindMember(const nlohmann::json& object, const char* name);
