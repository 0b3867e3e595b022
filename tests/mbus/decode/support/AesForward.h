#pragma once
// The AES-128 forward cipher, written straight from FIPS-197's description (SubBytes,
// ShiftRows, MixColumns, AddRoundKey on a 4x4 state), independent of the program's decryption
// so that the two check each other. Tests use it to encrypt telegrams and round trips.
#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace mbustest {

using Block = std::array<uint8_t, 16>;
using Key = std::array<uint8_t, 16>;

Block aesEncryptBlock(const Block& in, const Key& key);
// CBC without padding; plain's length must be a multiple of 16.
std::vector<uint8_t> aesCbcEncrypt(std::span<const uint8_t> plain, const Key& key, const Block& iv);

} // namespace mbustest
