// The time zone of the machine the tool runs on, which its times are in when a config names no
// TimeZone: by its IANA name where the machine tells it, and by its abbreviations.
#pragma once

#include <string>

namespace qvtool {

struct MachineZone {
    std::string Name;          // "America/New_York"; empty when the machine does not tell
    std::string Abbreviations; // "EST/EDT", "UTC"
};

// From TZ when it names a zone, else (on Linux) from /etc/localtime or /etc/timezone; the
// abbreviations from the C runtime's local time now and half a year on.
MachineZone LocalMachineZone();
// "America/New_York, EST/EDT", "UTC", "EST/EDT".
std::string MachineZoneText(const MachineZone& zone);
// For administrators, when a config names no TimeZone: "Times are this machine's local time (UTC);
// the plug-in uses the server's."
std::string MachineTimeNote();

} // namespace qvtool
