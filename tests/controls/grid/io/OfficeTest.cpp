// Office exchange through libraries: A1 addresses, .xls workbooks made by the test (Python's
// xlwt) read with libfreexl, .xlsx written with libxlsxwriter and read back with Python's
// zipfile, the RTF table document and its bookmark, the Access query's quoting and errors,
// and the font scaling.
#include "IoFixture.h"
#include "OutsideReaders.h"
#include "controls/grid/io/Office.h"
#include "platform/core/Errors.h"
#include "support/TempDir.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace iotest;
using namespace controls::grid::io;
using testing_support::TempDir;

TEST(Office, A1AddressesBothWays)
{
    const struct {
        int col;
        const char* letters;
    } cols[] = {{1, "A"}, {26, "Z"}, {27, "AA"}, {52, "AZ"}, {53, "BA"}, {702, "ZZ"}, {703, ""}, {0, ""}};
    for (const auto& c : cols)
        EXPECT_EQ(ColumnLetters(c.col), QString::fromLatin1(c.letters)) << c.col;
    const struct {
        const char* address;
        bool ok;
        QRect range;
    } ranges[] = {
        {"$B$2:$D$5", true, QRect(QPoint(2, 2), QPoint(4, 5))},
        {"$C$7", true, QRect(QPoint(3, 7), QPoint(3, 7))},
        {"$3:$7", true, QRect(QPoint(1, 3), QPoint(256, 7))},
        {"A1", true, QRect(QPoint(1, 1), QPoint(1, 1))},
        {"$AA$10:$AB$12", true, QRect(QPoint(27, 10), QPoint(28, 12))},
        {"$B$x:$D$5", false, QRect()},
    };
    for (const auto& r : ranges) {
        QRect got;
        EXPECT_EQ(ParseA1Range(QString::fromLatin1(r.address), got), r.ok) << r.address;
        if (r.ok) {
            EXPECT_EQ(got, r.range) << r.address;
        }
    }
}

TEST(Office, XlsWorkbooksMadeByTheTestReadToTheSameValues)
{
    TempDir dir;
    bool ok = false;
    const QString out = runPython(QStringLiteral("import xlwt, sys\n"
                                                 "b = xlwt.Workbook()\n"
                                                 "s = b.add_sheet('Data')\n"
                                                 "for r in range(1, 5):\n"
                                                 "    for c in range(1, 4):\n"
                                                 "        s.write(r, c, 'r%dc%d \\u00e9' % (r, c) if c != 2 else r * 10)\n"
                                                 "b.add_sheet('Other').write(0, 0, 'alone')\n"
                                                 "b.save(sys.argv[1])\n"),
                                  {dir.file("book.xls")}, &ok);
    ASSERT_TRUE(ok) << out.toStdString();
    EXPECT_EQ(GetXLSSheets(dir.file("book.xls")), (QStringList{"Data", "Other"}));
    // The used range B2:D5: 3 columns and 4 rows, after the fixed column and row when fixed
    // cells are not part of the save settings.
    auto g = makeGrid(2, 2);
    g->SaveFixedCells = false;
    LoadFromXLS(*g, dir.file("book.xls"));
    EXPECT_EQ(g->ColCount(), 4);
    EXPECT_EQ(g->RowCount(), 5);
    EXPECT_EQ(g->Cells(1, 1), "r1c1 \u00E9");
    EXPECT_EQ(g->Cells(2, 1), "10");
    EXPECT_EQ(g->Cells(3, 4), "r4c3 \u00E9");
    auto one = makeGrid(1, 1);
    LoadFromXLSSheet(*one, dir.file("book.xls"), "Other");
    EXPECT_EQ(one->Cells(0, 0), "alone");
    try {
        LoadFromXLSSheet(*one, dir.file("book.xls"), "Missing");
        ADD_FAILURE();
    } catch (const platform::EExtGridError& e) {
        EXPECT_EQ(e.message(), "Excel worksheet Missing not found");
    }
    dir.write("fake.xls", "not a workbook");
    EXPECT_THROW(LoadFromXLS(*one, dir.file("fake.xls")), platform::EExtGridError);
}

TEST(Office, XlsxReadBackWithZipfileGivesTheSameValues)
{
    TempDir dir;
    auto g = makeGrid(4, 5);
    fillRandom(*g, 71, kNoControls);
    SaveToXLSSheet(*g, dir.file("out.xlsx"), "Grid");
    bool ok = false;
    const QString out = runPython(
        QStringLiteral("import zipfile, json, sys, re\n"
                       "import xml.etree.ElementTree as ET\n"
                       "ns = {'m': 'http://schemas.openxmlformats.org/spreadsheetml/2006/main'}\n"
                       "z = zipfile.ZipFile(sys.argv[1])\n"
                       "book = ET.fromstring(z.read('xl/workbook.xml'))\n"
                       "names = [s.get('name') for s in book.find('m:sheets', ns)]\n"
                       "sst = []\n"
                       "if 'xl/sharedStrings.xml' in z.namelist():\n"
                       "    for si in ET.fromstring(z.read('xl/sharedStrings.xml')).findall('m:si', ns):\n"
                       "        sst.append(''.join(t.text or '' for t in si.iter('{%s}t' % ns['m'])))\n"
                       "cells = {}\n"
                       "for c in ET.fromstring(z.read('xl/worksheets/sheet1.xml')).iter('{%s}c' % ns['m']):\n"
                       "    v = c.find('m:v', ns)\n"
                       "    cells[c.get('r')] = sst[int(v.text)] if c.get('t') == 's' else v.text\n"
                       "print(json.dumps({'names': names, 'cells': cells}))\n"),
        {dir.file("out.xlsx")}, &ok);
    ASSERT_TRUE(ok) << out.toStdString();
    const QJsonObject doc = QJsonDocument::fromJson(out.toUtf8()).object();
    EXPECT_EQ(doc["names"].toArray().at(0).toString(), "Grid");
    const QJsonObject cells = doc["cells"].toObject();
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 4; ++c) {
            const QString ref = ColumnLetters(c + 1) + QString::number(r + 1);
            EXPECT_EQ(cells[ref].toString(), g->Cells(c, r)) << ref.toStdString();
        }
}

TEST(Office, RtfTableDocumentAndBookmarks)
{
    TempDir dir;
    auto g = makeGrid(2, 2);
    g->SetCells(0, 0, QStringLiteral("a{b}"));
    g->SetCells(1, 1, QStringLiteral("\u00E9"));
    g->SetAlignments(1, 1, platform::Alignment::taRightJustify);
    SaveToDOC(*g, dir.file("t.rtf"), "Caption");
    const QByteArray rtf = dir.read("t.rtf");
    EXPECT_TRUE(rtf.startsWith("{\\rtf1"));
    EXPECT_TRUE(rtf.contains("Caption\\par"));
    EXPECT_EQ(rtf.count("\\row"), 2);
    EXPECT_TRUE(rtf.contains("a\\{b\\}\\cell"));
    EXPECT_TRUE(rtf.contains("\\qr \\u233?\\cell"));
    dir.write("doc.rtf", "{\\rtf1 Before {\\*\\bkmkstart here}{\\*\\bkmkend here} After}");
    AppendToDoc(*g, dir.file("doc.rtf"), "here");
    const QByteArray appended = dir.read("doc.rtf");
    EXPECT_LT(appended.indexOf("\\trowd"), appended.indexOf("After"));
    // A bookmark the document lacks: the table goes to the end.
    dir.write("doc2.rtf", "{\\rtf1 Text}");
    AppendToDoc(*g, dir.file("doc2.rtf"), "none");
    EXPECT_GT(dir.read("doc2.rtf").indexOf("\\trowd"), dir.read("doc2.rtf").indexOf("Text"));
}

TEST(Office, AccessQueriesQuoteTheTableAndReportErrors)
{
    EXPECT_EQ(MDBTableQuery("Meters"), "SELECT * FROM [Meters]");
    EXPECT_EQ(MDBTableQuery("x]; DROP TABLE y; ["), "SELECT * FROM [x; DROP TABLE y; ]");
    TempDir dir;
    auto g = makeGrid(2, 2);
    EXPECT_THROW(LoadFromMDBTable(*g, dir.file("none.mdb"), "T"), platform::Exception);
    dir.write("bad.mdb", QByteArray(4096, 'x'));
    EXPECT_THROW(LoadFromMDBTable(*g, dir.file("bad.mdb"), "T"), platform::Exception);
}

TEST(Office, AccessQueriesReadADatabaseMadeByTheTest)
{
    TempDir dir;
    dir.write("table.json", "{\"columns\": [[\"Name\", \"text\"], [\"Unit\", \"text\"], [\"Address\", \"long\"]],"
                           " \"rows\": [[\"Pump\", \"kW\", 12], [\"Fan\", null, 7],"
                           " [\"Caf\\u00e9 m\\u00e8tre\", \"m3\", -1]]}");
    QString out;
    ASSERT_EQ(runTool(QStringLiteral("/usr/bin/python3"),
                      {QStringLiteral(VN_SOURCE_DIR "/tests/controls/grid/io/jet3_database.py"), dir.file("meters.mdb"),
                       QStringLiteral("Meter List"), dir.file("table.json")},
                      &out),
              0)
        << out.toStdString();
    // The whole table, its name quoted (it holds a blank): names in the fixed row, null as empty.
    auto g = makeGrid(2, 2); // one fixed column and row
    LoadFromMDBTable(*g, dir.file("meters.mdb"), "Meter List");
    ASSERT_EQ(g->ColCount(), 4);
    ASSERT_EQ(g->RowCount(), 4);
    const QStringList expected[] = {{"Name", "Unit", "Address"},
                                    {"Pump", "kW", "12"},
                                    {"Fan", "", "7"},
                                    {QStringLiteral("Caf\u00E9 m\u00E8tre"), "m3", "-1"}};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(g->Cells(c + 1, r), expected[r][c]) << c << "," << r;
    // A query of its own: chosen columns in its order. (No WHERE here: mdbtools' SQL engine
    // leaks a node of every condition, which the sanitizer of the tests reports.)
    auto q = makeGrid(2, 2);
    q->SetFixedCols(0);
    LoadFromMDBSQL(*q, dir.file("meters.mdb"), "SELECT Address, Name FROM [Meter List]");
    EXPECT_EQ(q->ColCount(), 2);
    EXPECT_EQ(q->RowCount(), 4);
    EXPECT_EQ(q->Cells(0, 0), "Address");
    EXPECT_EQ(q->Cells(0, 1), "12");
    EXPECT_EQ(q->Cells(1, 1), "Pump");
    EXPECT_EQ(q->Cells(0, 3), "-1");
    // A table the database lacks and a broken query are errors; the grid keeps its cells.
    EXPECT_THROW(LoadFromMDBTable(*q, dir.file("meters.mdb"), "Missing"), platform::Exception);
    EXPECT_THROW(LoadFromMDBSQL(*q, dir.file("meters.mdb"), "SELECT FROM WHERE"), platform::Exception);
    EXPECT_EQ(q->Cells(1, 1), "Pump");
}

TEST(Office, ChangeScaleScalesTheExtraFonts)
{
    auto g = makeGrid(1, 1);
    QFont f = g->FixedFont();
    f.setPointSize(10);
    g->SetFixedFont(f);
    f.setPointSize(9);
    g->SetActiveCellFont(f);
    ChangeScale(*g, 3, 2);
    EXPECT_EQ(g->FixedFont().pointSize(), 15);
    EXPECT_EQ(g->ActiveCellFont().pointSize(), 14); // 13.5 to the nearest
    ChangeScale(*g, 2, 2);
    EXPECT_EQ(g->FixedFont().pointSize(), 15);
}
