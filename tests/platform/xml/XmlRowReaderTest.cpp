// The streaming reader against the DOM: both must accept and refuse the same documents and,
// when they accept, give the same elements at the same depths with the same attributes.
#include "support/XmlAgreement.h"

#include <QList>
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

using namespace platform;
using namespace std::string_view_literals;

using namespace xml_agreement;

namespace {

// Asserts agreement; returns whether the DOM accepted.
bool agree(const QByteArray& doc)
{
    bool accepted = false;
    EXPECT_EQ(disagreement(doc, &accepted), "") << show(doc);
    return accepted;
}

const char* const kSeeds[] = {
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<BACnet_to_Modbus>\n  <BACnet_in_Read>\n"
    "    <row Data_Type=\"Analog Input\" Eng_Unit=\"62\" Position=\"12\" Bit=\"0\" Length=\"4\" Mnemonic=\"T&amp;1\" />\n"
    "    <row Data_Type='Binary Input' Eng_Unit='95' Position='$1F' Bit='3' Length='1' Mnemonic='a &lt;b&gt; &quot;c&quot; &apos;d&apos;'/>\n"
    "  </BACnet_in_Read>\n  <BACnet_in_Write>\n    <row Data_Type=\"Analog Out\" Mnemonic=\"&#233;t&#xE9; &#x1F600;\"/>\n"
    "  </BACnet_in_Write>\n</BACnet_to_Modbus>\n<!--SW_VERSION = 1.702-->\n",
    "\xEF\xBB\xBF<BACnet_BDT><row Enable=\"Y\" IP_Address=\"10.0.0.1\" SubNet_Mask=\"255.255.255.0\" Port=\"47808\" "
    "Mnemonic=\"tab\there\r\nand\rthere\nend\"/><row Enable='N'></row></BACnet_BDT>",
    "<!DOCTYPE T [<!ENTITY e 'x'> <!-- c --> <?pi x?> <![IGNORE[ <![x]]> ]]> \"q>\" ]>\n<T><S><r a=\"1\"/><!-- x --y -->"
    "<![CDATA[ <not> ]]><?pi data?>text &amp; more<r b='&#9;&#13;&#10;' c=\"'\" d='\"'/></S></T>",
    "<T a=\"&\" b=\"&unknown;\" c=\"&#xZ;\" d=\"&#;\" e=\"&#x;\" f=\"<\" g=\"&am\" h=\"&#0;cut\" i=\"&#X41;\" j=\"&#65\"/>",
    "<T><S>\n<r x=\"1\" x=\"2\"/>\n</S><S><r/></S></T><U/>junk",
    "<?xml version='1.0'?><!-- before --><R:x a.b-c_d:e='1'><\xC3\xA9l\xC3\xA9ment \xC3\xA9='\xE2\x82\xAC'/></R:x >",
};

} // namespace

TEST(XmlRowReader, SeedDocumentsAgreeWithTheDom)
{
    for (const char* seed : kSeeds)
        EXPECT_TRUE(agree(QByteArray(seed))) << seed;
}

TEST(XmlRowReader, GoodAndBadDocumentsAgreeWithTheDom)
{
    const struct {
        std::string_view doc;
        bool ok;
    } cases[] = {
        // what a table file is
        {"<T/>"sv, true},
        {"<T><S><r a='1'/></S></T>"sv, true},
        {"  \n<T>\n</T>\n  "sv, true},
        // the DOM's leniencies, kept so that every file that loaded still loads
        {"<a/><b/>"sv, true},
        {"junk<a/>junk"sv, true},
        {"<a x='<'/>"sv, true},
        {"<a x='&'/>"sv, true},
        {"<a x='&foo;'/>"sv, true},
        {"<a x='1' x='2'/>"sv, true},
        {"<a>&bad;</a>"sv, true},
        {"<a x ='1' y= '2' z = \"3\"/>"sv, true},
        {"<a></a >"sv, true},
        {"<!DOCTYPE a [<!ENTITY e 'x'>]><a/>"sv, true},
        {"<a/><?xml version='1'?>"sv, true},
        {"<![CDATA[x]]><a/>"sv, true},
        {"<?XmL version='1'?><a/>"sv, true},
        {"<?xml-stylesheet href='x'?><a/>"sv, true},
        {"<?xml v='1'>inside</xml><a/>"sv, false}, // no "?>" ends it
        {"<?xml v='1'>inside?></xml><a/>"sv, true},
        {"<?xml v='1'><b/>?></xml><a/>"sv, true},
        {"<a/>\n<"sv, false},
        // refused
        {""sv, false},
        {"   "sv, false},
        {"<!-- only a comment -->"sv, false},
        {"<?xml version='1.0'?>"sv, false},
        {"<?xml v='1'><a/>?></xml>"sv, false}, // no element at document level
        {"<a>"sv, false},
        {"<a></b>"sv, false},
        {"<a></ab>"sv, false},
        {"<ab></a>"sv, false},
        {"<a></ a>"sv, false},
        {"</a>"sv, false},
        {"<a/></a>"sv, false},
        {"< a/>"sv, false},
        {"<a/ >"sv, false},
        {"<a x=1/>"sv, false},
        {"<a x/>"sv, false},
        {"<a x='1'y='2'/>"sv, false},
        {"<a x='1/>"sv, false},
        {"<a x=\"1'/>"sv, false},
        {"<a><!-- open </a>"sv, false},
        {"<a><!- x --></a>"sv, false},
        {"<a><![CDATA[ open </a>"sv, false},
        {"<a><![CDATX[ x ]]></a>"sv, false},
        {"<a><?pi open </a>"sv, false},
        {"<a><!DOCTYPE a></a>"sv, false},
        {"<!DOCTYPE a [<!ENTITY e 'x'>"sv, false},
        {"<!DOCTYPE a \"open><a/>"sv, false},
        {"<a><?xml version='1'?></a>"sv, false},
        {"<?xml version=1?><a/>"sv, false},
        {"<?xml?><a/>"sv, true},
        {"<?xml ?><a/>"sv, true},
        {"<?xml version='1' ?><a/>"sv, true},
        {"<? x?><a/>"sv, false},
        {"<a><!x></a>"sv, false},
        {"<a><1/></a>"sv, false},
        {"<a/><"sv, false},
        // a zero byte ends the document
        {"<a/>\0<<<"sv, true},
        {"<a/>\0x<"sv, true},
        {"<a x='1'/\0x>"sv, false},
        {"<a></a\0x>"sv, false},
        {"<a x='1\0'/>"sv, false},
    };
    for (const auto& c : cases) {
        const QByteArray doc(c.doc.data(), qsizetype(c.doc.size())); // zero bytes included
        EXPECT_EQ(agree(doc), c.ok) << show(doc);
    }
}

TEST(XmlRowReader, EncodingsAgreeWithTheDom)
{
    const QString text = QStringLiteral("<T><r a=\"\u00E9t\u00E9 \u20AC \U0001F600\" b='&#233;'/></T>");
    auto utf16 = [&](bool bigEndian, bool bom) {
        QByteArray b;
        auto put = [&](char16_t u) {
            const char hi = char(u >> 8), lo = char(u & 0xFF);
            b.append(bigEndian ? hi : lo).append(bigEndian ? lo : hi);
        };
        if (bom)
            put(0xFEFF);
        for (const QChar c : text)
            put(c.unicode());
        return b;
    };
    auto utf32 = [&](bool bigEndian, bool bom) {
        QByteArray b;
        auto put = [&](char32_t u) {
            for (int i = 0; i < 4; ++i)
                b.append(char(u >> (bigEndian ? 24 - 8 * i : 8 * i)));
        };
        if (bom)
            put(0xFEFF);
        for (const char32_t u : text.toUcs4())
            put(u);
        return b;
    };
    QByteArray loneSurrogate = utf16(false, true);
    loneSurrogate.insert(10, QByteArray("\x00\xD8", 2));
    const QByteArray refused[] = {
        utf16(false, true).chopped(1), // an odd byte at the end: the last '>' is lost
        utf32(true, true).chopped(2),
    };
    for (const QByteArray& d : refused)
        EXPECT_FALSE(agree(d)) << show(d);
    const QByteArray docs[] = {
        text.toUtf8(),
        "\xEF\xBB\xBF" + text.toUtf8(),
        utf16(false, true),
        utf16(true, true),
        utf16(false, false),
        utf16(true, false),
        loneSurrogate,
        utf32(false, true),
        utf32(true, true),
        utf32(false, false),
        utf32(true, false),
        "<?xml version='1.0' encoding='ISO-8859-1'?><a x='\xE9'/>",
        "<?xml version='1.0' encoding=\"latin1\"?><a x='\xE9\xFF'/>",
        "<?xml version='1.0' encoding='utf-8'?><a x='\xC3\xA9'/>",
        "<?xml version='1.0' encoding='iso-8859-15'?><a x='\xE9'/>",
        "<a x='\xE9\xFF\x80'/>", // not UTF-8 and not declared: Windows-1252
    };
    for (const QByteArray& d : docs)
        EXPECT_TRUE(agree(d)) << show(d);
}

TEST(XmlRowReader, ViewsStayValidWhileTheReaderLives)
{
    XmlRowReader r(QByteArray("<T><r a='&#65;&amp;1'/><r a='x&#x9;y'/></T>"));
    std::vector<std::string_view> values;
    for (auto ev = r.next(); ev != XmlRowReader::Event::Done; ev = r.next()) {
        ASSERT_NE(ev, XmlRowReader::Event::Error) << r.error().toStdString();
        if (ev == XmlRowReader::Event::StartElement && r.depth() == 1)
            values.push_back(r.attributes().at(0).value);
    }
    ASSERT_EQ(values.size(), 2u);
    EXPECT_EQ(values[0], "A&1");
    EXPECT_EQ(values[1], "x\ty"); // a character written as a reference is not normalized
}

TEST(XmlRowReader, RefusalNamesTheFaultAndWhere)
{
    XmlRowReader r(QByteArray("<T><S></T>"));
    EXPECT_EQ(r.next(), XmlRowReader::Event::StartElement);
    EXPECT_EQ(r.next(), XmlRowReader::Event::StartElement);
    EXPECT_EQ(r.next(), XmlRowReader::Event::Error);
    EXPECT_EQ(r.error(), QStringLiteral("Start-end tags mismatch at offset 8"));
}

// Mutated table documents (bytes inserted, deleted, replaced, slices repeated), from a fixed
// seed: the two readers must agree on every one.
TEST(XmlRowReader, MutatedDocumentsAgreeWithTheDom)
{
    std::mt19937 rng(20240611u);
    // Bytes that matter to markup, more often than others.
    const std::string_view markup = "<>/?!-[]&#;'\"= \t\r\nxamlptqugo0129AFCDTE:._\xC3\xA9\0"sv;
    auto pick = [&](size_t n) { return static_cast<size_t>(rng() % n); };
    auto someByte = [&]() { return pick(4) == 0 ? char(rng() & 0xFF) : markup[pick(markup.size())]; };
    int cases = 0, accepted = 0;
    for (int i = 0; i < 6000; ++i) {
        QByteArray d(kSeeds[pick(std::size(kSeeds))]);
        const int edits = 1 + static_cast<int>(pick(3));
        for (int k = 0; k < edits && !d.isEmpty(); ++k) {
            const qsizetype at = qsizetype(pick(size_t(d.size()) + 1));
            switch (pick(5)) {
            case 0:
                d.insert(at, someByte());
                break;
            case 1:
                d.remove(std::min(at, d.size() - 1), qsizetype(1 + pick(3)));
                break;
            case 2:
                d[std::min(at, d.size() - 1)] = someByte();
                break;
            case 3: {
                const qsizetype from = qsizetype(pick(size_t(d.size())));
                d.insert(at, d.mid(from, qsizetype(1 + pick(12))));
                break;
            }
            default:
                d.truncate(at);
                break;
            }
        }
        ++cases;
        accepted += agree(d) ? 1 : 0;
        if (::testing::Test::HasFailure())
            break; // the first disagreement says enough
    }
    // Both kinds of outcome must be well represented for the comparison to mean something.
    EXPECT_GT(accepted, cases / 10);
    EXPECT_LT(accepted, cases * 9 / 10);
}
