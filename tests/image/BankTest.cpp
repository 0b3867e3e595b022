#include "image/Bank.h"
#include "platform/text/UserError.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace image;
using testing_support::toHex;

TEST(Bank, WriterStoresLittleEndianAndSumsWhatItWrote)
{
    BankBuffer b(16);
    BankWriter w(b, 2);
    const uint8_t raw[2] = {0xAB, 0xCD};
    w.u8(0x1FF).u16(0x12345).u32(0xA1B2C3D4).bytes(raw, 2).zeros(2);
    EXPECT_EQ(w.offset(), 13);
    EXPECT_EQ(toHex(QByteArray(reinterpret_cast<const char*>(b.data()), 16)),
              QStringLiteral("00 00 FF 45 23 D4 C3 B2 A1 AB CD 00 00 00 00 00"));
    EXPECT_EQ(w.sum(), 0xFFu + 0x45u + 0x23u + 0xD4u + 0xC3u + 0xB2u + 0xA1u + 0xABu + 0xCDu);
    b.setLength(w.offset());
    EXPECT_EQ(b.filled().size(), 13);
}

TEST(Bank, NothingIsWrittenPastTheBuffer)
{
    BankBuffer b(8);
    BankWriter w(b, 6);
    EXPECT_THROW(w.u32(1), platform::UserError);
    EXPECT_EQ(w.offset(), 6);
    EXPECT_NO_THROW(w.u16(0xFFFF));
    EXPECT_THROW(w.u8(1), platform::UserError);
    EXPECT_THROW(w.zeros(-1), platform::UserError);
    EXPECT_THROW(BankWriter(b, 9), platform::UserError);
    EXPECT_THROW(b.setLength(9), platform::UserError);
}
