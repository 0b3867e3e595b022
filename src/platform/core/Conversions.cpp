#include "platform/core/Conversions.h"

#include "platform/core/Errors.h"
#include "platform/text/Text.h"

#include <QCollator>
#include <QLocale>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>

namespace platform {

// --- integers ---------------------------------------------------------------------------------

int32_t StrToInt(const QString& s)
{
    if (auto v = toInt(s))
        return *v;
    throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(s));
}

int32_t StrToIntDef(const QString& s, int32_t def) { return toIntDef(s, def); }

bool TryStrToInt(const QString& s, int32_t& value)
{
    auto v = toInt(s);
    if (v)
        value = *v;
    return v.has_value();
}

int64_t StrToInt64(const QString& s)
{
    if (auto v = toInt64(s))
        return *v;
    throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(s));
}

int64_t StrToInt64Def(const QString& s, int64_t def) { return toInt64Def(s, def); }

QString IntToStr(int64_t value) { return intToStr(value); }

// --- text to float ----------------------------------------------------------------------------

bool TryStrToFloat(const QString& s, double& value, const TFormatSettings& fs)
{
    const qsizetype n = s.size();
    qsizetype i = 0;
    while (i < n && s[i] == QLatin1Char(' '))
        ++i;
    std::string plain; // the number in C notation for from_chars
    if (i < n && (s[i] == QLatin1Char('-') || s[i] == QLatin1Char('+'))) {
        if (s[i] == QLatin1Char('-'))
            plain += '-';
        ++i;
    }
    int mantissaDigits = 0;
    bool seenSeparator = false;
    for (; i < n; ++i) {
        const char16_t c = s[i].unicode();
        if (c >= u'0' && c <= u'9') {
            plain += char(c);
            ++mantissaDigits;
        } else if (s[i] == fs.DecimalSeparator && !seenSeparator) {
            plain += '.';
            seenSeparator = true;
        } else {
            break;
        }
    }
    if (mantissaDigits == 0)
        return false;
    if (i < n && (s[i] == QLatin1Char('e') || s[i] == QLatin1Char('E'))) {
        plain += 'e';
        ++i;
        if (i < n && (s[i] == QLatin1Char('-') || s[i] == QLatin1Char('+'))) {
            plain += char(s[i].unicode());
            ++i;
        }
        int expDigits = 0;
        for (; i < n && s[i].unicode() >= u'0' && s[i].unicode() <= u'9'; ++i, ++expDigits)
            plain += char(s[i].unicode());
        if (expDigits == 0)
            return false;
    }
    while (i < n && s[i] == QLatin1Char(' '))
        ++i;
    if (i != n)
        return false;
    double v = 0;
    const char* first = plain.data();
    const char* last = first + plain.size();
    const auto r = std::from_chars(first, last, v);
    if (r.ec != std::errc() || r.ptr != last || !std::isfinite(v))
        return false;
    value = v;
    return true;
}

bool TryStrToFloat(const QString& s, double& value) { return TryStrToFloat(s, value, FormatSettings()); }

double StrToFloat(const QString& s, const TFormatSettings& fs)
{
    double v = 0;
    if (!TryStrToFloat(s, v, fs))
        throw EConvertError(QStringLiteral("'%1' is not a valid floating point value").arg(s));
    return v;
}

double StrToFloat(const QString& s) { return StrToFloat(s, FormatSettings()); }

double StrToFloatDef(const QString& s, double def, const TFormatSettings& fs)
{
    double v = 0;
    return TryStrToFloat(s, v, fs) ? v : def;
}

double StrToFloatDef(const QString& s, double def) { return StrToFloatDef(s, def, FormatSettings()); }

// --- float to text ----------------------------------------------------------------------------

namespace {

// A finite value as decimal digits: value = 0.d1d2d3... x 10^exponent. No trailing zeros; no
// digits at all for zero.
struct Decimal {
    bool negative = false;
    int exponent = 0;
    std::string digits;

    bool isZero() const { return digits.empty(); }
};

void stripTrailingZeros(Decimal& d)
{
    while (!d.digits.empty() && d.digits.back() == '0')
        d.digits.pop_back();
    if (d.digits.empty())
        d.exponent = 0;
}

// Seventeen significant digits tell every double apart; rounding then works on these decimal
// digits, so a value written as 0.125 rounds to 0.13 as the user reads it.
Decimal toDecimal(double v)
{
    Decimal d;
    d.negative = std::signbit(v);
    const double a = std::fabs(v);
    if (a == 0)
        return d;
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.16e", a);
    // d.dddddddddddddddde[+-]xx
    d.digits += buf[0];
    const char* p = buf + 2;
    while (*p && *p != 'e')
        d.digits += *p++;
    d.exponent = std::atoi(p + 1) + 1;
    stripTrailingZeros(d);
    return d;
}

// Keeps `count` leading digits, a following digit of 5 or more rounding up (away from zero).
void roundToDigits(Decimal& d, int count)
{
    if (count < 0) {
        d.digits.clear();
        d.exponent = 0;
        return;
    }
    if (int(d.digits.size()) <= count)
        return;
    const bool up = d.digits[size_t(count)] >= '5';
    d.digits.resize(size_t(count));
    if (up) {
        int k = count - 1;
        while (k >= 0 && d.digits[size_t(k)] == '9') {
            d.digits[size_t(k)] = '0';
            --k;
        }
        if (k >= 0) {
            ++d.digits[size_t(k)];
        } else {
            d.digits.insert(d.digits.begin(), '1');
            ++d.exponent;
        }
    }
    stripTrailingZeros(d);
}

QString exponentText(int e, int minDigits, bool plusSign)
{
    QString t = QString::number(std::abs(e));
    while (t.size() < minDigits)
        t.prepend(QLatin1Char('0'));
    if (e < 0)
        t.prepend(QLatin1Char('-'));
    else if (plusSign)
        t.prepend(QLatin1Char('+'));
    return QLatin1Char('E') + t;
}

QString digitsText(const Decimal& d, int from, int to) // digits [from, to), zeros outside
{
    QString t;
    for (int k = from; k < to; ++k)
        t += (k >= 0 && k < int(d.digits.size())) ? QLatin1Char(d.digits[size_t(k)]) : QLatin1Char('0');
    return t;
}

QString withSign(const Decimal& d, QString body)
{
    if (d.negative && !d.isZero())
        body.prepend(QLatin1Char('-'));
    return body;
}

QString formatGeneral(Decimal d, int precision, int expDigits, const TFormatSettings& fs)
{
    roundToDigits(d, precision);
    if (d.isZero())
        return QStringLiteral("0");
    const int n = int(d.digits.size());
    QString body;
    if (d.exponent > precision || d.exponent < -3) {
        body = QLatin1Char(d.digits[0]);
        if (n > 1)
            body += fs.DecimalSeparator + digitsText(d, 1, n);
        body += exponentText(d.exponent - 1, expDigits, false);
    } else if (d.exponent <= 0) {
        body = QLatin1Char('0') + fs.DecimalSeparator + QString(-d.exponent, QLatin1Char('0')) + digitsText(d, 0, n);
    } else {
        body = digitsText(d, 0, d.exponent);
        if (n > d.exponent)
            body += fs.DecimalSeparator + digitsText(d, d.exponent, n);
    }
    return withSign(d, body);
}

QString formatExponent(Decimal d, int precision, int expDigits, const TFormatSettings& fs)
{
    roundToDigits(d, std::min(precision, 17));
    QString body = d.isZero() ? QStringLiteral("0") : QString(QLatin1Char(d.digits[0]));
    if (precision > 1)
        body += fs.DecimalSeparator + digitsText(d, 1, precision);
    body += exponentText(d.isZero() ? 0 : d.exponent - 1, expDigits, true);
    return withSign(d, body);
}

QString formatFixed(Decimal d, int decimals, bool thousands, const TFormatSettings& fs)
{
    roundToDigits(d, d.exponent + decimals);
    QString whole = d.exponent > 0 ? digitsText(d, 0, d.exponent) : QStringLiteral("0");
    if (thousands) {
        for (qsizetype k = whole.size() - 3; k > 0; k -= 3)
            whole.insert(k, fs.ThousandSeparator);
    }
    QString body = whole;
    if (decimals > 0)
        body += fs.DecimalSeparator + digitsText(d, d.exponent, d.exponent + decimals);
    return withSign(d, body);
}

} // namespace

QString FloatToStrF(double value, TFloatFormat format, int precision, int digits, const TFormatSettings& fs)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    precision = std::clamp(precision, 1, 18);
    const Decimal d = toDecimal(value);
    switch (format) {
    case ffGeneral:
        return formatGeneral(d, std::min(precision, 17), std::clamp(digits, 0, 4), fs);
    case ffExponent:
        return formatExponent(d, precision, std::clamp(digits, 0, 4), fs);
    case ffFixed:
    case ffNumber:
        if (d.exponent > precision)
            return formatGeneral(d, std::min(precision, 17), 3, fs);
        return formatFixed(d, std::clamp(digits, 0, 18), format == ffNumber, fs);
    }
    return QString();
}

QString FloatToStrF(double value, TFloatFormat format, int precision, int digits)
{
    return FloatToStrF(value, format, precision, digits, FormatSettings());
}

QString FloatToStr(double value, const TFormatSettings& fs) { return FloatToStrF(value, ffGeneral, 15, 0, fs); }

QString FloatToStr(double value) { return FloatToStr(value, FormatSettings()); }

// --- letter case and order --------------------------------------------------------------------

namespace {

template <typename Map>
QString mapCase(const QString& s, Map map)
{
    QString r = s;
    const qsizetype n = r.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = r[i];
        if (c.isHighSurrogate() && i + 1 < n && r[i + 1].isLowSurrogate()) {
            const char32_t cp = QChar::surrogateToUcs4(c, r[i + 1]);
            const char32_t m = map(cp);
            if (QChar::requiresSurrogates(m)) {
                r[i] = QChar(QChar::highSurrogate(m));
                r[i + 1] = QChar(QChar::lowSurrogate(m));
            }
            ++i;
            continue;
        }
        const char32_t m = map(char32_t(c.unicode()));
        if (!QChar::requiresSurrogates(m))
            r[i] = QChar(char16_t(m));
    }
    return r;
}

// The collation of the program's locale, the same on every machine. One per thread: a collator
// is not meant to be shared between threads.
const QCollator& collator(bool caseSensitive)
{
    thread_local const QCollator sensitive = [] {
        QCollator c(QLocale(QLocale::English, QLocale::UnitedStates));
        c.setCaseSensitivity(Qt::CaseSensitive);
        return c;
    }();
    thread_local const QCollator insensitive = [] {
        QCollator c(QLocale(QLocale::English, QLocale::UnitedStates));
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    return caseSensitive ? sensitive : insensitive;
}

int sign(int v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); }

} // namespace

QString AnsiUpperCase(const QString& s)
{
    return mapCase(s, [](char32_t c) { return QChar::toUpper(c); });
}

QString AnsiLowerCase(const QString& s)
{
    return mapCase(s, [](char32_t c) { return QChar::toLower(c); });
}

int AnsiCompareStr(const QString& a, const QString& b)
{
    const int c = sign(collator(true).compare(a, b));
    // Texts the collation cannot tell apart (ignorable characters) still differ.
    return c != 0 ? c : sign(QString::compare(a, b));
}

int AnsiCompareText(const QString& a, const QString& b) { return sign(collator(false).compare(a, b)); }

bool AnsiSameText(const QString& a, const QString& b) { return AnsiCompareText(a, b) == 0; }

} // namespace platform
