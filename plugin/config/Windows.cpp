// Windows are worked out on the wall clock (config/Calendar.h): a weekly window by the weekday and
// the time of day, a dated one by its local dates. The window in force changes only when it closes
// or when one before it in the file opens, so the next change is the first of those few moments,
// each found at once (config/WindowTimes.h), however far ahead it lies.
#include "plugin/config/Windows.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <limits>

#include "plugin/config/WindowTimes.h"

namespace qv {

std::string_view WindowId::DisplayName() const { return weekly_ ? std::string_view("Weekend") : name_; }

const Window* WindowInForce(const Config& config, const LocalTime& now)
{
    return WindowInForceAt(config, ToWallSeconds(now));
}

const Window* WindowInForceAt(const Config& config, WallSeconds wall)
{
    for (const Window& schedule : config.Schedules) {
        if (IsOpenAt(schedule, wall)) return &schedule;
    }
    return IsOpenAt(config.Weekly, wall) ? &config.Weekly : nullptr;
}

const Window* FindWindow(const Config& config, const WindowId& id)
{
    if (id.IsWeekly()) return &config.Weekly;
    for (const Window& schedule : config.Schedules) {
        if (schedule.Id == id) return &schedule;
    }
    return nullptr;
}

std::optional<WindowChange> NextChange(const Config& config, WallSeconds now)
{
    constexpr WallSeconds kNever = std::numeric_limits<WallSeconds>::max();
    const Window* current = WindowInForceAt(config, now);
    WallSeconds next = current != nullptr ? OpenUntil(*current, now).value_or(kNever) : kNever;
    const auto earlier = [&](const std::optional<WallSeconds>& moment) {
        next = std::min(next, moment.value_or(kNever));
    };
    // The windows before the one in force in the file are all closed now; with none in force, all are.
    for (const Window& schedule : config.Schedules) {
        if (&schedule == current) break;
        earlier(NextOpening(schedule, now));
    }
    if (current == nullptr) earlier(NextOpening(config.Weekly, now));
    if (next == kNever) return std::nullopt;
    return WindowChange{next, WindowInForceAt(config, next)};
}

std::vector<Coming> ComingsIntoForce(const Config& config, WallSeconds from, WallSeconds until)
{
    // Every window in the order of precedence (the weekly one last), whether it is open, and when
    // that changes next; the changes wait in a heap by time, so each step costs the logarithm of
    // the number of windows, and the window in force is the first open one, found by the bits.
    constexpr WallSeconds kNever = std::numeric_limits<WallSeconds>::max();
    const std::size_t count = config.Schedules.size() + 1;
    const auto window = [&](std::size_t i) -> const Window& {
        return i < config.Schedules.size() ? config.Schedules[i] : config.Weekly;
    };
    std::vector<std::uint64_t> open((count + 63) / 64);
    std::vector<bool> came(count);
    using Change = std::pair<WallSeconds, std::size_t>;
    std::vector<Change> changes;
    changes.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const bool isOpen = IsOpenAt(window(i), from);
        if (isOpen) open[i / 64] |= std::uint64_t{1} << (i % 64);
        const WallSeconds next = (isOpen ? OpenUntil(window(i), from) : NextOpening(window(i), from)).value_or(kNever);
        if (next <= until) changes.emplace_back(next, i);
    }
    const auto later = std::greater<Change>();
    std::make_heap(changes.begin(), changes.end(), later);
    const auto inForce = [&]() -> std::size_t {
        for (std::size_t word = 0; word < open.size(); ++word) {
            if (open[word] == 0) continue;
            std::size_t bit = 0;
            while ((open[word] >> bit & 1u) == 0) ++bit;
            return word * 64 + bit;
        }
        return count;
    };

    std::vector<Coming> comings;
    std::size_t current = inForce();
    while (!changes.empty() && comings.size() < count) {
        const WallSeconds at = changes.front().first;
        // Every window that opens or closes at this moment, before the one in force is asked.
        while (!changes.empty() && changes.front().first == at) {
            std::pop_heap(changes.begin(), changes.end(), later);
            const std::size_t i = changes.back().second;
            changes.pop_back();
            open[i / 64] ^= std::uint64_t{1} << (i % 64);
            const bool nowOpen = (open[i / 64] >> (i % 64) & 1u) != 0;
            const WallSeconds next = (nowOpen ? OpenUntil(window(i), at) : NextOpening(window(i), at)).value_or(kNever);
            if (next <= until) {
                changes.emplace_back(next, i);
                std::push_heap(changes.begin(), changes.end(), later);
            }
        }
        const std::size_t next = inForce();
        if (next != current && next != count && !came[next]) {
            came[next] = true;
            comings.push_back({&window(next), at});
        }
        current = next;
    }
    return comings;
}

bool UsesTimesOfDay(const Config& config)
{
    return config.StartTime.Minutes != 0 || config.EndTime.Minutes != 0 || !config.Schedules.empty();
}

std::optional<std::size_t> ScheduleIndex(const Config& config, const Window& window)
{
    if (config.Schedules.empty() || &window < config.Schedules.data() ||
        &window >= config.Schedules.data() + config.Schedules.size()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(&window - config.Schedules.data());
}

WindowLook LookOf(const Config& config, const Window& window)
{
    WindowLook look{&config.EnabledMessage,
                    &config.DisabledMessage,
                    &config.WeekendMOTD,
                    config.EnabledColor,
                    config.DisabledColor,
                    KeyOf(&Config::EnabledMessage),
                    KeyOf(&Config::DisabledMessage)};
    const std::optional<std::size_t> index = ScheduleIndex(config, window);
    const std::string path = index ? "Schedules[" + std::to_string(*index) + "]." : std::string();
    if (window.EnabledMessage) {
        look.EnabledMessage = &*window.EnabledMessage;
        look.EnabledMessageKey = path + "EnabledMessage";
    }
    if (window.DisabledMessage) {
        look.DisabledMessage = &*window.DisabledMessage;
        look.DisabledMessageKey = path + "DisabledMessage";
    }
    if (window.WeekendMOTD) look.WeekendMOTD = &*window.WeekendMOTD;
    if (window.EnabledColor) look.EnabledColor = *window.EnabledColor;
    if (window.DisabledColor) look.DisabledColor = *window.DisabledColor;
    return look;
}

} // namespace qv
