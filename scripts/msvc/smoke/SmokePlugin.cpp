// The plug-in side of the MSVC-target smoke test, built as a DLL that imports the host through the
// import library made from plugin/host/version.def: on attach it registers a chat command through
// ArkApi::GetCommands(), as the plug-in's Load does, and checks the host has it.
#include "scripts/msvc/smoke/SmokeFString.h"

#include "plugin/host/ArkApi.h"

namespace {
// Constant, so no runtime has to initialise it; the host keeps its address.
constexpr FString name = SmokeCommandName();
} // namespace

extern "C" int __stdcall SmokeDllMain(void*, unsigned long reason, void*)
{
    constexpr unsigned long processAttach = 1;
    if (reason == processAttach) {
        // Empty: the host never calls it, and an empty std::function needs nothing from a runtime.
        const ArkApi::ChatCommandCallback callback;
        ArkApi::GetCommands().RegisterChatCommand(name, callback);
        if (!ArkApi::GetCommands().UnregisterChatCommand(SmokeCommandName())) return 0;
    }
    return 1;
}
