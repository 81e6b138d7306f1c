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
    // What players call it, for short texts: "2x XP, 1.5x taming".
    const char* Label;
    // Whole-number rows are optional and read as integers: 1.5 takes effect as 1.
    bool WholeNumber;
    // An interval or a period: a higher value makes the game slower (longer waits), so doubling
    // the pace means halving the value.
    bool HigherIsSlower;
};

inline constexpr std::size_t kMultiplierCount = 16;

extern const std::array<MultiplierRow, kMultiplierCount> WeekendMultiplierTable;

using MultiplierValues = std::array<float, kMultiplierCount>;
using MultiplierRows = std::bitset<kMultiplierCount>;

// What a window writes when it comes into force: a value per row, 0 leaving the game's own value.
struct WindowRates {
    MultiplierValues Values{};
    // The rows the object sets itself.
    MultiplierRows Own;
    // The rows a schedule takes from the main section; the rows neither its own nor inherited
    // leave the game's own value.
    MultiplierRows Inherited;
    // The rows whose value multiplies the server's normal value instead of replacing it.
    MultiplierRows Relative;
    // The rows whose value cannot be read, and why (placed in the file): the window cannot come
    // into force, and this is logged when it would.
    MultiplierRows Broken;
    ConfigProblems Unreadable;

    bool Readable() const { return Unreadable.empty(); }
};

// The largest factor a relative row may multiply the server's normal value by.
inline constexpr float kLargestFactor = 1000.0f;

// The value a switch into the window writes into a row whose normal value is normal: 0 when the
// window leaves the game's own value, normal times the value for a relative row, the value itself
// otherwise. A product beyond the game's 32-bit rates is no rate: 0 too, and Overflows says so.
float WrittenValue(const WindowRates& rates, std::size_t row, float normal);
bool Overflows(const WindowRates& rates, std::size_t row, float normal);

// Every relative row the object at path sets itself with a factor above kLargestFactor, as a
// problem of its member, and marked broken.
void CheckFactors(WindowRates& rates, const std::string& path, ConfigProblems& problems);

// The sixteen rows of an object: the section (every row, the fourteen required ones failing when
// absent, all of them named in one problem) or a schedule's entry (only the rows it has; the others
// stay unset in Own). path is the object's path ("Quorvandelle", "Quorvandelle.Schedules[2]").
// Each row that cannot be read is a problem added to problems.
WindowRates ReadRates(const nlohmann::json& object, const std::string& path, bool isSection, ConfigProblems& problems);

// A schedule's rates completed: its own rows relative when relative says so; when it inherits, the
// main section's rows where it has none of its own, with their modes and the main section's
// problems of those rows.
void CompleteRates(WindowRates& rates, const WindowRates& main, bool inherits, bool relative);

} // namespace qv
