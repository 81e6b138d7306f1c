// Every load of config.json ends here, and is reported in one place: the log always, and on a
// reload the administrator who asked. A load is prepared whole before anything in force changes:
// reading, parsing and decoding the file, its warnings, the status command's name, the reminder's
// length, and every text of the report. Only then is the config committed, which cannot fail, and
// the status command and the hook on joins follow it. "Config Reloaded!" follows only a committed
// load; any failure before the commit, an exception included, leaves everything as it was and is
// told in red.
#include "plugin/commands/ReloadCommands.h"

#include <algorithm>
#include <exception>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "plugin/commands/NewPlayerHook.h"
#include "plugin/commands/RconCommands.h"
#include "plugin/commands/Registrations.h"
#include "plugin/config/Config.h"
#include "plugin/config/LoadConfig.h"
#include "plugin/host/Clock.h"
#include "plugin/host/Colors.h"
#include "plugin/host/Game.h"
#include "plugin/log/PluginLog.h"
#include "plugin/messaging/Messaging.h"
#include "plugin/messaging/Patterns.h"
#include "plugin/rates/Decisions.h"
#include "plugin/rates/Executor.h"

namespace qv {

namespace {

constexpr ByteColor ReloadReplyColor{0, 255, 0, 255};
constexpr ByteColor ReloadFailureColor{255, 0, 0, 255};
constexpr ByteColor ReloadWarningColor{255, 191, 0, 255};

// The commit is a move: it must not be able to throw half-way.
static_assert(std::is_nothrow_move_assignable_v<Config>, "committing a config cannot fail");

enum class Occasion { StartUp, Reload };

// Everything a load will say, worked out before it changes anything.
struct Report {
    std::vector<std::string> warnings; // log records
    std::string closing;               // the log record after the warnings
    ActionList renamed;                // before them: the window in force keeps its values under a new name
    std::string warningReply;          // empty: none
};

// One record a warning, up to a bound: a file can hold any number of stray members.
Report Prepare(const ConfigLoad& load, Occasion occasion)
{
    constexpr std::size_t kMostLogged = 50;
    Report report;
    const ConfigProblems warnings = LoadWarnings(load.Decoded);
    for (std::size_t i = 0; i < warnings.size() && i < kMostLogged; ++i) {
        report.warnings.push_back(DescribeAll(load.File, {warnings[i]}));
    }
    if (warnings.size() > kMostLogged) {
        report.warnings.push_back(load.File + ": " + std::to_string(warnings.size() - kMostLogged) +
                                  " more warnings; quorvandelle check lists them all");
    }
    report.closing = occasion == Occasion::StartUp ? "Loaded " + load.File : "Config reloaded from " + load.File;
    // The administrator who reloads may never read the server's log. The text quotes the file,
    // which may hold braces; the reply text is a pattern.
    if (occasion == Occasion::Reload && !warnings.empty()) {
        const std::string count = std::to_string(warnings.size()) + (warnings.size() == 1 ? " warning" : " warnings");
        report.warningReply = EscapeBraces(count + " about " + DescribeAll(load.File, warnings, kReplyLength));
    }
    return report;
}

void Refuse(Occasion occasion, const Asker& asker, const std::string& logged, const std::string& replied)
{
    if (occasion == Occasion::StartUp) {
        LogError("Config not loaded, running with the initial settings: " + logged);
        return;
    }
    LogError("Config reload failed, the settings in force are kept: " + logged);
    Tell(asker, ToMessageColor(ReloadFailureColor), EscapeBraces("Config reload failed: " + replied));
}

void LoadAndReport(Occasion occasion, const Asker& asker)
{
    std::optional<Config> next;
    Report report;
    std::string file = ConfigPath();
    const Instant now = Clock::Now();
    try {
        ConfigLoad load = LoadConfig(now);
        file = load.File;
        if (occasion == Occasion::StartUp && load.FileMissing()) {
            LogWarning(load.File + " not found; running with the initial settings");
            return;
        }
        if (!load.Loaded()) {
            Refuse(occasion, asker, DescribeAll(load.File, load.Decoded.Errors),
                   DescribeAll(load.File, load.Decoded.Errors, kReplyLength));
            return;
        }
        report = Prepare(load, occasion);
        next = std::move(load.Decoded.Value);
        if (const std::optional<WindowId> renamed = RenamedWindowInForce(State.Settings, *next, State.Boost)) {
            report.renamed = {action::Rename{*renamed},
                              action::Log{LogLevel::Info, "Window \"" + std::string(State.Boost.InForce.DisplayName()) +
                                                              "\" is now called \"" +
                                                              std::string(renamed->DisplayName()) +
                                                              "\"; it stays in force and is not announced again"}};
        }
    } catch (const std::exception& error) {
        // Out of memory, most likely: nothing has changed.
        const std::string reason = file + ": the load failed (" + error.what() + ")";
        Refuse(occasion, asker, reason, reason);
        return;
    }

    State.Settings = std::move(*next);
    State.Schedule = MemoryAfterLoad(State.Settings, std::move(State.Schedule), now, occasion == Occasion::Reload);
    RefreshWakeAt(State);
    // The window in force under a new name is the same window: it is not announced again.
    Perform(report.renamed);
    for (const std::string& warning : report.warnings) LogWarning(warning);
    // What the host refused; each is tried again at the next reload.
    std::vector<std::string> refused;
    if (occasion == Occasion::Reload) {
        refused.push_back(FollowStatusCommand());
        refused.push_back(FollowRconCommands());
    }
    refused.push_back(FollowWelcomes());
    refused.erase(std::remove(refused.begin(), refused.end(), std::string()), refused.end());
    const std::string loaded = occasion == Occasion::StartUp ? "Config loaded, but " : "Config reloaded, but ";
    for (const std::string& failure : refused) LogError(loaded + failure);
    LogInfo(report.closing);
    if (occasion == Occasion::StartUp) return;
    Tell(asker, ToMessageColor(ReloadReplyColor), "Config Reloaded!");
    for (const std::string& failure : refused) {
        Tell(asker, ToMessageColor(ReloadFailureColor), EscapeBraces(loaded + failure));
    }
    if (!report.warningReply.empty()) Tell(asker, ToMessageColor(ReloadWarningColor), report.warningReply);
}

} // namespace

void LoadConfigAtStartup() { LoadAndReport(Occasion::StartUp, nullptr); }

void ReloadConfig(const Asker& asker) { LoadAndReport(Occasion::Reload, asker); }

void ReloadConfigChatCommand(AShooterPlayerController* player, FString*, EChatSendMode::Type)
{
    if (!Game::IsAdministrator(player, Game::PlayerStateCheck::Required)) return;
    LoadAndReport(Occasion::Reload, player);
}

void ReloadConfigConsoleCommand(APlayerController* player, FString*, bool)
{
    // The host hands the console's controller as the game's base class; it is the same object.
    LoadAndReport(Occasion::Reload, reinterpret_cast<AShooterPlayerController*>(player));
}

} // namespace qv
