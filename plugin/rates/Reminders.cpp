// The reminders are worked out on the wall clock, like the windows, and told in real minutes: the
// moment a window comes into force is placed among instants on the config's clock, across a change
// of the clocks too.
#include "plugin/rates/Reminders.h"

#include <algorithm>
#include <string>

#include "plugin/config/LoadConfig.h"
#include "plugin/config/Windows.h"
#include "plugin/host/Framework.h"
#include "plugin/log/PluginLog.h"
#include "plugin/messaging/Messaging.h"
#include "plugin/messaging/Patterns.h"
#include "plugin/schedule/LocalClock.h"
#include "plugin/schedule/Openings.h"

namespace qv {

namespace {

// How much further than the longest lead the schedule looks for comings: well beyond the time
// between two regular evaluations, so that a reminder's moment is known before it falls due.
constexpr Seconds kLookAhead = Hours{1};

bool Contains(const std::vector<WindowId>& ids, const WindowId& id)
{
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}

// The shortest of the leads whose moment before at has come by now; 0 when none has. The moments
// still ahead go to earlier.
template <typename Earlier>
std::int32_t ShortestLeadDue(const std::vector<std::int32_t>& leads, Instant at, Instant now, Earlier&& earlier)
{
    std::int32_t shortest = 0;
    for (const std::int32_t lead : leads) {
        const Instant moment = at - Minutes{lead};
        if (moment > now) {
            earlier(moment);
        } else if (shortest == 0 || lead < shortest) {
            shortest = lead;
        }
    }
    return shortest;
}

// Whether a reminder with that lead for the window's coming at says something new: the memory keeps
// the shortest lead announced for each coming, and takes this one.
bool News(ReminderMemory& memory, const WindowId& window, WallTime at, std::int32_t lead)
{
    auto& openings = memory.Openings;
    auto reminded = std::find_if(openings.begin(), openings.end(), [&](const ReminderMemory::Opening& opening) {
        return opening.At == at && opening.Window == window;
    });
    if (reminded == openings.end()) reminded = openings.insert(openings.end(), {window, at});
    if (lead >= reminded->Within) return false;
    reminded->Within = lead;
    return true;
}

} // namespace

// The pattern's length was bounded when the config was decoded, so formatting cannot blow up.
void SendReminder(const Config& config, const Window& window, std::int32_t minutes)
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

std::string WithheldReminders(const Window& window)
{
    return "No reminders for " + std::string(window.Id.DisplayName()) +
           ": it cannot switch on, nothing would change: " + DescribeAll(ConfigPath(), window.Rates.Unreadable);
}

ReminderCheck CheckReminders(const Config& config, Instant now, WallTime wall, bool manualWeekend,
                             ReminderMemory& memory)
{
    ReminderCheck check;
    if (config.Reminders.empty()) return check;
    const Minutes longest{*std::max_element(config.Reminders.begin(), config.Reminders.end())};
    const Window* inForce = WindowInForceAt(config, wall);

    // Comings that have passed are forgotten; a handful is all a server ever has ahead.
    auto& openings = memory.Openings;
    openings.erase(std::remove_if(openings.begin(), openings.end(),
                                  [&](const ReminderMemory::Opening& opening) { return opening.At <= wall; }),
                   openings.end());
    // A coming beyond the look ahead has its reminders after the moment the clock shows wall +
    // kLookAhead; the schedule looks again by then.
    const LocalClock localClock = ClockOf(config);
    const ClockAhead clock(localClock, now);
    check.NextMoment = clock.FirstInstantShowing(wall + kLookAhead, now);
    // As far as the clock will show then: across an hour the clocks skip, further than the real time.
    const Seconds ahead = longest + kLookAhead;
    WallTime until = wall + ahead;
    if (const std::optional<WallTime> then = clock.WallAt(now + ahead)) until = std::max(until, *then);
    const auto earlier = [&](Instant moment) {
        if (!check.NextMoment || moment < *check.NextMoment) check.NextMoment = moment;
    };
    for (const Coming& coming : ComingsIntoForce(config, wall, until)) {
        const Window& window = *coming.InForce;
        if (&window == inForce || (window.Id.IsWeekly() && manualWeekend)) continue;
        // A window that was open the second before and only comes back into force as another one
        // closes has been on all along: nothing about it starts.
        if (IsOpenAt(window.Times, coming.At - Seconds{1})) continue;
        const Instant at = clock.FirstInstantShowing(coming.At, now);
        // A coming in an hour the clocks skip happens at the first moment after the gap, if the
        // window is in force by the clock then: one that lies wholly in the gap never comes.
        const std::optional<WallTime> shown = clock.WallAt(at);
        if (shown && *shown != coming.At && WindowInForceAt(config, *shown) != &window) continue;
        const Seconds left = at - now;
        if (left > longest) {
            earlier(at - longest);
            continue;
        }
        if (!window.Rates.Readable()) {
            if (!Contains(memory.Withheld, window.Id)) {
                memory.Withheld.push_back(window.Id);
                check.Withheld.push_back(&window);
            }
            continue;
        }
        // Every lead that has come; one message covers them all, unless it was announced already.
        const std::int32_t shortestDue = ShortestLeadDue(config.Reminders, at, now, earlier);
        if (shortestDue == 0 || !News(memory, window.Id, coming.At, shortestDue)) continue;
        check.Due.push_back({&window, static_cast<std::int32_t>(std::chrono::ceil<Minutes>(left).count())});
    }
    return check;
}

} // namespace qv
