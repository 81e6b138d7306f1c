// Three kinds of time that must not be mixed, as types of their own: an instant (seconds since
// 1970-01-01 00:00 UTC, as a clock counts them), a wall-clock time (what some zone's clock shows,
// counted the same way on that clock, with no instant until a zone says which) and a duration.
// Adding two instants, or comparing an instant with a wall-clock time, does not compile.
#pragma once

#include <chrono>
#include <cstdint>

namespace util {

using Seconds = std::chrono::seconds;
using Minutes = std::chrono::minutes;
using Hours = std::chrono::hours;
using Days = std::chrono::duration<std::int64_t, std::ratio<86400>>;
using Weeks = std::chrono::duration<std::int64_t, std::ratio<604800>>;

using Instant = std::chrono::time_point<std::chrono::system_clock, Seconds>;

// The clock of wall-clock times: a tag, never read; which zone's wall it is depends on who asks.
struct WallClock {};
using WallTime = std::chrono::time_point<WallClock, Seconds>;

constexpr Instant InstantOf(std::int64_t secondsSinceEpoch) { return Instant{Seconds{secondsSinceEpoch}}; }
constexpr WallTime WallTimeOf(std::int64_t secondsSinceEpoch) { return WallTime{Seconds{secondsSinceEpoch}}; }
// For the host's and the file's plain integers.
constexpr std::int64_t SecondsSinceEpoch(Instant instant) { return instant.time_since_epoch().count(); }
constexpr std::int64_t SecondsSinceEpoch(WallTime wall) { return wall.time_since_epoch().count(); }

// The wall-clock time a clock shows at an instant, given its offset east of UTC then; and back.
constexpr WallTime WallAtOffset(Instant instant, Seconds offset)
{
    return WallTime{instant.time_since_epoch() + offset};
}
constexpr Instant InstantAtOffset(WallTime wall, Seconds offset) { return Instant{wall.time_since_epoch() - offset}; }

} // namespace util
