#include "controls/grid/util/ExtUtil.h"

#include "platform/core/DateTime.h"
#include "platform/core/Errors.h"
#include "platform/core/FormatSettings.h"
#include "platform/core/StringList.h"
#include "platform/grid/StringGrid.h"
#include "platform/text/Text.h"

#include <cstring>
#include <gtest/gtest.h>

using namespace controls::grid;

namespace {

// The separators of the tests: "," for thousands and "." for decimals, restored afterwards.
class ExtUtilTest : public ::testing::Test {
protected:
    void SetUp() override { platform::ResetFormatSettings(); }
    void TearDown() override { platform::ResetFormatSettings(); }
    static void useSeparators(QChar thousand, QChar decimal)
    {
        platform::TFormatSettings fs = platform::DefaultFormatSettings();
        fs.ThousandSeparator = thousand;
        fs.DecimalSeparator = decimal;
        platform::SetFormatSettings(fs);
    }
};

const QString CR = QStringLiteral("\r");
const QString LF = QStringLiteral("\n");

} // namespace

TEST_F(ExtUtilTest, DetectNumberTypeTable)
{
    struct Case {
        const char* text;
        int kind;
    } cases[] = {
        {"123", 0},   {"-123", 0}, {"1-2", 2}, {"1,234,567.5", 1}, {"1,23,4", 2}, {"1.5e-3", 5}, {"-1.5e-3", 5},
        {"e5", 2},    {"1e", 2},   {"1.2.3", 2}, {"", 2},          {"-", 0},      {"+5", 2},     {"1.5", 1},
        {"--1", 2},   {"1E5", 5},  {"1e5e5", 2}, {"12a", 2},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DetectNumberType(QString::fromUtf8(c.text)), c.kind) << c.text;
}

TEST_F(ExtUtilTest, DetectNumberTypeFollowsTheSeparatorsOfTheLocale)
{
    useSeparators(u'.', u',');
    EXPECT_EQ(DetectNumberType(QStringLiteral("1.234.567,5")), 1);
    EXPECT_EQ(DetectNumberType(QStringLiteral("1,5,5")), 2);
    EXPECT_EQ(CleanFloatText(QStringLiteral("1.234,50")), QStringLiteral("1234.50"));
}

TEST_F(ExtUtilTest, GetTextKindTable)
{
    struct Case {
        QString text;
        bool html;
        int kind;
    } cases[] = {
        {"", true, 0},
        {"=A1+1", false, 3},
        {"<b>x</b>", false, 0},
        {"<b>x</b>", true, 1},
        {"<p>x", true, 0},
        {"<B>x", true, 1},
        {"{\\rtf1 x}", true, 2},
        {QStringLiteral("|\\") + QChar(0) + QChar(65), false, 5},
        {QStringLiteral("|\\x=") + QChar(0) + QStringLiteral("y"), false, 3},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GetTextKind(c.text, c.html), c.kind) << c.text.toStdString();
}

TEST_F(ExtUtilTest, ClampToLimitsTable)
{
    struct Case {
        int value, min, max, result;
    } cases[] = {{5, 10, 10, 5}, {5, 10, 0, 10}, {50, 0, 20, 20}, {5, 10, 3, 3}, {7, 0, 0, 7}, {-4, -1, 5, -4}};
    for (const auto& c : cases)
        EXPECT_EQ(ClampToLimits(c.value, c.min, c.max), c.result) << c.value << " " << c.min << " " << c.max;
}

TEST_F(ExtUtilTest, ExtractFirstLineTakesOneLineWithItsBreak)
{
    QString s = QStringLiteral("a") + CR + LF + QStringLiteral("b");
    EXPECT_EQ(ExtractFirstLine(s, true), QStringLiteral("a"));
    EXPECT_EQ(s, QStringLiteral("b"));

    s = QStringLiteral("a") + CR + LF + QStringLiteral("b");
    EXPECT_EQ(ExtractFirstLine(s, false), QStringLiteral("a"));
    EXPECT_EQ(s, QString());

    s = QStringLiteral("only");
    EXPECT_EQ(ExtractFirstLine(s, true), QStringLiteral("only"));
    EXPECT_EQ(s, QString());

    // A bare CR: only one LF after it goes with it.
    s = QStringLiteral("x") + CR + QStringLiteral("y") + CR + LF + LF + QStringLiteral("z");
    EXPECT_EQ(ExtractFirstLine(s, true), QStringLiteral("x"));
    EXPECT_EQ(ExtractFirstLine(s, true), QStringLiteral("y"));
    EXPECT_EQ(s, LF + QStringLiteral("z"));
}

TEST_F(ExtUtilTest, WideCellCodingOfEuroAndSurrogatePair)
{
    const QString euro(QChar(0x20AC));
    const QString coded = EncodeWideCellText(euro);
    EXPECT_EQ(coded, QStringLiteral("|\\") + QChar(32) + QChar(172));
    EXPECT_EQ(DecodeWideCellText(coded), euro);

    const QString clef = QString::fromUcs4(U"\U0001D11E"); // two UTF-16 units
    ASSERT_EQ(clef.size(), 2);
    const QString codedClef = EncodeWideCellText(clef);
    EXPECT_EQ(codedClef, QStringLiteral("|\\") + QChar(0xD8) + QChar(0x34) + QChar(0xDD) + QChar(0x1E));
    EXPECT_EQ(DecodeWideCellText(codedClef), clef);

    EXPECT_EQ(DecodeWideCellText(QStringLiteral("plain")), QStringLiteral("plain"));
    // An odd last character is ignored.
    EXPECT_EQ(DecodeWideCellText(QStringLiteral("|\\") + QChar(0) + QChar(65) + QChar(66)), QStringLiteral("A"));
}

TEST_F(ExtUtilTest, ProperCaseTable)
{
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"mcdonald", "McDonald"},       {"john o'neil", "John O'Neil"}, {"henry iii", "Henry III"},
        {"HELLO WORLD", "Hello World"}, {"old mcdonald", "Old McDonald"}, {"anne-marie", "Anne-Marie"},
        {"louis ii", "Louis II"},       {"iiiv", "Iiiv"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ProperCase(QString::fromUtf8(c.in)), QString::fromUtf8(c.out)) << c.in;
}

TEST_F(ExtUtilTest, SortingDatesPlaceTheYearByItsValue)
{
    EXPECT_EQ(ParseDMYDate(QStringLiteral("31.12.99")), platform::EncodeDate(1999, 12, 31));
    EXPECT_EQ(ParseDMYDate(QStringLiteral("1-2-24")), platform::EncodeDate(2024, 2, 1));
    EXPECT_EQ(ParseDMYDate(QStringLiteral("1/2/25")), platform::EncodeDate(2025, 2, 1));
    EXPECT_EQ(ParseDMYDate(QStringLiteral("1/2/26")), platform::EncodeDate(1926, 2, 1));
    EXPECT_EQ(ParseDMYDate(QStringLiteral("2024")), 0);
    EXPECT_EQ(ParseDMYDate(QStringLiteral("1/x/2")), 0);
    EXPECT_EQ(ParseDMYDate(QStringLiteral("1/2")), 0);
    EXPECT_EQ(ParseMDYDate(QStringLiteral("1/2/2003")), platform::EncodeDate(3903, 1, 2));
    // Within a column of four-digit years the order stays right.
    EXPECT_LT(ParseMDYDate(QStringLiteral("12/31/2019")), ParseMDYDate(QStringLiteral("1/1/2020")));
    EXPECT_THROW(ParseDMYDate(QStringLiteral("31/4/20")), platform::EConvertError);
    EXPECT_THROW(ParseMDYDate(QStringLiteral("13/1/20")), platform::EConvertError);
}

TEST_F(ExtUtilTest, AdvanceDateSteps)
{
    const auto d = platform::EncodeDate(2023, 12, 15);
    EXPECT_EQ(AdvanceDate(0, 0, 3, d, 99), d + 3);
    EXPECT_EQ(AdvanceDate(2, 0, 0, d, 99), platform::EncodeDate(2025, 12, 15));
    EXPECT_EQ(AdvanceDate(0, 1, 0, d, 99), platform::EncodeDate(2024, 1, 15));
    EXPECT_EQ(AdvanceDate(0, -12, 0, d, 99), platform::EncodeDate(2022, 12, 15));
    EXPECT_EQ(AdvanceDate(1, 1, 0, d, 0.5), d + 0.5);
    EXPECT_THROW(AdvanceDate(0, 2, 0, platform::EncodeDate(2023, 12, 31), 0), platform::EConvertError);
}

TEST_F(ExtUtilTest, LineBreakCodings)
{
    EXPECT_EQ(TildeToCRLF(QStringLiteral("^")), QString());
    EXPECT_EQ(TildeToCRLF(QStringLiteral("a~b")), QStringLiteral("a\r\nb"));
    EXPECT_EQ(CRToTilde(QStringLiteral("a\r\nb")), QStringLiteral("a~b"));
    EXPECT_EQ(EscapeNewLines(QStringLiteral("a\r\nb")), QStringLiteral("a\\nb"));
    EXPECT_EQ(UnescapeNewLines(QStringLiteral("a\\nb")), QStringLiteral("a\rb"));
    EXPECT_EQ(CRToBR(QStringLiteral("a\r\nb")), QStringLiteral("a<br>\nb"));
    QString q = QStringLiteral("a\r\nb");
    QuoteMultiLine(q);
    EXPECT_EQ(q, QStringLiteral("\"a\x0b" "b\""));
    QString v = QStringLiteral("a\x0b" "b");
    VTToCRLF(v);
    EXPECT_EQ(v, QStringLiteral("a\r\nb"));
    EXPECT_EQ(UndoubleChar(QStringLiteral("a\"\"b\"\"\"\""), u'"'), QStringLiteral("a\"b\"\""));
    EXPECT_EQ(DoubleQuotes(QStringLiteral("a\"b")), QStringLiteral("a\"\"b"));

    const QString cell = QStringLiteral("a\r\nb") + QChar(0) + QStringLiteral("c");
    const QString coded = EncodeCellLineBreaks(cell);
    EXPECT_FALSE(coded.contains(u'\r'));
    EXPECT_EQ(DecodeCellLineBreaks(coded, true), cell);
    EXPECT_EQ(DecodeCellLineBreaks(coded, false), QStringLiteral("a"));
    EXPECT_EQ(EncodeCellLineBreaks(QStringLiteral("no break")), QStringLiteral("no break"));
}

TEST_F(ExtUtilTest, ClosingQuotes)
{
    int pos = -1;
    EXPECT_EQ(ClosingQuotePos(u'"', QStringLiteral("ab\"c"), pos), 3);
    EXPECT_EQ(pos, 3);
    EXPECT_EQ(ClosingQuotePos(u'"', QStringLiteral("a\"\"b"), pos), 0); // doubled: no closing quote
    EXPECT_EQ(pos, 0);
    EXPECT_EQ(ClosingQuotePos(u'"', QStringLiteral("ab\"\""), pos), 4); // last character counts anyway
    EXPECT_EQ(CountClosingQuotes(u'"', QStringLiteral("a\"b\"c\"")), 3);
    EXPECT_EQ(CountClosingQuotes(u'"', QStringLiteral("abc")), 0);
}

TEST_F(ExtUtilTest, TokensPositionsAndCharacters)
{
    QString src = QStringLiteral("ab;cd");
    EXPECT_EQ(CutToken(u';', src), QStringLiteral("ab"));
    EXPECT_EQ(src, QStringLiteral("cd"));
    EXPECT_EQ(CutToken(u';', src), QString());
    EXPECT_EQ(src, QStringLiteral("cd"));

    int pos = 7;
    EXPECT_EQ(VarCharPos(u'x', QStringLiteral("abc"), pos), 0);
    EXPECT_EQ(pos, 7);
    EXPECT_EQ(VarCharPos(u'c', QStringLiteral("abc"), pos), 3);
    EXPECT_EQ(pos, 3);
    EXPECT_EQ(VarPos(QStringLiteral("zz"), QStringLiteral("abc"), pos), 0);
    EXPECT_EQ(pos, 0);
    EXPECT_EQ(PosInUpperCase(QStringLiteral("BC"), QStringLiteral("abc")), 2);
    EXPECT_EQ(PosInUpperCase(QStringLiteral("bc"), QStringLiteral("abc")), 0);
    EXPECT_EQ(CountLines(QStringLiteral("a\rb\rc"), true), 3);
    EXPECT_EQ(CountLines(QStringLiteral("a\rb\rc"), false), 1);
    EXPECT_TRUE(IsDigitChar(QChar(0x0663))); // Arabic-Indic three
    EXPECT_TRUE(IsDigitChar(QChar(0x2167))); // Roman numeral eight
    EXPECT_FALSE(IsDigitChar(u'a'));

    platform::TStringList list;
    list.Add(QStringLiteral("a"));
    list.Add(QStringLiteral("bc"));
    EXPECT_EQ(ConcatStrings(list), QStringLiteral("abc"));
    platform::TGridRect r{1, 2, 3, 4};
    EXPECT_TRUE(CellInGridRect(r, 3, 4));
    EXPECT_FALSE(CellInGridRect(r, 0, 2));
}

TEST_F(ExtUtilTest, FloatTextCleaning)
{
    EXPECT_EQ(CleanFloatText(QStringLiteral("(1,234.50) EUR")), QStringLiteral("-1234.50"));
    EXPECT_EQ(CleanFloatText(QStringLiteral("(1,234.50)")), QStringLiteral("-1234.50"));
    EXPECT_EQ(CleanFloatText(QStringLiteral("  $ 12.5 kg")), QStringLiteral("12.5"));
    EXPECT_EQ(CleanFloatText(QStringLiteral("- 3")), QStringLiteral("-3"));
    EXPECT_EQ(CleanFloatText(QString()), QString());
}

TEST_F(ExtUtilTest, UrlsAndReferences)
{
    EXPECT_TRUE(IsURL(QStringLiteral("see http://x")));
    EXPECT_TRUE(IsURL(QStringLiteral("mailto:a@b")));
    EXPECT_FALSE(IsURL(QStringLiteral("MAILTO:a@b")));
    QString u = QStringLiteral("http://example.org/a");
    StripURLProtocol(u);
    EXPECT_EQ(u, QStringLiteral("example.org/a"));

    QString dest = QStringLiteral("untouched");
    EXPECT_FALSE(AddURLAnchor(QStringLiteral("no link"), QStringLiteral("HTTP://"), dest));
    EXPECT_EQ(dest, QStringLiteral("untouched"));
    EXPECT_TRUE(AddURLAnchor(QStringLiteral("go <http://x.org/a_b> now"), QStringLiteral("HTTP://"), dest));
    EXPECT_EQ(dest, QStringLiteral("go &lt;<a href=\"http://x.org/a_b\">http://x.org/a_b</a>&gt; now"));

    platform::TGridCoord cell{-1, -1};
    EXPECT_TRUE(ParseRCReference(QStringLiteral("r12c3"), cell));
    EXPECT_EQ(cell, (platform::TGridCoord{3, 12}));
    EXPECT_FALSE(ParseRCReference(QStringLiteral("R1C"), cell));
    EXPECT_FALSE(ParseRCReference(QStringLiteral("RxC1"), cell));
    EXPECT_FALSE(ParseRCReference(QStringLiteral("A1"), cell));

    EXPECT_TRUE(LooksLikeDate(QStringLiteral("1/2/3")));
    EXPECT_FALSE(LooksLikeDate(QStringLiteral("/1/2")));
    EXPECT_FALSE(LooksLikeDate(QStringLiteral("1//2")));
}

TEST_F(ExtUtilTest, ClipboardHtmlOffsetsCountUtf8Bytes)
{
    for (const QString& fragment : {QStringLiteral("<b>x</b>"), QStringLiteral("<td>caf\u00E9 \u20AC \U0001F600</td>")}) {
        QString html = fragment;
        WrapCFHTML(html);
        const QByteArray bytes = html.toUtf8();
        auto field = [&](const char* name) {
            const qsizetype p = bytes.indexOf(name) + qsizetype(strlen(name));
            return bytes.mid(p, 8).toInt();
        };
        EXPECT_TRUE(html.contains(QStringLiteral("charset=utf-8")));
        const int startHtml = field("StartHTML:");
        const int startFragment = field("StartFragment:");
        const int endFragment = field("EndFragment:");
        const int endHtml = field("EndHTML:");
        EXPECT_EQ(bytes.mid(startHtml, 9), QByteArray("<!DOCTYPE"));
        EXPECT_EQ(QString::fromUtf8(bytes.mid(startFragment, endFragment - startFragment)), fragment);
        EXPECT_EQ(endHtml, bytes.size());
    }
}

TEST_F(ExtUtilTest, ColoursAndCodePages)
{
    EXPECT_EQ(ColorToHTMLHex(platform::rgb(0x12, 0xAB, 0xFF)), QStringLiteral("12ABFF"));
    EXPECT_EQ(HalveColor(platform::rgb(255, 101, 2)), platform::rgb(127, 50, 1));
    EXPECT_EQ(AdjustColorBrightness(platform::rgb(100, 250, 0), 7), platform::rgb(107, 255, 0));
    EXPECT_EQ(AdjustColorBrightness(platform::rgb(100, 250, 10), -20), platform::rgb(80, 200, 8));

    QString s = QStringLiteral("\u00E9\u00FC\u00C7");
    StringToOem(s);
    EXPECT_EQ(platform::encodeCp1252(s), QByteArray("\x82\x81\x80"));
    OemToString(s);
    EXPECT_EQ(s, QStringLiteral("\u00E9\u00FC\u00C7"));
}
