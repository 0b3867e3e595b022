#pragma once
// The 8-bit encodings of XML files, decided the same way by the DOM and the streaming row
// reader so that both read a file alike:
//   - a file whose declaration names ISO-8859-1 (or latin1) is ISO-8859-1;
//   - one whose declaration names Windows-1252 (or cp1252) is Windows-1252;
//   - one that names no encoding, has no byte-order mark, is not in a UTF-16 or UTF-32 form
//     and is not valid UTF-8 is Windows-1252: the system code page older versions wrote in;
//   - anything else is left as it is (UTF-8, a byte-order mark, UTF-16 or UTF-32, another
//     declared encoding).
#include <QByteArray>
#include <QString>
#include <optional>
#include <string_view>

namespace platform::xml {

enum class EightBit { None, Latin1, Cp1252 };

// The encoding named by the declaration at the very start of the bytes ("<?xml", white space,
// then before any '?' the pseudo-attribute encoding), or no value.
std::optional<std::string_view> declaredEncoding(const QByteArray& bytes);

EightBit eightBitEncoding(const QByteArray& bytes);

// The bytes in UTF-8 (unchanged for EightBit::None).
QByteArray eightBitToUtf8(const QByteArray& bytes, EightBit encoding);

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF, no cut sequence.
bool isValidUtf8(std::string_view bytes);

// Whether a declared encoding name means ISO-8859-1 or Windows-1252 (letter case ignored).
EightBit eightBitOfName(std::string_view name);

} // namespace platform::xml
