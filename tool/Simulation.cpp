// Watching the server is the costly part of a long run, so each timer call only compares three
// counters the server keeps (log records, which include the host's record of an exception that
// escaped the plug-in; message-of-the-day calls; messages delivered to players); the full look runs
// when one of them moved, and every ten simulated minutes in case the plug-in changed a rate
// without any of them moving. A look reads only what arrived since the last one, so a run costs in
// proportion to its simulated time and its events, however long the players' inboxes grow.
#include "tool/Simulation.h"

#include <algorithm>

#include <fmt/format.h>

#include "plugin/config/LoadConfig.h"
#include "plugin/config/WeekendValues.h"
#include "plugin/rates/SwitchRecords.h"
#include "util/AtomicFile.h"
#include "util/BoundedFile.h"

namespace qvtool {

namespace {

namespace fs = std::filesystem;

constexpr std::int64_t kCallsBetweenFullLooks = 600;

// Read as the plug-in reads config.json: a device or a pipe could never end or never start.
void CopyConfig(const fs::path& from, const fs::path& to)
{
    std::variant<std::string, util::FileProblem> content =
        util::ReadBoundedFile(from.string(), qv::kMostConfigBytes, "a config file");
    if (const auto* problem = std::get_if<util::FileProblem>(&content))
        throw ActionError(from.string() + " " + problem->What);
    fs::create_directories(to.parent_path());
    if (const std::optional<std::string> problem =
            util::WriteFileAtomically(to.u8string(), std::get<std::string>(content)))
        throw ActionError("cannot write " + to.string() + ": " + *problem);
}

// config.json as a link to the administrator's file, so that an edit of it and a reload take effect as
// on a server. False where the system makes no link (Windows without the right to), and nothing done.
bool LinkConfig(const fs::path& from, const fs::path& to)
{
    std::error_code error;
    fs::create_directories(to.parent_path(), error);
    fs::remove(to, error);
    fs::create_symlink(fs::absolute(from), to, error);
    return !error;
}

Rgba Components(const standin::ReceivedColor& color) { return {color.R, color.G, color.B, color.A}; }

// The multipliers of now that make the game slower than normal: a rate lowered, or an interval or
// period raised.
std::vector<std::string> Lowered(const Fields& normal, const Fields& now)
{
    std::vector<std::string> lowered;
    for (std::size_t i = 0; i < now.size() && i < normal.size(); ++i) {
        // Named, not a structured binding: C++17 lets no lambda capture a binding, which only GCC allows.
        const std::string& name = now[i].first;
        const float value = now[i].second;
        const auto row = std::find_if(qv::WeekendMultiplierTable.begin(), qv::WeekendMultiplierTable.end(),
                                      [&](const qv::MultiplierRow& entry) { return name == entry.Key; });
        const bool slower = row != qv::WeekendMultiplierTable.end() && row->HigherIsSlower;
        if (slower ? value > normal[i].second : value < normal[i].second) lowered.push_back(name);
    }
    return lowered;
}

void ReplaceAll(std::string& text, const std::string& what, const std::string& with)
{
    if (what.empty()) return;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size())) {
        text.replace(at, what.size(), with);
    }
}

} // namespace

Simulation::Simulation(SimulationOptions options, EventSink sink)
    : options_(std::move(options)), sink_(std::move(sink)),
      folder_(options_.KeptFolder.empty() ? ServerFolder() : ServerFolder::Kept(options_.KeptFolder))
{
    standin::ServerOptions serverOptions;
    serverOptions.baseDirectory = folder_.Path();
    serverOptions.echoLogToConsole = false;
    serverOptions.realClock = options_.RealClock;
    server_ = std::make_unique<standin::Server>(serverOptions);
    if (options_.KeptFolder.empty()) {
        CopyConfig(options_.ConfigFile, ConfigPath());
    } else if (!LinkConfig(options_.ConfigFile, ConfigPath())) {
        CopyConfig(options_.ConfigFile, ConfigPath());
    }
}

Simulation::~Simulation() = default;

fs::path Simulation::ConfigPath() const { return server_->PluginDirectory("Quorvandelle") / "config.json"; }

EvaluationTiming StandInTiming()
{
    EvaluationTiming timing;
    timing.TimerInterval = Seconds{standin::Server::TimerIntervalSeconds};
    return timing;
}

void Simulation::Start(int days)
{
    if (!options_.RealClock) server_->SetClock(util::SecondsSinceEpoch(options_.Start));
    rates_ = server_->Multipliers();
    normalRates_ = rates_;
    motdChanges_ = server_->MessageOfTheDayChanges();
    delivered_ = server_->MessagesDelivered();
    const qv::TimeZone* zone = options_.Clock.Zone();
    Emit(events::Start{options_.ConfigFile.string(), days, zone ? zone->Name : std::string()});
    LoadPlugin();
    Observe();
}

Instant Simulation::Now() const { return util::InstantOf(server_->Now()); }

void Simulation::Emit(EventData what) const
{
    if (sink_) sink_(Event{Now(), std::move(what)});
}

Simulation::PlayerEntry* Simulation::Connected(const std::string& name)
{
    for (auto& player : players_) {
        if (player.Name == name && server_->IsConnected(player.Id)) return &player;
    }
    return nullptr;
}

Simulation::PlayerEntry& Simulation::RequireConnected(const std::string& name)
{
    PlayerEntry* player = Connected(name);
    if (player == nullptr) throw ActionError(fmt::format("no player called {} is connected", name));
    return *player;
}

void Simulation::Join(const Action& action)
{
    if (Connected(action.Name) != nullptr) throw ActionError(fmt::format("{} is already connected", action.Name));
    standin::PlayerProfile profile;
    profile.name = action.Name;
    profile.admin = action.Flag;
    players_.push_back({action.Name, server_->JoinPlayer(profile), action.Flag, {}, {}});
    Emit(events::Join{action.Name, action.Flag});
}

void Simulation::Console(const std::string& text)
{
    // "console NAME TEXT" is a player's only when NAME is connected and something follows it.
    const auto space = text.find(' ');
    PlayerEntry* player = space == std::string::npos ? nullptr : Connected(text.substr(0, space));
    events::Console console;
    if (player != nullptr) {
        console.Player = player->Name;
        console.Text = text.substr(text.find_first_not_of(' ', space));
        console.Command = server_->Console(player->Id, console.Text);
    } else {
        console.Text = text;
        console.Command = server_->ServerConsole(text);
    }
    Emit(std::move(console));
}

void Simulation::LoadPlugin()
{
    if (server_->PluginLoaded()) throw ActionError("the plug-in is already loaded");
    try {
        server_->LoadPlugin(options_.Library);
    } catch (const std::exception& error) {
        throw ActionError(error.what());
    }
    Emit(events::Load{options_.Library.filename().string()});
}

void Simulation::UnloadPlugin()
{
    if (!server_->PluginLoaded()) throw ActionError("the plug-in is not loaded");
    try {
        server_->UnloadPlugin();
    } catch (const std::exception& error) {
        throw ActionError(error.what());
    }
    Emit(events::Unload{});
}

void Simulation::Execute(const Action& action, const fs::path& folder)
{
    switch (action.Kind) {
    case ActionKind::Join:
        Join(action);
        break;
    case ActionKind::Leave:
        server_->RemovePlayer(RequireConnected(action.Name).Id);
        Emit(events::Leave{action.Name});
        break;
    case ActionKind::Say: {
        const PlayerEntry& player = RequireConnected(action.Name);
        const bool command = server_->Chat(player.Id, action.Text);
        Emit(events::Say{action.Name, action.Text, command});
        break;
    }
    case ActionKind::Console:
        Console(action.Text);
        break;
    case ActionKind::Config: {
        fs::path file = action.Name;
        if (file.is_relative() && !folder.empty()) file = folder / file;
        CopyConfig(file, ConfigPath());
        Emit(events::Config{action.Name});
        break;
    }
    case ActionKind::Load:
        LoadPlugin();
        break;
    case ActionKind::Unload:
        UnloadPlugin();
        break;
    case ActionKind::Rcon:
        if (!actionsConnection_) actionsConnection_ = server_->OpenRconConnection();
        Rcon(*actionsConnection_, nextRequestId_++, action.Text);
        break;
    case ActionKind::NoGameMode:
        if (action.Flag) {
            server_->RemoveGameMode();
        } else {
            server_->RestoreGameMode();
        }
        Emit(events::GameMode{server_->HasGameMode()});
        break;
    default:
        throw ActionError("not an action for the server");
    }
    Observe();
}

void Simulation::TimerCall()
{
    server_->RunTimer(1);
    ++timerCalls_;
    if (SomethingHappened() || timerCalls_ % kCallsBetweenFullLooks == 0) Observe();
}

standin::RconConnectionId Simulation::OpenRconConnection() { return server_->OpenRconConnection(); }

void Simulation::CloseRconConnection(standin::RconConnectionId connection) { server_->CloseRconConnection(connection); }

standin::RconOutcome Simulation::Rcon(standin::RconConnectionId connection, std::int32_t requestId,
                                      const std::string& line)
{
    standin::RconOutcome outcome;
    try {
        outcome = server_->Rcon(connection, requestId, line);
    } catch (const std::invalid_argument& error) {
        throw ActionError(error.what());
    }
    events::Rcon rcon{line, outcome.Command, {}};
    for (const auto& reply : outcome.Replies) {
        rcon.Answer += (rcon.Answer.empty() ? "" : "\n") + WithoutBase(reply.Text);
    }
    Emit(std::move(rcon));
    Observe();
    return outcome;
}

void Simulation::RunUntil(Instant until, const std::function<void(Instant)>& progress)
{
    const Seconds interval{standin::Server::TimerIntervalSeconds};
    std::int64_t calls = 0;
    while (Now() + interval <= until) {
        StopIfInterrupted();
        TimerCall();
        ++calls;
        if (progress && calls % 65536 == 0) progress(Now());
    }
    // The clock stops at until even when it is not a whole number of intervals away.
    if (Now() < until) server_->AdvanceClock((until - Now()).count());
}

bool Simulation::SomethingHappened() const
{
    return server_->MessagesDelivered() != delivered_ || server_->MessageOfTheDayChanges() != motdChanges_ ||
           server_->LogRecordCount() != 0;
}

void Simulation::Observe()
{
    // The log says which window a switch was about; it is read before the switch is reported.
    const std::string windowBefore = window_;
    std::vector<events::Reminder> reminders;
    for (const auto& record : server_->LogRecords()) {
        if (record.logger != "Quorvandelle") continue;
        const std::optional<qv::SwitchRecord> said = qv::ReadRecord(record.message);
        if (!said) continue;
        if (qv::PutsWindowInForce(*said)) window_ = std::string(said->Window.DisplayName());
        if (qv::PutsNormalValuesBack(*said)) window_.clear();
        if (said->Event == qv::SwitchEvent::ReminderSent) {
            reminders.push_back({std::string(said->Window.DisplayName()), said->Minutes});
        }
    }
    if (server_->HasGameMode()) {
        Fields rates = server_->Multipliers();
        if (rates != rates_) {
            const bool boosted = rates != normalRates_;
            Emit(events::Rates{boosted, rates_, rates, boosted ? window_ : windowBefore,
                               boosted ? Lowered(normalRates_, rates) : std::vector<std::string>{}});
            rates_ = std::move(rates);
        }
    }
    if (const int changes = server_->MessageOfTheDayChanges(); changes != motdChanges_) {
        motdChanges_ = changes;
        Emit(events::Motd{server_->MessageOfTheDay()});
    }
    for (auto& reminder : reminders) Emit(std::move(reminder));
    if (const std::uint64_t delivered = server_->MessagesDelivered(); delivered != delivered_) {
        delivered_ = delivered;
        for (auto& player : players_) ReportInbox(player);
    }

    for (const auto& record : server_->LogRecords()) {
        Emit(events::Log{standin::LogLevelName(record.level), record.logger, WithoutBase(record.message)});
    }
    server_->ClearLog();
}

void Simulation::ReportInbox(PlayerEntry& player)
{
    for (auto& event : MessagesOf(server_->InboxSince(player.Id, player.Cursor), player.Name, Now())) {
        Emit(std::move(event.What));
        player.SeenAt.push_back(Now());
    }
}

std::string Simulation::WithoutBase(std::string text) const
{
    // The temporary folder means nothing to the reader; "<server>" says where the file is.
    ReplaceAll(text, folder_.Path().string(), "<server>");
    ReplaceAll(text, folder_.Path().generic_string(), "<server>");
    return text;
}

std::vector<Event> Simulation::MessagesOf(const standin::Inbox& inbox, const std::string& player, Instant time) const
{
    std::vector<Event> messages;
    std::size_t direct = 0, notification = 0, chat = 0;
    for (std::size_t i = 0; i < inbox.order.size(); ++i) {
        EventData what;
        switch (inbox.order[i]) {
        case standin::MessageKind::DirectChat: {
            const auto& line = inbox.directChats[direct++];
            what = events::Reply{player, WithoutBase(line.text), Components(line.color)};
            break;
        }
        case standin::MessageKind::Notification: {
            const auto& shown = inbox.notifications[notification++];
            what = events::Notification{player, WithoutBase(shown.text), Components(shown.color), shown.scale,
                                        shown.seconds};
            break;
        }
        case standin::MessageKind::ChatRecord: {
            const auto& record = inbox.chatRecords[chat++];
            what = events::Chat{player, record.senderName, WithoutBase(record.message)};
            break;
        }
        }
        messages.push_back(Event{time, std::move(what)});
    }
    return messages;
}

Fields Simulation::Rates() const { return server_->Multipliers(); }

std::string Simulation::MessageOfTheDay() const { return server_->MessageOfTheDay(); }

bool Simulation::HasGameMode() const { return server_->HasGameMode(); }

bool Simulation::PluginLoaded() const { return server_->PluginLoaded(); }

std::vector<std::pair<std::string, bool>> Simulation::Players() const
{
    std::vector<std::pair<std::string, bool>> connected;
    for (const auto& player : players_) {
        if (server_->IsConnected(player.Id)) connected.emplace_back(player.Name, player.Admin);
    }
    return connected;
}

std::vector<Event> Simulation::InboxOf(const std::string& name) const
{
    for (auto player = players_.rbegin(); player != players_.rend(); ++player) {
        if (player->Name != name) continue;
        std::vector<Event> messages = MessagesOf(server_->InboxOf(player->Id), name, Now());
        for (std::size_t i = 0; i < messages.size() && i < player->SeenAt.size(); ++i) {
            messages[i].Time = player->SeenAt[i];
        }
        return messages;
    }
    throw ActionError(fmt::format("no player called {} has joined", name));
}

} // namespace qvtool
