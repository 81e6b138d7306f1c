// The thin layer that carries the decisions out against the host: the switches, the reminders, the
// log records and the replies, in the order decided. The timer call, the toggle, the reload, the
// rebuilt world and the unload all act through here.
#pragma once

#include "plugin/host/ArkApi.h"
#include "plugin/messaging/Messaging.h"
#include "plugin/rates/Decisions.h"

namespace qv {

// Each switch that succeeds changes State and is logged as its record says; one that fails logs
// why and changes nothing. Replies go to asker (none: they are dropped).
void Perform(const ActionList& actions, const Asker& asker = {});

// What the host reports now, for a decision.
HostFacts CurrentHostFacts();

} // namespace qv
