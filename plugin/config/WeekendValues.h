// The sixteen game-mode rate multipliers the weekend switches, in the order they are walked, and
// reading their weekend values from the kept config document.
#pragma once

#include <array>
#include <cstddef>
#include <optional>

#include <nlohmann/json.hpp>

#include "plugin/config/ConfigProblem.h"

struct MultiplierRow {
    // The config key and the game-mode field share this name.
    const char* Key;
    // Whole-number rows are optional and read as integers: 1.5 takes effect as 1.
    bool WholeNumber;
};

inline constexpr std::size_t kMultiplierCount = 16;

extern const std::array<MultiplierRow, kMultiplierCount> WeekendMultiplierTable;

using MultiplierValues = std::array<float, kMultiplierCount>;

// All sixteen values, or none: every value that cannot be read is named in problems. A value of 0
// means "leave the game's own value". A missing whole-number row reads as 0.
std::optional<MultiplierValues> ReadWeekendValues(const nlohmann::json& document, ConfigProblems& problems);

// The same for the entry schedule of "Schedules": its own value where it gives one, the main
// section's otherwise. A negative schedule means the main section's weekly window.
std::optional<MultiplierValues> ReadWindowValues(const nlohmann::json& document, int schedule,
                                                 ConfigProblems& problems);
