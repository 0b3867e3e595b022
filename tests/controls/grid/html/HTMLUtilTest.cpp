#include "controls/grid/html/HTMLUtil.h"

#include "platform/draw/Canvas.h"

#include <gtest/gtest.h>

using namespace controls::grid;

TEST(HTMLUtilTest, EveryNamedEntityDecodesAndEncodesAsPythonsTableHasIt)
{
    // Code points as Python's html.entities.name2codepoint gives them.
    struct Case {
        const char* name;
        char16_t codepoint;
    } cases[] = {
        {"eacute", 0x00E9}, {"egrave", 0x00E8}, {"euml", 0x00EB},   {"ecirc", 0x00EA},  {"oacute", 0x00F3},
        {"ograve", 0x00F2}, {"ouml", 0x00F6},   {"ocirc", 0x00F4},  {"iacute", 0x00ED}, {"igrave", 0x00EC},
        {"iuml", 0x00EF},   {"icirc", 0x00EE},  {"uacute", 0x00FA}, {"ugrave", 0x00F9}, {"uuml", 0x00FC},
        {"ucirc", 0x00FB},  {"aacute", 0x00E1}, {"agrave", 0x00E0}, {"auml", 0x00E4},   {"acirc", 0x00E2},
        {"Eacute", 0x00C9}, {"Egrave", 0x00C8}, {"Euml", 0x00CB},   {"Ecirc", 0x00CA},  {"Oacute", 0x00D3},
        {"Ograve", 0x00D2}, {"Ouml", 0x00D6},   {"Ocirc", 0x00D4},  {"Iacute", 0x00CD}, {"Igrave", 0x00CC},
        {"Iuml", 0x00CF},   {"Icirc", 0x00CE},  {"Uacute", 0x00DA}, {"Ugrave", 0x00D9}, {"Uuml", 0x00DC},
        {"Ucirc", 0x00DB},  {"Aacute", 0x00C1}, {"Agrave", 0x00C0}, {"Auml", 0x00C4},   {"Acirc", 0x00C2},
        {"ccedil", 0x00E7}, {"Ccedil", 0x00C7}, {"oslash", 0x00F8}, {"Oslash", 0x00D8}, {"aring", 0x00E5},
        {"Aring", 0x00C5},  {"copy", 0x00A9},   {"reg", 0x00AE},    {"euro", 0x20AC},   {"laquo", 0x00AB},
        {"raquo", 0x00BB},  {"atilde", 0x00E3}, {"Atilde", 0x00C3}, {"otilde", 0x00F5}, {"Otilde", 0x00D5},
    };
    ASSERT_EQ(std::size(cases), 55u);
    for (const auto& c : cases) {
        const QString entity = QLatin1Char('&') + QLatin1String(c.name) + QLatin1Char(';');
        const QString ch(QChar(c.codepoint));
        EXPECT_EQ(DecodeHTMLEntities(entity, true), ch) << c.name;
        EXPECT_EQ(DecodeHTMLEntities(entity, false), entity) << c.name;
        EXPECT_EQ(EncodeHTMLEntities(ch, true), entity) << c.name;
        EXPECT_EQ(EncodeHTMLEntities(ch, false), ch) << c.name;
    }
}

TEST(HTMLUtilTest, EntityCoding)
{
    EXPECT_EQ(DecodeHTMLEntities(QStringLiteral("caf&eacute; &amp; cr&egrave;me"), true),
              QStringLiteral("caf\u00E9 & cr\u00E8me"));
    EXPECT_EQ(DecodeHTMLEntities(QStringLiteral("caf&eacute; &amp; &lt;&gt;&quot;"), false),
              QStringLiteral("caf&eacute; & <>\""));
    // Names keep their case: a capital stays a capital, another case is left alone.
    EXPECT_EQ(DecodeHTMLEntities(QStringLiteral("&Eacute;t&eacute; &LT;"), true), QStringLiteral("\u00C9t\u00E9 &LT;"));

    EXPECT_EQ(EncodeHTMLEntities(QStringLiteral("a<b & \u00E9"), true), QStringLiteral("a&lt;b &amp; &eacute;"));
    EXPECT_EQ(EncodeHTMLEntities(QStringLiteral("\""), false), QStringLiteral("&quot;"));
    EXPECT_EQ(EncodeHTMLEntities(QStringLiteral("\u00C9"), true), QStringLiteral("&Eacute;"));
    // One pass: text that looks like a half-coded ampersand stays as it was, only "&" is coded.
    EXPECT_EQ(EncodeHTMLEntities(QStringLiteral("*amp; &amp;"), false), QStringLiteral("*amp; &amp;amp;"));
    // One pass: what an entity stands for is not decoded again.
    EXPECT_EQ(DecodeHTMLEntities(QStringLiteral("&amp;eacute; &amp;lt;"), true), QStringLiteral("&eacute; &lt;"));
    // Round trip of everything the coder touches.
    const QString mixed = QStringLiteral("<a href=\"x\">Caf\u00E9 & \u20AC &amp; &eacute;</a>");
    EXPECT_EQ(DecodeHTMLEntities(EncodeHTMLEntities(mixed, true), true), mixed);
}

TEST(HTMLUtilTest, StripAndVisibleText)
{
    EXPECT_EQ(StripHTMLTags(QStringLiteral("<b>Bold</b> text<BR>next")), QStringLiteral("Bold text\r\nnext"));
    EXPECT_EQ(StripHTMLTags(QStringLiteral("a <b")), QStringLiteral("a <b"));
    EXPECT_EQ(StripHTMLTags(QStringLiteral("x<y>z<")), QStringLiteral("xz<"));
    EXPECT_EQ(StripHTMLTags(QStringLiteral("a<hr>b")), QStringLiteral("a\r\nb"));
    EXPECT_EQ(VisibleHTMLText(QStringLiteral("ab<i>cd</i>")), QStringLiteral("abcd"));
    EXPECT_EQ(VisibleHTMLText(QStringLiteral("a>b<c>d")), QStringLiteral("a>b<c>d")); // ">" before "<" ends the scan
    EXPECT_EQ(VisibleToRawIndex(QStringLiteral("ab<i>cd</i>"), 3), 3);
    EXPECT_EQ(VisibleToRawIndex(QStringLiteral("ab<i>cd</i>"), 4), 7);
    EXPECT_EQ(VisibleToRawIndex(QStringLiteral("ab<i>cd</i>"), 5), 8); // the tag read right after "d"
    EXPECT_EQ(VisibleToRawIndex(QStringLiteral("abcd"), 5), 5);          // one past the end
    EXPECT_EQ(VisibleToRawIndex(QStringLiteral("ab"), 7), 0);
    EXPECT_EQ(LineBreaksToBR(QStringLiteral("a\r\nb"), true), QStringLiteral("a<BR>b"));
    EXPECT_EQ(LineBreaksToBR(QStringLiteral("a\r\nb"), false), QStringLiteral("ab"));
    EXPECT_EQ(UnwrapHashTags(QStringLiteral("x <#name> y <#z>")), QStringLiteral("x #name y #z"));
    EXPECT_EQ(PasswordMask(QStringLiteral("abc")), QStringLiteral("***"));
    EXPECT_EQ(SpacesToNbsp(QStringLiteral("a b")), QStringLiteral("a&nbsp;b"));
}

TEST(HTMLUtilTest, HighlightTags)
{
    QString r;
    AddHighlightTags(QStringLiteral("ab<i>cd</i>"), QStringLiteral("bc"), QStringLiteral("hi"), r, true);
    EXPECT_EQ(r, QStringLiteral("a<hi>b<i>c</hi>d</i>"));
    AddHighlightTags(QStringLiteral("Abab"), QStringLiteral("ab"), QStringLiteral("hi"), r, false);
    EXPECT_EQ(r, QStringLiteral("<hi>Ab</hi><hi>ab</hi>"));
    AddHighlightTags(QStringLiteral("Abab"), QStringLiteral("ab"), QStringLiteral("hi"), r, true);
    EXPECT_EQ(r, QStringLiteral("Ab<hi>ab</hi>"));
    AddHighlightTags(QStringLiteral("a<i>bc</i>c"), QStringLiteral("c"), QStringLiteral("hi"), r, true);
    EXPECT_EQ(r, QStringLiteral("a<i>b<hi>c</hi></i><hi>c</hi>"));
    AddHighlightTags(QStringLiteral("1<2 & x"), QStringLiteral("<2"), QStringLiteral("hi"), r, true);
    EXPECT_EQ(r, QStringLiteral("1<hi>&lt;2</hi> & x")); // a bare "<" is coded first
    AddHighlightTags(QStringLiteral("abc"), QString(), QStringLiteral("hi"), r, true);
    EXPECT_EQ(r, QStringLiteral("abc"));
    EXPECT_EQ(RemoveHighlightTags(QStringLiteral("a<HI>b</hi>c &lt;x&gt;"), QStringLiteral("hi")), QStringLiteral("abc <x>"));
    int pos = -1;
    EXPECT_EQ(PosFrom(QStringLiteral("b"), QStringLiteral("abab"), 2, pos, true), 4);
    EXPECT_EQ(pos, 4);
    EXPECT_EQ(PosFrom(QStringLiteral("x"), QStringLiteral("abab"), 0, pos, true), 0);
}

TEST(HTMLUtilTest, Colours)
{
    EXPECT_EQ(HTMLHexColorToColor(QStringLiteral("#FF8000")), 0x0080FFu);
    EXPECT_EQ(HTMLHexColorToColor(QStringLiteral("#")), 0u);
    EXPECT_EQ(HexPairToByte(QStringLiteral("A0")), 160);
    EXPECT_EQ(HexPairToByte(QStringLiteral("7")), 0);
    // Characters that are no hex digits count as 0: a colour is always three bytes.
    EXPECT_EQ(HexPairToByte(QStringLiteral("ZZ")), 0);
    EXPECT_EQ(HexPairToByte(QStringLiteral("\u0084f")), 15);
    EXPECT_EQ(HTMLHexColorToColor(QStringLiteral("#lred\u0084\u0084")), 0x00ED00u);
    EXPECT_EQ(HTMLHexColorToColor(QStringLiteral("#ff0080")), 0x8000FFu);
    // Any text gives a colour of 24 bits: characters that are no hex digits (here the
    // replacement characters of bytes that are no UTF-8) no longer run past the integer range.
    const QString odd = QString::fromUtf8("\0\0\0\0\xAB\xAD\xB0", 7);
    EXPECT_LE(HTMLHexColorToColor(odd), 0xFFFFFFu);
    EXPECT_LE(HTMLHexColorToColor(QStringLiteral("#\uFFFF\uFFFF\uFFFF\uFFFF\uFFFF\uFFFF")), 0xFFFFFFu);
    EXPECT_LE(HexPairToByte(QStringLiteral("zz")), 255);
    EXPECT_GE(HexPairToByte(QStringLiteral("  ")), 0);
    EXPECT_EQ(HTMLColorNameToColor(QStringLiteral("clred")), 0x0000FFu);
    EXPECT_EQ(HTMLColorNameToColor(QStringLiteral("clbtnface")), platform::clBtnFace);
    EXPECT_EQ(HTMLColorNameToColor(QStringLiteral("clRed")), 0u); // names are lower case
}

TEST(HTMLUtilTest, ControlTags)
{
    const QString text = QStringLiteral("<CONTROL TYPE=\"EDIT\" ID=\"E1\" VALUE=\"a&amp;b\" WIDTH=\"40\" PROP=\"p&lt;\" MAXLEN=\"12x\">"
                                        " <control type=\"check\" id=\"C1\" value=\"TRUE\"> "
                                        "<CONTROL TYPE=\"EDIT\" ID=\"E2\" VALUE=\"\"><CONTROL TYPE=\"RADIO\" ID=\"R1\" VALUE=\"TRUE\" WIDTH=\"5\">");
    EXPECT_TRUE(HasControlTag(text));
    EXPECT_FALSE(HasControlTag(QStringLiteral("<b>x</b>")));
    EXPECT_EQ(GetNextControlID(text, QString()), QStringLiteral("E1"));
    EXPECT_EQ(GetNextControlID(text, QStringLiteral("E1")), QStringLiteral("E2"));
    EXPECT_EQ(GetNextControlID(text, QStringLiteral("E2")), QString());
    QString v;
    EXPECT_TRUE(GetControlValue(text, QStringLiteral("E1"), v));
    EXPECT_EQ(v, QStringLiteral("a&b"));
    EXPECT_FALSE(GetControlValue(text, QStringLiteral("nope"), v));
    EXPECT_EQ(GetControlProp(text, QStringLiteral("E1")), QStringLiteral("p<"));
    EXPECT_EQ(GetControlMaxLen(text, QStringLiteral("E1")), 12);
    EXPECT_EQ(GetControlMaxLen(text, QStringLiteral("nope")), 0);

    QString t = text;
    EXPECT_TRUE(SetControlValue(t, QStringLiteral("E1"), QStringLiteral("x<y")));
    EXPECT_TRUE(t.startsWith(QStringLiteral("<CONTROL ID=\"E1\" VALUE=\"x&lt;y\" WIDTH=\"40\" TYPE=\"EDIT\" PROP=\"p&lt;\" MAXLEN=\"12x\"> ")))
        << t.toStdString();
    EXPECT_TRUE(GetControlValue(t, QStringLiteral("E1"), v));
    EXPECT_EQ(v, QStringLiteral("x<y"));
    QString unchanged = text;
    EXPECT_FALSE(SetControlValue(unchanged, QStringLiteral("nope"), QStringLiteral("v")));
    EXPECT_EQ(unchanged, text);

    const QString cleared = ClearRadioControls(text);
    EXPECT_TRUE(GetControlValue(cleared, QStringLiteral("R1"), v));
    EXPECT_EQ(v, QStringLiteral("FALSE"));
    EXPECT_TRUE(GetControlValue(cleared, QStringLiteral("C1"), v));
    EXPECT_EQ(v, QStringLiteral("TRUE"));
}

TEST(HTMLUtilTest, Primitives)
{
    EXPECT_EQ(IntValue(QStringLiteral("  -42abc")), -42);
    EXPECT_EQ(IntValue(QStringLiteral("x1")), 0);
    EXPECT_EQ(IntValue(QStringLiteral("99999999999")), 2147483647);
    EXPECT_EQ(PosNoCase(QStringLiteral("Bc"), QStringLiteral("aBC")), 2);
    QString s = QStringLiteral("aXbx");
    EXPECT_TRUE(ReplaceFirstNoCase(s, QStringLiteral("x"), QStringLiteral("-")));
    EXPECT_EQ(s, QStringLiteral("a-bx"));
    EXPECT_FALSE(ReplaceFirstNoCase(s, QStringLiteral("q"), QStringLiteral("-")));
}
