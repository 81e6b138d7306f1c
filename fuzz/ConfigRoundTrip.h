// Arbitrary bytes as config.json, and the file a writer makes of the same bytes, each through a
// reload, a switch-on and a switch-back, with the checks that nothing is lost: the fuzz target
// runs it on every input, and the regression test replays the saved inputs through it in the
// normal build.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

namespace fuzzing {

// One stand-in server for the whole process, with the plug-in's core started in it (as the
// library's entry point would) and an administrator connected. Only one may exist at a time.
class ConfigRoundTrip {
public:
    ConfigRoundTrip();
    ~ConfigRoundTrip();
    ConfigRoundTrip(const ConfigRoundTrip&) = delete;
    ConfigRoundTrip& operator=(const ConfigRoundTrip&) = delete;

    // The bytes go in as config.json, then the file written from them; each time "/qvreload" from the
    // console, then "/ToggleQuorvandelle" twice. Returns what broke, one line each: empty when every
    // check held.
    std::string Check(const std::uint8_t* data, std::size_t size);

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace fuzzing
