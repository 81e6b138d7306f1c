// The reminders are worked out on the wall clock, like the windows: "in 10 minutes" counts the
// minutes the clocks on the wall will show.
#include "plugin/rates/Reminders.h"

#include <algorithm>
#include <string>

#include "plugin/config/Windows.h"
#include "plugin/host/Framework.h"
#include "plugin/log/PluginLog.h"
#include "plugin/messaging/Messaging.h"
#include "plugin/messaging/Patterns.h"
#include "plugin/rates/SwitchRecords.h"
#include "plugin/rates/WeekendState.h"

namespace qv {

namespace {

constexpr float kNotificationScale = 1.2f;
constexpr float kNotificationSeconds = 8.0f;

// The pattern's length was bounded when the config was decoded, so formatting cannot blow up.
void Remind(const Config& config, const Window& window, std::int32_t minutes)
{
    const std::wstring pattern = ReminderPattern(config);
    const std::wstring name = Framework::Utf8Decode(std::string(window.Id.DisplayName()));
    const std::optional<std::wstring> formatted = FormatReminder(pattern, minutes, name);
    if (!formatted)
        LogWarning("ReminderMessage is not a valid message (use {minutes}, {time_left} and {name}); sent as written");
    const std::wstring& text = formatted ? *formatted : pattern;
    const MessageColor color = LookOf(config, window).EnabledColor;
    if (config.Notification) {
        BroadcastNotification(color, kNotificationScale, kNotificationSeconds, EscapeBraces(text));
    }
    if (config.Chatbox) BroadcastChat(config.ServerName, color, text);
}

} // namespace

std::optional<DueReminder> NextDueReminder(const Config& config, WallSeconds wall, bool manualWeekend,
                                           ReminderMemory& memory)
{
    if (config.Reminders.empty()) return std::nullopt;
    const std::optional<WindowChange> change = NextChange(config, wall);
    if (!change || change->InForce == nullptr) return std::nullopt;
    const Window& window = *change->InForce;
    if (window.Id.IsWeekly() && manualWeekend) return std::nullopt;
    // A window that is open already and only comes into force when another closes does not "start".
    if (IsOpen(window, FromWallSeconds(change->At - 1))) return std::nullopt;

    // Openings that have passed are forgotten; a handful is all a server ever has ahead.
    auto& openings = memory.Openings;
    openings.erase(std::remove_if(openings.begin(), openings.end(),
                                  [&](const ReminderMemory::Opening& opening) { return opening.At <= wall; }),
                   openings.end());
    // Every lead that has come; one message covers them all, unless it was announced already.
    const WallSeconds left = change->At - wall;
    std::int32_t shortestDue = 0;
    for (const std::int32_t lead : config.Reminders) {
        if (WallSeconds{lead} * 60 >= left && (shortestDue == 0 || lead < shortestDue)) shortestDue = lead;
    }
    if (shortestDue == 0) return std::nullopt;
    auto reminded = std::find_if(openings.begin(), openings.end(), [&](const ReminderMemory::Opening& opening) {
        return opening.Window == window.Id && opening.At == change->At;
    });
    if (reminded == openings.end()) reminded = openings.insert(openings.end(), {window.Id, change->At});
    if (shortestDue >= reminded->Within) return std::nullopt;
    reminded->Within = shortestDue;
    return DueReminder{&window, static_cast<std::int32_t>((left + 59) / 60)};
}

void SendDueReminders(const LocalTime& now)
{
    const Config& config = ConfigInForce;
    const std::optional<DueReminder> due =
        NextDueReminder(config, ToWallSeconds(now), Weekend.ManualWeekendActive(), Weekend.Reminders);
    if (!due) return;
    Remind(config, *due->InForce, due->Minutes);
    LogInfo(RecordText({SwitchEvent::ReminderSent, due->InForce->Id, due->Minutes}));
}

} // namespace qv
