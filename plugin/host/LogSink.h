// The host's log sinks as the logging library the host is built with lays them out (spdlog 0.16.2 over
// fmt 4.1.0): the sink's virtual table and level, the record the host's logger hands every sink, and
// the text buffers inside the record. Declared here rather than included, as FString is: that library
// is not ours to depend on, and its fmt would clash with the one we format with. Only
// spdlog::sinks::sink keeps the library's name, because GetLogSinks()' decorated name holds it;
// everything else is ours, in HostLog. Names do not bind; order, sizes and offsets do.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

namespace HostLog {

// The library's levels, in its numbers.
enum class Level : int { Trace = 0, Debug = 1, Info = 2, Warning = 3, Error = 4, Critical = 5, Off = 6 };

// As the library's logger writes them into a line.
constexpr const char* LevelName(Level level)
{
    constexpr const char* names[] = {"trace", "debug", "info", "warning", "error", "critical", "off"};
    const int index = static_cast<int>(level);
    return index >= 0 && index < 7 ? names[index] : "unknown";
}

// What the library's logger ends every formatted line with.
#if defined(_WIN32)
inline constexpr std::string_view LineEnd = "\r\n";
#else
inline constexpr std::string_view LineEnd = "\n";
#endif

// fmt 4.1's MemoryBuffer<char, 500> over its base Buffer<char>: the virtual table holds grow, then
// the destructor; then the text's address, its size and capacity, and 500 bytes held inline. The
// host's sinks read the text, and a sink's c_str() may call Grow through the table for room for one
// more byte, so Grow must work whichever side calls it; the buffer it makes is ours to free.
class TextBuffer {
public:
    static constexpr std::size_t InlineCapacity = 500;

    TextBuffer() noexcept : Data(Inline), Size(0), Capacity(InlineCapacity) {}
    TextBuffer(const TextBuffer&) = delete;
    TextBuffer& operator=(const TextBuffer&) = delete;

    // Room for at least capacity bytes, as fmt grows: by half again, or to capacity if that is more.
    virtual void Grow(std::size_t capacity)
    {
        std::size_t grown = Capacity + Capacity / 2;
        if (capacity > grown) grown = capacity;
        char* larger = new char[grown];
        std::memcpy(larger, Data, Size);
        if (Data != Inline) delete[] Data;
        Data = larger;
        Capacity = grown;
    }
    virtual ~TextBuffer()
    {
        if (Data != Inline) delete[] Data;
    }

    void Append(std::string_view text)
    {
        if (Size + text.size() > Capacity) Grow(Size + text.size());
        if (!text.empty()) std::memcpy(Data + Size, text.data(), text.size());
        Size += text.size();
    }
    std::string_view View() const { return {Data, Size}; }

    char* Data;
    std::size_t Size;
    std::size_t Capacity;
    char Inline[InlineCapacity];
};

// fmt 4.1's MemoryWriter: a virtual destructor, a reference to its buffer (a pointer in the layout),
// and the buffer itself.
class TextWriter {
public:
    TextWriter() noexcept : Text(&Storage) {}
    TextWriter(const TextWriter&) = delete;
    TextWriter& operator=(const TextWriter&) = delete;
    virtual ~TextWriter() = default;

    TextBuffer* const Text;
    TextBuffer Storage;
};

// The library's log_msg: the logger's name, the level, the time, the thread's id, the message as
// written, the line the logger formatted from it, and a message number (0: not counted).
struct Message {
    Message(const std::string* logger, HostLog::Level level) : Logger(logger), Level(level) {}

    const std::string* Logger;
    HostLog::Level Level;
    std::chrono::system_clock::time_point Time;
    std::size_t Thread = 0;
    TextWriter Raw;
    TextWriter Formatted;
    std::size_t Id = 0;
};

} // namespace HostLog

namespace spdlog::sinks {

// A host's sink: its destructor, log and flush in the virtual table, then its own level. The host's
// logger hands a sink only records at or above that level; a plug-in's logger must ask the same.
class sink {
public:
    sink() = default;
    sink(const sink&) = delete;
    sink& operator=(const sink&) = delete;
    virtual ~sink() = default;
    virtual void Log(const HostLog::Message& message) = 0;
    virtual void Flush() = 0;

    bool Accepts(HostLog::Level level) const
    {
        return static_cast<int>(level) >= MinimumLevel.load(std::memory_order_relaxed);
    }

    std::atomic<int> MinimumLevel{static_cast<int>(HostLog::Level::Trace)};
};

} // namespace spdlog::sinks

// The layouts bind on x86-64, the only target a server has. offsetof on classes with a virtual table
// is conditionally supported; the three compilers that build us lay them out as checked here.
static_assert(sizeof(void*) == 8, "the host is a 64-bit program");
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winvalid-offsetof"
#endif
static_assert(sizeof(HostLog::TextBuffer) == 536, "fmt 4.1's MemoryBuffer<char, 500>");
static_assert(offsetof(HostLog::TextBuffer, Data) == 8);
static_assert(offsetof(HostLog::TextBuffer, Size) == 16);
static_assert(offsetof(HostLog::TextBuffer, Capacity) == 24);
static_assert(offsetof(HostLog::TextBuffer, Inline) == 32);
static_assert(sizeof(HostLog::TextWriter) == 552, "fmt 4.1's MemoryWriter");
static_assert(offsetof(HostLog::TextWriter, Text) == 8);
static_assert(offsetof(HostLog::TextWriter, Storage) == 16);
static_assert(sizeof(HostLog::Message) == 1144, "spdlog 0.16's log_msg");
static_assert(offsetof(HostLog::Message, Logger) == 0);
static_assert(offsetof(HostLog::Message, Level) == 8);
static_assert(offsetof(HostLog::Message, Time) == 16);
static_assert(offsetof(HostLog::Message, Thread) == 24);
static_assert(offsetof(HostLog::Message, Raw) == 32);
static_assert(offsetof(HostLog::Message, Formatted) == 584);
static_assert(offsetof(HostLog::Message, Id) == 1136);
static_assert(sizeof(spdlog::sinks::sink) == 16, "spdlog 0.16's sink");
static_assert(offsetof(spdlog::sinks::sink, MinimumLevel) == 8);
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
