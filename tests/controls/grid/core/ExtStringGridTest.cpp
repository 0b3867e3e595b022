#include "controls/grid/core/ExtStringGrid.h"

#include "GridFixture.h"
#include "platform/core/Errors.h"

#include <QApplication>
#include <QStyle>
#include <gtest/gtest.h>

using namespace controls::grid;

TEST(ExtStringGridTest, DefaultsOfAGridMadeInCode)
{
    TExtStringGrid g;
    EXPECT_EQ(g.ColCount(), 5);
    EXPECT_EQ(g.RowCount(), 10);
    EXPECT_EQ(g.FixedRows(), 1);
    EXPECT_EQ(g.FixedCols(), 1);
    EXPECT_EQ(g.DefaultRowHeight(), 22);
    EXPECT_EQ(g.FixedRowHeight(), 22);
    EXPECT_EQ(g.width(), 400);
    EXPECT_EQ(g.height(), 250);
    EXPECT_EQ(g.CheckTrue, QStringLiteral("Y"));
    EXPECT_EQ(g.CheckFalse, QStringLiteral("N"));
    EXPECT_EQ(g.FloatFormat, QStringLiteral("%.2f"));
    EXPECT_EQ(g.FilterDropDownClear, QStringLiteral("(All)"));
    EXPECT_EQ(g.XMLEncoding, QStringLiteral("ISO-8859-1"));
    EXPECT_EQ(g.FixedFont().family(), QStringLiteral("Tahoma"));
    EXPECT_TRUE(g.FixedFont().bold());
    EXPECT_EQ(g.Look(), glXP);
    EXPECT_EQ(g.NumHiddenColumns(), 0);
    for (int c = 0; c < 513; ++c)
        ASSERT_FALSE(g.IsHiddenColumn(c));
    EXPECT_EQ(g.SelectionColor(), 0xEACAB6u);
    EXPECT_EQ(g.ActiveCellColor(), 0x808080u);
    EXPECT_EQ(g.HighlightColor(), platform::clHighlight);
    EXPECT_EQ(g.URLColor(), 0xFF0000u);
    EXPECT_EQ(g.BorderColor(), 0xB99D7Fu);
    EXPECT_TRUE(g.WordWrap());
    EXPECT_TRUE(g.EnableHTML);
    EXPECT_EQ(g.PasswordChar, QChar(u'*'));
    EXPECT_EQ(g.ScrollType(), ssNormal);
    EXPECT_EQ(g.Version(), QStringLiteral("6.2.1.3"));
    // A grid made in code asked for the fixed rows it starts with: a header that a short grid
    // loses comes back when it grows. The other loading-time values stay at 0.
    EXPECT_EQ(g.FixedRowsMin(), 1);
    EXPECT_EQ(g.MinRowHeight, 0);
    g.SetFixedRowAlways(true);
    g.SetRowCount(1);
    EXPECT_EQ(g.fixedRows(), 0);
    EXPECT_EQ(g.FixedRows(), 1);
    g.SetRowCount(5);
    EXPECT_EQ(g.fixedRows(), 1);
    EXPECT_EQ(g.Row(), 1) << "the current cell is back on the first data row";
}

TEST(ExtStringGridTest, SettingsObjectsStartWithTheirDefaults)
{
    TExtStringGrid g;
    EXPECT_EQ(g.PrintSettings.DateFormat, QStringLiteral("dd/mm/yyyy"));
    EXPECT_EQ(g.PrintSettings.PageNumSep, QStringLiteral("/"));
    EXPECT_EQ(g.PrintSettings.Borders, pbSingle);
    EXPECT_TRUE(g.PrintSettings.Centered);
    EXPECT_TRUE(g.PrintSettings.UseDisplayFont);
    EXPECT_EQ(g.PrintSettings.Time, ppNone);
    EXPECT_EQ(g.PrintSettings.Title, ppNone);
    EXPECT_EQ(g.HTMLSettings.Width, 100);
    EXPECT_TRUE(g.HTMLSettings.ExportImages);
    EXPECT_EQ(g.CellNode.NodeIndent(), 12);
    EXPECT_EQ(g.CellNode.NodeType(), cnXP);
    EXPECT_EQ(g.ColumnSize.StretchColumn, -1);
    EXPECT_EQ(g.ColumnSize.Location, clRegistry);
    EXPECT_EQ(g.ControlLook.FixedGradientHoverFrom, 0xFFFFFFu);
    EXPECT_EQ(g.ControlLook.FixedGradientHoverTo, 0x808080u);
    EXPECT_EQ(g.ControlLook.FixedGradientDownFrom, 0xC0C0C0u);
    EXPECT_EQ(g.ControlLook.FixedGradientDownTo, 0x808080u);
    EXPECT_EQ(g.ControlLook.CheckSize(), 15);
    EXPECT_EQ(g.ControlLook.ControlStyle(), csTheme);
    EXPECT_EQ(g.Grouping.HeaderLineColor, 0xFF0000u);
    EXPECT_EQ(g.Grouping.HeaderLineWidth, 2);
    EXPECT_TRUE(g.DragDropSettings.ShowCells && g.DragDropSettings.OleAcceptText);
    EXPECT_EQ(g.Balloon.AutoHideDelay, -1);
    EXPECT_EQ(g.ShowModified.Color(), 0x00FFFFu);
    EXPECT_EQ(g.BackGround.Display(), bdTile);
    EXPECT_EQ(g.BackGround.ColorTo(), platform::clBtnFace);
    EXPECT_EQ(g.DragScrollOptions.Delays.InitialDelay, 1000);
    EXPECT_EQ(g.DragScrollOptions.Delays.RepeatDelay, 250);
    EXPECT_EQ(g.DragScrollOptions.Margins.TopMargin, 50);
    EXPECT_EQ(g.ProgressAppearance.Level1Perc(), 70);
    EXPECT_EQ(g.ProgressAppearance.Steps(), 11);
    EXPECT_EQ(g.ProgressAppearance.CompleteColor(), platform::rgb(255, 0, 0));
    EXPECT_EQ(g.FilterDropDown.Height, 150);
    EXPECT_EQ(g.Navigation.AdvanceDirection(), adLeftRight);
    EXPECT_FALSE(g.SearchFooter.Visible());
}

TEST(ExtStringGridTest, SettingsAssignCopyAndIgnoreLists)
{
    TPrintSettings p1, p2;
    p1.TitleText = QStringLiteral("t");
    p1.TitleLines.Add(QStringLiteral("line"));
    p1.FixedCellsAlways = true;
    p2.Assign(&p1);
    EXPECT_EQ(p2.TitleText, QStringLiteral("t"));
    EXPECT_EQ(p2.TitleLines.Count(), 1);
    EXPECT_FALSE(p2.FixedCellsAlways);
    TColumnSize cs;
    EXPECT_THROW(p2.Assign(&cs), platform::EInvalidCast);

    THTMLSettings h1, h2;
    h1.ExportImages = false;
    h1.XHTML = true;
    h1.ColWidths.Add(5);
    h2.Assign(&h1);
    EXPECT_FALSE(h2.ExportImages);
    EXPECT_TRUE(h2.XHTML);
    EXPECT_EQ(h2.ColWidths.Count(), 0);
    h2.Assign(&cs); // another class: ignored
    EXPECT_TRUE(h2.XHTML);

    TSizeWhileTyping typing, other;
    EXPECT_THROW(typing.Assign(&other), platform::EConvertError);

    TControlLook l1, l2;
    l1.SetFixedGradientFrom(platform::clRed);
    l1.SetFixedGradientTo(platform::clBlue);
    l1.SetFlatButton(true);
    l2.Assign(&l1);
    EXPECT_EQ(l2.FixedGradientFrom(), platform::clRed);
    EXPECT_EQ(l2.FixedGradientTo(), platform::clBlue);
    EXPECT_FALSE(l2.FlatButton());

    TGridProgressAppearance a1, a2;
    int changes = 0;
    a2.OnChange = [&](platform::TObject*) { ++changes; };
    a2.SetSteps(11); // unchanged
    EXPECT_EQ(changes, 0);
    a1.SetSteps(20);
    a1.SetStacked(true);
    a2.Assign(&a1);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(a2.Steps(), 20);

    TFilterDropDown f1, f2;
    f1.AutoSize = true;
    f1.Height = 300;
    f2.Assign(&f1);
    EXPECT_EQ(f2.Height, 300);
    EXPECT_FALSE(f2.AutoSize);
    TDragScrollDelays delays;
    TDragScrollMargins margins;
    margins.TopMargin = 7;
    delays.Assign(&margins);
    EXPECT_EQ(delays.InitialDelay, 1000);

    TShowModified m;
    int modified = 0;
    m.OnChange = [&](platform::TObject*) { ++modified; };
    m.SetColor(platform::clRed);
    EXPECT_EQ(modified, 1);
}

TEST(ExtStringGridTest, ControlLookGradientsFollowIntoTheGrid)
{
    TExtStringGrid g;
    const Color before = g.VekkoGradientFrom();
    g.ControlLook.SetFixedGradientFrom(platform::clNone);
    EXPECT_EQ(g.VekkoGradientFrom(), before);
    g.ControlLook.SetFixedGradientFrom(platform::clRed);
    EXPECT_EQ(g.VekkoGradientFrom(), platform::clRed);
    g.ControlLook.SetFixedGradientMirrorFrom(platform::clNone);
    EXPECT_EQ(g.VekkoGradientMirrorFrom(), platform::clNone);
}

TEST(ExtStringGridTest, IntegralHeightFitsWholeRows)
{
    TExtStringGrid g;
    g.SetColCount(3); // all columns fit: no horizontal bar
    g.SetIntegralHeight(true);
    g.SetBounds(0, 0, 300, 100);
    EXPECT_EQ(g.height(), 92);
    g.SetIntegralHeight(false);
    g.SetBounds(0, 0, 300, 100);
    EXPECT_EQ(g.height(), 100);
}

namespace {
class PaintCounter : public TExtStringGrid {
public:
    using TExtStringGrid::TExtStringGrid;
    int paints = 0;

protected:
    void paint() override
    {
        ++paints;
        TExtStringGrid::paint();
    }
};
} // namespace

TEST(ExtStringGridTest, InvalidateSkipsOneRepaintAfterAnEditChange)
{
    QWidget window;
    auto* g = new PaintCounter(&window);
    g->setGeometry(0, 0, 300, 200);
    window.show();
    QApplication::processEvents();
    const int start = g->paints;
    g->SetEditChangeFlag();
    g->invalidate();
    QApplication::processEvents();
    EXPECT_EQ(g->paints, start);
    g->invalidate();
    QApplication::processEvents();
    EXPECT_GT(g->paints, start);
}

TEST(ExtStringGridTest, FixedRowAlwaysKeepsTheHeaderRow)
{
    TExtStringGrid g;
    g.SetFixedRowAlways(true);
    g.SetFixedRows(1);
    g.SetRowCount(1);
    EXPECT_EQ(g.fixedRows(), 0); // the standard grid has no room for it
    EXPECT_EQ(g.FixedRows(), 1);
    bool fixed = false;
    g.IsFixedCell(2, 0, fixed);
    EXPECT_TRUE(fixed);
    g.SetRowCount(5);
    EXPECT_EQ(g.fixedRows(), 1);
    g.SetFixedRows(9); // beyond the rows: as many as can be
    EXPECT_EQ(g.fixedRows(), 4);
}

TEST(ExtStringGridTest, RowChangedOnceForTwoEqualWrites)
{
    TExtStringGrid g;
    std::vector<std::pair<int, int>> calls;
    g.OnRowChanged = [&](TExtStringGrid*, int oldRow, int newRow) { calls.emplace_back(oldRow, newRow); };
    g.SetRow(3);
    g.SetRow(3);
    g.SetRow(5);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0], std::make_pair(-1, 3));
    EXPECT_EQ(calls[1], std::make_pair(3, 5));
    g.SetTopRow(g.RowCount()); // out of range: ignored
    EXPECT_LT(g.TopRow(), g.RowCount());
}

TEST(ExtStringGridTest, FixedSizesFollowTheirRules)
{
    TExtStringGrid g;
    g.SetFixedColWidth(g.defaultColWidth()); // equal to the default: nothing
    EXPECT_EQ(g.colWidths(0), 64);
    g.SetFixedColWidth(30);
    EXPECT_EQ(g.colWidths(0), 30);
    EXPECT_EQ(g.colWidths(1), 64);
    g.setRowHeights(5, 40);
    g.SetFixedRowHeight(22); // the default height: every row takes it
    EXPECT_EQ(g.rowHeights(5), 22);
    g.SetFixedRowHeight(30);
    EXPECT_EQ(g.rowHeights(0), 30);
    EXPECT_EQ(g.rowHeights(1), 22);
}

TEST(ExtStringGridTest, AssignCopiesSizesAndCells)
{
    TExtStringGrid a, b;
    a.SetColCount(7);
    a.SetRowCount(12);
    a.setColWidths(3, 99);
    a.SetCells(2, 4, QStringLiteral("x"));
    a.SetColors(2, 4, platform::clRed);
    a.AddCheckBox(3, 5, true, true);
    b.Assign(&a);
    EXPECT_EQ(b.ColCount(), 7);
    EXPECT_EQ(b.RowCount(), 12);
    EXPECT_EQ(b.colWidths(3), 99);
    EXPECT_EQ(b.Cells(2, 4), QStringLiteral("x"));
    EXPECT_EQ(b.Colors(2, 4), platform::clRed);
    EXPECT_EQ(b.GetCellType(3, 5), ctDataCheckBox);
    EXPECT_NE(b.GetCellGraphic(3, 5), a.GetCellGraphic(3, 5)); // its own copy
    platform::TStringList list;
    b.Assign(static_cast<platform::TPersistent*>(&list)); // anything else changes nothing
    EXPECT_EQ(b.ColCount(), 7);
}

TEST(ExtStringGridTest, LooksZoomAndSetters)
{
    TExtStringGrid g;
    g.SetLook(glListView);
    EXPECT_EQ(g.SelectionColor(), platform::clHighlight);
    g.SetLook(glXP);
    EXPECT_EQ(g.SelectionColor(), 0xEACAB6u);
    EXPECT_EQ(g.ControlLook.FixedGradientFrom(), 0xFFFFFFu);
    EXPECT_EQ(g.ControlLook.FixedGradientTo(), platform::clBtnFace);
    g.SetLook(glVista);
    EXPECT_EQ(g.SelectionStyle(), ssVista);
    EXPECT_EQ(TExtStringGrid::LookToString(glWin7), QStringLiteral("glWin7"));
    EXPECT_EQ(TExtStringGrid::LookToCaption(glXP), QStringLiteral("Windows XP"));

    g.setRowHeights(4, 0);
    for (int i = 0; i < 11; ++i)
        g.Zoom(3);
    EXPECT_EQ(g.ZoomFactor(), 9);
    EXPECT_EQ(g.rowHeights(1), 22 + 9);
    EXPECT_EQ(g.rowHeights(4), 0); // hidden by height: stays so

    g.SetSelectionColorMixerFactor(150);
    EXPECT_EQ(g.SelectionColorMixerFactor(), 100);
    g.SetSelectionColorMixerFactor(-5);
    EXPECT_EQ(g.SelectionColorMixerFactor(), 0);
    g.SetVAlignment(vtaBottom);
    EXPECT_EQ(g.VAlignFlags(), 8u);

    g.setOptions(platform::goFixedVertLine);
    g.SetSpreadSheet(false); // switching it off switches nothing on
    EXPECT_FALSE(g.options().testFlag(platform::goEditing));
    EXPECT_FALSE(g.SelectionRectangle());
    g.SetSpreadSheet(true);
    EXPECT_TRUE(g.options().testFlag(platform::goEditing));
    EXPECT_TRUE(g.options().testFlag(platform::goRangeSelect));
    EXPECT_TRUE(g.SelectionResizer());
    EXPECT_TRUE(g.MouseActions.RangeSelectAndEdit);
}

TEST(ExtStringGridTest, ChangeNotifiersFollowTheEvent)
{
    TExtStringGrid g;
    struct Recorder : TGridChangeNotifier {
        std::vector<QRect>* seen;
        explicit Recorder(std::vector<QRect>* s) : seen(s) {}
        void CellsChanged(const QRect& r) override { seen->push_back(r); }
    };
    std::vector<QRect> order;
    g.OnCellsChanged = [&](TExtStringGrid*, const QRect& r) { order.push_back(r.adjusted(1000, 0, 1000, 0)); };
    Recorder rec(&order);
    g.RegisterNotifier(&rec);
    g.RegisterNotifier(&rec);
    g.CellsChanged(QRect(QPoint(1, 1), QPoint(2, 2)));
    ASSERT_EQ(order.size(), 2u);
    EXPECT_EQ(order[1], QRect(QPoint(1, 1), QPoint(2, 2)));
    EXPECT_EQ(order[0].left(), 1001); // the event first
    g.UnRegisterNotifier(&rec);
    g.CellsChanged(QRect());
    EXPECT_EQ(order.size(), 3u);
}

TEST(ExtStringGridTest, UnitInitialisationRunsOnce)
{
    TExtStringGrid a;
    const TGridUnitState& s = GridUnitState();
    EXPECT_GE(s.InitCount, 1);
    const int msg = s.GridEditDoneMsg;
    TExtStringGrid b;
    EXPECT_EQ(GridUnitState().GridEditDoneMsg, msg);
    EXPECT_NE(s.GridEditDoneMsg, s.GridDTPShiftFocusMsg);
    EXPECT_EQ(s.RegisteredClasses.size(), 28);
    EXPECT_FALSE(s.GridClipboardFormat.isEmpty());
}

TEST(ExtStringGridTest, OwnerFormResizeSizesTheGridOnlyWithSizeWithForm)
{
    ShownGrid s(4, 5, 500, 300); // the window is 540 x 340
    TExtStringGrid& g = *s.grid;

    // Off by default: the form grows, the grid keeps its size.
    s.window->resize(600, 400);
    QApplication::processEvents();
    EXPECT_EQ(g.size(), QSize(500, 300));

    // On: the grid follows by the form's change since the size it last remembered.
    g.SizeWithForm = true;
    s.window->resize(650, 420);
    QApplication::processEvents();
    EXPECT_EQ(g.size(), QSize(550, 320));
    s.window->resize(600, 380);
    QApplication::processEvents();
    EXPECT_EQ(g.size(), QSize(500, 280));

    // A change that would leave the grid without width leaves it as it is.
    s.window->resize(50, 380);
    QApplication::processEvents();
    EXPECT_EQ(g.size(), QSize(500, 280));

    // The stretched column takes the rest of the new client width.
    g.SizeWithForm = false;
    g.ColumnSize.SetStretch(true);
    s.window->resize(700, 380);
    QApplication::processEvents();
    const int others = g.colWidths(0) + g.colWidths(1) + g.colWidths(2);
    EXPECT_EQ(g.colWidths(3), g.clientWidth() - others - 1);
}
