#include "platform/text/Text.h"

#include <QStringList>
#include <cmath>
#include <limits>
#include <type_traits>
#include <vector>

namespace platform {

namespace {

// Parses the magnitude and sign of the whole-integer rule into a 64-bit value; `hexLimit` and
// `decLimit` bound what is accepted before the caller narrows the result. One rule for UTF-16
// and UTF-8 text: a code unit outside ASCII is never a digit, a blank or a sign in either.
template <typename Unit>
std::optional<int64_t> parseInteger(const Unit* text, qsizetype n, uint64_t decLimit, uint64_t hexLimit,
                                    bool& wasHex)
{
    auto at = [text](qsizetype k) { return static_cast<uint32_t>(static_cast<std::make_unsigned_t<Unit>>(text[k])); };
    wasHex = false;
    // The text of nearly every cell: a few decimal digits and nothing else.
    if (n > 0 && n <= 18) {
        uint64_t v = 0;
        qsizetype k = 0;
        for (; k < n; ++k) {
            const uint32_t digit = at(k) - '0';
            if (digit > 9)
                break;
            v = v * 10 + digit;
        }
        if (k == n)
            return v <= decLimit ? std::optional<int64_t>(int64_t(v)) : std::nullopt;
    }
    qsizetype i = 0;
    while (i < n && at(i) == ' ')
        ++i;
    bool negative = false;
    if (i < n && (at(i) == '-' || at(i) == '+')) {
        negative = at(i) == '-';
        ++i;
    }
    if (i < n && (at(i) == '$' || at(i) == 'x' || at(i) == 'X')) {
        wasHex = true;
        ++i;
    } else if (i + 1 < n && at(i) == '0' && (at(i + 1) == 'x' || at(i + 1) == 'X')) {
        wasHex = true;
        i += 2;
    }
    if (i >= n)
        return std::nullopt;
    const uint64_t limit = wasHex ? hexLimit : decLimit;
    const uint64_t base = wasHex ? 16 : 10;
    // Up to 19 decimal or 16 hexadecimal digits cannot overflow 64 bits, and the value only
    // grows digit by digit, so comparing with the limit at the end is enough. Longer texts
    // (leading zeros) check every step: value * base + digit <= limit.
    const bool checkEachDigit = n - i > (wasHex ? 16 : 19);
    const uint64_t maxBeforeShift = limit / base;
    uint64_t value = 0;
    for (; i < n; ++i) {
        const uint32_t c = at(i);
        uint32_t digit = c - '0';
        if (digit > 9) {
            const uint32_t letter = (c | 0x20) - 'a'; // a-f and A-F
            if (!wasHex || letter > 5)
                return std::nullopt;
            digit = letter + 10;
        }
        if (checkEachDigit && (value > maxBeforeShift || value * base > limit - digit))
            return std::nullopt;
        value = value * base + digit;
    }
    if (value > limit)
        return std::nullopt;
    if (wasHex)
        return negative ? -int64_t(value) : int64_t(value);
    if (!negative && value > uint64_t(std::numeric_limits<int64_t>::max()))
        return std::nullopt;
    if (negative)
        return value == uint64_t(1) << 63 ? std::numeric_limits<int64_t>::min() : -int64_t(value);
    return int64_t(value);
}

template <typename Unit>
std::optional<int32_t> toInt32(const Unit* text, qsizetype n)
{
    bool hex = false;
    // Decimal: the magnitude may reach 2^31 only for a negative value, checked below.
    auto v = parseInteger(text, n, uint64_t(1) << 31, 0xFFFFFFFFull, hex);
    if (!v)
        return std::nullopt;
    if (hex)
        return int32_t(uint32_t(uint64_t(*v)));
    if (*v > std::numeric_limits<int32_t>::max() || *v < std::numeric_limits<int32_t>::min())
        return std::nullopt;
    return int32_t(*v);
}

template <typename Unit>
std::optional<int64_t> toInt64Of(const Unit* text, qsizetype n)
{
    bool hex = false;
    return parseInteger(text, n, uint64_t(1) << 63, uint64_t(std::numeric_limits<int64_t>::max()), hex);
}

} // namespace

std::optional<int32_t> toInt(const QString& text) { return toInt32(text.utf16(), text.size()); }

std::optional<int32_t> toIntUtf8(std::string_view utf8)
{
    return toInt32(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

int32_t toIntDef(const QString& text, int32_t def)
{
    auto v = toInt(text);
    return v ? *v : def;
}

std::optional<int64_t> toInt64(const QString& text) { return toInt64Of(text.utf16(), text.size()); }

std::optional<int64_t> toInt64(std::string_view utf8)
{
    return toInt64Of(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

int64_t toInt64Def(const QString& text, int64_t def)
{
    auto v = toInt64(text);
    return v ? *v : def;
}

std::optional<double> toFloat(const QString& text)
{
    if (text.isEmpty() || text.front().isSpace() || text.back().isSpace())
        return std::nullopt;
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (!((u >= u'0' && u <= u'9') || u == u'.' || u == u'-' || u == u'+' || u == u'e' || u == u'E'))
            return std::nullopt;
    }
    bool ok = false;
    const double d = text.toDouble(&ok);
    if (!ok || !std::isfinite(d))
        return std::nullopt;
    return d;
}

double toFloatDef(const QString& text, double def)
{
    auto v = toFloat(text);
    return v ? *v : def;
}

QString trimLeft(const QString& s)
{
    int i = 0;
    while (i < s.size() && s[i].unicode() <= u' ')
        ++i;
    return s.mid(i);
}

QString trimRight(const QString& s)
{
    qsizetype n = s.size();
    while (n > 0 && s[n - 1].unicode() <= u' ')
        --n;
    return s.left(n);
}

QString trim(const QString& s) { return trimLeft(trimRight(s)); }

QString upperAscii(const QString& s)
{
    QString r = s;
    for (QChar& c : r)
        if (c.unicode() >= u'a' && c.unicode() <= u'z')
            c = QChar(char16_t(c.unicode() - 32));
    return r;
}

QString lowerAscii(const QString& s)
{
    QString r = s;
    for (QChar& c : r)
        if (c.unicode() >= u'A' && c.unicode() <= u'Z')
            c = QChar(char16_t(c.unicode() + 32));
    return r;
}

int64_t roundHalfEven(double v)
{
    const double fl = std::floor(v);
    const double diff = v - fl;
    double r;
    if (diff > 0.5)
        r = fl + 1;
    else if (diff < 0.5)
        r = fl;
    else
        r = std::fmod(fl, 2.0) == 0.0 ? fl : fl + 1;
    return int64_t(r);
}

QString intToStr(int64_t v) { return QString::number(v); }

QString intToHex(uint64_t v, int digits)
{
    return QStringLiteral("%1").arg(v, digits, 16, QLatin1Char('0')).toUpper();
}

namespace {
// Windows-1252 places 0x80..0x9F; 0 marks the five unassigned bytes, which decode to the
// C1 control of the same number as the system's own conversion does.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0,
    0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178,
};
} // namespace

QString decodeCp1252(const QByteArray& bytes)
{
    QString out;
    out.reserve(bytes.size());
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b >= 0x80 && b <= 0x9F && kCp1252High[b - 0x80] != 0)
            out.append(QChar(kCp1252High[b - 0x80]));
        else
            out.append(QChar(char16_t(b)));
    }
    return out;
}

QByteArray encodeCp1252(const QString& text)
{
    QByteArray out;
    out.reserve(text.size());
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            out.append(char(u));
            continue;
        }
        char mapped = '?';
        for (int i = 0; i < 32; ++i)
            if (kCp1252High[i] == u) {
                mapped = char(0x80 + i);
                break;
            }
        if (mapped == '?' && u >= 0x80 && u <= 0x9F && kCp1252High[u - 0x80] == 0)
            mapped = char(u);
        out.append(mapped);
    }
    return out;
}

namespace {
// OEM code page 850 (multilingual Latin 1) places 0x80..0xFF; 0x00..0x7F are ASCII.
constexpr char16_t kCp850High[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00F8, 0x00A3, 0x00D8, 0x00D7, 0x0192,
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,
    0x00BF, 0x00AE, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x00C1, 0x00C2, 0x00C0,
    0x00A9, 0x2563, 0x2551, 0x2557, 0x255D, 0x00A2, 0x00A5, 0x2510,
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x00E3, 0x00C3,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x00A4,
    0x00F0, 0x00D0, 0x00CA, 0x00CB, 0x00C8, 0x0131, 0x00CD, 0x00CE,
    0x00CF, 0x2518, 0x250C, 0x2588, 0x2584, 0x00A6, 0x00CC, 0x2580,
    0x00D3, 0x00DF, 0x00D4, 0x00D2, 0x00F5, 0x00D5, 0x00B5, 0x00FE,
    0x00DE, 0x00DA, 0x00DB, 0x00D9, 0x00FD, 0x00DD, 0x00AF, 0x00B4,
    0x00AD, 0x00B1, 0x2017, 0x00BE, 0x00B6, 0x00A7, 0x00F7, 0x00B8,
    0x00B0, 0x00A8, 0x00B7, 0x00B9, 0x00B3, 0x00B2, 0x25A0, 0x00A0,
};
} // namespace

QString decodeCp850(const QByteArray& bytes)
{
    QString out;
    out.reserve(bytes.size());
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        out.append(QChar(b < 0x80 ? char16_t(b) : kCp850High[b - 0x80]));
    }
    return out;
}

QByteArray encodeCp850(const QString& text)
{
    // The reverse table, built once: a character's byte, or 0 when the page has none.
    static const std::vector<unsigned char> reverse = [] {
        std::vector<unsigned char> r(0x10000, 0);
        for (int i = 0; i < 128; ++i)
            r[kCp850High[i]] = static_cast<unsigned char>(0x80 + i);
        return r;
    }();
    QByteArray out;
    out.reserve(text.size());
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x80)
            out.append(char(u));
        else
            out.append(reverse[u] != 0 ? char(reverse[u]) : '?');
    }
    return out;
}

BomInfo detectBom(const QByteArray& b)
{
    if (b.size() >= 3 && uchar(b[0]) == 0xEF && uchar(b[1]) == 0xBB && uchar(b[2]) == 0xBF)
        return {TextEncoding::Utf8, 3};
    if (b.size() >= 2 && uchar(b[0]) == 0xFF && uchar(b[1]) == 0xFE)
        return {TextEncoding::Utf16LE, 2};
    if (b.size() >= 2 && uchar(b[0]) == 0xFE && uchar(b[1]) == 0xFF)
        return {TextEncoding::Utf16BE, 2};
    return {};
}

QString decodeTextFile(const QByteArray& bytes)
{
    const BomInfo bom = detectBom(bytes);
    const QByteArray body = bytes.mid(bom.length);
    switch (bom.encoding) {
    case TextEncoding::Utf8:
        return QString::fromUtf8(body);
    case TextEncoding::Utf16LE:
    case TextEncoding::Utf16BE: {
        QString s;
        s.reserve(body.size() / 2);
        const bool le = bom.encoding == TextEncoding::Utf16LE;
        for (qsizetype i = 0; i + 1 < body.size(); i += 2) {
            const auto lo = uchar(body[le ? i : i + 1]);
            const auto hi = uchar(body[le ? i + 1 : i]);
            s.append(QChar(char16_t(lo | (hi << 8))));
        }
        return s;
    }
    case TextEncoding::Ansi:
        break;
    }
    return decodeCp1252(body);
}

QStringList splitLines(const QString& text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            lines.append(text.mid(start, i - start));
            if (c == QLatin1Char('\r') && i + 1 < n && text[i + 1] == QLatin1Char('\n'))
                ++i;
            start = i + 1;
        }
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}

QString csvField(const QString& field, QChar separator)
{
    bool quote = false;
    for (const QChar c : field)
        if (c == separator || c == QLatin1Char('"') || c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            quote = true;
            break;
        }
    if (!quote)
        return field;
    QString quoted = field;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString csvJoin(const QStringList& fields, QChar separator, const QString& spacing)
{
    QString line;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        const QString f = csvField(fields[i], separator);
        if (i > 0) {
            line += separator;
            const bool quoted = f.size() != fields[i].size();
            if (!quoted)
                line += spacing;
        }
        line += f;
    }
    return line;
}

} // namespace platform
