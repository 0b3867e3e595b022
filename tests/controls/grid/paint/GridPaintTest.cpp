#include "controls/grid/paint/GridPaint.h"

#include "platform/draw/Theme.h"

#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QWidget>
#include <gtest/gtest.h>

using namespace controls::grid;
using namespace platform;

namespace {

class PaintGridTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        window.resize(420, 260);
        grid = new TExtStringGridPaint(&window);
        grid->setGeometry(0, 0, 400, 240);
        grid->SetColCount(5);
        grid->SetRowCount(6);
    }

    TCellFormat props(int col, int row, TGridDrawState state = TGridDrawState(), bool select = true)
    {
        TCellFormat f;
        grid->GetVisualProperties(col, row, state, false, select, true, f);
        lastState = state;
        return f;
    }

    QImage grab()
    {
        window.show();
        return grid->viewport()->grab().toImage();
    }

    QWidget window;
    TExtStringGridPaint* grid = nullptr;
    TGridDrawState lastState;
};

TEST_F(PaintGridTest, VisualPropertiesBandsOwnColourAndFixedCells)
{
    grid->Bands.SetActive(true);
    grid->Bands.SetPrimaryColor(clYellow);
    grid->Bands.SetSecondaryColor(clAqua);
    grid->SetSelection(TGridRect{4, 5, 4, 5});
    EXPECT_EQ(props(1, 1).brush.color, clYellow);
    EXPECT_EQ(props(1, 2).brush.color, clAqua);
    EXPECT_EQ(props(1, 3).brush.color, clYellow);
    // A cell with its own colour keeps it in a banded grid.
    grid->SetColors(2, 2, clRed);
    EXPECT_EQ(props(2, 2).brush.color, clRed);

    // A fixed cell without own colour takes the look's gradient (glXP by default).
    const TCellFormat fixed = props(1, 0);
    EXPECT_TRUE(lastState.testFlag(gdFixed));
    EXPECT_EQ(fixed.brush.color, grid->VekkoGradientFrom());
    EXPECT_EQ(fixed.colorTo, grid->VekkoGradientTo());
    // A fixed cell with its own colour keeps it and its own gradient end.
    grid->SetColors(0, 3, clLime);
    EXPECT_EQ(props(0, 3).brush.color, clLime);
    grid->SetLook(glClassic);
    EXPECT_EQ(props(1, 0).brush.color, grid->fixedColor());
    EXPECT_EQ(props(1, 0).colorTo, clNone);
}

TEST_F(PaintGridTest, VisualPropertiesSelectionMixerAndDisabledFont)
{
    grid->SetSelectionColor(clBlack);
    grid->SetSelectionColorMixer(true);
    grid->SetSelectionColorMixerFactor(50);
    grid->SetColors(2, 2, clWhite);
    grid->SetSelection(TGridRect{1, 1, 3, 3});
    // A white cell under a black selection, mixed half and half.
    EXPECT_EQ(props(2, 2).brush.color, Color(0x808080));
    EXPECT_TRUE(lastState.testFlag(gdSelected));
    // A cell of the grid's own colour takes the selection colour unmixed.
    EXPECT_EQ(props(1, 1).brush.color, clBlack);
    // Outside the selection nothing changes; without Select no selection colour either.
    EXPECT_EQ(props(4, 4).brush.color, grid->color());
    EXPECT_EQ(props(2, 2, TGridDrawState(), false).brush.color, clWhite);
    // A selected cell never has a gradient.
    grid->SetGradients(2, 2, GradientHorizontal);
    EXPECT_EQ(props(2, 2, gdSelected).gradient, GradientVertical);

    EXPECT_NE(props(4, 4).font.color, grid->DisabledFontColor);
    grid->setEnabled(false);
    EXPECT_EQ(props(4, 4).font.color, grid->DisabledFontColor);
    grid->UseDisabledFont = false;
    EXPECT_NE(props(4, 4).font.color, grid->DisabledFontColor);
}

TEST_F(PaintGridTest, AlignmentWithAutoNumAlign)
{
    grid->AutoNumAlign = true;
    const struct {
        const char* text;
        Alignment expected;
    } cases[] = {{"12", Alignment::taRightJustify},  {"1.5", Alignment::taRightJustify},
                 {"1E3", Alignment::taRightJustify}, {" 7 ", Alignment::taRightJustify},
                 {"word", Alignment::taLeftJustify}, {"", Alignment::taLeftJustify}};
    for (const auto& c : cases) {
        grid->SetCells(1, 1, QString::fromUtf8(c.text));
        Alignment h = Alignment::taLeftJustify;
        TVAlignment v = vtaTop;
        grid->ResolveCellAlignment(1, 1, h, v);
        EXPECT_EQ(h, c.expected) << c.text;
    }
    // Own alignment of a cell counts, except for a formula.
    grid->SetCells(2, 1, "abc");
    grid->SetAlignments(2, 1, Alignment::taCenter);
    Alignment h = Alignment::taLeftJustify;
    TVAlignment v = vtaTop;
    grid->ResolveCellAlignment(2, 1, h, v);
    EXPECT_EQ(h, Alignment::taCenter);
    grid->SetCells(2, 1, "=abc");
    grid->ResolveCellAlignment(2, 1, h, v);
    EXPECT_EQ(h, Alignment::taLeftJustify);
    // Without AutoNumAlign a number keeps the default alignment.
    grid->AutoNumAlign = false;
    grid->SetCells(1, 1, "12");
    grid->ResolveCellAlignment(1, 1, h, v);
    EXPECT_EQ(h, Alignment::taLeftJustify);
}

TEST_F(PaintGridTest, SelectedUnfocusedCellInTheHighlightColour)
{
    grid->SetSelectionColor(clNone);
    grid->SetSelection(TGridRect{2, 2, 3, 2}); // current cell (3, 2), cell (2, 2) selected
    const QImage img = grab();
    const Rect r = grid->CellRect(2, 2);
    EXPECT_EQ(fromQColor(img.pixelColor(r.left + 5, r.top + 5)), colorToRgb(clHighlight));
    const Rect plain = grid->CellRect(1, 4);
    EXPECT_EQ(fromQColor(img.pixelColor(plain.left + 5, plain.top + 5)), colorToRgb(clWindow));
}

TEST_F(PaintGridTest, FocusRectangleOnAMergedBaseCell)
{
    grid->MergeCells(1, 1, 2, 2);
    grid->SetSelection(TGridRect{1, 1, 1, 1});
    window.show();
    QApplication::setActiveWindow(&window);
    grid->setFocus();
    ASSERT_TRUE(grid->hasFocus());
    CanvasCallLog log;
    grid->viewport()->grab();
    const Rect merged = grid->CellRect(1, 1);
    QStringList focusCalls;
    for (const QString& c : log.calls())
        if (c.startsWith("drawFocusRect"))
            focusCalls << c;
    ASSERT_EQ(focusCalls.size(), 1) << log.calls().join('\n').toStdString();
    // Inside the merged block's lines, one pixel smaller at the right and bottom.
    EXPECT_EQ(focusCalls[0], QStringLiteral("drawFocusRect %1,%2,%3,%4")
                                 .arg(merged.left + 1)
                                 .arg(merged.top + 1)
                                 .arg(merged.right - 2)
                                 .arg(merged.bottom - 2));
}

TEST_F(PaintGridTest, ClassicHeaderEdgesAndXPHeaderLines)
{
    // glXP with goFixedHorzLine: a line in half of FixedColor along the bottom, white on top.
    const QImage img = grab();
    const Rect h = grid->CellRect(2, 0);
    const Color half = rgb(redOf(colorToRgb(clBtnFace)) / 2, greenOf(colorToRgb(clBtnFace)) / 2,
                           blueOf(colorToRgb(clBtnFace)) / 2);
    EXPECT_EQ(fromQColor(img.pixelColor(h.left + 10, h.bottom - 2)), half);
    EXPECT_EQ(fromQColor(img.pixelColor(h.left + 10, h.top + 1)), clWhite);
}

// The dark pixels of a rectangle of the grab: where text was drawn.
int InkIn(const QImage& img, int left, int top, int right, int bottom)
{
    int n = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            n += qGray(img.pixel(x, y)) < 110 ? 1 : 0;
    return n;
}

// Wrapped text in a cell one line high: a header a few pixels too narrow for "On CMD" shows both
// words on its one line (a little smaller) instead of "On" alone; a cell two lines high still
// wraps.
TEST_F(PaintGridTest, WrappedTextInACellOneLineHighKeepsItsWords)
{
    grid->SetWordWrap(true);
    grid->SetCells(2, 0, QStringLiteral("On CMD"));
    const QFontMetrics metrics(grid->font());
    const int wide = metrics.horizontalAdvance(QStringLiteral("On CMD"));
    const int onWidth = metrics.horizontalAdvance(QStringLiteral("On "));
    grid->setColWidths(2, wide + 2 * grid->XYOffset.x() + 1 - 3);
    ASSERT_LT(grid->rowHeights(0), 2 * metrics.height());
    QImage img = grab();
    Rect h = grid->CellRect(2, 0);
    EXPECT_GT(InkIn(img, h.left + 3 + onWidth, h.top + 1, h.right - 1, h.bottom - 1), 10)
        << "only the first word of the header was drawn";

    grid->setRowHeights(0, 3 * metrics.height());
    img = grab();
    h = grid->CellRect(2, 0);
    const int firstLine = h.top + grid->XYOffset.y() + metrics.height();
    EXPECT_GT(InkIn(img, h.left + 1, firstLine, h.right - 1, firstLine + metrics.height()), 10)
        << "a cell with room for two lines no longer wraps";
}

TEST_F(PaintGridTest, SaveCellCheckTextsAndHtml)
{
    grid->AddCheckBox(1, 1, true, false);
    QString text;
    grid->SaveCell(1, 1, text);
    EXPECT_EQ(text, "Y");
    grid->SetCells(2, 1, "<B>bold</B><BR>x");
    grid->SaveWithHTML = false;
    grid->SaveCell(2, 1, text);
    EXPECT_EQ(text, "bold\r\nx");
    grid->LoadCell(3, 1, "loaded");
    EXPECT_EQ(grid->Cells(3, 1), "loaded");
}

TEST_F(PaintGridTest, AutoDeleteRowClearsTheOnlyDataRow)
{
    grid->SetRowCount(2);
    grid->SetCells(1, 1, "x");
    int deleted = -1;
    grid->OnAutoDeleteRow = [&](TExtStringGrid*, int row) { deleted = row; };
    grid->AutoDeleteRow(1);
    EXPECT_EQ(grid->RowCount(), 2);
    EXPECT_EQ(grid->Cells(1, 1), "");
    EXPECT_EQ(deleted, 1);
    grid->SetRowCount(4);
    grid->SetCells(1, 2, "keep");
    grid->AutoDeleteRow(1);
    EXPECT_EQ(grid->RowCount(), 3);
    EXPECT_EQ(grid->Cells(1, 1), "keep");
}

TEST_F(PaintGridTest, GraphicInfoTable)
{
    grid->AddCheckBox(1, 1, false, false);
    TCellGraphicInfo info = grid->GetCellGraphicInfo(1, 1);
    EXPECT_EQ(info.Width, 15);
    EXPECT_TRUE(info.ShowText);
    grid->AddCheckBox(2, 1, false, true);
    info = grid->GetCellGraphicInfo(2, 1);
    EXPECT_EQ(info.Width, 15);
    EXPECT_FALSE(info.ShowText);
    grid->AddRating(3, 1, 5, clYellow, clGray);
    info = grid->GetCellGraphicInfo(3, 1);
    EXPECT_EQ(info.Width, 90);
    EXPECT_EQ(info.Height, 16);
    EXPECT_FALSE(info.ShowText);
    EXPECT_EQ(grid->GetCellGraphicInfo(4, 4).Graphic, nullptr);
}

TEST_F(PaintGridTest, StyledProgressShowsItsPercentageAndNoneForAnEmptyRange)
{
    grid->AddExtProgress(1, 1, 0, 200);
    grid->SetInts(1, 1, 50);
    grid->AddExtProgress(2, 1, 10, 10); // an empty range
    grid->SetInts(2, 1, 30);
    window.show();
    CanvasCallLog log;
    grid->viewport()->grab();
    QStringList texts;
    for (const QString& c : log.calls())
        if (c.startsWith("textOut") && c.endsWith("%\""))
            texts << c.section('"', 1, 1);
    texts.sort();
    EXPECT_EQ(texts, (QStringList{"0%", "25%"}));
}

TEST_F(PaintGridTest, CellTextSize)
{
    grid->SetCells(1, 1, "");
    const QSize empty = grid->GetCellTextSize(1, 1);
    EXPECT_EQ(empty.width(), 0);
    EXPECT_GT(empty.height(), 0);
    grid->SetCells(1, 1, "wide text");
    EXPECT_GT(grid->GetCellTextSize(1, 1).width(), 20);
    grid->Multilinecells = true;
    grid->SetCells(1, 2, "a\rb\rc");
    EXPECT_EQ(grid->GetCellTextSize(1, 2).height(), 3 * empty.height());
    EXPECT_EQ(grid->MaxLinesInRow(2), 3);
    grid->Multilinecells = false;
    EXPECT_EQ(grid->MaxLinesInRow(2), 1);
}

} // namespace

namespace {

TEST_F(PaintGridTest, TextSizeAndLineCountWithAHiddenColumn)
{
    grid->Multilinecells = true;
    grid->SetCells(2, 1, "Wg");
    grid->SetCells(3, 1, "Wg");
    grid->SetFontSizes(3, 1, 30);
    grid->HideColumn(1);
    // The font of the real column 3 is measured, not that of the column now shown at index 3.
    EXPECT_GT(grid->GetCellTextSize(3, 1).height(), grid->GetCellTextSize(2, 1).height() + 10);

    // The last visible column counts as much as the others.
    grid->SetCells(4, 2, "a\rb\rc\rd");
    EXPECT_EQ(grid->MaxLinesInRow(2), 4);
    grid->SetCells(2, 2, "a\rb");
    EXPECT_EQ(grid->MaxLinesInRow(2), 4);
    grid->SetCells(4, 2, "");
    EXPECT_EQ(grid->MaxLinesInRow(2), 2);
    // A hidden column's text is no visible line.
    grid->SetCells(1, 2, "1\r2\r3\r4\r5");
    EXPECT_EQ(grid->MaxLinesInRow(2), 2);
}

} // namespace
