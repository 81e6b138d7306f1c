// The stand-in server: ties the host framework, the simulated game and the simulated clock
// together around one loaded plug-in library.
#include "standin/server/Server.h"

#include <atomic>
#include <ctime>
#include <stdexcept>

#include "standin/framework/Allocator.h"
#include "standin/framework/Commands.h"
#include "standin/framework/Hooks.h"
#include "standin/framework/LogSinks.h"
#include "standin/framework/Tools.h"
#include "standin/game/GameControl.h"
#include "standin/runtime/SimulatedClock.h"
#include "standin/server/LocalTime.h"
#include "standin/server/PluginLibrary.h"
#include "util/Utf.h"

namespace standin {

namespace {

std::atomic<bool> serverExists{false};
// Registrations and detours are tagged with the library that made them; 0 is the embedder's own code.
int lastOwner = 0;

bool LocalTime(std::int64_t when, std::tm& local)
{
#if defined(_WIN32)
    const __time64_t seconds = when;
    return _localtime64_s(&local, &seconds) == 0;
#else
    return _localtime64_s(&local, &when) == 0;
#endif
}

} // namespace

struct Server::State {
    std::filesystem::path library;
    void* handle = nullptr;
    int owner = 0;
    std::vector<std::string> chatPassedOn;
};

Server::Server(ServerOptions options)
{
    if (serverExists.exchange(true)) {
        throw std::logic_error("a stand-in Server already exists in this process; only one may run at a time");
    }
    state_ = std::make_unique<State>();
    commands::ClearRegistrations();
    commands::ClearEscapedExceptions();
    hooks::ClearHooks();
    game::Reset();
    logs::Reset();
    logs::EchoToConsole(options.echoLogToConsole);
    tools::SetCurrentDir(options.baseDirectory.u8string());
    if (options.realClock) {
        qv_clock_use_real();
    } else {
        qv_clock_set(qv_clock_now());
    }
}

Server::~Server()
{
    if (PluginLoaded()) {
        try {
            UnloadPlugin();
        } catch (const std::exception& error) {
            logs::HostNotice(LogLevel::Error, std::string("unloading the plug-in with the server: ") + error.what());
        }
    }
    commands::ClearRegistrations();
    hooks::ClearHooks();
    game::Reset();
    tools::SetCurrentDir("");
    logs::EchoToConsole(true);
    qv_clock_use_real();
    serverExists = false;
}

void Server::SetBaseDirectory(const std::filesystem::path& directory) { tools::SetCurrentDir(directory.u8string()); }

std::filesystem::path Server::BaseDirectory() const { return std::filesystem::u8path(ArkApi::Tools::GetCurrentDir()); }

std::filesystem::path Server::PluginDirectory(std::string_view pluginName) const
{
    return BaseDirectory() / "ArkApi" / "Plugins" / std::filesystem::u8path(pluginName);
}

std::filesystem::path Server::LibraryBesideExecutable(std::string_view baseName)
{
    return platform::ExecutableDirectory() / std::filesystem::u8path(std::string(baseName) + platform::LibrarySuffix());
}

void Server::LoadPlugin(const std::filesystem::path& library)
{
    if (PluginLoaded()) {
        throw std::logic_error("cannot load " + library.u8string() + ": " + state_->library.u8string() +
                               " is loaded already");
    }
    if (!std::filesystem::is_regular_file(library)) {
        throw std::invalid_argument("cannot load " + library.u8string() + ": no such file");
    }
    const std::filesystem::path absolute = std::filesystem::absolute(library);
    if (platform::IsResident(absolute)) {
        throw std::runtime_error("cannot load " + absolute.u8string() +
                                 ": it is still mapped from an earlier load, so its entry point would not run");
    }
    const int owner = ++lastOwner;
    commands::SetOwner(owner);
    void* handle = nullptr;
    try {
        handle = platform::OpenLibrary(absolute);
    } catch (...) {
        commands::SetOwner(0);
        throw;
    }
    commands::SetOwner(0);
    state_->library = absolute;
    state_->handle = handle;
    state_->owner = owner;
    if (!platform::RedirectClock(handle)) {
        logs::HostNotice(LogLevel::Warning,
                         absolute.u8string() + " imports no _time64: it reads a clock the server cannot simulate");
    }
}

void Server::UnloadPlugin()
{
    if (!PluginLoaded()) throw std::logic_error("no plug-in is loaded");
    const std::filesystem::path library = state_->library;
    const int owner = state_->owner;
    commands::SetOwner(owner);
    platform::CloseLibrary(state_->handle);
    commands::SetOwner(0);
    state_->handle = nullptr;
    state_->library.clear();
    if (platform::IsResident(library)) {
        throw std::runtime_error(library.u8string() +
                                 " stayed mapped after unloading, so it never ran its unload and teardown");
    }
    commands::OrphanOwner(owner);
    hooks::OrphanOwner(owner);
}

bool Server::PluginLoaded() const { return state_->handle != nullptr; }

PlayerId Server::JoinPlayer(const PlayerProfile& profile) { return game::Join(profile); }

NewPlayerHandling Server::NewPlayerHandlingOf(PlayerId player) const { return game::NewPlayerHandlingOf(player); }

void Server::RemovePlayer(PlayerId player) { game::Leave(player); }

bool Server::IsConnected(PlayerId player) const { return game::IsConnected(player); }

AShooterPlayerController* Server::Controller(PlayerId player) const { return game::ControllerOf(player); }

void Server::SetAdmin(PlayerId player, bool admin) { game::SetAdmin(player, admin); }

Inbox Server::InboxOf(PlayerId player) const { return game::InboxOf(player); }

Inbox Server::InboxSince(PlayerId player, InboxCursor& cursor) const { return game::InboxSince(player, cursor); }

std::uint64_t Server::MessagesDelivered() const { return game::MessagesDelivered(); }

void Server::ClearInboxes() { game::ClearInboxes(); }

namespace {

AShooterPlayerController* ConnectedController(PlayerId player, const char* what)
{
    AShooterPlayerController* controller = game::ControllerOf(player);
    if (controller == nullptr) {
        throw std::invalid_argument(std::string(what) + " from player " +
                                    std::to_string(static_cast<std::uint32_t>(player)) + ", who has left the server");
    }
    return controller;
}

} // namespace

bool Server::Chat(PlayerId player, std::string_view line, EChatSendMode::Type mode)
{
    const commands::ChatOutcome outcome = commands::DispatchChat(ConnectedController(player, "chat line"), line, mode);
    if (outcome.passedOn) state_->chatPassedOn.emplace_back(line);
    return outcome.command;
}

std::vector<std::string> Server::ChatLinesPassedOn() const { return state_->chatPassedOn; }

bool Server::Console(PlayerId player, std::string_view line)
{
    auto* controller = reinterpret_cast<APlayerController*>(ConnectedController(player, "console command"));
    return commands::DispatchConsole(controller, line, false);
}

bool Server::ServerConsole(std::string_view line) { return commands::DispatchConsole(nullptr, line, false); }

bool Server::Rcon(std::string_view line)
{
    const RconConnectionId connection = game::OpenRconConnection();
    const bool command = Rcon(connection, 0, line).Command;
    game::CloseRconConnection(connection);
    return command;
}

RconConnectionId Server::OpenRconConnection() { return game::OpenRconConnection(); }

void Server::CloseRconConnection(RconConnectionId connection) { game::CloseRconConnection(connection); }

RconOutcome Server::Rcon(RconConnectionId connection, std::int32_t requestId, std::string_view line)
{
    RCONClientConnection* object = game::RconConnectionObject(connection);
    if (object == nullptr) {
        throw std::invalid_argument("RCON command over connection " +
                                    std::to_string(static_cast<std::uint32_t>(connection)) + ", which is closed");
    }
    const std::size_t before = game::RconReplyCount(connection);
    RconOutcome outcome;
    outcome.Command = commands::DispatchRcon(object, requestId, line);
    if (!outcome.Command) game::AnswerUnknownRconCommand(connection, requestId, line);
    outcome.Replies = game::RconRepliesSince(connection, before);
    return outcome;
}

std::vector<RconReply> Server::RconRepliesOf(RconConnectionId connection) const
{
    return game::RconRepliesSince(connection, 0);
}

void Server::RunTimer(int calls)
{
    if (calls < 0) throw std::invalid_argument("RunTimer: negative number of calls " + std::to_string(calls));
    for (int i = 0; i < calls; ++i) {
        qv_clock_advance(TimerIntervalSeconds);
        commands::CallTicks(static_cast<float>(TimerIntervalSeconds));
        commands::CallTimers();
    }
}

std::vector<Registration> Server::Registrations() const { return commands::Registrations(); }

bool Server::IsRegistered(std::string_view name, CommandKind kind) const
{
    for (const auto& registration : commands::Registrations()) {
        if (registration.kind == kind && registration.name == name && !registration.orphaned) return true;
    }
    return false;
}

std::vector<HookRegistration> Server::Hooks() const { return hooks::Hooks(); }

std::vector<std::string> Server::EscapedExceptions() const { return commands::EscapedExceptions(); }

void Server::RemoveGameMode() { game::SetGameModePresent(false); }

void Server::RestoreGameMode() { game::SetGameModePresent(true); }

bool Server::HasGameMode() const { return game::GameModePresent(); }

void Server::RemoveWorld() { game::SetWorldPresent(false); }

void Server::RestoreWorld() { game::SetWorldPresent(true); }

bool Server::HasWorld() const { return game::WorldPresent(); }

const std::vector<std::string>& Server::MultiplierNames() { return game::MultiplierNames(); }

float Server::DefaultMultiplier(std::string_view field) { return game::DefaultMultiplier(field); }

float Server::Multiplier(std::string_view field) const { return game::Multiplier(field); }

void Server::SetMultiplier(std::string_view field, float value) { game::SetMultiplier(field, value); }

void Server::ConfigureMultiplier(std::string_view field, float value) { game::ConfigureMultiplier(field, value); }

std::vector<std::pair<std::string, float>> Server::Multipliers() const
{
    std::vector<std::pair<std::string, float>> values;
    for (const auto& name : MultiplierNames()) values.emplace_back(name, game::Multiplier(name));
    return values;
}

std::string Server::MessageOfTheDay() const { return util::Utf16ToUtf8(game::MessageOfTheDay()); }

std::u16string Server::MessageOfTheDayUnits() const { return game::MessageOfTheDay(); }

int Server::MessageOfTheDayChanges() const { return game::MessageOfTheDayChanges(); }

void Server::SetMessageOfTheDay(std::string_view text) { game::SetMessageOfTheDay(util::Utf8ToUtf16(text)); }

void Server::SetClock(std::int64_t secondsSinceEpoch) { qv_clock_set(secondsSinceEpoch); }

void Server::SetLocalTime(int year, int month, int day, int hour, int minute, int second)
{
    const std::optional<LocalMoment> moment = FromLocalTime(year, month, day, hour, minute, second);
    if (!moment) {
        throw std::invalid_argument("SetLocalTime: " + std::to_string(year) + "-" + std::to_string(month) + "-" +
                                    std::to_string(day) + " " + std::to_string(hour) + ":" + std::to_string(minute) +
                                    ":" + std::to_string(second) + " is no valid local date and time");
    }
    qv_clock_set(moment->seconds);
}

void Server::AdvanceClock(std::int64_t seconds)
{
    if (!qv_clock_is_simulated()) qv_clock_set(qv_clock_now());
    qv_clock_advance(seconds);
}

std::int64_t Server::Now() const { return qv_clock_now(); }

int Server::LocalWeekday() const { return LocalDateTime().tm_wday; }

std::tm Server::LocalDateTime() const
{
    std::tm local{};
    if (!LocalTime(qv_clock_now(), local)) throw std::runtime_error("the clock reads a time with no local date");
    return local;
}

std::vector<LogRecord> Server::LogRecords() const { return logs::Records(); }

std::size_t Server::LogRecordCount() const { return logs::RecordCount(); }

void Server::ClearLog() { logs::ClearRecords(); }

void Server::EchoLogToConsole(bool echo) { logs::EchoToConsole(echo); }

AllocatorAccounts Server::Allocations() const { return memory::Accounts(); }

} // namespace standin
