#include "platform/xml/XmlDom.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace platform;
using testing_support::TempDir;

TEST(XmlDom, BuildsAndSavesWithoutDeclarationOrIndentation)
{
    XmlDocument d;
    XmlNode root = d.appendElement(QStringLiteral("Conf_Settings"));
    root.appendElement(QStringLiteral("lastproj")).appendTextElement(QStringLiteral("projectname"), QStringLiteral("P1"));
    root.appendElement(QStringLiteral("empty")).appendTextElement(QStringLiteral("v"), QString());
    d.appendComment(QStringLiteral("SW_VERSION = 3"));
    EXPECT_EQ(d.toBytes(), QByteArray("<Conf_Settings><lastproj><projectname>P1</projectname></lastproj>"
                                      "<empty><v/></empty></Conf_Settings><!--SW_VERSION = 3-->"));
    XmlSaveOptions indented;
    indented.indent = QStringLiteral("  ");
    EXPECT_EQ(d.toBytes(indented), QByteArray("<Conf_Settings>\n  <lastproj>\n    <projectname>P1</projectname>\n"
                                              "  </lastproj>\n  <empty>\n    <v />\n  </empty>\n</Conf_Settings>\n"
                                              "<!--SW_VERSION = 3-->\n"));
}

TEST(XmlDom, ReadsElementsAttributesAndTellsAbsentFromEmpty)
{
    XmlDocument d;
    ASSERT_TRUE(d.loadBytes("<R a=\"1\" b=\"\"><x>hi</x><y></y><x>second</x></R>"));
    XmlNode r = d.firstNode();
    EXPECT_EQ(r.name(), QStringLiteral("R"));
    EXPECT_EQ(r.attribute(QStringLiteral("a")), QStringLiteral("1"));
    EXPECT_EQ(r.attribute(QStringLiteral("b")), QString());
    EXPECT_EQ(r.attribute(QStringLiteral("c")), std::nullopt);
    EXPECT_EQ(r.elementText(QStringLiteral("x")), QStringLiteral("hi")); // the first of a name
    EXPECT_EQ(r.elementText(QStringLiteral("y")), QString());
    EXPECT_EQ(r.elementText(QStringLiteral("X")), std::nullopt);        // case matters
    EXPECT_EQ(r.childCount(), 3);
    EXPECT_EQ(r.elementAt(2).text(), QStringLiteral("second"));
    EXPECT_TRUE(r.elementAt(3).isNull());
    EXPECT_TRUE(r.child(-1).isNull());
}

TEST(XmlDom, FirstNodeKeepsDeclarationsAndComments)
{
    XmlDocument d;
    ASSERT_TRUE(d.loadBytes("<?xml version=\"1.0\"?><!-- c --><Par_Gen><a>1</a></Par_Gen>"));
    EXPECT_EQ(d.firstNode().kind(), XmlNodeKind::Declaration);
    EXPECT_EQ(d.rootElement().name(), QStringLiteral("Par_Gen"));
    EXPECT_EQ(d.childCount(), 3);
}

TEST(XmlDom, BadInputLeavesAnEmptyDocument)
{
    XmlDocument d;
    QString err;
    for (const char* bad : {"<a><b></a>", "", "\xFF\xFE\x00garbage"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(d.loadBytes(QByteArray(bad), &err));
        EXPECT_TRUE(d.firstNode().isNull());
    }
    // External entities are never fetched; the document type is skipped.
    EXPECT_TRUE(d.loadBytes("<!DOCTYPE r [<!ENTITY e SYSTEM \"file:///etc/passwd\">]><r>x</r>"));
    EXPECT_EQ(d.rootElement().text(), QStringLiteral("x"));
    TempDir t;
    EXPECT_FALSE(d.load(t.file(QStringLiteral("missing.xml")), &err));
}

TEST(XmlDom, UnicodeRoundTripsThroughAFile)
{
    TempDir t;
    XmlDocument d;
    d.appendElement(QStringLiteral("r")).setAttribute(QStringLiteral("name"), QStringLiteral("K\u00fchler <1> & \"2\""));
    ASSERT_TRUE(d.save(t.file(QStringLiteral("u.xml"))));
    XmlDocument e;
    ASSERT_TRUE(e.load(t.file(QStringLiteral("u.xml"))));
    EXPECT_EQ(e.firstNode().attribute(QStringLiteral("name")), QStringLiteral("K\u00fchler <1> & \"2\""));
    e.firstNode().setAttribute(QStringLiteral("name"), QStringLiteral("x"));
    EXPECT_EQ(e.firstNode().attributeCount(), 1);
    e.clear();
    EXPECT_EQ(e.childCount(), 0);
}

TEST(XmlDom, BlankOnlyTextIsAValue)
{
    XmlDocument d;
    ASSERT_TRUE(d.loadBytes("<r>\n  <a>  </a>\n  <b> x </b>\n  <c/>\n</r>"));
    XmlNode r = d.rootElement();
    EXPECT_EQ(r.elementText(QStringLiteral("a")), QStringLiteral("  "));
    EXPECT_EQ(r.elementText(QStringLiteral("b")), QStringLiteral(" x "));
    EXPECT_EQ(r.elementText(QStringLiteral("c")), QString());
    EXPECT_EQ(r.elementCount(), 3);
}

TEST(XmlDom, AttributeViewsGiveTheDocumentsOwnTextInOrder)
{
    XmlDocument d;
    ASSERT_TRUE(d.loadBytes("<r b=\"2\" a=\"\" c=\"\xC3\xA9\"/>"));
    XmlAttributeView v[2];
    EXPECT_EQ(d.firstNode().attributeViews(v, 2), 2); // no more than asked for
    XmlAttributeView all[4];
    ASSERT_EQ(d.firstNode().attributeViews(all, 4), 3);
    EXPECT_STREQ(all[0].name, "b");
    EXPECT_STREQ(all[0].value, "2");
    EXPECT_STREQ(all[1].name, "a");
    EXPECT_STREQ(all[1].value, "");
    EXPECT_STREQ(all[2].value, "\xC3\xA9");
    EXPECT_EQ(XmlNode().attributeViews(all, 4), 0);
}

// An 8-bit file is read in the encoding its declaration names, and written back in it; text
// that the declared encoding cannot hold is written as UTF-8 under a declaration that says so.
// A file without a declared encoding that is not valid UTF-8 is read as Windows-1252.
TEST(XmlDom, EightBitFilesKeepTheirEncoding)
{
    struct Case {
        const char* name;
        QByteArray file;
        QString value;        // the attribute and the text as read
        QString written;      // the value written back
        QByteArray savedBytes; // the whole file saved after writing `written`
    };
    const QString cafe = QStringLiteral("caf\u00E9");
    const QString euro = QStringLiteral("caf\u00E9 \u20AC");
    const Case cases[] = {
        {"ISO-8859-1 kept", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><P a=\"caf\xE9\">caf\xE9</P>", cafe, cafe,
         "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><P a=\"caf\xE9\">caf\xE9</P>"},
        {"latin1 that cannot hold the euro: UTF-8 declared",
         "<?xml version='1.0' encoding='latin1'?><P a='caf\xE9'>caf\xE9</P>", cafe, euro,
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?><P a=\"caf\xC3\xA9 \xE2\x82\xAC\">caf\xC3\xA9 \xE2\x82\xAC</P>"},
        {"Windows-1252 kept", "<?xml version=\"1.0\" encoding=\"windows-1252\"?><P a=\"caf\xE9 \x80\">x</P>", euro, euro,
         "<?xml version=\"1.0\" encoding=\"windows-1252\"?><P a=\"caf\xE9 \x80\">caf\xE9 \x80</P>"},
        {"no declaration, not UTF-8: Windows-1252, written as UTF-8", "<P a=\"caf\xE9 \x80\">x</P>", euro, euro,
         "<P a=\"caf\xC3\xA9 \xE2\x82\xAC\">caf\xC3\xA9 \xE2\x82\xAC</P>"},
        {"no declaration, UTF-8", "<P a=\"caf\xC3\xA9\">x</P>", cafe, cafe, "<P a=\"caf\xC3\xA9\">caf\xC3\xA9</P>"},
    };
    for (const Case& c : cases) {
        TempDir dir;
        const QString path = dir.write(QStringLiteral("f.xml"), c.file);
        XmlDocument d;
        ASSERT_TRUE(d.load(path)) << c.name;
        EXPECT_EQ(d.rootElement().attribute(QStringLiteral("a")), c.value) << c.name;
        d.rootElement().setText(c.written);
        d.rootElement().setAttribute(QStringLiteral("a"), c.written);
        ASSERT_TRUE(d.save(path)) << c.name;
        EXPECT_EQ(dir.read(QStringLiteral("f.xml")), c.savedBytes) << c.name;
        XmlDocument again;
        ASSERT_TRUE(again.load(path)) << c.name;
        EXPECT_EQ(again.rootElement().text(), c.written) << c.name;
    }
}
