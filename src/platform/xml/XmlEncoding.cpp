#include "platform/xml/XmlEncoding.h"

#include "platform/text/Text.h"

#include <cstdint>
#include <cstring>

namespace platform::xml {

namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = char(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = char(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

// A byte-order mark or the UTF-16 / UTF-32 form of a leading '<'.
bool isWideOrMarked(const QByteArray& b)
{
    if (b.size() < 2)
        return false;
    const auto d0 = static_cast<uint8_t>(b[0]), d1 = static_cast<uint8_t>(b[1]);
    if (d0 == 0 || d1 == 0)
        return true;
    if ((d0 == 0xFE && d1 == 0xFF) || (d0 == 0xFF && d1 == 0xFE))
        return true;
    return b.size() >= 3 && d0 == 0xEF && d1 == 0xBB && static_cast<uint8_t>(b[2]) == 0xBF;
}

} // namespace

std::optional<std::string_view> declaredEncoding(const QByteArray& b)
{
    const std::string_view s(b.constData(), size_t(b.size()));
    if (s.size() < 6 || s.substr(0, 5) != "<?xml" || !isSpace(s[5]))
        return std::nullopt;
    for (size_t i = 6; i + 8 <= s.size(); ++i) {
        if (s[i] == '?')
            return std::nullopt;
        if (s.compare(i, 8, "encoding") != 0 || !isSpace(s[i - 1]))
            continue;
        size_t o = i + 8;
        while (o < s.size() && isSpace(s[o]))
            ++o;
        if (o >= s.size() || s[o] != '=')
            return std::nullopt;
        ++o;
        while (o < s.size() && isSpace(s[o]))
            ++o;
        if (o >= s.size() || (s[o] != '"' && s[o] != '\''))
            return std::nullopt;
        const char quote = s[o++];
        const size_t end = s.find(quote, o);
        if (end == std::string_view::npos)
            return std::nullopt;
        return s.substr(o, end - o);
    }
    return std::nullopt;
}

EightBit eightBitOfName(std::string_view name)
{
    for (std::string_view n : {"iso-8859-1", "iso8859-1", "iso_8859-1", "latin1", "latin-1", "l1"})
        if (equalsIgnoringCase(name, n))
            return EightBit::Latin1;
    for (std::string_view n : {"windows-1252", "cp1252", "x-cp1252"})
        if (equalsIgnoringCase(name, n))
            return EightBit::Cp1252;
    return EightBit::None;
}

EightBit eightBitEncoding(const QByteArray& bytes)
{
    if (isWideOrMarked(bytes))
        return EightBit::None;
    if (const std::optional<std::string_view> declared = declaredEncoding(bytes))
        return eightBitOfName(*declared);
    return isValidUtf8(std::string_view(bytes.constData(), size_t(bytes.size()))) ? EightBit::None : EightBit::Cp1252;
}

QByteArray eightBitToUtf8(const QByteArray& bytes, EightBit encoding)
{
    switch (encoding) {
    case EightBit::Latin1: return QString::fromLatin1(bytes).toUtf8();
    case EightBit::Cp1252: return decodeCp1252(bytes).toUtf8();
    case EightBit::None: break;
    }
    return bytes;
}

bool isValidUtf8(std::string_view s)
{
    const auto* p = reinterpret_cast<const uint8_t*>(s.data());
    const auto* end = p + s.size();
    while (p < end) {
        const uint8_t c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        int n;
        uint32_t cp;
        if (c >= 0xC2 && c <= 0xDF) {
            n = 1;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            n = 2;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            n = 3;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (end - p <= n)
            return false;
        for (int i = 1; i <= n; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (p[i] & 0x3F);
        }
        if ((n == 2 && cp < 0x800) || (n == 3 && (cp < 0x10000 || cp > 0x10FFFF)) || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        p += n + 1;
    }
    return true;
}

} // namespace platform::xml
