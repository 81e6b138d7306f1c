// The settings table, and what the settings say about reminders.
#include "plugin/config/Config.h"

#include "plugin/config/ConfigParser.h"
#include "plugin/messaging/Patterns.h"

#include <algorithm>
#include <limits>

namespace qv {

const std::array<SettingRow, kSettingCount> SettingsTable = {{
    {"ServerName", true, &Config::ServerName},
    {"Notification", true, &Config::Notification},
    {"Chatbox", true, &Config::Chatbox},
    {"QuorvandelleEnabledRGB", true, &Config::EnabledColor},
    {"QuorvandelleEnabledMessage", true, &Config::EnabledMessage},
    {"QuorvandelleDisabledRGB", true, &Config::DisabledColor},
    {"QuorvandelleDisabledMessage", true, &Config::DisabledMessage},
    {"MOTDChangeEnabled", true, &Config::MOTDChangeEnabled},
    {"WeekendMOTD", true, &Config::WeekendMOTD},
    {"NormalMOTD", true, &Config::NormalMOTD},
    {"StartDay", true, &Config::StartDay},
    {"EndDay", true, &Config::EndDay},
    {"StartTime", false, &Config::StartTime},
    {"EndTime", false, &Config::EndTime},
    {"Schedules", false, &Config::Schedules},
    {"Reminders", false, &Config::Reminders},
    {"ReminderMessage", false, &Config::ReminderMessage},
    {"StatusCommand", false, &Config::StatusCommand},
    {"RelativeRates", false, &Config::RelativeRates},
    {"TimeZone", false, &Config::Zone},
    {"ExactSwitching", false, &Config::ExactSwitching},
    {"Name", false, &Config::Name},
    {"Priority", false, &Config::Priority},
    {"JoinMessage", false, &Config::JoinMessage},
    {"JoinMessageDelay", false, &Config::JoinMessageDelay},
    {"RconCommands", false, &Config::RconCommands},
}};

std::wstring ReminderPattern(const Config& config)
{
    return config.ReminderMessage.IsEmpty() ? L"Boosted rates ({name}) start in {time_left}"
                                            : config.ReminderMessage.ToWide();
}

std::optional<std::string> ReminderLengthProblem(const Config& config)
{
    const std::wstring pattern = ReminderPattern(config);
    const std::size_t longest = LongestReminder(pattern, kLongestWindowName, kMostReminderMinutes);
    // A width of a billion would build a billion characters for every player at every reminder.
    const std::size_t allowed = std::max(pattern.size(), kReplyLength);
    if (longest <= allowed) return std::nullopt;
    if (longest == std::numeric_limits<std::size_t>::max()) {
        return std::string("a field takes its width or precision from a value; write the width as a number");
    }
    return "its fields' widths make a reminder of up to " + std::to_string(longest) + " characters; at most " +
           std::to_string(allowed) + " are allowed";
}

std::string SectionMember(const char* key) { return std::string(kSectionName) + "." + key; }

} // namespace qv
