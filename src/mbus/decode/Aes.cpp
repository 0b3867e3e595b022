#include "mbus/decode/Aes.h"

#include <algorithm>

namespace mbus::decode {

namespace {

constexpr uint8_t rotl8(uint8_t x, int s) { return static_cast<uint8_t>(x << s | x >> (8 - s)); }

constexpr uint8_t gfMul(uint8_t a, uint8_t b)
{
    uint8_t r = 0;
    while (b) {
        if (b & 1)
            r ^= a;
        a = static_cast<uint8_t>(a << 1 ^ (a & 0x80 ? 0x1B : 0));
        b >>= 1;
    }
    return r;
}

// The S-box from its definition: the multiplicative inverse in GF(2^8) followed by the affine
// map. p walks the powers of the generator 3 while q walks those of its inverse, so q is p's
// inverse at every step.
constexpr std::array<uint8_t, 256> makeSbox()
{
    std::array<uint8_t, 256> s{};
    uint8_t p = 1, q = 1;
    do {
        p = static_cast<uint8_t>(p ^ (p << 1) ^ (p & 0x80 ? 0x1B : 0));
        q = static_cast<uint8_t>(q ^ (q << 1));
        q = static_cast<uint8_t>(q ^ (q << 2));
        q = static_cast<uint8_t>(q ^ (q << 4));
        if (q & 0x80)
            q ^= 0x09;
        s[p] = static_cast<uint8_t>(q ^ rotl8(q, 1) ^ rotl8(q, 2) ^ rotl8(q, 3) ^ rotl8(q, 4) ^ 0x63);
    } while (p != 1);
    s[0] = 0x63;
    return s;
}

constexpr std::array<uint8_t, 256> kSbox = makeSbox();

constexpr std::array<uint8_t, 256> makeInvSbox()
{
    std::array<uint8_t, 256> inv{};
    for (int i = 0; i < 256; ++i)
        inv[kSbox[static_cast<size_t>(i)]] = static_cast<uint8_t>(i);
    return inv;
}

constexpr std::array<uint8_t, 256> kInvSbox = makeInvSbox();

static_assert(kSbox[0x00] == 0x63 && kSbox[0x53] == 0xED && kSbox[0xFF] == 0x16);
static_assert(kInvSbox[0x63] == 0x00 && kInvSbox[0x00] == 0x52);

constexpr uint32_t rotr32(uint32_t x, int s) { return x >> s | x << (32 - s); }

// One inverse round on one column: InvSubBytes, then InvMixColumns, for each position of the
// column; Td[k] is Td[0] rotated right by 8k bits.
constexpr std::array<std::array<uint32_t, 256>, 4> makeTd()
{
    std::array<std::array<uint32_t, 256>, 4> td{};
    for (int i = 0; i < 256; ++i) {
        const uint8_t s = kInvSbox[static_cast<size_t>(i)];
        const uint32_t w = static_cast<uint32_t>(gfMul(s, 0x0E)) << 24 | static_cast<uint32_t>(gfMul(s, 0x09)) << 16 |
                           static_cast<uint32_t>(gfMul(s, 0x0D)) << 8 | gfMul(s, 0x0B);
        for (int k = 0; k < 4; ++k)
            td[static_cast<size_t>(k)][static_cast<size_t>(i)] = k == 0 ? w : rotr32(w, 8 * k);
    }
    return td;
}

constexpr auto kTd = makeTd();

uint32_t word(const uint8_t* b)
{
    return static_cast<uint32_t>(b[0]) << 24 | static_cast<uint32_t>(b[1]) << 16 | static_cast<uint32_t>(b[2]) << 8 | b[3];
}

void putWord(uint32_t w, uint8_t* b)
{
    b[0] = static_cast<uint8_t>(w >> 24);
    b[1] = static_cast<uint8_t>(w >> 16);
    b[2] = static_cast<uint8_t>(w >> 8);
    b[3] = static_cast<uint8_t>(w);
}

uint32_t subWord(uint32_t w)
{
    return static_cast<uint32_t>(kSbox[w >> 24]) << 24 | static_cast<uint32_t>(kSbox[(w >> 16) & 0xFF]) << 16 |
           static_cast<uint32_t>(kSbox[(w >> 8) & 0xFF]) << 8 | kSbox[w & 0xFF];
}

uint32_t invSubByte(uint32_t w, int shift) { return static_cast<uint32_t>(kInvSbox[(w >> shift) & 0xFF]) << shift; }

void decryptBlock(const uint8_t* in, const AesExpandedKey& rk, uint8_t* out)
{
    uint32_t s0 = word(in) ^ rk[40], s1 = word(in + 4) ^ rk[41], s2 = word(in + 8) ^ rk[42],
             s3 = word(in + 12) ^ rk[43];
    const auto& T0 = kTd[0];
    const auto& T1 = kTd[1];
    const auto& T2 = kTd[2];
    const auto& T3 = kTd[3];
    for (int r = 9; r >= 1; --r) {
        const uint32_t* k = &rk[static_cast<size_t>(4 * r)];
        const uint32_t t0 = T0[s0 >> 24] ^ T1[(s3 >> 16) & 0xFF] ^ T2[(s2 >> 8) & 0xFF] ^ T3[s1 & 0xFF] ^ k[0];
        const uint32_t t1 = T0[s1 >> 24] ^ T1[(s0 >> 16) & 0xFF] ^ T2[(s3 >> 8) & 0xFF] ^ T3[s2 & 0xFF] ^ k[1];
        const uint32_t t2 = T0[s2 >> 24] ^ T1[(s1 >> 16) & 0xFF] ^ T2[(s0 >> 8) & 0xFF] ^ T3[s3 & 0xFF] ^ k[2];
        const uint32_t t3 = T0[s3 >> 24] ^ T1[(s2 >> 16) & 0xFF] ^ T2[(s1 >> 8) & 0xFF] ^ T3[s0 & 0xFF] ^ k[3];
        s0 = t0;
        s1 = t1;
        s2 = t2;
        s3 = t3;
    }
    // Last round: InvShiftRows and InvSubBytes only.
    putWord((invSubByte(s0, 24) | invSubByte(s3, 16) | invSubByte(s2, 8) | invSubByte(s1, 0)) ^ rk[0], out);
    putWord((invSubByte(s1, 24) | invSubByte(s0, 16) | invSubByte(s3, 8) | invSubByte(s2, 0)) ^ rk[1], out + 4);
    putWord((invSubByte(s2, 24) | invSubByte(s1, 16) | invSubByte(s0, 8) | invSubByte(s3, 0)) ^ rk[2], out + 8);
    putWord((invSubByte(s3, 24) | invSubByte(s2, 16) | invSubByte(s1, 8) | invSubByte(s0, 0)) ^ rk[3], out + 12);
}

// One CBC step: out = D(in) xor chain; chain = in. in and out may be the same bytes.
void cbcBlock(const uint8_t* in, const AesExpandedKey& rk, AesBlock& chain, uint8_t* out)
{
    AesBlock cipher;
    std::copy(in, in + 16, cipher.begin());
    decryptBlock(cipher.data(), rk, out);
    for (size_t i = 0; i < 16; ++i)
        out[i] ^= chain[i];
    chain = cipher;
}

} // namespace

AesExpandedKey AES128_Expand_Key(const Key128& key)
{
    AesExpandedKey w{};
    for (size_t i = 0; i < 4; ++i)
        w[i] = word(&key[4 * i]);
    uint32_t rcon = 0x01;
    for (size_t i = 4; i < w.size(); ++i) {
        uint32_t t = w[i - 1];
        if (i % 4 == 0) {
            t = subWord(t << 8 | t >> 24) ^ rcon << 24;
            rcon = gfMul(static_cast<uint8_t>(rcon), 2);
        }
        w[i] = w[i - 4] ^ t;
    }
    return w;
}

uint32_t AES128_Inv_MixColumns(uint32_t w)
{
    // Each byte times 2, 4 and 8 at once: shift the word, reduce the bytes that overflowed.
    auto times2 = [](uint32_t x) { return (x & 0x7F7F7F7Fu) << 1 ^ ((x & 0x80808080u) >> 7) * 0x1Bu; };
    const uint32_t x2 = times2(w), x4 = times2(x2), x8 = times2(x4);
    const uint32_t x9 = x8 ^ w, x11 = x8 ^ x2 ^ w, x13 = x8 ^ x4 ^ w, x14 = x8 ^ x4 ^ x2;
    auto rotl = [](uint32_t x, int s) { return x << s | x >> (32 - s); };
    return x14 ^ rotl(x11, 8) ^ rotl(x13, 16) ^ rotl(x9, 24);
}

AesExpandedKey AES128_Decrypt_Key(const Key128& key)
{
    AesExpandedKey w = AES128_Expand_Key(key);
    for (size_t i = 4; i < 40; ++i)
        w[i] = AES128_Inv_MixColumns(w[i]);
    return w;
}

AesBlock AES128_Decrypt_Block(const AesBlock& in, const AesExpandedKey& decryptKey)
{
    AesBlock out;
    decryptBlock(in.data(), decryptKey, out.data());
    return out;
}

void AES128_CBC_Decrypt_Stream(QIODevice& Source, qint64 Count, const AesExpandedKey& decryptKey, QIODevice& Dest,
                               const AesBlock& IV)
{
    qint64 length;
    if (Count == 0) {
        Source.seek(0);
        length = Source.size();
    } else {
        length = std::min(Count, Source.size() - Source.pos());
    }
    if (length <= 0)
        return;
    if (length % 16 != 0)
        throw EAESError(invalidBufferSizeText());
    AesBlock chain = IV;
    for (qint64 done = 0; done < length; done += 16) {
        AesBlock block;
        if (Source.read(reinterpret_cast<char*>(block.data()), 16) != 16)
            throw EStreamError(QStringLiteral("Stream read error"));
        cbcBlock(block.data(), decryptKey, chain, block.data());
        if (Dest.write(reinterpret_cast<const char*>(block.data()), 16) != 16)
            throw EStreamError(QStringLiteral("Stream write error"));
    }
}

void AES128_CBC_Decrypt(QIODevice& Source, qint64 Count, const Key128& Key, QIODevice& Dest, const AesBlock& IV)
{
    AES128_CBC_Decrypt_Stream(Source, Count, AES128_Decrypt_Key(Key), Dest, IV);
}

void aes128CbcDecrypt(std::span<const uint8_t> in, const Key128& key, const AesBlock& iv, std::span<uint8_t> out)
{
    if (in.size() % 16 != 0 || out.size() != in.size())
        throw EAESError(invalidBufferSizeText());
    if (in.empty())
        return;
    const AesExpandedKey rk = AES128_Decrypt_Key(key);
    AesBlock chain = iv;
    for (size_t i = 0; i < in.size(); i += 16)
        cbcBlock(in.data() + i, rk, chain, out.data() + i);
}

} // namespace mbus::decode
