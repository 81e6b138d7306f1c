// The command registry. Every entry keeps its own copy of the name and of the callable. Dispatch
// works on a snapshot of the entries, so a callback may register or unregister anything, itself
// included, while it runs; the callable of a running entry stays alive until it returns.
#include "standin/framework/Commands.h"

#include <algorithm>
#include <array>
#include <exception>
#include <memory>
#include <variant>

#include "standin/framework/Fatal.h"
#include "standin/framework/GameBinding.h"
#include "standin/framework/LogSinks.h"
#include "util/Utf.h"

namespace standin::commands {

namespace {

// One alternative per CommandKind, in its order.
using Callable = std::variant<ArkApi::ChatCommandCallback, ArkApi::ConsoleCommandCallback, ArkApi::RconCommandCallback,
                              ArkApi::TickCallback, ArkApi::TimerCallback, ArkApi::ChatMessageCallback>;
constexpr std::size_t KindCount = std::variant_size_v<Callable>;

struct Entry {
    std::u16string name;
    CommandKind kind = CommandKind::Chat;
    int owner = 0;
    bool orphaned = false;
    bool removed = false;
    Callable callable;
};

using EntryList = std::vector<std::shared_ptr<Entry>>;

const char* KindName(CommandKind kind)
{
    switch (kind) {
    case CommandKind::Chat:
        return "chat command";
    case CommandKind::Console:
        return "console command";
    case CommandKind::Rcon:
        return "RCON command";
    case CommandKind::Tick:
        return "tick callback";
    case CommandKind::Timer:
        return "timer callback";
    case CommandKind::ChatMessage:
        return "chat message callback";
    }
    return "registration";
}

bool IsCommand(CommandKind kind)
{
    return kind == CommandKind::Chat || kind == CommandKind::Console || kind == CommandKind::Rcon;
}

char16_t FoldAscii(char16_t unit) { return unit >= u'A' && unit <= u'Z' ? static_cast<char16_t>(unit + 32) : unit; }

bool SameName(CommandKind kind, std::u16string_view a, std::u16string_view b)
{
    if (!IsCommand(kind)) return a == b;
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char16_t x, char16_t y) { return FoldAscii(x) == FoldAscii(y); });
}

std::u16string_view FirstWord(std::u16string_view line)
{
    const auto isSpace = [](char16_t unit) { return unit == u' ' || unit == u'\t' || unit == u'\r' || unit == u'\n'; };
    std::size_t begin = 0;
    while (begin < line.size() && isSpace(line[begin])) ++begin;
    std::size_t end = begin;
    while (end < line.size() && !isSpace(line[end])) ++end;
    return line.substr(begin, end - begin);
}

class Registry final : public ArkApi::ICommands {
public:
    void RegisterChatCommand(const FString& name, const ArkApi::ChatCommandCallback& callback) override
    {
        Add(name, CommandKind::Chat, callback, "RegisterChatCommand");
    }
    void RegisterConsoleCommand(const FString& name, const ArkApi::ConsoleCommandCallback& callback) override
    {
        Add(name, CommandKind::Console, callback, "RegisterConsoleCommand");
    }
    void RegisterRconCommand(const FString& name, const ArkApi::RconCommandCallback& callback) override
    {
        Add(name, CommandKind::Rcon, callback, "RegisterRconCommand");
    }
    void RegisterTickCallback(const FString& id, const ArkApi::TickCallback& callback) override
    {
        Add(id, CommandKind::Tick, callback, "RegisterTickCallback");
    }
    void RegisterTimerCallback(const FString& id, const ArkApi::TimerCallback& callback) override
    {
        Add(id, CommandKind::Timer, callback, "RegisterTimerCallback");
    }
    void RegisterChatMessageCallback(const FString& id, const ArkApi::ChatMessageCallback& callback) override
    {
        Add(id, CommandKind::ChatMessage, callback, "RegisterChatMessageCallback");
    }
    bool UnregisterChatCommand(const FString& name) override
    {
        return Remove(name, CommandKind::Chat, "UnregisterChatCommand");
    }
    bool UnregisterConsoleCommand(const FString& name) override
    {
        return Remove(name, CommandKind::Console, "UnregisterConsoleCommand");
    }
    bool UnregisterRconCommand(const FString& name) override
    {
        return Remove(name, CommandKind::Rcon, "UnregisterRconCommand");
    }
    bool UnregisterTickCallback(const FString& id) override
    {
        return Remove(id, CommandKind::Tick, "UnregisterTickCallback");
    }
    bool UnregisterTimerCallback(const FString& id) override
    {
        return Remove(id, CommandKind::Timer, "UnregisterTimerCallback");
    }
    bool UnregisterChatMessageCallback(const FString& id) override
    {
        return Remove(id, CommandKind::ChatMessage, "UnregisterChatMessageCallback");
    }

    // The live entries of one kind, in registration order, for the calls that walk them all. Kept
    // until the registry changes: the frame and the timer are the host's most frequent work, and a
    // call then copies one pointer instead of every entry. A callback that changes the registry
    // makes the next call build a new list; this one keeps its entries, and so their callables,
    // alive until the call ends.
    std::shared_ptr<const EntryList> Snapshot(CommandKind kind)
    {
        auto& snapshot = snapshots_[static_cast<std::size_t>(kind)];
        if (snapshot == nullptr) {
            auto list = std::make_shared<EntryList>();
            for (const auto& entry : entries) {
                if (entry->kind == kind && !entry->orphaned) list->push_back(entry);
            }
            snapshot = std::move(list);
        }
        return snapshot;
    }
    void Changed() { snapshots_ = {}; }

    EntryList entries;
    int currentOwner = 0;
    std::vector<std::string> escaped;

private:
    template <typename Callback>
    void Add(const FString& name, CommandKind kind, const Callback& callback, const char* operation)
    {
        auto entry = std::make_shared<Entry>();
        entry->name = ReadGameString(&name, (std::string("ICommands::") + operation).c_str());
        entry->kind = kind;
        entry->owner = currentOwner;
        if (!callback) {
            LoudFailure(std::string("ICommands::") + operation + "(\"" + util::Utf16ToUtf8(entry->name) +
                        "\"): the callable is empty");
        }
        entry->callable = callback;
        const auto existing = std::count_if(entries.begin(), entries.end(), [&](const auto& other) {
            return !other->orphaned && other->kind == kind && SameName(kind, other->name, entry->name);
        });
        if (existing != 0) {
            logs::HostNotice(LogLevel::Warning, std::string(KindName(kind)) + " \"" + util::Utf16ToUtf8(entry->name) +
                                                    "\" registered again; " + std::to_string(existing + 1) +
                                                    " registrations under that name now");
        }
        entries.push_back(std::move(entry));
        Changed();
    }

    bool Remove(const FString& text, CommandKind kind, const char* operation)
    {
        const std::u16string name = ReadGameString(&text, (std::string("ICommands::") + operation).c_str());
        const auto found = std::find_if(entries.begin(), entries.end(), [&](const auto& entry) {
            return !entry->orphaned && entry->kind == kind && SameName(kind, entry->name, name);
        });
        if (found == entries.end()) return false;
        (*found)->removed = true;
        entries.erase(found);
        Changed();
        return true;
    }

    std::array<std::shared_ptr<const EntryList>, KindCount> snapshots_;
};

Registry& TheRegistry()
{
    static Registry* registry = new Registry();
    return *registry;
}

// Orphaned callables are kept here forever: destroying one would run code of an unmapped library.
std::vector<std::shared_ptr<Entry>>& Graveyard()
{
    static auto* graveyard = new std::vector<std::shared_ptr<Entry>>();
    return *graveyard;
}

// Runs one callback as its owner; nothing it throws gets past the host.
template <typename Call>
void Invoke(const Entry& entry, Call&& call)
{
    Registry& registry = TheRegistry();
    const int previousOwner = registry.currentOwner;
    registry.currentOwner = entry.owner;
    bool threw = true;
    std::string failure;
    try {
        call();
        threw = false;
    } catch (const std::exception& error) {
        failure = error.what();
    } catch (...) {
        failure = "an exception that is not a std::exception";
    }
    registry.currentOwner = previousOwner;
    if (threw) {
        RecordEscapedException(failure);
        logs::HostNotice(LogLevel::Error, std::string(KindName(entry.kind)) + " \"" + util::Utf16ToUtf8(entry.name) +
                                              "\" let an exception escape: " + failure);
    }
}

// The command named by the line's first word: the first live registration of that name.
std::shared_ptr<Entry> Match(CommandKind kind, std::u16string_view line)
{
    const std::u16string_view word = FirstWord(line);
    if (word.empty()) return nullptr;
    std::shared_ptr<Entry> orphan;
    for (const auto& entry : TheRegistry().entries) {
        if (entry->kind != kind || !SameName(kind, entry->name, word)) continue;
        if (!entry->orphaned) return entry;
        if (orphan == nullptr) orphan = entry;
    }
    if (orphan != nullptr) {
        logs::HostNotice(LogLevel::Error, std::string(KindName(kind)) + " \"" + util::Utf16ToUtf8(orphan->name) +
                                              "\" belongs to an unloaded plug-in; not called");
    }
    return nullptr;
}

// A line in the game's own string, for the duration of one call.
struct LineText {
    explicit LineText(std::u16string_view units) : text(MakeGameString(units)) {}
    LineText(const LineText&) = delete;
    LineText& operator=(const LineText&) = delete;
    ~LineText() { ReleaseGameString(text); }
    GameString text;
};

// Calls every live callback of a kind; call(callable) makes one call.
template <typename Callback, typename Call>
void CallEach(CommandKind kind, Call&& call)
{
    const std::shared_ptr<const EntryList> list = TheRegistry().Snapshot(kind);
    for (const auto& entry : *list) {
        if (entry->removed || entry->orphaned) continue;
        Invoke(*entry, [&] { call(std::get<Callback>(entry->callable)); });
    }
}

} // namespace

void SetOwner(int owner) { TheRegistry().currentOwner = owner; }

void OrphanOwner(int owner)
{
    for (const auto& entry : TheRegistry().entries) {
        if (entry->owner != owner || entry->orphaned) continue;
        entry->orphaned = true;
        Graveyard().push_back(entry);
        logs::HostNotice(LogLevel::Error, std::string(KindName(entry->kind)) + " \"" + util::Utf16ToUtf8(entry->name) +
                                              "\" was left registered by a plug-in that has been unloaded");
    }
    TheRegistry().Changed();
}

void ClearRegistrations()
{
    // Orphans leave the list too; the graveyard keeps their callables from being destroyed.
    auto& entries = TheRegistry().entries;
    for (const auto& entry : entries) entry->removed = true;
    entries.clear();
    TheRegistry().Changed();
}

ChatOutcome DispatchChat(AShooterPlayerController* player, std::string_view line, EChatSendMode::Type mode)
{
    ChatOutcome outcome;
    const std::u16string units = util::Utf8ToUtf16(line);
    if (const auto entry = Match(CommandKind::Chat, units)) {
        LineText text(units);
        const auto& callable = std::get<ArkApi::ChatCommandCallback>(entry->callable);
        Invoke(*entry, [&] { callable(player, AsFString(text.text), mode); });
        outcome.command = true;
    }
    // The stand-in never takes a line for spam. Each callback gets the line afresh, so what one
    // does to it cannot reach the next.
    bool stopped = false;
    CallEach<ArkApi::ChatMessageCallback>(CommandKind::ChatMessage, [&](const ArkApi::ChatMessageCallback& callable) {
        LineText text(units);
        stopped |= callable(player, AsFString(text.text), mode, false, outcome.command);
    });
    outcome.passedOn = !outcome.command && !stopped;
    return outcome;
}

bool DispatchConsole(APlayerController* player, std::string_view line, bool flag)
{
    const std::u16string units = util::Utf8ToUtf16(line);
    const auto entry = Match(CommandKind::Console, units);
    if (entry == nullptr) return false;
    LineText text(units);
    const auto& callable = std::get<ArkApi::ConsoleCommandCallback>(entry->callable);
    Invoke(*entry, [&] { callable(player, AsFString(text.text), flag); });
    return true;
}

bool DispatchRcon(RCONClientConnection* connection, std::int32_t packetId, std::string_view line)
{
    const std::u16string units = util::Utf8ToUtf16(line);
    const auto entry = Match(CommandKind::Rcon, units);
    if (entry == nullptr) return false;
    RconRequest request;
    constexpr std::int32_t commandRequest = 2;
    request.Length = static_cast<std::int32_t>(line.size() + 10); // id, type and the two terminating zeros
    request.Id = packetId;
    request.Type = commandRequest;
    request.Body = MakeGameString(units);
    const auto& callable = std::get<ArkApi::RconCommandCallback>(entry->callable);
    Invoke(*entry, [&] { callable(connection, reinterpret_cast<RCONPacket*>(&request), binding::CurrentWorld()); });
    ReleaseGameString(request.Body);
    return true;
}

void CallTicks(float seconds)
{
    CallEach<ArkApi::TickCallback>(CommandKind::Tick,
                                   [seconds](const ArkApi::TickCallback& callable) { callable(seconds); });
}

void CallTimers()
{
    CallEach<ArkApi::TimerCallback>(CommandKind::Timer, [](const ArkApi::TimerCallback& callable) { callable(); });
}

std::vector<Registration> Registrations()
{
    std::vector<Registration> list;
    for (const auto& entry : TheRegistry().entries) {
        list.push_back(Registration{util::Utf16ToUtf8(entry->name), entry->kind, entry->orphaned});
    }
    return list;
}

int CurrentOwner() { return TheRegistry().currentOwner; }

void RecordEscapedException(const std::string& what) { TheRegistry().escaped.push_back(what); }

std::vector<std::string> EscapedExceptions() { return TheRegistry().escaped; }

void ClearEscapedExceptions() { TheRegistry().escaped.clear(); }

} // namespace standin::commands

ArkApi::ICommands& ArkApi::GetCommands() { return standin::commands::TheRegistry(); }
