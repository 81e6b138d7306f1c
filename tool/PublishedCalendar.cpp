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
    if (window.Rates.empty()) return "normal rates";
    std::string text;
    for (const CalendarRate& rate : window.Rates) {
        text += fmt::format("{}{} \u00d7{:g}", text.empty() ? "" : ", ", RateLabel(rate.Key), rate.Value);
    }
    return text;
}

} // namespace qvtool
