// Warnings about a config that loads but is probably a mistake. The plug-in accepts all of
// these; they are this tool's advice on top of the plug-in's own decoding.
#pragma once

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace qvtool {

struct Advice {
    std::string path; // "Quorvandelle.StartDay"
    std::string message;
};

// Only members that decode without error are looked at: errors are the decoder's to report.
std::vector<Advice> AdviseOnConfig(const nlohmann::json& document);

// The known member nearest to an unknown one (case ignored, a few letters off), or empty.
std::string NearestKnownMember(const std::string& name);

} // namespace qvtool
