// Windows are worked out on the wall clock (config/Calendar.h): a weekly window by the weekday and
// the time of day, a dated one by its local dates. The window in force changes only when it closes
// or when one before it in the file opens, so the next change is the first of those few moments,
// each found at once (config/WindowTimes.h), however far ahead it lies.
#include "plugin/config/Windows.h"

#include <algorithm>
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
    // Every window, in the order of precedence, with whether it is open and when that changes next.
    constexpr WallSeconds kNever = std::numeric_limits<WallSeconds>::max();
    struct Walked {
        const Window* window;
        bool open;
        WallSeconds change;
        bool came;
    };
    std::vector<Walked> windows;
    windows.reserve(config.Schedules.size() + 1);
    const auto add = [&](const Window& window) {
        const bool open = IsOpenAt(window, from);
        windows.push_back({&window, open, NextOpeningOrClosing(window, from).value_or(kNever), false});
    };
    for (const Window& schedule : config.Schedules) add(schedule);
    add(config.Weekly);
    const auto inForce = [&]() -> Walked* {
        for (Walked& walked : windows) {
            if (walked.open) return &walked;
        }
        return nullptr;
    };

    std::vector<Coming> comings;
    Walked* current = inForce();
    while (comings.size() < windows.size()) {
        WallSeconds at = kNever;
        for (const Walked& walked : windows) at = std::min(at, walked.change);
        if (at == kNever || at > until) break;
        for (Walked& walked : windows) {
            if (walked.change != at) continue;
            walked.open = !walked.open;
            walked.change =
                (walked.open ? OpenUntil(*walked.window, at) : NextOpening(*walked.window, at)).value_or(kNever);
        }
        Walked* next = inForce();
        if (next != current && next != nullptr && !next->came) {
            next->came = true;
            comings.push_back({next->window, at});
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
