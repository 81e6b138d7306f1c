// The fuzzer's bytes read as the choices of a writer of config files: the text it writes, and its own
// record of what that text says, so the round trip can hold the plug-in to values no parser of ours
// worked out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace fuzzing {

// What one weekend value was written as.
struct WrittenValue {
    bool readable = true; // false: a switch-on must refuse the file's values
    float value = 0.0f;   // readable: what the field gets; 0 leaves it alone
};

struct GeneratedConfig {
    std::string text;
    bool loads = true;              // false: a setting the file needs was written wrong or left out
    std::vector<WrittenValue> rows; // in the order of the names given
    bool notification = false;
    bool chatbox = false;
    bool motdChange = false;
    std::u16string weekendMotd;
    std::u16string normalMotd;
};

// rows: the sixteen multiplier names; wholeRows[i] when row i is read as a whole number.
GeneratedConfig GenerateConfig(const std::vector<std::string>& rows, const std::vector<bool>& wholeRows,
                               const std::uint8_t* data, std::size_t size);

} // namespace fuzzing
