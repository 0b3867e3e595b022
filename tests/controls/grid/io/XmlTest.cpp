// XML export and import: the grid's "$amp;" coding, element names, merged and empty cells,
// round trips of random grids that xmllint takes as well-formed, the reader's rules for
// attributes, leaves and header names, the declared encoding, and damaged documents.
#include "IoFixture.h"
#include "OutsideReaders.h"
#include "controls/grid/io/Xml.h"
#include "platform/core/Errors.h"
#include "support/TempDir.h"

using namespace iotest;
using namespace controls::grid::io;
using testing_support::TempDir;

TEST(Xml, GoldenDocumentOfTheFormat)
{
    auto g = plainGrid(3, 2);
    g->SetCells(0, 0, QStringLiteral("a & b"));
    g->SetCells(1, 0, QStringLiteral("x<y"));
    g->SetCells(2, 0, QStringLiteral("third"));
    g->SetCells(0, 1, QStringLiteral("\u00E9\u4E2D"));
    const QStringList names{QStringLiteral("Name"), QStringLiteral("Type")};
    const QByteArray xml = SaveToXMLBytes(*g, "LIST", "REC", &names, false);
    EXPECT_EQ(xml, testing_support::dataFile("grid/xml_export.xml"));
    EXPECT_TRUE(xml.contains("<Name>a $amp; b</Name>"));
    EXPECT_TRUE(xml.contains("<FIELD2>third</FIELD2>"));
    EXPECT_TRUE(xml.contains("<Name>\xE9&#20013;</Name>")); // ISO-8859-1 bytes, a reference beyond
    auto b = plainGrid(1, 1);
    LoadFromXMLData(*b, xml);
    EXPECT_EQ(b->Cells(0, 0), "a & b");
    EXPECT_EQ(b->Cells(1, 0), "x<y");
    EXPECT_EQ(b->Cells(0, 1), "\u00E9\u4E2D");
}

TEST(Xml, MergedAndEmptyCells)
{
    auto g = plainGrid(3, 1);
    g->MergeCells(0, 0, 2, 1);
    g->SetCells(0, 0, QStringLiteral("m"));
    const QByteArray noEmpty = SaveToXMLBytes(*g, "L", "R", nullptr, false);
    EXPECT_TRUE(noEmpty.contains("<FIELD0>m</FIELD0>"));
    EXPECT_FALSE(noEmpty.contains("FIELD1"));
    EXPECT_FALSE(noEmpty.contains("FIELD2"));
    const QByteArray withEmpty = SaveToXMLBytes(*g, "L", "R", nullptr, true);
    EXPECT_TRUE(withEmpty.contains("<FIELD2>&quot;&quot;</FIELD2>"));
    auto b = plainGrid(1, 1);
    b->SetCells(1, 0, QStringLiteral("stale"));
    LoadFromXMLData(*b, withEmpty);
    EXPECT_EQ(b->Cells(1, 0), "");
    EXPECT_EQ(b->ColCount(), 2);
    EXPECT_THROW(SaveToXMLBytes(*g, "bad name", "R", nullptr, false), platform::EExtGridError);
}

TEST(Xml, RandomGridsRoundTripAndXmllintAcceptsThem)
{
    TempDir dir;
    for (const char* encoding : {"ISO-8859-1", "UTF-8", "UTF-16"}) {
        auto a = plainGrid(5, 6);
        fillRandom(*a, 61);
        a->XMLEncoding = QString::fromLatin1(encoding);
        SaveToXML(*a, dir.file("r.xml"), "GRID", "ROW", nullptr, true);
        QString out;
        EXPECT_EQ(runTool("xmllint", {"--noout", "--nonet", dir.file("r.xml")}, &out), 0) << out.toStdString();
        auto b = plainGrid(1, 1);
        LoadFromXML(*b, dir.file("r.xml"));
        ASSERT_EQ(b->RowCount(), 6) << encoding;
        expectSameTexts(*a, *b);
    }
}

TEST(Xml, ReaderRulesForAttributesLeavesAndHeaderNames)
{
    auto g = plainGrid(1, 1);
    // One field element in a record is one leaf: its text is the row's first cell.
    LoadFromXMLData(*g, "<L><R><F>only</F></R><R><A>1</A><B>2</B></R></L>");
    EXPECT_EQ(g->Cells(0, 0), "only");
    EXPECT_EQ(g->Cells(1, 1), "2");
    // Attributes are cells too; with LoadFieldDescr the names fill empty header cells of row 0.
    auto h = makeGrid(1, 2);
    h->SetFixedCols(0);
    h->SetFixedRows(1);
    h->SaveFixedCells = false;
    h->SaveFixedRows = true;
    LoadFromXMLData(*h, "<L><R id=\"7\"><Name>n</Name><Unit>V</Unit></R></L>", false, true);
    EXPECT_EQ(h->Cells(0, 0), "id");
    EXPECT_EQ(h->Cells(1, 0), "Name");
    EXPECT_EQ(h->Cells(0, 1), "7");
    EXPECT_EQ(h->Cells(2, 1), "V");
}

TEST(Xml, DamagedDocumentsAndMissingFiles)
{
    auto g = plainGrid(2, 2);
    g->SetCells(0, 0, QStringLiteral("keep"));
    try {
        LoadFromXMLData(*g, "<L>\n<R><A>1</A></R>\n<R><B>2</A></R></L>");
        ADD_FAILURE();
    } catch (const platform::Exception& e) {
        EXPECT_TRUE(e.message().startsWith("XMLDOM Parsing error ")) << e.message().toStdString();
        EXPECT_TRUE(e.message().endsWith(" on line 3")) << e.message().toStdString();
    }
    EXPECT_EQ(g->Cells(0, 0), "keep");
    // No external entity or DTD is loaded.
    LoadFromXMLData(*g, "<!DOCTYPE L [<!ENTITY x SYSTEM \"file:///etc/passwd\">]><L><R><A>&x;</A></R></L>");
    EXPECT_FALSE(g->Cells(0, 0).contains("root"));
    try {
        LoadFromXML(*g, "/nonexistent/file.xml");
        ADD_FAILURE();
    } catch (const platform::Exception& e) {
        EXPECT_EQ(e.message(), "XML file not found");
    }
}
