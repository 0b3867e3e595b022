#include "controls/grid/dropdown/rules/TimeText.h"

#include "platform/text/Text.h"

namespace controls::grid::dropdown {

QString TwoDigits(int value)
{
    QString s = QString::number(value);
    if (s.isEmpty())
        return QStringLiteral("00");
    if (s.length() == 1)
        s.prepend(u'0');
    return s;
}

QString FormatTimeText(int hour, int minute, int second, bool showSeconds, QChar separator)
{
    QString s = TwoDigits(hour) + separator + TwoDigits(minute);
    if (showSeconds)
        s += separator + TwoDigits(second);
    return s;
}

QString TimeEditMask(bool showSeconds, QChar separator)
{
    QString mask = QStringLiteral("!90") + separator + QStringLiteral("00");
    if (showSeconds)
        mask += separator + QStringLiteral("00");
    return mask + QStringLiteral(";1; ");
}

namespace {

// The first and the second character, where there are, are digits; an empty part reads as 0.
bool IsTwoDigitText(const QString& s)
{
    for (int i = 0; i < std::min<int>(2, s.length()); ++i)
        if (!(s.at(i) >= u'0' && s.at(i) <= u'9'))
            return false;
    return true;
}

int FieldValue(const QString& s)
{
    int v = 0;
    for (QChar c : s)
        v = v * 10 + (c.unicode() - u'0');
    return v;
}

} // namespace

std::optional<TTimeFields> ParseTimeText(const QString& text, bool showSeconds, QChar sep)
{
    QString t = platform::trim(text);
    if (t.length() != (showSeconds ? 8 : 5))
        return std::nullopt;
    const int first = t.indexOf(sep);
    if (first < 0)
        return std::nullopt;
    const QString afterFirst = platform::trim(t.mid(first + 1));
    const int second = afterFirst.indexOf(sep);
    if ((second >= 0) != showSeconds)
        return std::nullopt;
    if (showSeconds && platform::trim(afterFirst.mid(second + 1)).contains(sep))
        return std::nullopt;
    t.replace(u' ', u'0');
    const int p1 = t.indexOf(sep);
    const QString hour = platform::trim(t.left(p1));
    QString rest = t.mid(p1 + 1);
    QString minute = rest;
    QString secondText;
    if (showSeconds) {
        const int p2 = rest.indexOf(sep);
        minute = rest.left(p2);
        secondText = platform::trim(rest.mid(p2 + 1));
    }
    minute = platform::trim(minute);
    if (!IsTwoDigitText(hour) || !IsTwoDigitText(minute) || (showSeconds && !IsTwoDigitText(secondText)))
        return std::nullopt;
    if (hour.length() > 2 || minute.length() > 2 || secondText.length() > 2)
        return std::nullopt;
    return TTimeFields{FieldValue(hour), FieldValue(minute), showSeconds ? FieldValue(secondText) : 0};
}

TTimeField TimeFieldAt(const QString& text, int caret, bool showSeconds, QChar sep)
{
    const int p1 = text.indexOf(sep) + 1;
    if (caret < p1)
        return tfHour;
    const QString rest = text.mid(p1);
    const int p2 = rest.indexOf(sep) + 1;
    if (caret - p1 >= p2 && p2 > 0 && showSeconds)
        return tfSecond;
    return tfMinute;
}

} // namespace controls::grid::dropdown
