#include "platform/core/Format.h"

#include "platform/core/Conversions.h"
#include "platform/core/Errors.h"

#include <limits>

namespace platform {

namespace {

[[noreturn]] void invalidFormat(const QString& format)
{
    throw EConvertError(QStringLiteral("Format '%1' invalid or incompatible with argument").arg(format));
}

// Widths and precisions beyond this are refused: no real format asks for them, and a stored
// text must not make one call produce megabytes.
constexpr int kMaxWidth = 4096;

bool isInteger(const FormatArg& a) { return a.kind() == FormatArg::Kind::Int32 || a.kind() == FormatArg::Kind::Int64; }

// The magnitude bits of an integer argument seen as unsigned: a negative 32-bit value counts as
// the 32-bit register holding it.
uint64_t unsignedValue(const FormatArg& a)
{
    if (a.kind() == FormatArg::Kind::Int32)
        return uint64_t(uint32_t(int32_t(a.intValue())));
    return uint64_t(a.intValue());
}

QString zeroPadded(QString digits, int precision)
{
    while (digits.size() < precision)
        digits.prepend(QLatin1Char('0'));
    return digits;
}

} // namespace

QString Format(const QString& format, std::initializer_list<FormatArg> args, const TFormatSettings& fs)
{
    QString out;
    out.reserve(format.size() + 16);
    auto next = args.begin();
    const qsizetype n = format.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = format[i++];
        if (c != QLatin1Char('%')) {
            out += c;
            continue;
        }
        if (i >= n)
            invalidFormat(format);
        if (format[i] == QLatin1Char('%')) {
            out += QLatin1Char('%');
            ++i;
            continue;
        }
        bool left = false;
        if (format[i] == QLatin1Char('-')) {
            left = true;
            ++i;
        }
        auto readNumber = [&](int& value) {
            bool any = false;
            while (i < n && format[i].unicode() >= u'0' && format[i].unicode() <= u'9') {
                value = value * 10 + (format[i].unicode() - u'0');
                if (value > kMaxWidth)
                    invalidFormat(format);
                ++i;
                any = true;
            }
            return any;
        };
        int width = 0;
        readNumber(width);
        int precision = -1;
        if (i < n && format[i] == QLatin1Char('.')) {
            ++i;
            precision = 0;
            readNumber(precision);
        }
        if (i >= n)
            invalidFormat(format);
        const char16_t type = format[i++].toUpper().unicode();
        if (next == args.end())
            throw EConvertError(QStringLiteral("No argument for format '%1'").arg(format));
        const FormatArg& a = *next++;
        QString item;
        switch (type) {
        case u'D': {
            if (!isInteger(a))
                invalidFormat(format);
            const int64_t v = a.intValue();
            const uint64_t magnitude = v < 0 ? uint64_t(0) - uint64_t(v) : uint64_t(v);
            item = zeroPadded(QString::number(magnitude), precision);
            if (v < 0)
                item.prepend(QLatin1Char('-'));
            break;
        }
        case u'U':
            if (!isInteger(a))
                invalidFormat(format);
            item = zeroPadded(QString::number(unsignedValue(a)), precision);
            break;
        case u'X':
            if (!isInteger(a))
                invalidFormat(format);
            item = zeroPadded(QString::number(unsignedValue(a), 16).toUpper(), precision);
            break;
        case u'S':
            if (a.kind() != FormatArg::Kind::Text)
                invalidFormat(format);
            item = precision >= 0 ? a.text().left(precision) : a.text();
            break;
        case u'F':
        case u'E':
        case u'G':
        case u'N': {
            if (a.kind() != FormatArg::Kind::Float)
                invalidFormat(format);
            const double v = a.floatValue();
            if (type == u'F')
                item = FloatToStrF(v, ffFixed, 18, precision < 0 ? 2 : precision, fs);
            else if (type == u'N')
                item = FloatToStrF(v, ffNumber, 18, precision < 0 ? 2 : precision, fs);
            else if (type == u'E')
                item = FloatToStrF(v, ffExponent, precision < 0 ? 15 : precision, 3, fs);
            else
                item = FloatToStrF(v, ffGeneral, precision < 0 ? 15 : precision, 3, fs);
            break;
        }
        default:
            invalidFormat(format);
        }
        if (item.size() < width) {
            const QString pad(width - item.size(), QLatin1Char(' '));
            item = left ? item + pad : pad + item;
        }
        out += item;
    }
    return out;
}

QString Format(const QString& format, std::initializer_list<FormatArg> args)
{
    return Format(format, args, FormatSettings());
}

} // namespace platform
