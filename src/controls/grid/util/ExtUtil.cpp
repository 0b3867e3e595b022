#include "controls/grid/util/ExtUtil.h"

#include "platform/core/Conversions.h"
#include "platform/core/Errors.h"
#include "platform/core/FormatSettings.h"
#include "platform/core/StringList.h"
#include "platform/grid/StringGrid.h"
#include "platform/text/Text.h"

#include <QByteArray>
#include <algorithm>
#include <cmath>

namespace controls::grid {

namespace {

constexpr QChar kCR(u'\r');
constexpr QChar kLF(u'\n');
constexpr QChar kVT(u'\x0b');

// 1-based position of sub in s, 0 when absent or sub is empty.
int pos1(const QString& sub, const QString& s, qsizetype from = 0)
{
    if (sub.isEmpty())
        return 0;
    return int(s.indexOf(sub, from, Qt::CaseSensitive)) + 1;
}

QString replaceAll(QString s, const QString& from, const QString& to)
{
    return s.replace(from, to, Qt::CaseSensitive);
}

} // namespace

QChar GetTimeSeparator() { return platform::FormatSettings().TimeSeparator; }
QChar GetDateSeparator() { return platform::FormatSettings().DateSeparator; }
QChar GetThousandSeparator() { return platform::FormatSettings().ThousandSeparator; }
QChar GetDecimalSeparator() { return platform::FormatSettings().DecimalSeparator; }
QString GetShortDateFormat() { return platform::FormatSettings().ShortDateFormat; }

int CharPos(QChar ch, const QString& s) { return int(s.indexOf(ch)) + 1; }

int VarCharPos(QChar ch, const QString& s, int& pos)
{
    const int p = CharPos(ch, s);
    if (p > 0)
        pos = p;
    return p;
}

int VarPos(const QString& sub, const QString& s, int& pos)
{
    pos = pos1(sub, s);
    return pos;
}

int WidePos(const QString& sub, const QString& s) { return pos1(sub, s); }

int PosInUpperCase(const QString& sub, const QString& s) { return pos1(sub, platform::upperAscii(s)); }

int CountChar(QChar ch, const QString& s) { return int(s.count(ch)); }

int IntMax(int a, int b) { return a > b ? a : b; }
int IntMin(int a, int b) { return a < b ? a : b; }

int ClampToLimits(int value, int minimum, int maximum)
{
    if (minimum == maximum)
        return value;
    int r = value;
    if (value < minimum && minimum > 0)
        r = minimum;
    if (value > maximum && maximum > 0)
        r = maximum;
    return r;
}

bool CellInGridRect(const platform::TGridRect& r, int col, int row)
{
    return col >= r.Left && col <= r.Right && row >= r.Top && row <= r.Bottom;
}

QString CutToken(QChar delimiter, QString& source)
{
    const qsizetype p = source.indexOf(delimiter);
    if (p < 0)
        return QString();
    QString token = source.left(p);
    source.remove(0, p + 1);
    return token;
}

QString ConcatStrings(const platform::TStringList& list)
{
    QString r;
    for (int i = 0; i < list.Count(); ++i)
        r += list.Strings(i);
    return r;
}

void FillWithChar(QString& s, QChar ch) { s.fill(ch); }

QString ExtractFirstLine(QString& s, bool keepRest)
{
    const qsizetype p = s.indexOf(kCR);
    if (p < 0) {
        QString all = s;
        s.clear();
        return all;
    }
    QString first = s.left(p);
    if (!keepRest) {
        s.clear();
        return first;
    }
    s.remove(0, p + 1);
    if (s.startsWith(kLF))
        s.remove(0, 1);
    return first;
}

std::vector<QStringView> SplitCellLines(const QString& s, bool multiLine)
{
    std::vector<QStringView> lines;
    const QStringView all(s);
    qsizetype start = 0;
    for (;;) {
        const qsizetype cr = s.indexOf(kCR, start);
        lines.push_back(all.mid(start, (cr < 0 ? s.size() : cr) - start));
        if (cr < 0 || !multiLine)
            return lines;
        start = cr + 1;
        if (start < s.size() && s[start] == kLF)
            ++start;
        if (start >= s.size())
            return lines;
    }
}

int CountLines(const QString& s, bool multiLine) { return multiLine ? 1 + int(s.count(kCR)) : 1; }

bool IsWordBreakChar(QChar c)
{
    return c == u' ' || c == u'\'' || c == u',' || c == u'-' || c == u'.';
}

bool IsDigitChar(QChar c) { return c.isNumber(); }
bool IsDigitOrMinus(QChar c) { return IsDigitChar(c) || c == u'-'; }

bool IsNumberChar(QChar c)
{
    return IsDigitChar(c) || c == GetThousandSeparator() || c == GetDecimalSeparator() || c == u'e' || c == u'E';
}

bool IsFloatTextChar(QChar c)
{
    return IsDigitChar(c) || c == u'-' || c == u'.' || c == u'e' || c == u'E' || c == u'+';
}

bool IsNumberOrSignChar(QChar c) { return IsNumberChar(c) || c == u'+' || c == u'-'; }

QString DoubleQuotes(const QString& s) { return replaceAll(s, QStringLiteral("\""), QStringLiteral("\"\"")); }

QString UndoubleChar(const QString& s, QChar c)
{
    if (!s.contains(c))
        return s;
    return replaceAll(s, QString(2, c), QString(c));
}

void QuoteMultiLine(QString& s)
{
    s.replace(QStringLiteral("\r\n"), QString(kVT));
    s = QLatin1Char('"') + s + QLatin1Char('"');
}

void RemoveCRBeforeLF(QString& s) { s.replace(QStringLiteral("\r\n"), QStringLiteral("\n")); }

void VTToCRLF(QString& s)
{
    if (s.contains(kVT))
        s.replace(kVT, QStringLiteral("\r\n"));
}

QString CRToTilde(const QString& s)
{
    QString r;
    r.reserve(s.size());
    for (QChar c : s) {
        if (c == kCR)
            r += u'~';
        else if (c != kLF)
            r += c;
    }
    return r;
}

QString TildeToCRLF(const QString& s)
{
    QString r = replaceAll(s, QStringLiteral("~"), QStringLiteral("\r\n"));
    if (r == QStringLiteral("^"))
        r.clear();
    return r;
}

QString RemoveCR(const QString& s)
{
    QString r = s;
    r.remove(kCR);
    return r;
}

QString CRToLF(const QString& s)
{
    QString r = s;
    r.replace(kCR, kLF);
    return r;
}

QString CRToBR(const QString& s)
{
    if (!s.contains(kCR))
        return s;
    return replaceAll(s, QString(kCR), QStringLiteral("<br>"));
}

QString EscapeNewLines(const QString& s)
{
    QString r;
    r.reserve(s.size());
    for (QChar c : s) {
        if (c == kCR)
            r += QStringLiteral("\\n");
        else if (c != kLF)
            r += c;
    }
    return r;
}

QString UnescapeNewLines(const QString& s) { return replaceAll(s, QStringLiteral("\\n"), QString(kCR)); }

QString EncodeCellLineBreaks(const QString& s)
{
    if (!s.contains(kCR))
        return s;
    QString r = s;
    for (QChar& c : r) {
        if (c == kCR)
            c = QChar(9);
        else if (c == kLF)
            c = QChar(8);
        else if (c == QChar(0))
            c = QChar(1);
    }
    return r;
}

QString DecodeCellLineBreaks(const QString& s, bool multiLine)
{
    if (!s.contains(QChar(8)))
        return s;
    QString r = s;
    for (QChar& c : r) {
        if (c == QChar(9))
            c = kCR;
        else if (c == QChar(8))
            c = kLF;
        else if (c == QChar(1))
            c = QChar(0);
    }
    if (multiLine)
        return r;
    return ExtractFirstLine(r, false);
}

int ClosingQuotePos(QChar quote, const QString& s, int& pos)
{
    int run = 0;
    const int n = int(s.size());
    for (int i = 1; i <= n; ++i) {
        if (s[i - 1] == quote) {
            ++run;
            if (i == n) {
                pos = i;
                return pos;
            }
        } else {
            if (run % 2 == 1) {
                pos = i - 1;
                return pos;
            }
            run = 0;
        }
    }
    pos = 0;
    return 0;
}

int CountClosingQuotes(QChar quote, const QString& s)
{
    int count = 0;
    QString t = s;
    int p = 0;
    while (ClosingQuotePos(quote, t, p) > 0) {
        ++count;
        t = t.mid(p);
    }
    return count;
}

void StringToOem(QString& s) { s = platform::decodeCp1252(platform::encodeCp850(s)); }

void OemToString(QString& s) { s = platform::decodeCp850(platform::encodeCp1252(s)); }

QString EncodeWideCellText(const QString& wide)
{
    QString r = QStringLiteral("|\\");
    r.reserve(2 + wide.size() * 2);
    for (QChar c : wide) {
        const ushort u = c.unicode();
        r += QChar(ushort(u >> 8));
        r += QChar(ushort(u & 0xFF));
    }
    return r;
}

QString DecodeWideCellText(const QString& text)
{
    if (!text.startsWith(QStringLiteral("|\\")))
        return text;
    QString r;
    r.reserve((text.size() - 2) / 2);
    for (qsizetype i = 2; i + 1 < text.size(); i += 2)
        r += QChar(ushort(((text[i].unicode() & 0xFF) << 8) | (text[i + 1].unicode() & 0xFF)));
    return r;
}

int GetTextKind(const QString& text, bool htmlEnabled)
{
    if (text.isEmpty())
        return 0;
    const QString t = text + QLatin1Char(' ');
    if (t[0] == u'=')
        return 3;
    if (t.startsWith(QStringLiteral("|\\"))) {
        if (t.size() > 4 && t[3] == u'=' && t[4] == QChar(0))
            return 3;
        return 5;
    }
    if (t.startsWith(QStringLiteral("{\\")))
        return 2;
    if (htmlEnabled
        && (t.contains(QStringLiteral("</")) || t.contains(QStringLiteral("<B")) || t.contains(QStringLiteral("<I"))
            || t.contains(QStringLiteral("<C"))))
        return 1;
    return 0;
}

int DetectNumberType(const QString& text)
{
    if (text.isEmpty())
        return 2;
    const QChar thousand = GetThousandSeparator();
    const QChar decimal = GetDecimalSeparator();
    bool isInt = true;
    bool isFloat = true;
    bool isSci = true;
    bool hasExp = false;
    int decimals = 0;
    int minuses = 0;
    int lastThousand = -1;
    const int n = int(text.size());
    for (int i = 1; i <= n; ++i) {
        const QChar c = text[i - 1];
        const bool isE = c == u'e' || c == u'E';
        if (!IsDigitOrMinus(c))
            isInt = false;
        if (isE) {
            if (hasExp)
                isSci = false;
            hasExp = true;
        }
        if (i > 1 && c == u'-') {
            isInt = false;
            isFloat = false;
        }
        if (i == 1 && isE)
            isSci = false;
        if (i == n && (isE || c == u'+' || c == u'-'))
            isSci = false;
        if (!IsDigitChar(c) && c != u'-' && c != thousand && c != decimal)
            isFloat = false;
        if (!IsNumberOrSignChar(c) || c == thousand)
            isSci = false;
        if (c == thousand) {
            if (lastThousand != -1 && i - lastThousand < 4)
                isFloat = false;
            lastThousand = i;
        }
        if (c == decimal)
            ++decimals;
        if (c == u'-')
            ++minuses;
    }
    int result = 2;
    if (isInt) {
        result = 0;
    } else {
        if (isFloat && !hasExp)
            result = 1;
        if (isSci && hasExp) {
            result = 5;
            if (minuses == 2)
                minuses = 1;
        }
    }
    if (minuses > 1 || decimals > 1)
        result = 2;
    return result;
}

QString CleanFloatText(const QString& text)
{
    if (text.isEmpty())
        return QString();
    QString s = platform::trim(text);
    // Accounting brackets: "(1,234.50)" and "(1,234.50) EUR" are negative.
    bool negative = s.startsWith(u'(') && s.indexOf(u')') > 0;
    while (s.size() >= 2 && !IsNumberChar(s[0])) {
        if (s[0] == u'-')
            negative = true;
        s.remove(0, 1);
    }
    const QChar thousand = GetThousandSeparator();
    const QChar decimal = GetDecimalSeparator();
    QString r;
    r.reserve(s.size() + 1);
    for (QChar c : s) {
        if (c == thousand)
            continue;
        if (c == decimal)
            r += u'.';
        else if (IsFloatTextChar(c))
            r += c;
        else
            break;
    }
    if (negative)
        r.prepend(u'-');
    return r;
}

bool IsURL(const QString& text)
{
    return text.contains(QStringLiteral("://")) || text.contains(QStringLiteral("mailto:"));
}

void StripURLProtocol(QString& text)
{
    qsizetype p = text.indexOf(QStringLiteral("://"));
    if (p >= 0) {
        text.remove(0, p + 3);
        return;
    }
    p = text.indexOf(QStringLiteral("mailto:"));
    if (p >= 0)
        text.remove(0, p + 7);
}

bool AddURLAnchor(const QString& text, const QString& prefix, QString& dest)
{
    if (prefix.isEmpty() || !platform::upperAscii(text).contains(prefix))
        return false;
    dest = text;
    dest.replace(u'<', QStringLiteral("&lt;"));
    dest.replace(u'>', QStringLiteral("&gt;"));
    const qsizetype start = platform::upperAscii(dest).indexOf(prefix);
    auto inUrl = [](QChar c) {
        const ushort u = c.unicode();
        if (u > 255)
            return false;
        if ((u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9'))
            return true;
        return QStringLiteral("%()-./:@\\_{}").contains(c);
    };
    qsizetype end = start;
    while (end < dest.size() && inUrl(dest[end]))
        ++end;
    const QString url = dest.mid(start, end - start);
    dest.insert(end, QStringLiteral("</a>"));
    dest.insert(start, QStringLiteral("<a href=\"") + url + QStringLiteral("\">"));
    return true;
}

bool LooksLikeDate(const QString& text)
{
    const QChar sep = GetDateSeparator();
    const qsizetype p1 = text.indexOf(sep);
    if (p1 < 1)
        return false;
    const qsizetype p2 = text.indexOf(sep, p1 + 1);
    return p2 > p1 + 1;
}

bool ParseRCReference(const QString& text, platform::TGridCoord& cell)
{
    const QString u = platform::upperAscii(text);
    if (u.size() <= 3 || !u.startsWith(u'R'))
        return false;
    const qsizetype c = u.indexOf(u'C', 1);
    if (c < 0)
        return false;
    int row = 0;
    int col = 0;
    if (!platform::TryStrToInt(u.mid(1, c - 1), row) || !platform::TryStrToInt(u.mid(c + 1), col))
        return false;
    cell.X = col;
    cell.Y = row;
    return true;
}

QString ColorToHTMLHex(Color c)
{
    return platform::intToHex(platform::redOf(c), 2) + platform::intToHex(platform::greenOf(c), 2)
           + platform::intToHex(platform::blueOf(c), 2);
}

void WrapCFHTML(QString& html)
{
    const QString docType =
        QStringLiteral("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">\r\n");
    const QString head = QStringLiteral(
        "<html><head><META http-equiv=Content-Type content=\"text/html; charset=utf-8\"></head><body><!--StartFragment-->");
    const QString tail = QStringLiteral("<!--EndFragment--></body></html>");
    auto number = [](qsizetype v) { return QStringLiteral("%1").arg(v, 8, 10, QLatin1Char('0')); };
    // Every header line has a fixed length, since the numbers are written with eight digits.
    const qsizetype headerBytes = QStringLiteral("Version:1.0\r\n").size() + QStringLiteral("StartHTML:\r\n").size()
                                  + QStringLiteral("EndHTML:\r\n").size() + QStringLiteral("StartFragment:\r\n").size()
                                  + QStringLiteral("EndFragment:\r\n").size() + 4 * 8;
    const qsizetype fragmentBytes = html.toUtf8().size();
    const qsizetype startFragment = headerBytes + docType.size() + head.size();
    const qsizetype endFragment = startFragment + fragmentBytes;
    const qsizetype endHtml = endFragment + tail.size();
    html = QStringLiteral("Version:1.0\r\n") + QStringLiteral("StartHTML:") + number(headerBytes) + QStringLiteral("\r\n")
           + QStringLiteral("EndHTML:") + number(endHtml) + QStringLiteral("\r\n") + QStringLiteral("StartFragment:")
           + number(startFragment) + QStringLiteral("\r\n") + QStringLiteral("EndFragment:") + number(endFragment)
           + QStringLiteral("\r\n") + docType + head + html + tail;
}

Color HalveColor(Color c)
{
    const Color v = platform::colorToRgb(c);
    return platform::rgb(platform::redOf(v) / 2, platform::greenOf(v) / 2, platform::blueOf(v) / 2);
}

Color AdjustColorBrightness(Color c, int percent)
{
    const Color v = platform::colorToRgb(c);
    auto adjust = [percent](int ch) {
        const long r = std::lround(ch + ch * percent / 100.0);
        return int(std::clamp<long>(r, 0, 255));
    };
    return platform::rgb(adjust(platform::redOf(v)), adjust(platform::greenOf(v)), adjust(platform::blueOf(v)));
}

namespace {

// Fields of a sorting date; false when one is not a whole number.
bool dateFields(const QString& text, int& a, int& b, int& c)
{
    QChar sep;
    if (text.contains(u'/'))
        sep = u'/';
    else if (text.contains(u'.'))
        sep = u'.';
    else if (text.contains(u'-'))
        sep = u'-';
    else
        return false;
    QString rest = text;
    const QString f1 = CutToken(sep, rest);
    QString f2 = rest;
    QString f3;
    const qsizetype p = rest.indexOf(sep);
    if (p >= 0) {
        f2 = rest.left(p);
        f3 = rest.mid(p + 1);
    }
    return platform::TryStrToInt(f1, a) && platform::TryStrToInt(f2, b) && platform::TryStrToInt(f3, c);
}

int sortingYear(int value)
{
    const int y = int(quint16(value));
    return y <= 25 ? y + 2000 : y + 1900;
}

} // namespace

TDateTime ParseMDYDate(const QString& text)
{
    int m = 0, d = 0, y = 0;
    if (!dateFields(text, m, d, y))
        return 0;
    return platform::EncodeDate(sortingYear(y), m, d);
}

TDateTime ParseDMYDate(const QString& text)
{
    int d = 0, m = 0, y = 0;
    if (!dateFields(text, d, m, y))
        return 0;
    return platform::EncodeDate(sortingYear(y), m, d);
}

TDateTime AdvanceDate(int yearStep, int monthStep, unsigned dayStep, TDateTime date, double step)
{
    int y = 0, m = 0, d = 0;
    platform::DecodeDate(date, y, m, d);
    if (yearStep == 0 && monthStep == 0 && dayStep != 0)
        return date + dayStep;
    if (yearStep != 0 && monthStep == 0 && dayStep == 0)
        return platform::EncodeDate(y + yearStep, m, d);
    if (monthStep != 0 && yearStep == 0 && dayStep == 0) {
        m += monthStep;
        if (m == 0) {
            m = 12;
            --y;
        } else if (m > 12) {
            m -= 12;
            ++y;
        }
        return platform::EncodeDate(y, m, d);
    }
    return date + step;
}

QString ProperCase(const QString& text)
{
    const int n = int(text.size());
    QString r;
    r.reserve(n);
    bool capital = true;
    int firstMc = -1; // 1-based end of the first " Mc" of the result
    for (int i = 1; i <= n; ++i) {
        const QChar c = text[i - 1];
        if (IsWordBreakChar(c)) {
            capital = true;
            r += c;
        } else if (capital) {
            r += c.toUpper();
            capital = false;
        } else {
            r += c.toLower();
        }
        if (firstMc < 0 && i >= 3 && r.endsWith(QStringLiteral(" Mc")))
            firstMc = i;
        if (i == 2 && r == QStringLiteral("Mc"))
            capital = true;
        else if (i > 2 && firstMc == i)
            capital = true;
        else if (i >= n - 2 && (r.endsWith(QStringLiteral(" I")) || r.endsWith(QStringLiteral(" II"))))
            capital = true;
    }
    return r;
}

} // namespace controls::grid
