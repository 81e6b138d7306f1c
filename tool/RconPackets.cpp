// Byte by byte, so that the layout is little-endian whatever the machine.
#include "tool/RconPackets.h"

#include <fmt/format.h>

namespace qvtool::rcon {

namespace {

std::int32_t ReadInt32(std::string_view bytes, std::size_t at)
{
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) value |= std::uint32_t{static_cast<unsigned char>(bytes[at + i])} << (8 * i);
    return static_cast<std::int32_t>(value);
}

void AppendInt32(std::string& out, std::int32_t value)
{
    const auto bits = static_cast<std::uint32_t>(value);
    for (std::size_t i = 0; i < 4; ++i) out.push_back(static_cast<char>((bits >> (8 * i)) & 0xFF));
}

bool IsContinuationByte(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) == 0x80; }

// Where the first packet of text ends: at most kMostBodyBytes in, moved back to the start of a
// character. Text that is not UTF-8 is cut at the limit, never further back than a character's length.
std::size_t CutPoint(std::string_view text)
{
    if (text.size() <= kMostBodyBytes) return text.size();
    std::size_t cut = kMostBodyBytes;
    for (int back = 0; back < 3 && IsContinuationByte(text[cut]); ++back) --cut;
    return IsContinuationByte(text[cut]) ? kMostBodyBytes : cut;
}

} // namespace

std::variant<Incomplete, Decoded, Malformed> DecodePacket(std::string_view received)
{
    if (received.size() < 4) return Incomplete{};
    const std::int32_t size = ReadInt32(received, 0);
    if (size < static_cast<std::int32_t>(kLeastPacketSize) || size > static_cast<std::int32_t>(kMostPacketSize)) {
        return Malformed{
            fmt::format("a packet size of {} bytes ({} to {} allowed)", size, kLeastPacketSize, kMostPacketSize)};
    }
    const std::size_t total = 4 + static_cast<std::size_t>(size);
    if (received.size() < total) return Incomplete{};
    if (received[total - 2] != '\0' || received[total - 1] != '\0') {
        return Malformed{"a packet whose body does not end in a zero byte and an empty string"};
    }
    const std::string_view body = received.substr(12, total - 14);
    if (body.find('\0') != std::string_view::npos) return Malformed{"a packet with a zero byte inside its body"};
    return Decoded{Packet{ReadInt32(received, 4), ReadInt32(received, 8), std::string(body)}, total};
}

std::string EncodePacket(const Packet& packet)
{
    std::string out;
    out.reserve(4 + kLeastPacketSize + packet.Body.size());
    AppendInt32(out, static_cast<std::int32_t>(kLeastPacketSize + packet.Body.size()));
    AppendInt32(out, packet.Id);
    AppendInt32(out, packet.Type);
    out += packet.Body;
    out.append(2, '\0');
    return out;
}

std::string EncodeAnswer(std::int32_t id, std::int32_t type, std::string_view text)
{
    std::string out;
    do {
        const std::size_t cut = CutPoint(text);
        out += EncodePacket(Packet{id, type, std::string(text.substr(0, cut))});
        text.remove_prefix(cut);
    } while (!text.empty());
    return out;
}

} // namespace qvtool::rcon
