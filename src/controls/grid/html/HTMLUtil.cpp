#include "controls/grid/html/HTMLUtil.h"

#include "platform/core/Conversions.h"
#include "platform/text/Text.h"

#include <climits>
#include <cstring>
#include <utility>

namespace controls::grid {

namespace {

struct Entity {
    char16_t ch;
    const char* name;
};

// The accented letters and signs of the Western code page and their names, in the order they
// are tried.
constexpr Entity kEntities[] = {
    {u'\u00E9', "&eacute;"}, {u'\u00E8', "&egrave;"}, {u'\u00EB', "&euml;"},   {u'\u00EA', "&ecirc;"},
    {u'\u00F3', "&oacute;"}, {u'\u00F2', "&ograve;"}, {u'\u00F6', "&ouml;"},   {u'\u00F4', "&ocirc;"},
    {u'\u00ED', "&iacute;"}, {u'\u00EC', "&igrave;"}, {u'\u00EF', "&iuml;"},   {u'\u00EE', "&icirc;"},
    {u'\u00FA', "&uacute;"}, {u'\u00F9', "&ugrave;"}, {u'\u00FC', "&uuml;"},   {u'\u00FB', "&ucirc;"},
    {u'\u00E1', "&aacute;"}, {u'\u00E0', "&agrave;"}, {u'\u00E4', "&auml;"},   {u'\u00E2', "&acirc;"},
    {u'\u00C9', "&Eacute;"}, {u'\u00C8', "&Egrave;"}, {u'\u00CB', "&Euml;"},   {u'\u00CA', "&Ecirc;"},
    {u'\u00D3', "&Oacute;"}, {u'\u00D2', "&Ograve;"}, {u'\u00D6', "&Ouml;"},   {u'\u00D4', "&Ocirc;"},
    {u'\u00CD', "&Iacute;"}, {u'\u00CC', "&Igrave;"}, {u'\u00CF', "&Iuml;"},   {u'\u00CE', "&Icirc;"},
    {u'\u00DA', "&Uacute;"}, {u'\u00D9', "&Ugrave;"}, {u'\u00DC', "&Uuml;"},   {u'\u00DB', "&Ucirc;"},
    {u'\u00C1', "&Aacute;"}, {u'\u00C0', "&Agrave;"}, {u'\u00C4', "&Auml;"},   {u'\u00C2', "&Acirc;"},
    {u'\u00E7', "&ccedil;"}, {u'\u00C7', "&Ccedil;"}, {u'\u00F8', "&oslash;"}, {u'\u00D8', "&Oslash;"},
    {u'\u00E5', "&aring;"},  {u'\u00C5', "&Aring;"},  {u'\u00A9', "&copy;"},   {u'\u00AE', "&reg;"},
    {u'\u20AC', "&euro;"},   {u'\u00AB', "&laquo;"},  {u'\u00BB', "&raquo;"},  {u'\u00E3', "&atilde;"},
    {u'\u00C3', "&Atilde;"}, {u'\u00F5', "&otilde;"}, {u'\u00D5', "&Otilde;"},
};
static_assert(std::size(kEntities) == 55);

QString upper(const QString& s) { return platform::upperAscii(s); }

// The tags "<CONTROL ...>": start (index of "<") and end (index of ">") in the text.
struct TagSpan {
    qsizetype lt;
    qsizetype gt;
    QString tag; // between "<" and ">"
};

std::vector<TagSpan> controlTags(const QString& text)
{
    std::vector<TagSpan> tags;
    const QString u = upper(text);
    qsizetype from = 0;
    for (;;) {
        const qsizetype lt = u.indexOf(QStringLiteral("<CONTROL "), from);
        if (lt < 0)
            break;
        const qsizetype gt = text.indexOf(u'>', lt);
        if (gt < 0)
            break;
        tags.push_back({lt, gt, text.mid(lt + 1, gt - lt - 1)});
        from = gt + 1;
    }
    return tags;
}

QString attribute(const QString& tag, const char* name)
{
    const QString u = upper(tag);
    const qsizetype p = u.indexOf(QLatin1String(name) + QLatin1Char('='));
    if (p < 0)
        return QString();
    const qsizetype q1 = tag.indexOf(u'"', p + 1);
    if (q1 < 0)
        return QString();
    const qsizetype q2 = tag.indexOf(u'"', q1 + 1);
    if (q2 < 0)
        return QString();
    return tag.mid(q1 + 1, q2 - q1 - 1);
}

} // namespace

QString DecodeHTMLEntities(const QString& text, bool full)
{
    // One pass: the text an entity stands for is never read again, so "&amp;lt;" is "&lt;".
    static const std::pair<const char*, char16_t> kBasic[] = {
        {"&lt;", u'<'}, {"&gt;", u'>'}, {"&amp;", u'&'}, {"&quot;", u'"'}};
    QString s;
    s.reserve(text.size());
    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype amp = text.indexOf(u'&', i);
        if (amp < 0) {
            s += QStringView(text).mid(i);
            break;
        }
        s += QStringView(text).mid(i, amp - i);
        const QStringView rest = QStringView(text).mid(amp);
        qsizetype used = 0;
        for (const auto& [name, ch] : kBasic) {
            if (rest.startsWith(QLatin1String(name))) {
                s += QChar(ch);
                used = qsizetype(strlen(name));
                break;
            }
        }
        if (used == 0 && full) {
            for (const Entity& e : kEntities) {
                if (rest.startsWith(QLatin1String(e.name))) {
                    s += QChar(e.ch);
                    used = qsizetype(strlen(e.name));
                    break;
                }
            }
        }
        if (used == 0) {
            s += u'&';
            used = 1;
        }
        i = amp + used;
    }
    return s;
}

QString EncodeHTMLEntities(const QString& text, bool full)
{
    QString s;
    s.reserve(text.size() + text.size() / 8);
    for (QChar c : text) {
        switch (c.unicode()) {
        case u'&':
            s += QStringLiteral("&amp;");
            break;
        case u'"':
            s += QStringLiteral("&quot;");
            break;
        case u'<':
            s += QStringLiteral("&lt;");
            break;
        case u'>':
            s += QStringLiteral("&gt;");
            break;
        default: {
            bool coded = false;
            if (full) {
                for (const Entity& e : kEntities) {
                    if (e.ch == c.unicode()) {
                        s += QLatin1String(e.name);
                        coded = true;
                        break;
                    }
                }
            }
            if (!coded)
                s += c;
        }
        }
    }
    return s;
}

QString SpacesToNbsp(const QString& text)
{
    QString s = text;
    return s.replace(u' ', QStringLiteral("&nbsp;"));
}

QString StripHTMLTags(const QString& text)
{
    QString s = text;
    s.replace(QStringLiteral("<BR>"), QStringLiteral("\r\n"), Qt::CaseInsensitive);
    s.replace(QStringLiteral("<HR>"), QStringLiteral("\r\n"), Qt::CaseInsensitive);
    QString r;
    r.reserve(s.size());
    qsizetype i = 0;
    while (i < s.size()) {
        const qsizetype lt = s.indexOf(u'<', i);
        if (lt < 0) {
            r += QStringView(s).mid(i);
            break;
        }
        const qsizetype gt = s.indexOf(u'>', lt);
        if (gt < 0) {
            r += QStringView(s).mid(i);
            break;
        }
        r += QStringView(s).mid(i, lt - i);
        i = gt + 1;
    }
    return r;
}

QString LineBreaksToBR(const QString& text, bool convert)
{
    QString s = text;
    if (convert)
        s.replace(u'\r', QStringLiteral("<BR>"));
    else
        s.remove(u'\r');
    s.remove(u'\n');
    return s;
}

QString UnwrapHashTags(const QString& text)
{
    QString s = text;
    qsizetype p = 0;
    while ((p = s.indexOf(QStringLiteral("<#"), p)) >= 0) {
        s.remove(p, 1);
        const qsizetype gt = s.indexOf(u'>', p);
        if (gt >= 0)
            s.remove(gt, 1);
    }
    return s;
}

QString PasswordMask(const QString& text) { return QString(text.size(), u'*'); }

Color HTMLColorNameToColor(const QString& name)
{
    static const std::pair<const char*, Color> kNames[] = {
        {"clred", 0x0000FF},   {"clblack", 0x000000}, {"clblue", 0xFF0000},    {"clgreen", 0x008000},
        {"claqua", 0xFFFF00},  {"clyellow", 0x00FFFF}, {"clfuchsia", 0xFF00FF}, {"clwhite", 0xFFFFFF},
        {"cllime", 0x00FF00},  {"clsilver", 0xC0C0C0}, {"clgray", 0x808080},    {"clolive", 0x008080},
        {"clnavy", 0x800000},  {"clpurple", 0x800080}, {"clteal", 0x808000},    {"clmaroon", 0x000080},
        {"clbackground", platform::systemColor(1)}, {"clactivecaption", platform::systemColor(2)},
        {"clinactivecaption", platform::systemColor(3)}, {"clmenu", platform::systemColor(4)},
        {"clwindow", platform::systemColor(5)}, {"clwindowframe", platform::systemColor(6)},
        {"clmenutext", platform::systemColor(7)}, {"clwindowtext", platform::systemColor(8)},
        {"clcaptiontext", platform::systemColor(9)}, {"clactiveborder", platform::systemColor(10)},
        {"clinactiveborder", platform::systemColor(11)}, {"clappworkspace", platform::systemColor(12)},
        {"clhighlight", platform::systemColor(13)}, {"clhighlighttext", platform::systemColor(14)},
        {"clbtnface", platform::systemColor(15)}, {"clbtnshadow", platform::systemColor(16)},
        {"clgraytext", platform::systemColor(17)}, {"clbtntext", platform::systemColor(18)},
        {"clinactivecaptiontext", platform::systemColor(19)}, {"clbtnhighlight", platform::systemColor(20)},
        {"cl3ddkshadow", platform::systemColor(21)}, {"cl3dlight", platform::systemColor(22)},
        {"clinfotext", platform::systemColor(23)}, {"clinfobk", platform::systemColor(24)},
    };
    for (const auto& [n, c] : kNames)
        if (name == QLatin1String(n))
            return c;
    return 0;
}

int HexPairToByte(const QString& pair)
{
    if (pair.size() < 2)
        return 0;
    // Any character that is not a hex digit counts as 0, so the result is always a byte.
    auto value = [](QChar c) {
        const char16_t u = c.unicode();
        if (u >= u'0' && u <= u'9')
            return int(u - u'0');
        if (u >= u'A' && u <= u'F')
            return int(u - u'A') + 10;
        if (u >= u'a' && u <= u'f')
            return int(u - u'a') + 10;
        return 0;
    };
    return 16 * value(pair[0]) + value(pair[1]);
}

Color HTMLHexColorToColor(const QString& text)
{
    const Color r = Color(HexPairToByte(text.mid(1, 2)));
    const Color g = Color(HexPairToByte(text.mid(3, 2)));
    const Color b = Color(HexPairToByte(text.mid(5, 2)));
    return r | g << 8 | b << 16;
}

QString VisibleHTMLText(const QString& text)
{
    QString r;
    r.reserve(text.size());
    qsizetype i = 0;
    for (;;) {
        const qsizetype lt = text.indexOf(u'<', i);
        const qsizetype gt = text.indexOf(u'>', i);
        if (lt < 0 || gt < 0 || gt < lt) {
            r += QStringView(text).mid(i);
            break;
        }
        r += QStringView(text).mid(i, lt - i);
        i = gt + 1;
    }
    return r;
}

int VisibleToRawIndex(const QString& text, int visiblePos)
{
    int counter = 1;
    bool inTag = false;
    const int n = int(text.size());
    for (int i = 1; i <= n; ++i) {
        if (counter == visiblePos)
            return i;
        const QChar c = text[i - 1];
        if (c == u'<')
            inTag = true;
        if (!inTag)
            ++counter;
        else if (c == u'>')
            inTag = false;
    }
    return counter == visiblePos ? n + 1 : 0;
}

namespace {

// Raw position of the visible character number visiblePos (tags skipped); 0 when there is none.
int rawPosOfVisibleChar(const QString& text, int visiblePos)
{
    int counter = 0;
    bool inTag = false;
    for (int i = 1; i <= int(text.size()); ++i) {
        const QChar c = text[i - 1];
        if (c == u'<')
            inTag = true;
        if (!inTag) {
            if (++counter == visiblePos)
                return i;
        } else if (c == u'>') {
            inTag = false;
        }
    }
    return 0;
}

} // namespace

int PosFrom(const QString& search, const QString& text, int from, int& pos, bool caseSensitive)
{
    pos = 0;
    if (search.isEmpty() || from < 0 || from > text.size())
        return 0;
    const QString rest = text.mid(from);
    qsizetype p;
    if (caseSensitive)
        p = rest.indexOf(search);
    else
        p = platform::AnsiUpperCase(rest).indexOf(platform::AnsiUpperCase(search));
    if (p < 0)
        return 0;
    pos = from + int(p) + 1;
    return pos;
}

void AddHighlightTags(const QString& text, const QString& search, const QString& tag, QString& result,
                      bool caseSensitive)
{
    QString raw = text;
    QString find = search;
    QString visible = VisibleHTMLText(raw);
    if (!find.isEmpty() && raw.contains(find) && (visible.contains(u'<') || visible.contains(u'>'))) {
        visible.replace(u'<', QStringLiteral("&lt;"));
        visible.replace(u'>', QStringLiteral("&gt;"));
        raw = visible;
        find.replace(u'<', QStringLiteral("&lt;"));
        find.replace(u'>', QStringLiteral("&gt;"));
    }
    if (find.isEmpty()) {
        result = raw;
        return;
    }
    const QString open = QLatin1Char('<') + tag + QLatin1Char('>');
    const QString close = QStringLiteral("</") + tag + QLatin1Char('>');
    int from = 0;
    int p = 0;
    while (PosFrom(find, visible, from, p, caseSensitive) > 0) {
        const int len = int(find.size());
        // The opening tag goes right before the first matched character (after any tag in
        // front of it, so that a match right after another one does not open inside the
        // other's closing tag); the closing tag right after the last matched character.
        const int start = rawPosOfVisibleChar(raw, p);
        if (start > 0)
            raw.insert(start - 1, open);
        const int end = VisibleToRawIndex(raw, p + len);
        if (end > 0)
            raw.insert(end - 1, close);
        from = p - 1 + len;
    }
    result = raw;
}

QString RemoveHighlightTags(const QString& text, const QString& tag)
{
    QString s = text;
    s.remove(QLatin1Char('<') + tag + QLatin1Char('>'), Qt::CaseInsensitive);
    s.remove(QStringLiteral("</") + tag + QLatin1Char('>'), Qt::CaseInsensitive);
    s.replace(QStringLiteral("&lt;"), QStringLiteral("<"));
    s.replace(QStringLiteral("&gt;"), QStringLiteral(">"));
    return s;
}

TControlTag ParseControlTag(const QString& tag)
{
    TControlTag t;
    t.Type = upper(attribute(tag, "TYPE"));
    t.ID = attribute(tag, "ID");
    t.Value = DecodeHTMLEntities(attribute(tag, "VALUE"), true);
    t.Width = attribute(tag, "WIDTH");
    t.Height = attribute(tag, "HEIGHT");
    t.Prop = DecodeHTMLEntities(attribute(tag, "PROP"), true);
    t.MaxLen = attribute(tag, "MAXLEN");
    return t;
}

bool HasControlTag(const QString& text) { return upper(text).contains(QStringLiteral("<CONTROL")); }

QString GetNextControlID(const QString& text, const QString& currentID)
{
    bool passed = currentID.isEmpty();
    for (const TagSpan& span : controlTags(text)) {
        const TControlTag t = ParseControlTag(span.tag);
        if (!passed) {
            passed = t.ID == currentID;
            continue;
        }
        if (t.Type != QStringLiteral("BUTTON") && t.Type != QStringLiteral("CHECK") && t.Type != QStringLiteral("RADIO"))
            return t.ID;
    }
    return QString();
}

bool GetControlValue(const QString& text, const QString& id, QString& value)
{
    for (const TagSpan& span : controlTags(text)) {
        const TControlTag t = ParseControlTag(span.tag);
        if (t.ID == id) {
            value = t.Value;
            return true;
        }
    }
    return false;
}

QString GetControlProp(const QString& text, const QString& id)
{
    for (const TagSpan& span : controlTags(text)) {
        const TControlTag t = ParseControlTag(span.tag);
        if (t.ID == id)
            return t.Prop;
    }
    return QString();
}

int GetControlMaxLen(const QString& text, const QString& id)
{
    for (const TagSpan& span : controlTags(text)) {
        const TControlTag t = ParseControlTag(span.tag);
        if (t.ID == id)
            return IntValue(t.MaxLen);
    }
    return 0;
}

bool SetControlValue(QString& text, const QString& id, const QString& value)
{
    auto quoted = [](const QString& v) { return QLatin1Char('"') + v + QLatin1Char('"'); };
    for (const TagSpan& span : controlTags(text)) {
        const TControlTag t = ParseControlTag(span.tag);
        if (t.ID != id)
            continue;
        QString tag = QStringLiteral("CONTROL ID=") + quoted(t.ID) + QStringLiteral(" VALUE=")
                      + quoted(EncodeHTMLEntities(value, true)) + QStringLiteral(" WIDTH=") + quoted(t.Width)
                      + QStringLiteral(" TYPE=") + quoted(t.Type);
        if (!t.Prop.isEmpty())
            tag += QStringLiteral(" PROP=") + quoted(EncodeHTMLEntities(t.Prop, true));
        if (!t.MaxLen.isEmpty())
            tag += QStringLiteral(" MAXLEN=") + quoted(t.MaxLen);
        tag += QLatin1Char('>');
        text = text.left(span.lt + 1) + tag + text.mid(span.gt + 1);
        return true;
    }
    return false;
}

QString ClearRadioControls(const QString& text)
{
    QString s = text;
    for (const TagSpan& span : controlTags(text)) {
        const TControlTag t = ParseControlTag(span.tag);
        if (t.Type == QStringLiteral("RADIO"))
            SetControlValue(s, t.ID, QStringLiteral("FALSE"));
    }
    return s;
}

int HTMLVarPos(const QString& sub, const QString& s, int& pos)
{
    pos = sub.isEmpty() ? 0 : int(s.indexOf(sub)) + 1;
    return pos;
}

int PosNoCase(const QString& sub, const QString& s)
{
    if (sub.isEmpty())
        return 0;
    return int(upper(s).indexOf(upper(sub))) + 1;
}

int VarPosUpper(const QString& sub, const QString& s, int& pos)
{
    pos = sub.isEmpty() ? 0 : int(upper(s).indexOf(sub)) + 1;
    return pos;
}

bool ReplaceFirstNoCase(QString& s, const QString& sub, const QString& with)
{
    const int p = PosNoCase(sub, s);
    if (p == 0)
        return false;
    s.replace(p - 1, sub.size(), with);
    return true;
}

int IntValue(const QString& s)
{
    qsizetype i = 0;
    while (i < s.size() && s[i] == u' ')
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == u'-' || s[i] == u'+')) {
        negative = s[i] == u'-';
        ++i;
    }
    long long v = 0;
    bool any = false;
    while (i < s.size() && s[i] >= u'0' && s[i] <= u'9') {
        any = true;
        if (v <= INT_MAX)
            v = v * 10 + (s[i].unicode() - u'0');
        ++i;
    }
    if (!any)
        return 0;
    if (v > INT_MAX)
        v = negative ? -(long long)INT_MAX - 1 : INT_MAX;
    else if (negative)
        v = -v;
    return int(v);
}

} // namespace controls::grid
