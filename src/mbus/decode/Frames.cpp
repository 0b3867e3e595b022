#include "mbus/decode/Frames.h"

namespace mbus::decode {

namespace {

// C field of a long request frame: SND_UD with FCB set (73) unless a fixed FCB of 0 was chosen.
uint8_t longFrameC(CField c) { return (c.fixed && c.fixedValue == 0) ? 0x53 : 0x73; }

size_t shortFrame(uint8_t c, uint8_t address, std::span<uint8_t> out)
{
    if (out.size() < kShortFrameSize)
        return 0;
    out[0] = 0x10;
    out[1] = c;
    out[2] = address;
    out[3] = static_cast<uint8_t>(c + address);
    out[4] = 0x16;
    return kShortFrameSize;
}

// 68 L L 68 followed by the body, the checksum over the body and 16.
size_t longFrame(std::span<const uint8_t> body, std::span<uint8_t> out)
{
    const size_t n = body.size() + 6;
    if (out.size() < n)
        return 0;
    out[0] = 0x68;
    out[1] = static_cast<uint8_t>(body.size());
    out[2] = static_cast<uint8_t>(body.size());
    out[3] = 0x68;
    for (size_t i = 0; i < body.size(); ++i)
        out[4 + i] = body[i];
    out[n - 2] = checksum(body);
    out[n - 1] = 0x16;
    return n;
}

} // namespace

uint8_t checksum(std::span<const uint8_t> bytes)
{
    uint8_t sum = 0;
    for (uint8_t b : bytes)
        sum = static_cast<uint8_t>(sum + b);
    return sum;
}

size_t Build_SND_NKE(uint8_t address, std::span<uint8_t> out) { return shortFrame(0x40, address, out); }

size_t Build_REQ_UD2(uint8_t address, uint32_t frameCount, CField c, std::span<uint8_t> out)
{
    const bool fcb = c.fixed ? c.fixedValue != 0 : frameCount % 2 == 0;
    return shortFrame(fcb ? 0x7B : 0x5B, address, out);
}

size_t Build_App_Reset(uint8_t address, CField c, std::span<uint8_t> out)
{
    const uint8_t body[] = {longFrameC(c), address, 0x50};
    return longFrame(body, out);
}

size_t Build_Select_Secondary(const std::array<int, 8>& digits, CField c, std::span<uint8_t> out)
{
    auto nibble = [&](size_t i) { return static_cast<uint8_t>(digits[i] < 0 ? 0x0F : digits[i] & 0x0F); };
    auto pair = [&](size_t hi) { return static_cast<uint8_t>(nibble(hi) << 4 | nibble(hi + 1)); };
    // Identification number in BCD, least significant byte first; then manufacturer, version
    // and medium as wildcards.
    const uint8_t body[] = {longFrameC(c), 0xFD, 0x52, pair(6), pair(4), pair(2), pair(0), 0xFF, 0xFF, 0xFF, 0xFF};
    return longFrame(body, out);
}

bool isAck(std::span<const uint8_t> reply) { return reply.size() == 1 && reply[0] == kAck; }

bool isLongFrame(std::span<const uint8_t> reply)
{
    const size_t n = reply.size();
    if (n <= 21)
        return false;
    if (reply[0] != 0x68 || reply[3] != 0x68 || reply[1] != reply[2] || reply[n - 1] != 0x16)
        return false;
    return reply[n - 2] == checksum(reply.subspan(4, n - 6));
}

} // namespace mbus::decode
