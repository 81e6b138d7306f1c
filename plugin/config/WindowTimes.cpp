// A weekly window, the main section's or a schedule's, is laid out once per question as the
// stretches of one week it is open in, merged where they touch (also across the end of the week);
// every answer is then a look at those few stretches from the week holding the moment.
#include "plugin/config/WindowTimes.h"

#include <algorithm>
#include <array>

#include "plugin/config/WeekendWindow.h"
#include "util/CivilDate.h"

namespace qv {

namespace {

constexpr WallSeconds kSecondsPerWeek = 7 * kSecondsPerDay;

WallSeconds Modulo(WallSeconds value, WallSeconds divisor) { return (value % divisor + divisor) % divisor; }

// Seconds since Sunday 00:00 of the week holding wall; 1970-01-01 was a Thursday.
WallSeconds WeekSecond(WallSeconds wall) { return Modulo(wall + 4 * kSecondsPerDay, kSecondsPerWeek); }

struct Stretch {
    WallSeconds Start; // since Sunday 00:00, within the week
    WallSeconds End;   // after Start; past the week's end for a stretch that runs into the next
};

// The stretches of a week a weekly window is open in: in order, none touching another.
class WeekStretches {
public:
    explicit WeekStretches(const WeekdayRule& rule)
    {
        // The rule can change only at a midnight or at one of its two times, so it holds from each of
        // those moments of the week to the next.
        std::array<WallSeconds, 21> moments{};
        std::size_t count = 0;
        for (int day = 0; day < 7; ++day) {
            for (const std::int32_t minute : {0, rule.StartMinute, rule.EndMinute}) {
                moments[count++] = day * kSecondsPerDay + WallSeconds{minute} * 60;
            }
        }
        std::sort(moments.begin(), moments.end());
        const std::size_t distinct =
            static_cast<std::size_t>(std::unique(moments.begin(), moments.end()) - moments.begin());
        for (std::size_t i = 0; i < distinct; ++i) {
            const WallSeconds at = moments[i];
            const int weekday = static_cast<int>(at / kSecondsPerDay);
            const bool open = IsWindowOpen(rule.StartDay, rule.StartMinute, rule.EndDay, rule.EndMinute, weekday,
                                           static_cast<std::int32_t>(at % kSecondsPerDay));
            if (open) Add({at, i + 1 < distinct ? moments[i + 1] : kSecondsPerWeek});
        }
        Close();
    }

    explicit WeekStretches(const WeeklyHours& hours)
    {
        const std::int32_t minutes =
            hours.Until > hours.From ? hours.Until - hours.From : hours.Until - hours.From + kMinutesPerDay;
        for (int day = 0; day < 7; ++day) {
            if ((hours.Days & (1u << day)) == 0) continue;
            const WallSeconds start = day * kSecondsPerDay + WallSeconds{hours.From} * 60;
            Add({start, start + WallSeconds{minutes} * 60});
        }
        Close();
    }

    bool AlwaysOpen() const { return always_; }

    // The stretch holding week second at, if any, and how far into it at is.
    std::optional<std::pair<Stretch, WallSeconds>> Holding(WallSeconds at) const
    {
        for (std::size_t i = 0; i < count_; ++i) {
            const WallSeconds into = Modulo(at - stretches_[i].Start, kSecondsPerWeek);
            if (into < stretches_[i].End - stretches_[i].Start) return std::pair{stretches_[i], into};
        }
        return std::nullopt;
    }

    // The first start of a stretch after wall.
    std::optional<WallSeconds> NextStart(WallSeconds wall) const
    {
        if (always_ || count_ == 0) return std::nullopt;
        const WallSeconds at = WeekSecond(wall);
        std::optional<WallSeconds> next;
        for (std::size_t i = 0; i < count_; ++i) {
            const WallSeconds ahead = Modulo(stretches_[i].Start - at, kSecondsPerWeek);
            const WallSeconds candidate = wall + (ahead == 0 ? kSecondsPerWeek : ahead);
            if (!next || candidate < *next) next = candidate;
        }
        return next;
    }

private:
    // Stretches come in order of their starts.
    void Add(Stretch stretch)
    {
        if (count_ > 0 && stretch.Start <= stretches_[count_ - 1].End) {
            stretches_[count_ - 1].End = std::max(stretches_[count_ - 1].End, stretch.End);
        } else {
            stretches_[count_++] = stretch;
        }
    }

    // The last stretch may run into the first one of the next week.
    void Close()
    {
        while (count_ > 1 && stretches_[count_ - 1].End >= kSecondsPerWeek + stretches_[0].Start) {
            stretches_[count_ - 1].End = std::max(stretches_[count_ - 1].End, kSecondsPerWeek + stretches_[0].End);
            std::rotate(stretches_.begin(), stretches_.begin() + 1, stretches_.begin() + count_);
            --count_;
        }
        always_ = count_ == 1 && stretches_[0].End - stretches_[0].Start >= kSecondsPerWeek;
    }

    std::array<Stretch, 21> stretches_{};
    std::size_t count_ = 0;
    bool always_ = false;
};

struct OpenAt {
    WallSeconds wall;

    bool operator()(const WeekdayRule& rule) const
    {
        const std::int64_t days = util::FloorDivide(wall, kSecondsPerDay);
        return IsWindowOpen(rule.StartDay, rule.StartMinute, rule.EndDay, rule.EndMinute, util::WeekdayFromDays(days),
                            static_cast<std::int32_t>(wall - days * kSecondsPerDay));
    }
    bool operator()(const WeeklyHours& hours) const
    {
        // A day's hours last a day at most, so only today's and yesterday's can hold wall.
        const std::int32_t minutes =
            hours.Until > hours.From ? hours.Until - hours.From : hours.Until - hours.From + kMinutesPerDay;
        const std::int64_t today = util::FloorDivide(wall, kSecondsPerDay);
        for (const std::int64_t day : {today, today - 1}) {
            if ((hours.Days & (1u << util::WeekdayFromDays(day))) == 0) continue;
            const WallSeconds start = day * kSecondsPerDay + WallSeconds{hours.From} * 60;
            if (wall >= start && wall < start + WallSeconds{minutes} * 60) return true;
        }
        return false;
    }
    bool operator()(const DatedSpan& span) const { return wall >= span.Start && wall < span.End; }
};

struct Opening {
    WallSeconds wall;

    std::optional<WallSeconds> operator()(const DatedSpan& span) const
    {
        return span.Start > wall && span.End > span.Start ? std::optional(span.Start) : std::nullopt;
    }
    // The first of its days' starts after wall at which it was closed the second before (a start
    // that another day's hours run into opens nothing); two weeks without one: open all the time.
    std::optional<WallSeconds> operator()(const WeeklyHours& hours) const
    {
        const std::int64_t today = util::FloorDivide(wall, kSecondsPerDay);
        for (std::int64_t day = today; day <= today + 14; ++day) {
            if ((hours.Days & (1u << util::WeekdayFromDays(day))) == 0) continue;
            const WallSeconds start = day * kSecondsPerDay + WallSeconds{hours.From} * 60;
            if (start > wall && !OpenAt{start - 1}(hours)) return start;
        }
        return std::nullopt;
    }
    template <typename Weekly>
    std::optional<WallSeconds> operator()(const Weekly& weekly) const
    {
        return WeekStretches(weekly).NextStart(wall);
    }
};

struct Closing {
    WallSeconds wall;

    std::optional<WallSeconds> operator()(const DatedSpan& span) const { return span.End; }
    template <typename Weekly>
    std::optional<WallSeconds> operator()(const Weekly& weekly) const
    {
        const WeekStretches stretches(weekly);
        if (stretches.AlwaysOpen()) return std::nullopt;
        const auto holding = stretches.Holding(WeekSecond(wall));
        if (!holding) return wall + 1;
        return wall - holding->second + (holding->first.End - holding->first.Start);
    }
};

} // namespace

bool IsOpenAt(const Window& window, WallSeconds wall) { return std::visit(OpenAt{wall}, window.Times); }

bool IsOpen(const Window& window, const LocalTime& now) { return IsOpenAt(window, ToWallSeconds(now)); }

std::optional<WallSeconds> NextOpening(const Window& window, WallSeconds wall)
{
    return std::visit(Opening{wall}, window.Times);
}

std::optional<WallSeconds> OpenUntil(const Window& window, WallSeconds wall)
{
    return std::visit(Closing{wall}, window.Times);
}

std::optional<WallSeconds> NextOpeningOrClosing(const Window& window, WallSeconds wall)
{
    return IsOpenAt(window, wall) ? OpenUntil(window, wall) : NextOpening(window, wall);
}

} // namespace qv
