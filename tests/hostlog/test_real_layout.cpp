// Our declaration of the host's log ABI against the real library's headers: the same sizes and
// offsets, and each side's code reading and growing what the other side made, through the buffers'
// and the sink's real virtual tables and fields.
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>
#include <spdlog/details/log_msg.h>
#include <spdlog/sinks/sink.h>

#include "tests/hostlog/DeclaredSide.h"

namespace {

#if defined(__GNUC__)
#pragma GCC diagnostic ignored "-Winvalid-offsetof"
#endif

// What spdlog's own sink declares, and nothing more: it only has to exist.
class PlainSink final : public spdlog::sinks::sink {
    void log(const spdlog::details::log_msg&) override {}
    void flush() override {}
};

TEST(RealLayout, OurSizesAndOffsetsAreTheLibrarys)
{
    using spdlog::details::log_msg;
    const std::vector<std::pair<std::string, std::size_t>> real{
        {"sink", sizeof(spdlog::sinks::sink)},
        {"log_msg", sizeof(log_msg)},
        {"log_msg.logger_name", offsetof(log_msg, logger_name)},
        {"log_msg.level", offsetof(log_msg, level)},
        {"log_msg.time", offsetof(log_msg, time)},
        {"log_msg.thread_id", offsetof(log_msg, thread_id)},
        {"log_msg.raw", offsetof(log_msg, raw)},
        {"log_msg.formatted", offsetof(log_msg, formatted)},
        {"log_msg.msg_id", offsetof(log_msg, msg_id)},
        {"MemoryWriter", sizeof(fmt::MemoryWriter)},
        {"MemoryBuffer", sizeof(fmt::internal::MemoryBuffer<char, fmt::internal::INLINE_BUFFER_SIZE>)},
    };
    EXPECT_EQ(declared::Layout(), real);
}

TEST(RealLayout, TheLibrarysCodeReadsARecordMadeThroughOurDeclaration)
{
    const std::string logger = "Quorvandelle";
    declared::Fields fields;
    fields.logger = &logger;
    fields.level = spdlog::level::err;
    fields.time = spdlog::log_clock::now();
    fields.thread = 4242;
    fields.raw = "raw text";
    // Exactly the inline capacity: c_str() needs one more byte and grows through our declared slot.
    fields.formatted = std::string(fmt::internal::INLINE_BUFFER_SIZE, 'x');
    fields.id = 7;
    const auto made = declared::MakeMessage(fields);
    const auto& message = *static_cast<const spdlog::details::log_msg*>(made.get());
    EXPECT_EQ(message.logger_name, &logger);
    EXPECT_EQ(message.level, spdlog::level::err);
    EXPECT_EQ(message.time, fields.time);
    EXPECT_EQ(message.thread_id, 4242u);
    EXPECT_EQ(message.raw.str(), "raw text");
    EXPECT_EQ(message.formatted.str(), fields.formatted);
    EXPECT_EQ(std::string(message.formatted.c_str()), fields.formatted);
    EXPECT_GT(declared::ReadMessage(made.get()).formattedCapacity, fmt::internal::INLINE_BUFFER_SIZE);
    EXPECT_EQ(message.msg_id, 7u);
}

TEST(RealLayout, OurDeclarationReadsAndGrowsARecordAndReadsASinkTheLibraryMade)
{
    const std::string logger = "ArkApi";
    spdlog::details::log_msg message(&logger, spdlog::level::warn);
    message.thread_id = 99;
    message.msg_id = 3;
    message.raw << "raw";
    const std::string line(600, 'y'); // beyond the inline bytes: the library's own buffer
    message.formatted << line;
    const declared::Fields read = declared::ReadMessage(&message);
    EXPECT_EQ(read.logger, &logger);
    EXPECT_EQ(read.level, spdlog::level::warn);
    EXPECT_EQ(read.time, message.time);
    EXPECT_EQ(read.thread, 99u);
    EXPECT_EQ(read.raw, "raw");
    EXPECT_EQ(read.formatted, line);
    EXPECT_EQ(read.id, 3u);
    // The library's grow, called through our declaration's slot, keeps the text.
    EXPECT_GE(declared::GrowFormatted(&message, 5000), 5000u);
    EXPECT_EQ(message.formatted.str(), line);

    PlainSink sink;
    for (const auto level : {spdlog::level::err, spdlog::level::trace, spdlog::level::critical}) {
        sink.set_level(level);
        EXPECT_EQ(declared::SinkLevel(static_cast<const spdlog::sinks::sink*>(&sink)), level);
    }
}

} // namespace
