// A week's stretches come from the plug-in's own openings and closings, so that the words say what
// the schedule does.
#include "plugin/schedule/WeekStretches.h"

#include <algorithm>
#include <array>

#include "plugin/messaging/Patterns.h"
#include "plugin/schedule/Openings.h"
#include "util/CivilDate.h"
#include "util/Utf.h"

namespace qv {

namespace {

constexpr std::size_t kMostNamed = 3;
constexpr const char* kDash = "\u2013";
// Monday first, as people read a week.
constexpr std::array<int, 7> kWeekFromMonday = {1, 2, 3, 4, 5, 6, 0};
constexpr unsigned kEveryDay = 0x7Fu;

int WeekdayAt(std::int32_t minuteOfWeek) { return minuteOfWeek / kMinutesPerDay % 7; }

// "Fri–Sun", "Fri, Sat", "every day".
std::string DaysText(unsigned days)
{
    if (days == kEveryDay) return "every day";
    std::string text;
    for (const auto& [first, last] : WeekdayRuns(days)) {
        const char* from = util::ShortWeekdayName(first);
        const char* to = util::ShortWeekdayName(last);
        text += text.empty() ? "" : ", ";
        text += first == last                 ? std::string(from)
                : (first + 1) % 7 == last % 7 ? std::string(from) + ", " + to
                                              : std::string(from) + kDash + to;
    }
    return text;
}

std::string Listed(const std::vector<std::string>& items, const char* separator)
{
    std::string text;
    for (std::size_t i = 0; i < items.size() && i < kMostNamed; ++i) text += (i == 0 ? "" : separator) + items[i];
    if (items.size() > kMostNamed) text += " and " + std::to_string(items.size() - kMostNamed) + " more";
    return text;
}

std::string DayAndTime(std::int32_t minuteOfWeek, bool full)
{
    const int weekday = WeekdayAt(minuteOfWeek);
    return std::string(full ? util::WeekdayName(weekday) : util::ShortWeekdayName(weekday)) + " " +
           FormatTimeOfDay(minuteOfWeek % kMinutesPerDay);
}

} // namespace

std::vector<std::pair<int, int>> WeekdayRuns(unsigned days)
{
    const auto has = [&](std::size_t place) { return (days >> kWeekFromMonday[place % 7] & 1u) != 0; };
    if ((days & kEveryDay) == kEveryDay) return {{1, 0}};
    // A run across Sunday into Monday starts where it starts.
    std::size_t start = 0;
    while (has(start + 6)) start = (start + 6) % 7;
    std::vector<std::pair<int, int>> runs;
    for (std::size_t place = start; place < start + 7; ++place) {
        if (!has(place)) continue;
        std::size_t end = place;
        while (end + 1 < start + 7 && has(end + 1)) ++end;
        runs.emplace_back(kWeekFromMonday[place % 7], kWeekFromMonday[end % 7]);
        place = end;
    }
    return runs;
}

WeekMask OpenMinutes(const WindowTimes& times)
{
    // Sunday 1970-01-04, 00:00: any week will do for a weekly window.
    const WallTime sunday{Days{3}};
    const WallTime end = sunday + Weeks{1};
    WeekMask open;
    // From one opening or closing to the next: times are whole minutes, so each stretch is too.
    for (WallTime at = sunday; at < end;) {
        const bool isOpen = IsOpenAt(times, at);
        const WallTime next = std::min(NextOpeningOrClosing(times, at).value_or(end), end);
        for (Minutes minute = std::chrono::ceil<Minutes>(at - sunday); isOpen && minute < next - sunday; ++minute)
            open.set(static_cast<std::size_t>(minute.count()));
        at = next;
    }
    return open;
}

std::vector<WeekStretch> StretchesOf(const WeekMask& open)
{
    if (open.none()) return {};
    if (open.all()) return {{0, kMinutesPerWeek}};
    // From a closed minute on, no stretch is cut in two by the week's end.
    std::size_t closed = 0;
    while (open.test(closed)) ++closed;
    std::vector<WeekStretch> stretches;
    for (std::size_t step = 1; step <= kMinutesPerWeek; ++step) {
        const std::size_t minute = (closed + step) % kMinutesPerWeek;
        if (!open.test(minute)) continue;
        const bool starts = !open.test((minute + kMinutesPerWeek - 1) % kMinutesPerWeek);
        if (starts) {
            stretches.push_back({static_cast<std::int32_t>(minute), 0});
        }
        ++stretches.back().Length;
    }
    std::sort(stretches.begin(), stretches.end(),
              [](const WeekStretch& a, const WeekStretch& b) { return a.From < b.From; });
    return stretches;
}

std::string WeekPatternText(const std::vector<WeekStretch>& stretches)
{
    if (stretches.size() == 1 && stretches[0].Length >= kMinutesPerWeek) return "all week";
    // Stretches shorter than a day go together by their time of day and length, with the days they
    // start on; a longer one stands alone (no days).
    struct Item {
        WeekStretch First;
        std::int32_t Place; // of the first, in a week from Monday
        unsigned Days;
    };
    std::vector<Item> items;
    for (const WeekStretch& stretch : stretches) {
        const std::int32_t place = (stretch.From + 6 * kMinutesPerDay) % kMinutesPerWeek;
        const bool short_ = stretch.Length < kMinutesPerDay;
        const auto same = std::find_if(items.begin(), items.end(), [&](const Item& item) {
            return short_ && item.Days != 0 && item.First.From % kMinutesPerDay == stretch.From % kMinutesPerDay &&
                   item.First.Length == stretch.Length;
        });
        if (same == items.end()) {
            items.push_back({stretch, place, short_ ? 1u << WeekdayAt(stretch.From) : 0u});
            continue;
        }
        same->Days |= 1u << WeekdayAt(stretch.From);
        if (place < same->Place) {
            same->First = stretch;
            same->Place = place;
        }
    }
    std::sort(items.begin(), items.end(), [](const Item& a, const Item& b) { return a.Place < b.Place; });
    std::vector<std::string> texts;
    for (const Item& item : items) {
        const std::int32_t end = item.First.From + item.First.Length;
        if (item.Days == 0) {
            texts.push_back(DayAndTime(item.First.From, false) + " to " + DayAndTime(end % kMinutesPerWeek, false));
            continue;
        }
        texts.push_back(DaysText(item.Days) + " " + FormatTimeOfDay(item.First.From % kMinutesPerDay) + kDash +
                        FormatTimeOfDay(end % kMinutesPerDay));
    }
    return Listed(texts, "; ");
}

std::string StretchText(const WeekStretch& stretch)
{
    const std::int32_t end = stretch.From + stretch.Length;
    // A stretch that ends on the weekday it starts on, or later, ends in the next week.
    const bool nextWeek = stretch.Length >= 6 * kMinutesPerDay && WeekdayAt(end) == WeekdayAt(stretch.From);
    return "from " + DayAndTime(stretch.From, true) + " to " + DayAndTime(end % kMinutesPerWeek, true) +
           (nextWeek ? " next week" : "");
}

std::string LengthText(Minutes length) { return util::WideToUtf8(TimeLeft(static_cast<std::int32_t>(length.count()))); }

} // namespace qv
