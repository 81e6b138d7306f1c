// US Eastern time for the life of the object, for tests of the nights the clocks change.
#pragma once

#include <cstdlib>
#include <ctime>

#include "tool/DateTime.h"

// Written as a rule, so that no time-zone database is needed (the Windows C library reads the
// zone's names and applies the US rule); UTC again after, as ToolTestMain sets it.
class EasternZone {
public:
    EasternZone() { Set("EST5EDT,M3.2.0,M11.1.0"); }
    ~EasternZone() { Set("UTC0"); }
    EasternZone(const EasternZone&) = delete;
    EasternZone& operator=(const EasternZone&) = delete;
    bool Honoured() const { return qvtool::LocalCalendar(*qvtool::ParseLocalDateTime("2025-07-01")).tm_isdst > 0; }

private:
    static void Set(const char* zone)
    {
#if defined(_WIN32)
        _putenv_s("TZ", zone);
        _tzset();
#else
        setenv("TZ", zone, 1);
        tzset();
#endif
    }
};
