// quorvandelle calendar: the stretches in which each window is in force, as an iCalendar feed for
// players to subscribe to or as an HTML page, written whole to standard output or to a file.
#pragma once

#include <string>

#include "tool/DateTime.h"
#include "tool/Output.h"

namespace qvtool {

enum class CalendarFormat { Feed, Page };

struct CalendarOptions {
    std::string Config;
    Instant From; // on the config's clock
    int Days = 90;
    CalendarFormat Format = CalendarFormat::Feed;
    std::string OutputFile; // empty: standard output
    // For a nightly job: no warnings and notes, only errors.
    bool Quiet = false;
};

int RunCalendar(const CalendarOptions& options, Output& output);

} // namespace qvtool
