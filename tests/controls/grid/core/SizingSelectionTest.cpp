#include "controls/grid/core/ExtStringGrid.h"

#include "GridFixture.h"
#include "platform/core/Errors.h"
#include "platform/core/FormatSettings.h"

#include <gtest/gtest.h>

using namespace controls::grid;

TEST(SizingTest, AutoFitColumnsSpreadsTheWidthInProportion)
{
    TExtStringGrid g;
    g.SetColCount(3);
    g.setFixedCols(0);
    g.setBorderStyle(platform::TBorderStyle::bsNone);
    g.SetScrollBars(platform::TScrollStyle::ssNone);
    g.setOptions(platform::goFixedHorzLine | platform::goHorzLine);
    g.resize(400, 250);
    g.SetRowCount(3);
    g.setColWidths(0, 50);
    g.setColWidths(1, 50);
    g.setColWidths(2, 100);
    g.AutoFitColumns(true);
    EXPECT_EQ(g.colWidths(0), 100);
    EXPECT_EQ(g.colWidths(1), 100);
    EXPECT_EQ(g.colWidths(2), 200);

    // Columns without width give no proportion: they stay.
    for (int c = 0; c < 3; ++c)
        g.setColWidths(c, 0);
    g.AutoFitColumns(true);
    EXPECT_EQ(g.colWidths(0), 0);
    EXPECT_EQ(g.colWidths(2), 0);
}

TEST(SizingTest, AutoSizeColumnFollowsItsTextAndLimits)
{
    TExtStringGrid g;
    g.SetCells(1, 1, QStringLiteral("a rather long cell text"));
    g.AutoSizeCol(1);
    const int fitted = g.colWidths(1);
    EXPECT_GT(fitted, 64);
    g.SetCells(1, 1, QStringLiteral("x"));
    g.SizeGrowOnly = true;
    g.AutoSizeCol(1);
    EXPECT_EQ(g.colWidths(1), fitted); // never narrower
    g.SizeGrowOnly = false;
    g.MinColWidth = g.MaxColWidth = 50; // equal limits: no clamping
    g.AutoSizeCol(1);
    EXPECT_LT(g.colWidths(1), 50);
    g.MaxColWidth = 40;
    g.MinColWidth = 0;
    g.SetCells(1, 1, QStringLiteral("a rather long cell text"));
    g.AutoSizeCol(1);
    EXPECT_EQ(g.colWidths(1), 40);
}

TEST(SizingTest, StretchGivesTheColumnTheRestOfTheClientArea)
{
    ShownGrid s(4, 5, 500, 300);
    TExtStringGrid& g = *s.grid;
    EXPECT_THROW(
        {
            g.ColumnSize.SetStretch(true);
            g.StretchColumn(9);
        },
        platform::Exception);
    g.StretchColumn(-1);
    const int others = g.colWidths(0) + g.colWidths(1) + g.colWidths(2);
    EXPECT_EQ(g.colWidths(3), g.clientWidth() - others - 1);
}

TEST(SelectionTest, SelectRowsAndTheSelectedText)
{
    TExtStringGrid g;
    g.SelectRows(2, 3);
    EXPECT_EQ(g.Selection(), (TGridRect{1, 2, 4, 4}));
    g.SelectRows(8, 5);
    EXPECT_EQ(g.Selection(), (TGridRect{1, 8, 4, 9}));
    EXPECT_EQ(g.SelectedRowCount(), 2);

    g.SetCells(1, 1, QStringLiteral("a"));
    g.SetCells(2, 1, QStringLiteral("b"));
    g.SetCells(1, 2, QStringLiteral("c"));
    g.SetCells(2, 2, QStringLiteral("d"));
    g.SelectCells(1, 1, 2, 2);
    EXPECT_EQ(g.SelectedText(), QStringLiteral("a\tb\r\nc\td"));
    EXPECT_EQ(g.SelectedCellsCount(), 4);
    EXPECT_EQ(g.SelectedCell(0), (TGridCoord{1, 1}));
    EXPECT_FALSE(g.IsSelected(0, 1));
    EXPECT_TRUE(g.IsSelected(2, 2));

    g.HideSelection();
    EXPECT_EQ(g.Selection(), (TGridRect{g.ColCount(), g.RowCount(), g.ColCount(), g.RowCount()}));
    g.UnHideSelection();
    EXPECT_EQ(g.Selection(), (TGridRect{1, 1, 2, 2}));
}

TEST(SelectionTest, DisjunctRowsAndColumnsWithTheirErrors)
{
    TExtStringGrid g;
    g.MouseActions.SetDisjunctRowSelect(true);
    int asked = 0;
    g.OnRowDisjunctSelect = [&](TExtStringGrid*, int, bool, bool&) { ++asked; };
    g.SelectRows(2, 2);
    EXPECT_EQ(g.RowSelectCount(), 2);
    EXPECT_EQ(g.SelectedRowCount(), 2);
    g.SetRowSelect(3, true);
    EXPECT_EQ(asked, 2);
    g.ClearRowSelect();
    EXPECT_EQ(g.RowSelectCount(), 0);
    EXPECT_EQ(g.SelectedRowCount(), 0);
    try {
        (void)g.RowSelect(15);
        FAIL();
    } catch (const platform::EExtGridError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Invalid row 15 accessed"));
    }
    EXPECT_THROW(g.SetRowSelect(-1, true), platform::EExtGridError);
    EXPECT_THROW(g.SetColSelect(9, true), platform::EExtGridError);
    g.MouseActions.SetDisjunctColSelect(true);
    g.SetColSelect(2, true);
    g.SetColSelect(4, true);
    EXPECT_EQ(g.SelectedColCount(), 2);

    EXPECT_FALSE(g.RowModified(50));
    g.SetRowModified(5, true);
    EXPECT_EQ(g.ModifiedRowCount(), 1);
    g.SetRow(5);
    g.SetRowEnabled(5, false);
    EXPECT_EQ(g.Row(), 1);
    EXPECT_FALSE(g.RowEnabled(5));
    g.RepaintRect(TGridRect{-1, 0, 1, 1}); // ignored
}

TEST(TypedTest, IntegersFloatsDatesAndFills)
{
    platform::ResetFormatSettings();
    TExtStringGrid g;
    g.SetCells(1, 1, QStringLiteral(" 42 "));
    EXPECT_EQ(g.Ints(1, 1), 42);
    EXPECT_EQ(g.Ints(1, 2), 0);
    g.SetCells(1, 2, QStringLiteral("-"));
    EXPECT_EQ(g.Ints(1, 2), 0);
    g.SetCells(1, 3, QStringLiteral("4x"));
    EXPECT_THROW(g.Ints(1, 3), platform::EExtGridError);
    g.SetCells(1, 4, QStringLiteral("<b>7</b>"));
    EXPECT_EQ(g.Ints(1, 4), 7);
    g.SetCells(2, 1, QStringLiteral("(1,234.50)"));
    EXPECT_DOUBLE_EQ(g.Floats(2, 1), -1234.5);
    g.SetCells(2, 2, QStringLiteral("abc")); // no number in it at all: cleaned to nothing
    EXPECT_DOUBLE_EQ(g.Floats(2, 2), 0);
    g.SetCells(2, 2, QStringLiteral("1.2.3"));
    EXPECT_THROW(g.Floats(2, 2), platform::EExtGridError);

    g.SetFloats(3, 1, 3.14159);
    EXPECT_EQ(g.Cells(3, 1), QStringLiteral("3.14"));
    platform::TFormatSettings comma = platform::DefaultFormatSettings();
    comma.DecimalSeparator = u',';
    comma.ThousandSeparator = u'.';
    platform::SetFormatSettings(comma);
    g.SetFloats(3, 2, 3.14159);
    EXPECT_EQ(g.Cells(3, 2), QStringLiteral("3,14"));
    EXPECT_DOUBLE_EQ(g.Floats(3, 2), 3.14);
    platform::ResetFormatSettings();

    g.ShowNullDates = false;
    g.SetDates(4, 1, 0);
    EXPECT_EQ(g.Cells(4, 1), QString());
    g.SetDates(4, 1, platform::EncodeDate(2024, 3, 5));
    EXPECT_EQ(g.Dates(4, 1), platform::EncodeDate(2024, 3, 5));
    g.SetTimes(4, 2, platform::EncodeTime(13, 45, 0, 0));
    EXPECT_DOUBLE_EQ(g.Times(4, 2), platform::EncodeTime(13, 45, 0, 0));
    g.SetCells(4, 3, QStringLiteral("later"));
    EXPECT_THROW(g.Times(4, 3), platform::EConvertError);

    EXPECT_THROW(g.PrintColWidth(512), platform::EExtGridError);
    EXPECT_EQ(g.PrintColWidth(511), 0);

    g.LinearFill(false);
    EXPECT_EQ(g.Cells(1, 1), QStringLiteral("1:1"));
    EXPECT_EQ(g.Cells(0, 0), QString());
    g.FormatFill(true, QStringLiteral("%d-%d"));
    EXPECT_EQ(g.Cells(2, 1), QStringLiteral("2-1"));
    g.RandomFill(false, 3);
    EXPECT_LT(g.Ints(1, 1), 3);

    g.SetColumnHeaders({QStringLiteral("A"), QStringLiteral("B\\nC"), QStringLiteral("D")});
    EXPECT_EQ(g.Cells(0, 0), QStringLiteral("A"));
    EXPECT_EQ(g.Cells(1, 0), QStringLiteral("B\rC"));
    EXPECT_EQ(g.Cells(3, 0), QString());
    EXPECT_EQ(g.Cells(4, 0), QString());
}

TEST(ScrollTest, ScrollInViewCentresTheCell)
{
    ShownGrid s(60, 300, 560, 11 * 24 + 4);
    TExtStringGrid& g = *s.grid;
    g.SetDefaultRowHeight(24);
    for (int i = 0; i < 5 && g.visibleRowCount() != 10; ++i) {
        g.resize(g.width(), g.height() + 24 * (10 - g.visibleRowCount()));
        QApplication::processEvents();
    }
    ASSERT_EQ(g.visibleRowCount(), 10);
    g.ScrollInView(50, 200);
    EXPECT_EQ(g.TopRow(), 195);
    EXPECT_EQ(g.Row(), 200);
    EXPECT_EQ(g.Col(), 50);
    g.ScrollInView(70, 10); // beyond the columns: nothing
    EXPECT_EQ(g.Row(), 200);

    int nMax = 0, nPage = 0;
    EXPECT_TRUE(TExtStringGrid::ProportionalThumb(0.5, nMax, nPage));
    EXPECT_EQ(nMax, 255);
    EXPECT_EQ(nPage, 129);
    EXPECT_FALSE(TExtStringGrid::ProportionalThumb(1.0, nMax, nPage));
}
