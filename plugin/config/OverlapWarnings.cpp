// The probable mistakes in the windows' times: windows of equal priority that overlap, so that one of
// them replaces the other where both are open, windows far longer than a weekend or an evening, and
// dated ones that are over.
#include "plugin/config/WarningRules.h"

#include <algorithm>

#include <fmt/format.h>

#include "plugin/config/Windows.h"
#include "plugin/schedule/LocalClock.h"
#include "plugin/schedule/Openings.h"
#include "plugin/schedule/WeekStretches.h"

namespace qv {

namespace {

// A weekly window this long is most likely a slip of its end; a day's hours this long too.
constexpr Days kLongestWeekly{5};
constexpr Hours kLongestDaily{16};
// The changes of rates an overlap names; the others are counted.
constexpr std::size_t kMostChanges = 4;
// The dated stretches an overlap names; the others are counted.
constexpr std::size_t kMostStretches = 3;

struct WallStretch {
    WallTime From;
    WallTime To;
};

// The stretches of a dated span in which a weekly window is open too, the first few of them, and how
// many there are in all. Each costs a step from one opening or closing to the next.
std::vector<WallStretch> DatedOverlaps(const DatedSpan& span, const WindowTimes& weekly, std::size_t& count)
{
    std::vector<WallStretch> stretches;
    count = 0;
    // Beyond a year the overlaps only repeat what the first year shows.
    const WallTime last = std::min(span.End, span.Start + Days{366});
    bool wasOpen = false;
    for (WallTime at = span.Start; at < last;) {
        const WallTime to = std::min(NextOpeningOrClosing(weekly, at).value_or(last), last);
        const bool isOpen = IsOpenAt(weekly, at);
        if (isOpen && !wasOpen && ++count <= kMostStretches + 1) {
            stretches.push_back({at, to});
        } else if (isOpen && count <= kMostStretches + 1) {
            stretches.back().To = to;
        }
        wasOpen = isOpen;
        at = to;
    }
    return stretches;
}

// "Thu 2026-12-24 20:00–22:00", or from day to day when it runs past midnight.
std::string DatedText(const WallStretch& stretch)
{
    if (StartOfDay(stretch.From) == StartOfDay(stretch.To - Seconds{1})) {
        const std::string to = FormatWallTime(stretch.To).substr(15);
        return FormatWallTime(stretch.From) + "\u2013" + (stretch.To == StartOfDay(stretch.To) ? "24:00" : to);
    }
    return FormatWallTime(stretch.From) + " to " + FormatWallTime(stretch.To);
}

// Where two windows are open together, in words; empty when they never are.
std::string OverlapText(const Window& a, const WeekMask& openA, const Window& b, const WeekMask& openB)
{
    const DatedSpan* datedA = std::get_if<DatedSpan>(&a.Times);
    const DatedSpan* datedB = std::get_if<DatedSpan>(&b.Times);
    if (datedA == nullptr && datedB == nullptr) {
        const WeekMask both = openA & openB;
        return both.none() ? std::string() : WeekPatternText(StretchesOf(both));
    }
    if (datedA != nullptr && datedB != nullptr) {
        const WallStretch both{std::max(datedA->Start, datedB->Start), std::min(datedA->End, datedB->End)};
        return both.From < both.To ? DatedText(both) : std::string();
    }
    const DatedSpan& span = datedA != nullptr ? *datedA : *datedB;
    std::size_t count = 0;
    const std::vector<WallStretch> stretches = DatedOverlaps(span, datedA != nullptr ? b.Times : a.Times, count);
    if (stretches.empty()) return {};
    // A long span meets a weekly window week after week: its pattern between the dates says it.
    if (count > kMostStretches) {
        return fmt::format("{} from {} to {}", WeekPatternText(StretchesOf(datedA != nullptr ? openB : openA)),
                           FormatWallTime(span.Start), FormatWallTime(span.End));
    }
    std::string text;
    for (const WallStretch& stretch : stretches) text += (text.empty() ? "" : ", ") + DatedText(stretch);
    return text;
}

// "×2", "normal ×1.5", "the game's own": a rate as a window writes it.
std::string RateValue(const WindowRates& rates, std::size_t row)
{
    const float value = rates.Values[row];
    if (value == 0.0f) return "the game's own";
    return fmt::format("{}\u00d7{:g}", rates.Relative.test(row) ? "normal " : "", value);
}

// "XP ×2 → ×1.5, harvest amount ×2 → the game's own": what changes where winner replaces loser.
std::string ChangesText(const Window& loser, const Window& winner)
{
    std::vector<std::string> changes;
    for (std::size_t row = 0; row < kMultiplierCount; ++row) {
        const std::string before = RateValue(loser.Rates, row);
        const std::string after = RateValue(winner.Rates, row);
        if (before != after) {
            changes.push_back(fmt::format("{} {} \u2192 {}", WeekendMultiplierTable[row].Label, before, after));
        }
    }
    if (changes.empty()) return "the rates stay the same";
    std::string text;
    for (std::size_t i = 0; i < changes.size() && i < kMostChanges; ++i) text += (i == 0 ? "" : ", ") + changes[i];
    if (changes.size() > kMostChanges) text += fmt::format(" and {} more", changes.size() - kMostChanges);
    return text;
}

// The member a window's warnings name: its entry in Schedules, or the main section's key.
std::string PathOf(const Config& config, const Window& window, const char* mainKey)
{
    const std::optional<std::size_t> index = ScheduleIndex(config, window);
    return index ? SchedulePath(*index) : SectionMember(mainKey);
}

} // namespace

void WarnOnOverlaps(const WarningContext& context, ConfigProblems& warnings)
{
    const Config& config = context.Settings;
    if (!context.Decoded.Has(&Config::Schedules)) return;
    const std::vector<const Window*> windows = WindowsInOrder(config);
    std::vector<WeekMask> open;
    for (const Window* window : windows) open.push_back(OpenMinutes(window->Times));
    for (std::size_t later = 1; later < windows.size(); ++later) {
        for (std::size_t earlier = 0; earlier < later; ++earlier) {
            const Window& winner = *windows[earlier];
            const Window& loser = *windows[later];
            // Of two priorities, the administrator chose.
            if (winner.Priority.Value != loser.Priority.Value) continue;
            const std::string where = OverlapText(winner, open[earlier], loser, open[later]);
            if (where.empty()) continue;
            AddWarning(warnings, PathOf(config, winner, KeyOf(&Config::Priority)),
                       fmt::format("{}: {} replaces {}: {} (a higher \"Priority\" on one of them says which is in "
                                   "force, and ends this warning)",
                                   where, winner.Id.DisplayName(), loser.Id.DisplayName(), ChangesText(loser, winner)));
        }
    }
}

void WarnOnLongWindows(const WarningContext& context, ConfigProblems& warnings)
{
    const Config& config = context.Settings;
    if (context.Decoded.Has(&Config::StartDay) && context.Decoded.Has(&Config::EndDay)) {
        for (const WeekStretch& stretch : StretchesOf(OpenMinutes(config.Weekly.Times))) {
            if (Minutes{stretch.Length} < kLongestWeekly) continue;
            const std::string name(config.Weekly.Id.DisplayName());
            AddWarning(warnings, SectionMember(KeyOf(&Config::EndDay)),
                       stretch.Length >= kMinutesPerWeek
                           ? fmt::format("\"{}\" is open all week, every week; if it should close, check StartDay, "
                                         "StartTime, EndDay and EndTime",
                                         name)
                           : fmt::format("\"{}\" lasts {}: {}; if it should end sooner, check EndDay and EndTime", name,
                                         StretchText(stretch), LengthText(Minutes{stretch.Length})));
        }
    }
    if (!context.Decoded.Has(&Config::Schedules)) return;
    for (std::size_t i = 0; i < config.Schedules.size(); ++i) {
        const Window& schedule = config.Schedules[i];
        const WeeklyHours* hours = std::get_if<WeeklyHours>(&schedule.Times);
        // From midnight to midnight is a whole day, as meant.
        if (hours == nullptr || Length(*hours) < kLongestDaily || (hours->From == 0 && hours->Until == 0)) continue;
        AddWarning(warnings, SchedulePath(i) + ".Until",
                   fmt::format("\"{}\" lasts from {} to {}{} on each of its days: {}; if it should end sooner, check "
                               "From and Until",
                               schedule.Id.DisplayName(), FormatTimeOfDay(hours->From), FormatTimeOfDay(hours->Until),
                               hours->Until <= hours->From ? " the next day" : "", LengthText(Length(*hours))));
    }
}

void WarnOnEndedWindows(const WarningContext& context, ConfigProblems& warnings)
{
    const Config& config = context.Settings;
    if (!context.Decoded.Has(&Config::Schedules) || !context.Now) return;
    const std::optional<WallTime> today = ClockOf(config).WallAt(*context.Now);
    if (!today) return;
    for (std::size_t i = 0; i < config.Schedules.size(); ++i) {
        const Window& schedule = config.Schedules[i];
        const DatedSpan* span = std::get_if<DatedSpan>(&schedule.Times);
        if (span == nullptr || span->End > *today) continue;
        AddWarning(
            warnings, SchedulePath(i) + ".Until",
            fmt::format("\"{}\" ended {}: it never opens again", schedule.Id.DisplayName(), FormatWallTime(span->End)));
    }
}

} // namespace qv
