// The search bar on a shown grid: its parts and places, searching as the text is typed, the
// next and previous match by buttons and keys, highlighting, closing, the keyboard's Ctrl+F and
// the incremental look-up of typed characters.
#include "controls/grid/input/GridInput.h"

#include <QApplication>
#include <QCoreApplication>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

using namespace controls::grid;

namespace {

class SearchPanelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        window.resize(640, 400);
        grid = new TExtStringGridInput(&window);
        grid->setGeometry(0, 0, 620, 380);
        grid->SetColCount(5);
        grid->SetRowCount(40);
        for (int r = 1; r < 40; ++r)
            for (int c = 1; c < 5; ++c)
                grid->SetCells(c, r, QStringLiteral("c%1r%2").arg(c).arg(r));
        grid->SetCells(2, 3, "Paris");
        grid->SetCells(3, 7, "paris and Rome");
        grid->SetCells(1, 30, "Parish");
        grid->SetCells(2, 0, "Paris header");
        grid->SearchFooter.SetFindNextCaption("Find &next");
        grid->SearchFooter.SetFindPrevCaption("Find &previous");
        grid->SearchFooter.SetHighLightCaption("Highlight");
        grid->SearchFooter.SetMatchCaseCaption("Match case");
        grid->SearchFooter.SetHintClose("Close");
        window.show();
        QApplication::setActiveWindow(&window);
        grid->setFocus();
        QCoreApplication::processEvents();
    }

    TSearchPanel* bar() const { return grid->SearchPanel(); }
    void typeInto(QWidget* w, const QString& text)
    {
        QTest::keyClicks(w, text);
        QCoreApplication::processEvents();
    }
    void key(QWidget* w, Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier)
    {
        QTest::keyClick(w, k, m);
        QCoreApplication::processEvents();
    }
    QPoint current() const { return QPoint(grid->Col(), grid->Row()); }
    int highlighted() const
    {
        int n = 0;
        for (int r = 0; r < grid->RowCount(); ++r)
            for (int c = 0; c < grid->ColCount(); ++c)
                n += grid->Cells(c, r).contains("<hi>") ? 1 : 0;
        return n;
    }

    QWidget window;
    TExtStringGridInput* grid = nullptr;
};

} // namespace

TEST_F(SearchPanelTest, TheBarTakesItsRoomBelowTheRowsWhileVisible)
{
    ASSERT_NE(bar(), nullptr);
    EXPECT_TRUE(bar()->isHidden());
    const int rowsArea = grid->viewport()->height();
    grid->SearchFooter.SetVisible(true);
    QCoreApplication::processEvents();
    EXPECT_TRUE(bar()->isVisible());
    EXPECT_EQ(grid->viewport()->height(), rowsArea - 32);
    EXPECT_EQ(bar()->geometry().top(), grid->viewport()->geometry().bottom() + 1);
    EXPECT_EQ(bar()->height(), 32);
    EXPECT_EQ(bar()->width(), grid->viewport()->width());
    // Parts, captions and hints.
    EXPECT_EQ(bar()->Edit()->geometry().topLeft(), QPoint(25, 6));
    EXPECT_EQ(bar()->ForwardButton()->geometry(), QRect(140, 5, 90, 23));
    EXPECT_EQ(bar()->BackwardButton()->geometry(), QRect(235, 5, 90, 23));
    EXPECT_EQ(bar()->ExitButton()->geometry(), QRect(5, 7, 14, 14));
    EXPECT_EQ(bar()->HiliteButton()->geometry(), QRect(330, 5, 90, 23));
    EXPECT_EQ(bar()->MatchCase()->geometry().topLeft(), QPoint(425, 8));
    EXPECT_EQ(bar()->ForwardButton()->Caption(), "Find &next");
    EXPECT_EQ(bar()->MatchCase()->Caption(), "Match case");
    EXPECT_EQ(bar()->ExitButton()->toolTip(), "Close");
    EXPECT_TRUE(bar()->ForwardButton()->toolTip().isEmpty());
    EXPECT_FALSE(bar()->ForwardButton()->isEnabled());
    // Without the highlight button the check box moves left; right-to-left mirrors the parts.
    grid->SearchFooter.SetShowHighLight(false);
    EXPECT_TRUE(bar()->HiliteButton()->isHidden());
    EXPECT_EQ(bar()->MatchCase()->geometry().left(), 330);
    grid->setLayoutDirection(Qt::RightToLeft);
    bar()->PlaceParts();
    EXPECT_EQ(bar()->ForwardButton()->geometry().left(), bar()->width() - 90 - 140);
    grid->setLayoutDirection(Qt::LeftToRight);
    // Scrolled to the end, the last row shows above the bar.
    grid->SetRow(grid->RowCount() - 1);
    QCoreApplication::processEvents();
    EXPECT_TRUE(grid->LastRowAboveSearchFooter());
    grid->SearchFooter.SetVisible(false);
    QCoreApplication::processEvents();
    EXPECT_TRUE(bar()->isHidden());
    EXPECT_EQ(grid->viewport()->height(), rowsArea);
    EXPECT_FALSE(grid->LastRowAboveSearchFooter());
}

TEST_F(SearchPanelTest, TypingSearchesFromTheTopAndColoursTheEdit)
{
    grid->SearchFooter.SetVisible(true);
    std::vector<std::pair<TSearchFooterAction, QPoint>> actions;
    grid->OnSearchFooterAction = [&](TExtStringGridPaint*, const QString&, int col, int row, TSearchFooterAction a) {
        actions.emplace_back(a, QPoint(col, row));
    };
    typeInto(bar()->Edit(), "pari");
    EXPECT_EQ(current(), QPoint(1, 30)) << "column by column: column 1 comes first";
    EXPECT_EQ(bar()->EditColor(), platform::clWindow);
    EXPECT_TRUE(bar()->ForwardButton()->isEnabled());
    EXPECT_TRUE(bar()->BackwardButton()->isEnabled());
    EXPECT_TRUE(bar()->HiliteButton()->isEnabled());
    ASSERT_EQ(actions.size(), 4u);
    EXPECT_EQ(actions.back(), std::make_pair(saFindFirst, QPoint(1, 30)));
    typeInto(bar()->Edit(), "x");
    EXPECT_EQ(bar()->EditColor(), platform::Color(0x0000FF)) << "found nowhere: red";
    bar()->Edit()->clear();
    QCoreApplication::processEvents();
    EXPECT_EQ(bar()->EditColor(), platform::clWindow);
    EXPECT_FALSE(bar()->ForwardButton()->isEnabled());
    EXPECT_FALSE(bar()->HiliteButton()->isEnabled());
    // The application may take the search over.
    grid->OnSearchEditChange = [](TExtStringGridPaint*, const QString&, bool& defaultSearch) { defaultSearch = false; };
    grid->SetRow(1);
    typeInto(bar()->Edit(), "rome");
    EXPECT_EQ(grid->Row(), 1);
}

TEST_F(SearchPanelTest, NextAndPreviousByButtonsAndKeys)
{
    grid->SearchFooter.SetVisible(true);
    grid->SearchFooter.SetSearchDirection(sdLeftRight);
    typeInto(bar()->Edit(), "paris");
    EXPECT_EQ(current(), QPoint(2, 3));
    key(bar()->Edit(), Qt::Key_Return);
    EXPECT_EQ(current(), QPoint(3, 7));
    bar()->ForwardButton()->Click();
    EXPECT_EQ(current(), QPoint(1, 30));
    key(bar()->Edit(), Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(current(), QPoint(3, 7)) << "Ctrl+Enter searches backwards";
    bar()->BackwardButton()->Click();
    EXPECT_EQ(current(), QPoint(2, 3));
    // Match case.
    bar()->MatchCase()->SetChecked(true);
    bar()->ForwardButton()->Click();
    EXPECT_EQ(current(), QPoint(3, 7));
    bar()->ForwardButton()->Click();
    EXPECT_EQ(current(), QPoint(3, 7)) << "'Parish' is no hit for 'paris' with case; nothing moves";
    EXPECT_EQ(grid->SearchCell, QPoint(-1, -1));
    bar()->BackwardButton()->Click();
    EXPECT_EQ(current(), QPoint(3, 7)) << "after the end the search starts over (backwards from the last cell)";
}

TEST_F(SearchPanelTest, WithoutAutoSearchAChangedTextStartsOver)
{
    grid->SearchFooter.SetAutoSearch(false);
    grid->SearchFooter.SetVisible(true);
    grid->SearchFooter.SetSearchDirection(sdLeftRight);
    typeInto(bar()->Edit(), "paris");
    EXPECT_EQ(current(), QPoint(1, 1)) << "typing alone does not search";
    bar()->ForwardButton()->Click();
    EXPECT_EQ(current(), QPoint(2, 3));
    bar()->ForwardButton()->Click();
    EXPECT_EQ(current(), QPoint(3, 7));
    bar()->Edit()->setText("par");
    bar()->ForwardButton()->Click();
    EXPECT_EQ(current(), QPoint(2, 3)) << "a new text begins at the first cell";
}

TEST_F(SearchPanelTest, SearchColumnAndHighlighting)
{
    grid->SearchFooter.SetVisible(true);
    typeInto(bar()->Edit(), "paris");
    EXPECT_EQ(highlighted(), 0);
    bar()->HiliteButton()->SetDown(true);
    bar()->HiliteButton()->Click();
    EXPECT_EQ(highlighted(), 3) << "every data cell holding the text, not the header";
    EXPECT_EQ(grid->Cells(3, 7), "<hi>paris</hi> and Rome");
    bar()->HiliteButton()->SetDown(false);
    bar()->HiliteButton()->Click();
    EXPECT_EQ(highlighted(), 0);
    EXPECT_EQ(grid->Cells(3, 7), "paris and Rome");
    // AlwaysHighLight: typing highlights, each change starts afresh.
    grid->SearchFooter.SetAlwaysHighLight(true);
    bar()->Edit()->setText("rome");
    QCoreApplication::processEvents();
    EXPECT_EQ(highlighted(), 1);
    bar()->Edit()->setText("paris");
    QCoreApplication::processEvents();
    EXPECT_EQ(highlighted(), 3);
    // Only column 2.
    grid->SearchFooter.SetSearchColumn(2);
    EXPECT_EQ(highlighted(), 0) << "a settings change clears the highlights of AlwaysHighLight";
    grid->SearchFooter.SetAlwaysHighLight(false);
    bar()->Edit()->setText("pari");
    QCoreApplication::processEvents();
    EXPECT_EQ(current(), QPoint(2, 3));
    bar()->ForwardButton()->Click();
    EXPECT_EQ(grid->SearchCell, QPoint(-1, -1)) << "nothing else in column 2";
    bar()->ForwardButton()->Click();
    EXPECT_EQ(grid->SearchCell, QPoint(2, 3));
}

TEST_F(SearchPanelTest, CloseByButtonOrEscapeHidesTheBar)
{
    bool visibleWhenTold = false;
    int closes = 0;
    grid->OnSearchFooterClose = [&](TExtStringGrid* g) {
        ++closes;
        visibleWhenTold = g->SearchFooter.Visible();
    };
    grid->SearchFooter.SetVisible(true);
    // Highlights made with the button go when the bar closes.
    typeInto(bar()->Edit(), "paris");
    bar()->HiliteButton()->SetDown(true);
    bar()->HiliteButton()->Click();
    EXPECT_EQ(highlighted(), 3);
    bar()->ExitButton()->Click();
    EXPECT_EQ(closes, 1);
    EXPECT_TRUE(visibleWhenTold);
    EXPECT_FALSE(grid->SearchFooter.Visible());
    EXPECT_TRUE(bar()->isHidden());
    EXPECT_EQ(highlighted(), 0);
    grid->SearchFooter.SetVisible(true);
    bar()->Edit()->setFocus();
    key(bar()->Edit(), Qt::Key_Escape);
    EXPECT_EQ(closes, 2);
    EXPECT_FALSE(grid->SearchFooter.Visible());
    EXPECT_TRUE(grid->hasFocus()) << "the grid takes the focus back";
}

TEST_F(SearchPanelTest, CtrlFFocusesTheEditOfAShownBar)
{
    key(grid, Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(grid->hasFocus()) << "no bar, nothing happens";
    grid->SearchFooter.SetVisible(true);
    grid->setFocus();
    key(grid, Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(bar()->Edit()->hasFocus());
}

TEST_F(SearchPanelTest, TypedCharactersLookUpTheSortColumn)
{
    grid->SetCells(1, 10, "Oslo");
    grid->SetCells(1, 12, "Ottawa");
    grid->Navigation.AutoGotoWhenSorted = true;
    key(grid, Qt::Key_O);
    EXPECT_EQ(grid->Row(), 10);
    key(grid, Qt::Key_T);
    EXPECT_EQ(grid->Row(), 10) << "without incremental search each key searches alone";
    grid->Navigation.AutoGotoIncremental = true;
    grid->SearchInc.clear();
    key(grid, Qt::Key_O);
    key(grid, Qt::Key_T);
    EXPECT_EQ(grid->Row(), 12);
    EXPECT_EQ(grid->SearchInc, "ot");
    key(grid, Qt::Key_Backspace);
    EXPECT_EQ(grid->SearchInc, "o");
    key(grid, Qt::Key_Q);
    EXPECT_TRUE(grid->SearchInc.isEmpty()) << "no match forgets the text";
}

TEST_F(SearchPanelTest, CaptionLettersWithAltRunTheirButtons)
{
    grid->SearchFooter.SetVisible(true);
    grid->SearchFooter.SetSearchDirection(sdLeftRight);
    QCoreApplication::processEvents();
    key(grid, Qt::Key_N, Qt::AltModifier);
    EXPECT_EQ(current(), QPoint(1, 1)) << "disabled while the edit is empty";
    typeInto(bar()->Edit(), "paris");
    EXPECT_EQ(current(), QPoint(2, 3));
    key(grid, Qt::Key_N, Qt::AltModifier);
    EXPECT_EQ(current(), QPoint(3, 7));
    key(bar()->Edit(), Qt::Key_P, Qt::AltModifier);
    EXPECT_EQ(current(), QPoint(2, 3));
    grid->SearchFooter.SetShowFindNext(false);
    key(grid, Qt::Key_N, Qt::AltModifier);
    EXPECT_EQ(current(), QPoint(2, 3)) << "a hidden button has no key";
}

TEST(SearchPanelCreation, TheWindowsCreationAnnouncesTheBar)
{
    QWidget window;
    auto* grid = new TExtStringGridInput(&window);
    int created = 0;
    grid->OnCreatedSearchFooter = [&](TExtStringGrid* g) {
        ++created;
        EXPECT_NE(static_cast<TExtStringGridPaint*>(g)->SearchPanel(), nullptr);
    };
    // Settings made while the grid is loaded reach the bar when the window is made.
    grid->BeginLoading();
    grid->SearchFooter.SetVisible(true);
    grid->SearchFooter.SetFindNextCaption("Next");
    grid->Loaded();
    EXPECT_EQ(created, 0);
    window.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(created, 1);
    EXPECT_TRUE(grid->SearchPanel()->isVisible());
    EXPECT_EQ(grid->SearchPanel()->ForwardButton()->Caption(), "Next");
    window.hide();
    window.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(created, 1);
}

TEST_F(SearchPanelTest, TheBarStaysBelowAFloatingFooter)
{
    const int rowsArea = grid->viewport()->height();
    const int footer = grid->FloatingFooter.Height - 1;
    auto placed = [&]() {
        QCoreApplication::processEvents();
        const QRect vp = grid->viewport()->geometry();
        const bool bar = grid->SearchFooter.Visible(), strip = grid->FloatingFooter.Visible;
        EXPECT_EQ(vp.height(), rowsArea - (bar ? 32 : 0) - (strip ? footer : 0));
        if (strip) {
            EXPECT_EQ(grid->FooterPanel()->geometry().top(), vp.bottom() + 1);
        }
        if (bar) {
            EXPECT_EQ(this->bar()->geometry().top(), vp.bottom() + 1 + (strip ? footer : 0));
        }
    };
    grid->SearchFooter.SetVisible(true);
    placed();
    grid->FloatingFooter.SetVisible(true);
    placed();
    grid->SearchFooter.SetVisible(false);
    placed();
    grid->SearchFooter.SetVisible(true);
    placed();
    grid->FloatingFooter.SetVisible(false);
    placed();
    grid->SearchFooter.SetVisible(false);
    placed();
}

TEST_F(SearchPanelTest, NextAfterAFirstHitFoundAmongHiddenRowsGoesOnFromItsShownRow)
{
    // Typing searches the hidden rows too; the next match goes on from the hit's shown row, so a
    // match right below it is not skipped.
    grid->SetCells(1, 4, "Paris too");
    grid->HideRows(1, 2);
    grid->SearchFooter.SetSearchHiddenRows(true);
    grid->SearchFooter.SetSearchDirection(sdLeftRight);
    grid->SearchFooter.SetVisible(true);
    typeInto(bar()->Edit(), "paris");
    EXPECT_EQ(current(), QPoint(2, 1)); // real row 3
    EXPECT_EQ(grid->SearchCell, QPoint(2, 1));
    key(bar()->Edit(), Qt::Key_Return);
    EXPECT_EQ(current(), QPoint(1, 2)); // real row 4
    key(bar()->Edit(), Qt::Key_Return);
    EXPECT_EQ(current(), QPoint(3, 5)); // real row 7
}
