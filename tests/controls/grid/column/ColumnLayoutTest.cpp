// The column grid's layout outside the window: the columns stream (round trip, fewer items,
// damaged streams that change nothing) and the CP position keys (saving a moved order, loading
// it into the designed order, incomplete or duplicate key sets that change nothing).
#include "ColumnGridFixture.h"
#include "controls/grid/io/ComponentStream.h"
#include "controls/grid/io/IniFile.h"
#include "platform/core/Errors.h"
#include "support/TempDir.h"

using namespace gridtest;
using testing_support::TempDir;

namespace {

QStringList headerRow(TExtColumnGrid& g)
{
    QStringList h;
    for (int c = 0; c < g.ColCount(); ++c)
        h << g.Columns().Items(c)->Header();
    return h;
}

} // namespace

TEST_F(ColumnGridTest, ColumnsStreamRoundTripKeepsTheItems)
{
    for (int c = 0; c < 6; ++c)
        grid->Columns().Items(c)->SetHeader(QStringLiteral("H%1").arg(c));
    TGridColumnItem* item = grid->Columns().Items(cText);
    item->SetWidth(140);
    item->SetAlignment(platform::Alignment::taRightJustify);
    item->EditMask = "999";
    item->SpinMax = 77;
    item->SortStyle = ssNumeric;
    item->SetBorders(cbTop | cbBottom);
    platform::Font f = item->Font();
    f.font.setBold(true);
    f.color = 0x0000FF;
    item->SetFont(f);
    item->PrintFontCustom = false;
    item->ColumnPopupType = cpAllCellsLClick;
    QByteArray stream;
    grid->SaveColumnsToStream(stream);
    // Change things, then load the stream back.
    item->SetWidth(50);
    item->EditMask.clear();
    grid->Columns().Items(cList)->ComboItems().Clear();
    qsizetype pos = 0;
    grid->LoadColumnsFromStream(stream, pos);
    EXPECT_EQ(pos, stream.size());
    item = grid->Columns().Items(cText);
    EXPECT_EQ(item->Width(), 140);
    EXPECT_EQ(grid->colWidths(cText), 140);
    EXPECT_EQ(item->Alignment(), platform::Alignment::taRightJustify);
    EXPECT_EQ(item->EditMask, "999");
    EXPECT_EQ(item->SpinMax, 77);
    EXPECT_EQ(item->SortStyle, ssNumeric);
    EXPECT_EQ(item->Borders(), cbTop | cbBottom);
    EXPECT_TRUE(item->Font().font.bold());
    EXPECT_EQ(item->Font().color, 0x0000FFu);
    // Not carried: back to their defaults.
    EXPECT_TRUE(item->PrintFontCustom);
    EXPECT_EQ(item->ColumnPopupType, cpFixedCellsRClick);
    EXPECT_EQ(grid->Columns().Items(cList)->ComboItems().Count(), 3);
    EXPECT_EQ(grid->Columns().Items(cEdit)->Editor(), edComboEdit);
    EXPECT_EQ(headerRow(*grid).value(5), "H5");
}

TEST_F(ColumnGridTest, ColumnsStreamWithFewerItemsOrDamageChangesNothingItShouldNot)
{
    auto other = std::make_unique<TExtColumnGrid>();
    other->SetColCount(2);
    other->Columns().Items(0)->SetHeader("A");
    other->Columns().Items(1)->SetHeader("B");
    QByteArray two;
    other->SaveColumnsToStream(two);
    // Damaged: cut short, or an unknown property.
    QByteArray bad = two.left(two.size() / 2);
    qsizetype pos = 0;
    const QStringList before = headerRow(*grid);
    EXPECT_THROW(grid->LoadColumnsFromStream(bad, pos), platform::Exception);
    QByteArray unknown;
    controls::grid::io::TComponentWriter w(unknown);
    w.BeginObject(QStringLiteral("TExtColumnGridIO"));
    w.BeginCollection(QStringLiteral("Items"));
    w.BeginItem();
    w.Integer(QStringLiteral("NoSuchProperty"), 1);
    w.EndItem();
    w.EndCollection();
    w.EndObject();
    pos = 0;
    EXPECT_THROW(grid->LoadColumnsFromStream(unknown, pos), platform::Exception);
    EXPECT_EQ(grid->Columns().Count(), 6);
    EXPECT_EQ(headerRow(*grid), before);
    // Fewer items: the column count stays, the collection holds the stream's items.
    pos = 0;
    grid->LoadColumnsFromStream(two, pos);
    EXPECT_EQ(grid->ColCount(), 6);
    EXPECT_EQ(grid->Columns().Count(), 2);
    EXPECT_EQ(grid->Columns().Items(1)->Header(), "B");
}

TEST_F(ColumnGridTest, ColumnPositionKeys)
{
    TempDir dir;
    auto g = std::make_unique<TExtColumnGrid>();
    g->SetColCount(4);
    for (int c = 0; c < 4; ++c)
        g->Columns().Items(c)->SetHeader(QStringLiteral("H%1").arg(c));
    g->Columns().SetOrganization();
    g->MoveColumn(0, 2);
    EXPECT_EQ(headerRow(*g), (QStringList{"H1", "H2", "H0", "H3"}));
    g->SaveColumnPositions(dir.file("pos.ini"), "Grid");
    const controls::grid::io::TIniFile ini(dir.file("pos.ini"));
    EXPECT_EQ(ini.ReadInteger("Grid", "CP0", -1), 1);
    EXPECT_EQ(ini.ReadInteger("Grid", "CP1", -1), 2);
    EXPECT_EQ(ini.ReadInteger("Grid", "CP2", -1), 0);
    EXPECT_EQ(ini.ReadInteger("Grid", "CP3", -1), 3);
    auto fresh = std::make_unique<TExtColumnGrid>();
    fresh->SetColCount(4);
    for (int c = 0; c < 4; ++c)
        fresh->Columns().Items(c)->SetHeader(QStringLiteral("H%1").arg(c));
    fresh->Columns().SetOrganization();
    fresh->HideColumn(3);
    fresh->LoadColumnPositions(dir.file("pos.ini"), "Grid");
    EXPECT_EQ(headerRow(*fresh), (QStringList{"H1", "H2", "H0", "H3"})); // the hidden column is shown
    // A set without CP3, or with a duplicate: nothing changes.
    for (const char* text : {"[Grid]\r\nCP0=0\r\nCP1=1\r\nCP2=2\r\n", "[Grid]\r\nCP0=0\r\nCP1=0\r\nCP2=2\r\nCP3=3\r\n"}) {
        dir.write("bad.ini", text);
        fresh->LoadColumnPositions(dir.file("bad.ini"), "Grid");
        EXPECT_EQ(headerRow(*fresh), (QStringList{"H1", "H2", "H0", "H3"})) << text;
    }
}
