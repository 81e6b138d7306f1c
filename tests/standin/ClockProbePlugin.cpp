// A plug-in library that reports the clock it reads: the console command "clockprobe" logs what
// the platform runtime's _time64 answers inside the library, so a test can see which clock a
// loaded plug-in really gets (on Windows, through its redirected import).
#include <cstdint>
#include <ctime>
#include <memory>
#include <string>

#include <spdlog/logger.h>

#include "plugin/host/ArkApi.h"

#if !defined(_WIN32)
extern "C" std::int64_t _time64(std::int64_t* out);
#endif

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

struct Probe {
    Probe()
    {
        ArkApi::GetCommands().RegisterConsoleCommand(Name(u"clockprobe").ref(), [](APlayerController*, FString*, bool) {
            auto& sinks = GetLogSinks();
            spdlog::logger logger("ClockProbe", sinks.begin(), sinks.end());
            logger.info("{}", static_cast<long long>(_time64(nullptr)));
        });
    }
    ~Probe() { ArkApi::GetCommands().UnregisterConsoleCommand(Name(u"clockprobe").ref()); }
};

const Probe probe;

} // namespace
