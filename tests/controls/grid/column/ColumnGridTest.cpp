#include "ColumnGridFixture.h"

#include "platform/core/Errors.h"

#include <QImage>
#include <cstdlib>

namespace gridtest {
namespace {

TEST_F(ColumnGridTest, RaisingColCountCopiesTheLastColumnsLook)
{
    TGridColumnItem* last = grid->Columns().Items(cReadOnly);
    last->SetAlignment(platform::Alignment::taRightJustify);
    last->SetEditor(edComboList);
    last->ComboItems().Add("x");
    last->SetHeader("Last");
    last->Name = "last";
    last->Tag = 7;
    last->SetColor(platform::clRed);
    last->SetBorders(cbLeft | cbTop);
    ASSERT_EQ(grid->Columns().Count(), 6);
    grid->SetColCount(8);
    ASSERT_EQ(grid->Columns().Count(), 8);
    for (int i : {6, 7}) {
        const TGridColumnItem* item = grid->Columns().Items(i);
        EXPECT_EQ(item->Alignment(), platform::Alignment::taRightJustify);
        EXPECT_EQ(item->Editor(), edComboList);
        EXPECT_EQ(item->Borders(), TCellBorders(cbLeft | cbTop));
        EXPECT_TRUE(item->ReadOnly);
        EXPECT_EQ(item->Header(), "");
        EXPECT_EQ(item->Name, "");
        EXPECT_EQ(item->Tag, 0);
        EXPECT_EQ(item->ComboItems().Count(), 0);
        EXPECT_EQ(item->GetColor(), grid->color()); // the grid's colour, not the column's
    }
    grid->SetColCount(4);
    EXPECT_EQ(grid->Columns().Count(), 4);
}

TEST_F(ColumnGridTest, ItemsAddAndRemoveGridColumns)
{
    grid->Columns().Add();
    EXPECT_EQ(grid->ColCount(), 7);
    grid->Columns().Delete(6);
    EXPECT_EQ(grid->ColCount(), 6);
    // Never below FixedCols + 1 columns through the collection.
    while (grid->Columns().Count() > 1)
        grid->Columns().Delete(grid->Columns().Count() - 1);
    EXPECT_EQ(grid->ColCount(), 2);
    EXPECT_THROW(grid->Columns().Items(5), platform::EListError);
}

TEST_F(ColumnGridTest, CanEditWithoutGoEditingUnlessReadOnlyOrFixed)
{
    ASSERT_FALSE(grid->options().testFlag(platform::goEditing));
    const struct {
        int col, row;
        bool expected;
    } cases[] = {{cText, 1, true},       {cList, 3, true},  {cCheck, 2, true},     {cReadOnly, 1, false},
                 {cNumber, 1, false},    {cText, 0, false}, {cText + 40, 1, false}};
    for (const auto& c : cases) {
        bool canEdit = false; // the column answers whatever comes in
        grid->CheckCanEdit(c.col, c.row, canEdit);
        EXPECT_EQ(canEdit, c.expected) << c.col << "," << c.row;
    }
    grid->Columns().Items(cText)->SetFixed(true);
    bool canEdit = true;
    grid->CheckCanEdit(cText, 1, canEdit);
    EXPECT_FALSE(canEdit);
    grid->SetReadOnly(cList, 2, true);
    canEdit = true;
    grid->CheckCanEdit(cList, 2, canEdit);
    EXPECT_FALSE(canEdit);
    int events = 0;
    grid->OnCanEditCell = [&](TExtStringGrid*, int, int, bool& can) {
        ++events;
        can = true;
    };
    grid->CheckCanEdit(cReadOnly, 1, canEdit);
    EXPECT_TRUE(canEdit); // the event has the last word
    EXPECT_EQ(events, 1);
}

TEST_F(ColumnGridTest, DataCheckBoxCells)
{
    grid->SetCells(cCheck, 1, "Y");
    grid->SetCells(cCheck, 2, "N");
    grid->SetCells(cCheck, 3, "");
    for (int r : {1, 2, 3}) {
        EXPECT_EQ(grid->GetCellType(cCheck, r), ctDataCheckBox);
        ASSERT_NE(grid->GetCellGraphic(cCheck, r), nullptr);
    }
    EXPECT_EQ(grid->GetCellType(cCheck, 0), ctEmpty); // not in the header
    EXPECT_EQ(grid->GetCellType(cText, 1), ctEmpty);
    bool state = false;
    EXPECT_TRUE(grid->GetCheckBoxState(cCheck, 1, state));
    EXPECT_TRUE(state);
    EXPECT_TRUE(grid->GetCheckBoxState(cCheck, 2, state));
    EXPECT_FALSE(state);
    EXPECT_TRUE(grid->GetCheckBoxState(cCheck, 3, state));
    EXPECT_FALSE(state);
    grid->ToggleCellCheck(cCheck, 1, true);
    grid->ToggleCellCheck(cCheck, 2, true);
    grid->ToggleCellCheck(cCheck, 3, true);
    EXPECT_EQ(grid->Cells(cCheck, 1), "N");
    EXPECT_EQ(grid->Cells(cCheck, 2), "Y");
    EXPECT_EQ(grid->Cells(cCheck, 3), "Y");
    // The column's own texts.
    grid->Columns().Items(cCheck)->CheckTrue = "1";
    grid->Columns().Items(cCheck)->CheckFalse = "0";
    grid->ToggleCellCheck(cCheck, 1, true);
    EXPECT_EQ(grid->Cells(cCheck, 1), "1");
}

// The box of a painted check box in a cell, found by its border colour, and whether it is ticked.
struct PaintedBox {
    QRect box;
    bool ticked = false;
};

PaintedBox paintedBox(const QImage& img, const platform::Rect& cell)
{
    const QColor border(28, 81, 128), tick(33, 161, 33);
    PaintedBox found;
    for (int y = cell.top; y < cell.bottom; ++y)
        for (int x = cell.left; x < cell.right; ++x) {
            const QColor c = img.pixelColor(x, y);
            if (c == border)
                found.box = found.box.united(QRect(x, y, 1, 1));
            else if (c == tick)
                found.ticked = true;
        }
    return found;
}

TEST_F(ColumnGridTest, CentredDataCheckBoxColumnPaintsItsGlyphsInTheMiddle)
{
    grid->ControlLook.SetControlStyle(csWinXP);
    grid->SetCells(cCheck, 1, "Y");
    grid->SetCells(cCheck, 2, "N");
    const QImage centred = grid->viewport()->grab().toImage();
    for (int r : {1, 2}) {
        const platform::Rect cell = grid->CellRect(cCheck, r);
        const PaintedBox b = paintedBox(centred, cell);
        ASSERT_FALSE(b.box.isEmpty()) << "no check box in row " << r;
        EXPECT_EQ(b.box.width(), 13);
        EXPECT_EQ(b.box.height(), 13);
        EXPECT_LE(std::abs((b.box.left() + b.box.right() + 1) / 2 - (cell.left + cell.right) / 2), 2) << "row " << r;
        EXPECT_EQ(b.ticked, r == 1) << "row " << r;
    }
    // The alignment places it: left-aligned, the box moves to the cell's left edge.
    grid->Columns().Items(cCheck)->SetAlignment(platform::Alignment::taLeftJustify);
    const QImage left = grid->viewport()->grab().toImage();
    const platform::Rect cell = grid->CellRect(cCheck, 1);
    const PaintedBox b = paintedBox(left, cell);
    ASSERT_FALSE(b.box.isEmpty());
    EXPECT_LT(b.box.left() - cell.left, 8);
    EXPECT_TRUE(b.ticked);
}

TEST_F(ColumnGridTest, MovingAColumnMovesItsItem)
{
    grid->Columns().Items(2)->Name = "two";
    grid->Columns().Items(2)->SetHeader("Two");
    grid->Columns().Items(2)->ColumnPopupType = cpAllCellsLClick;
    grid->SetCells(2, 4, "cell");
    int from = -1, to = -1;
    grid->OnAfterColumnMoved = [&](TExtColumnGrid*, int f, int t) {
        from = f;
        to = t;
    };
    grid->MoveColumn(2, 5);
    EXPECT_EQ(from, 2);
    EXPECT_EQ(to, 5);
    EXPECT_EQ(grid->Columns().Items(5)->Name, "two");
    EXPECT_EQ(grid->Columns().Items(5)->Editor(), edComboList);
    EXPECT_EQ(grid->Columns().Items(5)->ColumnPopupType, cpFixedCellsRClick); // not carried along
    EXPECT_EQ(grid->Cells(5, 4), "cell");
    EXPECT_EQ(grid->Columns().Items(2)->Editor(), edComboEdit);
    EXPECT_EQ(grid->Columns().Count(), 6);
}

TEST_F(ColumnGridTest, HeadersAndNames)
{
    grid->Columns().Items(cText)->SetHeader("Name");
    EXPECT_EQ(grid->Cells(cText, 0), "Name");
    EXPECT_EQ(grid->ColumnHeaders().Strings(cText), "Name");
    grid->Columns().Items(3)->Name = "Speed";
    EXPECT_EQ(grid->Columns().Items(3)->GetDisplayName(), "Col 3: Speed");
    EXPECT_EQ(grid->Columns().Items(4)->GetDisplayName(), "Column 4");
    EXPECT_EQ(grid->ColumnByName("Speed"), grid->Columns().Items(3));
    EXPECT_EQ(grid->ColumnByName("speed"), nullptr);
}

TEST_F(ColumnGridTest, ColumnAnswersTheCellQuestions)
{
    TGridColumnItem* item = grid->Columns().Items(cText);
    item->SetColor(platform::clYellow);
    item->SetAlignment(platform::Alignment::taRightJustify);
    item->SetHeaderAlignment(platform::Alignment::taCenter);
    TCellFormat f;
    TGridDrawState state;
    grid->GetVisualProperties(cText, 5, state, false, false, true, f);
    EXPECT_EQ(f.brush.color, platform::clYellow);
    EXPECT_EQ(f.alignment, platform::Alignment::taRightJustify);
    // An application colour in the cell's properties wins over the column's.
    grid->SetColors(cText, 5, platform::clRed);
    grid->GetVisualProperties(cText, 5, state, false, false, true, f);
    EXPECT_EQ(f.brush.color, platform::clRed);
    platform::Alignment h = platform::Alignment::taLeftJustify;
    TVAlignment v = vtaTop;
    grid->GetCellAlignment(cText, 0, h, v);
    EXPECT_EQ(h, platform::Alignment::taCenter);
    // Float format of the column: plain numbers only.
    item->SetFloatFormat("%.1f");
    grid->SetCells(cText, 6, "2.71");
    grid->SetCells(cText, 7, "1E3");
    grid->SetCells(cText, 8, "abc");
    EXPECT_EQ(grid->GetFormattedCell(cText, 6), "2.7");
    EXPECT_EQ(grid->GetFormattedCell(cText, 7), "1E3");
    EXPECT_EQ(grid->GetFormattedCell(cText, 8), "abc");
}

TEST_F(ColumnGridTest, PrintedCellsTakeTheColumnsPrintLook)
{
    TGridColumnItem* item = grid->Columns().Items(cText);
    item->SetColor(platform::clYellow);
    item->PrintColor = platform::clAqua;
    item->PrintFont.font.setPointSize(15);
    item->PrintFont.color = platform::clMaroon;
    item->PrintBorders = cbTop;
    item->PrintBorderPen = platform::Pen{platform::clBlue, 3, platform::PenStyle::Solid};
    TCellFormat screen, paper;
    TGridDrawState state;
    grid->GetVisualProperties(cText, 5, state, false, false, true, screen);
    grid->GetVisualProperties(cText, 5, state, true, false, true, paper);
    EXPECT_EQ(screen.brush.color, platform::clYellow);
    EXPECT_EQ(paper.brush.color, platform::clAqua);
    EXPECT_EQ(paper.font.font.pointSize(), 15);
    EXPECT_EQ(paper.font.color, platform::clMaroon);
    // A cell's own colour still wins, and the application has the last word.
    grid->SetColors(cText, 6, platform::clRed);
    grid->GetVisualProperties(cText, 6, state, true, false, true, paper);
    EXPECT_EQ(paper.brush.color, platform::clRed);
    grid->OnGetCellPrintColor = [](TExtStringGrid*, int, int, TGridDrawState, platform::Brush& b, platform::Font&) {
        b.color = platform::clLime;
    };
    grid->GetVisualProperties(cText, 6, state, true, false, true, paper);
    EXPECT_EQ(paper.brush.color, platform::clLime);
    // The printed lines: the column's, unless PrintBorderCustom is off.
    platform::Pen pen;
    TCellBorders borders = cbLeft | cbRight | cbTop | cbBottom;
    grid->GetCellPrintBorder(cText, 5, pen, borders);
    EXPECT_EQ(borders, TCellBorders(cbTop));
    EXPECT_EQ(pen.width, 3);
    item->PrintBorderCustom = false;
    borders = cbLeft;
    grid->GetCellPrintBorder(cText, 5, pen, borders);
    EXPECT_EQ(borders, TCellBorders(cbLeft));
}

} // namespace
} // namespace gridtest

namespace {
using controls::grid::TExtColumnGrid;
// The same grid measuring every cell the full way, for comparison.
class FullMeasureGrid : public TExtColumnGrid {
public:
    using TExtColumnGrid::TExtColumnGrid;
    bool PlainColumnMeasure(int, int) override { return false; }
};

template <typename Grid>
std::vector<int> autoSizedWidths(bool multiline, int footers)
{
    QWidget window;
    auto* g = new Grid(&window);
    g->SetColCount(3);
    g->SetRowCount(12);
    g->SetFixedFooters(footers);
    g->Multilinecells = multiline;
    platform::Font big = g->Columns().Items(1)->Font();
    big.font.setPointSize(14);
    g->Columns().Items(1)->SetFont(big);
    platform::Font bold = g->Columns().Items(1)->HeaderFont();
    bold.font.setBold(true);
    g->Columns().Items(1)->SetHeaderFont(bold);
    const QStringList texts = {"Header wide text", "a", "somewhat longer", "two\r\nlines that are longer", "<B>bold html</B>",
                               "=formula", "{\\rtf1 rich}", "", "x", "last row", "footer text is long"};
    for (int r = 0; r < texts.size(); ++r)
        g->SetCells(1, r, texts[r]);
    g->SetCells(2, 3, QStringLiteral("props"));
    g->SetFontSizes(2, 3, 20);
    g->SetCells(2, 4, QStringLiteral("plain"));
    g->SetFontStyles(1, 2, controls::grid::fsBold);
    std::vector<int> widths;
    for (int c = 0; c < 3; ++c) {
        g->AutoSizeCol(c);
        widths.push_back(g->colWidths(c));
    }
    return widths;
}
} // namespace

TEST(ColumnAutoSize, SharedMetricsGiveTheWidthsOfTheFullMeasure)
{
    for (bool multiline : {false, true})
        for (int footers : {0, 2})
            EXPECT_EQ(autoSizedWidths<TExtColumnGrid>(multiline, footers), autoSizedWidths<FullMeasureGrid>(multiline, footers))
                << "multiline " << multiline << " footers " << footers;
}
