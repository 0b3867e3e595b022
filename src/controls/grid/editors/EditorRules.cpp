#include "controls/grid/editors/EditorRules.h"

#include "platform/core/Conversions.h"
#include "platform/core/Errors.h"
#include "platform/text/Text.h"

#include <QApplication>
#include <cmath>

namespace controls::grid {

using platform::TFormatSettings;

namespace {

std::function<void()>& beepHandler()
{
    static std::function<void()> handler;
    return handler;
}

bool isNumberChar(QChar c) { return c.isNumber(); }

} // namespace

void MessageBeep()
{
    if (beepHandler())
        beepHandler()();
    else
        QApplication::beep();
}

std::function<void()> SetMessageBeepHandler(std::function<void()> handler)
{
    std::function<void()> old = std::move(beepHandler());
    beepHandler() = std::move(handler);
    return old;
}

// --- the spin editor ---------------------------------------------------------------------------

bool SpinIsValidChar(QChar key, const TSpinCharContext& ctx, const TFormatSettings& fs)
{
    const QChar d = fs.DecimalSeparator;
    const QChar t = fs.ThousandSeparator;
    const QChar ts = fs.TimeSeparator;
    const QChar ds = fs.DateSeparator;
    const ushort code = key.unicode();
    if (code == 8)
        return ctx.editorEnabled;
    const QString selected = ctx.text.mid(ctx.selStart, ctx.selLength);
    const bool numberType = ctx.spinType == sptNormal || ctx.spinType == sptFloat;

    bool result = key == d || key == t || key == ts || key == ds || isNumberChar(key) || key == u'-';
    if (!result)
        result = code < 32 && code != 13;
    // A separator of another kind of value: only where it doubles as a number character.
    auto foreignSeparator = [&](QChar sep) {
        if (sep == d || sep == t || sep == u'-' || sep == u'+')
            result = result && numberType;
        else
            result = false;
    };
    if (key == ts && ctx.spinType != sptTime)
        foreignSeparator(ts);
    if (key == ds && ctx.spinType != sptDate)
        foreignSeparator(ds);
    if (key == u'-') {
        if (!ctx.text.contains(u'-'))
            result = result && ctx.selStart == 0;
        else
            result = result && selected.contains(u'-') && ctx.selStart == 0;
    }
    if (ctx.spinType == sptNormal)
        result = result && (isNumberChar(key) || key == u'-');
    if (ctx.spinType == sptFloat && code != 27 && code != 13) {
        if (key == t)
            result = false;
        if (key == d && ctx.text.contains(d) && !selected.contains(d))
            result = false;
        const int p = int(ctx.text.indexOf(d)) + 1; // 1-based, 0 = none
        if (ctx.precision > 0 && p > 0 && ctx.selStart >= p && ctx.selLength == 0 && result)
            result = ctx.text.size() < p + ctx.precision;
    }
    if (ctx.spinType == sptTime && key == ts) {
        QString rest = ctx.text;
        const qsizetype first = rest.indexOf(ts);
        if (first >= 0)
            rest.remove(first, 1);
        if (rest.contains(ts))
            result = false;
    }
    if (!ctx.editorEnabled && result)
        result = code < 32;
    return result;
}

bool SpinTextIsValue(const QString& text, TXgrSpinType type, const TFormatSettings& fs)
{
    if (platform::trim(text).isEmpty())
        return true;
    int i = 0;
    double f = 0;
    TDateTime d = 0;
    switch (type) {
    case sptNormal: return platform::TryStrToInt(platform::trim(text), i);
    case sptFloat: return platform::TryStrToFloat(text, f, fs);
    case sptDate: return platform::TryStrToDate(text, d, fs);
    case sptTime: return platform::TryStrToTime(text, d, fs);
    }
    return false;
}

namespace {

// Within the limits, unless they are equal (no limit).
template <typename T>
T clampToLimits(T value, T minValue, T maxValue)
{
    if (minValue == maxValue)
        return value;
    return value < minValue ? minValue : value > maxValue ? maxValue : value;
}

} // namespace

int SpinClampInt(int value, int minValue, int maxValue) { return clampToLimits(value, minValue, maxValue); }

double SpinClampFloat(double value, double minValue, double maxValue)
{
    if (minValue == maxValue)
        return value;
    if (value <= minValue)
        return minValue;
    if (value >= maxValue)
        return maxValue;
    return value;
}

TDateTime SpinClampDate(TDateTime value, TDateTime minValue, TDateTime maxValue)
{
    return clampToLimits(value, minValue, maxValue);
}

int SpinTextToInt(const QString& text, int minValue)
{
    const QString t = platform::trim(text);
    if (t.isEmpty())
        return 0;
    int v = 0;
    return platform::TryStrToInt(t, v) ? v : minValue;
}

double SpinTextToFloat(const QString& text, double minFloat, const TFormatSettings& fs)
{
    double v = 0;
    return platform::TryStrToFloat(text, v, fs) ? v : minFloat;
}

QString SpinFloatToText(double value, int precision, const TFormatSettings& fs)
{
    if (precision != 0)
        return platform::FloatToStrF(value, platform::ffFixed, 15, precision, fs);
    return platform::FloatToStr(value, fs);
}

TDateTime SpinStepDate(TDateTime date, const QString& text, int caret, bool up, const TFormatSettings& fs)
{
    const QString f = fs.ShortDateFormat.toUpper();
    const bool usDates = f.indexOf(u'M') < f.indexOf(u'D');
    const int p1 = int(text.indexOf(fs.DateSeparator)) + 1;
    const int p2 = p1 > 0 ? int(text.indexOf(fs.DateSeparator, p1)) + 1 : 0;
    const int field = caret < p1 ? 0 : caret < p2 ? 1 : 2;
    enum { Day, Month, Year };
    const int kinds[3] = {usDates ? Month : Day, usDates ? Day : Month, Year};
    const int sign = up ? 1 : -1;
    try {
        switch (kinds[field]) {
        case Day: {
            int y = 0, m = 0, d = 0;
            platform::DecodeDate(date + sign, y, m, d);
            return y > 0 ? date + sign : date;
        }
        case Month: return platform::IncMonth(date, sign);
        default: return platform::IncMonth(date, 12 * sign);
        }
    } catch (const platform::EConvertError&) {
        // A step beyond the first or the last day there is leaves the date where it is.
        return date;
    }
}

TDateTime SpinStepTime(TDateTime time, const QString& text, int caret, bool up, const TSpinTimeSteps& steps,
                       const TFormatSettings& fs)
{
    const int p1 = int(text.indexOf(fs.TimeSeparator)) + 1;
    const int p2 = int(text.indexOf(fs.TimeSeparator, p1 > 0 ? p1 : 0)) + 1;
    int h = 0, m = 0, s = 0;
    if (caret < p1)
        h = steps.hours;
    else if (steps.showSeconds && caret >= p2)
        s = steps.seconds;
    else
        m = steps.minutes;
    TDateTime step = 0;
    platform::TryEncodeTime(h, m, s, 0, step);
    if (up)
        return time + step;
    const TDateTime v = time + 1 - step;
    return v > 1 ? v - 1 : v;
}

// --- the unit editor -----------------------------------------------------------------------------

bool SplitTextAndUnit(const QString& value, const QStringList& units, QString& text, QString& unit)
{
    for (const QString& u : units) {
        const qsizetype first = value.indexOf(u);
        if (first >= 0 && first == value.size() - u.size()) {
            text = value.left(first);
            unit = value.mid(first);
            return true;
        }
    }
    return false;
}

// --- field advance ---------------------------------------------------------------------------------

TDateParts DatePartsOf(TDateTime value)
{
    TDateParts p;
    platform::DecodeDate(value, p.year, p.month, p.day);
    return p;
}

TTimeParts TimePartsOf(TDateTime value)
{
    TTimeParts p;
    int ms = 0;
    platform::DecodeTime(value, p.hour, p.minute, p.second, ms);
    return p;
}

namespace {

// The field the format's last letter names: 'd', 'm' or 'y' (0 for none).
char lastField(const QString& format)
{
    if (format.isEmpty())
        return 0;
    switch (format.back().toLower().unicode()) {
    case u'd': return 'd';
    case u'm': return 'm';
    case u'y': return 'y';
    default: return 0;
    }
}

} // namespace

namespace {

// Which date parts a typed digit changed, and whether one of them is the format's last field.
struct TDateChange {
    bool day, month, year, last;
    bool any() const { return day || month || year; }
};

TDateChange dateChange(const QString& format, const TDateParts& before, const TDateParts& now)
{
    TDateChange c{before.day != now.day, before.month != now.month, before.year != now.year, false};
    const char f = lastField(format);
    c.last = (c.day && f == 'd') || (c.month && f == 'm') || (c.year && f == 'y');
    return c;
}

} // namespace

TShiftAction DateTimePickerShift(const QString& format, const TDateParts& before, const TDateParts& now)
{
    const TDateChange c = dateChange(format, before, now);
    if (!format.isEmpty()) {
        if (c.last)
            return TShiftAction::TimeField;
        return c.any() ? TShiftAction::NextField : TShiftAction::None;
    }
    if (c.day || c.month)
        return TShiftAction::NextField;
    return c.year ? TShiftAction::TimeField : TShiftAction::None;
}

TShiftAction GridDatePickerShift(const QString& format, const TDateParts& before, const TDateParts& now)
{
    const TDateChange c = dateChange(format, before, now);
    if (format.isEmpty())
        return c.day || c.month ? TShiftAction::NextField : TShiftAction::None;
    if (c.last)
        return TShiftAction::None;
    return c.any() ? TShiftAction::NextField : TShiftAction::None;
}

TShiftAction TimePickerShift(const TTimeParts& before, const TTimeParts& now)
{
    return before == now ? TShiftAction::None : TShiftAction::NextField;
}

} // namespace controls::grid
