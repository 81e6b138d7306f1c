// The sixteen game-mode rate multipliers the weekend switches, in the order they are walked.
#pragma once

#include <array>
#include <cstddef>

struct MultiplierRow {
    // The config key and the game-mode field share this name.
    const char* Key;
    // Whole-number rows are optional and read as integers: 1.5 takes effect as 1.
    bool WholeNumber;
};

inline constexpr std::size_t kMultiplierCount = 16;

extern const std::array<MultiplierRow, kMultiplierCount> WeekendMultiplierTable;
