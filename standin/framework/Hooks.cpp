// The hook registry. Each hookable function has one chain, oldest detour first. After every change
// the chain is relinked from the function's own code up: each live detour's original is pointed at
// the one below it (or at the function's code), and the function's patch at the newest. Detours are
// told apart by their address alone, as the host tells them apart.
#include "standin/framework/Hooks.h"

#include <algorithm>
#include <map>

#include "plugin/host/ArkApi.h"
#include "standin/framework/Commands.h"
#include "standin/framework/Fatal.h"
#include "standin/framework/GameBinding.h"
#include "standin/framework/LogSinks.h"

namespace standin::hooks {

namespace {

struct Detour {
    void* detour = nullptr;
    // The plug-in's variable: written while its library is loaded, never once the detour is orphaned.
    void** original = nullptr;
    int owner = 0;
    bool orphaned = false;
};

struct Chain {
    const binding::HookableFunction* function = nullptr;
    std::vector<Detour> detours;
};

void Relink(const Chain& chain)
{
    void* next = chain.function->body;
    for (const Detour& link : chain.detours) {
        if (link.orphaned) continue;
        *link.original = next;
        next = link.detour;
    }
    *chain.function->jump = next;
}

std::string SetHookCall(const std::string& name) { return "IHooks::SetHook(\"" + name + "\")"; }

const binding::HookableFunction* FindHookable(const std::string& name)
{
    for (const auto& function : binding::HookableFunctions()) {
        if (function.name == name) return &function;
    }
    return nullptr;
}

bool IsGameFunction(const std::string& name)
{
    const auto& functions = binding::GameFunctions();
    return std::any_of(functions.begin(), functions.end(), [&](const auto& symbol) { return symbol.name == name; });
}

class Registry final : public ArkApi::IHooks {
public:
    bool DisableHook(const std::string& name, LPVOID detour) override
    {
        const auto chain = chains.find(name);
        if (chain == chains.end()) return false;
        auto& detours = chain->second.detours;
        const auto found = std::find_if(detours.begin(), detours.end(),
                                        [&](const Detour& link) { return !link.orphaned && link.detour == detour; });
        if (found == detours.end()) return false;
        detours.erase(found);
        Relink(chain->second);
        return true;
    }

    std::map<std::string, Chain> chains;

private:
    // A plug-in tests the answer, so a refusal is an error in the log and false, not a stop.
    bool SetHookInternal(const std::string& name, LPVOID detour, LPVOID* original) override
    {
        if (detour == nullptr) LoudFailure(SetHookCall(name) + ": the detour is null");
        if (original == nullptr) LoudFailure(SetHookCall(name) + ": the address for the original is null");
        const binding::HookableFunction* function = FindHookable(name);
        if (function == nullptr) {
            logs::HostNotice(LogLevel::Error,
                             SetHookCall(name) + (IsGameFunction(name)
                                                      ? ": the stand-in's game cannot hook that function"
                                                      : ": no such game function"));
            return false;
        }
        Chain& chain = chains[name];
        chain.function = function;
        const bool twice = std::any_of(chain.detours.begin(), chain.detours.end(),
                                       [&](const Detour& link) { return !link.orphaned && link.detour == detour; });
        if (twice) {
            // Its one original cannot point both below it and at itself.
            logs::HostNotice(LogLevel::Error, SetHookCall(name) + ": that detour is in the function's chain already");
            return false;
        }
        chain.detours.push_back(Detour{detour, original, commands::CurrentOwner(), false});
        Relink(chain);
        return true;
    }
};

Registry& TheRegistry()
{
    static Registry* registry = new Registry();
    return *registry;
}

} // namespace

std::vector<HookRegistration> Hooks()
{
    std::vector<HookRegistration> list;
    for (const auto& [name, chain] : TheRegistry().chains) {
        for (const Detour& link : chain.detours) list.push_back(HookRegistration{name, link.orphaned});
    }
    return list;
}

void OrphanOwner(int owner)
{
    for (auto& [name, chain] : TheRegistry().chains) {
        bool changed = false;
        for (Detour& link : chain.detours) {
            if (link.owner != owner || link.orphaned) continue;
            link.orphaned = true;
            changed = true;
            logs::HostNotice(LogLevel::Error, "detour on \"" + name +
                                                  "\" was left set by a plug-in that has been unloaded; taken out "
                                                  "of the chain, where a real server would have called into it");
        }
        if (changed) Relink(chain);
    }
}

void ClearHooks()
{
    auto& chains = TheRegistry().chains;
    for (auto& [name, chain] : chains) {
        chain.detours.clear();
        Relink(chain);
    }
    chains.clear();
}

void ReportEscape(const std::string& function, const std::string& what)
{
    commands::RecordEscapedException(what);
    logs::HostNotice(LogLevel::Error, "a detour on \"" + function + "\" let an exception escape: " + what);
}

} // namespace standin::hooks

ArkApi::IHooks& ArkApi::GetHooks() { return standin::hooks::TheRegistry(); }
