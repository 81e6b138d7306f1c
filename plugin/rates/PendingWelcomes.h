// The players waiting for their welcome: who joined while boosted rates were in force, and when each
// is to be told. A part of the plug-in's one state (PluginState.h).
#pragma once

#include <vector>

#include "plugin/config/Window.h"
#include "plugin/host/ArkApi.h"
#include "util/Time.h"

namespace qv {

struct PendingWelcome {
    // Compared with the world's live players, never followed: it dangles once the player has left.
    AShooterPlayerController* Player = nullptr;
    util::Instant Due;
};

struct PendingWelcomes {
    // The window whose rates were in force when those waiting joined: they are welcomed only while
    // it still is.
    WindowId Window = WindowId::Weekly();
    // In the order they joined.
    std::vector<PendingWelcome> Waiting;
    // The earliest Due among them; Instant::max() while nobody waits.
    util::Instant NextDue = util::Instant::max();
};

} // namespace qv
