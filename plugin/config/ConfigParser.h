// Parsing config text into a document: a leading byte-order mark is skipped, only the first JSON
// value is read (whatever follows is ignored), and a repeated member keeps its first occurrence.
// The parse also notes where each value of the section starts, so that a problem found later
// in a value can name its line and column.
#pragma once

#include <optional>
#include <string_view>

#include <nlohmann/json.hpp>

#include "plugin/config/ConfigProblem.h"

namespace qv {

// The one member of the top level that the plug-in reads.
inline constexpr const char* kSectionName = "Quorvandelle";

struct ParsedConfig {
    nlohmann::json Document; // null when the text is not JSON
    ConfigPlaces Places;     // the top level "" and the values of the section
    std::optional<ConfigProblem> Error;
};

ParsedConfig ParseConfig(std::string_view text);

} // namespace qv
