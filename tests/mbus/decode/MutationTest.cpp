// Every fixture, mutated many times over with a fixed seed, through every decoder: nothing may
// crash, read out of bounds or break the invariants of exerciseDecoders (the sanitizers of the
// test build watch the rest). The fuzz harness runs the same checks on what libFuzzer makes.
#include "Exercise.h"
#include "Fixtures.h"

#include <gtest/gtest.h>

#include <random>

namespace {

std::vector<uint8_t> mutate(std::vector<uint8_t> b, std::mt19937& rng)
{
    auto pick = [&](size_t n) { return n == 0 ? 0 : static_cast<size_t>(rng() % n); };
    const int edits = 1 + static_cast<int>(rng() % 4);
    for (int e = 0; e < edits; ++e) {
        // Byte 0 is the selector; keep the decoder, toggle the mending bit now and then.
        const size_t i = 1 + pick(b.size() - 1);
        switch (rng() % 8) {
        case 0: b[0] ^= 8; break;
        case 1: if (i < b.size()) b[i] ^= static_cast<uint8_t>(1u << (rng() % 8)); break;
        case 2: if (i < b.size()) b[i] = static_cast<uint8_t>(rng()); break;
        case 3: b.insert(b.begin() + static_cast<long>(i), static_cast<uint8_t>(rng())); break;
        case 4: if (i < b.size()) b.erase(b.begin() + static_cast<long>(i)); break;
        case 5: b.resize(std::max<size_t>(1, i)); break;
        case 6: {
            // A byte the decoders treat specially.
            static const uint8_t special[] = {0x0F, 0x1F, 0x2F, 0x7C, 0xFC, 0x7E, 0xFD, 0xFB, 0x80, 0xFF, 0x8C,
                                              0x8D, 0x72, 0x7A, 0x78, 0x05, 0xF0, 0xC9, 0xD9, 0xBF, 0xC0};
            if (i < b.size())
                b[i] = special[rng() % sizeof special];
            break;
        }
        default: {
            // Repeat a slice, as a record repeated or a header doubled.
            const size_t from = pick(b.size()), len = 1 + pick(8);
            if (from + len <= b.size()) {
                std::vector<uint8_t> slice(b.begin() + static_cast<long>(from), b.begin() + static_cast<long>(from + len));
                b.insert(b.begin() + static_cast<long>(std::min(i, b.size())), slice.begin(), slice.end());
            }
        }
        }
    }
    return b;
}

} // namespace

TEST(Mutation, DecodersHoldOnMutatedFixtures)
{
    std::mt19937 rng(0x13757);
    size_t runs = 0;
    for (const mbustest::Seed& seed : mbustest::seeds()) {
        SCOPED_TRACE(seed.name);
        mbustest::exerciseDecoders(seed.bytes);
        for (int i = 0; i < 1500; ++i) {
            auto m = mutate(seed.bytes, rng);
            mbustest::exerciseDecoders(m);
            m[0] |= 8; // the same with the framing mended
            mbustest::exerciseDecoders(m);
            runs += 2;
        }
    }
    EXPECT_GT(runs, 30000u);
}
