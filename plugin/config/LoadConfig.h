// Reading config.json: the file's place, its bounded read and its decoding, with one result. Nothing
// here changes what is in force; the reload commits a config that loads.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "plugin/config/DecodeConfig.h"
#include "plugin/host/Clock.h"

namespace qv {

// The host's base folder followed by "/ArkApi/Plugins/Quorvandelle/config.json".
std::string ConfigPath();

// A real config file holds a few kilobytes, one with a hundred windows a few dozen. A megabyte is far
// beyond that and still parses in tens of milliseconds within a few dozen megabytes, whatever its
// shape; four, in the worst shape (an array of small numbers), took a hundred megabytes.
inline constexpr std::size_t kMostConfigBytes = 1024 * 1024;

struct ConfigLoad {
    std::string File;
    // What the file gives. When it cannot be read (missing, no regular file, too large), its one
    // error says so and names no member.
    DecodedConfig Decoded;

    bool Loaded() const { return Decoded.Loads(); }
    bool FileMissing() const
    {
        return Decoded.Errors.size() == 1 && Decoded.Errors.front().Kind == ProblemKind::FileMissing;
    }
};

// The config file at path, read within kMostConfigBytes and decoded (DecodeConfig).
ConfigLoad ReadConfigFile(const std::string& path, const std::optional<LocalTime>& now);
// The same for the plug-in's own file, ConfigPath().
ConfigLoad LoadConfig(const std::optional<LocalTime>& now);

} // namespace qv
