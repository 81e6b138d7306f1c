// The platform runtime's clock, as the plug-in reads it (_time64, _localtime64_s), and its control:
// the real clock by default, or a simulated time that the stand-in server sets and advances.
#pragma once

#include <cstdint>
#include <ctime>

#if defined(_WIN32)
#define QVRUNTIME_API
#elif defined(QVRUNTIME_EXPORTS)
#define QVRUNTIME_API __attribute__((visibility("default")))
#else
#define QVRUNTIME_API
#endif

extern "C" {

#if !defined(_WIN32)
// The names and behaviour of the Windows C runtime's functions: seconds since the epoch, also
// stored through out when it is not null; and local time, returning 0 on success or EINVAL.
QVRUNTIME_API std::int64_t _time64(std::int64_t* out);
QVRUNTIME_API int _localtime64_s(std::tm* out, const std::int64_t* time);
#endif

QVRUNTIME_API void qv_clock_set(std::int64_t secondsSinceEpoch);
QVRUNTIME_API void qv_clock_advance(std::int64_t seconds);
QVRUNTIME_API void qv_clock_use_real();
QVRUNTIME_API int qv_clock_is_simulated();
// What the plug-in's clock reads now.
QVRUNTIME_API std::int64_t qv_clock_now();
// The clock function to put in a Windows plug-in's import table in place of the runtime's _time64.
QVRUNTIME_API std::int64_t qv_clock_time64(std::int64_t* out);
}
