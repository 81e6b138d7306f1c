// The fuzzer's seeds and the inputs it found, through the same round trip the fuzz target checks:
// a fault it found once stays found in every build.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fuzz/ConfigRoundTrip.h"

namespace {

std::vector<std::filesystem::path> InputsIn(const std::filesystem::path& folder)
{
    std::vector<std::filesystem::path> inputs;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        // Dot files keep an empty folder in git; they are no inputs.
        if (entry.is_regular_file() && entry.path().filename().string().rfind('.', 0) != 0) {
            inputs.push_back(entry.path());
        }
    }
    std::sort(inputs.begin(), inputs.end());
    return inputs;
}

std::string Bytes(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void ReplayAll(const std::vector<std::filesystem::path>& inputs)
{
    fuzzing::ConfigRoundTrip roundTrip;
    for (const auto& input : inputs) {
        const std::string bytes = Bytes(input);
        EXPECT_EQ(roundTrip.Check(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), "")
            << input.filename().string();
    }
}

// corpus: the seeds; regressions: every input a fuzzing run reported, and a minimised set of those
// it found that reach code the seeds do not.
TEST(FuzzInputs, EverySeedAndEveryFoundInputKeepsEveryValueAndAccount)
{
    for (const char* folder : {"corpus", "regressions"}) {
        const auto inputs = InputsIn(std::filesystem::u8path(QV_FUZZ_DIR) / folder);
        ASSERT_GE(inputs.size(), 10u) << "the inputs in " << QV_FUZZ_DIR << "/" << folder << " are missing";
        ReplayAll(inputs);
    }
}

} // namespace
