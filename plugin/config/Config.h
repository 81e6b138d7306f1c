// The config as the plug-in uses it: every setting and every window with the values it writes,
// decoded once from the file (DecodeConfig).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "plugin/config/TypedReads.h"
#include "plugin/config/Window.h"
#include "plugin/host/Colors.h"
#include "plugin/host/FString.h"
#include "plugin/schedule/LocalClock.h"

namespace qv {

struct Config {
    // False for the settings a freshly loaded library starts with, before any file was taken.
    bool FromFile = false;

    FString ServerName;
    bool Notification = true;
    bool Chatbox = false;
    MessageColor EnabledColor{0.0f, 1.0f, 0.0f, 1.0f};
    FString EnabledMessage;
    MessageColor DisabledColor{1.0f, 0.0f, 0.0f, 1.0f};
    FString DisabledMessage;
    bool MOTDChangeEnabled = false;
    FString WeekendMOTD;
    FString NormalMOTD;
    std::int32_t StartDay = 0;
    std::int32_t EndDay = 0;
    // Optional: a file without them behaves as if they were "00:00", no schedules, no reminders
    // and no status command.
    TimeOfDay StartTime;
    TimeOfDay EndTime;
    std::vector<Window> Schedules;       // in file order
    std::vector<std::int32_t> Reminders; // minutes before a window opens
    FString ReminderMessage;             // empty: the default text
    std::string StatusCommand;           // empty: none
    // The main section's multipliers multiply the server's normal values instead of replacing them.
    bool RelativeRates = false;
    // Without a zone the times are the host's local time.
    std::optional<TimeZone> Zone;
    // Switches and reminders at their second rather than at the next regular evaluation.
    bool ExactSwitching = false;
    // What the weekly window is called; empty: "Weekend".
    WeeklyName Name;
    // The weekly window's priority among the windows.
    WindowPriority Priority;
    // Told to a player who joins while boosted rates are in force, JoinMessageDelay after joining;
    // empty: no welcome. A schedule may have its own.
    FString JoinMessage;
    Seconds JoinMessageDelay{30}; // kLongestJoinMessageDelay at most
    // The administrators' commands are registered as RCON commands too, under their console names.
    bool RconCommands = false;

    // The window of StartDay, StartTime, EndDay and EndTime, with the main section's values. Before
    // a file was taken its values cannot be read.
    Window Weekly;
    // The windows in order of precedence, each by its place: i for Schedules[i], Schedules.size()
    // for the weekly window. Made once with the config (PrecedenceOf); empty for a config made by
    // hand, whose windows then come in their default order, the schedules before the weekly window.
    std::vector<std::size_t> Precedence;
};

// A client that has just joined needs a moment before it shows anything; ten minutes is more than any
// server wants to wait.
inline constexpr Seconds kLongestJoinMessageDelay{600};

// One row per member of the section, in the order they are read: its key, whether a file must have
// it, and the field its value goes into. The field's type chooses the typed read.
struct SettingRow {
    const char* Key;
    bool Required;
    std::variant<FString Config::*, bool Config::*, MessageColor Config::*, std::int32_t Config::*, TimeOfDay Config::*,
                 std::vector<Window> Config::*, std::vector<std::int32_t> Config::*, std::string Config::*,
                 std::optional<TimeZone> Config::*, Seconds Config::*, WeeklyName Config::*, WindowPriority Config::*>
        Field;
};
inline constexpr std::size_t kSettingCount = 26;
extern const std::array<SettingRow, kSettingCount> SettingsTable;

// The key the table gives a field, such as "QuorvandelleEnabledMessage" for EnabledMessage.
template <typename T>
const char* KeyOf(T Config::*field)
{
    for (const SettingRow& row : SettingsTable) {
        if (const auto* candidate = std::get_if<T Config::*>(&row.Field); candidate && *candidate == field) {
            return row.Key;
        }
    }
    return nullptr;
}

// The clock the config's times are read on: its TimeZone's, or the host's local time.
inline LocalClock ClockOf(const Config& config) { return LocalClock(config.Zone ? &*config.Zone : nullptr); }

// "Quorvandelle.<key>": the path by which problems name a member of the section.
std::string SectionMember(const char* key);

// The configured ReminderMessage, or the default text when there is none.
std::wstring ReminderPattern(const Config& config);
// The most minutes a reminder can say: a week.
inline constexpr std::int32_t kMostReminderMinutes = kMinutesPerWeek;
// Why a reminder of config could grow beyond what a message to players holds (its fields' format
// specs pad them too far), worked out without formatting anything; nothing when it cannot.
std::optional<std::string> ReminderLengthProblem(const Config& config);

} // namespace qv
