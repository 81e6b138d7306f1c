// A weekly window, the main section's or a schedule's, is laid out once per question as the
// stretches of one week it is open in, merged where they touch (also across the end of the week);
// every answer is then a look at those few stretches from the week holding the moment.
#include "plugin/schedule/Openings.h"

#include <algorithm>
#include <array>

#include "plugin/schedule/DayRule.h"

namespace qv {

namespace {

// The time since the start of the week holding wall (Sunday 00:00); 1970-01-01 was a Thursday.
Seconds IntoWeek(WallTime wall)
{
    const Seconds sinceSunday = wall.time_since_epoch() + Days{4};
    return sinceSunday - std::chrono::floor<Weeks>(sinceSunday);
}

Seconds Modulo(Seconds value, Seconds divisor) { return (value % divisor + divisor) % divisor; }

struct Stretch {
    Seconds Start; // since Sunday 00:00, within the week
    Seconds End;   // after Start; past the week's end for a stretch that runs into the next
};

// The stretches of a week a weekly window is open in: in order, none touching another.
class WeekStretches {
public:
    explicit WeekStretches(const WeekdayRule& rule)
    {
        // The rule can change only at a midnight or at one of its two times, so it holds from each of
        // those moments of the week to the next.
        std::array<Seconds, 21> moments{};
        std::size_t count = 0;
        for (int day = 0; day < 7; ++day) {
            for (const std::int32_t minute : {0, rule.StartMinute, rule.EndMinute}) {
                moments[count++] = Days{day} + Minutes{minute};
            }
        }
        std::sort(moments.begin(), moments.end());
        const std::size_t distinct =
            static_cast<std::size_t>(std::unique(moments.begin(), moments.end()) - moments.begin());
        for (std::size_t i = 0; i < distinct; ++i) {
            const Seconds at = moments[i];
            const int weekday = static_cast<int>(std::chrono::floor<Days>(at).count());
            const bool open = IsWindowOpen(rule.StartDay, rule.StartMinute, rule.EndDay, rule.EndMinute, weekday,
                                           static_cast<std::int32_t>((at - Days{weekday}).count()));
            if (open) Add({at, i + 1 < distinct ? moments[i + 1] : Seconds{Weeks{1}}});
        }
        Close();
    }

    explicit WeekStretches(const WeeklyHours& hours)
    {
        for (int day = 0; day < 7; ++day) {
            if ((hours.Days & (1u << day)) == 0) continue;
            const Seconds start = Days{day} + Minutes{hours.From};
            Add({start, start + Length(hours)});
        }
        Close();
    }

    bool AlwaysOpen() const { return always_; }

    // The stretch holding the moment at into the week, if any, and how far into it at is.
    std::optional<std::pair<Stretch, Seconds>> Holding(Seconds at) const
    {
        for (std::size_t i = 0; i < count_; ++i) {
            const Seconds into = Modulo(at - stretches_[i].Start, Weeks{1});
            if (into < stretches_[i].End - stretches_[i].Start) return std::pair{stretches_[i], into};
        }
        return std::nullopt;
    }

    // The first start of a stretch after wall.
    std::optional<WallTime> NextStart(WallTime wall) const
    {
        if (always_ || count_ == 0) return std::nullopt;
        const Seconds at = IntoWeek(wall);
        std::optional<WallTime> next;
        for (std::size_t i = 0; i < count_; ++i) {
            const Seconds ahead = Modulo(stretches_[i].Start - at, Weeks{1});
            const WallTime candidate = wall + (ahead == Seconds{0} ? Seconds{Weeks{1}} : ahead);
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
        while (count_ > 1 && stretches_[count_ - 1].End >= Weeks{1} + stretches_[0].Start) {
            stretches_[count_ - 1].End = std::max(stretches_[count_ - 1].End, Weeks{1} + stretches_[0].End);
            std::rotate(stretches_.begin(), stretches_.begin() + 1, stretches_.begin() + count_);
            --count_;
        }
        always_ = count_ == 1 && stretches_[0].End - stretches_[0].Start >= Weeks{1};
    }

    std::array<Stretch, 21> stretches_{};
    std::size_t count_ = 0;
    bool always_ = false;
};

struct OpenAt {
    WallTime wall;

    bool operator()(const WeekdayRule& rule) const
    {
        const WallTime midnight = StartOfDay(wall);
        return IsWindowOpen(rule.StartDay, rule.StartMinute, rule.EndDay, rule.EndMinute, WeekdayOf(wall),
                            static_cast<std::int32_t>((wall - midnight).count()));
    }
    bool operator()(const WeeklyHours& hours) const
    {
        // A day's hours last a day at most, so only today's and yesterday's can hold wall.
        const WallTime today = StartOfDay(wall);
        for (const WallTime day : {today, today - Days{1}}) {
            if ((hours.Days & (1u << WeekdayOf(day))) == 0) continue;
            const WallTime start = day + Minutes{hours.From};
            if (wall >= start && wall < start + Length(hours)) return true;
        }
        return false;
    }
    bool operator()(const DatedSpan& span) const { return wall >= span.Start && wall < span.End; }
};

struct Opening {
    WallTime wall;

    std::optional<WallTime> operator()(const DatedSpan& span) const
    {
        return span.Start > wall && span.End > span.Start ? std::optional(span.Start) : std::nullopt;
    }
    // The first of its days' starts after wall at which it was closed the second before (a start
    // that another day's hours run into opens nothing); two weeks without one: open all the time.
    std::optional<WallTime> operator()(const WeeklyHours& hours) const
    {
        const WallTime today = StartOfDay(wall);
        for (WallTime day = today; day <= today + Weeks{2}; day += Days{1}) {
            if ((hours.Days & (1u << WeekdayOf(day))) == 0) continue;
            const WallTime start = day + Minutes{hours.From};
            if (start > wall && !OpenAt{start - Seconds{1}}(hours)) return start;
        }
        return std::nullopt;
    }
    template <typename Weekly>
    std::optional<WallTime> operator()(const Weekly& weekly) const
    {
        return WeekStretches(weekly).NextStart(wall);
    }
};

struct Closing {
    WallTime wall;

    std::optional<WallTime> operator()(const DatedSpan& span) const { return span.End; }
    template <typename Weekly>
    std::optional<WallTime> operator()(const Weekly& weekly) const
    {
        const WeekStretches stretches(weekly);
        if (stretches.AlwaysOpen()) return std::nullopt;
        const auto holding = stretches.Holding(IntoWeek(wall));
        if (!holding) return wall + Seconds{1};
        return wall - holding->second + (holding->first.End - holding->first.Start);
    }
};

} // namespace

bool IsOpenAt(const WindowTimes& times, WallTime wall) { return std::visit(OpenAt{wall}, times); }

std::optional<WallTime> NextOpening(const WindowTimes& times, WallTime wall)
{
    return std::visit(Opening{wall}, times);
}

std::optional<WallTime> OpenUntil(const WindowTimes& times, WallTime wall) { return std::visit(Closing{wall}, times); }

std::optional<WallTime> NextOpeningOrClosing(const WindowTimes& times, WallTime wall)
{
    return IsOpenAt(times, wall) ? OpenUntil(times, wall) : NextOpening(times, wall);
}

} // namespace qv
