// Reading the sixteen weekend values from the kept config document.
#pragma once

#include <array>
#include <optional>

#include <nlohmann/json.hpp>

#include "plugin/config/TypedReads.h"
#include "plugin/rates/MultiplierTable.h"

using MultiplierValues = std::array<float, kMultiplierCount>;

// All sixteen values, or none: every value that cannot be read is named in errors. A value of 0
// means "leave the game's own value". A missing whole-number row reads as 0.
std::optional<MultiplierValues> ReadWeekendValues(const nlohmann::json& document, ConfigErrors& errors);
