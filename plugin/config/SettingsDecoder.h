// Decoding the section "Quorvandelle" of a parsed config into a settings record.
#pragma once

#include <array>
#include <optional>

#include <nlohmann/json.hpp>

#include "plugin/config/PluginSettings.h"
#include "plugin/config/TypedReads.h"

inline constexpr const char* kSectionName = "Quorvandelle";

// The twelve members, in the order they are read.
extern const std::array<const char*, 12> SettingsKeys;

// The section of a document, or null with an error when the document has no usable section.
const nlohmann::json* FindSection(const nlohmann::json& document, ConfigErrors& errors);

// All twelve members are required. Every problem is added to errors; a record comes back only
// when there was none, so a bad file never yields a half-decoded record.
std::optional<Settings> DecodeSettings(const nlohmann::json& document, ConfigErrors& errors);
