// Our declaration of the host's log ABI (plugin/host/LogSink.h), seen from a translation unit that
// includes the real library instead: the two cannot meet in one unit, since both define
// spdlog::sinks::sink. Records cross as addresses, as they cross between the host and a plug-in.
#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace declared {

// Sizes and offsets, by the library's names: "log_msg", "log_msg.formatted", ...
std::vector<std::pair<std::string, std::size_t>> Layout();

struct Fields {
    const std::string* logger = nullptr;
    int level = 0;
    std::chrono::system_clock::time_point time;
    std::size_t thread = 0;
    std::string raw;
    std::string formatted;
    std::size_t formattedCapacity = 0;
    std::size_t id = 0;
};

// A record made through our declaration, for the library's code to read.
std::shared_ptr<void> MakeMessage(const Fields& fields);
// A record, read through our declaration.
Fields ReadMessage(const void* message);
// Grows the record's formatted text through our declaration's virtual slot; the capacity after.
std::size_t GrowFormatted(void* message, std::size_t capacity);
// A sink's own level, read through our declaration.
int SinkLevel(const void* sink);

} // namespace declared
