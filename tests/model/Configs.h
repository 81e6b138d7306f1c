// Random config files for the model test, each with what loading it means: good files (with a
// byte-order mark, trailing text, repeated members, escaped texts), files whose weekend values
// cannot be read, half-valid files with one bad member, and files that are no JSON at all; with
// windows, also the optional members: times of day, schedules, reminders and a status command.
#pragma once

#include <cstdint>
#include <random>

#include "tests/model/Model.h"

namespace model {

// Deterministic on every platform (the standard distributions are not), so a seed replays anywhere.
class Rng {
public:
    explicit Rng(std::uint64_t seed) : engine_(seed) {}
    std::uint64_t Below(std::uint64_t bound) { return bound == 0 ? 0 : engine_() % bound; }
    bool Percent(int percent) { return static_cast<int>(Below(100)) < percent; }
    template <typename T, std::size_t N>
    const T& Pick(const T (&items)[N])
    {
        return items[Below(N)];
    }

private:
    std::mt19937_64 engine_;
};

enum class ConfigKind { Good, UnreadableWeekend, HalfValid, Broken };

// What beyond the plain weekend a config may hold. Without windows the files are exactly those of
// a plain weekend, drawn from the same random numbers as ever, so a seed keeps its sequence.
struct ConfigScope {
    bool windows = false;
    Wall around = 0; // dated windows fall in the days around this time
};

ConfigFile MakeConfig(Rng& rng, ConfigKind kind, const ConfigScope& scope = {});

} // namespace model
