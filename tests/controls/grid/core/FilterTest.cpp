// Filtering: the filter items and how their results join, the texts they test, filter levels
// stacking and coming off, the incremental NarrowDown, the drop-down's choices, rows hidden by
// range or by contracted nodes that no filter level may touch, the progress reports, and a
// property test: a filter applied and removed gives back every cell and every hidden state.
#include "controls/grid/core/ExtStringGrid.h"

#include "controls/grid/util/FilterExpression.h"
#include "platform/core/Errors.h"
#include "platform/core/FormatSettings.h"

#include <gtest/gtest.h>
#include <random>

using namespace controls::grid;

namespace {

class FilterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::ResetFormatSettings();
        g.SetColCount(3);
        g.SetFixedRows(1);
    }
    void fill(const QStringList& col1, const QStringList& col2 = {})
    {
        g.SetRowCount(int(col1.size()) + 1);
        for (int i = 0; i < col1.size(); ++i) {
            g.SetCells(1, i + 1, col1[i]);
            if (i < col2.size())
                g.SetCells(2, i + 1, col2[i]);
        }
    }
    QStringList shown(int col = 1)
    {
        QStringList out;
        for (int r = g.FixedRows(); r < g.RowCount(); ++r)
            out << g.Cells(col, r);
        return out;
    }
    TFilterData* add(int col, const char* condition)
    {
        TFilterData* f = g.Filter.Add();
        f->Column = short(col);
        f->Condition = QString::fromUtf8(condition);
        return f;
    }
    TExtStringGrid g;
};

} // namespace

TEST_F(FilterTest, TheItemsOfAFilter)
{
    TFilter& f = g.Filter;
    EXPECT_EQ(f.Add()->Operation, foNONE);
    EXPECT_EQ(f.Add()->Operation, foAND);
    EXPECT_EQ(f.Insert(0)->Operation, foSHORT);
    EXPECT_EQ(f.Count(), 3);
    f.Items(1)->Column = 2;
    EXPECT_TRUE(f.HasFilter(2));
    EXPECT_EQ(f.ColumnFilter(2), f.Items(1));
    TFilterData* fresh = f.ColumnFilter(5);
    EXPECT_EQ(fresh->Column, 5);
    EXPECT_EQ(f.Count(), 4);
    f.RemoveColumnFilter(0);
    EXPECT_EQ(f.Count(), 2);
    EXPECT_THROW(f.Items(7), platform::EListError);

    TFilterData a, b;
    a.Column = 3;
    a.Condition = QStringLiteral(">5");
    a.CaseSensitive = false;
    a.Data = fcRow;
    a.Prefix = QStringLiteral("p");
    a.Suffix = QStringLiteral("s");
    a.Operation = foXOR;
    a.Method = fmLiteral;
    b.Assign(&a);
    EXPECT_EQ(b.Column, 3);
    EXPECT_EQ(b.Condition, QStringLiteral(">5"));
    EXPECT_FALSE(b.CaseSensitive);
    EXPECT_EQ(b.Data, fcRow);
    EXPECT_EQ(b.Prefix + b.Suffix, QStringLiteral("ps"));
    EXPECT_EQ(b.Operation, foXOR);
    EXPECT_EQ(b.Method, fmExpression); // not copied
    b.Assign(nullptr);
    TSortSettings other;
    EXPECT_THROW(b.Assign(&other), platform::EInvalidCast);
}

TEST_F(FilterTest, ConditionsAndHowTheirResultsJoin)
{
    fill({"5", "10", "11", "20"}, {"a", "b", "c", "d"});
    add(1, ">10");
    g.SetFilterActive(true);
    EXPECT_EQ(shown(), (QStringList{"11", "20"}));
    g.SetFilterActive(false);
    EXPECT_EQ(shown(), (QStringList{"5", "10", "11", "20"}));

    g.RemoveAllFilters();
    g.Filter.Clear();
    add(1, ">10");
    add(2, "c|a");
    g.ApplyFilter();
    EXPECT_EQ(shown(), (QStringList{"11"}));
    g.RemoveLastFilter();
    g.Filter.Items(1)->Operation = foOR;
    g.ApplyFilter();
    EXPECT_EQ(shown(), (QStringList{"5", "11", "20"}));
    g.RemoveLastFilter();
    g.Filter.Items(1)->Operation = foXOR;
    g.ApplyFilter();
    EXPECT_EQ(shown(), (QStringList{"5", "20"}));
    g.RemoveLastFilter();

    // A failing first item with foSHORT skips the rest; the custom event still decides.
    g.Filter.Items(0)->Operation = foSHORT;
    g.Filter.Items(1)->Operation = foOR;
    int asked = 0;
    g.OnCustomFilter = [&](TExtStringGrid* s, int row, bool& accept) {
        ++asked;
        if (s->Cells(1, row) == QStringLiteral("5"))
            accept = true;
    };
    g.ApplyFilter();
    EXPECT_EQ(shown(), (QStringList{"5", "11", "20"}));
    EXPECT_EQ(asked, 4);
}

TEST_F(FilterTest, ApplyingReportsItsProgress)
{
    // Each hidden row reports the share hidden so far of all data rows (halves to even), then
    // the final value once more; a grid without data rows reports its final 0.
    struct Case {
        QStringList col;
        std::vector<int> reports;
    };
    const Case cases[] = {{{"x", "y", "x", "z"}, {25, 50, 50}},
                          {{"y", "x", "y", "x", "x", "x", "x", "x"}, {12, 25, 25}}, // 12.5 -> 12
                          {{"x", "x"}, {0}},
                          {{"footer"}, {0}}}; // the one row is a footer row: no data rows
    for (const Case& k : cases) {
        fill(k.col);
        g.SetFixedFooters(k.col == QStringList{"footer"} ? 1 : 0);
        g.Filter.Clear();
        add(1, "x");
        std::vector<int> reports;
        g.OnFilterProgress = [&reports](TExtStringGrid*, int p) { reports.push_back(p); };
        g.ApplyFilter();
        EXPECT_EQ(reports, k.reports) << k.col.join(u',').toStdString();
        g.RemoveAllFilters();
    }
}

TEST_F(FilterTest, TheTextsAFilterTests)
{
    fill({"x", "EUR 7", "EUR 3", "<b>bold</b>", "  7 kg "}, {"Rome", "Paris", "", "", ""});
    TFilterData* f = add(2, "rome");
    f->Data = fcRow;
    g.ApplyFilter();
    EXPECT_EQ(shown(), (QStringList{"x"}));
    g.RemoveAllFilters();

    g.Filter.Clear();
    f = add(1, ">5");
    f->Prefix = QStringLiteral("EUR ");
    f->Suffix = QStringLiteral(" kg");
    g.ApplyFilter();
    // "x" and the tag compare as texts after "5"; "EUR 3" is 3.
    EXPECT_EQ(shown(), (QStringList{"x", "EUR 7", "<b>bold</b>", "  7 kg "}));
    g.RemoveAllFilters();

    g.Filter.Clear();
    f = add(1, "bold");
    f->Data = fcStripHTML;
    g.ApplyFilter();
    EXPECT_EQ(shown(), (QStringList{"<b>bold</b>"}));
    g.RemoveAllFilters();

    g.Filter.Clear();
    f = add(1, "EUR 7");
    f->Method = fmLiteral;
    f->Data = fcNormal;
    g.ApplyFilter();
    EXPECT_EQ(shown(), (QStringList{"EUR 7"}));
    g.RemoveAllFilters();

    // A filter where every row passes still adds a level.
    g.Filter.Clear();
    add(1, "*");
    g.ApplyFilter();
    EXPECT_EQ(g.FilterLevel(), 1);
    EXPECT_TRUE(g.RemoveLastFilter());
    EXPECT_FALSE(g.RemoveLastFilter());
}

TEST_F(FilterTest, NarrowDownAddsAndRemovesLevels)
{
    fill({"abc", "abd", "xab", "new york", "zz"});
    g.NarrowDown(QStringLiteral("a"), 1);
    g.NarrowDown(QStringLiteral("ab"), 1);
    g.NarrowDown(QStringLiteral("abc"), 1);
    EXPECT_EQ(g.FilterLevel(), 3);
    EXPECT_EQ(shown(), (QStringList{"abc"}));
    g.NarrowDown(QStringLiteral("ab"), 1);
    EXPECT_EQ(g.FilterLevel(), 2);
    EXPECT_EQ(shown(), (QStringList{"abc", "abd", "xab"}));
    g.NarrowDown(QString(), 1);
    EXPECT_EQ(g.FilterLevel(), 0);
    EXPECT_EQ(shown(), (QStringList{"abc", "abd", "xab", "new york", "zz"}));
    EXPECT_EQ(g.NumHiddenRows(), 0);

    g.NarrowDown(QStringLiteral("W Y"), 1); // a blank: the contains-pattern is quoted
    EXPECT_EQ(shown(), (QStringList{"new york"}));
    g.NarrowDown(QStringLiteral("ZZ"), -1); // the whole row
    EXPECT_EQ(shown(), (QStringList{"zz"}));
    EXPECT_EQ(g.FilterLevel(), 1);
}

TEST_F(FilterTest, RowsHiddenByRangeStayHiddenWithTheirTexts)
{
    fill({"a1", "b2", "a3", "b4", "a5"});
    g.HideRow(2); // "b2" by range
    g.Filter.Clear();
    add(1, "a*");
    g.ApplyFilter();
    EXPECT_EQ(shown(), (QStringList{"a1", "a3", "a5"}));
    g.RemoveLastFilter();
    EXPECT_EQ(shown(), (QStringList{"a1", "a3", "b4", "a5"}));
    EXPECT_TRUE(g.IsHiddenRow(2));
    EXPECT_EQ(g.AllCells(1, 2), QStringLiteral("b2"));

    // The incremental filter ended with an empty text after RemoveAllFilters: the range-hidden
    // row keeps its place and its text.
    g.NarrowDown(QStringLiteral("a"), 1);
    g.RemoveAllFilters();
    g.NarrowDown(QString(), 1);
    EXPECT_TRUE(g.IsHiddenRow(2));
    EXPECT_EQ(g.AllCells(1, 2), QStringLiteral("b2"));
    g.UnHideRow(2);
    EXPECT_EQ(shown(), (QStringList{"a1", "b2", "a3", "b4", "a5"}));
}

TEST_F(FilterTest, TheDropDownsChoices)
{
    fill({"x", "y", "x", "z"}, {"1", "2", "3", "4"});
    g.FilterDropDownAuto = true;
    add(2, "<4"); // another column's filter
    g.SetFilterColumn(1);
    g.GetColumnFilter(1);
    const int xEntry = g.FilterList().IndexOf(QStringLiteral("x"));
    ASSERT_GE(xEntry, 0);
    int done = 0;
    g.OnFilterDone = [&](TExtStringGrid*) { ++done; };
    g.FilterSelect(xEntry);
    EXPECT_EQ(shown(), (QStringList{"x", "x"}));
    EXPECT_EQ(g.FilterColumn(), -1);
    EXPECT_EQ(done, 1);

    g.SetFilterColumn(1);
    g.GetColumnFilter(1);
    g.FilterSelect(g.FilterList().IndexOf(QStringLiteral("(All)")));
    EXPECT_FALSE(g.Filter.HasFilter(1));
    EXPECT_EQ(shown(), (QStringList{"x", "y", "x"})); // the other column's filter still hides "z"

    // The check list: the checked entries, joined by or.
    g.SetFilterColumn(1);
    g.GetColumnFilter(1);
    g.FilterChecks().assign(size_t(g.FilterList().Count()), 0);
    g.FilterChecks()[size_t(g.FilterList().IndexOf(QStringLiteral("y")))] = 1;
    g.FilterChecks()[size_t(g.FilterList().IndexOf(QStringLiteral("z")))] = 1;
    g.FilterCheck();
    EXPECT_EQ(shown(), (QStringList{"y", "z"}));
    EXPECT_EQ(g.Filter.Count(), 2);
    EXPECT_EQ(g.Filter.Items(1)->Operation, foOR);

    // A closed drop-down ignores a choice.
    g.SetFilterColumn(-1);
    g.FilterSelect(0);
    EXPECT_EQ(shown(), (QStringList{"y", "z"}));

    // OnFilterCheck hears of each checked entry and may change its condition; a grid without
    // the drop-down's windows hands it no check list.
    QStringList heard;
    g.OnFilterCheck = [&](TExtStringGrid*, int col, int index, const QString& name, QString& condition,
                          TDropCheckList* list) {
        heard << QStringLiteral("%1:%2:%3:%4").arg(col).arg(index).arg(name, condition) + (list ? "+list" : "");
        if (condition == QStringLiteral("z"))
            condition = QStringLiteral("x");
    };
    g.SetFilterColumn(1);
    g.FilterCheck();
    const int y = g.FilterList().IndexOf(QStringLiteral("y")), z = g.FilterList().IndexOf(QStringLiteral("z"));
    EXPECT_EQ(heard, (QStringList{QStringLiteral("1:%1:y:y").arg(y), QStringLiteral("1:%1:z:z").arg(z)}));
    EXPECT_EQ(shown(), (QStringList{"x", "y", "x"}));
}

TEST(FilterPropertyTest, AFilterAppliedAndRemovedGivesBackEveryCellAndHiddenState)
{
    const QStringList words{"alpha", "beta", "gamma", "Delta", "new york", "", "b*c", "x&y"};
    const QStringList conditions{">50",  "<10&>-10", "a*|*a", "!b*",       ">1/6/2020", "*e*",
                                 "=beta", "<=0",     "*",     "\"x&y\"", "(a*|g*)&*a", ">gamma"};
    int contracted = 0;
    for (unsigned seed = 1; seed <= 40; ++seed) {
        std::mt19937 rng(seed);
        TExtStringGrid g;
        const int cols = 4, rows = 10 + int(rng() % 60);
        g.SetColCount(cols);
        g.SetFixedRows(1);
        g.SetRowCount(rows);
        for (int r = 1; r < rows; ++r) {
            g.SetCells(0, r, words[int(rng() % unsigned(words.size()))]);
            g.SetCells(1, r, QString::number(int(rng() % 200) - 100));
            g.SetCells(2, r, QStringLiteral("%1/%2/20%3").arg(1 + rng() % 28).arg(1 + rng() % 12).arg(10 + rng() % 20));
            g.SetCells(3, r, QString::number(double(rng() % 1000) / 7.0, 'f', 2));
        }
        // Nodes over some runs of rows, some of them contracted; then rows hidden by range.
        std::vector<int> nodes;
        for (int r = 1; r + 2 < rows; ++r)
            if (rng() % 4 == 0) {
                const int span = 2 + int(rng() % 4);
                if (r + span > rows)
                    break;
                g.AddNode(r, span);
                nodes.push_back(r);
                r += span - 1;
            }
        bool anyContracted = false;
        for (auto it = nodes.rbegin(); it != nodes.rend(); ++it)
            if (rng() % 2 == 0) {
                g.ContractNode(*it);
                anyContracted = true;
            }
        for (int k = int(rng() % 5); k > 0; --k)
            g.HideRow(1 + int(rng() % unsigned(rows - 1)));
        // Everything before: the cells of every real row and which rows are hidden.
        auto snapshot = [&] {
            QStringList all;
            for (int r = 0; r < g.TotalRowCount(); ++r) {
                QString line = g.IsHiddenRow(r) ? QStringLiteral("H|") : QStringLiteral("S|");
                for (int c = 0; c < cols; ++c)
                    line += g.AllCells(c, r) + QLatin1Char('|');
                all << line;
            }
            return all;
        };
        const QStringList before = snapshot();
        const int hiddenBefore = g.NumHiddenRows();

        const int levels = 1 + int(rng() % 3);
        for (int l = 0; l < levels; ++l) {
            g.Filter.Clear();
            TFilterData* f = g.Filter.Add();
            f->Column = short(rng() % unsigned(cols));
            f->Condition = conditions[int(rng() % unsigned(conditions.size()))];
            f->CaseSensitive = rng() % 2 == 0;
            // Exactly the shown data rows that fail the condition go; node rows never do.
            QStringList stay;
            for (int r = 1; r < g.RowCount(); ++r)
                if (g.IsNode(r) || MatchFilterExpression(f->Condition, g.Cells(f->Column, r).trimmed(), f->CaseSensitive))
                    stay << g.Cells(0, r) + g.Cells(1, r) + g.Cells(2, r);
            g.ApplyFilter();
            QStringList got;
            for (int r = 1; r < g.RowCount(); ++r)
                got << g.Cells(0, r) + g.Cells(1, r) + g.Cells(2, r);
            ASSERT_EQ(got, stay) << "seed " << seed << " condition " << f->Condition.toStdString();
        }
        switch (rng() % 4) {
        case 0:
            g.RemoveAllFilters();
            break;
        case 3:
            // The incremental filter's end: nothing but the filter levels may go.
            g.RemoveAllFilters();
            g.NarrowDown(QString(), int(rng() % unsigned(cols)));
            break;
        case 1:
            for (int l = 0; l < levels; ++l)
                ASSERT_TRUE(g.RemoveLastFilter());
            break;
        default:
            g.SetFilterActive(true); // one level more, then shown again without lowering the count
            g.SetFilterActive(false);
            g.RemoveAllFilters();
            break;
        }
        EXPECT_EQ(g.FilterLevel(), 0);
        EXPECT_EQ(g.NumHiddenRows(), hiddenBefore) << "seed " << seed;
        ASSERT_EQ(snapshot(), before) << "seed " << seed;
        contracted += anyContracted ? 1 : 0;
    }
    EXPECT_GE(contracted, 10); // the grids did hold contracted nodes
}

TEST_F(FilterTest, TheFilterButtonsRowIsAFixedRow)
{
    g.SetFixedRows(2);
    g.SetFilterDropDownRow(1);
    EXPECT_EQ(g.FilterDropDownRow, 1);
    g.SetFilterDropDownRow(2);
    EXPECT_EQ(g.FilterDropDownRow, 1);
}

TEST_F(FilterTest, ASearchWithAnExpressionUsesTheFilterLanguage)
{
    fill({"pump", "Valve 12", "valve 7", "fan"});
    // Row by row from the top: the first cell whose text matches "v*&*7" ignoring case.
    const QPoint hit = g.FindFirst(QStringLiteral("v*&*7"), TFindParams{fnMatchRegular, fnDirectionLeftRight});
    EXPECT_EQ(hit, QPoint(1, 3));
    EXPECT_EQ(g.FindFirst(QStringLiteral("f?n|x"), TFindParams{fnMatchRegular, fnMatchCase, fnDirectionLeftRight}),
              QPoint(1, 4));
}

TEST_F(FilterTest, ANodeContractedWhileFilteredKeepsItsRowsWhenTheFilterGoes)
{
    // The rows the filter hid inside a node contracted meanwhile stay with the node: the filter
    // going never shows them inside the contracted node; expanding the node shows them all.
    for (const bool byActive : {false, true}) {
        SCOPED_TRACE(byActive);
        TExtStringGrid& grid = g;
        grid.RemoveAllFilters();
        grid.RemoveAllNodes();
        fill({"n", "a", "b", "a", "b", "z", "b"});
        grid.AddNode(1, 5);
        grid.Filter.Clear();
        add(1, "!b");
        if (byActive)
            grid.SetFilterActive(true);
        else
            grid.ApplyFilter();
        EXPECT_EQ(shown(), (QStringList{"n", "a", "a", "z"}));
        grid.ContractNode(1);
        EXPECT_EQ(shown(), (QStringList{"n", "z"}));
        if (byActive)
            grid.SetFilterActive(false);
        else
            grid.RemoveLastFilter();
        EXPECT_EQ(shown(), (QStringList{"n", "z", "b"})); // the "b" outside the node comes back
        EXPECT_TRUE(grid.GetNodeState(1));
        grid.ExpandNode(1);
        EXPECT_EQ(shown(), (QStringList{"n", "a", "b", "a", "b", "z", "b"}));
        EXPECT_EQ(grid.NumHiddenRows(), 0);
    }
}
