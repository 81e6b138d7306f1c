// Random sequences, weighted toward what makes switches happen: timer calls up to and around the
// evaluations, days passing, toggles, reloads of changed files, and, with windows, the clock set
// so that an evaluation falls just before or after a window opens, closes or is due a reminder.
#include "tests/model/Sequence.h"

#include <cctype>
#include <sstream>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "tests/model/Configs.h"

namespace model {

namespace {

struct Weighted {
    ActionType type;
    int weight;
};

const Weighted kWeights[] = {
    {ActionType::Timer, 14},        {ActionType::TimerToCheck, 12},
    {ActionType::GameModeAway, 2},  {ActionType::GameModeBack, 3},
    {ActionType::DaysPass, 9},      {ActionType::WriteConfig, 10},
    {ActionType::RemoveConfig, 1},  {ActionType::ChatReload, 5},
    {ActionType::ConsoleReload, 2}, {ActionType::ServerConsoleReload, 3},
    {ActionType::Toggle, 10},       {ActionType::ChatOther, 1},
    {ActionType::SetMultiplier, 3}, {ActionType::SetMotd, 1},
    {ActionType::Join, 3},          {ActionType::Leave, 2},
    {ActionType::SetAdmin, 1},      {ActionType::Unload, 2},
    {ActionType::Load, 3},
};

const Weighted kWindowWeights[] = {{ActionType::ClockTo, 16}, {ActionType::ClockBack, 3}, {ActionType::Status, 2}};
// Steps back of the clocks: within the hour that an evaluation bridges, and just beyond it.
const int kClockSteps[] = {60, 600, 1800, 3540, 3600, 3601, 7200};

// Seconds from a boundary at which the evaluation falls: either side of it, and a whole period.
const int kClockOffsets[] = {-900, -601, -300, -60, -1, 0, 1, 59, 300, 601};

const int kTimerCalls[] = {1, 2, 10, 29, 30, 31, 32, 100, 599, 600, 601, 602, 1202};

Player RandomPlayer(Rng& rng)
{
    Player player;
    switch (rng.Below(5)) {
    case 0:
    case 1:
        player.admin = true;
        break;
    case 2:
        break;
    case 3:
        player.admin = rng.Percent(50);
        player.hasPlayerState = false;
        break;
    default:
        player.hasCharacter = false;
        break;
    }
    return player;
}

std::string CommandLine(Rng& rng, const char* command)
{
    std::string line = command;
    // The host matches the command word whatever its ASCII case; text after it is not looked at.
    if (rng.Percent(15)) {
        for (char& c : line) {
            if (c >= 'a' && c <= 'z' && rng.Percent(50)) c = static_cast<char>(c - 'a' + 'A');
        }
    }
    if (rng.Percent(15)) line += " now please {}";
    return line;
}

// A moment near which something happens in the settings: a window of them opening or closing, or
// a reminder before an opening coming due.
void ClockTarget(Rng& rng, const Settings& settings, Action& action)
{
    const auto weekday = [](std::int64_t day) { return ((day % 7) + 7) % 7; };
    std::vector<std::pair<bool, Wall>> moments = {{false, weekday(settings.startDay) * kDay + settings.startTime * 60},
                                                  {false, weekday(settings.endDay) * kDay + settings.endTime * 60}};
    for (const Window& window : settings.windows) {
        if (!window.weekly) {
            moments.push_back({true, window.start});
            moments.push_back({true, window.end});
            continue;
        }
        const int run = window.until > window.from ? window.until - window.from : window.until - window.from + 1440;
        for (int day = 0; day < 7; ++day) {
            if ((window.days >> day & 1) == 0) continue;
            moments.push_back({false, day * kDay + window.from * 60});
            moments.push_back({false, (day * kDay + (window.from + run) * 60) % kWeek});
        }
    }
    const auto& moment = moments[rng.Below(moments.size())];
    action.flag = moment.first;
    action.seconds = moment.second;
    if (!settings.reminders.empty() && rng.Percent(40)) {
        action.seconds -= Wall{settings.reminders[rng.Below(settings.reminders.size())]} * 60;
        if (!action.flag) action.seconds = ((action.seconds % kWeek) + kWeek) % kWeek;
    }
    action.offset = rng.Pick(kClockOffsets);
}

// What the actions of a sequence with windows are drawn around: its start, and the settings of
// the last config written that loads.
struct WindowContext {
    Wall start = 0;
    Settings latest;
};

Action Random(Rng& rng, WindowContext* windows)
{
    int total = 0;
    for (const auto& entry : kWeights) total += entry.weight;
    if (windows != nullptr) {
        for (const auto& entry : kWindowWeights) total += entry.weight;
    }
    int roll = static_cast<int>(rng.Below(static_cast<std::uint64_t>(total)));
    ActionType type = ActionType::Timer;
    const auto pick = [&](const auto& table) {
        for (const auto& entry : table) {
            if (roll < entry.weight) {
                type = entry.type;
                return true;
            }
            roll -= entry.weight;
        }
        return false;
    };
    if (!pick(kWeights) && windows != nullptr) pick(kWindowWeights);

    Action action;
    action.type = type;
    action.pick = static_cast<std::uint32_t>(rng.Below(1u << 16));
    switch (type) {
    case ActionType::Timer:
        action.count = rng.Pick(kTimerCalls);
        break;
    case ActionType::TimerToCheck:
        action.offset = static_cast<int>(rng.Below(3)) - 1;
        break;
    case ActionType::DaysPass:
        action.count = rng.Percent(70) ? 1 : static_cast<int>(rng.Below(8));
        action.seconds = rng.Percent(40) ? static_cast<std::int64_t>(rng.Below(86400)) : 0;
        break;
    case ActionType::WriteConfig: {
        const ConfigKind kinds[] = {ConfigKind::Good,      ConfigKind::Good,  ConfigKind::Good,
                                    ConfigKind::Good,      ConfigKind::Good,  ConfigKind::UnreadableWeekend,
                                    ConfigKind::HalfValid, ConfigKind::Broken};
        ConfigScope scope;
        if (windows != nullptr) scope = {true, windows->start};
        action.config = std::make_shared<const ConfigFile>(MakeConfig(rng, rng.Pick(kinds), scope));
        if (windows != nullptr && action.config->loads) windows->latest = action.config->settings;
        break;
    }
    case ActionType::ClockTo:
        ClockTarget(rng, windows->latest, action);
        break;
    case ActionType::ClockBack:
        action.seconds = rng.Pick(kClockSteps);
        break;
    case ActionType::Status: {
        const std::string& configured = windows->latest.statusCommand;
        action.text = configured.empty() || rng.Percent(15) ? "/rates" : configured;
        if (rng.Percent(20)) {
            for (char& c : action.text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
        break;
    }
    case ActionType::ChatReload:
        action.text = CommandLine(rng, "/qvreload");
        break;
    case ActionType::ConsoleReload:
    case ActionType::ServerConsoleReload:
        action.text = CommandLine(rng, "qvreload");
        break;
    case ActionType::Toggle:
        action.text = CommandLine(rng, "/ToggleQuorvandelle");
        break;
    case ActionType::ChatOther: {
        const char* const lines[] = {"hello", "/qvreloadx", "qvreload", "/toggle", "/ToggleQuorvandelleNow"};
        action.text = rng.Pick(lines);
        break;
    }
    case ActionType::SetMultiplier: {
        const float values[] = {0.0f, 1.0f, 2.5f, -3.0f, 0.125f, 1000.0f};
        action.row = static_cast<std::size_t>(rng.Below(kRows));
        action.value = rng.Pick(values);
        break;
    }
    case ActionType::SetMotd:
        action.text = rng.Percent(50) ? "Set by the server" : "";
        break;
    case ActionType::Join:
        action.player = RandomPlayer(rng);
        break;
    case ActionType::SetAdmin:
        action.flag = rng.Percent(50);
        break;
    default:
        break;
    }
    return action;
}

std::string DescribePlayer(const Player& player)
{
    std::string text = player.admin ? "administrator" : "player";
    if (!player.hasCharacter) text += " without character";
    if (!player.hasPlayerState) text += " without player state";
    return text;
}

} // namespace

Sequence MakeSequence(std::uint64_t seed, std::size_t length, bool windows)
{
    Rng rng(seed * 0x9E3779B97F4A7C15ull + (windows ? 2 : 1));
    Sequence sequence;
    sequence.seed = seed;
    sequence.windows = windows;
    sequence.year = 2026 + static_cast<int>(rng.Below(2));
    sequence.month = 1 + static_cast<int>(rng.Below(12));
    sequence.day = 1 + static_cast<int>(rng.Below(28));
    sequence.hour = static_cast<int>(rng.Below(24));

    WindowContext context;
    context.start = WallOf(sequence.year, sequence.month, sequence.day, sequence.hour, 0, 0);
    Action write;
    write.type = ActionType::WriteConfig;
    write.config = std::make_shared<const ConfigFile>(
        MakeConfig(rng, ConfigKind::Good, windows ? ConfigScope{true, context.start} : ConfigScope{}));
    context.latest = write.config->settings;
    sequence.actions.push_back(write);
    Action admin;
    admin.type = ActionType::Join;
    admin.player.admin = true;
    sequence.actions.push_back(admin);
    Action player;
    player.type = ActionType::Join;
    sequence.actions.push_back(player);
    Action load;
    load.type = ActionType::Load;
    sequence.actions.push_back(load);

    for (std::size_t i = 0; i < length; ++i) sequence.actions.push_back(Random(rng, windows ? &context : nullptr));
    return sequence;
}

std::string Describe(const Action& action)
{
    std::ostringstream text;
    const auto who = [&] { return "the connected player at " + std::to_string(action.pick) + " mod their count"; };
    switch (action.type) {
    case ActionType::Timer:
        text << "timer x" << action.count;
        break;
    case ActionType::TimerToCheck:
        text << "timer up to the next evaluation " << (action.offset >= 0 ? "+" : "") << action.offset;
        break;
    case ActionType::GameModeAway:
        text << "game mode removed";
        break;
    case ActionType::GameModeBack:
        text << "game mode restored";
        break;
    case ActionType::DaysPass:
        text << action.count << " day(s) and " << action.seconds << " s pass";
        break;
    case ActionType::WriteConfig:
        text << "config written (" << action.config->label << "): " << action.config->text.size() << " bytes";
        break;
    case ActionType::RemoveConfig:
        text << "config removed";
        break;
    case ActionType::ChatReload:
    case ActionType::Toggle:
        text << "chat '" << action.text << "' from " << who();
        break;
    case ActionType::ConsoleReload:
        text << "console '" << action.text << "' from " << who();
        break;
    case ActionType::ServerConsoleReload:
        text << "server console '" << action.text << "'";
        break;
    case ActionType::ChatOther:
        text << "chat '" << action.text << "' (no command) from " << who();
        break;
    case ActionType::SetMultiplier:
        text << "something else sets " << FieldName(action.row) << " = " << action.value;
        break;
    case ActionType::SetMotd:
        text << "the server sets the message of the day '" << action.text << "'";
        break;
    case ActionType::Join:
        text << "joins: " << DescribePlayer(action.player);
        break;
    case ActionType::Leave:
        text << "leaves: " << who();
        break;
    case ActionType::SetAdmin:
        text << (action.flag ? "made administrator: " : "no longer administrator: ") << who() << " with a character";
        break;
    case ActionType::Unload:
        text << "plug-in library unloaded";
        break;
    case ActionType::Load:
        text << "plug-in library loaded";
        break;
    case ActionType::ClockTo:
        text << "clock set so that the next evaluation falls " << (action.offset >= 0 ? "+" : "") << action.offset
             << " s from ";
        if (action.flag) {
            text << "wall-clock second " << action.seconds << " (dated)";
        } else {
            text << "weekday " << action.seconds / kDay << " " << action.seconds % kDay / 3600 << ":"
                 << action.seconds % 3600 / 60 << " (the next such moment)";
        }
        break;
    case ActionType::ClockBack:
        text << "the clocks go back " << action.seconds << " s";
        break;
    case ActionType::Status:
        text << "chat '" << action.text << "' (the status command) from " << who();
        break;
    }
    return text.str();
}

std::string Describe(const Sequence& sequence)
{
    std::ostringstream text;
    text << "seed " << sequence.seed << ", starting " << sequence.year << "-" << sequence.month << "-" << sequence.day
         << " " << sequence.hour << ":00 local time" << (sequence.windows ? ", with windows" : "") << ", "
         << sequence.actions.size() << " actions:\n";
    for (std::size_t i = 0; i < sequence.actions.size(); ++i) {
        text << "  " << i + 1 << ". " << Describe(sequence.actions[i]) << "\n";
        const Action& action = sequence.actions[i];
        if (action.type == ActionType::WriteConfig) {
            text << "     file: "
                 << nlohmann::json(action.config->text).dump(-1, ' ', true, nlohmann::json::error_handler_t::replace)
                 << "\n";
        }
    }
    return text.str();
}

} // namespace model
