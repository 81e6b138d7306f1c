// Source RCON's packets as they travel: a little-endian size, id and type, then the body ending in a
// zero byte and an empty string (one more zero). The size counts what follows it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace qvtool::rcon {

// Request types, and the types of the answers.
constexpr std::int32_t kAuth = 3;
constexpr std::int32_t kExecCommand = 2;
constexpr std::int32_t kAuthResponse = 2;
constexpr std::int32_t kResponseValue = 0;
// The id of an authentication response that refuses the password.
constexpr std::int32_t kRefused = -1;

// The size of a packet with an empty body: id, type and the two zeros.
constexpr std::size_t kLeastPacketSize = 10;
// The largest size game servers take or send; a longer answer goes out as several packets.
constexpr std::size_t kMostPacketSize = 4096;
constexpr std::size_t kMostBodyBytes = kMostPacketSize - kLeastPacketSize;

struct Packet {
    std::int32_t Id = 0;
    std::int32_t Type = 0;
    std::string Body;
};

// The first packet of what a client sent, or why there is none yet.
struct Incomplete {};
struct Decoded {
    Packet Value;
    std::size_t Bytes = 0; // taken from the start of the input, the size field included
};
// Nothing that follows can be read as packets either: the connection is to be closed.
struct Malformed {
    std::string Reason;
};
// A size outside 10 to 4096 is malformed as soon as its four bytes are in, without waiting for what
// it announces.
std::variant<Incomplete, Decoded, Malformed> DecodePacket(std::string_view received);

// One packet; its body is at most kMostBodyBytes.
std::string EncodePacket(const Packet& packet);
// An answer of any length: packets of the id and type in order, each body at most kMostBodyBytes and
// cut between UTF-8 characters, so that a client that decodes each packet on its own reads whole
// characters; empty text gives one empty packet.
std::string EncodeAnswer(std::int32_t id, std::int32_t type, std::string_view text);

} // namespace qvtool::rcon
