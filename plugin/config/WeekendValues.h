// The sixteen game-mode rate multipliers a window switches, in the order they are walked, and the
// values a window writes into them, decoded once from the file.
#pragma once

#include <array>
#include <bitset>
#include <cstddef>
#include <string>

#include <nlohmann/json.hpp>

#include "plugin/config/ConfigProblem.h"

namespace qv {

struct MultiplierRow {
    // The config key and the game-mode field share this name.
    const char* Key;
    // Whole-number rows are optional and read as integers: 1.5 takes effect as 1.
    bool WholeNumber;
};

inline constexpr std::size_t kMultiplierCount = 16;

extern const std::array<MultiplierRow, kMultiplierCount> WeekendMultiplierTable;

using MultiplierValues = std::array<float, kMultiplierCount>;

// What a window writes when it comes into force: a value per row, 0 leaving the game's own value.
struct WindowRates {
    MultiplierValues Values{};
    // The rows a schedule sets itself; the others are the main section's.
    std::bitset<kMultiplierCount> Own;
    // The rows whose value cannot be read, and why, one problem each in row order (placed in the
    // file): the window cannot come into force, and this is logged when it would.
    std::bitset<kMultiplierCount> Broken;
    ConfigProblems Unreadable;

    bool Readable() const { return Unreadable.empty(); }
};

// The sixteen rows of an object: the section (every row, the fourteen required ones failing when
// absent) or a schedule's entry (only the rows it has; the others stay unset in Own). path is the
// object's path ("Quorvandelle", "Quorvandelle.Schedules[2]"). Each row that cannot be read is a
// problem added to problems.
WindowRates ReadRates(const nlohmann::json& object, const std::string& path, bool isSection, ConfigProblems& problems);

// A schedule's rates over the main section's: its own rows, the main section's elsewhere, and the
// main section's problems of those rows.
void InheritRates(WindowRates& rates, const WindowRates& main);

} // namespace qv
