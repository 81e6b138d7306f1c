// Runs one sequence against the real plug-in library in the stand-in server and, after every
// step, compares the server with the reference model.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "tests/model/Sequence.h"

namespace model {

// What the runs reached, so a test can show that the random sequences cover what matters.
struct Coverage {
    std::uint64_t sequences = 0;
    std::uint64_t actions = 0;
    std::uint64_t timerCalls = 0;
    Tally tally;

    Coverage& operator+=(const Coverage& other);
};

struct RunResult {
    // The first difference from the model: which action, and what differed.
    std::optional<std::string> failure;
    // The plug-in read the real clock, not the simulated one (a Windows build that could not
    // redirect its clock import): the schedule cannot be modelled.
    bool clockNotSimulated = false;
    Coverage coverage;
};

RunResult RunSequence(const Sequence& sequence);

} // namespace model
