// The column layout, the look and the print settings kept between runs: the column-state
// string (checked whole before it changes anything), the "Col" and "Pos" keys in an INI file
// or the per-user file for the registry, the visual-properties file and the print settings.
#include "IoFixture.h"
#include "controls/grid/io/ColumnStates.h"
#include "controls/grid/io/IniFile.h"
#include "platform/core/Errors.h"
#include "support/TempDir.h"

#include <QFile>
#include <QStandardPaths>
#include <QWidget>

using namespace iotest;
using namespace controls::grid::io;
using testing_support::TempDir;

namespace {

std::unique_ptr<TExtStringGridInput> named(int cols)
{
    auto g = makeGrid(cols, 3);
    g->SetFixedCols(0);
    for (int c = 0; c < cols; ++c)
        g->SetCells(c, 0, QStringLiteral("c%1").arg(c));
    return g;
}

QStringList headers(TExtStringGrid& g)
{
    QStringList h;
    for (int c = 0; c < g.ColCount(); ++c)
        h << g.Cells(g.RealColIndex(c), 0);
    return h;
}

} // namespace

TEST(ColumnStates, TheStringDescribesWidthsOrderAndHiddenColumns)
{
    auto g = named(3);
    g->setDefaultColWidth(64);
    g->setColWidths(0, 64);
    g->setColWidths(1, 80);
    g->setColWidths(2, 64);
    g->HideColumn(2);
    EXPECT_EQ(ColumnStatesToString(*g), "3#64,80,64#0,1,2#1,1,0");
    const QString state = ColumnStatesToString(*g);
    StringToColumnStates(*g, state);
    EXPECT_EQ(ColumnStatesToString(*g), state);

    // Column 3 moved to position 1 saves 0,3,1,2; a new grid shows it there.
    auto a = named(4);
    a->SetColumnOrder();
    a->MoveColumn(3, 1);
    const QString moved = ColumnStatesToString(*a);
    EXPECT_TRUE(moved.contains("#0,3,1,2#")) << moved.toStdString();
    auto b = named(4);
    StringToColumnStates(*b, moved);
    EXPECT_EQ(headers(*b), (QStringList{"c0", "c3", "c1", "c2"}));
    EXPECT_EQ(ColumnStatesToString(*b), moved);
}

TEST(ColumnStates, AnIncompleteOrDamagedStringChangesNothing)
{
    auto g = named(4);
    g->setColWidths(1, 91);
    const QString before = ColumnStatesToString(*g);
    for (const char* bad : {"5#", "4#64,64#0,1,2,3#1,1,1,1", "4#64,64,64,64#0,1,1,3#1,1,1,1",
                            "4#64,64,64,64#0,1,2,9#1,1,1,1", "x#1#2#3", "4#64,64,64,64#0,1,2,3#1,1,2,1",
                            "4#64,64,99999,64##1,1,1,1"}) {
        EXPECT_THROW(StringToColumnStates(*g, QString::fromLatin1(bad)), platform::EConvertError) << bad;
        EXPECT_EQ(ColumnStatesToString(*g), before) << bad;
    }
    StringToColumnStates(*g, "no hash at all");
    EXPECT_EQ(ColumnStatesToString(*g), before);
}

TEST(ColumnStates, ColAndPosKeysInAnIniFileAndForTheRegistry)
{
    TempDir dir;
    auto g = named(4);
    g->ColumnSize.Location = clIniFile;
    g->ColumnSize.Key = dir.file("layout.ini");
    g->ColumnSize.Section = "Grid";
    g->setColWidths(1, 123);
    g->SetColumnOrder();
    g->MoveColumn(0, 2);
    SaveColSizes(*g);
    SaveColPositions(*g);
    const TIniFile ini(dir.file("layout.ini"));
    EXPECT_EQ(ini.ReadInteger("Grid", "Col1", 0), g->colWidths(1));
    EXPECT_EQ(ini.ReadInteger("Grid", "Pos2", -1), 0);
    auto b = named(4);
    b->ColumnSize = g->ColumnSize;
    b->ColumnSize.Key = g->ColumnSize.Key;
    b->ColumnSize.Section = "Grid";
    b->ColumnSize.Location = clIniFile;
    LoadColSizes(*b);
    LoadColPositions(*b);
    EXPECT_EQ(headers(*b), headers(*g));
    // Only Col1 stored: only column 1 changes; no Pos0: the order stays.
    dir.write("only.ini", "[Grid]\r\nCol1=77\r\nPos1=0\r\n");
    auto c = named(3);
    c->ColumnSize.Location = clIniFile;
    c->ColumnSize.Key = dir.file("only.ini");
    c->ColumnSize.Section = "Grid";
    const int w0 = c->colWidths(0);
    LoadColSizes(*c);
    LoadColPositions(*c);
    EXPECT_EQ(c->colWidths(0), w0);
    EXPECT_EQ(c->colWidths(1), 77);
    EXPECT_EQ(headers(*c), (QStringList{"c0", "c1", "c2"}));
    // Duplicate positions are refused.
    dir.write("dup.ini", "[Grid]\r\nPos0=1\r\nPos1=1\r\nPos2=0\r\n");
    c->ColumnSize.Key = dir.file("dup.ini");
    LoadColPositions(*c);
    EXPECT_EQ(headers(*c), (QStringList{"c0", "c1", "c2"}));
    // The registry location: a per-user settings file.
    QStandardPaths::setTestModeEnabled(true);
    c->ColumnSize.Location = clRegistry;
    c->ColumnSize.Key = "Software\\Varnetor\\Test";
    SaveColSizes(*c);
    EXPECT_TRUE(QFile::exists(RegistryFileName("Software\\Varnetor\\Test")));
    EXPECT_TRUE(RegistryFileName("..\\..\\etc\\x").endsWith("/varnetor/registry/etc/x.ini"));
    QFile::remove(RegistryFileName("Software\\Varnetor\\Test"));
}

TEST(ColumnStates, SavedColumnSizesFollowTheGridsLife)
{
    TempDir dir;
    auto settings = [&](TExtStringGridInput& g) {
        g.ColumnSize.Save = true;
        g.ColumnSize.Location = clIniFile;
        g.ColumnSize.Key = dir.file("sizes.ini");
        g.ColumnSize.Section = QStringLiteral("Grid");
    };
    {
        auto g = named(3);
        settings(*g);
        g->setColWidths(2, 141);
    } // destroyed: the widths go to the store
    EXPECT_EQ(TIniFile(dir.file("sizes.ini")).ReadInteger("Grid", "Col2", 0), 141);
    // Loading ends: the widths come back.
    auto b = named(3);
    settings(*b);
    b->Loaded();
    EXPECT_EQ(b->colWidths(2), 141);
    // The window is created (first shown): the same.
    dir.write("sizes.ini", "[Grid]\r\nCol1=99\r\n");
    QWidget parent;
    auto* shown = new TExtStringGridInput(&parent);
    shown->SetColCount(3);
    settings(*shown);
    parent.show();
    EXPECT_EQ(shown->colWidths(1), 99);
    // Without Save nothing is read or written.
    auto quiet = named(3);
    quiet->ColumnSize.Location = clIniFile;
    quiet->ColumnSize.Key = dir.file("quiet.ini");
    quiet->ColumnSize.Section = QStringLiteral("Grid");
    quiet.reset();
    EXPECT_FALSE(QFile::exists(dir.file("quiet.ini")));
    // A store that cannot be written does not keep the grid from going.
    auto lost = named(3);
    settings(*lost);
    lost->ColumnSize.Key = dir.file("no/such/folder/sizes.ini");
    EXPECT_NO_THROW(lost.reset());
}

TEST(ColumnStates, VisualPropertiesFile)
{
    TempDir dir;
    auto g = makeGrid(2, 2);
    g->setColor(0x123456);
    g->SetURLShow(true);
    g->SetLook(glVista);
    // After the look, whose preset sets the selection colour: the file keeps this one and
    // loading gives it back although the look is read too.
    g->SetSelectionColor(0x00FF00);
    g->ControlLook.SetControlStyle(csFlat);
    QFont f = g->font();
    f.setBold(true);
    f.setPointSize(13);
    g->setFont(f);
    g->FixedFontColor = 0x0000FF;
    g->SetActiveCellFontColor(0x008000);
    SaveVisualProps(*g, dir.file("look.txt"));
    const QByteArray text = dir.read("look.txt");
    EXPECT_TRUE(text.startsWith("Color=$00123456\r\nHintColor="));
    EXPECT_TRUE(text.contains("\r\nFixedFont.Color=clRed\r\n"));
    EXPECT_TRUE(text.contains("\r\nActiveCellFont.Color=clGreen\r\n"));
    EXPECT_TRUE(text.contains("\r\nLook=glVista\r\n"));
    EXPECT_TRUE(text.contains("\r\nFont.Style=fsBold\r\n"));
    auto b = makeGrid(2, 2);
    LoadVisualProps(*b, dir.file("look.txt"));
    EXPECT_EQ(b->color(), 0x123456u);
    EXPECT_EQ(b->SelectionColor(), 0x00FF00u);
    EXPECT_TRUE(b->URLShow());
    EXPECT_EQ(b->Look(), glVista);
    EXPECT_EQ(b->ControlLook.ControlStyle(), csFlat);
    EXPECT_TRUE(b->font().bold());
    EXPECT_EQ(b->font().pointSize(), 13);
    // The fixed and active-cell font colours come back and are the colours those cells show.
    EXPECT_EQ(b->FixedFontColor, 0x0000FFu);
    EXPECT_EQ(b->ActiveCellFontColor(), 0x008000u);
    b->SetSelectionTextColor(platform::clNone);
    TGridDrawState state;
    TCellFormat header;
    b->GetVisualProperties(1, 0, state, false, false, true, header);
    EXPECT_EQ(header.font.color, 0x0000FFu);
    b->SetActiveCellShow(true);
    b->FocusCell(1, 1);
    TCellFormat active;
    b->GetVisualProperties(1, 0, state, false, false, true, active);
    EXPECT_EQ(active.font.color, 0x008000u);
    // Look=glxp in any case; Font.Style=fsItalic clears bold; an empty Look leaves the look.
    QByteArray edited = text;
    edited.replace("Look=glVista", "Look=glxp").replace("Font.Style=fsBold", "Font.Style=fsItalic");
    dir.write("edited.txt", edited);
    LoadVisualProps(*b, dir.file("edited.txt"));
    EXPECT_EQ(b->Look(), glXP);
    EXPECT_FALSE(b->font().bold());
    EXPECT_TRUE(b->font().italic());
    edited.replace("Look=glxp", "Look=");
    dir.write("empty.txt", edited);
    LoadVisualProps(*b, dir.file("empty.txt"));
    EXPECT_EQ(b->Look(), glXP);
    EXPECT_THROW(LoadVisualProps(*b, dir.file("missing.txt")), platform::Exception);
}

TEST(ColumnStates, PrintSettingsSection)
{
    TempDir dir;
    auto g = makeGrid(2, 2);
    dir.write("p.ini", "[Other]\r\nx=1\r\n");
    LoadPrintSettings(*g, dir.file("p.ini"), "Print");
    const TPrintSettings& s = g->PrintSettings;
    EXPECT_EQ(s.ColumnSpacing, 20);
    EXPECT_EQ(s.RowSpacing, 20);
    EXPECT_EQ(s.LeftSize, 100);
    EXPECT_EQ(s.FooterSize, 100);
    EXPECT_EQ(s.Font.family(), "Arial");
    EXPECT_EQ(s.Font.pointSize(), 10);
    EXPECT_TRUE(s.Centered);
    EXPECT_TRUE(s.DateFormat.isEmpty());
    EXPECT_TRUE(s.PageNumSep.isEmpty());
    g->PrintSettings.PageNr = ppBottomRight;
    g->PrintSettings.Borders = pbAround;
    g->PrintSettings.TitleLines.Add("first");
    g->PrintSettings.TitleLines.Add("second");
    g->PrintSettings.RepeatFixedRows = true;
    SavePrintSettings(*g, dir.file("p.ini"), "Print");
    EXPECT_TRUE(dir.read("p.ini").contains("TitleLines=first\\nsecond"));
    EXPECT_TRUE(dir.read("p.ini").contains("[Other]"));
    auto b = makeGrid(1, 1);
    LoadPrintSettings(*b, dir.file("p.ini"), "Print");
    EXPECT_EQ(b->PrintSettings.PageNr, ppBottomRight);
    EXPECT_EQ(b->PrintSettings.Borders, pbAround);
    EXPECT_TRUE(b->PrintSettings.RepeatFixedRows);
    ASSERT_EQ(b->PrintSettings.TitleLines.Count(), 2);
    EXPECT_EQ(b->PrintSettings.TitleLines.Strings(1), "second");
}
