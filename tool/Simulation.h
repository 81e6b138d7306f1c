// The stand-in server with the real plug-in library, driven by actions and the simulated clock,
// and watched: every change it makes to the game, every message a player receives and every log
// record becomes an event.
#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "standin/server/Server.h"
#include "tool/Calendar.h"
#include "tool/Events.h"
#include "tool/ScriptParser.h"
#include "tool/ServerFolder.h"

namespace qvtool {

// An action that cannot be carried out (a player who is not connected, a file that cannot be read).
class ActionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The schedule's timing with the stand-in host's timer interval.
EvaluationTiming StandInTiming();

struct SimulationOptions {
    std::filesystem::path ConfigFile;
    Instant Start;
    std::filesystem::path Library; // the plug-in library to load
    // The clock of the config's times, on which the events are told; valid for the simulation's life.
    qv::LocalClock Clock;
    // The real clock, which timer calls leave alone (Start is then unused); otherwise a simulated one.
    bool RealClock = false;
    // Empty: a temporary server folder with a copy of ConfigFile. Otherwise the server's folder, made
    // when missing and kept, its config.json a link to ConfigFile (a copy where no link can be made).
    std::filesystem::path KeptFolder{};
};

class Simulation {
public:
    // Makes a temporary server folder and copies the config there; nothing runs yet.
    Simulation(SimulationOptions options, EventSink sink);
    // Stops the server and removes its folder.
    ~Simulation();
    Simulation(const Simulation&) = delete;
    Simulation& operator=(const Simulation&) = delete;

    // Sets the clock to the start and loads the plug-in, as a server starting up. days is only
    // reported (0: as long as a person drives it).
    void Start(int days);
    Instant Now() const;

    // Script and console actions other than the console's own queries. Relative config files
    // are taken from folder. Throws ActionError.
    void Execute(const Action& action, const std::filesystem::path& folder);

    // One timer call, and what it changed reported: for a run in real time, once a real second.
    void TimerCall();

    // A client of the game's RCON listener, and the command lines it sends, each reported with its
    // answer. Throws ActionError for a closed connection.
    standin::RconConnectionId OpenRconConnection();
    void CloseRconConnection(standin::RconConnectionId connection);
    standin::RconOutcome Rcon(standin::RconConnectionId connection, std::int32_t requestId, const std::string& line);

    // Timer calls, one host interval apart, until the clock reaches until. progress is called
    // now and then with the current time. Throws Interrupted when a signal has come.
    void RunUntil(Instant until, const std::function<void(Instant)>& progress = {});

    Fields Rates() const;
    std::string MessageOfTheDay() const;
    bool HasGameMode() const;
    bool PluginLoaded() const;
    // Connected players in the order they joined, with their administrator flag.
    std::vector<std::pair<std::string, bool>> Players() const;
    // Everything the player received, as events, with the time each arrived.
    std::vector<Event> InboxOf(const std::string& name) const;
    std::filesystem::path ConfigPath() const;

private:
    struct PlayerEntry {
        std::string Name;
        standin::PlayerId Id{};
        bool Admin = false;
        standin::InboxCursor Cursor; // the first message not reported yet
        std::vector<Instant> SeenAt; // when each message already reported arrived
    };

    SimulationOptions options_;
    EventSink sink_;
    ServerFolder folder_; // declared before the server, so that it goes after it
    std::unique_ptr<standin::Server> server_;
    std::vector<PlayerEntry> players_; // everyone who ever joined, in join order
    Fields rates_;
    Fields normalRates_;
    int motdChanges_ = 0;
    // The window whose values the plug-in's log last said were in force; empty: the normal values.
    std::string window_;
    std::uint64_t delivered_ = 0;
    std::int64_t timerCalls_ = 0;
    // The connection of the script's and the console's rcon actions, opened at the first, and the id
    // of its next request.
    std::optional<standin::RconConnectionId> actionsConnection_;
    std::int32_t nextRequestId_ = 1;

    void Emit(EventData what) const;
    PlayerEntry* Connected(const std::string& name);
    PlayerEntry& RequireConnected(const std::string& name);
    void Join(const Action& action);
    void Console(const std::string& text);
    void LoadPlugin();
    void UnloadPlugin();
    // What changed since the last look, as events.
    void Observe();
    bool SomethingHappened() const;
    void ReportInbox(PlayerEntry& player);
    // The inbox's messages as events at time.
    std::vector<Event> MessagesOf(const standin::Inbox& inbox, const std::string& player, Instant time) const;
    std::string WithoutBase(std::string text) const;
};

} // namespace qvtool
