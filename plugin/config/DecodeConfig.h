// From the text of a config file to the config it gives, in one pure step: every error that refuses
// the file, the main section's values that cannot be read, and the probable mistakes, each placed.
#pragma once

#include <optional>
#include <string_view>

#include "plugin/config/Config.h"
#include "plugin/config/ConfigProblem.h"

namespace qv {

struct DecodedConfig {
    // The config, when the file is taken: no error.
    std::optional<Config> Value;
    // Why the file is refused: it is no JSON, or a setting is missing, mistyped or not allowed.
    ConfigProblems Errors;
    // The main section's weekend values that cannot be read. The file is taken all the same; the
    // windows that use such a value cannot switch on, and say so when they would.
    ConfigProblems RateProblems;
    // Probable mistakes, found in a file that is taken and in one that is refused alike; the near
    // misses of known members first.
    ConfigProblems Warnings;

    bool Loads() const { return Errors.empty(); }
};

// now, when known, names the dated windows that are over already and the changes of the clocks of
// the coming year that a window meets. Nothing here throws but the
// standard library's bad_alloc.
DecodedConfig DecodeConfig(std::string_view text, std::optional<Instant> now);

// What a file that is taken warns about, in the order the log names it: the near misses of known
// members, each weekend value that cannot be read, then the other probable mistakes.
ConfigProblems LoadWarnings(const DecodedConfig& decoded);

} // namespace qv
