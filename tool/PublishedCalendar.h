// The calendar that players subscribe to and administrators look at, as plain data: the windows
// with what they do, and the stretches in which each of them is in force. The feed and the page are
// written from this alone, so neither knows how the config is read or how windows are worked out.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tool/DateTime.h"
#include "util/PosixTimeZone.h"

namespace qvtool {

// A moment as it happens: the instant, and the wall-clock time the clock shows then. A configured
// time that the clocks skip happens at the end of the gap, and shows that time; one that they
// repeat happens at its first pass.
struct CalendarTime {
    WallTime Wall;
    Instant At;

    Seconds UtcOffset() const { return Wall.time_since_epoch() - At.time_since_epoch(); }
};

struct CalendarRate {
    std::string Key; // "XPMultiplier"
    float Value = 0;
};

struct CalendarWindow {
    std::string Name;                // as players see it: "Weekend" for an unnamed weekly window
    std::string When;                // "Mondays to Thursdays, 20:00 to 22:00"
    std::vector<CalendarRate> Rates; // what it writes where that differs from the normal rates, a
                                     // relative rate as its factor of the normal value
    std::string EnabledMessage;      // what players are told when it comes into force
};

// From Start up to End, Windows[Window] is in force. A stretch keeps its real start and end even
// where they lie outside the calendar's days, so that it is named the same from run to run.
struct CalendarStretch {
    std::size_t Window = 0;
    CalendarTime Start;
    CalendarTime End;
};

struct ZoneDaylight {
    std::string Abbreviation; // "CEST"
    Seconds Offset{0};        // east of UTC
    // From standard time to daylight time, and back: each on the week-th weekday of a month (week
    // 5: the last one), at a wall-clock time of the offset in force before it.
    util::ZoneChangeDay Start;
    util::ZoneChangeDay End;
};

// A named zone's current rule: the standard offset, and the daylight one where the zone changes.
struct CalendarZone {
    std::string Name;         // "Europe/Berlin"
    std::string Abbreviation; // "CET"
    Seconds Offset{0};        // east of UTC
    std::optional<ZoneDaylight> Daylight;
};

struct PublishedCalendar {
    std::string Title; // the server's name
    // The days shown: from the first moment up to the last. To keeps the wall-clock time that ends
    // the last day even where the clocks skip it, so that the days are counted whole.
    CalendarTime From;
    CalendarTime To;
    std::vector<CalendarWindow> Windows;    // in the order that decides which is in force
    std::vector<CalendarStretch> Stretches; // in time order, none overlapping
    // The zone the config's times are in, for the feed's times; none: the local time of the
    // machine that made the calendar, or a zone whose changes no yearly rule tells.
    std::optional<CalendarZone> Zone;
    // Which zone the times are in, with its abbreviations, for readers.
    std::string ZoneText;
    // Said once to readers: how late after its moment a switch comes.
    std::string TimingNote;
    Instant Made; // when the calendar was made
};

// "XPMultiplier" as players read it, as the status reply names it: "XP"; "TamingSpeedMultiplier": "taming".
std::string RateLabel(std::string_view key);
// "XP ×1.5, taming ×2", or "normal rates" for a window that writes none.
std::string RatesText(const CalendarWindow& window);

} // namespace qvtool
