// Sorting: the comparison of two cells by every sort style, ties, the index list, the sorts with
// their framing (footers, hidden columns, fixed column 0, the cross-reference), a sort that
// fails part-way, and the sort state as text.
#include "controls/grid/core/ExtStringGrid.h"

#include "platform/core/Errors.h"
#include "platform/core/FormatSettings.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <random>
#include <stdexcept>

using namespace controls::grid;

namespace {

class SortTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::ResetFormatSettings();
        g.SetColCount(4);
        g.SetRowCount(3);
    }
    void TearDown() override { platform::ResetFormatSettings(); }
    // Column 1 of rows 1 and 2 compared in the given style (prefix and suffix from the event).
    int compare(int style, const QString& a, const QString& b, TSortDirection dir = sdAscending,
                const QString& prefix = QString(), const QString& suffix = QString())
    {
        g.OnGetFormat = [=](TExtStringGrid*, int, int& s, QString& p, QString& x) {
            s = style;
            p = prefix;
            x = suffix;
        };
        g.SetCells(1, 1, a);
        g.SetCells(1, 2, b);
        return g.CompareCells(1, 1, dir, 2);
    }
    void fill(int col, const QStringList& texts)
    {
        g.SetRowCount(int(texts.size()) + g.FixedRows() + g.FixedFooters());
        for (int i = 0; i < texts.size(); ++i)
            g.SetCells(col, g.FixedRows() + i, texts[i]);
    }
    QStringList column(int col)
    {
        QStringList out;
        for (int r = g.FixedRows(); r < g.RowCount() - g.FixedFooters(); ++r)
            out << g.Cells(col, r);
        return out;
    }
    TExtStringGrid g;
};

} // namespace

TEST_F(SortTest, EveryStyleOnItsEdgeValues)
{
    struct Case {
        int style;
        const char* a;
        const char* b;
        int expected;
        const char* prefix = "";
        const char* suffix = "";
    } cases[] = {
        {ssNumeric, "10", "9", 1},
        {ssNumeric, "abc", "xyz", 0},
        {ssNumeric, "", "5", -1},
        {ssNumeric, "-2.5", "-3", 1},
        {ssNumeric, "1e3", "999", 1},
        {ssNumeric, "10 kg", "9 kg", 1, "", " kg"},
        {ssNumeric, "$10", "$9", 1, "$", ""},
        {ssNumeric, "1,234.50", "999", -1},
        {ssFinancial, "1,234.50", "999", 1},
        {ssFinancial, "-1,000", "-999", -1},
        {ssAutomatic, "12/05/2020", "01/01/2021", -1},
        {ssAutomatic, "2/x", "10/y", 1},
        {ssAutomatic, "9:30", "10:15", -1},
        {ssAutomatic, "12/05/2020 10:00", "12/05/2020 09:00", 1},
        {ssAutomatic, "10", "9", 1},
        {ssAutomatic, "b", "a", 1},
        {ssAlphaNoCase, "abc", "ABC", 0},
        {ssAlphabetic, "abc", "ABC", 1},
        {ssAlphaCase, "abc", "ABC", 1},
        {ssAnsiAlphaNoCase, "a", "B", -1},
        {ssAnsiAlphaCase, "b", "a", 1},
        {ssAlphaNumeric, "10", "9", 1},
        {ssAlphaNumeric, "10", "a", -1},
        {ssAlphaNumericNoCase, "a", "A", 0},
        {ssDate, "01/02/2020", "15/01/2020", 1},
        {ssDate, "", "15/01/2020", -1},
        {ssDateTime, "01/02/2020 10:00", "01/02/2020 09:30", 1},
        {ssTime, "9:30", "10:15", -1},
        {ssShortDateEU, "01/02/2020", "15/01/2020", 1},
        {ssShortDateUS, "01/02/2020", "01/15/2020", -1},
        {ssShortDateEU, "31/02/2020", "01/01/2020", -1}, // no such date: counts 0
        {ssHTML, "<b>b</b>", "a", 1},
        {ssCustom, "x", "y", 0}, // no event: equal
        {ssRaw, "x", "y", 0},
        {20, "x", "y", 1}, // no such style
    };
    for (const Case& c : cases)
        EXPECT_EQ(compare(c.style, QString::fromUtf8(c.a), QString::fromUtf8(c.b), sdAscending,
                          QString::fromUtf8(c.prefix), QString::fromUtf8(c.suffix)),
                  c.expected)
            << c.style << " " << c.a << " / " << c.b;
}

TEST_F(SortTest, EventsCheckBoxesImagesAndBlanks)
{
    g.OnCustomCompare = [](TExtStringGrid*, const QString& a, const QString& b, int& res) {
        res = int(a.size() - b.size());
    };
    EXPECT_EQ(compare(ssCustom, QStringLiteral("aaaa"), QStringLiteral("b")), 3); // the event's own value
    int rawRows = 0;
    g.OnRawCompare = [&](TExtStringGrid*, int col, int r1, int r2, int& res) {
        rawRows = col * 100 + r1 * 10 + r2;
        res = -7;
    };
    EXPECT_EQ(compare(ssRaw, QString(), QString()), -7);
    EXPECT_EQ(rawRows, 112);

    g.AddCheckBox(1, 1, true, false);
    g.AddCheckBox(1, 2, false, false);
    EXPECT_EQ(compare(ssCheckBox, QString(), QString()), 1);
    EXPECT_EQ(compare(ssAutomatic, QString(), QString()), 1); // a check box cell decides the style
    g.RemoveCheckBox(1, 1);
    g.RemoveCheckBox(1, 2);
    g.CreateCellGraphic(1, 1)->SetImageIdx(2, haLeft, vaTop);
    g.CreateCellGraphic(1, 2)->SetImageIdx(5, haLeft, vaTop);
    EXPECT_EQ(compare(ssImages, QString(), QString()), -1);

    // Blanks first or last whatever the direction; the prepared number text counts.
    g.SortSettings.IgnoreBlanks = true;
    for (TSortBlankPosition pos : {blFirst, blLast})
        for (TSortDirection dir : {sdAscending, sdDescending}) {
            g.SortSettings.BlankPos = pos;
            const int r = compare(ssAlphabetic, QString(), QStringLiteral("x"), dir);
            const int sorted = dir == sdAscending ? r : -r; // where the blank row ends up
            EXPECT_EQ(sorted, pos == blFirst ? -1 : 1) << pos << dir;
        }
    g.SortSettings.BlankPos = blLast;
    EXPECT_EQ(compare(ssNumeric, QStringLiteral(" kg"), QStringLiteral("5 kg"), sdAscending, QString(),
                      QStringLiteral(" kg")),
              1);
}

TEST_F(SortTest, TiesGoToTheNextColumnAndTheIndexListCarriesDirections)
{
    g.SetCells(1, 1, QStringLiteral("a"));
    g.SetCells(1, 2, QStringLiteral("a"));
    g.SetCells(2, 1, QStringLiteral("2"));
    g.SetCells(2, 2, QStringLiteral("1"));
    EXPECT_EQ(g.CompareRows(1, 1, 2), 1);
    g.SortSettings.Full = false;
    EXPECT_EQ(g.CompareRows(1, 1, 2), 0);
    g.SortSettings.Full = true;
    g.IgnoreColumns().Add(2);
    EXPECT_EQ(g.CompareRows(1, 1, 2), 0); // an ignored column never decides
    g.IgnoreColumns().Clear();

    g.SortIndexes.AddIndex(2, false);
    EXPECT_EQ(g.CompareCells(2, 1, sdDescending, 2), 1);
    EXPECT_EQ(g.CompareRowsIndexed(0, 1, 2), -1);
    g.SortIndexes.Clear();
    g.SortIndexes.AddIndex(1, true);
    g.SortIndexes.AddIndex(2, true);
    EXPECT_EQ(g.CompareRowsIndexed(0, 1, 2), 1);
    EXPECT_EQ(g.CompareRowsIndexed(1, 1, 2), 1);
}

TEST_F(SortTest, SortUnsortAndTheCrossReference)
{
    g.SetFixedRows(1);
    fill(1, {"c", "a", "b"});
    for (int r = 1; r <= 3; ++r)
        g.SetCells(2, r, QString::number(r));
    g.setRowHeights(3, 40);
    g.Sort(1, sdAscending);
    EXPECT_EQ(column(1), (QStringList{"a", "b", "c"}));
    EXPECT_EQ(column(2), (QStringList{"2", "3", "1"})); // whole rows move
    EXPECT_EQ(g.rowHeights(2), 40);                        // with their heights
    g.Sort(1, sdDescending);
    EXPECT_EQ(column(1), (QStringList{"c", "b", "a"}));
    EXPECT_EQ(g.SortedRowIndex(1), 1);
    g.QUnSort();
    EXPECT_EQ(column(1), (QStringList{"c", "a", "b"}));
    EXPECT_EQ(g.SortRowXRef().Values(), (std::vector<int>{0, 1, 2, 3}));

    // Nothing to do without a column, or with one data row.
    g.SortSettings.Column = -1;
    g.QSort();
    EXPECT_EQ(column(1), (QStringList{"c", "a", "b"}));
    // Before any sort SortLine exchanges nothing.
    TExtStringGrid fresh;
    fresh.SetCells(1, 1, QStringLiteral("b"));
    fresh.SetCells(1, 2, QStringLiteral("a"));
    EXPECT_FALSE(fresh.SortLine(1, 1, 2));
    EXPECT_EQ(fresh.Cells(1, 1), QStringLiteral("b"));
}

TEST_F(SortTest, FootersHiddenColumnsAndFixedColumnZeroKeepTheirPlaces)
{
    g.SetFixedRows(1);
    g.SetFixedCols(1);
    g.SetFixedFooters(1);
    fill(1, {"30", "10", "20"});
    g.SetCells(1, 4, QStringLiteral("sum"));
    for (int r = 1; r <= 3; ++r) {
        g.SetCells(0, r, QString::number(r));
        g.SetCells(3, r, QStringLiteral("h") + g.Cells(1, r));
    }
    g.HideColumn(3);
    g.SortSettings.NormalCellsOnly = true;
    g.Sort(1, sdAscending);
    EXPECT_EQ(column(1), (QStringList{"10", "20", "30"}));
    EXPECT_EQ(column(0), (QStringList{"1", "2", "3"}));
    EXPECT_EQ(g.Cells(1, 4), QStringLiteral("sum"));
    g.UnHideColumn(3);
    EXPECT_EQ(column(3), (QStringList{"h10", "h20", "h30"}));
}

TEST_F(SortTest, ASortMovesRowReferencesNotTexts)
{
    g.SetFixedRows(1);
    fill(1, {"b", "c", "a"});
    const QString a = g.GridCells(1, 3);
    g.Sort(1, sdAscending);
    EXPECT_EQ(g.GridCells(1, 1).constData(), a.constData()); // the same text, not a copy
}

TEST_F(SortTest, ASortThatFailsPartWayLeavesTheGridAsItWas)
{
    g.SetFixedRows(1);
    g.SetFixedCols(1);
    g.SetFixedFooters(1);
    fill(1, {"d", "b", "c", "a", "e"});
    g.HideColumn(2);
    g.SortSettings.NormalCellsOnly = true;
    g.SetCells(0, 2, QStringLiteral("n2"));
    const QStringList before = column(1);
    const int rows = g.RowCount(), cols = g.ColCount(), normal = g.NormalRowCount(), top = g.TopRow();
    int calls = 0;
    g.OnGetFormat = [](TExtStringGrid*, int, int& s, QString&, QString&) { s = ssCustom; };
    g.OnCustomCompare = [&](TExtStringGrid*, const QString& x, const QString& y, int& res) {
        if (++calls == 4)
            throw std::runtime_error("compare failed");
        res = x.compare(y);
    };
    EXPECT_THROW(g.Sort(1, sdAscending), std::runtime_error);
    EXPECT_EQ(column(1), before);
    EXPECT_EQ(g.Cells(0, 2), QStringLiteral("n2"));
    EXPECT_EQ(g.RowCount(), rows);
    EXPECT_EQ(g.ColCount(), cols);
    EXPECT_EQ(g.NormalRowCount(), normal);
    EXPECT_EQ(g.TopRow(), top);
    EXPECT_EQ(g.FixedFooters(), 1);
    // The next sort works.
    g.OnCustomCompare = [](TExtStringGrid*, const QString& x, const QString& y, int& res) { res = x.compare(y); };
    g.Sort(1, sdAscending);
    EXPECT_EQ(column(1), (QStringList{"a", "b", "c", "d", "e"}));
}

TEST_F(SortTest, IndexedAndGroupSorts)
{
    g.SetFixedRows(1);
    fill(1, {"a", "b", "a", "b"});
    const QStringList seconds{"1", "2", "3", "4"};
    for (int i = 0; i < 4; ++i)
        g.SetCells(2, i + 1, seconds[i]);
    try {
        g.QSortIndexed();
        FAIL() << "an empty index list sorts";
    } catch (const platform::EExtGridError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("No indexes specified for indexed sort"));
    }
    EXPECT_EQ(column(1), (QStringList{"a", "b", "a", "b"}));
    g.SortIndexes.AddIndex(1, true);
    g.SortIndexes.AddIndex(2, false);
    g.QSortIndexed();
    EXPECT_EQ(column(1), (QStringList{"a", "a", "b", "b"}));
    EXPECT_EQ(column(2), (QStringList{"3", "1", "4", "2"}));

    // Two expanded nodes of the deepest level sort their own three rows; a contracted one's
    // children stay as they are.
    TExtStringGrid n;
    n.SetColCount(3);
    n.SetFixedRows(1);
    n.SetRowCount(13);
    const QStringList texts{"N", "c", "a", "b", "N", "z", "x", "y", "N", "3", "1", "2"};
    for (int i = 0; i < texts.size(); ++i)
        n.SetCells(1, i + 1, texts[i]);
    for (int node : {1, 5, 9}) {
        TCellGraphic* gr = n.CreateCellGraphic(0, node);
        gr->CellType = ctNode;
        gr->CellIndex = 4;
        gr->CellBoolean = node == 9;
        n.CellProperties(0, node)->NodeLevel = 1;
    }
    n.SortSettings.Column = 1;
    n.QSortGroup();
    QStringList after;
    for (int r = 1; r < 13; ++r)
        after << n.Cells(1, r);
    EXPECT_EQ(after, (QStringList{"N", "a", "b", "c", "N", "x", "y", "z", "N", "3", "1", "2"}));
}

TEST_F(SortTest, SortSettingsAsText)
{
    g.SetFixedRows(1);
    fill(1, {"b", "a", "c"});
    fill(2, {"2", "1", "3"});
    struct Case {
        const char* text;
        bool index;
        int column;
        TSortDirection direction;
    } cases[] = {{"u3", false, 3, sdAscending}, {"d0", false, 0, sdDescending}, {"i;u2;d5", true, -1, sdAscending}};
    for (const Case& c : cases) {
        g.SortSettings.LoadFromString(QString::fromLatin1(c.text));
        EXPECT_TRUE(g.SortSettings.Show);
        EXPECT_EQ(g.SortSettings.IndexShow, c.index);
        if (!c.index) {
            EXPECT_EQ(g.SortSettings.Column, c.column);
            EXPECT_EQ(g.SortSettings.Direction, c.direction);
        }
        EXPECT_EQ(g.SortSettings.SaveToString(), QString::fromLatin1(c.text));
    }
    g.SortSettings.IndexShow = false;
    g.SortSettings.LoadFromString(QStringLiteral("u1"));
    EXPECT_EQ(column(1), (QStringList{"a", "b", "c"}));
    g.SortSettings.LoadFromString(QStringLiteral("d2"));
    EXPECT_EQ(column(2), (QStringList{"3", "2", "1"}));

    try {
        g.SortSettings.LoadFromString(QStringLiteral("x"));
        FAIL();
    } catch (const platform::Exception& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Invalid sort settings specifier"));
    }
    g.SortSettings.LoadFromString(QStringLiteral("uX")); // no column: direction only
    EXPECT_EQ(g.SortSettings.Column, 2);
    EXPECT_EQ(g.SortSettings.Direction, sdAscending);
    EXPECT_EQ(column(2), (QStringList{"3", "2", "1"}));
    try {
        g.SortSettings.SetRow(1);
        FAIL();
    } catch (const platform::Exception& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Sort row should be smaller than number of fixed rows"));
    }
    EXPECT_EQ(g.SortSettings.Row, 0);
    g.SortSettings.Remove();
    EXPECT_EQ(g.SortSettings.Column, -1);
}

TEST_F(SortTest, ManyRowsSortAsAStableSortWouldWithoutLosingARow)
{
    std::mt19937 rng(7);
    g.SetFixedRows(1);
    QStringList numbers, tags;
    for (int i = 0; i < 3000; ++i) {
        numbers << (rng() % 10 == 0 ? QString() : QString::number(int(rng() % 200) - 100));
        tags << QString::number(i);
    }
    fill(1, numbers);
    fill(2, tags);
    g.OnGetFormat = [](TExtStringGrid*, int col, int& s, QString&, QString&) { s = col == 1 ? ssNumeric : s; };
    g.SortSettings.Full = false;
    g.Sort(1, sdDescending);
    std::vector<std::pair<double, int>> expected;
    for (int i = 0; i < numbers.size(); ++i)
        expected.emplace_back(numbers[i].toDouble(), i);
    std::stable_sort(expected.begin(), expected.end(), [](auto a, auto b) { return a.first > b.first; });
    const QStringList got = column(2);
    for (size_t i = 0; i < expected.size(); ++i)
        ASSERT_EQ(got[qsizetype(i)], QString::number(expected[i].second)) << i;
}

TEST_F(SortTest, SingleColumnMovesOnlyTheSortColumnsCells)
{
    g.SetFixedRows(1);
    fill(1, {"c", "a", "b"});
    fill(2, {"1", "2", "3"});
    g.SortSettings.SingleColumn = true;
    g.Sort(1, sdAscending);
    EXPECT_EQ(column(1), (QStringList{"a", "b", "c"}));
    EXPECT_EQ(column(2), (QStringList{"1", "2", "3"}));
    g.QUnSort(); // the sort column's cells go back
    EXPECT_EQ(column(1), (QStringList{"c", "a", "b"}));
    EXPECT_EQ(column(2), (QStringList{"1", "2", "3"}));
}

TEST(SortKeysTest, TheKeyedSortOrdersAsTheComparisonOfEveryPairDoes)
{
    // A column of one kind sorts by keys read once per row; with an event assigned the sort asks
    // the comparison for every pair. Both give the same rows in the same order.
    std::mt19937 rng(11);
    const QStringList words{"beta", "Alpha", "alpha", "", "gamma", "Beta", "b", "zeta", "éclair", "Zulu"};
    for (int round = 0; round < 24; ++round) {
        const bool numbers = round % 3 == 0;
        TExtStringGrid keyed, paired;
        for (TExtStringGrid* g : {&keyed, &paired}) {
            g->SetColCount(3);
            g->SetFixedRows(1);
            g->SetRowCount(300);
            g->SortSettings.IgnoreBlanks = round % 2 == 1;
            g->SortSettings.BlankPos = round % 4 < 2 ? blFirst : blLast;
            g->SortSettings.IgnoreCase = round % 5 == 0;
            g->SortSettings.Full = round % 6 != 5;
        }
        paired.OnRawCompare = [](TExtStringGrid*, int, int, int, int& res) { res = 0; };
        for (int r = 1; r < 300; ++r) {
            const QString a = numbers ? (rng() % 8 == 0 && round % 6 != 0 ? QString() : QString::number(int(rng() % 40) - 20))
                                      : words[int(rng() % unsigned(words.size()))];
            const QString b = QString::number(rng() % 5);
            for (TExtStringGrid* g : {&keyed, &paired}) {
                g->SetCells(1, r, a);
                g->SetCells(2, r, b);
                g->SetCells(0, r, QString::number(r));
            }
        }
        const TSortDirection dir = round % 2 == 0 ? sdAscending : sdDescending;
        keyed.Sort(1, dir);
        paired.Sort(1, dir);
        for (int r = 1; r < 300; ++r)
            ASSERT_EQ(keyed.Cells(0, r), paired.Cells(0, r)) << "round " << round << " row " << r;
    }
}

TEST_F(SortTest, ColumnsAndRowsOutsideTheGridSortNothing)
{
    // A column outside the grid has no cells to compare: they are equal and no row moves.
    g.SetFixedRows(1);
    fill(1, {"c", "a", "b"});
    const QStringList before = column(1);
    for (int col : {-1, 9}) {
        EXPECT_EQ(g.CompareCells(col, 1, sdAscending, 2), 0) << col;
        EXPECT_EQ(g.CompareRows(col, 1, 2), 0) << col;
        EXPECT_FALSE(g.SortLine(col, 1, 2)) << col;
        g.QuickSort(col, 1, 3);
        g.SortSettings.Column = col;
        g.QSortGroup();
        EXPECT_EQ(column(1), before) << col;
    }
    EXPECT_EQ(g.CompareRowsIndexed(-1, 1, 2), 0);
    EXPECT_EQ(g.CompareRowsIndexed(5, 1, 2), 0);
    g.SortIndexes.AddIndex(7, true);
    g.QSortIndexed();
    EXPECT_EQ(column(1), before);
    // Sort states read from a stored layout name such columns too.
    for (const char* text : {"u99", "d-5", "i;u-5", "i;u2147483647;d-1"}) {
        g.SortSettings.LoadFromString(QString::fromLatin1(text));
        EXPECT_EQ(column(1), before) << text;
    }
    g.SortSettings.IndexShow = false;
    // Rows outside the grid are never exchanged.
    g.Sort(1, sdAscending);
    EXPECT_FALSE(g.SortLine(1, 1, 99));
    EXPECT_FALSE(g.SortLine(1, -1, 2));
    EXPECT_EQ(column(1), (QStringList{"a", "b", "c"}));
    // After an ascending sort a row that belongs below the next one changes places with it.
    g.SetCells(1, 1, QStringLiteral("z"));
    EXPECT_TRUE(g.SortLine(1, 1, 2));
    EXPECT_EQ(column(1), (QStringList{"b", "z", "c"}));
    EXPECT_FALSE(g.SortLine(1, 1, 2));
}

TEST_F(SortTest, TheCurrentRowAndTheTopRowAroundASort)
{
    // Without MoveRowOnSort the current row keeps its place and OnRowChanged tells it; with it the
    // current row follows its data. KeepScrollOnSort keeps the top row.
    g.resize(300, 200);
    g.SetFixedRows(1);
    QStringList texts;
    for (int i = 0; i < 60; ++i)
        texts << QStringLiteral("r%1").arg(59 - i, 2, 10, QLatin1Char('0'));
    fill(1, texts);
    std::vector<std::pair<int, int>> changes;
    g.OnRowChanged = [&](TExtStringGrid*, int from, int to) { changes.emplace_back(from, to); };
    g.SetRow(5); // holds "r55"
    changes.clear();
    g.Sort(1, sdAscending);
    EXPECT_EQ(g.Row(), 5);
    EXPECT_EQ(g.Cells(1, 5), QStringLiteral("r04"));
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0], std::make_pair(5, 5));

    g.Navigation.MoveRowOnSort = true;
    g.Sort(1, sdDescending); // "r04" goes to row 56
    EXPECT_EQ(g.Row(), 56);
    EXPECT_EQ(g.Cells(1, g.Row()), QStringLiteral("r04"));
    const int scrolled = g.TopRow();

    // The current row moves out of sight and the top row stays.
    g.Navigation.KeepScrollOnSort = true;
    g.SetTopRow(2);
    ASSERT_NE(scrolled, 2);
    g.Sort(1, sdAscending);
    EXPECT_EQ(g.Row(), 5);
    g.Sort(1, sdDescending);
    EXPECT_EQ(g.Row(), 56);
    EXPECT_EQ(g.TopRow(), 2);
}
