#include "controls/grid/io/ComponentStream.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace controls::grid::io {

namespace {

// UTF-8 bytes as text. QString::fromUtf8 takes a leading U+FEFF for a byte-order mark and drops
// it; in a cell's text it is a character.
QString utf8Text(const char* p, qsizetype n)
{
    QString lead;
    while (n >= 3 && p[0] == '\xEF' && p[1] == '\xBB' && p[2] == '\xBF') {
        lead += QChar(0xFEFF);
        p += 3;
        n -= 3;
    }
    return lead + QString::fromUtf8(p, n);
}

} // namespace

const TStreamValue* TStreamObject::Find(const QString& name) const
{
    for (const TStreamProperty& p : Properties)
        if (p.Name == name)
            return &p.Value;
    return nullptr;
}

// --- extended floats -------------------------------------------------------------------------

void DoubleToExtended(double v, uint8_t out[10])
{
    std::memset(out, 0, 10);
    uint64_t bits = 0;
    std::memcpy(&bits, &v, 8);
    const bool negative = bits >> 63;
    const int exp = int((bits >> 52) & 0x7FF);
    uint64_t frac = bits & ((uint64_t(1) << 52) - 1);
    uint64_t mant = 0;
    int e = 0;
    if (exp == 0 && frac == 0) {
        e = 0;
    } else if (exp == 0x7FF) {
        e = 0x7FFF;
        mant = (uint64_t(1) << 63) | (frac << 11);
    } else if (exp == 0) {
        // Subnormal double: normalise into the wider exponent range.
        int shift = 0;
        while (!(frac & (uint64_t(1) << 52))) {
            frac <<= 1;
            ++shift;
        }
        e = 1 - 1023 - shift + 16383;
        mant = frac << 11;
    } else {
        e = exp - 1023 + 16383;
        mant = (uint64_t(1) << 63) | (frac << 11);
    }
    for (int i = 0; i < 8; ++i)
        out[i] = uint8_t(mant >> (8 * i));
    const uint16_t se = uint16_t(e | (negative ? 0x8000 : 0));
    out[8] = uint8_t(se);
    out[9] = uint8_t(se >> 8);
}

double ExtendedToDouble(const uint8_t in[10])
{
    uint64_t mant = 0;
    for (int i = 0; i < 8; ++i)
        mant |= uint64_t(in[i]) << (8 * i);
    const uint16_t se = uint16_t(in[8] | (in[9] << 8));
    const bool negative = se & 0x8000;
    const int e = se & 0x7FFF;
    double v = 0;
    if (e == 0x7FFF)
        v = (mant << 1) ? std::numeric_limits<double>::quiet_NaN() : std::numeric_limits<double>::infinity();
    else if (mant != 0)
        v = std::ldexp(double(mant), e - 16383 - 63);
    return negative ? -v : v;
}

// --- writer ----------------------------------------------------------------------------------

void TComponentWriter::le(uint64_t v, int n)
{
    for (int i = 0; i < n; ++i)
        byte(uint8_t(v >> (8 * i)));
}

void TComponentWriter::ShortString(const QByteArray& bytes)
{
    const QByteArray b = bytes.left(255);
    byte(uint8_t(b.size()));
    m_out.append(b);
}

void TComponentWriter::PropertyName(const QString& name)
{
    ShortString(name.toUtf8());
}

void TComponentWriter::ShortString(QLatin1String ascii)
{
    const qsizetype n = std::min<qsizetype>(ascii.size(), 255);
    byte(uint8_t(n));
    m_out.append(ascii.data(), n);
}

void TComponentWriter::BeginObject(QLatin1String className)
{
    m_out.append("TPF0", 4);
    ShortString(className);
    byte(0);
}

void TComponentWriter::Integer(QLatin1String name, int64_t v)
{
    ShortString(name);
    IntegerValue(v);
}

void TComponentWriter::Boolean(QLatin1String name, bool v)
{
    ShortString(name);
    byte(v ? vaTrue : vaFalse);
}

void TComponentWriter::Text(QLatin1String name, const QString& text)
{
    if (text.isEmpty())
        return;
    ShortString(name);
    TextValue(text);
}

void TComponentWriter::BeginObject(const QString& className)
{
    m_out.append("TPF0", 4);
    ShortString(className.toUtf8());
    ShortString(QByteArray());
}

void TComponentWriter::EndObject()
{
    byte(0); // end of properties
    byte(0); // end of children
}

void TComponentWriter::IntegerValue(int64_t v)
{
    if (v >= -128 && v <= 127) {
        byte(vaInt8);
        le(uint64_t(v), 1);
    } else if (v >= -32768 && v <= 32767) {
        byte(vaInt16);
        le(uint64_t(v), 2);
    } else if (v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max()) {
        byte(vaInt32);
        le(uint64_t(v), 4);
    } else {
        byte(vaInt64);
        le(uint64_t(v), 8);
    }
}

void TComponentWriter::Integer(const QString& name, int64_t v)
{
    PropertyName(name);
    IntegerValue(v);
}

void TComponentWriter::Boolean(const QString& name, bool v)
{
    PropertyName(name);
    byte(v ? vaTrue : vaFalse);
}

void TComponentWriter::Ident(const QString& name, const QString& ident)
{
    PropertyName(name);
    byte(vaIdent);
    ShortString(ident.toLatin1());
}

void TComponentWriter::Set(const QString& name, const QStringList& idents)
{
    PropertyName(name);
    byte(vaSet);
    for (const QString& s : idents)
        ShortString(s.toLatin1());
    byte(0);
}

void TComponentWriter::TextValue(const QString& text)
{
    // The common case first: a short ASCII text goes out as it is.
    if (text.size() < 256) {
        bool ascii = true;
        for (QChar c : text)
            if (c.unicode() >= 128) {
                ascii = false;
                break;
            }
        if (ascii) {
            const qsizetype at = m_out.size();
            m_out.resize(at + 2 + text.size());
            char* p = m_out.data() + at;
            *p++ = char(vaString);
            *p++ = char(uint8_t(text.size()));
            for (QChar c : text)
                *p++ = char(c.unicode());
            return;
        }
    }
    const QByteArray utf8 = text.toUtf8();
    const bool ascii = std::all_of(utf8.begin(), utf8.end(), [](char c) { return uint8_t(c) < 128; });
    if (utf8.size() >= 2 * text.size() && !text.isEmpty() && !ascii) {
        byte(vaWString);
        le(uint64_t(text.size()), 4);
        for (QChar c : text)
            le(c.unicode(), 2);
    } else if (!ascii) {
        byte(vaUTF8String);
        le(uint64_t(utf8.size()), 4);
        m_out.append(utf8);
    } else if (utf8.size() >= 256) {
        byte(vaLString);
        le(uint64_t(utf8.size()), 4);
        m_out.append(utf8);
    } else {
        byte(vaString);
        ShortString(utf8);
    }
}

void TComponentWriter::Text(const QString& name, const QString& text)
{
    if (text.isEmpty())
        return;
    PropertyName(name);
    TextValue(text);
}

void TComponentWriter::Float(const QString& name, double v)
{
    if (v == 0)
        return;
    PropertyName(name);
    byte(vaExtended);
    uint8_t ext[10];
    DoubleToExtended(v, ext);
    m_out.append(reinterpret_cast<const char*>(ext), 10);
}

void TComponentWriter::Binary(const QString& name, const QByteArray& data)
{
    PropertyName(name);
    byte(vaBinary);
    le(uint64_t(data.size()), 4);
    m_out.append(data);
}

void TComponentWriter::StringList(const QString& name, const QStringList& lines)
{
    PropertyName(name);
    byte(vaList);
    for (const QString& s : lines)
        TextValue(s);
    byte(vaNull);
}

void TComponentWriter::BeginCollection(const QString& name)
{
    PropertyName(name);
    byte(vaCollection);
}

void TComponentWriter::BeginItem()
{
    byte(vaList);
}

void TComponentWriter::EndItem()
{
    byte(0);
}

void TComponentWriter::EndCollection()
{
    byte(0);
}

// --- reader ----------------------------------------------------------------------------------

void TComponentReader::fail(const char* what) const
{
    throw EReadError(QStringLiteral("Invalid stream format: %1 at byte %2").arg(QLatin1String(what)).arg(m_pos));
}

void TComponentReader::need(qsizetype n) const
{
    if (n < 0 || n > m_data.size() - m_pos)
        fail("data ends early");
}

uint8_t TComponentReader::byte()
{
    need(1);
    return uint8_t(m_data[m_pos++]);
}

uint64_t TComponentReader::le(int n)
{
    need(n);
    uint64_t v = 0;
    for (int i = 0; i < n; ++i)
        v |= uint64_t(uint8_t(m_data[m_pos + i])) << (8 * i);
    m_pos += n;
    return v;
}

QString TComponentReader::shortString()
{
    const int n = byte();
    need(n);
    const QString s = utf8Text(m_data.constData() + m_pos, n);
    m_pos += n;
    return s;
}

QByteArrayView TComponentReader::shortBytes()
{
    const int n = byte();
    need(n);
    const QByteArrayView v(m_data.constData() + m_pos, n);
    m_pos += n;
    return v;
}

void TComponentReader::value(int depth, TStreamValue& v)
{
    if (depth > kMaxDepth)
        fail("values nested too deep");
    v.Tag = TValueTag(byte());
    switch (v.Tag) {
    case vaInt8:
        v.Int = int8_t(le(1));
        break;
    case vaInt16:
        v.Int = int16_t(le(2));
        break;
    case vaInt32:
        v.Int = int32_t(le(4));
        break;
    case vaInt64:
        v.Int = int64_t(le(8));
        break;
    case vaExtended: {
        need(10);
        v.Float = ExtendedToDouble(reinterpret_cast<const uint8_t*>(m_data.constData() + m_pos));
        m_pos += 10;
        break;
    }
    case vaString: {
        const QByteArrayView b = shortBytes();
        v.Text = QString::fromLatin1(b.data(), b.size());
        break;
    }
    case vaIdent:
        v.Text = shortString();
        break;
    case vaFalse:
    case vaTrue:
        v.Int = v.Tag == vaTrue;
        break;
    case vaNil:
    case vaNull:
        break;
    case vaLString:
    case vaUTF8String: {
        const qsizetype n = qsizetype(le(4));
        need(n);
        v.Text = utf8Text(m_data.constData() + m_pos, n);
        m_pos += n;
        break;
    }
    case vaWString: {
        const uint64_t count = le(4);
        if (count > uint64_t(Remaining()) / 2)
            fail("text longer than the data");
        v.Text.resize(qsizetype(count));
        for (qsizetype i = 0; i < qsizetype(count); ++i)
            v.Text[i] = QChar(char16_t(le(2)));
        break;
    }
    case vaBinary: {
        const qsizetype n = qsizetype(le(4));
        need(n);
        v.Bytes = m_data.mid(m_pos, n);
        m_pos += n;
        break;
    }
    case vaSet:
        for (;;) {
            const QString s = shortString();
            if (s.isEmpty())
                break;
            v.Set << s;
        }
        break;
    case vaList:
        while (byte() != vaNull) {
            --m_pos;
            v.List.push_back(value(depth + 1));
        }
        break;
    case vaCollection:
        for (;;) {
            const uint8_t t = byte();
            if (t == vaNull)
                break;
            if (t != vaList)
                fail("collection item expected");
            v.Collection.push_back(properties(depth + 1));
        }
        break;
    default:
        fail("unknown value tag");
    }
}

QByteArrayView TComponentReader::beginObject()
{
    need(4);
    if (std::memcmp(m_data.constData() + m_pos, "TPF0", 4) != 0)
        fail("signature TPF0 missing");
    m_pos += 4;
    const QByteArrayView cls = shortBytes();
    (void)shortBytes();
    return cls;
}

bool TComponentReader::nextProperty()
{
    need(1);
    if (m_data[m_pos] == 0) {
        ++m_pos;
        return false;
    }
    return true;
}

void TComponentReader::endObject()
{
    if (byte() != 0)
        fail("child objects are not allowed");
}

TStreamItem TComponentReader::properties(int depth)
{
    TStreamItem props;
    for (;;) {
        need(1);
        if (m_data[m_pos] == 0) {
            ++m_pos;
            break;
        }
        TStreamProperty p;
        p.Name = shortString();
        p.Value = value(depth);
        props.push_back(std::move(p));
    }
    return props;
}

TStreamObject TComponentReader::ReadObject()
{
    need(4);
    if (std::memcmp(m_data.constData() + m_pos, "TPF0", 4) != 0)
        fail("signature TPF0 missing");
    m_pos += 4;
    TStreamObject o;
    o.ClassName = shortString();
    o.Name = shortString();
    o.Properties = properties(0);
    if (byte() != 0)
        fail("child objects are not allowed");
    return o;
}

int64_t ValueInt(const TStreamValue* v, int64_t def)
{
    return v && v->IsInteger() ? v->Int : def;
}

bool ValueBool(const TStreamValue* v, bool def)
{
    return v && (v->Tag == vaTrue || v->Tag == vaFalse) ? v->Int != 0 : def;
}

QString ValueText(const TStreamValue* v)
{
    return v && v->IsText() ? v->Text : QString();
}

} // namespace controls::grid::io
