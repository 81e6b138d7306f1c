// The stretches in which each window of a config is in force, worked out with the plug-in's own
// window functions (config/Windows.h), as the calendar that the feed and the page are written from.
#pragma once

#include <string>

#include "plugin/config/Config.h"
#include "tool/PublishedCalendar.h"

namespace qvtool {

// The instant at which the local wall clock first reads wall, as the plug-in's decision sees it:
// a time repeated when the clocks go back is its first passing, and a time that they skip is the
// end of the gap, when the plug-in finds the window open.
Seconds InstantOfWall(qv::WallSeconds wall);

struct CalendarRequest {
    std::string title;
    Seconds from = 0; // the first moment shown
    int days = 90;    // local days from it, as simulate counts them
    Seconds made = 0;
};

// Every stretch that overlaps the days, with its whole extent; each window of config, whether or not
// it comes into force in them.
PublishedCalendar MakePublishedCalendar(const qv::Config& config, const CalendarRequest& request);

} // namespace qvtool
