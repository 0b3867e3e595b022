#include "controls/grid/base/BaseGrid.h"

#include "platform/draw/Canvas.h"

#include <QApplication>
#include <QImage>
#include <QPixmap>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

using namespace controls::grid;
using platform::rgb;

namespace {

// A base grid that counts its hooks and can answer the cell format.
class ProbeGrid : public TBaseGrid {
public:
    using TBaseGrid::TBaseGrid;
    int textChanged = 0;
    int lastRowChanged = 0;
    bool customFormat = false;

    void CellTextChanged(int, int) override { ++textChanged; }
    void LastRowChanged() override { ++lastRowChanged; }
    void GetCellFormat(int col, int row, TCellFormat& f) override
    {
        TBaseGrid::GetCellFormat(col, row, f);
        if (customFormat) {
            f.alignment = platform::Alignment::taRightJustify;
            f.vAlignment = vtaCenter;
            f.wordWrap = false;
            f.font.font.setFamily(QStringLiteral("Courier"));
            f.font.color = platform::clRed;
        }
    }
    using TBaseGrid::CalcCellRect;
    using TBaseGrid::FreeCellProps;
    using TBaseGrid::ResetCell;
    using TBaseGrid::ResetRow;
    void pressKey(quint16 key)
    {
        quint16 k = key;
        keyDown(k, platform::TShiftState());
    }
};

struct Shown {
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    ProbeGrid* grid = new ProbeGrid(window.get());
    Shown(int cols = 6, int rows = 10)
    {
        window->resize(600, 400);
        grid->setGeometry(0, 0, 560, 360);
        grid->setColCount(cols);
        grid->setRowCount(rows);
        window->show();
        QApplication::processEvents();
    }
    QImage snapshot() { return grid->viewport()->grab().toImage(); }
};

} // namespace

TEST(BaseGridTest, FreshGridHasNoPropertiesUntilOneIsAskedFor)
{
    ProbeGrid g;
    g.setColCount(6);
    g.setRowCount(8);
    EXPECT_EQ(g.Cells(3, 4), QString());
    EXPECT_TRUE(g.IsBaseCell(3, 4));
    EXPECT_FALSE(g.IsMergedCell(3, 4));
    EXPECT_EQ(g.CellSpan(3, 4), QPoint(0, 0));
    EXPECT_EQ(g.Objects(3, 4), nullptr);
    EXPECT_EQ(g.CellPropsAlive(), 0);
    EXPECT_FALSE(g.HasCellProps());

    g.customFormat = true;
    TCellProperties* p = g.CellProperties(2, 3);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(g.CellProperties(2, 3), p);
    EXPECT_EQ(g.CellPropsAlive(), 1);
    EXPECT_TRUE(g.HasCellProps());
    EXPECT_EQ(p->OwnerCol, 2);
    EXPECT_EQ(p->OwnerRow, 3);
    // Taken from the cell format when the object was made.
    EXPECT_EQ(p->Alignment(), platform::Alignment::taRightJustify);
    EXPECT_EQ(p->VAlignment(), vtaCenter);
    EXPECT_FALSE(p->WordWrap());
    EXPECT_EQ(p->FontName, QStringLiteral("Courier"));
    EXPECT_EQ(p->FontColor, platform::clRed);
    EXPECT_EQ(p->BrushColor(), g.color());
    EXPECT_EQ(p->BrushColorTo(), platform::clNone);
    EXPECT_EQ(p->CellSpanX, -1);
    EXPECT_TRUE(p->IsBaseCell);
    p->SetBrushColor(0x00FFFF);
    EXPECT_EQ(g.CellProperties(2, 3)->BrushColor(), 0x00FFFFu);
}

TEST(BaseGridTest, MergedBlockReadsAndWritesItsBaseCell)
{
    ProbeGrid g;
    g.setColCount(6);
    g.setRowCount(6);
    for (int c = 1; c <= 3; ++c)
        for (int r = 1; r <= 2; ++r)
            g.SetCells(c, r, QStringLiteral("%1/%2").arg(c).arg(r));
    g.MergeCells(1, 1, 3, 2);
    EXPECT_EQ(g.MergeCount(), 1);

    const TCellProperties* base = g.GridObjects(1, 1);
    ASSERT_NE(base, nullptr);
    EXPECT_TRUE(base->IsBaseCell);
    EXPECT_EQ(QPoint(base->CellSpanX, base->CellSpanY), QPoint(2, 1));
    const TCellProperties* member = g.GridObjects(3, 2);
    EXPECT_FALSE(member->IsBaseCell);
    EXPECT_EQ(QPoint(member->CellSpanX, member->CellSpanY), QPoint(2, 1));

    EXPECT_EQ(g.Cells(3, 2), QStringLiteral("1/1"));
    g.SetCells(2, 2, QStringLiteral("block"));
    EXPECT_EQ(g.Cells(1, 1), QStringLiteral("block"));
    EXPECT_EQ(g.GridCells(2, 2), QStringLiteral("2/2")); // the member's own text is untouched
    EXPECT_EQ(g.BaseCell(3, 2), QPoint(1, 1));
    EXPECT_TRUE(g.IsMergedCell(3, 2));
    EXPECT_TRUE(g.IsMergedNonBaseCell(3, 2));
    EXPECT_FALSE(g.IsMergedNonBaseCell(1, 1));
    EXPECT_TRUE(g.IsXMergedCell(2, 1));
    EXPECT_TRUE(g.IsYMergedCell(2, 1));
    EXPECT_EQ(g.CellSpan(2, 2), QPoint(2, 1));
    EXPECT_EQ(g.CellExt(2, 1), QPoint(1, 1));
    EXPECT_EQ(g.FullCell(3, 2), (TGridRect{1, 1, 3, 2}));

    // The rectangle of any cell of the block covers all six cells.
    const Rect a = g.CalcCellRect(1, 1);
    const Rect b = g.CalcCellRect(3, 2);
    const Rect expected{a.left, a.top, b.right, b.bottom};
    EXPECT_EQ(g.CellRect(3, 2), expected);
    EXPECT_EQ(g.CellRect(1, 1), expected);
    EXPECT_EQ(g.CellSize(2, 1), QPoint(expected.width(), expected.height()));

    g.SplitCells(3, 2);
    EXPECT_EQ(g.MergeCount(), 0);
    for (int c = 1; c <= 3; ++c) {
        for (int r = 1; r <= 2; ++r) {
            const TCellProperties* p = g.GridObjects(c, r);
            EXPECT_TRUE(p->IsBaseCell);
            EXPECT_EQ(QPoint(p->CellSpanX, p->CellSpanY), QPoint(-1, -1));
        }
    }
    EXPECT_EQ(g.Cells(3, 2), QStringLiteral("3/2"));
    EXPECT_EQ(g.Cells(2, 2), QStringLiteral("2/2"));
    EXPECT_EQ(g.Cells(1, 1), QStringLiteral("block"));
}

TEST(BaseGridTest, SingleCellMergeAndSpanComparisons)
{
    ProbeGrid g;
    g.setColCount(6);
    g.setRowCount(6);
    g.MergeCells(1, 1, 1, 1);
    EXPECT_FALSE(g.IsMergedCell(1, 1));
    EXPECT_EQ(g.CellSpan(1, 1), QPoint(0, 0));
    g.MergeCells(2, 2, 0, 3); // counted, merges nothing
    EXPECT_EQ(g.MergeCount(), 2);
    EXPECT_FALSE(g.IsMergedCell(2, 2));

    EXPECT_FALSE(g.RowSpanIdentical(3, 4)); // no vertical merge anywhere
    g.MergeCells(1, 3, 1, 2);
    EXPECT_TRUE(g.RowSpanIdentical(3, 4));
    EXPECT_EQ(g.MaxRowSpan(3), 1);
    EXPECT_EQ(g.MinRowSpan(3), 1);
    EXPECT_EQ(g.MinRowSpan(5), g.rowCount());

    g.MergeCells(3, 0, 2, 1);
    EXPECT_FALSE(g.ColSpanIdentical(3, 5)); // merged against not merged in row 0
    EXPECT_TRUE(g.ColSpanIdentical(3, 4));
}

TEST(BaseGridTest, ObjectsOnAnEmptyCellKeepItsTextAndChangeItOnce)
{
    ProbeGrid g;
    g.setColCount(4);
    g.setRowCount(4);
    int app = 7;
    g.SetObjects(2, 2, &app);
    EXPECT_EQ(g.Objects(2, 2), &app);
    EXPECT_EQ(g.Cells(2, 2), QString());
    EXPECT_EQ(g.textChanged, 1); // the clearing write, made once the cell has properties
    EXPECT_EQ(g.CellPropsAlive(), 1);
    EXPECT_EQ(g.Objects(1, 1), nullptr);
    EXPECT_EQ(g.CellPropsAlive(), 1); // reading creates nothing
    g.SetCells(2, 2, QStringLiteral("x"));
    EXPECT_EQ(g.textChanged, 2);
    g.SetCells(1, 1, QStringLiteral("y"));
    EXPECT_EQ(g.textChanged, 2); // a cell without properties writes straight to the store
}

TEST(BaseGridTest, DisplayHooksOnlyBelowTheNormalRowCount)
{
    ProbeGrid g;
    g.setColCount(4);
    g.setRowCount(4);
    g.SetCells(1, 1, QStringLiteral("raw"));
    g.SetCells(1, 3, QStringLiteral("raw"));
    g.OnGetDisplText = [](TBaseGrid*, int, int, QString& v) { v += QStringLiteral("!"); };
    g.SetNormalRowCount(2);
    EXPECT_EQ(g.Cells(1, 1), QStringLiteral("raw!"));
    EXPECT_EQ(g.Cells(1, 3), QStringLiteral("raw"));
    g.OnGetDisplWideText = [](TBaseGrid*, int, int, QString& v) { v = QString(QChar(0x20AC)); };
    EXPECT_EQ(g.Cells(1, 1), QStringLiteral("|\\") + QChar(0x20) + QChar(0xAC));
}

TEST(BaseGridTest, PropertiesAreFreedExactlyOnce)
{
    // Run under AddressSanitizer and LeakSanitizer: a double free or a lost object fails.
    auto g = std::make_unique<ProbeGrid>();
    g->setColCount(5);
    g->setRowCount(6);
    g->CellProperties(1, 1)->SetBrushColor(platform::clRed);
    g->CellProperties(2, 2);
    g->CellProperties(3, 3);
    g->CellProperties(4, 4);
    EXPECT_EQ(g->CellPropsAlive(), 4);
    g->moveRow(1, 4); // the properties travel with the row
    EXPECT_EQ(g->GridObjects(1, 4)->BrushColor(), platform::clRed);
    g->FreeCellProps(2, 1); // row 2 moved up to 1
    EXPECT_EQ(g->CellPropsAlive(), 3);
    g->ResetCell(3, 2);    // dropped from its cell, still the grid's
    g->deleteRow(0);       // beyond the count now, still the grid's
    ASSERT_NE(g->GridObjects(4, 2), nullptr); // (4, 4) after both moves
    g->SetCellProperties(4, 2, new TCellProperties(g.get(), 4, 2)); // the old one is freed
    EXPECT_EQ(g->CellPropsAlive(), 3);
    g.reset();
}

TEST(BaseGridTest, HiddenLastRowNotifiesAndPageDownStopsAboveIt)
{
    Shown s(4, 10);
    ProbeGrid& g = *s.grid;
    g.SetHideLastRow(true);
    g.SetCells(0, 9, QStringLiteral("footer"));
    EXPECT_EQ(g.lastRowChanged, 1);
    g.SetCells(0, 8, QStringLiteral("data"));
    EXPECT_EQ(g.lastRowChanged, 1);
    // Every row fits: the view shows all rows, Page Down lands on the row above the hidden one.
    ASSERT_EQ(g.visibleRowCount() + g.topRow() - g.fixedRows(), g.rowCount() - 1);
    g.pressKey(platform::VK_NEXT);
    EXPECT_EQ(g.row(), 8);
}

TEST(BaseGridTest, KeysLeaveAMergedBlockAndLandOnBaseCells)
{
    Shown s(8, 8);
    ProbeGrid& g = *s.grid;
    g.MergeCells(2, 2, 3, 2);
    g.setCol(2);
    g.setRow(2);
    g.pressKey(platform::VK_RIGHT);
    EXPECT_EQ(QPoint(g.col(), g.row()), QPoint(5, 2));
    g.pressKey(platform::VK_LEFT);
    EXPECT_EQ(QPoint(g.col(), g.row()), QPoint(2, 2)); // into the block: its base cell
    g.pressKey(platform::VK_LEFT);
    EXPECT_EQ(QPoint(g.col(), g.row()), QPoint(1, 2));
    g.setCol(3);
    g.setRow(3); // a member cell set by code
    g.pressKey(platform::VK_DOWN);
    EXPECT_EQ(QPoint(g.col(), g.row()), QPoint(3, 4));
    g.pressKey(platform::VK_UP);
    EXPECT_EQ(QPoint(g.col(), g.row()), QPoint(2, 2));
    g.pressKey(platform::VK_UP);
    EXPECT_EQ(QPoint(g.col(), g.row()), QPoint(2, 1));
}

TEST(BaseGridTest, MergedBlockIsPaintedOncePerPass)
{
    Shown s(6, 6);
    ProbeGrid& g = *s.grid;
    g.SetCells(1, 1, QStringLiteral("M"));
    g.SetCells(2, 2, QStringLiteral("hidden"));
    g.MergeCells(1, 1, 3, 2);
    for (int pass = 0; pass < 2; ++pass) {
        const int id = g.PaintID();
        platform::CanvasCallLog log;
        s.snapshot();
        int texts = 0;
        for (const QString& c : log.calls()) {
            if (c.startsWith(QStringLiteral("drawText \"M\""))) {
                ++texts;
                // The whole block's rectangle, less the line width.
                const Rect r = g.CellRect(1, 1);
                EXPECT_TRUE(c.contains(QStringLiteral("%1,%2,%3,%4").arg(r.left + 1).arg(r.top + 1).arg(r.right - 1).arg(r.bottom - 1)))
                    << c.toStdString();
            }
            EXPECT_FALSE(c.startsWith(QStringLiteral("drawText \"hidden\"")));
        }
        EXPECT_EQ(texts, 1);
        EXPECT_EQ(g.PaintID(), id + 1);
    }
}

TEST(BaseGridTest, HiddenLastRowPaintsAsBackground)
{
    Shown s(4, 5);
    ProbeGrid& g = *s.grid;
    g.setColor(rgb(10, 20, 30));
    g.SetCells(1, 4, QStringLiteral("footer"));
    g.SetHideLastRow(true);
    platform::CanvasCallLog log;
    const QImage img = s.snapshot();
    for (const QString& c : log.calls())
        EXPECT_FALSE(c.contains(QStringLiteral("\"footer\"")));
    const Rect r = g.CellRect(1, 4);
    // No line, no text: the whole cell in the grid's colour.
    for (int x = r.left; x < r.right; x += 3)
        for (int y = r.top; y < r.bottom; y += 3)
            EXPECT_EQ(platform::fromQColor(img.pixelColor(x, y)), rgb(10, 20, 30)) << x << "," << y;
}

TEST(BaseGridTest, VistaSelectionDrawsOneBlockOverTheSelectedCells)
{
    Shown s(6, 6);
    ProbeGrid& g = *s.grid;
    g.setOptions(g.options() | platform::goDrawFocusSelected);
    g.SetSelectionStyle(ssVista);
    g.setSelection(TGridRect{1, 2, 3, 2});
    const QImage img = s.snapshot();
    const Color frame = 0xFDDE99, fill = rgb(0xF1, 0xF8, 0xFD); // 0xFDF8F1 as stored
    auto at = [&](int x, int y) { return platform::fromQColor(img.pixelColor(x, y)); };
    const Rect left = g.CellRect(1, 2), middle = g.CellRect(2, 2), right = g.CellRect(3, 2);
    const int mid = left.top + left.height() / 2;
    // Position 1: the left edge only; 3: no edge; 2: the right edge only.
    EXPECT_EQ(at(left.left, mid), frame);
    EXPECT_NE(at(left.right - 2, mid), frame);
    EXPECT_NE(at(middle.left, mid), frame);
    EXPECT_NE(at(middle.right - 2, mid), frame);
    EXPECT_NE(at(right.left, mid), frame);
    EXPECT_EQ(at(right.right - 2, mid), frame);
    EXPECT_EQ(at(middle.left + 5, left.top + 2), fill); // the gradient's first band
    EXPECT_EQ(at(left.left + 5, left.top), frame); // the top border runs along the block
}

TEST(BaseGridTest, GridLineWidthZeroDrawsLinesInTheBackground)
{
    Shown s(4, 4);
    ProbeGrid& g = *s.grid;
    g.setColor(rgb(200, 210, 220));
    g.SetGridLineWidth(0);
    const QImage img = s.snapshot();
    const Rect r = g.CellRect(2, 2);
    EXPECT_EQ(platform::fromQColor(img.pixelColor(r.right - 1, r.top + 4)), rgb(200, 210, 220));
    g.SetGridLineWidth(1);
    const QImage img2 = s.snapshot();
    EXPECT_EQ(platform::fromQColor(img2.pixelColor(r.right - 1, r.top + 4)), 0xC0C0C0u);
}
