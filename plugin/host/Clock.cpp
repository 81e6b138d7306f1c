// On Windows _time64 and _localtime64_s come from the C runtime. Linux has no such runtime,
// so there they come from the platform runtime library beside the host, which a test or a
// simulation can set to any date.
#include "plugin/host/Clock.h"

#include <cstdint>
#include <ctime>

namespace qv {
namespace Clock {

std::optional<LocalTime> LocalTimeAt(util::Instant instant)
{
#if defined(_WIN32)
    const __time64_t time = util::SecondsSinceEpoch(instant);
#else
    const std::int64_t time = util::SecondsSinceEpoch(instant);
#endif

    std::tm local{};
    if (_localtime64_s(&local, &time) != 0) return std::nullopt;
    return LocalTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                     local.tm_min,         local.tm_sec,     local.tm_wday};
}

} // namespace Clock

} // namespace qv
