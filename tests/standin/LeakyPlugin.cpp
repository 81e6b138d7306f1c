// A plug-in library that misbehaves on purpose: it registers a chat command and a timer callback
// when loaded and never takes them back, so the server's handling of leftovers can be tested.
#include <cstdint>
#include <string>

#include "plugin/host/ArkApi.h"
#include "tests/standin/TestPluginName.h"

namespace {

using test_plugin::Name;

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
