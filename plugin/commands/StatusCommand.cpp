// Every player may ask; the answer goes to that player alone.
#include "plugin/commands/StatusCommand.h"

#include "plugin/host/Clock.h"
#include "plugin/host/Colors.h"
#include "plugin/messaging/Messaging.h"
#include "plugin/messaging/Patterns.h"
#include "plugin/rates/Status.h"

namespace qv {

namespace {

constexpr ByteColor StatusReplyColor{255, 255, 255, 255};

} // namespace

void TellStatus(const Asker& asker)
{
    // The status may quote a window's name, which may hold braces; the reply text is a pattern.
    Tell(asker, ToMessageColor(StatusReplyColor), EscapeBraces(RatesStatus(State, Clock::Now())));
}

void StatusChatCommand(AShooterPlayerController* player, FString*, EChatSendMode::Type)
{
    if (player == nullptr) return;
    TellStatus(player);
}

} // namespace qv
