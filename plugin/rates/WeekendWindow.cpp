// The window rule in day offsets from today's midnight.
#include "plugin/rates/WeekendWindow.h"

bool IsWindowOpen(std::int32_t startDay, std::int32_t endDay, int weekday)
{
    // In 64 bits, so that extreme configured days cannot overflow; the remainder keeps the
    // sign of the dividend, as the rule is defined.
    const std::int64_t start = (std::int64_t{startDay} - weekday + 7) % 7;
    const std::int64_t end = (std::int64_t{endDay} - weekday + 7) % 7;
    const bool closed = end <= 0 || (start > 0 && end >= start);
    return !closed;
}
