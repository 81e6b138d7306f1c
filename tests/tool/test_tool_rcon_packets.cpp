// RCON packets on the wire: what a client sent read back packet by packet, the sizes refused at once,
// and long answers split between characters.
#include <gtest/gtest.h>

#include <string>
#include <variant>

#include "tool/RconPackets.h"

using namespace qvtool::rcon;

namespace {

// A packet as a client would send it, with the size it claims.
std::string Raw(std::int32_t size, std::int32_t id, std::int32_t type, const std::string& rest)
{
    std::string bytes;
    for (std::int32_t value : {size, id, type}) {
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<char>((static_cast<std::uint32_t>(value) >> (8 * i)) & 0xFF));
    }
    return bytes + rest;
}

std::string Reason(std::string_view bytes)
{
    const auto decoded = DecodePacket(bytes);
    return std::holds_alternative<Malformed>(decoded) ? std::get<Malformed>(decoded).Reason : "(not malformed)";
}

} // namespace

TEST(ToolRconPackets, WhatIsEncodedDecodesAsItWentEvenWhenItArrivesInPieces)
{
    const std::string wire = EncodePacket({7, kExecCommand, "qvreload now"}) + EncodePacket({-1, kAuthResponse, ""});
    EXPECT_EQ(wire.substr(0, 12), Raw(22, 7, 2, "")); // little-endian size, id and type
    for (std::size_t cut = 0; cut < 26; ++cut) {
        EXPECT_TRUE(std::holds_alternative<Incomplete>(DecodePacket(wire.substr(0, cut)))) << cut;
    }
    const auto first = std::get<Decoded>(DecodePacket(wire));
    EXPECT_EQ(first.Bytes, 26u);
    EXPECT_EQ(first.Value.Id, 7);
    EXPECT_EQ(first.Value.Type, kExecCommand);
    EXPECT_EQ(first.Value.Body, "qvreload now");
    const auto second = std::get<Decoded>(DecodePacket(std::string_view(wire).substr(first.Bytes)));
    EXPECT_EQ(second.Value.Id, -1);
    EXPECT_EQ(second.Value.Body, "");
    EXPECT_EQ(second.Bytes, 14u);
}

TEST(ToolRconPackets, MalformedPacketsAreNamedAndOversizeOnesAtTheirSizeField)
{
    struct Row {
        std::string bytes;
        const char* reason;
    };
    const Row rows[] = {
        // A 1 MiB size is refused from its four bytes, without waiting for the megabyte.
        {Raw(1 << 20, 1, 2, ""), "a packet size of 1048576 bytes (10 to 4096 allowed)"},
        {Raw(4097, 1, 2, ""), "a packet size of 4097 bytes"},
        {Raw(9, 1, 2, std::string(2, '\0')), "a packet size of 9 bytes"},
        {Raw(-1, 1, 2, ""), "a packet size of -1 bytes"},
        {Raw(12, 1, 2, std::string("ab", 2) + std::string("\0x", 2)),
         "does not end in a zero byte and an empty string"},
        {Raw(13, 1, 2, std::string("a\0b\0\0", 5)), "a packet with a zero byte inside its body"},
    };
    for (const Row& row : rows) EXPECT_NE(Reason(row.bytes).find(row.reason), std::string::npos) << Reason(row.bytes);
    // The largest packet a client may send is read.
    const std::string largest = Raw(4096, 1, 2, std::string(4086, 'x') + std::string(2, '\0'));
    EXPECT_EQ(std::get<Decoded>(DecodePacket(largest)).Value.Body.size(), 4086u);
}

TEST(ToolRconPackets, LongAnswersAreSplitBetweenCharactersIntoPacketsOfAtMost4096)
{
    struct Row {
        std::string text;
        std::size_t packets;
    };
    const std::string e = "\xC3\xA9";        // two bytes
    const std::string euro = "\xE2\x82\xAC"; // three
    const Row rows[] = {
        {"", 1},
        {std::string(kMostBodyBytes, 'a'), 1},
        {std::string(kMostBodyBytes + 1, 'a'), 2},
        {std::string(kMostBodyBytes - 1, 'a') + e + "b", 2}, // é would straddle the cut
        {std::string(kMostBodyBytes - 2, 'a') + euro + std::string(10000, 'c'), 4},
        {std::string(kMostBodyBytes - 1, 'a') + "\x80\x80\x80\x80\x80" + "tail", 2}, // no UTF-8: cut at the limit
    };
    for (const Row& row : rows) {
        const std::string wire = EncodeAnswer(42, kResponseValue, row.text);
        std::string_view rest = wire;
        std::string joined;
        std::size_t packets = 0;
        while (!rest.empty()) {
            const auto packet = std::get<Decoded>(DecodePacket(rest));
            EXPECT_EQ(packet.Value.Id, 42);
            EXPECT_EQ(packet.Value.Type, kResponseValue);
            EXPECT_LE(packet.Bytes, 4 + kMostPacketSize);
            const std::string& body = packet.Value.Body;
            if (!body.empty() && row.text.find('\x80') == std::string::npos) {
                EXPECT_NE(static_cast<unsigned char>(body[0]) & 0xC0, 0x80) << "a packet starts inside a character";
            }
            joined += body;
            rest.remove_prefix(packet.Bytes);
            ++packets;
        }
        EXPECT_EQ(joined, row.text);
        EXPECT_EQ(packets, row.packets) << row.text.size();
    }
}
