#include "mbus/decode/Values.h"

#include "mbus/decode/VifTable.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace mbus::decode {

namespace {

uint8_t at(std::span<const uint8_t> d, size_t i) { return i < d.size() ? d[i] : 0; }

// Little-endian two's complement of n bytes.
int64_t signedLE(std::span<const uint8_t> d, unsigned n)
{
    uint64_t u = 0;
    for (unsigned i = 0; i < n; ++i)
        u |= static_cast<uint64_t>(at(d, i)) << (8 * i);
    if (n < 8 && (u >> (8 * n - 1)) & 1)
        u |= ~uint64_t{0} << (8 * n);
    return static_cast<int64_t>(u);
}

long double numericValue(uint8_t dataField, uint8_t lvar, std::span<const uint8_t> d)
{
    switch (dataField) {
    case 1: return static_cast<long double>(signedLE(d, 1));
    case 2: return static_cast<long double>(signedLE(d, 2));
    case 3: return static_cast<long double>(signedLE(d, 3));
    case 4: return static_cast<long double>(signedLE(d, 4));
    case 5: {
        const uint32_t bits = static_cast<uint32_t>(signedLE(d, 4));
        float f;
        std::memcpy(&f, &bits, sizeof f);
        return static_cast<long double>(f);
    }
    case 6: return static_cast<long double>(signedLE(d, 6));
    case 7: return static_cast<long double>(signedLE(d, 8));
    case 9: return static_cast<long double>(BCD_To_Int64(d.first(std::min<size_t>(1, d.size()))));
    case 10: return static_cast<long double>(BCD_To_Int64(d.first(std::min<size_t>(2, d.size()))));
    case 11: return static_cast<long double>(BCD_To_Int64(d.first(std::min<size_t>(3, d.size()))));
    case 12: return static_cast<long double>(BCD_To_Int64(d.first(std::min<size_t>(4, d.size()))));
    case 14: return static_cast<long double>(BCD_To_Int64(d.first(std::min<size_t>(6, d.size()))));
    case 13:
        if (lvar >= 0xC0 && lvar <= 0xC9)
            return static_cast<long double>(BCD_To_Int64(d.first(std::min<size_t>(lvar - 0xC0u, d.size()))));
        if (lvar >= 0xD0 && lvar <= 0xD9)
            return -static_cast<long double>(BCD_To_Int64(d.first(std::min<size_t>(lvar - 0xD0u, d.size()))));
        return 0;
    default: return 0;
    }
}

// 10^e for the exponents a record can reach; exact up to 10^27.
long double pow10(int e)
{
    static const std::array<long double, 28> exact = [] {
        std::array<long double, 28> p{};
        p[0] = 1;
        for (size_t i = 1; i < p.size(); ++i)
            p[i] = p[i - 1] * 10;
        return p;
    }();
    const int a = e < 0 ? -e : e;
    const long double m = a < static_cast<int>(exact.size()) ? exact[static_cast<size_t>(a)] : std::pow(10.0L, a);
    return e < 0 ? 1 / m : m;
}

long double scaled(long double v, int e)
{
    if (e == 0)
        return v;
    // Dividing by an exact power keeps 12345 * 10^-3 the nearest value to 12.345.
    return e > 0 ? v * pow10(e) : v / pow10(-e);
}

// Date and time fields of EN 13757-3: day 5 bits, month 4, hour 5, minute and second 6; the
// year's low three bits sit above the day, its high four above the month. The texts are built
// in place: a reply holds several dates and the scan decodes many replies.
class DateText {
public:
    // Two_Digit_Text of n (0..127)
    DateText& num(int n)
    {
        if (n >= 100)
            put(u'0' + n / 100);
        put(u'0' + n / 10 % 10);
        put(u'0' + n % 10);
        return *this;
    }
    DateText& put(char16_t c)
    {
        c_[n_++] = c;
        return *this;
    }
    DateText& put(std::u16string_view s)
    {
        for (char16_t c : s)
            put(c);
        return *this;
    }
    // day/month/year from the two bytes that hold them
    DateText& date(uint8_t d, uint8_t m)
    {
        return num(d & 0x1F).put(u'/').num(m & 0x0F).put(u'/').num(((d & 0xE0) >> 5) + ((m & 0xF0) >> 4) * 8);
    }
    DateText& time(uint8_t h, uint8_t m) { return num(h & 0x1F).put(u':').num(m & 0x3F); }
    QString str() const { return QString(reinterpret_cast<const QChar*>(c_), n_); }

private:
    char16_t c_[40];
    int n_ = 0;
};

QString dateG(std::span<const uint8_t> d) { return DateText().date(at(d, 0), at(d, 1)).str(); }
QString dateF(std::span<const uint8_t> d)
{
    return DateText().date(at(d, 2), at(d, 3)).put(u' ').time(at(d, 1), at(d, 0)).str();
}
QString timeJ(std::span<const uint8_t> d)
{
    return DateText().time(at(d, 2), at(d, 1)).put(u':').num(at(d, 0) & 0x3F).str();
}
QString dateI(std::span<const uint8_t> d)
{
    static constexpr std::u16string_view days[] = {u"",         u"Monday ", u"Tuesday ", u"Wednesday ",
                                                   u"Thursday ", u"Friday ", u"Saturday ", u"Sunday "};
    return DateText()
        .put(days[at(d, 2) >> 5])
        .date(at(d, 3), at(d, 4))
        .put(u' ')
        .time(at(d, 2), at(d, 1))
        .put(u':')
        .num(at(d, 0) & 0x3F)
        .str();
}

} // namespace

int64_t BCD_To_Int64(std::span<const uint8_t> bytes)
{
    // Unsigned arithmetic: nine bytes of nibbles up to F stay below 2^63; longer input wraps
    // instead of overflowing.
    uint64_t sum = 0;
    uint64_t p = 1;
    bool negative = false;
    for (size_t i = 0; i < bytes.size(); ++i) {
        const bool last = i + 1 == bytes.size();
        sum += (bytes[i] & 0x0Fu) * p;
        p *= 10;
        if (last && (bytes[i] >> 4) == 0x0F)
            negative = true;
        else
            sum += static_cast<uint64_t>(bytes[i] >> 4) * p;
        if (!last)
            p *= 10;
    }
    return static_cast<int64_t>(negative ? 0 - sum : sum);
}

ValueInfo describeValue(uint8_t vif, std::span<const uint8_t> vifes, uint8_t dataField, uint8_t lvar,
                        std::span<const uint8_t> data)
{
    if (vifes.size() > kMaxVife)
        vifes = vifes.first(kMaxVife);
    ValueInfo r;
    const long double raw = numericValue(dataField, lvar, data);

    const uint8_t primary = vif & 0x7F;
    const VifEntry& p = vifEntry(VifTable::Primary, primary);
    r.vifClass = p.code;
    r.description = tableText(p.text);
    int exponent = p.exponent(primary);
    if (p.code == 20) {
        r.description = tableText(timePointText(dataField));
        r.hasValueText = true;
        switch (dataField) {
        case 2: r.valueText = dateG(data); break;
        case 4: r.valueText = dateF(data); break;
        case 3: r.valueText = timeJ(data); break;
        case 6: r.valueText = dateI(data); break;
        default: r.hasValueText = false;
        }
    } else if (primary == kPlainTextVif) {
        r.hasValueText = true;
        r.valueText = QString::fromLatin1(reinterpret_cast<const char*>(data.data()), static_cast<qsizetype>(data.size()));
    }

    size_t first = vifes.size(); // first combinable VIFE; none by default
    if ((vif == 0xFD || vif == 0xFB) && !vifes.empty()) {
        const uint8_t c = vifes[0] & 0x7F;
        const VifEntry& x = vifEntry(vif == 0xFD ? VifTable::ExtFD : VifTable::ExtFB, c);
        r.description = tableText(x.text);
        r.typeCode = x.code;
        exponent += x.exponent(c);
        if (vifes[0] & 0x80)
            first = 1;
    } else if ((vif & 0x80) && vif != 0xFE && vif != 0xFF) {
        first = 0;
    }

    for (size_t i = first; i < vifes.size(); ++i) {
        const uint8_t c = vifes[i] & 0x7F;
        uint8_t current = vifes[i];
        if (c == kCombinableQualifier) {
            if (i < kMaxVife - 1 && i + 1 < vifes.size()) {
                ++i;
                current = vifes[i];
                r.description += tableText(vifEntry(VifTable::Qualifier, current).text);
            }
        } else {
            const VifEntry& e = vifEntry(VifTable::Combinable, c);
            r.description += tableText(e.text);
            if (r.typeCode == -1)
                r.typeCode = e.code;
            exponent += e.exponent(c);
            if (e.date && (dataField == 2 || dataField == 4)) {
                r.hasValueText = true;
                r.valueText = dataField == 2 ? dateG(data) : dateF(data);
            }
        }
        if (!(current & 0x80))
            break;
    }

    r.value = scaled(raw, exponent);
    return r;
}

void Desc_VIF(uint8_t VIF, std::span<const uint8_t> vifes, TVariable_MBus& var, int32_t nbyte, uint8_t lvar,
              uint8_t dataField, std::span<const uint8_t> data, QChar decimalSeparator)
{
    if (nbyte < 0)
        nbyte = 0;
    if (static_cast<size_t>(nbyte) < data.size())
        data = data.first(static_cast<size_t>(nbyte));
    const ValueInfo v = describeValue(VIF, vifes, dataField, lvar, data);
    var.type_data = v.vifClass;
    var.Type_Data_Vife = v.typeCode == -1 ? 0 : v.typeCode;
    var.Desc_Type_Data = v.description;
    var.ValueStr = v.hasValueText ? v.valueText : formatValue(v.value, decimalSeparator);
}

QString formatValue(long double value, QChar decimalSeparator)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    if (value == 0)
        return QStringLiteral("0");

    // 15 significant digits, rounded once: "-d.dddddddddddddde+XX".
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14Le", value);
    const char* s = buf;
    const bool negative = *s == '-';
    if (negative)
        ++s;
    char digits[15];
    int nd = 0;
    for (; *s && *s != 'e'; ++s)
        if (*s >= '0' && *s <= '9' && nd < 15)
            digits[nd++] = *s;
    const int exp = *s == 'e' ? std::atoi(s + 1) : 0;
    while (nd > 1 && digits[nd - 1] == '0')
        --nd;

    QString out;
    out.reserve(32);
    if (negative)
        out += u'-';
    if (exp >= -4 && exp <= 14) {
        if (exp >= 0) {
            for (int i = 0; i <= exp; ++i)
                out += QLatin1Char(i < nd ? digits[i] : '0');
            if (nd > exp + 1) {
                out += decimalSeparator;
                for (int i = exp + 1; i < nd; ++i)
                    out += QLatin1Char(digits[i]);
            }
        } else {
            out += u'0';
            out += decimalSeparator;
            for (int i = 0; i < -exp - 1; ++i)
                out += u'0';
            for (int i = 0; i < nd; ++i)
                out += QLatin1Char(digits[i]);
        }
    } else {
        out += QLatin1Char(digits[0]);
        if (nd > 1) {
            out += decimalSeparator;
            for (int i = 1; i < nd; ++i)
                out += QLatin1Char(digits[i]);
        }
        out += u'E';
        out += QString::number(exp);
    }
    return out;
}

QString Two_Digit_Text(int n)
{
    return n >= 0 && n < 10 ? QStringLiteral("0") + QString::number(n) : QString::number(n);
}

QString Trova_Man(uint32_t num)
{
    auto letter = [](uint32_t group) { return group >= 1 && group <= 26 ? QChar(char16_t(64 + group)) : QChar(u'?'); };
    QString s(3, Qt::Uninitialized);
    s[0] = letter((num >> 10) & 0x1F);
    s[1] = letter((num >> 5) & 0x1F);
    s[2] = letter(num & 0x1F);
    return s;
}

} // namespace mbus::decode
