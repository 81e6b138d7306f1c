// The probable mistakes of a config that loads. The plug-in takes every one of them as it is, and
// names each in its log at every load; the tool's check lists the same.
#pragma once

#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "plugin/config/ConfigProblem.h"
#include "plugin/host/Clock.h"

// Only members that decode without error are looked at: errors are the decoder's to report. With
// now, dated windows that are already over are named too.
ConfigProblems ProbableMistakes(const nlohmann::json& document, const std::optional<LocalTime>& now = std::nullopt);

// What a load that succeeded has to warn about, placed in the text: every weekend value that
// cannot be read (the weekend rates cannot switch on until it is fixed), then the probable mistakes.
ConfigProblems LoadWarnings(const nlohmann::json& document, const ConfigPlaces& places,
                            const std::optional<LocalTime>& now);

// The known member nearest to an unknown one (case ignored, a few letters off), or empty.
std::string NearestKnownMember(const std::string& name);
