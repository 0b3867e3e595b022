// Highlighting and marking inside cell texts, and cell checking through a checker component.
#include "controls/grid/core/ExtStringGrid.h"

#include <gtest/gtest.h>
#include <vector>

using namespace controls::grid;

TEST(HighlightTest, TextOperations)
{
    EXPECT_EQ(TExtStringGrid::HilightText(false, "Paris Rome", "rome"), "Paris <hi>Rome</hi>");
    EXPECT_EQ(TExtStringGrid::HilightText(true, "Paris Rome", "rome"), "Paris Rome");
    EXPECT_EQ(TExtStringGrid::MarkText(false, "a b a", "A"), "<e>a</e> b <e>a</e>");
    EXPECT_EQ(TExtStringGrid::UnHilightText("Paris <HI>Rome</hi>"), "Paris Rome");
    EXPECT_EQ(TExtStringGrid::UnMarkText("<e>a</e> b"), "a b");
}

TEST(HighlightTest, AColumnComesBackAsItWas)
{
    // Texts with markup characters and entities, a search text found inside an entity's
    // name, and cells without the text, which stay untouched.
    const QStringList texts{"x<y",         "a & b",    "say \"yes\"", "a &lt; b", "R&amp;D",
                            "no match", "<b>bold</b>", "amp amp",  "y&y",        ""};
    for (const QString& search : {QStringLiteral("y"), QStringLiteral("amp"), QStringLiteral("<"),
                                  QStringLiteral("&"), QStringLiteral("\"yes\"")}) {
        TExtStringGrid g;
        g.SetColCount(3);
        g.SetRowCount(int(texts.size()) + 1);
        g.SetCells(1, 0, "header y amp");
        for (int i = 0; i < texts.size(); ++i)
            g.SetCells(1, i + 1, texts[i]);
        g.HilightInCol(false, false, 1, search);
        EXPECT_EQ(g.Cells(1, 0), "header y amp") << "the header is not a data cell";
        for (int i = 0; i < texts.size(); ++i) {
            if (!texts[i].contains(search, Qt::CaseInsensitive)) {
                EXPECT_EQ(g.Cells(1, i + 1), texts[i]) << "untouched without an occurrence";
            } else {
                EXPECT_TRUE(g.Cells(1, i + 1).contains("<hi>")) << texts[i].toStdString();
            }
        }
        g.UnHilightInCol(false, 1);
        for (int i = 0; i < texts.size(); ++i)
            EXPECT_EQ(g.Cells(1, i + 1), texts[i]) << "search " << search.toStdString();
    }
}

TEST(HighlightTest, TaggedTextsAreEscapedForTheRenderer)
{
    TExtStringGrid g;
    g.SetCells(1, 1, "x<y");
    g.HilightInCell(false, 1, 1, "y");
    EXPECT_EQ(g.Cells(1, 1), "x&lt;<hi>y</hi>");
    // Tagging twice nests; one untag removes every level.
    g.HilightInCell(false, 1, 1, "y");
    g.UnHilightInCell(1, 1);
    EXPECT_EQ(g.Cells(1, 1), "x<y");
    // A highlight and a mark live side by side.
    g.SetCells(2, 2, "error here");
    g.MarkInCell(true, 2, 2, "error");
    g.HilightInCell(true, 2, 2, "here");
    g.UnHilightInCell(2, 2);
    EXPECT_EQ(g.Cells(2, 2), "<e>error</e> here");
    g.UnMarkInCell(2, 2);
    EXPECT_EQ(g.Cells(2, 2), "error here");
}

TEST(HighlightTest, GridRowAndFixedRanges)
{
    TExtStringGrid g;
    g.SetColCount(4);
    g.SetRowCount(4);
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            g.SetCells(c, r, "ab");
    g.MarkInGrid(false, false, "a");
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            EXPECT_EQ(g.Cells(c, r), c == 0 || r == 0 ? "ab" : "<e>a</e>b") << c << "," << r;
    g.UnMarkInGrid(false);
    g.HilightInRow(true, false, 2, "b");
    EXPECT_EQ(g.Cells(0, 2), "a<hi>b</hi>");
    EXPECT_EQ(g.Cells(3, 2), "a<hi>b</hi>");
    EXPECT_EQ(g.Cells(3, 1), "ab");
    g.UnHilightInRow(true, 2);
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            EXPECT_EQ(g.Cells(c, r), "ab");
    // The whole grid, hidden columns included, is cleaned.
    g.HilightInGrid(false, false, "a");
    g.HideColumn(2);
    g.UnHilightInGrid(false);
    g.UnHideColumnsAll();
    EXPECT_EQ(g.Cells(2, 2), "ab");
    EXPECT_EQ(g.Cells(3, 3), "ab");
}

namespace {

struct Checker : TExtStringGridCheck {
    std::vector<QPoint> offered;
    int starts = 0, stops = 0;
    QString Correct(int col, int row, const QString& text) override
    {
        offered.emplace_back(col, row);
        return text == "teh" ? QStringLiteral("the") : text;
    }
    QString MarkError(int, int, const QString& text) override
    {
        return text == "teh" ? QStringLiteral("<e>teh</e>") : text;
    }
    void StartCheck() override { ++starts; }
    void StopCheck() override { ++stops; }
};

} // namespace

TEST(HighlightTest, CheckCellsOffersEveryCell)
{
    TExtStringGrid g;
    g.SetColCount(3);
    g.SetRowCount(3);
    EXPECT_TRUE(g.CheckCells(1, 1, 2, 2)) << "without a checker";
    g.SetCells(1, 1, "ok");
    g.SetCells(2, 1, "teh");
    g.SetCells(1, 2, "fine");
    g.SetCells(2, 2, "good");
    Checker checker;
    checker.UseCorrect = true;
    g.CellChecker = &checker;
    EXPECT_FALSE(g.CheckCells(1, 1, 2, 2));
    EXPECT_EQ(checker.offered, (std::vector<QPoint>{{1, 1}, {2, 1}, {1, 2}, {2, 2}}));
    EXPECT_EQ(checker.starts, 1);
    EXPECT_EQ(checker.stops, 1);
    EXPECT_EQ(g.Cells(2, 1), "the");
    EXPECT_TRUE(g.CheckRow(false, 1)) << "corrected already";
    // Both switches: the marked text is kept; marks of an earlier check do not count as a change.
    g.SetCells(2, 1, "teh");
    checker.UseMarkError = true;
    EXPECT_FALSE(g.CheckCell(2, 1));
    EXPECT_EQ(g.Cells(2, 1), "<e>teh</e>");
    checker.UseCorrect = false;
    EXPECT_FALSE(g.CheckCell(2, 1));
    checker.UseMarkError = false;
    EXPECT_TRUE(g.CheckCell(2, 1));
    EXPECT_EQ(g.Cells(2, 1), "teh") << "the old mark goes";
    EXPECT_TRUE(g.CheckCells(2, 2, 1, 1)) << "an empty range";
}

TEST(HighlightTest, CheckingWithGotoCellVisitsAndReturns)
{
    TExtStringGrid g;
    g.SetColCount(4);
    g.SetRowCount(5);
    std::vector<QPoint> current;
    struct Visiting : Checker {
        TExtStringGrid* grid = nullptr;
        std::vector<QPoint>* seen = nullptr;
        QString Correct(int col, int row, const QString& text) override
        {
            seen->emplace_back(grid->Col(), grid->Row());
            return Checker::Correct(col, row, text);
        }
    } visiting;
    visiting.GotoCell = true;
    visiting.UseCorrect = true;
    visiting.grid = &g;
    visiting.seen = &current;
    g.CellChecker = &visiting;
    g.SetCol(1);
    g.SetRow(1);
    EXPECT_TRUE(g.CheckCol(false, 3));
    EXPECT_EQ(current, (std::vector<QPoint>{{3, 1}, {3, 2}, {3, 3}, {3, 4}}));
    EXPECT_EQ(QPoint(g.Col(), g.Row()), QPoint(1, 1));
    EXPECT_TRUE(g.CheckGrid(true));
    EXPECT_EQ(visiting.offered.size(), 4u + 20u);
}
