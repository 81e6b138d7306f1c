// Events as JSON, one object a line: "time" (local on the run's clock, ISO 8601 with its offset from
// UTC) and "event" first.
#pragma once

#include <string>

#include "tool/Events.h"

namespace qvtool {

std::string EventToJsonLine(const Event& event, const qv::LocalClock& clock);

} // namespace qvtool
