// The config's windows as a timetable for the schedule's walk, and what each shows.
#include "plugin/config/Windows.h"

namespace qv {

std::string_view WindowId::DisplayName() const { return weekly_ ? std::string_view("Weekend") : name_; }

Timetable TimetableOf(const Config& config)
{
    Timetable timetable;
    timetable.reserve(config.Schedules.size() + 1);
    for (const Window& schedule : config.Schedules) timetable.push_back(&schedule.Times);
    timetable.push_back(&config.Weekly.Times);
    return timetable;
}

const Window& WindowAt(const Config& config, std::size_t place)
{
    return place < config.Schedules.size() ? config.Schedules[place] : config.Weekly;
}

const Window* WindowInForceAt(const Config& config, WallTime wall)
{
    const std::optional<std::size_t> place = InForceAt(TimetableOf(config), wall);
    return place ? &WindowAt(config, *place) : nullptr;
}

const Window* FindWindow(const Config& config, const WindowId& id)
{
    if (id.IsWeekly()) return &config.Weekly;
    for (const Window& schedule : config.Schedules) {
        if (schedule.Id == id) return &schedule;
    }
    return nullptr;
}

std::optional<WindowChange> NextChange(const Config& config, WallTime now)
{
    const std::optional<TimetableChange> change = NextChange(TimetableOf(config), now);
    if (!change) return std::nullopt;
    return WindowChange{change->At, change->InForce ? &WindowAt(config, *change->InForce) : nullptr};
}

std::vector<Coming> ComingsIntoForce(const Config& config, WallTime from, WallTime until)
{
    std::vector<Coming> comings;
    for (const TimetableComing& coming : ComingsIntoForce(TimetableOf(config), from, until)) {
        comings.push_back({&WindowAt(config, coming.InForce), coming.At});
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
