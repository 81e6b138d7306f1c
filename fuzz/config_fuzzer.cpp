// libFuzzer target: arbitrary bytes as config.json through a reload, a switch-on and a
// switch-back. Any broken check aborts, so libFuzzer keeps the input as a crash.
#include <cstdio>
#include <cstdlib>

#include "fuzz/ConfigRoundTrip.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // One server for the whole run: building one per input would cost more than the input.
    static fuzzing::ConfigRoundTrip roundTrip;
    const std::string problems = roundTrip.Check(data, size);
    if (!problems.empty()) {
        std::fprintf(stderr, "config round trip broke:\n%s", problems.c_str());
        std::abort();
    }
    return 0;
}
