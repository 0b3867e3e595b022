// Office exchange through libraries: A1 addresses, .xls workbooks made by the test (Python's
// xlwt) read with libfreexl, .xlsx written with libxlsxwriter and read back with the grid's
// own reader, Python's zipfile and openpyxl, workbooks of another writer, damaged files, the
// RTF table document and its bookmark, the Access query's quoting and errors, and the font
// scaling.
#include "IoFixture.h"
#include "OutsideReaders.h"
#include "controls/grid/io/Office.h"
#include "controls/grid/io/XlsxReader.h"
#include "platform/core/Errors.h"
#include "support/TempDir.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>

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

// --- workbooks keep every value ------------------------------------------------------------------

namespace {

// Texts that trip up exchange formats: quotes and separators, every kind of line break, tabs,
// characters beyond Latin-1 and beyond the BMP, leading zeros and things that look like numbers
// or formulas, markup, control characters and the workbook format's own escape.
struct Awkward {
    const char* name;
    QString text;
};

std::vector<Awkward> awkwardValues()
{
    return {
        {"quotes", QStringLiteral("say \"hi\" and 'bye'")},
        {"separators", QStringLiteral("a,b;c|d")},
        {"tab", QStringLiteral("before\tafter")},
        {"crlf", QStringLiteral("one\r\ntwo")},
        {"lf", QStringLiteral("one\ntwo")},
        {"cr", QStringLiteral("one\rtwo")},
        {"latin", QStringLiteral("Caf\u00E9 \u00DF \u20AC")},
        {"cjk", QStringLiteral("\u4E2D\u6587")},
        {"non-bmp", QString::fromUcs4(U"\U0001F600 \U00010348 \U0002A6D6")},
        {"leading zeros", QStringLiteral("007")},
        {"number-like", QStringLiteral("00123.50")},
        {"exponent-like", QStringLiteral("1E5")},
        {"formula-like", QStringLiteral("=1+2")},
        {"markup", QStringLiteral("<b> & </b> &amp;")},
        {"controls", QString::fromUtf16(u"a\u0001b\u001Bc\u001Fd\u007Fe")},
        {"escape-like", QStringLiteral("_x0041_ and _x005F_")},
        {"blanks", QStringLiteral("  padded  ")},
        {"only blanks", QStringLiteral("   ")},
        {"boolean-like", QStringLiteral("TRUE")},
    };
}

// What a worksheet cell keeps of a text: its line breaks are LF alone.
QString asStored(QString s)
{
    return s.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(u'\r', u'\n');
}

// openpyxl hands texts over as the file stores them, without decoding the workbook's
// "_xHHHH_" escape (of control characters, and of the underscore of a literal "_xHHHH_"),
// except that it removes every "x005F_". So a literal "_x005F_" is lost to openpyxl alone.
QString asOpenpyxlShowsIt(const QString& s)
{
    static const QRegularExpression literal(QStringLiteral("_(x[0-9A-Fa-f]{4}_)"));
    QString stored = s;
    stored.replace(literal, QStringLiteral("_x005F_\\1"));
    QString out;
    for (QChar c : stored)
        if (c.unicode() < 0x20 && c != u'\t' && c != u'\n')
            out += QStringLiteral("_x%1_").arg(int(c.unicode()), 4, 16, QLatin1Char('0')).toUpper().replace(QLatin1String("_X"), QLatin1String("_x"));
        else
            out += c;
    return out.replace(QLatin1String("x005F_"), QString());
}

bool haveOpenpyxl()
{
    bool ok = false;
    runPython(QStringLiteral("import openpyxl\n"), {}, &ok);
    return ok;
}

// Every non-empty cell of a sheet as openpyxl reads it: {"B3": ["s", "text"], ...}.
QJsonObject openpyxlCells(const QString& file, const QString& sheet, QString* error)
{
    bool ok = false;
    const QString out = runPython(QStringLiteral("import openpyxl, json, sys\n"
                                                 "wb = openpyxl.load_workbook(sys.argv[1])\n"
                                                 "ws = wb[sys.argv[2]] if sys.argv[2] else wb.active\n"
                                                 "cells = {}\n"
                                                 "for row in ws.iter_rows():\n"
                                                 "    for c in row:\n"
                                                 "        if c.value is not None:\n"
                                                 "            cells[c.coordinate] = [c.data_type, str(c.value)]\n"
                                                 "print(json.dumps({'sheets': wb.sheetnames, 'cells': cells}))\n"),
                                  {file, sheet}, &ok);
    if (!ok) {
        *error = out;
        return {};
    }
    return QJsonDocument::fromJson(out.toUtf8()).object();
}

} // namespace

TEST(OfficeXlsx, AwkwardValuesRoundTripThroughTheGridsReaderAndOpenpyxl)
{
    TempDir dir;
    const auto values = awkwardValues();
    // One value per row in column B, an empty column A and an empty cell between rows.
    auto g = plainGrid(3, int(values.size()) + 1);
    for (size_t i = 0; i < values.size(); ++i)
        g->SetCells(1, int(i), values[i].text);
    g->SetCells(2, int(values.size()), QStringLiteral("last"));
    SaveToXLSSheet(*g, dir.file("awkward.xlsx"), "Awkward");

    // The grid's own reader: every value exact, line breaks as LF.
    auto back = plainGrid(1, 1);
    back->SaveFixedCells = false;
    LoadFromXLSSheet(*back, dir.file("awkward.xlsx"), "Awkward");
    ASSERT_EQ(back->ColCount(), 2); // the used range B1:C<n>
    ASSERT_EQ(back->RowCount(), int(values.size()) + 1);
    for (size_t i = 0; i < values.size(); ++i)
        EXPECT_EQ(back->Cells(0, int(i)), asStored(values[i].text)) << values[i].name;
    EXPECT_EQ(back->Cells(1, int(values.size())), "last");
    EXPECT_EQ(back->Cells(0, int(values.size())), "");
    for (const Awkward& v : values) {
        if (v.text.contains(u'\r')) {
            EXPECT_FALSE(back->Cells(0, int(&v - values.data())).contains(u'\r')) << v.name;
        }
    }

    // An independent reader sees the same texts, each a text (none turned into a number).
    if (!haveOpenpyxl())
        GTEST_SKIP() << "Python's openpyxl is missing (scripts/setup installs python3-openpyxl)";
    QString error;
    const QJsonObject doc = openpyxlCells(dir.file("awkward.xlsx"), "Awkward", &error);
    ASSERT_FALSE(doc.isEmpty()) << error.toStdString();
    const QJsonObject cells = doc["cells"].toObject();
    EXPECT_EQ(cells.size(), qsizetype(values.size()) + 1);
    for (size_t i = 0; i < values.size(); ++i) {
        const QJsonArray cell = cells[XlsxCellName(1, int(i))].toArray();
        EXPECT_EQ(cell.at(0).toString(), "s") << values[i].name;
        EXPECT_EQ(cell.at(1).toString(), asOpenpyxlShowsIt(asStored(values[i].text))) << values[i].name;
    }
}

TEST(OfficeXlsx, ATextLongerThanACellHoldsIsAnErrorNamingTheCell)
{
    TempDir dir;
    auto g = plainGrid(4, 5);
    g->SetCells(0, 0, QStringLiteral("kept"));
    SaveToXLSSheet(*g, dir.file("book.xlsx"), "Data");
    const QByteArray previous = dir.read("book.xlsx");
    g->SetCells(2, 3, QString(40000, u'x'));
    for (const QString& file : {dir.file("new.xlsx"), dir.file("book.xlsx")}) {
        try {
            SaveToXLSSheet(*g, file, "Data");
            ADD_FAILURE() << "a 40,000-character text was written";
        } catch (const platform::EExtGridError& e) {
            EXPECT_TRUE(e.message().contains("Data!C4")) << e.message().toStdString();
            EXPECT_TRUE(e.message().contains("40000")) << e.message().toStdString();
            EXPECT_TRUE(e.message().contains("32767")) << e.message().toStdString();
        }
    }
    EXPECT_FALSE(dir.exists("new.xlsx"));
    EXPECT_EQ(dir.read("book.xlsx"), previous);
    EXPECT_THROW(SaveToXLS(*g, dir.file("new.xlsx")), platform::EExtGridError);
    EXPECT_FALSE(dir.exists("new.xlsx"));

    // The longest text a cell holds goes through whole, also when it is made of characters
    // beyond the BMP (counted as the format counts them, in UTF-16 units).
    g->SetCells(2, 3, QString(32767, u'y'));
    g->SetCells(3, 4, QString::fromUcs4(U"\U0001F600").repeated(16383));
    SaveToXLS(*g, dir.file("new.xlsx"));
    auto back = plainGrid(1, 1);
    LoadFromXLS(*back, dir.file("new.xlsx"));
    EXPECT_EQ(back->Cells(2, 3), QString(32767, u'y'));
    EXPECT_EQ(back->Cells(3, 4), g->Cells(3, 4));
    g->SetCells(3, 4, QString::fromUcs4(U"\U0001F600").repeated(16384));
    EXPECT_THROW(SaveToXLS(*g, dir.file("new.xlsx")), platform::EExtGridError);
}

TEST(OfficeXlsx, SavingIntoAnExistingWorkbookKeepsItsOtherSheets)
{
    if (!haveOpenpyxl())
        GTEST_SKIP() << "Python's openpyxl is missing (scripts/setup installs python3-openpyxl)";
    TempDir dir;
    bool ok = false;
    const QString made = runPython(
        QStringLiteral("import openpyxl, datetime, sys\n"
                       "wb = openpyxl.Workbook()\n"
                       "a = wb.active; a.title = 'First'\n"
                       "a['A1'] = 'text'; a['B1'] = 42; a['C1'] = 2.5; a['D1'] = True\n"
                       "a['A2'] = datetime.date(2024, 3, 15); a['A2'].number_format = 'yyyy-mm-dd'\n"
                       "a['B2'] = 0.25; a['B2'].number_format = '0.00%'\n"
                       "a['C2'] = '=B1*2'\n"
                       "for r in range(3, 6): a.cell(r, 1, r); a.cell(r, 2, '=A%d*10' % r)\n"
                       "g = wb.create_sheet('Grid'); g['A1'] = 'old'; g['Z99'] = 'old too'\n"
                       "h = wb.create_sheet('Last'); h['B2'] = '007'; h.sheet_state = 'hidden'\n"
                       "wb.save(sys.argv[1])\n"),
        {dir.file("book.xlsx")}, &ok);
    ASSERT_TRUE(ok) << made.toStdString();
    auto g = plainGrid(2, 2);
    g->SetCells(0, 0, QStringLiteral("new"));
    g->SetCells(1, 1, QStringLiteral("grid"));
    SaveToXLSSheet(*g, dir.file("book.xlsx"), "grid"); // the sheet's name in another case
    SaveToXLSSheet(*g, dir.file("book.xlsx"), "Added");

    const QString out = runPython(
        QStringLiteral("import openpyxl, json, sys\n"
                       "wb = openpyxl.load_workbook(sys.argv[1])\n"
                       "d = {'sheets': wb.sheetnames, 'hidden': wb['Last'].sheet_state}\n"
                       "for ws in wb:\n"
                       "    d[ws.title] = {c.coordinate: [c.data_type, str(c.value), c.number_format]\n"
                       "                   for row in ws.iter_rows() for c in row if c.value is not None}\n"
                       "print(json.dumps(d))\n"),
        {dir.file("book.xlsx")}, &ok);
    ASSERT_TRUE(ok) << out.toStdString();
    const QJsonObject doc = QJsonDocument::fromJson(out.toUtf8()).object();
    EXPECT_EQ(doc["sheets"].toArray(), (QJsonArray{"First", "Grid", "Last", "Added"}));
    EXPECT_EQ(doc["hidden"].toString(), "hidden");
    const QJsonObject first = doc["First"].toObject();
    const struct {
        const char* cell;
        const char* type;
        const char* value;
        const char* format;
    } kept[] = {
        {"A1", "s", "text", "General"},   {"B1", "n", "42", "General"},          {"C1", "n", "2.5", "General"},
        {"D1", "b", "True", "General"},   {"A2", "d", "2024-03-15 00:00:00", "yyyy-mm-dd"},
        {"B2", "n", "0.25", "0.00%"},     {"C2", "f", "=B1*2", "General"},       {"B3", "f", "=A3*10", "General"},
        {"B5", "f", "=A5*10", "General"}, {"A5", "n", "5", "General"},
    };
    for (const auto& k : kept) {
        const QJsonArray cell = first[k.cell].toArray();
        EXPECT_EQ(cell.at(0).toString(), k.type) << k.cell;
        EXPECT_EQ(cell.at(1).toString(), k.value) << k.cell;
        EXPECT_EQ(cell.at(2).toString(), k.format) << k.cell;
    }
    EXPECT_EQ(first.size(), 13);
    // The sheet written is the grid alone: its old cells are gone.
    const QJsonObject grid = doc["Grid"].toObject();
    EXPECT_EQ(grid.size(), 2);
    EXPECT_EQ(grid["A1"].toArray().at(1).toString(), "new");
    EXPECT_EQ(grid["B2"].toArray().at(1).toString(), "grid");
    EXPECT_EQ(doc["Last"].toObject()["B2"].toArray().at(1).toString(), "007");
    EXPECT_EQ(doc["Added"].toObject().size(), 2);

    // The grid's reader sees the kept values as the spreadsheet shows them.
    auto back = plainGrid(1, 1);
    LoadFromXLSSheet(*back, dir.file("book.xlsx"), "First");
    EXPECT_EQ(back->Cells(0, 1), "2024-03-15");
    EXPECT_EQ(back->Cells(3, 0), "TRUE");
    EXPECT_EQ(back->Cells(1, 1), "0.25");
    EXPECT_EQ(GetXLSSheets(dir.file("book.xlsx")), (QStringList{"First", "Grid", "Last", "Added"}));
}

TEST(OfficeXlsx, AWorkbookWhoseContentCannotBeKeptIsLeftAsItWas)
{
    TempDir dir;
    auto g = plainGrid(1, 1);
    g->SetCells(0, 0, QStringLiteral("new"));
    // Not a workbook this program writes: never replaced.
    dir.write("notes.xlsx", "plain text, not a workbook");
    dir.write("old.xlsx", dir.read("notes.xlsx"));
    try {
        SaveToXLSSheet(*g, dir.file("notes.xlsx"), "Data");
        ADD_FAILURE();
    } catch (const platform::EExtGridError& e) {
        EXPECT_TRUE(e.message().startsWith("Cannot Create file " + dir.file("notes.xlsx") + ": "))
            << e.message().toStdString();
    }
    EXPECT_EQ(dir.read("notes.xlsx"), dir.read("old.xlsx"));
    if (!haveOpenpyxl())
        GTEST_SKIP() << "Python's openpyxl is missing (scripts/setup installs python3-openpyxl)";
    const struct {
        const char* name;
        const char* make; // Python lines on the workbook wb with its sheet ws
        const char* named;
    } cases[] = {
        {"comment", "from openpyxl.comments import Comment\nws['A1'].comment = Comment('note', 'me')\n", "comments"},
        {"defined name", "from openpyxl.workbook.defined_name import DefinedName\n"
                         "wb.defined_names.append(DefinedName('Rate', attr_text='Data!$A$1'))\n",
         "defined names"},
        {"chart", "from openpyxl.chart import BarChart, Reference\nc = BarChart()\n"
                  "c.add_data(Reference(ws, min_col=1, min_row=1, max_row=1))\nws.add_chart(c, 'C3')\n",
         "drawing"},
    };
    for (const auto& c : cases) {
        const QString file = dir.file(QStringLiteral("%1.xlsx").arg(QString::fromLatin1(c.name).replace(u' ', u'_')));
        bool ok = false;
        const QString made = runPython(QStringLiteral("import openpyxl, sys\nwb = openpyxl.Workbook()\nws = wb.active\n"
                                                      "ws.title = 'Data'\nws['A1'] = 1\n")
                                           + QString::fromLatin1(c.make) + QStringLiteral("wb.save(sys.argv[1])\n"),
                                       {file}, &ok);
        ASSERT_TRUE(ok) << c.name << made.toStdString();
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray before = f.readAll();
        f.close();
        try {
            SaveToXLSSheet(*g, file, "Other");
            ADD_FAILURE() << c.name;
        } catch (const platform::EExtGridError& e) {
            EXPECT_TRUE(e.message().contains(QLatin1String(c.named))) << e.message().toStdString();
            EXPECT_TRUE(e.message().contains("left as it was")) << e.message().toStdString();
        }
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), before) << c.name;
    }
}

TEST(OfficeXlsx, SaveErrorsSayWhy)
{
    TempDir dir;
    auto g = plainGrid(1, 1);
    g->SetCells(0, 0, QStringLiteral("x"));
    const QString file = dir.file("missing/folder/book.xlsx");
    try {
        SaveToXLS(*g, file);
        ADD_FAILURE();
    } catch (const platform::EExtGridError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Cannot Create file %1: No such file or directory").arg(file));
    }
    try {
        SaveToXLSSheet(*g, dir.file("book.xlsx"), QString(32, u'n'));
        ADD_FAILURE();
    } catch (const platform::EExtGridError& e) {
        EXPECT_TRUE(e.message().startsWith("Invalid worksheet name")) << e.message().toStdString();
    }
    EXPECT_THROW(SaveToXLSSheet(*g, dir.file("book.xlsx"), QStringLiteral("a[b]")), platform::EExtGridError);
    EXPECT_FALSE(dir.exists("book.xlsx"));
    // The document table says why as well.
    const QString doc = dir.file("missing/table.rtf");
    try {
        SaveToDOC(*g, doc);
        ADD_FAILURE();
    } catch (const platform::EExtGridError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Cannot Create file %1: No such file or directory").arg(doc));
    }
}

// --- an export that is killed ----------------------------------------------------------------

namespace {

// Stops an export at its second row: tells the parent test so, then waits to be killed.
class StoppingGrid : public TExtStringGridInput {
public:
    QString marker;
    void ExportNotification(TGridExportState state, int row) override
    {
        TExtStringGridInput::ExportNotification(state, row);
        if (state != esExportNextRow || row != 1)
            return;
        QFile f(marker);
        if (f.open(QIODevice::WriteOnly))
            f.close();
        for (int i = 0; i < 600; ++i)
            QThread::msleep(100);
    }
};

QStringList entriesBelow(const QString& folder)
{
    QStringList out;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        out << it.next().mid(folder.size() + 1);
    return out;
}

} // namespace

// Run by OfficeXlsx.AKilledExportLeavesNothingBehindForLong in a process of its own.
TEST(OfficeXlsxChild, DISABLED_ExportThatIsKilled)
{
    const QString dir = qEnvironmentVariable("VN_XLSX_CHILD_DIR");
    if (dir.isEmpty())
        GTEST_SKIP() << "only run as a child process";
    StoppingGrid g;
    g.marker = dir + QStringLiteral("/stopped");
    g.SetColCount(2);
    g.SetRowCount(3);
    g.SetCells(0, 0, QStringLiteral("a"));
    SaveToXLSSheet(g, dir + QStringLiteral("/out/book.xlsx"), "Data");
}

TEST(OfficeXlsx, AKilledExportLeavesNothingBehindForLong)
{
    TempDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath("tmp"));
    ASSERT_TRUE(QDir(dir.path()).mkpath("out"));
    const QByteArray oldTmp = qgetenv("TMPDIR");
    const bool hadTmp = qEnvironmentVariableIsSet("TMPDIR");
    qputenv("TMPDIR", dir.file("tmp").toLocal8Bit());
    struct Restore {
        QByteArray value;
        bool had;
        ~Restore() { had ? qputenv("TMPDIR", value) : qunsetenv("TMPDIR"); }
    } restore{oldTmp, hadTmp};

    for (int kill = 0; kill < 3; ++kill) {
        QFile::remove(dir.file("stopped"));
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("VN_XLSX_CHILD_DIR", dir.path());
        env.insert("TMPDIR", dir.file("tmp"));
        env.insert("QT_QPA_PLATFORM", "offscreen");
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(),
                    {"--gtest_filter=OfficeXlsxChild.DISABLED_ExportThatIsKilled", "--gtest_also_run_disabled_tests"});
        ASSERT_TRUE(child.waitForStarted(10000));
        QElapsedTimer waited;
        waited.start();
        while (!QFile::exists(dir.file("stopped")) && waited.elapsed() < 60000)
            QThread::msleep(20);
        ASSERT_TRUE(QFile::exists(dir.file("stopped"))) << child.readAllStandardError().toStdString();
        child.kill();
        ASSERT_TRUE(child.waitForFinished(10000));
    }
    // A killed export leaves its work folder, but only until the next export starts: three
    // kills leave one folder, not three.
    const QString root = XlsxExportTempRoot();
    ASSERT_TRUE(root.startsWith(dir.file("tmp/")));
    EXPECT_EQ(entriesBelow(root).size(), 1) << entriesBelow(root).join(u' ').toStdString();

    // The next export removes them, and its own goes when it ends.
    auto g = plainGrid(1, 1);
    g->SetCells(0, 0, QStringLiteral("x"));
    SaveToXLS(*g, dir.file("out/book.xlsx"));
    EXPECT_EQ(entriesBelow(root), QStringList());
    // So does an export that fails, at any step.
    g->SetCells(0, 0, QString(40000, u'x'));
    EXPECT_THROW(SaveToXLS(*g, dir.file("out/book.xlsx")), platform::EExtGridError);
    g->SetCells(0, 0, QStringLiteral("x"));
    EXPECT_THROW(SaveToXLS(*g, dir.file("missing/book.xlsx")), platform::EExtGridError);
    EXPECT_EQ(entriesBelow(root), QStringList());
    EXPECT_EQ(entriesBelow(dir.file("out")), QStringList{"book.xlsx"});
}

// --- reading .xlsx workbooks -------------------------------------------------------------------

TEST(OfficeXlsx, WorkbooksOfAnotherWriterLoadAsTheSpreadsheetShowsThem)
{
    if (!haveOpenpyxl())
        GTEST_SKIP() << "Python's openpyxl is missing (scripts/setup installs python3-openpyxl)";
    TempDir dir;
    bool ok = false;
    const QString made = runPython(
        QStringLiteral("import openpyxl, datetime, sys\n"
                       "wb = openpyxl.Workbook()\n"
                       "wb.active.title = 'Cover'; wb.active['A1'] = 'cover'\n"
                       "ws = wb.create_sheet('Values')\n"
                       "ws['B2'] = 'text \\u00e9'; ws['C2'] = 12; ws['D2'] = -0.1; ws['E2'] = False\n"
                       "ws['B3'] = datetime.datetime(2023, 12, 31, 23, 59, 58)\n"
                       "ws['C3'] = datetime.time(7, 5, 0)\n"
                       "ws['D3'] = 1e20; ws['E3'] = 'x\\ny'\n"
                       "wb.active = 1\n"
                       "wb.save(sys.argv[1])\n"),
        {dir.file("other.xlsx")}, &ok);
    ASSERT_TRUE(ok) << made.toStdString();
    // The active sheet; the used range B2:E3 after the fixed column and row.
    auto g = makeGrid(2, 2);
    g->SaveFixedCells = false;
    LoadFromXLS(*g, dir.file("other.xlsx"));
    ASSERT_EQ(g->ColCount(), 5);
    ASSERT_EQ(g->RowCount(), 3);
    const QStringList expected[] = {{QStringLiteral("text \u00E9"), "12", "-0.1", "FALSE"},
                                    {"2023-12-31 23:59:58", "07:05:00", "1e+20", "x\ny"}};
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_EQ(g->Cells(c + 1, r + 1), expected[r][c]) << c << "," << r;
    EXPECT_EQ(GetXLSSheets(dir.file("other.xlsx")), (QStringList{"Cover", "Values"}));
}

TEST(OfficeXlsx, DamagedWorkbooksAreRefusedWithTheReason)
{
    TempDir dir;
    auto g = plainGrid(1, 1);
    g->SetCells(0, 0, QStringLiteral("kept"));
    SaveToXLSSheet(*g, dir.file("good.xlsx"), "Data");
    const QByteArray good = dir.read("good.xlsx");
    // Parts rewritten by Python's zipfile: the name of the part and what it becomes.
    const struct {
        const char* name;
        const char* part;
        const char* content; // nullptr: the part is left out
        const char* reason;
    } cases[] = {
        {"no workbook part", "xl/workbook.xml", nullptr, "part xl/workbook.xml is missing"},
        {"broken XML", "xl/workbook.xml", "<workbook><sheets>", "not well-formed XML"},
        {"cell name", "xl/worksheets/sheet1.xml",
         "<worksheet><sheetData><row r='1'><c r='A0' t='s'><v>0</v></c></row></sheetData></worksheet>", "A0"},
        {"row past the limit", "xl/worksheets/sheet1.xml",
         "<worksheet><sheetData><row r='1048577'><c t='s'><v>0</v></c></row></sheetData></worksheet>", "row"},
        {"text index", "xl/worksheets/sheet1.xml",
         "<worksheet><sheetData><row r='1'><c r='A1' t='s'><v>7</v></c></row></sheetData></worksheet>", "lacks"},
        {"column past the limit", "xl/worksheets/sheet1.xml",
         "<worksheet><sheetData><row r='1'><c r='XFE1' t='s'><v>0</v></c></row></sheetData></worksheet>", "XFE1"},
    };
    for (const auto& c : cases) {
        bool ok = false;
        const QString out = runPython(QStringLiteral("import zipfile, sys\n"
                                                     "src = zipfile.ZipFile(sys.argv[1])\n"
                                                     "dst = zipfile.ZipFile(sys.argv[2], 'w')\n"
                                                     "for n in src.namelist():\n"
                                                     "    if n != sys.argv[3]: dst.writestr(n, src.read(n))\n"
                                                     "    elif sys.argv[4] != '-': dst.writestr(n, sys.argv[4])\n"
                                                     "dst.close()\n"),
                                      {dir.file("good.xlsx"), dir.file("bad.xlsx"), QString::fromLatin1(c.part),
                                       c.content ? QString::fromLatin1(c.content) : QStringLiteral("-")},
                                      &ok);
        ASSERT_TRUE(ok) << out.toStdString();
        try {
            LoadFromXLS(*g, dir.file("bad.xlsx"));
            ADD_FAILURE() << c.name;
        } catch (const platform::EExtGridError& e) {
            EXPECT_TRUE(e.message().startsWith("Incorrect XLSX file: ")) << e.message().toStdString();
            EXPECT_TRUE(e.message().contains(QLatin1String(c.reason))) << c.name << ": " << e.message().toStdString();
        }
        EXPECT_EQ(g->Cells(0, 0), "kept") << c.name;
    }
    dir.write("cut.xlsx", good.left(good.size() / 2));
    EXPECT_THROW(LoadFromXLS(*g, dir.file("cut.xlsx")), platform::EExtGridError);
    EXPECT_EQ(g->Cells(0, 0), "kept");
}

TEST(OfficeXlsx, SharedFormulasMoveTheirRelativeReferences)
{
    const struct {
        const char* formula;
        int rows, cols;
        bool ok;
        const char* moved;
    } cases[] = {
        {"A1*2", 2, 0, true, "A3*2"},
        {"$A1+A$1+$A$1", 1, 1, true, "$A2+B$1+$A$1"},
        {"SUM(B2:C3)", 3, 2, true, "SUM(D5:E6)"},
        {"LOG10(A1)&\"A1\"", 1, 0, true, "LOG10(A2)&\"A1\""},
        {"'Sheet A1'!B2+Other!C3", 0, 1, true, "'Sheet A1'!C2+Other!D3"},
        {"1.5E+3+A1", 1, 0, true, "1.5E+3+A2"},
        {"A1", -1, 0, true, "#REF!"},
        {"SUM(A:A)", 1, 0, false, ""},
        {"SUM(1:1)", 0, 1, false, ""},
        {"Table1[[#This Row],[Col A1]]+A1", 1, 0, true, "Table1[[#This Row],[Col A1]]+A2"},
    };
    for (const auto& c : cases) {
        QString out;
        EXPECT_EQ(ShiftXlsxFormula(QString::fromLatin1(c.formula), c.rows, c.cols, out), c.ok) << c.formula;
        if (c.ok) {
            EXPECT_EQ(out, QString::fromLatin1(c.moved)) << c.formula;
        }
    }
}

// --- .xls through libfreexl ---------------------------------------------------------------------

TEST(OfficeXls, AwkwardValuesWrittenByXlwtReadBackExactly)
{
    TempDir dir;
    const auto values = awkwardValues();
    QJsonArray texts;
    for (const Awkward& v : values)
        texts.append(v.text);
    dir.write("values.json", QJsonDocument(texts).toJson());
    bool ok = false;
    const QString out = runPython(QStringLiteral("import xlwt, json, sys\n"
                                                 "b = xlwt.Workbook()\n"
                                                 "s = b.add_sheet('Awkward')\n"
                                                 "for i, t in enumerate(json.load(open(sys.argv[1], encoding='utf-8'))):\n"
                                                 "    s.write(i, 1, t)\n"
                                                 "s.write(len(json.load(open(sys.argv[1]))), 2, 'last')\n"
                                                 "b.save(sys.argv[2])\n"),
                                  {dir.file("values.json"), dir.file("awkward.xls")}, &ok);
    ASSERT_TRUE(ok) << out.toStdString();
    auto g = plainGrid(1, 1);
    LoadFromXLSSheet(*g, dir.file("awkward.xls"), "Awkward");
    ASSERT_EQ(g->RowCount(), int(values.size()) + 1);
    for (size_t i = 0; i < values.size(); ++i)
        EXPECT_EQ(g->Cells(0, int(i)), values[i].text) << values[i].name;
    EXPECT_EQ(g->Cells(1, int(values.size())), "last");
}

TEST(OfficeXls, ATextLongerThanLibfreexlReadsIsNamedInTheError)
{
    TempDir dir;
    bool ok = false;
    const QString out = runPython(QStringLiteral("import xlwt, sys\n"
                                                 "b = xlwt.Workbook()\n"
                                                 "b.add_sheet('Cover').write(0, 0, 'x')\n"
                                                 "s = b.add_sheet('Data')\n"
                                                 "s.write(0, 0, 'short')\n"
                                                 "s.write(2, 1, 'y' * int(sys.argv[2]))\n"
                                                 "b.save(sys.argv[1])\n"),
                                  {dir.file("long.xls"), "20000"}, &ok);
    ASSERT_TRUE(ok) << out.toStdString();
    auto g = plainGrid(1, 1);
    g->SetCells(0, 0, QStringLiteral("kept"));
    try {
        LoadFromXLSSheet(*g, dir.file("long.xls"), "Data");
        ADD_FAILURE();
    } catch (const platform::EExtGridError& e) {
        EXPECT_TRUE(e.message().startsWith("Incorrect XLS file: ")) << e.message().toStdString();
        EXPECT_TRUE(e.message().contains("Data!B3")) << e.message().toStdString();
        EXPECT_TRUE(e.message().contains("20000")) << e.message().toStdString();
        EXPECT_TRUE(e.message().contains("libfreexl")) << e.message().toStdString();
    }
    EXPECT_EQ(g->Cells(0, 0), "kept");
    // Within the limit the text loads whole.
    runPython(QStringLiteral("import xlwt, sys\n"
                             "b = xlwt.Workbook()\n"
                             "b.add_sheet('Data').write(0, 0, 'y' * 16000)\n"
                             "b.save(sys.argv[1])\n"),
              {dir.file("fits.xls")}, &ok);
    ASSERT_TRUE(ok);
    LoadFromXLS(*g, dir.file("fits.xls"));
    EXPECT_EQ(g->Cells(0, 0), QString(16000, u'y'));
}

TEST(OfficeXls, DamagedFilesAreRefusedBeforeLibfreexlReadsThem)
{
    // Inputs that made libfreexl read outside its buffers, and other damage of the same kinds.
    const QDir corpus(QStringLiteral(VN_SOURCE_DIR "/fuzz/grid_xls/corpus"));
    const QStringList damaged = corpus.entryList({QStringLiteral("regress_*")}, QDir::Files);
    ASSERT_FALSE(damaged.isEmpty());
    for (const QString& name : damaged) {
        auto g = plainGrid(1, 1);
        g->SetCells(0, 0, QStringLiteral("kept"));
        try {
            LoadFromXLS(*g, corpus.filePath(name));
            ADD_FAILURE() << name.toStdString();
        } catch (const platform::EExtGridError& e) {
            EXPECT_TRUE(e.message().startsWith("Incorrect XLS file: ")) << name.toStdString() << e.message().toStdString();
        }
        EXPECT_THROW(GetXLSSheets(corpus.filePath(name)), platform::EExtGridError) << name.toStdString();
        EXPECT_EQ(g->Cells(0, 0), "kept");
    }
}

// --- Access tables ------------------------------------------------------------------------------

TEST(OfficeAccess, AwkwardValuesReadBackExactly)
{
    // The test's database writer keeps texts in code page 1252 (the older Jet 3 format), so the
    // values are those that code page holds.
    TempDir dir;
    std::vector<Awkward> values;
    for (const Awkward& v : awkwardValues()) {
        bool inCodePage = true;
        for (QChar c : v.text)
            inCodePage = inCodePage && (c.unicode() < 0x80 || QStringLiteral("\u00E9\u00DF\u20AC").contains(c));
        if (inCodePage)
            values.push_back(v);
    }
    QJsonArray rows;
    for (size_t i = 0; i < values.size(); ++i)
        rows.append(QJsonArray{values[i].text, int(i)});
    QJsonObject table;
    table["columns"] = QJsonArray{QJsonArray{"Text", "text"}, QJsonArray{"Index", "long"}};
    table["rows"] = rows;
    dir.write("table.json", QJsonDocument(table).toJson());
    QString out;
    ASSERT_EQ(runTool(QStringLiteral("/usr/bin/python3"),
                      {QStringLiteral(VN_SOURCE_DIR "/tests/controls/grid/io/jet3_database.py"), dir.file("t.mdb"),
                       QStringLiteral("Awkward"), dir.file("table.json")},
                      &out),
              0)
        << out.toStdString();
    auto g = plainGrid(1, 1);
    LoadFromMDBTable(*g, dir.file("t.mdb"), "Awkward");
    ASSERT_EQ(g->RowCount(), int(values.size()));
    for (size_t i = 0; i < values.size(); ++i) {
        EXPECT_EQ(g->Cells(1, int(i)), QString::number(i));
        EXPECT_EQ(g->Cells(0, int(i)), values[i].text) << values[i].name;
    }
}

TEST(OfficeAccess, ADamagedDatabaseIsAnErrorAndTheGridStaysAsItWas)
{
    // A database whose page map sends mdbtools to a null pointer (found by fuzzing): the read
    // ends in an error, and this process goes on.
    auto g = plainGrid(2, 2);
    g->SetCells(1, 1, QStringLiteral("kept"));
    try {
        LoadFromMDBTable(*g, QStringLiteral(VN_SOURCE_DIR "/fuzz/grid_mdb/corpus/regress_page_map.mdb"), "Meter List");
        ADD_FAILURE();
    } catch (const platform::Exception& e) {
        EXPECT_TRUE(e.message().startsWith("Incorrect database file ")) << e.message().toStdString();
    }
    EXPECT_EQ(g->ColCount(), 2);
    EXPECT_EQ(g->Cells(1, 1), "kept");
}

TEST(OfficeDoc, AwkwardValuesInTheTableDocumentReadBackByAnRtfReader)
{
    TempDir dir;
    auto values = awkwardValues();
    values.push_back({"40,000 characters", QString(20000, u'z') + QString::fromUcs4(U"\U0001F600").repeated(10000)});
    auto g = plainGrid(2, int(values.size()));
    for (size_t i = 0; i < values.size(); ++i) {
        g->SetCells(0, int(i), QString::number(i));
        g->SetCells(1, int(i), values[i].text);
    }
    SaveToDOC(*g, dir.file("table.rtf"), QStringLiteral("Caption {with} \\ braces"));
    // A small reader of RTF as its specification describes it: groups, control words, \uN
    // with its one replacement character, \'hh, escaped symbols; the font table is skipped.
    bool ok = false;
    const QString out = runPython(
        QStringLiteral("import re, json, sys\n"
                       "rtf = open(sys.argv[1], encoding='latin-1').read()\n"
                       "tok = re.compile(r\"\\\\([a-z]+)(-?\\d+)? ?|\\\\'([0-9a-f]{2})|\\\\([\\\\{}])|([{}])|([\\r\\n])|(.)\", re.S)\n"
                       "units, rows, row, skip, depth, skipdepth = [], [], [], 0, 0, None\n"
                       "def text(): return bytes(units).decode('utf-16-le', 'surrogatepass') if units else ''\n"
                       "def add(s):\n"
                       "    global skip\n"
                       "    if skipdepth is not None: return\n"
                       "    for ch in s:\n"
                       "        if skip: skip -= 1; continue\n"
                       "        units.extend(ch.encode('utf-16-le', 'surrogatepass'))\n"
                       "para = []\n"
                       "for m in tok.finditer(rtf):\n"
                       "    word, num, hexa, esc, brace, nl, ch = m.groups()\n"
                       "    if brace == '{': depth += 1; continue\n"
                       "    if brace == '}':\n"
                       "        if skipdepth == depth: skipdepth = None\n"
                       "        depth -= 1; continue\n"
                       "    if nl: continue\n"
                       "    if skipdepth is not None: continue\n"
                       "    if word == 'fonttbl': skipdepth = depth; continue\n"
                       "    if word == 'u':\n"
                       "        n = int(num); n = n + 65536 if n < 0 else n\n"
                       "        units.extend(n.to_bytes(2, 'little')); skip = 1; continue\n"
                       "    if word == 'line': add('\\n')\n"
                       "    elif word == 'tab': add('\\t')\n"
                       "    elif word == 'par': para.append(text()); units = []\n"
                       "    elif word == 'cell': row.append(text()); units = []\n"
                       "    elif word == 'row': rows.append(row); row = []\n"
                       "    elif word: pass\n"
                       "    elif hexa: add(bytes([int(hexa, 16)]).decode('cp1252'))\n"
                       "    elif esc: add(esc)\n"
                       "    elif ch: add(ch)\n"
                       "print(json.dumps({'paragraphs': para, 'rows': rows}))\n"),
        {dir.file("table.rtf")}, &ok);
    ASSERT_TRUE(ok) << out.toStdString();
    const QJsonObject doc = QJsonDocument::fromJson(out.toUtf8()).object();
    EXPECT_EQ(doc["paragraphs"].toArray().at(0).toString(), "Caption {with} \\ braces");
    const QJsonArray rows = doc["rows"].toArray();
    ASSERT_EQ(rows.size(), qsizetype(values.size()));
    for (size_t i = 0; i < values.size(); ++i) {
        const QJsonArray row = rows.at(qsizetype(i)).toArray();
        EXPECT_EQ(row.at(0).toString(), QString::number(i));
        EXPECT_EQ(row.at(1).toString(), asStored(values[i].text)) << values[i].name;
    }
}
