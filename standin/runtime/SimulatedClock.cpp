// The simulated clock. On Linux this is the platform runtime library the plug-in links against;
// on Windows the server carries it and patches the plug-in's _time64 import to reach it.
#include "standin/runtime/SimulatedClock.h"

#include <atomic>
#include <cerrno>
#include <chrono>

namespace {

std::atomic<bool> simulated{false};
std::atomic<std::int64_t> simulatedNow{0};

std::int64_t RealNow()
{
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// Each exported entry point reads the clock here rather than through another export, which a shared
// library calls through its own import table: the runtime's _time64 costs a few instructions, and
// so should the stand-in's, or the plug-in's timer call would be measured with its cost.
std::int64_t Now() { return simulated ? simulatedNow.load() : RealNow(); }

} // namespace

extern "C" {

std::int64_t qv_clock_time64(std::int64_t* out)
{
    const std::int64_t now = Now();
    if (out != nullptr) *out = now;
    return now;
}

#if !defined(_WIN32)
std::int64_t _time64(std::int64_t* out)
{
    const std::int64_t now = Now();
    if (out != nullptr) *out = now;
    return now;
}

int _localtime64_s(std::tm* out, const std::int64_t* time)
{
    if (out == nullptr) return EINVAL;
    // As the Windows runtime does: on a bad argument the result is all -1.
    const auto invalid = [out] {
        out->tm_sec = out->tm_min = out->tm_hour = out->tm_mday = out->tm_mon = out->tm_year = -1;
        out->tm_wday = out->tm_yday = out->tm_isdst = -1;
        return EINVAL;
    };
    // The Windows runtime's range: the epoch to the last second of the year 3000.
    constexpr std::int64_t Latest = 32535215999;
    if (time == nullptr || *time < 0 || *time > Latest) return invalid();
    const std::time_t seconds = static_cast<std::time_t>(*time);
    if (localtime_r(&seconds, out) == nullptr) return invalid();
    return 0;
}
#endif

void qv_clock_set(std::int64_t secondsSinceEpoch)
{
    simulatedNow = secondsSinceEpoch;
    simulated = true;
}

void qv_clock_advance(std::int64_t seconds)
{
    if (simulated) simulatedNow += seconds;
}

void qv_clock_use_real() { simulated = false; }

int qv_clock_is_simulated() { return simulated ? 1 : 0; }

std::int64_t qv_clock_now() { return Now(); }
}
