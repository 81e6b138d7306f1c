// "Schedules": the windows beyond the weekly one, each with its own name, its times and, where
// it says so, its own rates, texts and colours.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "plugin/config/Calendar.h"
#include "plugin/config/ConfigProblem.h"
#include "plugin/host/Colors.h"
#include "plugin/host/FString.h"

struct Schedule {
    std::string Name; // as written (UTF-8); unique among the schedules
    // Weekly: open on each day of Days from From, for the length up to Until (past midnight when
    // Until is at or before From). Dated: open from Start up to End.
    bool Weekly = true;
    std::uint8_t Days = 0; // bit d for weekday d (0 = Sunday)
    std::int32_t From = 0; // minutes after midnight
    std::int32_t Until = 0;
    WallSeconds Start = 0;
    WallSeconds End = 0;
    // Absent ones take the main section's.
    std::optional<FString> EnabledMessage;
    std::optional<FString> DisabledMessage;
    std::optional<FString> WeekendMOTD;
    std::optional<MessageColor> EnabledColor;
    std::optional<MessageColor> DisabledColor;
};

// Far more windows than any server runs; every evaluation looks at each of them.
inline constexpr std::size_t kMostSchedules = 100;

// The members a schedule's object may have, besides the sixteen multiplier keys.
extern const std::array<const char*, 9> ScheduleMembers;

// Every problem of every entry is added to problems; the list comes back only when there was none.
std::optional<std::vector<Schedule>> ReadSchedules(const nlohmann::json* member, const std::string& path,
                                                   ConfigProblems& problems);
