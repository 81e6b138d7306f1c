// When a window is open, as the file says it: the main section's weekday rule, a schedule's days
// and hours of the week, or a schedule's dated span.
#pragma once

#include <cstdint>
#include <variant>

#include "plugin/schedule/Calendar.h"

namespace qv {

// The main section's window: from StartDay at StartMinute up to EndDay at EndMinute, every week.
struct WeekdayRule {
    std::int32_t StartDay = 0;
    std::int32_t StartMinute = 0;
    std::int32_t EndDay = 0;
    std::int32_t EndMinute = 0;

    friend bool operator==(const WeekdayRule& a, const WeekdayRule& b)
    {
        return a.StartDay == b.StartDay && a.StartMinute == b.StartMinute && a.EndDay == b.EndDay &&
               a.EndMinute == b.EndMinute;
    }
};
// A weekly schedule: open on each day of Days from From, for the length up to Until (past midnight
// when Until is at or before From).
struct WeeklyHours {
    std::uint8_t Days = 0; // bit d for weekday d (0 = Sunday)
    std::int32_t From = 0; // minutes after midnight
    std::int32_t Until = 0;

    friend bool operator==(const WeeklyHours& a, const WeeklyHours& b)
    {
        return a.Days == b.Days && a.From == b.From && a.Until == b.Until;
    }
};
// How long a day's hours last: up to Until the same day, or past midnight to Until the next.
inline Minutes Length(const WeeklyHours& hours)
{
    return Minutes{hours.Until > hours.From ? hours.Until - hours.From : hours.Until - hours.From + kMinutesPerDay};
}
// A dated schedule: open from Start up to End.
struct DatedSpan {
    WallTime Start;
    WallTime End;

    friend bool operator==(const DatedSpan& a, const DatedSpan& b) { return a.Start == b.Start && a.End == b.End; }
};

using WindowTimes = std::variant<WeekdayRule, WeeklyHours, DatedSpan>;

} // namespace qv
