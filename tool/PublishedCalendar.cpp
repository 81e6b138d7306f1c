// What the feed and the page both say of a window, worded once.
#include "tool/PublishedCalendar.h"

#include <fmt/format.h>

namespace qvtool {

std::string RateLabel(std::string_view key)
{
    constexpr std::string_view suffix = "Multiplier";
    if (key.size() > suffix.size() && key.substr(key.size() - suffix.size()) == suffix) {
        key.remove_suffix(suffix.size());
    }
    // "TamingSpeed" reads "taming speed", "CraftXP" "craft XP": a capital after a small letter starts a word.
    std::string label;
    for (std::size_t i = 0; i < key.size(); ++i) {
        const char c = key[i];
        const bool upper = c >= 'A' && c <= 'Z';
        const bool startsWord = upper && i > 0 && key[i - 1] >= 'a' && key[i - 1] <= 'z';
        if (startsWord) label += ' ';
        const bool acronym = upper && ((i + 1 < key.size() && key[i + 1] >= 'A' && key[i + 1] <= 'Z') ||
                                       (i > 0 && key[i - 1] >= 'A' && key[i - 1] <= 'Z'));
        label += upper && !acronym && i > 0 ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return label;
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
