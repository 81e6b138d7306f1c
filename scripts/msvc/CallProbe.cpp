// The game's side of the two calls whose rules differ between compilers: a function that takes the
// chat record by value, and one that takes a colour by value. scripts/check-msvc.sh reads their
// object code, and that of Game::SendChatMessage, the plug-in's caller.
#include "plugin/host/ChatMessageRecord.h"
#include "plugin/host/Colors.h"

struct AShooterPlayerController;

void ReceiveChatRecord(AShooterPlayerController*, ChatMessageRecord) {}

float ReadGreen(AShooterPlayerController*, MessageColor color) { return color.G; }
