#include "mbus/decode/Aes.h"

#include "AesForward.h"
#include "Hex.h"
#include "support/QtPrinters.h"

#include <QBuffer>
#include <gtest/gtest.h>

#include <random>

using namespace mbus::decode;
using mbustest::bytes;
using mbustest::hexOf;

namespace {

template <typename A>
A array16(const char* hex)
{
    const auto b = bytes(hex);
    A a{};
    std::copy(b.begin(), b.end(), a.begin());
    return a;
}

const Key128 kFipsKey = array16<Key128>("00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F");
const char* kFipsPlain = "00 11 22 33 44 55 66 77 88 99 AA BB CC DD EE FF";
const char* kFipsCipher = "69 C4 E0 D8 6A 7B 04 30 D8 CD B7 80 70 B4 C5 5A";

// SP 800-38A F.2.2, CBC-AES128.Decrypt.
const Key128 kCbcKey = array16<Key128>("2B 7E 15 16 28 AE D2 A6 AB F7 15 88 09 CF 4F 3C");
const AesBlock kCbcIv = array16<AesBlock>("00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F");
const char* kCbcCipher = "76 49 AB AC 81 19 B2 46 CE E9 8E 9B 12 E9 19 7D 50 86 CB 9B 50 72 19 EE 95 DB 11 3A 91 76 78 B2 "
                         "73 BE D6 B8 E3 C1 74 3B 71 16 E6 9E 22 22 95 16 3F F1 CA A1 68 1F AC 09 12 0E CA 30 75 86 E1 A7";
const char* kCbcPlain = "6B C1 BE E2 2E 40 9F 96 E9 3D 7E 11 73 93 17 2A AE 2D 8A 57 1E 03 AC 9C 9E B7 6F AC 45 AF 8E 51 "
                        "30 C8 1C 46 A3 5C E4 11 E5 FB C1 19 1A 0A 52 EF F6 9F 24 45 DF 4F 9B 17 AD 2B 41 7B E6 6C 37 10";

QByteArray qbytes(const std::vector<uint8_t>& b)
{
    return QByteArray(reinterpret_cast<const char*>(b.data()), static_cast<qsizetype>(b.size()));
}

std::string hexOf(const QByteArray& b)
{
    return mbustest::hexOf(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(b.constData()),
                                                    static_cast<size_t>(b.size())));
}

// Decrypts Count bytes of source (positioned at pos) through the stream interface.
QByteArray decryptStream(const std::vector<uint8_t>& source, qint64 pos, qint64 count)
{
    QByteArray in = qbytes(source);
    QBuffer src(&in);
    src.open(QIODevice::ReadOnly);
    src.seek(pos);
    QByteArray out;
    QBuffer dst(&out);
    dst.open(QIODevice::WriteOnly);
    AES128_CBC_Decrypt(src, count, kCbcKey, dst, kCbcIv);
    return out;
}

} // namespace

TEST(Aes, FipsAppendixC1AsOneBlock)
{
    const AesBlock out = AES128_Decrypt_Block(array16<AesBlock>(kFipsCipher), AES128_Decrypt_Key(kFipsKey));
    EXPECT_EQ(hexOf(out), kFipsPlain);

    std::vector<uint8_t> buf = bytes(kFipsCipher);
    aes128CbcDecrypt(buf, kFipsKey, AesBlock{}, buf);
    EXPECT_EQ(hexOf(buf), kFipsPlain);

    // The test's forward cipher on the same vector.
    EXPECT_EQ(hexOf(mbustest::aesEncryptBlock(array16<mbustest::Block>(kFipsPlain), kFipsKey)), kFipsCipher);
}

TEST(Aes, KeyExpansionAndInverseMixColumns)
{
    // FIPS-197 A.1: the last round key of 2B 7E 15 16 ...
    const AesExpandedKey w = AES128_Expand_Key(kCbcKey);
    EXPECT_EQ(w[4], 0xA0FAFE17u);
    EXPECT_EQ(w[43], 0xB6630CA6u);
    // MixColumns takes DB 13 53 45 to 8E 4D A1 BC; the inverse brings it back.
    EXPECT_EQ(AES128_Inv_MixColumns(0x8E4DA1BCu), 0xDB135345u);
    EXPECT_EQ(AES128_Inv_MixColumns(0x01010101u), 0x01010101u);
    const AesExpandedKey d = AES128_Decrypt_Key(kCbcKey);
    EXPECT_EQ(d[0], w[0]);
    EXPECT_EQ(d[43], w[43]);
    EXPECT_EQ(d[4], AES128_Inv_MixColumns(w[4]));
}

TEST(Aes, Sp800_38A_CbcOverFourBlocks)
{
    EXPECT_EQ(hexOf(decryptStream(bytes(kCbcCipher), 0, 64)), kCbcPlain);
    std::vector<uint8_t> buf = bytes(kCbcCipher);
    aes128CbcDecrypt(buf, kCbcKey, kCbcIv, buf);
    EXPECT_EQ(hexOf(buf), kCbcPlain);
    EXPECT_EQ(hexOf(mbustest::aesCbcEncrypt(bytes(kCbcPlain), kCbcKey, kCbcIv)), kCbcCipher);
}

TEST(Aes, CountRules)
{
    const auto cipher = bytes(kCbcCipher);
    const std::string plain = kCbcPlain;
    const std::string twoBlocks = plain.substr(0, 32 * 3 - 1);

    // Count 0 decrypts the whole stream from its start, wherever it stands.
    EXPECT_EQ(hexOf(decryptStream(cipher, 32, 0)), plain);
    // Count 32 of 64 from the start: exactly two blocks.
    EXPECT_EQ(hexOf(decryptStream(cipher, 0, 32)), twoBlocks);
    // More than is left: only what is left.
    EXPECT_EQ(hexOf(decryptStream(cipher, 32, 100)).size(), twoBlocks.size());
    // Nothing left: nothing written, no error.
    EXPECT_TRUE(decryptStream(cipher, 64, 16).isEmpty());

    struct Bad {
        const char* what;
        size_t size;
        qint64 pos;
        qint64 count;
    };
    const Bad bad[] = {
        {"Count 20", 64, 0, 20},
        {"Count 32 at 16 of 40", 40, 16, 32},
        {"Count 0 over 40", 40, 16, 0},
    };
    for (const Bad& b : bad) {
        SCOPED_TRACE(b.what);
        QByteArray in = qbytes(std::vector<uint8_t>(cipher.begin(), cipher.begin() + static_cast<long>(b.size)));
        QBuffer src(&in);
        src.open(QIODevice::ReadOnly);
        src.seek(b.pos);
        QByteArray out;
        QBuffer dst(&out);
        dst.open(QIODevice::WriteOnly);
        try {
            AES128_CBC_Decrypt(src, b.count, kCbcKey, dst, kCbcIv);
            ADD_FAILURE() << "no error";
        } catch (const EAESError& e) {
            EXPECT_EQ(e.message(), QStringLiteral("Invalid buffer size for decryption"));
        }
        EXPECT_TRUE(out.isEmpty());
    }

    std::vector<uint8_t> odd(20);
    EXPECT_THROW(aes128CbcDecrypt(odd, kCbcKey, kCbcIv, odd), EAESError);
}

TEST(Aes, ShortWriteStopsWithTheBlocksBeforeIt)
{
    QByteArray in = qbytes(bytes(kCbcCipher));
    QBuffer src(&in);
    src.open(QIODevice::ReadOnly);
    QBuffer dst; // never opened: every write fails
    try {
        AES128_CBC_Decrypt(src, 0, kCbcKey, dst, kCbcIv);
        ADD_FAILURE() << "no error";
    } catch (const EStreamError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Stream write error"));
    }
}

TEST(Aes, RandomRoundTripsThroughTheForwardCipher)
{
    std::mt19937 rng(20240611);
    auto byte = [&] { return static_cast<uint8_t>(rng()); };
    for (int round = 0; round < 200; ++round) {
        Key128 key;
        AesBlock iv;
        for (auto& b : key)
            b = byte();
        for (auto& b : iv)
            b = byte();
        std::vector<uint8_t> plain(16 * (1 + rng() % 15));
        for (auto& b : plain)
            b = byte();
        std::vector<uint8_t> buf = mbustest::aesCbcEncrypt(plain, key, iv);
        ASSERT_NE(buf, plain);
        aes128CbcDecrypt(buf, key, iv, buf);
        ASSERT_EQ(buf, plain) << "round " << round;
    }
}
