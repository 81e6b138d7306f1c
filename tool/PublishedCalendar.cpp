// What the feed and the page both say of a window, worded once.
#include "tool/PublishedCalendar.h"

#include <fmt/format.h>

#include "plugin/config/WeekendValues.h"

namespace qvtool {

std::string RateLabel(std::string_view key)
{
    for (const qv::MultiplierRow& row : qv::WeekendMultiplierTable) {
        if (key == row.Key) return row.Label;
    }
    return std::string(key);
}

std::string RatesText(const CalendarWindow& window)
{
    if (window.rates.empty()) return "normal rates";
    std::string text;
    for (const CalendarRate& rate : window.rates) {
        text += fmt::format("{}{} \u00d7{:g}", text.empty() ? "" : ", ", RateLabel(rate.key), rate.value);
    }
    return text;
}

} // namespace qvtool
