// The config's windows as a timetable for the schedule's walk, and what each shows.
#include "plugin/config/Windows.h"

#include <algorithm>

namespace qv {

std::string_view WindowId::DisplayName() const
{
    return weekly_ && name_.empty() ? kWeeklyWindowName : std::string_view(name_);
}

namespace {

// The window of a place as Config::Precedence counts them.
const Window& WindowOfIndex(const Config& config, std::size_t index)
{
    return index < config.Schedules.size() ? config.Schedules[index] : config.Weekly;
}

// The index of the window at a place of the order; a config made by hand has the default order.
std::size_t IndexAt(const Config& config, std::size_t place)
{
    return config.Precedence.size() == config.Schedules.size() + 1 ? config.Precedence[place] : place;
}

} // namespace

std::vector<std::size_t> PrecedenceOf(const Config& config)
{
    std::vector<std::size_t> order(config.Schedules.size() + 1);
    for (std::size_t index = 0; index < order.size(); ++index) order[index] = index;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return WindowOfIndex(config, a).Priority.Value > WindowOfIndex(config, b).Priority.Value;
    });
    return order;
}

Timetable TimetableOf(const Config& config)
{
    Timetable timetable;
    timetable.reserve(config.Schedules.size() + 1);
    for (std::size_t place = 0; place <= config.Schedules.size(); ++place) {
        timetable.push_back(&WindowAt(config, place).Times);
    }
    return timetable;
}

const Window& WindowAt(const Config& config, std::size_t place)
{
    return WindowOfIndex(config, IndexAt(config, place));
}

std::size_t PlaceOf(const Config& config, const Window& window)
{
    const std::size_t index = ScheduleIndex(config, window).value_or(config.Schedules.size());
    for (std::size_t place = 0; place < config.Schedules.size(); ++place) {
        if (IndexAt(config, place) == index) return place;
    }
    return config.Schedules.size();
}

std::vector<const Window*> WindowsInOrder(const Config& config)
{
    std::vector<const Window*> windows;
    for (std::size_t place = 0; place <= config.Schedules.size(); ++place) windows.push_back(&WindowAt(config, place));
    return windows;
}

bool UsesPriorities(const Config& config)
{
    for (const Window& schedule : config.Schedules) {
        if (schedule.Priority.Value != config.Weekly.Priority.Value) return true;
    }
    return false;
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
