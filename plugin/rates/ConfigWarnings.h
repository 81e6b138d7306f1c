// The probable mistakes of a config that loads. The plug-in takes every one of them as it is, and
// names each in its log at every load; the tool's check lists the same.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

#include "plugin/config/ConfigProblem.h"

// Only members that decode without error are looked at: errors are the decoder's to report.
ConfigProblems ProbableMistakes(const nlohmann::json& document);

// What a load that succeeded has to warn about, placed in the text: every weekend value that
// cannot be read (the weekend rates cannot switch on until it is fixed), then the probable mistakes.
ConfigProblems LoadWarnings(const nlohmann::json& document, const ConfigPlaces& places);

// The known member nearest to an unknown one (case ignored, a few letters off), or empty.
std::string NearestKnownMember(const std::string& name);
