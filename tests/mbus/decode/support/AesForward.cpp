#include "AesForward.h"

#include <cstdlib>

namespace mbustest {

namespace {

uint8_t mul(uint8_t a, uint8_t b)
{
    uint8_t r = 0;
    for (int i = 0; i < 8; ++i) {
        if (b & (1 << i))
            r ^= a;
        a = static_cast<uint8_t>((a << 1) ^ ((a & 0x80) ? 0x1B : 0));
    }
    return r;
}

// SubBytes from its definition: inverse by search, then the affine transformation bit by bit.
uint8_t sub(uint8_t x)
{
    uint8_t inv = 0;
    if (x != 0)
        for (int c = 1; c < 256; ++c)
            if (mul(x, static_cast<uint8_t>(c)) == 1)
                inv = static_cast<uint8_t>(c);
    uint8_t out = 0;
    for (int i = 0; i < 8; ++i) {
        const int bit = ((inv >> i) ^ (inv >> ((i + 4) % 8)) ^ (inv >> ((i + 5) % 8)) ^ (inv >> ((i + 6) % 8)) ^
                         (inv >> ((i + 7) % 8)) ^ (0x63 >> i)) & 1;
        out = static_cast<uint8_t>(out | bit << i);
    }
    return out;
}

const std::array<uint8_t, 256>& sbox()
{
    static const std::array<uint8_t, 256> s = [] {
        std::array<uint8_t, 256> t{};
        for (int i = 0; i < 256; ++i)
            t[static_cast<size_t>(i)] = sub(static_cast<uint8_t>(i));
        return t;
    }();
    return s;
}

// state[r][c] = in[r + 4c]
using State = std::array<std::array<uint8_t, 4>, 4>;

std::array<State, 11> roundKeys(const Key& key)
{
    std::array<std::array<uint8_t, 4>, 44> w{};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            w[static_cast<size_t>(i)][static_cast<size_t>(j)] = key[static_cast<size_t>(4 * i + j)];
    uint8_t rcon = 1;
    for (size_t i = 4; i < 44; ++i) {
        std::array<uint8_t, 4> t = w[i - 1];
        if (i % 4 == 0) {
            t = {sbox()[t[1]], sbox()[t[2]], sbox()[t[3]], sbox()[t[0]]};
            t[0] ^= rcon;
            rcon = mul(rcon, 2);
        }
        for (size_t j = 0; j < 4; ++j)
            w[i][j] = w[i - 4][j] ^ t[j];
    }
    std::array<State, 11> rk{};
    for (size_t r = 0; r < 11; ++r)
        for (size_t c = 0; c < 4; ++c)
            for (size_t row = 0; row < 4; ++row)
                rk[r][row][c] = w[4 * r + c][row];
    return rk;
}

void addRoundKey(State& s, const State& k)
{
    for (size_t r = 0; r < 4; ++r)
        for (size_t c = 0; c < 4; ++c)
            s[r][c] ^= k[r][c];
}

} // namespace

Block aesEncryptBlock(const Block& in, const Key& key)
{
    const auto rk = roundKeys(key);
    State s{};
    for (size_t r = 0; r < 4; ++r)
        for (size_t c = 0; c < 4; ++c)
            s[r][c] = in[r + 4 * c];
    addRoundKey(s, rk[0]);
    for (size_t round = 1; round <= 10; ++round) {
        for (auto& row : s)
            for (auto& b : row)
                b = sbox()[b];
        for (size_t r = 1; r < 4; ++r) {
            const auto row = s[r];
            for (size_t c = 0; c < 4; ++c)
                s[r][c] = row[(c + r) % 4];
        }
        if (round != 10) {
            for (size_t c = 0; c < 4; ++c) {
                const uint8_t a0 = s[0][c], a1 = s[1][c], a2 = s[2][c], a3 = s[3][c];
                s[0][c] = mul(a0, 2) ^ mul(a1, 3) ^ a2 ^ a3;
                s[1][c] = a0 ^ mul(a1, 2) ^ mul(a2, 3) ^ a3;
                s[2][c] = a0 ^ a1 ^ mul(a2, 2) ^ mul(a3, 3);
                s[3][c] = mul(a0, 3) ^ a1 ^ a2 ^ mul(a3, 2);
            }
        }
        addRoundKey(s, rk[round]);
    }
    Block out{};
    for (size_t r = 0; r < 4; ++r)
        for (size_t c = 0; c < 4; ++c)
            out[r + 4 * c] = s[r][c];
    return out;
}

std::vector<uint8_t> aesCbcEncrypt(std::span<const uint8_t> plain, const Key& key, const Block& iv)
{
    if (plain.size() % 16 != 0)
        std::abort();
    std::vector<uint8_t> out;
    Block chain = iv;
    for (size_t i = 0; i < plain.size(); i += 16) {
        Block b{};
        for (size_t j = 0; j < 16; ++j)
            b[j] = plain[i + j] ^ chain[j];
        chain = aesEncryptBlock(b, key);
        out.insert(out.end(), chain.begin(), chain.end());
    }
    return out;
}

} // namespace mbustest
