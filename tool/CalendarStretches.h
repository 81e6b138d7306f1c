// The stretches in which each window of a config is in force, worked out with the plug-in's own
// window functions (config/Windows.h), as the calendar that the feed and the page are written from.
#pragma once

#include <string>

#include "plugin/config/Config.h"
#include "tool/PublishedCalendar.h"

namespace qvtool {

struct CalendarRequest {
    std::string Title;
    Instant From;  // the first moment shown
    int Days = 90; // local days from it, as simulate counts them
    Instant Made;
};

// Every stretch that overlaps the days, with its whole extent, on the config's clock; each window of
// config, whether or not it comes into force in them.
PublishedCalendar MakePublishedCalendar(const qv::Config& config, const CalendarRequest& request);

} // namespace qvtool
