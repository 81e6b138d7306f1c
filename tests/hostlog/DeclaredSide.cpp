// The side of the comparison that sees only our declaration of the host's log ABI.
#include "tests/hostlog/DeclaredSide.h"

#include "plugin/host/LogSink.h"

namespace declared {

#if defined(__GNUC__)
#pragma GCC diagnostic ignored "-Winvalid-offsetof"
#endif

std::vector<std::pair<std::string, std::size_t>> Layout()
{
    using HostLog::Message;
    return {
        {"sink", sizeof(spdlog::sinks::sink)},
        {"log_msg", sizeof(Message)},
        {"log_msg.logger_name", offsetof(Message, Logger)},
        {"log_msg.level", offsetof(Message, Level)},
        {"log_msg.time", offsetof(Message, Time)},
        {"log_msg.thread_id", offsetof(Message, Thread)},
        {"log_msg.raw", offsetof(Message, Raw)},
        {"log_msg.formatted", offsetof(Message, Formatted)},
        {"log_msg.msg_id", offsetof(Message, Id)},
        {"MemoryWriter", sizeof(HostLog::TextWriter)},
        {"MemoryBuffer", sizeof(HostLog::TextBuffer)},
    };
}

std::shared_ptr<void> MakeMessage(const Fields& fields)
{
    auto message = std::make_shared<HostLog::Message>(fields.logger, static_cast<HostLog::Level>(fields.level));
    message->Time = fields.time;
    message->Thread = fields.thread;
    message->Raw.Text->Append(fields.raw);
    message->Formatted.Text->Append(fields.formatted);
    message->Id = fields.id;
    return message;
}

Fields ReadMessage(const void* address)
{
    const auto& message = *static_cast<const HostLog::Message*>(address);
    Fields fields;
    fields.logger = message.Logger;
    fields.level = static_cast<int>(message.Level);
    fields.time = message.Time;
    fields.thread = message.Thread;
    fields.raw = std::string(message.Raw.Text->View());
    fields.formatted = std::string(message.Formatted.Text->View());
    fields.formattedCapacity = message.Formatted.Text->Capacity;
    fields.id = message.Id;
    return fields;
}

std::size_t GrowFormatted(void* address, std::size_t capacity)
{
    HostLog::TextBuffer& text = *static_cast<HostLog::Message*>(address)->Formatted.Text;
    text.Grow(capacity);
    return text.Capacity;
}

int SinkLevel(const void* sink) { return static_cast<const spdlog::sinks::sink*>(sink)->MinimumLevel.load(); }

} // namespace declared
