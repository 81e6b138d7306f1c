// A plug-in library that reports the clock it reads: the console command "clockprobe" logs what
// the platform runtime's _time64 answers inside the library, so a test can see which clock a
// loaded plug-in really gets (on Windows, through its redirected import).
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <memory>
#include <string>

#include "plugin/host/ArkApi.h"
#include "plugin/host/LogSink.h"
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
            const std::string logger = "ClockProbe";
            HostLog::Message message(&logger, HostLog::Level::Info);
            // Not std::to_string: its table of digits would pin the library in memory (a unique symbol).
            char digits[24] = {};
            std::snprintf(digits, sizeof digits, "%lld", static_cast<long long>(_time64(nullptr)));
            message.Raw.Text->Append(digits);
            for (const auto& sink : GetLogSinks()) sink->Log(message);
        });
    }
    ~Probe() { ArkApi::GetCommands().UnregisterConsoleCommand(Name(u"clockprobe").ref()); }
};

const Probe probe;

} // namespace
