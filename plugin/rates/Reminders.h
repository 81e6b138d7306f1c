// Telling players ahead of time that a window is about to come into force.
#pragma once

#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

#include "plugin/config/Config.h"
#include "plugin/schedule/Calendar.h"

namespace qv {

// What the reminders remember between evaluations: each coming into force reminded of, by window and
// time, with the shortest lead already announced for it; and the windows whose reminders were
// withheld and said so. A reload can move a window's coming and move it back; it is not announced twice.
struct ReminderMemory {
    struct Opening {
        WindowId Window = WindowId::Weekly();
        WallTime At;
        std::int32_t Within = std::numeric_limits<std::int32_t>::max();
    };
    std::vector<Opening> Openings;
    std::vector<WindowId> Withheld;
};

struct DueReminder {
    const Window* InForce = nullptr; // the window that comes into force
    std::int32_t Minutes = 0;        // real minutes left until it does, rounded up
};

struct ReminderCheck {
    // In the order the windows come into force.
    std::vector<DueReminder> Due;
    // Windows that would have been reminded of but cannot switch on (a value they take cannot be
    // read), not said before: the log tells why, once.
    std::vector<const Window*> Withheld;
    // The next instant at which a reminder may fall due: the first at which one does, or the end of
    // what the schedule looked at, when that comes first. Nothing without reminders.
    std::optional<Instant> NextMoment;
};

// At an evaluation at instant now, which decides by the wall-clock time wall: each window's next
// coming into force (ComingsIntoForce), and for each the configured leads before that instant that
// have come. One reminder per window covers the leads that came together, saying how many real
// minutes are left; each lead is announced at most once per coming. No reminder is for the window in
// force, for the weekly window over a weekend switched on by hand, or for a window that cannot switch
// on. memory moves on as the reminders are taken as sent. Pure, so that the tool's preview finds the
// moments the plug-in will remind at.
ReminderCheck CheckReminders(const Config& config, Instant now, WallTime wall, bool manualWeekend,
                             ReminderMemory& memory);

// Tells every player that window comes into force in minutes, through the channels the config names.
void SendReminder(const Config& config, const Window& window, std::int32_t minutes);
// The log record of reminders withheld for a window that cannot switch on.
std::string WithheldReminders(const Window& window);

} // namespace qv
