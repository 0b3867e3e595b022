// A press on a node glyph contracts or expands its node with the node events; the header
// glyph of a fixed row contracts or expands every node; any other press in the node column only
// reports the click; a click on the floating footer's strip reports the footer cell under it.
#include "ColumnGridFixture.h"

#include "controls/grid/core/FloatingFooter.h"
#include "controls/grid/html/PictureContainer.h"

#include <QBuffer>

#include <QLabel>
#include <algorithm>
#include <stdexcept>

namespace gridtest {
namespace {

class NodePressTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        window.resize(640, 400);
        grid = new TExtColumnGrid(&window);
        grid->setGeometry(0, 0, 620, 380);
        grid->SetColCount(4);
        grid->SetRowCount(12);
        grid->CellNode.SetNodeType(cnXP);
        grid->CellNode.SetNodeIndent(12);
        for (int r = 1; r < 12; ++r)
            grid->SetCells(1, r, QStringLiteral("row%1").arg(r));
        grid->AddNode(2, 4);
        grid->OnClickCell = [this](TExtStringGridInput*, int r, int c) { log << QStringLiteral("click %1,%2").arg(r).arg(c); };
        grid->OnBeforeContractNode = [this](TExtStringGrid*, int r, int real, bool& allow) {
            log << QStringLiteral("before contract %1,%2").arg(r).arg(real);
            allow = allowContract;
        };
        grid->OnContractNode = [this](TExtStringGrid*, int r, int) { log << QStringLiteral("contract %1").arg(r); };
        grid->OnBeforeExpandNode = [this](TExtStringGrid*, int r, int, bool&) { log << QStringLiteral("before expand %1").arg(r); };
        grid->OnExpandNode = [this](TExtStringGrid*, int r, int) { log << QStringLiteral("expand %1").arg(r); };
        window.show();
        QApplication::setActiveWindow(&window);
        QCoreApplication::processEvents();
    }
    void clickAt(int c, int r, int dx)
    {
        const platform::Rect rc = grid->CellRect(c, r);
        const QPoint p(rc.left + dx, (rc.top + rc.bottom) / 2);
        QTest::mouseMove(grid->viewport(), p);
        QTest::mousePress(grid->viewport(), Qt::LeftButton, Qt::NoModifier, p);
        QTest::mouseRelease(grid->viewport(), Qt::LeftButton, Qt::NoModifier, p);
    }
    QWidget window;
    TExtColumnGrid* grid = nullptr;
    QStringList log;
    bool allowContract = true;
};

TEST_F(NodePressTest, TheGlyphContractsAndExpandsItsNode)
{
    clickAt(0, 2, 8);
    EXPECT_TRUE(grid->GetNodeState(2));
    EXPECT_EQ(grid->RowCount(), 9);
    EXPECT_EQ(log, (QStringList{"click 2,0", "before contract 2,2", "contract 2"}));
    log.clear();
    clickAt(0, 2, 8);
    EXPECT_FALSE(grid->GetNodeState(2));
    EXPECT_EQ(grid->RowCount(), 12);
    EXPECT_EQ(log, (QStringList{"click 2,0", "before expand 2", "expand 2"}));
    // A refused contraction leaves the node open.
    allowContract = false;
    log.clear();
    clickAt(0, 2, 8);
    EXPECT_FALSE(grid->GetNodeState(2));
    EXPECT_EQ(log, (QStringList{"click 2,0", "before contract 2,2"}));
}

TEST_F(NodePressTest, BesideTheGlyphOnlyTheClickIsReported)
{
    clickAt(0, 2, 40);
    EXPECT_FALSE(grid->GetNodeState(2));
    EXPECT_EQ(log, (QStringList{"click 2,0"}));
    log.clear();
    clickAt(0, 4, 8); // a child row: no glyph
    EXPECT_EQ(grid->RowCount(), 12);
    EXPECT_EQ(log, (QStringList{"click 4,0"}));
}

TEST_F(NodePressTest, TheHeaderGlyphContractsAndExpandsEveryNode)
{
    grid->AddNode(7, 3);
    grid->AddNode(0, 1); // the header's node
    grid->MouseActions.NodeAllExpandContract = true;
    clickAt(0, 0, 8);
    EXPECT_TRUE(grid->GetNodeState(2));
    EXPECT_TRUE(grid->GetNodeState(grid->DisplRowIndex(7)));
    EXPECT_EQ(grid->RowCount(), 7);
    clickAt(0, 0, 8);
    EXPECT_EQ(grid->RowCount(), 12);
    EXPECT_FALSE(grid->GetNodeState(2));
}

TEST_F(NodePressTest, AClickOnTheFooterReportsTheLastRowsCell)
{
    grid->FloatingFooter.SetVisible(true);
    QCoreApplication::processEvents();
    auto* panel = static_cast<TFooterPanel*>(grid->FooterPanel());
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(panel->height(), grid->FloatingFooter.Height - 1);
    EXPECT_GE(panel->geometry().top(), grid->viewport()->geometry().bottom());
    int clicks = 0;
    grid->onClick = [&clicks](platform::TStringGrid*) { ++clicks; };
    const int x = grid->AllColWidths(0) + grid->AllColWidths(1) + 5;
    QTest::mouseClick(panel, Qt::LeftButton, Qt::NoModifier, QPoint(x, 3));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(log.last(), QStringLiteral("click 11,2"));
    EXPECT_EQ(panel->ColumnAt(x), 2);
    EXPECT_EQ(panel->ColumnAt(10000), -1);
    grid->FloatingFooter.SetVisible(false);
    EXPECT_EQ(panel->height(), 0);
    EXPECT_FALSE(panel->isVisible());
}

TEST_F(NodePressTest, TheFooterStripStandsAboveTheSearchBar)
{
    grid->SearchFooter.SetVisible(true);
    QCoreApplication::processEvents();
    const int searchHeight = grid->viewport()->height();
    grid->FloatingFooter.SetVisible(true);
    QCoreApplication::processEvents();
    auto* panel = grid->FooterPanel();
    const int strip = grid->FloatingFooter.Height - 1;
    EXPECT_EQ(grid->viewport()->height(), searchHeight - strip);
    EXPECT_EQ(panel->geometry().top(), grid->viewport()->geometry().bottom() + 1);
    QWidget* search = grid->findChild<QWidget*>(QStringLiteral("SearchPanel"));
    ASSERT_NE(search, nullptr);
    EXPECT_EQ(search->geometry().top(), panel->geometry().bottom() + 1);
    grid->FloatingFooter.SetVisible(false);
    EXPECT_EQ(grid->viewport()->height(), searchHeight);
}

TEST_F(NodePressTest, GroupingTakesTheColumnItemAndGivesItBack)
{
    grid->SetColCount(4);
    for (int r = 1; r < 12; ++r)
        grid->SetCells(2, r, r < 6 ? QStringLiteral("A") : QStringLiteral("B"));
    TGridColumnItem* item = grid->Columns().Items(2);
    item->ReadOnly = true;
    TGridColumnItem* third = grid->Columns().Items(3);
    grid->Group(2);
    EXPECT_EQ(grid->GroupColumn(), 2);
    EXPECT_EQ(grid->Columns().Count(), 3);
    EXPECT_EQ(grid->Columns().Items(2), third); // the items after it moved along
    grid->UnGroup();
    EXPECT_EQ(grid->Columns().Count(), 4);
    EXPECT_EQ(grid->Columns().Items(2), item);
    EXPECT_TRUE(grid->Columns().Items(2)->ReadOnly);
    EXPECT_EQ(grid->Cells(2, 1), QStringLiteral("A"));
    EXPECT_EQ(grid->Cells(2, 11), QStringLiteral("B"));
}

// The text drawn by the footer strip in each style (the log of the canvas calls).
// Grouping and the whole-grid node operations run inside one update (nothing is painted until
// they end); the update ends also when grouping's sort fails, and the grid stays ungrouped.
TEST_F(NodePressTest, GroupingAndWholeGridNodeWorkRunInOneUpdate)
{
    ASSERT_TRUE(grid->isVisible());
    grid->RemoveAllNodes();
    for (int r = 1; r < 12; ++r)
        grid->SetCells(2, r, r % 3 == 0 ? QStringLiteral("b") : QStringLiteral("a"));
    const QStringList before = [this] {
        QStringList t;
        for (int r = 0; r < grid->RowCount(); ++r)
            t << grid->Cells(2, r);
        return t;
    }();
    grid->SortSettings.AutoSortForGrouping = true;
    grid->OnGetFormat = [](TExtStringGrid*, int, int& style, QString&, QString&) { style = ssCustom; };
    std::vector<int> seen;
    bool fail = true;
    grid->OnCustomCompare = [&](TExtStringGrid*, const QString& a, const QString& b, int& res) {
        seen.push_back(grid->UpdateCount());
        if (fail)
            throw std::runtime_error("no order");
        res = a.compare(b);
    };
    EXPECT_THROW(grid->Group(2), std::runtime_error);
    EXPECT_EQ(grid->GroupColumn(), -1);
    EXPECT_FALSE(grid->IsGrouping());
    EXPECT_EQ(grid->UpdateCount(), 0);
    EXPECT_EQ(grid->ColCount(), 4);
    EXPECT_EQ(grid->NumNodes(), 0);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.front(), 1);
    // With a working order grouping goes ahead, inside one update too.
    fail = false;
    seen.clear();
    grid->Group(2);
    EXPECT_EQ(grid->NumNodes(), 2);
    EXPECT_TRUE(std::all_of(seen.begin(), seen.end(), [](int n) { return n == 1; }));
    EXPECT_EQ(grid->UpdateCount(), 0);
    grid->SubGroup(1);
    EXPECT_EQ(grid->UpdateCount(), 0);
    grid->UnGroup();
    EXPECT_EQ(grid->UpdateCount(), 0);
    EXPECT_EQ(grid->NumNodes(), 0);
    QStringList after;
    for (int r = 0; r < grid->RowCount(); ++r)
        after << grid->Cells(2, r);
    after.sort();
    QStringList sorted = before;
    sorted.sort();
    EXPECT_EQ(after, sorted); // sorted for grouping, every value back

    // The footer follows the nodes: its calculation runs inside the bracket of ContractAll
    // while the rows change, and once more after it.
    grid->AddNode(2, 4);
    grid->AddNode(7, 3);
    grid->FloatingFooter.SetVisible(true);
    grid->FloatingFooter.SetColumnCalc(3, acCUSTOM);
    seen.clear();
    grid->OnFooterCalc = [&](TExtStringGrid*, int, int, QString&) { seen.push_back(grid->UpdateCount()); };
    grid->ContractNode(2);
    grid->ContractAll();
    ASSERT_GE(seen.size(), 2u);
    EXPECT_GE(*std::max_element(seen.begin(), seen.end()), 1);
    EXPECT_EQ(seen.back(), 0);
    EXPECT_EQ(grid->UpdateCount(), 0);
    grid->ExpandAll();
    EXPECT_EQ(grid->UpdateCount(), 0);
}

// After ContractAll every cell control stands on its cell or is hidden with its row.
TEST_F(NodePressTest, ContractAllPlacesTheCellControls)
{
    auto* inside = new QLabel(QStringLiteral("in"));
    auto* below = new QLabel(QStringLiteral("below"));
    grid->SetCellControls(2, 3, inside); // in the node of rows 2 .. 5
    grid->SetCellControls(2, 8, below);
    inside->show();
    below->show();
    grid->ContractAll();
    EXPECT_TRUE(inside->isHidden());
    EXPECT_FALSE(below->isHidden());
    const platform::Rect cell = grid->CellRect(2, grid->DisplRowIndex(8));
    EXPECT_EQ(grid->DisplRowIndex(8), 5);
    EXPECT_EQ(below->geometry(), QRect(cell.left - 1, cell.top - 1, cell.width() + 1, cell.height() + 1));
    // Made anew from the cells, the list holds the same two controls.
    grid->CellControlsUpdate(true);
    EXPECT_EQ(grid->NumCellControls(), 2);
    EXPECT_EQ(grid->CellControls(2, 5), below);
    EXPECT_TRUE(inside->isHidden());
}

TEST_F(NodePressTest, TheFooterStripDrawsItsStyles)
{
    grid->SetCells(1, 11, QStringLiteral("sum=42"));
    grid->SetCells(2, 3, QStringLiteral("third"));
    grid->FloatingFooter.SetVisible(true);
    auto* panel = static_cast<TFooterPanel*>(grid->FooterPanel());
    auto paint = [&] {
        platform::CanvasCallLog log;
        platform::Bitmap b(panel->width(), std::max(1, panel->height()), platform::clWhite);
        platform::Canvas canvas(b);
        panel->PaintTo(canvas);
        return log.calls().join(QLatin1Char('\n'));
    };
    // The last row, aligned with the columns; never painted among the scrolled rows.
    EXPECT_TRUE(grid->HideLastRow());
    QString drawn = paint();
    EXPECT_TRUE(drawn.contains(QStringLiteral("sum=42"))) << drawn.toStdString();
    EXPECT_FALSE(drawn.contains(QStringLiteral("clRed"))); // no border colour: no top line
    grid->FloatingFooter.SetBorderColor(platform::clRed);
    EXPECT_TRUE(paint().contains(QStringLiteral(",0 clRed")));
    grid->FloatingFooter.SetBorderColor(platform::clNone);
    // One column of the current row.
    grid->FloatingFooter.SetFooterStyle(fsColumnPreview);
    grid->FloatingFooter.SetColumn(2);
    EXPECT_EQ(grid->FixedFooters(), 0);
    EXPECT_FALSE(grid->HideLastRow());
    grid->SetRow(3);
    EXPECT_TRUE(paint().contains(QStringLiteral("third")));
    grid->SetRow(4);
    EXPECT_FALSE(paint().contains(QStringLiteral("third")));
    // A template filled from the current row.
    grid->FloatingFooter.SetFooterStyle(fsCustomPreview);
    grid->FloatingFooter.SetCustomTemplate(QStringLiteral("<#1>"));
    EXPECT_TRUE(paint().contains(QStringLiteral("row4")));
    // The template may show the pictures of the grid's picture container.
    TPictureContainer container;
    TPictureItem* item = container.Items().Add();
    item->Name = QStringLiteral("dot");
    QImage red(6, 4, QImage::Format_RGB32);
    red.fill(Qt::red);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    red.save(&buffer, "PNG");
    item->Picture().LoadFromStream(png);
    grid->PictureContainer = &container;
    grid->FloatingFooter.SetCustomTemplate(QStringLiteral("<img src=\"dot\">"));
    {
        platform::Bitmap b(panel->width(), std::max(1, panel->height()), platform::clWhite);
        platform::Canvas canvas(b);
        panel->PaintTo(canvas);
        EXPECT_EQ(b.pixel(3, 4), platform::clRed); // the template's area starts 2 pixels down
    }
    grid->PictureContainer = nullptr;
    // Only what the application paints.
    grid->FloatingFooter.SetFooterStyle(fsCustomPaint);
    int painted = -1;
    Rect where;
    grid->OnPaintFooter = [&](QWidget*, int c, platform::Canvas&, const Rect& r) {
        painted = c;
        where = r;
    };
    paint();
    EXPECT_EQ(painted, 2);
    EXPECT_EQ(where.right, panel->width());
}

} // namespace
} // namespace gridtest
