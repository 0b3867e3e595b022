// The grid's version text, the search bar's layout from its settings, the sizing lines and the
// design-time quick configuration panel.
#include "controls/grid/paint/GridPaint.h"

#include <QFontMetrics>
#include <QWidget>
#include <gtest/gtest.h>

using namespace controls::grid;

namespace {

class GridHelpersTest : public ::testing::Test {
protected:
    GridHelpersTest()
    {
        window.resize(420, 320);
        grid = new TExtStringGridPaint(&window);
        grid->setGeometry(0, 0, 400, 300);
    }
    QWidget window;
    TExtStringGridPaint* grid = nullptr;
};

} // namespace

TEST_F(GridHelpersTest, VersionAndSearchBarLayout)
{
    EXPECT_EQ(grid->GetVersionNr(), 100794627);
    EXPECT_EQ(grid->GetVersionString(), QStringLiteral("6.2.1.3 Sep, 2012"));

    EXPECT_EQ(grid->SearchPanelLayout().Height, 0);
    grid->SearchFooter.SetVisible(true);
    EXPECT_EQ(grid->SearchPanelLayout().Height, 32);
    EXPECT_EQ(grid->SearchPanelLayout().Top, grid->height() - 32);
    EXPECT_EQ(grid->SearchPanelLayout().MatchCaseLeft, 425);
    // Every button hidden: the bar still takes its 32 pixels.
    grid->SearchFooter.SetShowFindNext(false);
    grid->SearchFooter.SetShowFindPrev(false);
    grid->SearchFooter.SetShowHighLight(false);
    grid->SearchFooter.SetShowClose(false);
    grid->SearchFooter.SetShowMatchCase(false);
    const auto& l = grid->SearchPanelLayout();
    EXPECT_EQ(l.Height, 32);
    for (int h : l.ButtonHeight)
        EXPECT_EQ(h, 0);
    EXPECT_EQ(l.MatchCaseHeight, 0);
    EXPECT_EQ(l.MatchCaseLeft, 330);
    // Button looks by the control style.
    grid->ControlLook.SetControlStyle(csFlat);
    grid->UpdateSearchFooter();
    EXPECT_TRUE(l.FlatButtons);
    EXPECT_FALSE(l.AutoXPStyle);
    grid->ControlLook.SetControlStyle(csWinXP);
    grid->UpdateSearchFooter();
    EXPECT_FALSE(l.FlatButtons);
    EXPECT_TRUE(l.AutoXPStyle);
    grid->SearchFooter.SetVisible(false);
    EXPECT_EQ(l.Height, 0);
}

TEST_F(GridHelpersTest, ASizingLineDrawnTwiceIsGone)
{
    grid->DrawColSizingLine(40);
    EXPECT_EQ(grid->ColSizingLine(), 40);
    grid->DrawColSizingLine(40);
    EXPECT_EQ(grid->ColSizingLine(), -1);
    grid->DrawRowSizingLine(12);
    grid->DrawRowSizingLine(15);
    EXPECT_EQ(grid->RowSizingLine(), 15);
}

TEST_F(GridHelpersTest, DesignPanelItemsAndTheirActions)
{
    window.show();
    QFont f(QStringLiteral("Tahoma"));
    f.setPointSize(8);
    const int h = QFontMetrics(f).height();
    const int right = grid->viewport()->width();
    const int bottom = grid->viewport()->height();
    const int top = bottom - (4 * h + 18);
    EXPECT_EQ(grid->DesignHelperHitTest(right - 8, top + 4), 4);
    EXPECT_EQ(grid->DesignHelperHitTest(right - 140, top + h + 2 + 6), 1);
    EXPECT_EQ(grid->DesignHelperHitTest(right - 140, top + 2 * (h + 2) + 6), 2);
    EXPECT_EQ(grid->DesignHelperHitTest(right - 140, top + 3 * (h + 2) + 6), 3);
    EXPECT_EQ(grid->DesignHelperHitTest(10, 10), -1);

    const bool editing = grid->options().testFlag(platform::goEditing);
    grid->DesignHelperMouseUp(right - 140, top + h + 2 + 6);
    EXPECT_NE(grid->options().testFlag(platform::goEditing), editing);
    grid->DesignHelperMouseUp(right - 140, top + 2 * (h + 2) + 6);
    EXPECT_TRUE(grid->ShowColNrs);
    grid->DesignLookMenu = [](QPoint) { return int(glWin7) + 1; };
    grid->DesignHelperMouseUp(right - 140, top + 3 * (h + 2) + 6);
    EXPECT_EQ(grid->Look(), glWin7);
    grid->DesignHelperMouseUp(right - 8, top + 4);
    EXPECT_FALSE(grid->ShowDesignHelper());
    // The panel paints only while designing.
    grid->SetShowDesignHelper(true);
    grid->SetDesigning(true);
    const QImage shot = grid->viewport()->grab().toImage();
    EXPECT_EQ(shot.pixelColor(right - 100, bottom - 3), platform::toQColor(platform::clInfoBk));
}
