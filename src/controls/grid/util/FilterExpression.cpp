// The filter-expression matcher. An expression is read once into groups of conditions; a
// condition into its comparison part (">", "<", "!" with their operands) and its wildcard part
// (the segments between runs of "*"). Matching a value walks the first segment and, at a "*",
// asks whether any tail of the rest of the value matches the rest of the condition - read as a
// condition of its own, comparisons included. Those answers are computed for every tail at once,
// segment by segment from the last, so the cost is (condition length) x (value length).
#include "controls/grid/util/FilterExpression.h"

#include "platform/core/Conversions.h"
#include "platform/core/FormatSettings.h"
#include "platform/text/Text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <limits>
#include <optional>
#include <string>

namespace controls::grid {

namespace {

constexpr int kMaxOperand = 255;

QChar dq() { return QLatin1Char('"'); }

// --- numbers and dates ---------------------------------------------------------------------------

// A decimal floating-point literal as a whole, the locale's separators taken into account.
std::optional<double> decimalLiteral(QStringView t)
{
    const QChar dec = platform::FormatSettings().DecimalSeparator;
    const QChar thousand = platform::FormatSettings().ThousandSeparator;
    if (dec == u'.' && !t.contains(thousand)) {
        double v = 0;
        return TryDecimalLiteral(t, v) ? std::optional<double>(v) : std::nullopt;
    }
    QString s;
    s.reserve(t.size());
    for (QChar c : t) {
        if (c == dec)
            s += u'.';
        else if (c != thousand)
            s += c;
    }
    double v = 0;
    return TryDecimalLiteral(s, v) ? std::optional<double>(v) : std::nullopt;
}

std::optional<int> wholeInt(QStringView t)
{
    const auto v = platform::toInt(t.toString());
    return v ? std::optional<int>(*v) : std::nullopt;
}

bool parseShortDateTime(QStringView text, platform::TDateTime& dt)
{
    const platform::TFormatSettings& fs = platform::FormatSettings();
    const QString fmt = platform::upperAscii(fs.ShortDateFormat);
    // The order of the day, month and year fields.
    std::array<std::pair<qsizetype, char>, 3> order{{{fmt.indexOf(u'D'), 'D'}, {fmt.indexOf(u'M'), 'M'},
                                                      {fmt.indexOf(u'Y'), 'Y'}}};
    for (auto& o : order)
        if (o.first < 0)
            o.first = 1 << 20;
    std::stable_sort(order.begin(), order.end(), [](auto a, auto b) { return a.first < b.first; });
    const QChar sep = fs.DateSeparator;
    const qsizetype p1 = text.indexOf(sep);
    if (p1 < 0)
        return false;
    const qsizetype p2 = text.indexOf(sep, p1 + 1);
    if (p2 < 0)
        return false;
    QStringView rest = text.mid(p2 + 1).trimmed();
    QStringView timePart;
    bool hasTime = false;
    if (const qsizetype sp = rest.indexOf(u' '); sp >= 0) {
        timePart = rest.mid(sp + 1);
        rest = rest.left(sp);
        hasTime = true;
    }
    const std::array<QStringView, 3> fields{text.left(p1), text.mid(p1 + 1, p2 - p1 - 1), rest};
    int d = 0, m = 0, y = 0;
    for (size_t i = 0; i < 3; ++i) {
        const auto v = wholeInt(fields[i]);
        if (!v)
            return false;
        (order[i].second == 'D' ? d : order[i].second == 'M' ? m : y) = *v;
    }
    if (d > 31 || m > 12)
        return false;
    platform::TDateTime date = 0;
    if (!platform::TryEncodeDate(y, m, d, date))
        return false;
    dt = date;
    if (!hasTime)
        return true;
    const QChar ts = fs.TimeSeparator;
    const qsizetype t1 = timePart.indexOf(ts);
    if (t1 < 0)
        return false;
    const auto hour = wholeInt(timePart.left(t1));
    QStringView remainder = timePart.mid(t1 + 1);
    std::optional<int> minutes, seconds = 0;
    if (const qsizetype t2 = remainder.indexOf(ts); t2 >= 0) {
        minutes = wholeInt(remainder.left(t2));
        seconds = wholeInt(remainder.mid(t2 + 1));
    } else {
        minutes = wholeInt(remainder);
    }
    if (!hour || !minutes || !seconds || *hour > 23 || *minutes > 59 || *seconds > 60)
        return false;
    platform::TDateTime time = 0;
    if (!platform::TryEncodeTime(*hour, *minutes, *seconds, 0, time))
        return false;
    dt = date + time;
    return true;
}

// How a text compares: as a number, as a date or as text.
struct Classified {
    bool isNumber = false;
    bool isDate = false;
    double number = 0;
    platform::TDateTime date = 0;
};

Classified classify(QStringView t)
{
    Classified c;
    platform::TDateTime dt = 0;
    c.isDate = parseShortDateTime(t, dt);
    c.date = dt;
    if (!c.isDate)
        if (const auto v = decimalLiteral(t)) {
            c.isNumber = true;
            c.number = *v;
        }
    return c;
}

int sign(double a, double b) { return a < b ? -1 : (a > b ? 1 : 0); }

int compareClassified(const Classified& a, QStringView aText, const Classified& b, QStringView bText)
{
    if (a.isNumber && b.isNumber)
        return sign(a.number, b.number);
    if (a.isDate && b.isDate)
        return sign(a.date, b.date);
    const int r = aText.left(kMaxOperand).compare(bText.left(kMaxOperand), Qt::CaseSensitive);
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

} // namespace

bool TryDecimalLiteral(QStringView t, double& value)
{
    // Only ASCII can be part of the literal: it is read as Latin-1 bytes.
    const qsizetype n = t.size();
    qsizetype i = 0;
    while (i < n && t[i] == u' ')
        ++i;
    std::string plain;
    plain.reserve(size_t(n - i) + 1);
    if (i < n && (t[i] == u'+' || t[i] == u'-')) {
        if (t[i] == u'-')
            plain += '-';
        ++i;
    }
    auto digit = [&](qsizetype k) { return k < n && t[k] >= u'0' && t[k] <= u'9'; };
    size_t digits = 0;
    while (digit(i))
        plain += char(t[i++].unicode()), ++digits;
    if (i < n && t[i] == u'.') {
        if (digits == 0)
            plain += '0';
        plain += '.';
        ++i;
        while (digit(i))
            plain += char(t[i++].unicode()), ++digits;
    }
    if (digits == 0)
        return false;
    if (i < n && (t[i] == u'e' || t[i] == u'E')) {
        plain += 'e';
        ++i;
        if (i < n && (t[i] == u'+' || t[i] == u'-'))
            plain += char(t[i++].unicode());
        size_t expDigits = 0;
        while (digit(i))
            plain += char(t[i++].unicode()), ++expDigits;
        if (expDigits == 0)
            return false;
    }
    if (i != n)
        return false;
    double v = 0;
    const auto r = std::from_chars(plain.data(), plain.data() + plain.size(), v);
    if (r.ec == std::errc::result_out_of_range) {
        // Beyond what a double holds: its infinity, or 0 for a number too close to 0.
        const size_t e = plain.find('e');
        const bool tiny = e != std::string::npos && e + 1 < plain.size() && plain[e + 1] == '-';
        v = tiny ? 0.0 : (plain[0] == '-' ? -std::numeric_limits<double>::infinity()
                                          : std::numeric_limits<double>::infinity());
    } else if (r.ec != std::errc() || r.ptr != plain.data() + plain.size()) {
        return false;
    }
    value = v;
    return true;
}

// --- the routines of the language ------------------------------------------------------------------

QString RemoveSpacesOutsideQuotes(const QString& text)
{
    QString out;
    out.reserve(text.size());
    bool inside = false;
    for (QChar c : text) {
        if (c == u' ' && !inside)
            continue;
        if (c == dq())
            inside = !inside;
        out += c;
    }
    return out;
}

bool IsDelimiterChar(QChar c, const QString& delimiters) { return delimiters.contains(c); }

QChar FindDelimiterOutsideQuotes(const QString& delimiters, const QString& text, int& pos)
{
    bool inside = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == dq())
            inside = !inside;
        if (!inside && IsDelimiterChar(c, delimiters)) {
            pos = int(i) + 1;
            return c;
        }
    }
    pos = -1;
    return QChar(0);
}

int MatchingParenPos(const QString& text)
{
    int open = 0, close = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'(')
            ++open;
        else if (text[i] == u')') {
            ++close;
            if (open == close)
                return int(i) + 1;
        }
    }
    return 0;
}

QString NormalizeNumberText(const QString& text)
{
    const QChar dec = platform::FormatSettings().DecimalSeparator;
    const QChar thousand = platform::FormatSettings().ThousandSeparator;
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        if (c == dec)
            out += u'.';
        else if (c != thousand)
            out += c;
    }
    return out;
}

bool TryParseShortDateTime(const QString& text, platform::TDateTime& dateTime)
{
    return parseShortDateTime(text, dateTime);
}

// --- conditions ----------------------------------------------------------------------------------------

namespace {

// A comparison operand after ">" or "<": its text (at most 255 units) and how it compares.
struct Operand {
    QString text;
    Classified kind;
};

Operand readOperand(QStringView c, qsizetype p, bool& orEqual)
{
    qsizetype k = p + 1;
    orEqual = k < c.size() && c[k] == u'=';
    if (orEqual)
        ++k;
    while (k < c.size() && c[k] == u' ')
        ++k;
    const qsizetype start = k;
    bool inside = false;
    while (k < c.size()) {
        const QChar ch = c[k];
        if (ch == dq())
            inside = !inside;
        if (!inside && (ch == u' ' || ch == u'&' || ch == u'|'))
            break;
        ++k;
    }
    QStringView op = c.mid(start, k - start);
    if (op.startsWith(dq()))
        op = op.mid(1);
    if (op.endsWith(dq()))
        op.chop(1);
    Operand o;
    o.text = op.left(kMaxOperand).toString();
    o.kind = classify(o.text);
    return o;
}

// The comparison part of a condition (steps before the wildcard match).
struct Comparison {
    bool active = false;
    bool hasGT = false, hasLT = false, gtEq = false, ltEq = false, hasNot = false;
    bool caret = false, amp = false;
    Operand gt, lt;

    explicit Comparison(QStringView c)
    {
        const qsizetype pg = c.indexOf(u'>');
        const qsizetype pl = c.indexOf(u'<');
        hasGT = pg >= 0;
        hasLT = pl >= 0;
        hasNot = c.contains(u'!');
        caret = c.contains(u'^');
        amp = c.contains(u'&');
        if (hasGT)
            gt = readOperand(c, pg, gtEq);
        if (hasLT)
            lt = readOperand(c, pl, ltEq);
        active = hasGT || hasLT || (hasNot && (caret || amp));
    }

    // The decision of the comparisons, or none when the wildcard match decides.
    std::optional<bool> decide(QStringView value, const Classified& kind) const
    {
        bool greater = true, less = true;
        bool hasGreater = hasGT, hasLess = hasLT;
        if (hasGT) {
            const int r = compareClassified(kind, value, gt.kind, gt.text);
            greater = r > 0 || (gtEq && r == 0);
        }
        if (hasLT) {
            const int r = compareClassified(kind, value, lt.kind, lt.text);
            less = r < 0 || (ltEq && r == 0);
        }
        if (hasNot)
            hasGreater = hasLess = true;
        if (caret && (hasGreater || hasLess))
            return less || greater;
        if (amp && hasGreater && hasLess)
            return less && greater;
        if (hasGT && greater)
            return true;
        if (hasLT && less)
            return true;
        return std::nullopt;
    }
};

} // namespace

struct TFilterMatcher::Condition {
    // The wildcard part: segments between the runs of "*" (raw, with "!" and quotes); segment
    // t > 0 starts a suffix that is matched as a condition of its own.
    std::vector<QString> segments;
    std::vector<Comparison> comparisons; // one per suffix (0: the whole condition)
    bool plainTail = true;               // no comparison and no "!" after the first "*"
    QString tailPattern;                 // with plainTail: "*" seg1 "*" seg2 ..., quotes left out

    explicit Condition(const QString& text)
    {
        QString current;
        std::vector<qsizetype> starts{0};
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (text[i] != u'*') {
                current += text[i];
                continue;
            }
            while (i + 1 < text.size() && text[i + 1] == u'*')
                ++i;
            segments.push_back(current);
            current.clear();
            starts.push_back(i + 1);
        }
        segments.push_back(current);
        for (size_t t = 0; t < segments.size(); ++t) {
            comparisons.emplace_back(QStringView(text).mid(starts[t]));
            if (t > 0 && (comparisons[t].active || segments[t].contains(u'!')))
                plainTail = false;
        }
        if (plainTail)
            for (size_t t = 1; t < segments.size(); ++t) {
                tailPattern += u'*';
                for (QChar c : segments[t])
                    if (c != dq())
                        tailPattern += c;
            }
    }

    bool match(QStringView value) const
    {
        const qsizetype n = value.size();
        if (comparisons[0].active)
            if (const auto d = comparisons[0].decide(value, classify(value)))
                return *d;
        qsizetype q = 0;
        bool negate = false;
        if (!walk(segments[0], value, q, negate))
            return negate;
        if (segments.size() == 1)
            return (q == n) != negate;
        return anyTail(value, q) != negate;
    }

    // Walks one segment from value position q: false on a mismatch (q and negate as reached).
    static bool walk(const QString& seg, QStringView value, qsizetype& q, bool& negate)
    {
        const qsizetype n = value.size();
        for (QChar c : seg) {
            if (c == u'!') {
                negate = true;
                continue;
            }
            if (c == dq())
                continue;
            if (q >= n || (c != u'?' && value[q] != c))
                return false;
            ++q;
        }
        return true;
    }

    // Whether some tail of value from q on matches the condition after the first "*".
    bool anyTail(QStringView value, qsizetype from) const
    {
        if (plainTail)
            return glob(tailPattern, value.mid(from));
        // M_t[j]: the suffix from segment t matches the tail from j; R_t[j]: some tail from j on
        // does. Computed for t = last .. 1, each from R_{t+1}.
        const qsizetype n = value.size();
        std::vector<Classified> kinds(size_t(n + 1));
        std::vector<char> known(size_t(n + 1), 0);
        // Only a tail made of the characters of numbers and dates can read as one; the others
        // are texts, told apart without reading them again (a long text stays linear).
        std::vector<char> mayConvert;
        auto kindOf = [&](qsizetype j) -> const Classified& {
            if (mayConvert.empty())
                mayConvert = convertibleTails(value);
            if (!known[size_t(j)]) {
                if (mayConvert[size_t(j)])
                    kinds[size_t(j)] = classify(value.mid(j));
                known[size_t(j)] = 1;
            }
            return kinds[size_t(j)];
        };
        std::vector<char> next(size_t(n + 2), 0), current(size_t(n + 2), 0);
        const size_t last = segments.size() - 1;
        for (size_t t = last; t >= 1; --t) {
            current[size_t(n + 1)] = 0;
            for (qsizetype j = n; j >= from; --j) {
                bool m = false;
                std::optional<bool> d;
                if (comparisons[t].active)
                    d = comparisons[t].decide(value.mid(j), kindOf(j));
                if (d) {
                    m = *d;
                } else {
                    qsizetype q = j;
                    bool negate = false;
                    if (!walk(segments[t], value, q, negate))
                        m = negate;
                    else if (t == last)
                        m = (q == n) != negate;
                    else
                        m = (next[size_t(q)] != 0) != negate;
                }
                current[size_t(j)] = char(m || current[size_t(j + 1)]);
            }
            std::swap(next, current);
        }
        return next[size_t(from)] != 0;
    }

    // For each tail of the value, whether all its characters can stand in a number or a date
    // (digits, the integer fields' hexadecimal forms, signs, exponents, blanks and the locale's
    // separators); a tail with any other character is neither.
    static std::vector<char> convertibleTails(QStringView value)
    {
        const platform::TFormatSettings& fs = platform::FormatSettings();
        auto fits = [&](QChar c) {
            const char16_t u = c.unicode();
            return (u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'f') || (u >= u'A' && u <= u'F') || u == u'x'
                   || u == u'X' || u == u'$' || u == u'+' || u == u'-' || u == u'.' || c.isSpace()
                   || c == fs.DecimalSeparator || c == fs.ThousandSeparator || c == fs.DateSeparator
                   || c == fs.TimeSeparator;
        };
        const qsizetype n = value.size();
        std::vector<char> may(size_t(n + 1), 1);
        for (qsizetype j = n - 1; j >= 0; --j)
            may[size_t(j)] = char(may[size_t(j + 1)] && fits(value[j]));
        return may;
    }

    // "*" and "?" against a text, the "*" trying the shortest stretch first and widening it on
    // a later mismatch: at most (pattern x text) steps.
    static bool glob(const QString& p, QStringView s)
    {
        const qsizetype m = p.size(), n = s.size();
        qsizetype i = 0, j = 0, star = -1, mark = 0;
        while (j < n) {
            if (i < m && p[i] != u'*' && (p[i] == u'?' || p[i] == s[j])) {
                ++i;
                ++j;
            } else if (i < m && p[i] == u'*') {
                star = i++;
                mark = j;
            } else if (star >= 0) {
                i = star + 1;
                j = ++mark;
            } else {
                return false;
            }
        }
        while (i < m && p[i] == u'*')
            ++i;
        return i == m;
    }
};

struct TFilterMatcher::Group {
    struct Item {
        char op = 0; // 0 first, '&' and, '|' or (also ";" and "^"), '(' value not used
        std::unique_ptr<Group> group;
        std::unique_ptr<Condition> condition;
        bool tooDeep = false;
    };
    std::vector<Item> items;

    Group(const QString& expression, bool caseSensitive, int depth)
    {
        QString s = RemoveSpacesOutsideQuotes(platform::trim(expression));
        if (s.startsWith(u'='))
            s.remove(0, 1);
        const QString delimiters = QStringLiteral("(;^&|");
        char pending = 0;
        qsizetype pos = 0;
        auto add = [&](char op, const QString& operand) {
            Item item;
            item.op = op;
            item.condition = std::make_unique<Condition>(caseSensitive ? operand : operand.toUpper());
            items.push_back(std::move(item));
        };
        while (true) {
            // Delimiters outside quotes, quotes counted from the start of what is left.
            qsizetype p = -1;
            QChar d;
            bool inside = false;
            for (qsizetype i = pos; i < s.size(); ++i) {
                if (s[i] == dq())
                    inside = !inside;
                if (!inside && delimiters.contains(s[i])) {
                    p = i;
                    d = s[i];
                    break;
                }
            }
            if (p < 0)
                break;
            if (s[pos] == u'(') {
                const QString rest = s.mid(pos);
                int e = MatchingParenPos(rest);
                if (e == 0)
                    e = int(rest.size()) + 1; // an open group runs to the end
                Item item;
                item.op = pending;
                if (depth >= kMaxFilterGroupDepth)
                    item.tooDeep = true;
                else
                    item.group = std::make_unique<Group>(rest.mid(1, e - 2), caseSensitive, depth + 1);
                items.push_back(std::move(item));
                pos += e;
            } else {
                add(pending, s.mid(pos, p - pos));
                pos = p + 1;
            }
            pending = d == u'&' ? '&' : d == u'(' ? '(' : '|';
            if (pos > s.size())
                pos = s.size();
        }
        add(pending, s.mid(pos));
    }

    bool match(QStringView value) const
    {
        bool result = true;
        for (const Item& item : items) {
            if (item.op == '(')
                continue;
            if ((item.op == '&' && !result) || (item.op == '|' && result))
                continue;
            const bool v = item.tooDeep ? false : item.group ? item.group->match(value) : item.condition->match(value);
            result = item.op == '&' ? (result && v) : item.op == '|' ? (result || v) : v;
        }
        return result;
    }
};

TFilterMatcher::TFilterMatcher(const QString& expression, bool caseSensitive)
    : m_root(std::make_unique<Group>(expression, caseSensitive, 0)), m_caseSensitive(caseSensitive)
{
}

TFilterMatcher::~TFilterMatcher() = default;

bool TFilterMatcher::Match(const QString& value) const
{
    if (m_caseSensitive)
        return m_root->match(value);
    // Plain ASCII values (nearly all cells) are upper-cased into a reused buffer.
    const qsizetype n = value.size();
    bool ascii = true;
    for (qsizetype i = 0; i < n && ascii; ++i)
        ascii = value[i].unicode() < 0x80;
    if (!ascii)
        return m_root->match(value.toUpper());
    m_upper.resize(n);
    QChar* out = m_upper.data();
    const QChar* in = value.constData();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = in[i].unicode();
        out[i] = QChar(c >= u'a' && c <= u'z' ? char16_t(c - 32) : c);
    }
    return m_root->match(QStringView(m_upper.constData(), n));
}

bool MatchFilterExpression(const QString& expression, const QString& value, bool caseSensitive)
{
    return TFilterMatcher(expression, caseSensitive).Match(value);
}

bool MatchFilterCondition(const QString& condition, const QString& value)
{
    return TFilterMatcher::Condition(condition).match(value);
}

bool MatchFilterOperand(const QString& operand, const QString& value, bool caseSensitive)
{
    if (caseSensitive)
        return MatchFilterCondition(operand, value);
    return MatchFilterCondition(operand.toUpper(), value.toUpper());
}

} // namespace controls::grid
