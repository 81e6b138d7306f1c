// The window rule in offsets from today's midnight. The day rule takes the offsets of StartDay and
// EndDay from today in whole days; the times of day then move the start and the end within their
// days, and the rule compares instants instead of days.
#include "plugin/schedule/DayRule.h"

namespace qv {

namespace {

// In 64 bits, so that extreme configured days cannot overflow; the remainder keeps the sign of the
// dividend, as the rule is defined.
std::int64_t DayOffset(std::int32_t day, int weekday) { return (std::int64_t{day} - weekday + 7) % 7; }

} // namespace

bool IsWindowOpen(std::int32_t startDay, std::int32_t endDay, int weekday)
{
    const std::int64_t start = DayOffset(startDay, weekday);
    const std::int64_t end = DayOffset(endDay, weekday);
    const bool closed = end <= 0 || (start > 0 && end >= start);
    return !closed;
}

bool IsWindowOpen(std::int32_t startDay, std::int32_t startMinute, std::int32_t endDay, std::int32_t endMinute,
                  int weekday, std::int32_t secondOfDay)
{
    constexpr std::int64_t kDay = 24 * 60 * 60;
    const std::int64_t startOffset = DayOffset(startDay, weekday);
    const std::int64_t endOffset = DayOffset(endDay, weekday);
    const std::int64_t start = startOffset * kDay + std::int64_t{startMinute} * 60;
    const std::int64_t end = endOffset * kDay + std::int64_t{endMinute} * 60;
    const std::int64_t now = secondOfDay;
    // The day rule, with instants: closed before the start when the end is not before it, and
    // closed from the end on.
    if (now < end && (now >= start || end < start)) return true;
    // Start and end on one day, the end earlier: the window runs round the week from its start.
    // Only times make this case; with both at midnight such a window is empty, as equal days are.
    return startOffset == endOffset && end < start && now >= start;
}

} // namespace qv
