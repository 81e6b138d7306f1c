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
    const std::wstring pattern =
        PluginSettings.ReminderMessage.IsEmpty() ? kDefaultReminder : PluginSettings.ReminderMessage.ToWide();
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

// The record of an opening, made when it is first reminded of.
WeekendState::Reminded& RemindedOf(const std::string& window, WallSeconds opening)
{
    auto& openings = Weekend.RemindedOpenings;
    for (auto& reminded : openings) {
        if (reminded.Window == window && reminded.Opening == opening) return reminded;
    }
    return openings.emplace_back(WeekendState::Reminded{window, opening});
}

} // namespace

void SendDueReminders(const LocalTime& now)
{
    if (PluginSettings.Reminders.empty()) return;
    const WallSeconds wall = ToWallSeconds(now);
    const std::optional<WindowChange> change = NextChange(PluginSettings, wall);
    if (!change || !change->Window) return;
    const int window = *change->Window;
    if (window == kWeeklyWindow && Weekend.ManualWeekendActive) return;
    // A window that is open already and only comes into force when another closes does not "start".
    if (IsOpen(PluginSettings, window, FromWallSeconds(change->At - 1))) return;

    // Openings that have passed are forgotten; a handful is all a server ever has ahead.
    auto& openings = Weekend.RemindedOpenings;
    openings.erase(std::remove_if(openings.begin(), openings.end(),
                                  [&](const WeekendState::Reminded& reminded) { return reminded.Opening <= wall; }),
                   openings.end());
    // Every lead that has come; one message covers them all, unless it was announced already.
    const WallSeconds left = change->At - wall;
    std::int32_t shortestDue = 0;
    for (const std::int32_t lead : PluginSettings.Reminders) {
        if (WallSeconds{lead} * 60 >= left && (shortestDue == 0 || lead < shortestDue)) shortestDue = lead;
    }
    if (shortestDue == 0) return;
    WeekendState::Reminded& reminded = RemindedOf(WindowName(PluginSettings, window), change->At);
    if (shortestDue >= reminded.Within) return;
    reminded.Within = shortestDue;
    Remind(window, static_cast<std::int32_t>((left + 59) / 60));
    LogInfo("Reminder sent: " + DisplayName(PluginSettings, window) + " in " + std::to_string((left + 59) / 60) +
            " minutes");
}
