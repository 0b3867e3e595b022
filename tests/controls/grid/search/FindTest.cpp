// Search and replace on the string grid: the walking orders, ranges and restrictions, the
// cell test's options, hidden rows and columns, the walk's notifications, Replace and the
// incremental look-up in the sort column.
#include "controls/grid/core/ExtStringGrid.h"

#include <gtest/gtest.h>
#include <functional>
#include <vector>

using namespace controls::grid;

namespace {

using Hits = std::vector<QPoint>;

// FindFirst and FindNext until the end of the range; then one more FindNext, which must
// start over at the first hit.
Hits AllHits(TExtStringGrid& g, const QString& s, TFindParams params)
{
    Hits hits;
    for (QPoint p = g.FindFirst(s, params); p.x() >= 0; p = g.FindNext())
        hits.push_back(p);
    EXPECT_EQ(g.SearchCell, QPoint(-1, -1));
    if (!hits.empty()) {
        EXPECT_EQ(g.FindNext(), hits.front()) << "FindNext after the end starts over";
    }
    return hits;
}

// 5 x 5 cells, one fixed row and column; "x" in five data cells.
void FillCross(TExtStringGrid& g)
{
    g.SetColCount(5);
    g.SetRowCount(5);
    for (int c = 0; c < 5; ++c)
        for (int r = 0; r < 5; ++r)
            g.SetCells(c, r, QStringLiteral("c%1r%2").arg(c).arg(r));
    for (QPoint p : {QPoint(2, 1), QPoint(4, 1), QPoint(1, 3), QPoint(3, 3), QPoint(2, 4)})
        g.SetCells(p.x(), p.y(), QStringLiteral("x%1%2").arg(p.x()).arg(p.y()));
}

std::string Show(const Hits& hits)
{
    std::string s;
    for (QPoint p : hits)
        s += "(" + std::to_string(p.x()) + "," + std::to_string(p.y()) + ")";
    return s;
}

} // namespace

TEST(FindTest, TwoByTwoGridWithoutFixedCellsInBothOrders)
{
    TExtStringGrid g;
    g.SetColCount(2);
    g.SetRowCount(2);
    g.SetFixedRows(0);
    g.SetFixedCols(0);
    g.SetCells(0, 0, "a1");
    g.SetCells(1, 0, "b1");
    g.SetCells(0, 1, "a2");
    g.SetCells(1, 1, "b2");
    EXPECT_EQ(Show(AllHits(g, "b", {})), "(1,0)(1,1)");
    EXPECT_EQ(Show(AllHits(g, "b", {fnDirectionLeftRight})), "(1,0)(1,1)");
    EXPECT_EQ(Show(AllHits(g, "1", {fnDirectionLeftRight})), "(0,0)(1,0)");
    EXPECT_EQ(Show(AllHits(g, "1", {})), "(0,0)(1,0)");
    EXPECT_EQ(Show(AllHits(g, "a", {fnBackward})), "(0,1)(0,0)");
}

TEST(FindTest, WalkingOrdersAndRanges)
{
    struct Case {
        const char* name;
        TFindParams params;
        std::function<void(TExtStringGrid&)> setup;
        const char* hits;
    };
    const auto none = [](TExtStringGrid&) {};
    const Case cases[] = {
        {"column by column", {}, none, "(1,3)(2,1)(2,4)(3,3)(4,1)"},
        {"row by row", {fnDirectionLeftRight}, none, "(2,1)(4,1)(1,3)(3,3)(2,4)"},
        {"column by column backward", {fnBackward}, none, "(4,1)(3,3)(2,4)(2,1)(1,3)"},
        {"row by row backward", {fnDirectionLeftRight, fnBackward}, none, "(2,4)(3,3)(1,3)(4,1)(2,1)"},
        {"selection", {fnSelectedCells, fnDirectionLeftRight},
         [](TExtStringGrid& g) { g.SelectCells(2, 1, 3, 3); }, "(2,1)(3,3)"},
        {"selection backward", {fnSelectedCells, fnBackward},
         [](TExtStringGrid& g) { g.SelectCells(2, 1, 3, 3); }, "(3,3)(2,1)"},
        {"current row", {fnFindInCurrentRow},
         [](TExtStringGrid& g) {
             g.SetRow(3);
             g.SetCol(2);
         },
         "(1,3)(3,3)"},
        {"current column walking row by row", {fnFindInCurrentCol, fnDirectionLeftRight},
         [](TExtStringGrid& g) { g.SetCol(2); }, "(2,1)(2,4)"},
        {"current column backward", {fnFindInCurrentCol, fnBackward}, [](TExtStringGrid& g) { g.SetCol(2); },
         "(2,4)(2,1)"},
        {"preset column", {fnFindInPresetCol}, [](TExtStringGrid& g) { g.FindCol = 4; }, "(4,1)"},
        {"preset row walking column by column", {fnFindInPresetRow}, [](TExtStringGrid& g) { g.FindRow = 3; },
         "(1,3)(3,3)"},
        {"a footer row and a fixed right column are left out", {fnDirectionLeftRight},
         [](TExtStringGrid& g) {
             g.SetFixedFooters(1);
             g.SetFixedRightCols(1);
         },
         "(2,1)(1,3)(3,3)"},
        {"fixed cells included", {fnIncludeFixed, fnDirectionLeftRight},
         [](TExtStringGrid& g) {
             g.SetCells(3, 0, "x30");
             g.SetCells(0, 2, "x02");
         },
         "(3,0)(2,1)(4,1)(0,2)(1,3)(3,3)(2,4)"},
        {"fixed cells not included", {fnDirectionLeftRight},
         [](TExtStringGrid& g) {
             g.SetCells(3, 0, "x30");
             g.SetCells(0, 2, "x02");
         },
         "(2,1)(4,1)(1,3)(3,3)(2,4)"},
        {"an ignored column", {fnDirectionLeftRight}, [](TExtStringGrid& g) { g.IgnoreColumns().Add(2); },
         "(4,1)(1,3)(3,3)"},
        {"an ignored column backward", {fnBackward}, [](TExtStringGrid& g) { g.IgnoreColumns().Add(2); },
         "(4,1)(3,3)(1,3)"},
        {"a hidden row is skipped", {fnDirectionLeftRight}, [](TExtStringGrid& g) { g.HideRow(3); },
         "(2,1)(4,1)(2,3)"},
        {"hidden rows included, by real row", {fnDirectionLeftRight, fnIncludeHiddenRows},
         [](TExtStringGrid& g) { g.HideRow(3); }, "(2,1)(4,1)(1,3)(3,3)(2,4)"},
        {"a hidden column is skipped, hits by display column", {fnDirectionLeftRight},
         [](TExtStringGrid& g) { g.HideColumn(2); }, "(3,1)(1,3)(2,3)"},
        {"hidden columns included, by real column", {fnDirectionLeftRight, fnIncludeHiddenColumns},
         [](TExtStringGrid& g) { g.HideColumn(2); }, "(2,1)(4,1)(1,3)(3,3)(2,4)"},
    };
    for (const Case& c : cases) {
        TExtStringGrid g;
        FillCross(g);
        c.setup(g);
        EXPECT_EQ(Show(AllHits(g, "X", c.params)), c.hits) << c.name;
    }
}

TEST(FindTest, FindStartsAfterTheStartCellAndRestartsOutsideTheRange)
{
    TExtStringGrid g;
    FillCross(g);
    const TFindParams rows{fnDirectionLeftRight};
    EXPECT_EQ(g.Find(QPoint(2, 1), "x", rows), QPoint(4, 1));
    EXPECT_EQ(g.Find(QPoint(4, 1), "x", rows), QPoint(1, 3)) << "the last column steps to the next row";
    EXPECT_EQ(g.Find(QPoint(0, 3), "x", rows), QPoint(1, 3)) << "a start left of the range begins its row";
    EXPECT_EQ(g.Find(QPoint(2, 4), "x", rows), QPoint(-1, -1)) << "no wrap-around";
    EXPECT_EQ(g.Find(QPoint(1, 40), "x", rows), QPoint(2, 1)) << "a row outside the range starts over";
    EXPECT_EQ(g.Find(QPoint(1, 40), "x", {fnDirectionLeftRight, fnBackward}), QPoint(2, 4));
    EXPECT_EQ(g.Find(QPoint(3, 3), "x", {fnDirectionLeftRight, fnBackward}), QPoint(1, 3));
}

TEST(FindTest, CellTestOptions)
{
    struct Case {
        const char* text;
        const char* search;
        TFindParams params;
        bool found;
    };
    const Case cases[] = {
        {"ab", "b", {}, true},
        {"ab", "b", {fnMatchStart}, false},
        {"ab", "a", {fnMatchStart}, true},
        {"ab", "a", {fnMatchFull}, false},
        {"ab", "AB", {fnMatchFull}, true},
        {"ab", "AB", {fnMatchFull, fnMatchCase}, false},
        {"xabcx", "ABC", {}, true},
        {"xabcx", "ABC", {fnMatchCase}, false},
        {"xABCx", "ABC", {fnMatchCase}, true},
        {"\u00e9t\u00e9", "\u00c9T\u00c9", {}, true},
        {"<b>bo</b>ld", "bold", {}, false},
        {"<b>bo</b>ld", "bold", {fnIgnoreHTMLTags}, true},
        {"", "\"\"", {}, true},
        {"a", "\"\"", {}, false},
        {"abc", "", {}, false},
    };
    for (const Case& c : cases) {
        TExtStringGrid g;
        g.SetColCount(2);
        g.SetRowCount(2);
        g.SetFixedRows(0);
        g.SetFixedCols(0);
        g.SetCells(1, 0, "zzz");
        g.SetCells(0, 1, "zzz");
        g.SetCells(1, 1, "zzz");
        g.SetCells(0, 0, QString::fromUtf8(c.text));
        const QPoint hit = g.FindFirst(QString::fromUtf8(c.search), c.params);
        EXPECT_EQ(hit == QPoint(0, 0), c.found) << c.text << " / " << c.search;
    }
}

TEST(FindTest, TwoQuotesFindTheFirstEmptyCell)
{
    TExtStringGrid g;
    FillCross(g);
    g.SetCells(3, 2, "");
    g.SetCells(2, 3, "");
    EXPECT_EQ(g.FindFirst("\"\"", {fnDirectionLeftRight}), QPoint(3, 2));
    EXPECT_EQ(g.FindFirst("\"\"", {}), QPoint(2, 3));
}

TEST(FindTest, TheWalkReportsItsCellsAndItsEnd)
{
    struct Recorder : TExtStringGrid {
        std::vector<std::pair<TGridExportState, int>> calls;
        void ExportNotification(TGridExportState state, int row) override { calls.emplace_back(state, row); }
    };
    Recorder g;
    g.SetColCount(3);
    g.SetRowCount(4);
    g.SetCells(2, 3, "bottom right");
    g.SetCells(1, 1, "top left");
    // Backwards from (-1, -1) the bottom-right cell is examined first.
    EXPECT_EQ(g.Find(QPoint(-1, -1), "o", {fnBackward, fnDirectionLeftRight}), QPoint(2, 3));
    ASSERT_EQ(g.calls.size(), 3u);
    EXPECT_EQ(g.calls[0], std::make_pair(esExportStart, -1));
    EXPECT_EQ(g.calls[1], std::make_pair(esExportNewRow, 3));
    EXPECT_EQ(g.calls[2], std::make_pair(esExportFail, -1));
    g.calls.clear();
    EXPECT_EQ(g.FindWide(QPoint(-1, -1), "nowhere", {}), QPoint(-1, -1));
    ASSERT_EQ(g.calls.size(), 2u + 2u * 3u);
    EXPECT_EQ(g.calls.back(), std::make_pair(esExportDone, -1));
}

TEST(FindTest, AutoGotoMovesTheCurrentCell)
{
    TExtStringGrid g;
    FillCross(g);
    g.FindFirst("x", {fnAutoGoto, fnDirectionLeftRight});
    EXPECT_EQ(QPoint(g.Col(), g.Row()), QPoint(2, 1));
    g.FindNext();
    EXPECT_EQ(QPoint(g.Col(), g.Row()), QPoint(4, 1));
    // A hit found among hidden rows: the row is shown, so the current row is its display row.
    g.HideRow(2);
    g.FindFirst("x13", {fnAutoGoto, fnIncludeHiddenRows});
    EXPECT_EQ(QPoint(g.Col(), g.Row()), QPoint(1, 2));
    // A hit in a hidden row is reported but not gone to.
    g.UnHideRowsAll();
    g.SetCells(1, 2, "hidden x");
    g.HideRow(2);
    g.SetRow(1);
    EXPECT_EQ(g.FindFirst("hidden", {fnAutoGoto, fnIncludeHiddenRows}), QPoint(1, 2));
    EXPECT_EQ(g.Row(), 1) << "the current row stays where it was";
    // With disjunct row selection the row is selected.
    TExtStringGrid d;
    FillCross(d);
    d.MouseActions.SetDisjunctRowSelect(true);
    d.FindFirst("x33", {fnAutoGoto});
    EXPECT_EQ(d.Row(), 3);
    EXPECT_TRUE(d.RowSelect(3));
}

TEST(FindTest, ReplaceRewritesEveryHit)
{
    TExtStringGrid g;
    g.SetColCount(4);
    g.SetRowCount(4);
    g.SetCells(1, 1, "Axb");
    g.SetCells(2, 2, "xx");
    g.SetCells(3, 3, "Cx");
    g.SetCells(0, 1, "x"); // fixed: not searched
    EXPECT_EQ(g.Replace("x", "y", {}), 3);
    EXPECT_EQ(g.Cells(1, 1), "Ayb");
    EXPECT_EQ(g.Cells(2, 2), "yy");
    EXPECT_EQ(g.Cells(3, 3), "Cy");
    EXPECT_EQ(g.Cells(0, 1), "x");
    // Without case every case of the text goes; the search after each hit keeps a replacement
    // that holds the text from being replaced again.
    g.SetCells(1, 2, "X and x");
    EXPECT_EQ(g.Replace("X", "xx", {}), 1);
    EXPECT_EQ(g.Cells(1, 2), "xx and xx");
    EXPECT_EQ(g.Replace("", "z", {}), 0);
}

TEST(FindTest, ReplaceHonoursMatchCase)
{
    TExtStringGrid g;
    g.SetColCount(3);
    g.SetRowCount(4);
    g.SetCells(1, 1, "x");
    g.SetCells(1, 2, "X");
    g.SetCells(1, 3, "aXx");
    EXPECT_EQ(g.Replace("x", "y", {fnMatchCase}), 2);
    EXPECT_EQ(g.Cells(1, 1), "y");
    EXPECT_EQ(g.Cells(1, 2), "X");
    EXPECT_EQ(g.Cells(1, 3), "aXy");
}

TEST(FindTest, ReplaceWritesTheCellItFoundBesideHiddenColumnsAndRows)
{
    TExtStringGrid g;
    g.SetColCount(4);
    g.SetRowCount(4);
    g.SetCells(1, 1, "keep");
    g.SetCells(2, 1, "x");
    g.SetCells(3, 2, "x hidden");
    g.HideColumn(1);
    g.HideRow(2);
    g.ShowModified.Enabled = true;
    EXPECT_EQ(g.Replace("x", "y", {}), 1);
    EXPECT_EQ(g.Cells(2, 1), "y") << "real column 2, shown as column 1";
    EXPECT_EQ(g.Cells(1, 1), "keep");
    EXPECT_TRUE(g.RowModified(1));
    EXPECT_EQ(g.Replace("x", "y", {fnIncludeHiddenRows}), 1);
    EXPECT_EQ(g.AllCells(3, 2), "y hidden");
    EXPECT_TRUE(g.RowModified(2));
    g.UnHideRowsAll();
    g.UnHideColumnsAll();
    EXPECT_EQ(g.Cells(3, 2), "y hidden");
    EXPECT_EQ(g.Cells(1, 1), "keep");
}

TEST(FindTest, IncrementalSearchInTheSortColumn)
{
    TExtStringGrid g;
    g.SetColCount(4);
    g.SetRowCount(4);
    g.SetCells(1, 1, "Paris");
    g.SetCells(1, 2, "<b>Rome</b>");
    g.SetCells(2, 1, "Oslo");
    g.SetCells(2, 3, "Bern");
    EXPECT_EQ(g.Search("RO"), 2);
    EXPECT_EQ(g.Search("PA"), 1);
    EXPECT_EQ(g.Search("X"), -1);
    g.SortSettings.Show = true;
    g.SortSettings.Column = 2;
    EXPECT_EQ(g.Search("BE"), 3);
    g.SortSettings.Column = -1;
    EXPECT_EQ(g.Search("BE"), -1);
    g.SortSettings.IndexShow = true;
    EXPECT_EQ(g.Search("PA"), 1) << "an empty index list searches the first data column";
    g.SortIndexes.AddIndex(2, true);
    EXPECT_EQ(g.Search("OS"), 1);
    g.SetRowCount(1);
    EXPECT_EQ(g.Search("PA"), -1);
}
