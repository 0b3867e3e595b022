// The column filter drop-down: a release on the filter button of a header cell opens the list of
// the column's values; a choice filters the rows, "(All)" shows them again; the check list
// filters by its checked entries when it closes.
#include "controls/grid/auxwin/GridAux.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

using namespace controls::grid;

namespace {

class FilterDropDownTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        window.resize(640, 400);
        grid = new TExtStringGridAux(&window);
        grid->setGeometry(0, 0, 620, 380);
        grid->SetColCount(3);
        grid->SetRowCount(6);
        const QStringList cities{"Rome", "Oslo", "Rome", "Lima", "Oslo"};
        for (int r = 1; r < 6; ++r)
            grid->SetCells(1, r, cities[r - 1]);
        grid->FilterDropDownAuto = true;
        window.show();
        QApplication::setActiveWindow(&window);
        QCoreApplication::processEvents();
    }
    QPoint filterButton(int c) const
    {
        const platform::Rect r = grid->CellRect(c, 0);
        return QPoint(r.right - 9, r.top + 8);
    }
    void clickAt(QPoint p)
    {
        QTest::mouseMove(grid->viewport(), p);
        QTest::mousePress(grid->viewport(), Qt::LeftButton, Qt::NoModifier, p);
        QTest::mouseRelease(grid->viewport(), Qt::LeftButton, Qt::NoModifier, p);
        QCoreApplication::processEvents();
    }
    QStringList shown() const
    {
        QStringList out;
        for (int r = 1; r < grid->RowCount(); ++r)
            out << grid->Cells(1, r);
        return out;
    }
    QWidget window;
    TExtStringGridAux* grid = nullptr;
};

} // namespace

TEST_F(FilterDropDownTest, AChoiceFiltersAndAllShowsEveryRowAgain)
{
    clickAt(filterButton(1));
    TDropList* list = grid->FilterDropList();
    ASSERT_NE(list, nullptr);
    ASSERT_TRUE(list->isVisible());
    EXPECT_EQ(grid->FilterColumn(), 1);
    QStringList items;
    for (int i = 0; i < list->count(); ++i)
        items << list->item(i)->text();
    EXPECT_EQ(items, (QStringList{"(All)", "Lima", "Oslo", "Rome"}));
    // The list lies under the button, inside the grid.
    EXPECT_GE(list->geometry().left(), grid->viewport()->mapToGlobal(QPoint(0, 0)).x());

    list->setCurrentRow(3);
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_FALSE(list->isVisible());
    EXPECT_EQ(shown(), (QStringList{"Rome", "Rome"}));
    EXPECT_EQ(grid->FilterColumn(), -1);

    clickAt(filterButton(1));
    ASSERT_TRUE(list->isVisible());
    list->setCurrentRow(0);
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(shown(), (QStringList{"Rome", "Oslo", "Rome", "Lima", "Oslo"}));
    EXPECT_FALSE(grid->Filter.HasFilter(1));
}

TEST_F(FilterDropDownTest, TheCheckListFiltersByItsCheckedEntriesWhenItCloses)
{
    grid->FilterDropDownCheck = true;
    clickAt(filterButton(1));
    TDropCheckList* list = grid->FilterDropCheckList();
    ASSERT_NE(list, nullptr);
    ASSERT_TRUE(list->isVisible());
    ASSERT_EQ(list->count(), 4);
    list->item(1)->setCheckState(Qt::Checked); // Lima
    list->item(2)->setCheckState(Qt::Checked); // Oslo
    clickAt(QPoint(40, 60)); // a release elsewhere closes it
    EXPECT_FALSE(list->isVisible());
    EXPECT_EQ(shown(), (QStringList{"Oslo", "Lima", "Oslo"}));
    // Opened again, the list ticks the entries of the column's filter.
    clickAt(filterButton(1));
    ASSERT_TRUE(list->isVisible());
    EXPECT_EQ(list->item(1)->checkState(), Qt::Checked);
    EXPECT_EQ(list->item(3)->checkState(), Qt::Unchecked);
}

TEST_F(FilterDropDownTest, TheCheckListReachesOnFilterCheckAndTicksWhatItFiltered)
{
    grid->SetCells(1, 4, QStringLiteral("New York")); // an entry with a blank: its condition is quoted
    grid->FilterDropDownCheck = true;
    // An entry of the application's whose condition differs from its name.
    grid->OnGetColumnFilter = [](TExtStringGrid*, int, platform::TStringList& list) {
        list.Add(QStringLiteral("North=Oslo"));
    };
    QStringList heard;
    TDropCheckList* handed = nullptr;
    grid->OnFilterCheck = [&](TExtStringGrid*, int col, int index, const QString& name, QString& condition,
                              TDropCheckList* list) {
        handed = list;
        // The handler reads the list's ticks as the user left them.
        heard << QStringLiteral("%1:%2:%3:%4:%5")
                     .arg(col)
                     .arg(index)
                     .arg(name, condition)
                     .arg(list && list->item(index)->checkState() == Qt::Checked ? "checked" : "?");
    };
    clickAt(filterButton(1));
    TDropCheckList* list = grid->FilterDropCheckList();
    ASSERT_NE(list, nullptr);
    ASSERT_TRUE(list->isVisible());
    ASSERT_EQ(list->count(), 5); // (All), New York, Oslo, Rome, North
    EXPECT_EQ(list->item(1)->text(), QStringLiteral("New York"));
    EXPECT_EQ(list->item(4)->text(), QStringLiteral("North"));
    list->item(1)->setCheckState(Qt::Checked);
    list->item(4)->setCheckState(Qt::Checked);
    clickAt(QPoint(40, 60));
    EXPECT_EQ(handed, list);
    EXPECT_EQ(heard, (QStringList{"1:1:New York:\"New York\":checked", "1:4:North:Oslo:checked"}));
    EXPECT_EQ(shown(), (QStringList{"Oslo", "New York", "Oslo"}));
    // Opened again, the entries whose conditions make the filter are ticked, the quoted one too.
    clickAt(filterButton(1));
    ASSERT_TRUE(list->isVisible());
    EXPECT_EQ(list->item(1)->checkState(), Qt::Checked);
    EXPECT_EQ(list->item(2)->checkState(), Qt::Checked); // "Oslo": its condition is in the filter
    EXPECT_EQ(list->item(3)->checkState(), Qt::Unchecked);
    EXPECT_EQ(list->item(4)->checkState(), Qt::Checked);
}

TEST_F(FilterDropDownTest, SwitchingTheFilterOnHidesItsRowsInsideOneUpdate)
{
    int rowsLooked = 0, lockedLooks = 0;
    grid->OnCustomFilter = [&](TExtStringGrid*, int, bool&) {
        ++rowsLooked;
        lockedLooks += grid->UpdateCount() > 0 ? 1 : 0;
    };
    grid->Filter.ColumnFilter(1)->Condition = QStringLiteral("Oslo");
    grid->SetFilterActive(true);
    EXPECT_EQ(shown(), (QStringList{"Oslo", "Oslo"}));
    EXPECT_GT(rowsLooked, 0);
    EXPECT_EQ(lockedLooks, rowsLooked);
    EXPECT_EQ(grid->UpdateCount(), 0);
}
