#pragma once
// AES-128 decryption (FIPS-197) in cipher block chaining mode (SP 800-38A) without padding,
// the cipher of encrypted wireless telegrams. Decryption only; the rounds follow the
// equivalent inverse cipher, so the round keys 1-9 are stored through InvMixColumns.
#include "mbus/decode/Meters.h"
#include "platform/text/UserError.h"

#include <QIODevice>
#include <QString>

#include <array>
#include <cstdint>
#include <span>

namespace mbus::decode {

class EAESError : public platform::UserError {
public:
    using platform::UserError::UserError;
};

// A stream that gave or took fewer bytes than asked.
class EStreamError : public platform::UserError {
public:
    using platform::UserError::UserError;
};

using AesBlock = std::array<uint8_t, 16>;
using AesExpandedKey = std::array<uint32_t, 44>; // 11 round keys of four big-endian column words

AesExpandedKey AES128_Expand_Key(const Key128& key);
// InvMixColumns of one column word, without tables.
uint32_t AES128_Inv_MixColumns(uint32_t word);
// The expanded key with round keys 1-9 through InvMixColumns.
AesExpandedKey AES128_Decrypt_Key(const Key128& key);
AesBlock AES128_Decrypt_Block(const AesBlock& in, const AesExpandedKey& decryptKey);

// Decrypts Count bytes from Source's position (the smaller of Count and the bytes left; Count
// 0 decrypts the whole of Source from its start) and writes them to Dest. A length that is no
// multiple of 16 raises EAESError "Invalid buffer size for decryption" and writes nothing; a
// short read or write raises EStreamError, the blocks before it staying written.
void AES128_CBC_Decrypt_Stream(QIODevice& Source, qint64 Count, const AesExpandedKey& decryptKey, QIODevice& Dest,
                               const AesBlock& IV);
void AES128_CBC_Decrypt(QIODevice& Source, qint64 Count, const Key128& Key, QIODevice& Dest, const AesBlock& IV);

// The same over memory: in and out of one length, a multiple of 16 (else EAESError); they may
// be the same bytes.
void aes128CbcDecrypt(std::span<const uint8_t> in, const Key128& key, const AesBlock& iv, std::span<uint8_t> out);

inline QString invalidBufferSizeText() { return QStringLiteral("Invalid buffer size for decryption"); }

} // namespace mbus::decode
