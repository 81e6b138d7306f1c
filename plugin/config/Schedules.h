// "Schedules": the windows beyond the weekly one, each with its own name, its times and, where it
// says so, its own rates, texts and colours.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "plugin/config/ConfigProblem.h"
#include "plugin/config/Window.h"

namespace qv {

// Far more windows than any server runs; every evaluation looks at each of them.
inline constexpr std::size_t kMostSchedules = 100;

// The members a schedule's object may have, besides the sixteen multiplier keys.
extern const std::array<const char*, 13> ScheduleMembers;

// What is wrong with a window's name (UTF-8, as written): empty, longer than kLongestWindowName
// bytes, or holding a character that does not show (a control character, NUL included, a
// zero-width space or joiner, a bidirectional control, a byte-order mark). Nothing when it is fine.
std::optional<std::string> WindowNameProblem(std::string_view name);
// A window's "Name": a string without a WindowNameProblem.
std::optional<std::string> ReadWindowName(const nlohmann::json* member, const std::string& path,
                                          ConfigProblems& problems);
// The main section's "Name", for the weekly window.
std::optional<WeeklyName> ReadWeeklyName(const nlohmann::json* member, const std::string& path,
                                         ConfigProblems& problems);
// A window's "Priority": a whole number from kLowestPriority to kHighestPriority.
std::optional<WindowPriority> ReadPriority(const nlohmann::json* member, const std::string& path,
                                           ConfigProblems& problems);

// One window per entry, in file order, with its own rates only (CompleteRates adds the main
// section's), and every problem of every entry added to problems. An entry that is no object gives
// a window with nothing set. Nothing when the member is no array of at most kMostSchedules.
std::optional<std::vector<Window>> ReadSchedules(const nlohmann::json* member, const std::string& path,
                                                 ConfigProblems& problems);

} // namespace qv
