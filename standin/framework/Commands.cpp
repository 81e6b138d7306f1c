// The command registry. Every entry keeps its own copy of the name and of the callable. Dispatch
// works on a snapshot of the entries, so a callback may register or unregister anything, itself
// included, while it runs; the callable of a running entry stays alive until it returns.
#include "standin/framework/Commands.h"

#include <algorithm>
#include <exception>
#include <memory>

#include "standin/framework/Fatal.h"
#include "standin/framework/GameString.h"
#include "standin/framework/LogSinks.h"
#include "standin/framework/Text.h"

namespace standin::commands {

namespace {

struct Entry {
    std::u16string name;
    CommandKind kind = CommandKind::Chat;
    int owner = 0;
    bool orphaned = false;
    bool removed = false;
    std::shared_ptr<ArkApi::ChatCommandCallback> chat;
    std::shared_ptr<ArkApi::ConsoleCommandCallback> console;
    std::shared_ptr<ArkApi::TimerCallback> timer;
};

using EntryList = std::vector<std::shared_ptr<Entry>>;

const char* KindName(CommandKind kind)
{
    switch (kind) {
    case CommandKind::Chat:
        return "chat command";
    case CommandKind::Console:
        return "console command";
    case CommandKind::Timer:
        return "timer callback";
    }
    return "registration";
}

char16_t FoldAscii(char16_t unit) { return unit >= u'A' && unit <= u'Z' ? static_cast<char16_t>(unit + 32) : unit; }

bool SameName(CommandKind kind, std::u16string_view a, std::u16string_view b)
{
    if (kind == CommandKind::Timer) return a == b;
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
        auto entry = NewEntry(name, CommandKind::Chat, static_cast<bool>(callback), "RegisterChatCommand");
        entry->chat = std::make_shared<ArkApi::ChatCommandCallback>(callback);
        Add(std::move(entry));
    }
    void RegisterConsoleCommand(const FString& name, const ArkApi::ConsoleCommandCallback& callback) override
    {
        auto entry = NewEntry(name, CommandKind::Console, static_cast<bool>(callback), "RegisterConsoleCommand");
        entry->console = std::make_shared<ArkApi::ConsoleCommandCallback>(callback);
        Add(std::move(entry));
    }
    void RegisterTimerCallback(const FString& id, const ArkApi::TimerCallback& callback) override
    {
        auto entry = NewEntry(id, CommandKind::Timer, static_cast<bool>(callback), "RegisterTimerCallback");
        entry->timer = std::make_shared<ArkApi::TimerCallback>(callback);
        Add(std::move(entry));
    }
    bool UnregisterChatCommand(const FString& name) override
    {
        return Remove(ReadGameString(&name, "ICommands::UnregisterChatCommand"), CommandKind::Chat);
    }
    bool UnregisterConsoleCommand(const FString& name) override
    {
        return Remove(ReadGameString(&name, "ICommands::UnregisterConsoleCommand"), CommandKind::Console);
    }
    bool UnregisterTimerCallback(const FString& id) override
    {
        return Remove(ReadGameString(&id, "ICommands::UnregisterTimerCallback"), CommandKind::Timer);
    }

    EntryList entries;
    // The timer entries of entries, for CallTimers; null after any change to entries.
    std::shared_ptr<const EntryList> timers;
    int currentOwner = 0;
    std::vector<std::string> escaped;

private:
    std::shared_ptr<Entry> NewEntry(const FString& name, CommandKind kind, bool callable, const char* operation)
    {
        auto entry = std::make_shared<Entry>();
        entry->name = ReadGameString(&name, (std::string("ICommands::") + operation).c_str());
        entry->kind = kind;
        entry->owner = currentOwner;
        if (!callable) {
            LoudFailure(std::string("ICommands::") + operation + "(\"" + text::Utf16ToUtf8(entry->name) +
                        "\"): the callable is empty");
        }
        return entry;
    }

    void Add(std::shared_ptr<Entry> entry)
    {
        const auto existing = std::count_if(entries.begin(), entries.end(), [&](const auto& other) {
            return !other->orphaned && other->kind == entry->kind && SameName(entry->kind, other->name, entry->name);
        });
        if (existing != 0) {
            logs::HostLogger().warn("{} \"{}\" registered again; {} registrations under that name now",
                                    KindName(entry->kind), text::Utf16ToUtf8(entry->name), existing + 1);
        }
        entries.push_back(std::move(entry));
        timers = nullptr;
    }

    bool Remove(const std::u16string& name, CommandKind kind)
    {
        const auto found = std::find_if(entries.begin(), entries.end(), [&](const auto& entry) {
            return !entry->orphaned && entry->kind == kind && SameName(kind, entry->name, name);
        });
        if (found == entries.end()) return false;
        (*found)->removed = true;
        entries.erase(found);
        timers = nullptr;
        return true;
    }
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
        registry.escaped.push_back(failure);
        logs::HostLogger().error("{} \"{}\" let an exception escape: {}", KindName(entry.kind),
                                 text::Utf16ToUtf8(entry.name), failure);
    }
}

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
        logs::HostLogger().error("{} \"{}\" belongs to an unloaded plug-in; not called", KindName(kind),
                                 text::Utf16ToUtf8(orphan->name));
    }
    return nullptr;
}

} // namespace

void SetOwner(int owner) { TheRegistry().currentOwner = owner; }

void OrphanOwner(int owner)
{
    for (const auto& entry : TheRegistry().entries) {
        if (entry->owner != owner || entry->orphaned) continue;
        entry->orphaned = true;
        Graveyard().push_back(entry);
        logs::HostLogger().error("{} \"{}\" was left registered by a plug-in that has been unloaded",
                                 KindName(entry->kind), text::Utf16ToUtf8(entry->name));
    }
    TheRegistry().timers = nullptr;
}

void ClearRegistrations()
{
    // Orphans leave the list too; the graveyard keeps their callables from being destroyed.
    auto& entries = TheRegistry().entries;
    for (const auto& entry : entries) entry->removed = true;
    entries.clear();
    TheRegistry().timers = nullptr;
}

bool DispatchChat(AShooterPlayerController* player, std::string_view line, EChatSendMode::Type mode)
{
    const std::u16string units = text::Utf8ToUtf16(line);
    const auto entry = Match(CommandKind::Chat, units);
    if (entry == nullptr) return false;
    GameString text = MakeGameString(units);
    const auto callable = entry->chat;
    Invoke(*entry, [&] { (*callable)(player, AsFString(text), mode); });
    ReleaseGameString(text);
    return true;
}

bool DispatchConsole(APlayerController* player, std::string_view line, bool flag)
{
    const std::u16string units = text::Utf8ToUtf16(line);
    const auto entry = Match(CommandKind::Console, units);
    if (entry == nullptr) return false;
    GameString text = MakeGameString(units);
    const auto callable = entry->console;
    Invoke(*entry, [&] { (*callable)(player, AsFString(text), flag); });
    ReleaseGameString(text);
    return true;
}

void CallTimers()
{
    Registry& registry = TheRegistry();
    // The list is kept until the registry changes: the timer is the host's most frequent work,
    // and a call then copies one pointer instead of every entry. A callback that changes the
    // registry makes the next call build a new list; this one keeps the entries it holds, and so
    // their callables, alive until the call ends.
    if (registry.timers == nullptr) {
        auto timers = std::make_shared<EntryList>();
        for (const auto& entry : registry.entries) {
            if (entry->kind == CommandKind::Timer && !entry->orphaned) timers->push_back(entry);
        }
        registry.timers = std::move(timers);
    }
    const std::shared_ptr<const EntryList> timers = registry.timers;
    for (const auto& entry : *timers) {
        if (entry->removed || entry->orphaned) continue;
        Invoke(*entry, [&entry] { (*entry->timer)(); });
    }
}

std::vector<Registration> Registrations()
{
    std::vector<Registration> list;
    for (const auto& entry : TheRegistry().entries) {
        list.push_back(Registration{text::Utf16ToUtf8(entry->name), entry->kind, entry->orphaned});
    }
    return list;
}

std::vector<std::string> EscapedExceptions() { return TheRegistry().escaped; }

void ClearEscapedExceptions() { TheRegistry().escaped.clear(); }

} // namespace standin::commands

ArkApi::ICommands& ArkApi::GetCommands() { return standin::commands::TheRegistry(); }
