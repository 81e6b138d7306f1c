// The probable mistakes of a config. The plug-in takes every one of them as it is, and names each in
// its log at every load; the tool's check lists the same.
#pragma once

#include <bitset>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "plugin/config/Config.h"
#include "plugin/config/ConfigProblem.h"
#include "plugin/host/Clock.h"

namespace qv {

// Each rule works on the decoded values of config, and only on the settings that decoded without
// an error (decoded, by row of the settings table): errors are the decoder's to report. The
// section's text is looked at only to quote a value as written and to find unknown members. With
// now, dated windows that are already over are named too.
ConfigProblems ProbableMistakes(const Config& config, const std::bitset<kSettingCount>& decoded,
                                const nlohmann::json& section, const std::optional<LocalTime>& now);

// The known member nearest to an unknown one (case ignored, a few letters off), or empty.
std::string NearestKnownMember(const std::string& name);

} // namespace qv
