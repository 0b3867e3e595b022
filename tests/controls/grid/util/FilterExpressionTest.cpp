#include "controls/grid/util/FilterExpression.h"

#include "platform/core/DateTime.h"
#include "platform/core/FormatSettings.h"
#include "platform/text/Text.h"

#include <QRegularExpression>
#include <gtest/gtest.h>
#include <random>

using namespace controls::grid;

namespace {

class FilterExpressionTest : public ::testing::Test {
protected:
    void SetUp() override { platform::ResetFormatSettings(); }
    void TearDown() override { platform::ResetFormatSettings(); }
    static void useDates(const char* format, QChar dateSep)
    {
        platform::TFormatSettings fs = platform::DefaultFormatSettings();
        fs.ShortDateFormat = QString::fromLatin1(format);
        fs.DateSeparator = dateSep;
        platform::SetFormatSettings(fs);
    }
};

// --- a plain reading of the language: every tail tried in turn at a "*" ------------------------

bool refNumber(const QString& t, double& v)
{
    static const QRegularExpression literal(QStringLiteral("^ *[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?$"));
    const QString n = NormalizeNumberText(t);
    if (!literal.match(n).hasMatch())
        return false;
    v = n.trimmed().toDouble();
    return true;
}

int refCompare(const QString& a, const QString& b)
{
    platform::TDateTime da = 0, db = 0;
    const bool dateA = TryParseShortDateTime(a, da), dateB = TryParseShortDateTime(b, db);
    double na = 0, nb = 0;
    const bool numA = !dateA && refNumber(a, na), numB = !dateB && refNumber(b, nb);
    if (numA && numB)
        return na < nb ? -1 : na > nb ? 1 : 0;
    if (dateA && dateB)
        return da < db ? -1 : da > db ? 1 : 0;
    const int r = a.left(255).compare(b.left(255));
    return r < 0 ? -1 : r > 0 ? 1 : 0;
}

QString refOperand(const QString& c, qsizetype p, bool& orEq)
{
    qsizetype k = p + 1;
    orEq = k < c.size() && c[k] == u'=';
    if (orEq)
        ++k;
    while (k < c.size() && c[k] == u' ')
        ++k;
    const qsizetype start = k;
    int quotes = 0;
    while (k < c.size()) {
        if (c[k] == u'"')
            ++quotes;
        if (quotes % 2 == 0 && (c[k] == u' ' || c[k] == u'&' || c[k] == u'|'))
            break;
        ++k;
    }
    QString op = c.mid(start, k - start);
    if (op.startsWith(u'"'))
        op.remove(0, 1);
    if (op.endsWith(u'"'))
        op.chop(1);
    return op.left(255);
}

bool refCondition(const QString& c, const QString& v);

bool refWild(const QString& c, const QString& v)
{
    qsizetype i = 0, j = 0;
    bool neg = false;
    while (i < c.size()) {
        const QChar ch = c[i];
        if (ch == u'!') {
            neg = true;
            ++i;
        } else if (ch == u'"') {
            ++i;
        } else if (ch == u'*') {
            while (i < c.size() && c[i] == u'*')
                ++i;
            for (qsizetype k = v.size(); k >= j; --k)
                if (refCondition(c.mid(i), v.mid(k)))
                    return !neg;
            return neg;
        } else {
            if (j >= v.size() || (ch != u'?' && v[j] != ch))
                return neg;
            ++i;
            ++j;
        }
    }
    return (j == v.size()) != neg;
}

bool refCondition(const QString& c, const QString& v)
{
    bool greater = true, less = true, hasGreater = false, hasLess = false;
    if (const qsizetype p = c.indexOf(u'>'); p >= 0) {
        bool eq = false;
        const int r = refCompare(v, refOperand(c, p, eq));
        greater = r > 0 || (eq && r == 0);
        hasGreater = true;
    }
    if (const qsizetype p = c.indexOf(u'<'); p >= 0) {
        bool eq = false;
        const int r = refCompare(v, refOperand(c, p, eq));
        less = r < 0 || (eq && r == 0);
        hasLess = true;
    }
    if (c.contains(u'!'))
        hasGreater = hasLess = true;
    if (c.contains(u'^') && (hasGreater || hasLess))
        return less || greater;
    if (c.contains(u'&') && hasGreater && hasLess)
        return less && greater;
    if (c.contains(u'>') && greater)
        return true;
    if (c.contains(u'<') && less)
        return true;
    return refWild(c, v);
}

bool refExpression(QString e, const QString& v, bool cs)
{
    e = RemoveSpacesOutsideQuotes(platform::trim(e));
    if (e.startsWith(u'='))
        e.remove(0, 1);
    auto operand = [&](const QString& o) { return cs ? refCondition(o, v) : refCondition(o.toUpper(), v.toUpper()); };
    bool result = true;
    QChar pending;
    auto combine = [&](bool value) {
        if (pending.isNull())
            result = value;
        else if (pending == u'&')
            result = result && value;
        else if (pending != u'(')
            result = result || value;
    };
    int p = 0;
    QChar d;
    while (!(d = FindDelimiterOutsideQuotes(QStringLiteral("(;^&|"), e, p)).isNull()) {
        if (e.startsWith(u'(')) {
            int end = MatchingParenPos(e);
            if (end == 0)
                end = int(e.size()) + 1;
            combine(refExpression(e.mid(1, end - 2), v, cs));
            e.remove(0, end);
        } else {
            combine(operand(e.left(p - 1)));
            e.remove(0, p);
        }
        pending = d;
    }
    combine(operand(e));
    return result;
}

} // namespace

TEST_F(FilterExpressionTest, CasesOfTheLanguage)
{
    useDates("d.m.yyyy", u'.');
    struct Case {
        const char* expression;
        const char* value;
        bool caseSensitive;
        bool match;
    } cases[] = {
        {">=10&<20", "15", true, true},       {">=10&<20", "10", true, true},
        {">=10&<20", "20", true, false},      {">=10&<20", "abc", true, false},
        {"A*|B*", "Apple", true, true},       {"A*|B*", "Berry", true, true},
        {"A*|B*", "apple", false, true},      {"A*|B*", "apple", true, false},
        {"A*|B*", "Cherry", true, false},     {"!Old", "New", true, true},
        {"!Old", "Old", true, false},         {"!D*", "New", true, true},
        {"!D*", "Dog", true, false},          {">5", "12", true, true},
        {">b", "abc", true, false},           {">1.2.2020", "15.3.2020", true, true},
        {">1.2.2020", "15.1.2020", true, false}, {"(a*|b*)&*z", "abz", true, true},
        {"(a*|b*)&*z", "bz", true, true},     {"(a*|b*)&*z", "az1", true, false},
        {"\"a&b\"", "a&b", true, true},       {"=abc", "abc", true, true},
        {"", "", true, true},                 {"", "x", true, false},
        {"a?c", "abc", true, true},           {"a?c", "ac", true, false},
        {"*urgent*", "very URGENT now", false, true}, {"a;b", "b", true, true},
        {"a^b", "a", true, true},             {"(a)&b", "a", true, false},
        {"a&(b)", "a", true, false},          {"a & b*", "ab", true, false},
        {"\"a b\"", "a b", true, true},       {">=1e3", "1000", true, true},
        {"<-1.5", "-2", true, true},          {"*a*b*c*", "xaybzc", true, true},
        {"*a*b*c*", "xaybz", true, false},    {"((a))|b", "a", true, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MatchFilterExpression(QString::fromUtf8(c.expression), QString::fromUtf8(c.value), c.caseSensitive),
                  c.match)
            << c.expression << " on " << c.value;
}

TEST_F(FilterExpressionTest, TheTableGivesTheResultsOfTryingEveryTail)
{
    // Random expressions over the operator characters against short values: the matcher and a
    // plain reading of the language (every tail tried in turn) agree on all of them.
    const QString alphabet = QStringLiteral("ab1 2./*?!\"<>=&|^;()");
    const QString values = QStringLiteral("ab12./ ");
    std::mt19937 rng(35);
    auto pick = [&](const QString& from, int maxLen) {
        QString s;
        const int n = int(rng() % unsigned(maxLen + 1));
        for (int i = 0; i < n; ++i)
            s += from[int(rng() % unsigned(from.size()))];
        return s;
    };
    int matches = 0;
    for (int i = 0; i < 6000; ++i) {
        const QString e = pick(alphabet, 9);
        const QString v = pick(values, 7);
        const bool cs = rng() % 2 == 0;
        const bool expected = refExpression(e, v, cs);
        matches += expected ? 1 : 0;
        ASSERT_EQ(MatchFilterExpression(e, v, cs), expected) << e.toStdString() << " on " << v.toStdString();
    }
    EXPECT_GT(matches, 300);
    EXPECT_LT(matches, 5700);
}

TEST_F(FilterExpressionTest, ManyStarsAgainstLongTextsAndOpenGroupsEnd)
{
    const QString text(20000, u'a');
    EXPECT_FALSE(MatchFilterExpression(QStringLiteral("*a*a*a*a*a*a*a*a*a*b*"), text, true));
    EXPECT_TRUE(MatchFilterExpression(QStringLiteral("*a*a*a*a*a*a*a*a*a*a"), text, true));
    // A "!" after a "*" takes the table as well (the empty tail fails "a", negated: a match).
    EXPECT_TRUE(MatchFilterExpression(QStringLiteral("*a*a*a*a*!a*a*b"), text, true));
    const QString shortText(9, u'a');
    for (const QString& e : {QStringLiteral("*a*!a*a*b"), QStringLiteral("a*!b*a"), QStringLiteral("*>a*a")})
        EXPECT_EQ(MatchFilterExpression(e, shortText, true), refExpression(e, shortText, true)) << e.toStdString();
    // A comparison after a "*" against the tails of a long text, and against tails that read as
    // numbers, hexadecimal fields and dates.
    EXPECT_TRUE(MatchFilterExpression(QStringLiteral("*>m"), QString(20000, u'z'), true));
    EXPECT_FALSE(MatchFilterExpression(QStringLiteral("*>z"), QString(20000, u'y'), true));
    for (const QString& v : {QStringLiteral("abc 12.5"), QStringLiteral("x1/2/2020 10:00"), QStringLiteral("zz$1F/02/2020"),
                             QStringLiteral("id -3e2"), QStringLiteral("q\t7")})
        for (const QString& e : {QStringLiteral("*>5"), QStringLiteral("*<=1/3/2020"), QStringLiteral("*>=-300&*<0"),
                                 QStringLiteral("*>\"1/1/2020\"")})
            EXPECT_EQ(MatchFilterExpression(e, v, true), refExpression(e, v, true)) << e.toStdString() << " on "
                                                                                    << v.toStdString();
    // An open group runs to the end.
    EXPECT_TRUE(MatchFilterExpression(QStringLiteral("x|(a*"), QStringLiteral("ab"), true));
    EXPECT_FALSE(MatchFilterExpression(QStringLiteral("(a*&b"), QStringLiteral("ab"), true));
    EXPECT_TRUE(MatchFilterExpression(QStringLiteral("("), QString(), true));
    // Groups nested beyond the limit match nothing instead of exhausting the stack.
    const QString deep = QString(5000, u'(') + QStringLiteral("a") + QString(5000, u')');
    EXPECT_FALSE(MatchFilterExpression(deep, QStringLiteral("a"), true));
    EXPECT_TRUE(MatchFilterExpression(QStringLiteral("((a))"), QStringLiteral("a"), true));
}

TEST_F(FilterExpressionTest, HelpersOfTheExpression)
{
    EXPECT_EQ(RemoveSpacesOutsideQuotes(QStringLiteral(" a b \" c d \" e")), QStringLiteral("ab\" c d \"e"));
    int pos = 0;
    EXPECT_EQ(FindDelimiterOutsideQuotes(QStringLiteral("&|"), QStringLiteral("\"a&b\"|c"), pos), QChar(u'|'));
    EXPECT_EQ(pos, 6);
    EXPECT_EQ(FindDelimiterOutsideQuotes(QStringLiteral("&|"), QStringLiteral("abc"), pos), QChar(0));
    EXPECT_EQ(pos, -1);
    EXPECT_EQ(MatchingParenPos(QStringLiteral("(a(b)c)d")), 7);
    EXPECT_EQ(MatchingParenPos(QStringLiteral("((a)")), 0);
    EXPECT_TRUE(IsDelimiterChar(u'^', QStringLiteral("(;^&|")));
    platform::TFormatSettings fs = platform::DefaultFormatSettings();
    fs.DecimalSeparator = u',';
    fs.ThousandSeparator = u'.';
    platform::SetFormatSettings(fs);
    EXPECT_EQ(NormalizeNumberText(QStringLiteral("1.234,5")), QStringLiteral("1234.5"));
    EXPECT_TRUE(MatchFilterExpression(QStringLiteral(">1.000"), QStringLiteral("1.234,5"), true));
}

TEST_F(FilterExpressionTest, ShortDatesInTheLocaleOrder)
{
    struct Case {
        const char* format;
        char sep;
        const char* text;
        bool ok;
        int y, m, d, h, n, s;
    } cases[] = {
        {"dd/mm/yyyy", '/', "15/03/2020", true, 2020, 3, 15, 0, 0, 0},
        {"mm/dd/yyyy", '/', "03/15/2020", true, 2020, 3, 15, 0, 0, 0},
        {"yyyy-mm-dd", '-', "2020-03-15", true, 2020, 3, 15, 0, 0, 0},
        {"d.m.yyyy", '.', "1.2.2020 13:45", true, 2020, 2, 1, 13, 45, 0},
        {"d.m.yyyy", '.', "1.2.2020 13:45:30", true, 2020, 2, 1, 13, 45, 30},
        {"d.m.yyyy", '.', "1.2.20", true, 20, 2, 1, 0, 0, 0},
        {"dd/mm/yyyy", '/', "30/02/2020", false, 0, 0, 0, 0, 0, 0},
        {"dd/mm/yyyy", '/', "32/01/2020", false, 0, 0, 0, 0, 0, 0},
        {"dd/mm/yyyy", '/', "01/13/2020", false, 0, 0, 0, 0, 0, 0},
        {"dd/mm/yyyy", '/', "01/01", false, 0, 0, 0, 0, 0, 0},
        {"dd/mm/yyyy", '/', "aa/01/2020", false, 0, 0, 0, 0, 0, 0},
        {"dd/mm/yyyy", '/', "01/01/2020 24:00", false, 0, 0, 0, 0, 0, 0},
        {"dd/mm/yyyy", '/', "01/01/2020 10:60", false, 0, 0, 0, 0, 0, 0},
        {"dd/mm/yyyy", '/', "01/01/2020 10:10:60", false, 0, 0, 0, 0, 0, 0},
        {"dd/mm/yyyy", '/', "01/01/2020 1010", false, 0, 0, 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        useDates(c.format, QChar::fromLatin1(c.sep));
        platform::TDateTime dt = -1;
        ASSERT_EQ(TryParseShortDateTime(QString::fromLatin1(c.text), dt), c.ok) << c.text;
        if (c.ok) {
            EXPECT_DOUBLE_EQ(dt, platform::EncodeDate(c.y, c.m, c.d) + platform::EncodeTime(c.h, c.n, c.s, 0))
                << c.text;
        }
    }
    // Without a time separator the date is still given back.
    useDates("dd/mm/yyyy", u'/');
    platform::TDateTime dt = 0;
    EXPECT_FALSE(TryParseShortDateTime(QStringLiteral("02/01/2020 1010"), dt));
    EXPECT_DOUBLE_EQ(dt, platform::EncodeDate(2020, 1, 2));
}
