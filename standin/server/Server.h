// The running stand-in server: the host framework and the simulated game behind one object, with
// a real plug-in library loaded through its entry point. Tests and the administrators' tool drive
// everything from here; the plug-in itself never sees this class.
#pragma once

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "plugin/host/ArkApi.h"
#include "standin/framework/HostTypes.h"
#include "standin/game/GameTypes.h"

namespace standin {

struct ServerOptions {
    // What ArkApi::Tools::GetCurrentDir() answers; empty means the process's working directory.
    std::filesystem::path baseDirectory;
    // Log records always go to the recording sink; this also prints them on standard output.
    bool echoLogToConsole = true;
    // false: the clock is simulated, starting at the real current time, and every timer call
    // advances it by TimerIntervalSeconds. true: the real clock, which timer calls leave alone
    // (SetClock and SetLocalTime still switch to simulated time).
    bool realClock = false;
};

// What one RCON command request came to: whether a registered command took its line, and what the
// connection was sent meanwhile (the game's own "Unknown command" when none did).
struct RconOutcome {
    bool Command = false;
    std::vector<RconReply> Replies;
};

// Only one Server may exist at a time: the host framework and the game are process-wide, as the
// real ones are. Every call is made from one thread. Bad arguments (a departed player, an unknown
// multiplier name, a library that cannot be loaded) throw std::invalid_argument or
// std::runtime_error with a message naming what is wrong; the server's state is then unchanged.
class Server {
public:
    static constexpr std::int64_t TimerIntervalSeconds = 1;

    explicit Server(ServerOptions options = {});
    // Unloads a plug-in still loaded and puts the host and the game back to their initial state.
    ~Server();
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    // ---- base directory ----
    void SetBaseDirectory(const std::filesystem::path& directory);
    std::filesystem::path BaseDirectory() const;
    // <base>/ArkApi/Plugins/<name>: where a plug-in keeps its files.
    std::filesystem::path PluginDirectory(std::string_view pluginName) const;

    // ---- the plug-in library ----
    // <folder of this executable>/<baseName>.so (or .dll on Windows): where the build puts it.
    static std::filesystem::path LibraryBesideExecutable(std::string_view baseName);
    // Loads the library through its real entry point (dlopen / LoadLibraryW), which runs its Load.
    void LoadPlugin(const std::filesystem::path& library);
    // Unloads it (dlclose / FreeLibrary), which runs its Unload and its teardown. Registrations and
    // detours the plug-in left behind stay listed, marked orphaned; the detours leave their chains,
    // and each is reported in the log as an error. Throws std::runtime_error when the library
    // stays mapped afterwards (it then never ran its teardown).
    void UnloadPlugin();
    bool PluginLoaded() const;

    // ---- players ----
    // The player joins the world's list, then the game hands them to its new-player handler,
    // "AShooterGameMode.HandleNewPlayer_Implementation", through every detour set on it (not while
    // the game mode is absent). An exception a detour lets out is caught and listed.
    PlayerId JoinPlayer(const PlayerProfile& profile);
    // How that call went for the player's join.
    NewPlayerHandling NewPlayerHandlingOf(PlayerId player) const;
    // The controller is destroyed: its entry in the world's list stays, and resolves to null.
    void RemovePlayer(PlayerId player);
    bool IsConnected(PlayerId player) const;
    // Null once the player has left.
    AShooterPlayerController* Controller(PlayerId player) const;
    // Sets the admin byte of the player's character; throws when the player has no character.
    void SetAdmin(PlayerId player, bool admin);
    // Everything the player received, also after leaving.
    Inbox InboxOf(PlayerId player) const;
    // What the player received from cursor on, and cursor moved past it: a watcher that keeps the
    // cursor reads each message once, however long the inbox grows.
    Inbox InboxSince(PlayerId player, InboxCursor& cursor) const;
    // Messages received by all players together since the process started: cheap enough to compare
    // after every timer call.
    std::uint64_t MessagesDelivered() const;
    void ClearInboxes();

    // ---- commands and timers ----
    // A chat line typed by a connected player, as UTF-8. Calls the chat command registered under the
    // line's first word (ASCII case ignored) with the whole line, then every chat-message callback;
    // false when no command matched.
    bool Chat(PlayerId player, std::string_view line, EChatSendMode::Type mode = EChatSendMode::GlobalChat);
    // The chat lines that went on to the other players: no command took them and no chat-message
    // callback stopped them. In order, as UTF-8.
    std::vector<std::string> ChatLinesPassedOn() const;
    // A console command entered by a connected player, matched the same way.
    bool Console(PlayerId player, std::string_view line);
    // A console command entered at the server itself: the controller handed over is null.
    bool ServerConsole(std::string_view line);
    // A command line sent over RCON, matched the same way; the command gets a new connection, the
    // line as the request's body, and the world.
    bool Rcon(std::string_view line);
    // A client of the game's RCON listener connects; the caller plays the listener, which checked its
    // password. Its connection object lives until it is closed.
    RconConnectionId OpenRconConnection();
    void CloseRconConnection(RconConnectionId connection);
    // A command request (type 2) with the client's id requestId over an open connection, matched the
    // same way: the command gets the connection, the packet and the world, and answers through
    // "RCONClientConnection.SendMessageW". A line no command takes gets the game's own answer.
    RconOutcome Rcon(RconConnectionId connection, std::int32_t requestId, std::string_view line);
    // Everything the connection was sent, also after it closed.
    std::vector<RconReply> RconRepliesOf(RconConnectionId connection) const;
    // calls times: advance a simulated clock by TimerIntervalSeconds, run one frame of that length
    // (every on-tick callback), then call every registered timer callback once; each kind in
    // registration order.
    void RunTimer(int calls = 1);
    // In registration order.
    std::vector<Registration> Registrations() const;
    bool IsRegistered(std::string_view name, CommandKind kind) const;
    // Every detour set on a game function, function by function, each chain oldest first.
    std::vector<HookRegistration> Hooks() const;
    // what() of every exception that escaped a plug-in callback or detour (the host caught and logged it).
    std::vector<std::string> EscapedExceptions() const;

    // ---- the game mode ----
    // While removed, CurrentGameMode() answers null. Restoring brings back a new game mode, as a
    // real server's rebuilt world does: another object, with the server's configured multipliers
    // (ConfigureMultiplier), whatever the old one held.
    void RemoveGameMode();
    void RestoreGameMode();
    bool HasGameMode() const;
    // While removed, CurrentWorld() answers null (the game mode is another matter); the players
    // stay connected. Restoring brings back the same world.
    void RemoveWorld();
    void RestoreWorld();
    bool HasWorld() const;
    // The sixteen multiplier field names ("XPMultiplier", ...), in the order of the game's table.
    static const std::vector<std::string>& MultiplierNames();
    // The value the game starts with.
    static float DefaultMultiplier(std::string_view field);
    float Multiplier(std::string_view field) const;
    // Something other than the plug-in changing a rate.
    void SetMultiplier(std::string_view field, float value);
    // The server's own setting for a rate: the game mode's value now, and that of every game mode
    // the server builds later. The game's defaults until set.
    void ConfigureMultiplier(std::string_view field, float value);
    std::vector<std::pair<std::string, float>> Multipliers() const;
    std::string MessageOfTheDay() const;
    std::u16string MessageOfTheDayUnits() const;
    // Calls of "AShooterGameMode.SetMessageOfTheDay" so far.
    int MessageOfTheDayChanges() const;
    // Set by the server itself (not counted as a change).
    void SetMessageOfTheDay(std::string_view text);

    // ---- the clock the plug-in reads (_time64 / _localtime64_s) ----
    void SetClock(std::int64_t secondsSinceEpoch);
    // A local date and time in the process's time zone (month 1 to 12).
    void SetLocalTime(int year, int month, int day, int hour = 12, int minute = 0, int second = 0);
    void AdvanceClock(std::int64_t seconds);
    std::int64_t Now() const;
    // 0 = Sunday through 6 = Saturday, in the process's time zone.
    int LocalWeekday() const;
    // The local date and time the plug-in reads now, as the C runtime gives it.
    std::tm LocalDateTime() const;

    // ---- logs and memory ----
    std::vector<LogRecord> LogRecords() const;
    // How many LogRecords() would return, without copying them.
    std::size_t LogRecordCount() const;
    void ClearLog();
    void EchoLogToConsole(bool echo);
    AllocatorAccounts Allocations() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace standin
