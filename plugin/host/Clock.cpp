// On Windows _time64 and _localtime64_s come from the C runtime. Linux has no such runtime,
// so there they come from the platform runtime library beside the host, which a test or a
// simulation can set to any date.
#include "plugin/host/Clock.h"

#include <cstdint>
#include <ctime>
#include <stdexcept>

#if !defined(_WIN32)
extern "C" {
std::int64_t _time64(std::int64_t* out);
int _localtime64_s(std::tm* out, const std::int64_t* time);
}
#endif

namespace qv {
namespace Clock {

LocalTime LocalNow()
{
    const std::optional<LocalTime> now = LocalNowIfKnown();
    if (!now) throw std::runtime_error("the clock's time has no local date");
    return *now;
}

std::optional<LocalTime> LocalNowIfKnown() { return LocalTimeAt(_time64(nullptr)); }

std::optional<LocalTime> LocalTimeAt(std::int64_t secondsSinceEpoch)
{
#if defined(_WIN32)
    const __time64_t time = secondsSinceEpoch;
#else
    const std::int64_t time = secondsSinceEpoch;
#endif

    std::tm local{};
    if (_localtime64_s(&local, &time) != 0) return std::nullopt;
    return LocalTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                     local.tm_min,         local.tm_sec,     local.tm_wday};
}

} // namespace Clock

} // namespace qv
