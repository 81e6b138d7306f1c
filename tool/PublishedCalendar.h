// The calendar that players subscribe to and administrators look at, as plain data: the windows
// with what they do, and the stretches in which each of them is in force. The feed and the page are
// written from this alone, so neither knows how the config is read or how windows are worked out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tool/DateTime.h"

namespace qvtool {

// A moment as the config writes it and as it happens: the wall-clock time (seconds since
// 1970-01-01 00:00 on the local wall clock, which skips and repeats an hour at daylight-saving
// changes) and the instant it falls at (seconds since the epoch, UTC).
struct CalendarTime {
    std::int64_t wall = 0;
    Seconds instant = 0;

    std::int64_t UtcOffset() const { return wall - instant; }
};

struct CalendarRate {
    std::string key; // "XPMultiplier"
    float value = 0;
};

struct CalendarWindow {
    std::string name;                // as players see it: "Weekend" for the main section's window
    std::string when;                // "Monday, Tuesday from 20:00 to 22:00"
    std::vector<CalendarRate> rates; // what it writes where that differs from the normal rates
    std::string enabledMessage;      // what players are told when it comes into force
};

// From start up to end, windows[window] is in force. A stretch keeps its real start and end even
// where they lie outside the calendar's days, so that it is named the same from run to run.
struct CalendarStretch {
    std::size_t window = 0;
    CalendarTime start;
    CalendarTime end;
};

// A daylight-saving change as a zone's rule writes it: on the week-th weekday of month (week 5:
// the last one), at a wall-clock time of the offset in force before the change.
struct ZoneChange {
    int month = 1;                            // 1 to 12
    int week = 1;                             // 1 to 5
    int weekday = 0;                          // 0 = Sunday
    std::int32_t secondsAfterMidnight = 7200; // may be negative or beyond a day
};

struct ZoneDaylight {
    std::string abbreviation; // "CEST"
    std::int32_t offset = 0;  // seconds east of UTC
    ZoneChange start;         // from standard time to daylight time
    ZoneChange end;           // and back
};

// A named zone's current rule: the standard offset, and the daylight one where the zone changes.
struct CalendarZone {
    std::string name;         // "Europe/Berlin"
    std::string abbreviation; // "CET"
    std::int32_t offset = 0;  // seconds east of UTC
    std::optional<ZoneDaylight> daylight;
};

struct PublishedCalendar {
    std::string title; // the server's name
    // The days shown: from the first moment up to the last.
    CalendarTime from;
    CalendarTime to;
    std::vector<CalendarWindow> windows;    // in the order that decides which is in force
    std::vector<CalendarStretch> stretches; // in time order, none overlapping
    // The zone the config's times are in; none: the local time of the machine that made the
    // calendar, which zoneText describes.
    std::optional<CalendarZone> zone;
    std::string zoneText;
    // Said once to readers: how late after its moment a switch comes.
    std::string timingNote;
    Seconds made = 0; // when the calendar was made
};

// "XPMultiplier" as players read it, as the status reply names it: "XP"; "TamingSpeedMultiplier": "taming".
std::string RateLabel(std::string_view key);
// "XP ×1.5, taming ×2", or "normal rates" for a window that writes none.
std::string RatesText(const CalendarWindow& window);

} // namespace qvtool
