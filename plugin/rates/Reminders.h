// Telling players ahead of time that a window is about to come into force.
#pragma once

#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

#include "plugin/config/Calendar.h"
#include "plugin/config/Config.h"
#include "plugin/host/Clock.h"

namespace qv {

// What the reminders remember between evaluations: each opening reminded of, by window and time,
// with the shortest lead already announced for it. A reload can make another opening the next one
// and then this one again; it is not announced twice.
struct ReminderMemory {
    struct Opening {
        WindowId Window = WindowId::Weekly();
        WallSeconds At = 0;
        std::int32_t Within = std::numeric_limits<std::int32_t>::max();
    };
    std::vector<Opening> Openings;
};

struct DueReminder {
    const Window* InForce = nullptr; // the window that comes into force
    std::int32_t Minutes = 0;        // left until the window comes into force, rounded up
};

// At an evaluation at wall: when the next change of the window in force brings a window (not
// normal rates, not the window already in force, not the weekly window over a weekend switched on
// by hand) and one of the configured leads has come, one reminder is due, saying how many minutes
// are left. Each lead is announced at most once per opening, and never once the window is open.
// memory moves on as the reminder is taken as sent. Pure, so that the tool's preview finds the
// moments the plug-in will remind at.
std::optional<DueReminder> NextDueReminder(const Config& config, WallSeconds wall, bool manualWeekend,
                                           ReminderMemory& memory);

// NextDueReminder at now, with the plug-in's own memory, and the reminder sent.
void SendDueReminders(const LocalTime& now);

} // namespace qv
