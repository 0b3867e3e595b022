#pragma once
// Text conversions the whole program relies on. They follow the rules engineers already know
// from the gateway's earlier tools, so that the same cell text always means the same number.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <string_view>

namespace platform {

// Whole-integer rule: optional leading blanks, an optional "-" or "+", then decimal digits,
// or hexadecimal digits after "$", "x", "X", "0x" or "0X". Nothing may follow the digits
// (a trailing blank makes the text invalid). Empty text, anything else, or a value outside
// the 32-bit range gives no value. Hexadecimal values up to FFFFFFFF are accepted and wrap
// into the signed range, as 32-bit registers do.
std::optional<int32_t> toInt(const QString& text);
// The same rule on UTF-8 text, for readers that hold a file's bytes and need no QString.
std::optional<int32_t> toIntUtf8(std::string_view utf8);
// Table cells are read by the ten thousand and nearly all hold a few plain digits: those are read
// here without a call; everything else goes through the one rule above.
inline std::optional<int32_t> toInt(std::string_view utf8)
{
    const size_t n = utf8.size();
    if (n > 0 && n <= 9) {
        uint32_t v = 0;
        size_t k = 0;
        for (; k < n; ++k) {
            const uint32_t digit = static_cast<uint32_t>(static_cast<unsigned char>(utf8[k])) - '0';
            if (digit > 9)
                break;
            v = v * 10 + digit;
        }
        if (k == n)
            return static_cast<int32_t>(v);
    }
    return toIntUtf8(utf8);
}
int32_t toIntDef(const QString& text, int32_t def);
// 64-bit variant of the same rule.
std::optional<int64_t> toInt64(const QString& text);
std::optional<int64_t> toInt64(std::string_view utf8);
int64_t toInt64Def(const QString& text, int64_t def);

// Floating-point text ("1.5", "-2", "1E3"), "." as decimal separator, leading and trailing
// blanks not allowed. Gives no value on anything else.
std::optional<double> toFloat(const QString& text);
double toFloatDef(const QString& text, double def);

// Removes leading and trailing characters at or below the blank (controls included).
QString trim(const QString& s);
QString trimLeft(const QString& s);
QString trimRight(const QString& s);
// Upper-cases the letters a-z only; every other character stays as it is.
QString upperAscii(const QString& s);
QString lowerAscii(const QString& s);

// Rounds to the nearest integer; halves go to the even neighbour (2.5 -> 2, 3.5 -> 4).
int64_t roundHalfEven(double v);

// Decimal text of an integer, and upper-case hexadecimal with at least `digits` digits.
QString intToStr(int64_t v);
QString intToHex(uint64_t v, int digits);

// Windows-1252, the 8-bit code page of the gateway's files and images.
QString decodeCp1252(const QByteArray& bytes);
// Characters without a place in the code page become "?".
QByteArray encodeCp1252(const QString& text);

// OEM code page 850, the DOS code page of Western European systems, which the grid's CSV
// files may be written in. Characters without a place in the code page become "?".
QString decodeCp850(const QByteArray& bytes);
QByteArray encodeCp850(const QString& text);

enum class TextEncoding { Ansi, Utf8, Utf16LE, Utf16BE };
struct BomInfo {
    TextEncoding encoding = TextEncoding::Ansi;
    int length = 0; // bytes of the byte-order mark
};
BomInfo detectBom(const QByteArray& bytes);
// Decodes a text file: a byte-order mark selects UTF-8 or UTF-16, anything else is Windows-1252.
QString decodeTextFile(const QByteArray& bytes);
// Splits at CR LF, LF or CR.
QStringList splitLines(const QString& text);

// A field of a CSV line as spreadsheet and CSV readers expect it: a field that holds the
// separator, a double quote, CR or LF is enclosed in double quotes, its inner quotes doubled;
// any other field is returned as it is.
QString csvField(const QString& field, QChar separator = QLatin1Char(';'));
// The fields joined by `separator` + `spacing` (the companion files write "; " between some
// fields); a quoted field follows the separator directly, since a reader takes a quote only at
// the start of a field.
QString csvJoin(const QStringList& fields, QChar separator = QLatin1Char(';'), const QString& spacing = {});

} // namespace platform
