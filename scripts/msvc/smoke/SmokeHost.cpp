// The host side of the MSVC-target smoke test (scripts/check-msvc.sh smoke), built as version.dll: the
// contract's ICommands from plugin/host/ArkApi.h, exported under the names Microsoft's compiler gives
// it, recording the one chat command a plug-in registers. No C++ runtime is linked.
#include "scripts/msvc/smoke/SmokeFString.h"

#include "plugin/host/ArkApi.h"

namespace {

class Commands final : public ArkApi::ICommands {
public:
    void RegisterChatCommand(const FString& name, const ArkApi::ChatCommandCallback&) override { chatName = &name; }
    void RegisterConsoleCommand(const FString&, const ArkApi::ConsoleCommandCallback&) override { wrongSlot = true; }
    void RegisterRconCommand(const FString&, const ArkApi::RconCommandCallback&) override { wrongSlot = true; }
    void RegisterTickCallback(const FString&, const ArkApi::TickCallback&) override { wrongSlot = true; }
    void RegisterTimerCallback(const FString&, const ArkApi::TimerCallback&) override { wrongSlot = true; }
    void RegisterChatMessageCallback(const FString&, const ArkApi::ChatMessageCallback&) override { wrongSlot = true; }
    bool UnregisterChatCommand(const FString& name) override
    {
        return chatName != nullptr && SameText(name, *chatName);
    }
    bool UnregisterConsoleCommand(const FString&) override { return wrongSlot = true; }
    bool UnregisterRconCommand(const FString&) override { return wrongSlot = true; }
    bool UnregisterTickCallback(const FString&) override { return wrongSlot = true; }
    bool UnregisterTimerCallback(const FString&) override { return wrongSlot = true; }
    bool UnregisterChatMessageCallback(const FString&) override { return wrongSlot = true; }

    const FString* chatName = nullptr;
    bool wrongSlot = false;
};

// Made on first use in static storage: a static object would need a runtime to construct and destroy it.
alignas(Commands) unsigned char storage[sizeof(Commands)];
Commands* commands = nullptr;

Commands& TheCommands()
{
    if (commands == nullptr) commands = new (storage) Commands();
    return *commands;
}

} // namespace

ArkApi::ICommands& ArkApi::GetCommands() { return TheCommands(); }

// What the loader reads back: 0 when the plug-in registered "/smoke" through the right slot.
extern "C" __declspec(dllexport) int SmokeResult()
{
    const Commands& host = TheCommands();
    if (host.wrongSlot) return 3;
    if (host.chatName == nullptr) return 4;
    return SameText(*host.chatName, SmokeCommandName()) ? 0 : 5;
}

// Never called (nothing is allocated), but Microsoft's virtual tables name the deleting destructor.
void operator delete(void*) noexcept {}
void operator delete(void*, std::size_t) noexcept {}
