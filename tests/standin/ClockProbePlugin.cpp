// A plug-in library that reports the clock it reads: the console command "clockprobe" logs what
// the platform runtime's _time64 answers inside the library, so a test can see which clock a
// loaded plug-in really gets (on Windows, through its redirected import).
#include <cstdint>
#include <ctime>
#include <memory>
#include <string>

#include <spdlog/logger.h>

#include "plugin/host/ArkApi.h"
#include "tests/standin/TestPluginName.h"

#if !defined(_WIN32)
extern "C" std::int64_t _time64(std::int64_t* out);
#endif

namespace {

using test_plugin::Name;

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
