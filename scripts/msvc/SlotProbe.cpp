// Names every virtual function of the host's interfaces in plugin/host/ArkApi.h inside a template
// argument, so that the object file holds, for each, a decorated name giving its full signature and
// its place in the virtual table (a "vcall" thunk at a byte offset). scripts/check-msvc.sh reads
// those names back and compares them with the host's layout. An explicit instantiation may name a
// private function, as the host's last IApiUtils and IHooks slots are.
#include "plugin/host/ArkApi.h"

template <typename Member, Member member>
void Slot()
{
}

#define SLOT(Interface, Function)                                                                                      \
    template void Slot<decltype(&ArkApi::Interface::Function), &ArkApi::Interface::Function>();

SLOT(ICommands, RegisterChatCommand)
SLOT(ICommands, RegisterConsoleCommand)
SLOT(ICommands, RegisterRconCommand)
SLOT(ICommands, RegisterTickCallback)
SLOT(ICommands, RegisterTimerCallback)
SLOT(ICommands, RegisterChatMessageCallback)
SLOT(ICommands, UnregisterChatCommand)
SLOT(ICommands, UnregisterConsoleCommand)
SLOT(ICommands, UnregisterRconCommand)
SLOT(ICommands, UnregisterTickCallback)
SLOT(ICommands, UnregisterTimerCallback)
SLOT(ICommands, UnregisterChatMessageCallback)

SLOT(IApiUtils, CurrentWorld)
SLOT(IApiUtils, CurrentGameMode)
SLOT(IApiUtils, GetStatus)
SLOT(IApiUtils, GetCheatManager)
SLOT(IApiUtils, FindPlayerFromSteamId_Internal)

SLOT(IHooks, DisableHook)
SLOT(IHooks, SetHookInternal)

// A virtual call through each interface, so that the compiler lays out their tables and, with
// -fdump-vtable-layouts, prints them: the number of slots and what holds slot 0.
void CallThrough(ArkApi::ICommands& commands, ArkApi::IApiUtils& utils, ArkApi::IHooks& hooks, const FString& name)
{
    commands.UnregisterChatCommand(name);
    utils.CurrentWorld();
    hooks.DisableHook(std::string(), nullptr);
}
