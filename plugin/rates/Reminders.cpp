// The reminders are worked out on the wall clock, like the windows: "in 10 minutes" counts the
// minutes the clocks on the wall will show.
#include "plugin/rates/Reminders.h"

#include <algorithm>
#include <string>

#include "plugin/config/PluginSettings.h"
#include "plugin/host/Framework.h"
#include "plugin/log/PluginLog.h"
#include "plugin/messaging/Messaging.h"
#include "plugin/messaging/Patterns.h"
#include "plugin/rates/WeekendState.h"
#include "plugin/rates/Windows.h"

namespace {

constexpr float kNotificationScale = 1.2f;
constexpr float kNotificationSeconds = 8.0f;
const wchar_t* const kDefaultReminder = L"Boosted rates ({name}) start in {minutes} minutes";

void Remind(int window, std::int32_t minutes)
{
    const std::wstring pattern = ReminderPattern(PluginSettings);
    const std::wstring name = Framework::Utf8Decode(DisplayName(PluginSettings, window));
    const std::optional<std::wstring> formatted = FormatReminder(pattern, minutes, name);
    if (!formatted) LogWarning("ReminderMessage is not a valid message (use {minutes} and {name}); sent as written");
    const std::wstring& text = formatted ? *formatted : pattern;
    const MessageColor color = LookOf(PluginSettings, window).EnabledColor;
    if (PluginSettings.Notification) {
        BroadcastNotification(color, kNotificationScale, kNotificationSeconds, EscapeBraces(text));
    }
    if (PluginSettings.Chatbox) BroadcastChat(color, text);
}

} // namespace

std::optional<DueReminder> NextDueReminder(const Settings& settings, WallSeconds wall, bool manualWeekend,
                                           ReminderMemory& memory)
{
    if (settings.Reminders.empty()) return std::nullopt;
    const std::optional<WindowChange> change = NextChange(settings, wall);
    if (!change || !change->Window) return std::nullopt;
    const int window = *change->Window;
    if (window == kWeeklyWindow && manualWeekend) return std::nullopt;
    // A window that is open already and only comes into force when another closes does not "start".
    if (IsOpen(settings, window, FromWallSeconds(change->At - 1))) return std::nullopt;

    // Openings that have passed are forgotten; a handful is all a server ever has ahead.
    auto& openings = memory.Openings;
    openings.erase(std::remove_if(openings.begin(), openings.end(),
                                  [&](const ReminderMemory::Opening& opening) { return opening.At <= wall; }),
                   openings.end());
    // Every lead that has come; one message covers them all, unless it was announced already.
    const WallSeconds left = change->At - wall;
    std::int32_t shortestDue = 0;
    for (const std::int32_t lead : settings.Reminders) {
        if (WallSeconds{lead} * 60 >= left && (shortestDue == 0 || lead < shortestDue)) shortestDue = lead;
    }
    if (shortestDue == 0) return std::nullopt;
    const std::string& name = WindowName(settings, window);
    auto reminded = std::find_if(openings.begin(), openings.end(), [&](const ReminderMemory::Opening& opening) {
        return opening.Window == name && opening.At == change->At;
    });
    if (reminded == openings.end()) reminded = openings.insert(openings.end(), {name, change->At});
    if (shortestDue >= reminded->Within) return std::nullopt;
    reminded->Within = shortestDue;
    return DueReminder{window, static_cast<std::int32_t>((left + 59) / 60)};
}

std::wstring ReminderPattern(const Settings& settings)
{
    return settings.ReminderMessage.IsEmpty() ? kDefaultReminder : settings.ReminderMessage.ToWide();
}

void SendDueReminders(const LocalTime& now)
{
    const std::optional<DueReminder> due =
        NextDueReminder(PluginSettings, ToWallSeconds(now), Weekend.ManualWeekendActive, Weekend.Reminders);
    if (!due) return;
    Remind(due->Window, due->Minutes);
    LogInfo("Reminder sent: " + DisplayName(PluginSettings, due->Window) + " in " + std::to_string(due->Minutes) +
            " minutes");
}
