// A plug-in library that misbehaves on purpose: it registers a chat command and a timer callback
// when loaded and never takes them back, so the server's handling of leftovers can be tested.
#include <cstdint>
#include <string>

#include "plugin/host/ArkApi.h"

namespace {

struct Name {
    char16_t* Data = nullptr;
    std::int32_t Num = 0;
    std::int32_t Max = 0;

    explicit Name(std::u16string_view text)
    {
        Num = Max = static_cast<std::int32_t>(text.size() + 1);
        Data = static_cast<char16_t*>(reinterpret_cast<void* (*)(std::uint64_t, std::uint32_t)>(
            GetAddress(std::string("FMemory.Malloc")))(Num * sizeof(char16_t), 0));
        for (std::size_t i = 0; i < text.size(); ++i) Data[i] = text[i];
        Data[Num - 1] = u'\0';
    }
    ~Name() { reinterpret_cast<void (*)(void*)>(GetAddress(std::string("FMemory.Free")))(Data); }
    const FString& ref() const { return *reinterpret_cast<const FString*>(this); }
};

int timerCalls = 0;

struct LoadsAndForgets {
    LoadsAndForgets()
    {
        ArkApi::GetCommands().RegisterChatCommand(Name(u"/leak").ref(),
                                                  [](AShooterPlayerController*, FString*, EChatSendMode::Type) {});
        ArkApi::GetCommands().RegisterTimerCallback(Name(u"leak").ref(), [] { ++timerCalls; });
    }
};

const LoadsAndForgets entryPoint;

} // namespace
