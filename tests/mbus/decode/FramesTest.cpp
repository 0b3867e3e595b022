#include "mbus/decode/Frames.h"

#include "Hex.h"

#include <gtest/gtest.h>

using namespace mbus::decode;
using mbustest::bytes;
using mbustest::hexOf;

namespace {

template <typename Build>
std::string built(Build build)
{
    std::array<uint8_t, 32> buf{};
    const size_t n = build(std::span<uint8_t>(buf));
    return hexOf(std::span<const uint8_t>(buf.data(), n));
}

std::array<int, 8> digits(std::initializer_list<int> d)
{
    std::array<int, 8> a;
    a.fill(-1);
    std::copy(d.begin(), d.end(), a.begin());
    return a;
}

} // namespace

TEST(FrameBuilders, WriteTheLinkFrames)
{
    const CField toggled{};
    const CField fixed0{true, 0};
    const CField fixed1{true, 1};
    struct Case {
        const char* what;
        std::string frame;
        const char* expected;
    };
    const Case cases[] = {
        {"SND_NKE broadcast", built([](auto b) { return Build_SND_NKE(0xFF, b); }), "10 40 FF 3F 16"},
        {"REQ_UD2 first request of a meter", built([&](auto b) { return Build_REQ_UD2(5, 0, toggled, b); }),
         "10 7B 05 80 16"},
        {"REQ_UD2 second request", built([&](auto b) { return Build_REQ_UD2(5, 1, toggled, b); }), "10 5B 05 60 16"},
        {"REQ_UD2 third request", built([&](auto b) { return Build_REQ_UD2(5, 2, toggled, b); }), "10 7B 05 80 16"},
        {"REQ_UD2 fixed FCB 0", built([&](auto b) { return Build_REQ_UD2(5, 0, fixed0, b); }), "10 5B 05 60 16"},
        {"REQ_UD2 fixed FCB 1", built([&](auto b) { return Build_REQ_UD2(5, 1, fixed1, b); }), "10 7B 05 80 16"},
        {"application reset", built([&](auto b) { return Build_App_Reset(1, toggled, b); }),
         "68 03 03 68 73 01 50 C4 16"},
        {"application reset, fixed FCB 0", built([&](auto b) { return Build_App_Reset(1, fixed0, b); }),
         "68 03 03 68 53 01 50 A4 16"},
        {"application reset, fixed FCB 1", built([&](auto b) { return Build_App_Reset(1, fixed1, b); }),
         "68 03 03 68 73 01 50 C4 16"},
        {"selection, first digit 1", built([&](auto b) { return Build_Select_Secondary(digits({1}), toggled, b); }),
         "68 0B 0B 68 73 FD 52 FF FF FF 1F FF FF FF FF DA 16"},
        {"selection, all digits",
         built([&](auto b) { return Build_Select_Secondary(digits({1, 2, 3, 4, 5, 6, 7, 8}), fixed0, b); }),
         "68 0B 0B 68 53 FD 52 78 56 34 12 FF FF FF FF B2 16"},
        {"selection, all wildcards", built([&](auto b) { return Build_Select_Secondary(digits({}), toggled, b); }),
         "68 0B 0B 68 73 FD 52 FF FF FF FF FF FF FF FF BA 16"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.frame, c.expected);
    }
}

TEST(FrameBuilders, WriteNothingIntoTooSmallABuffer)
{
    std::array<uint8_t, 16> buf;
    buf.fill(0xAA);
    EXPECT_EQ(Build_SND_NKE(1, std::span<uint8_t>(buf).first(4)), 0u);
    EXPECT_EQ(Build_REQ_UD2(1, 0, {}, std::span<uint8_t>(buf).first(4)), 0u);
    EXPECT_EQ(Build_App_Reset(1, {}, std::span<uint8_t>(buf).first(8)), 0u);
    EXPECT_EQ(Build_Select_Secondary(digits({}), {}, std::span<uint8_t>(buf)), 0u);
    for (uint8_t b : buf)
        EXPECT_EQ(b, 0xAA);
    EXPECT_EQ(Build_Select_Secondary(digits({}), {}, std::span<uint8_t>(buf.data(), 16)), 0u);
}

TEST(ReplyChecks, AcceptAnAcknowledgementAndLongFramesOnly)
{
    // 68 L L 68, 16 bytes of C, A, CI and fixed header, CS 16: 22 bytes.
    const std::string body = "08 05 72 78 56 34 12 2D 2C 01 07 01 00 00 00 0C 13 78 56 34 12";
    const auto good = bytes("68 15 15 68 " + body + " 28 16");
    ASSERT_EQ(good.size(), 27u);
    struct Case {
        const char* what;
        std::vector<uint8_t> reply;
        bool ack;
        bool longFrame;
    };
    auto with = [&](size_t i, uint8_t v) {
        auto r = good;
        r[i] = v;
        return r;
    };
    // 22 bytes: the smallest long frame; 21 bytes with right framing and checksum is refused.
    const auto smallest = bytes("68 10 10 68 08 05 72 78 56 34 12 2D 2C 01 07 01 00 00 00 00 F5 16");
    const auto tooShort = bytes("68 0F 0F 68 08 05 72 78 56 34 12 2D 2C 01 07 01 00 00 00 F5 16");
    const Case cases[] = {
        {"acknowledgement", bytes("E5"), true, false},
        {"two acknowledgements", bytes("E5 E5"), false, false},
        {"other single byte", bytes("E6"), false, false},
        {"nothing", {}, false, false},
        {"long frame", good, false, true},
        {"smallest long frame", smallest, false, true},
        {"21 bytes, framing and checksum right", tooShort, false, false},
        {"wrong checksum", with(good.size() - 2, 0x74), false, false},
        {"wrong stop byte", with(good.size() - 1, 0x17), false, false},
        {"first start byte", with(0, 0x10), false, false},
        {"second start byte", with(3, 0x69), false, false},
        {"length bytes differ", with(2, 0x16), false, false},
        {"first length byte differs", with(1, 0x40), false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(isAck(c.reply), c.ack);
        EXPECT_EQ(isLongFrame(c.reply), c.longFrame);
    }
    auto lenient = with(1, 0x40);
    lenient[2] = 0x40;
    EXPECT_TRUE(isLongFrame(lenient)) << "the L field is not checked against the length";
}

TEST(Checksum, IsTheLowByteOfTheSum)
{
    EXPECT_EQ(checksum(bytes("")), 0x00);
    EXPECT_EQ(checksum(bytes("73 FD 52 FF FF FF 1F FF FF FF FF")), 0xDA);
    EXPECT_EQ(checksum(bytes("FF 01")), 0x00);
}
