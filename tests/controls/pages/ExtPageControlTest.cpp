// The page control as its users see it: page order and tab indexes, the tab strings, which
// page is active and where the focus goes, Ctrl+Tab and clicks, refused changes, closing and
// reopening tabs, the margins' room in every tab, and its errors.
#include "controls/pages/ExtPageControl.h"
#include "platform/text/UserError.h"
#include "support/FakeDialogs.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

using namespace controls;

namespace {

// A window with a page control of `n` pages named Page1.., each holding two edits, and an
// edit outside the control.
struct PagesWindow {
    explicit PagesWindow(int n, TTabPosition position = TTabPosition::tpTop)
    {
        window.resize(400, 300);
        outside = new QLineEdit(&window);
        outside->setObjectName(QStringLiteral("outside"));
        outside->setGeometry(4, 270, 100, 20);
        pages = new TExtPageControl(&window);
        pages->setTabPosition(position);
        pages->setGeometry(0, 0, 400, 260);
        for (int i = 0; i < n; ++i) {
            auto* s = new TExtTabSheet(&window);
            s->setObjectName(QStringLiteral("Page%1").arg(i + 1));
            s->setPageControl(pages);
            s->setCaption(QStringLiteral("Page %1  ").arg(i + 1));
            auto* first = new QLineEdit(s);
            first->setObjectName(QStringLiteral("first%1").arg(i + 1));
            first->setGeometry(10, 10, 100, 20);
            auto* second = new QLineEdit(s);
            second->setObjectName(QStringLiteral("second%1").arg(i + 1));
            second->setGeometry(10, 40, 100, 20);
            sheets.push_back(s);
        }
    }
    void showActive()
    {
        window.show();
        window.activateWindow();
        QApplication::setActiveWindow(&window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    QLineEdit* edit(const char* name) const { return window.findChild<QLineEdit*>(QLatin1String(name)); }
    QPoint tabCentre(int tab) const
    {
        const platform::Rect r = pages->tabRect(tab);
        return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }

    QWidget window;
    QLineEdit* outside = nullptr;
    TExtPageControl* pages = nullptr;
    std::vector<TExtTabSheet*> sheets;
};

QString names(const std::vector<TExtTabSheet*>& pages)
{
    QStringList l;
    for (const TExtTabSheet* p : pages)
        l << p->objectName();
    return l.join(QLatin1Char(','));
}

std::vector<TExtTabSheet*> pageList(const TExtPageControl& c)
{
    std::vector<TExtTabSheet*> l;
    for (int i = 0; i < c.PageCount(); ++i)
        l.push_back(c.GetPage(i));
    return l;
}

} // namespace

TEST(ExtPageControl, PagesTabIndexesAndTabStrings)
{
    PagesWindow w(3);
    TExtPageControl& c = *w.pages;
    EXPECT_EQ(names(pageList(c)), QStringLiteral("Page1,Page2,Page3"));
    // The first page attached became the active one, the only one visible.
    EXPECT_EQ(c.activePage(), w.sheets[0]);
    EXPECT_FALSE(w.sheets[0]->isHidden());
    EXPECT_TRUE(w.sheets[1]->isHidden());
    // The strip sizes each tab by the caption without its last two characters; with a close
    // button by the caption and one blank.
    EXPECT_EQ(c.tabStrings(), (QStringList{QStringLiteral("Page 1"), QStringLiteral("Page 2"), QStringLiteral("Page 3")}));
    w.sheets[1]->setCaption(QStringLiteral("Nodes"));
    EXPECT_EQ(c.tabStrings().at(1), QStringLiteral("Nod"));
    w.sheets[1]->setShowClose(true);
    EXPECT_EQ(c.tabStrings().at(1), QStringLiteral("Nodes "));
    EXPECT_EQ(w.sheets[1]->caption(), QStringLiteral("Nodes"));

    // A hidden tab keeps its page index; the later pages' tab indexes drop by one.
    w.sheets[1]->setTabVisible(false);
    EXPECT_EQ(w.sheets[1]->pageIndex(), 1);
    EXPECT_EQ(w.sheets[1]->TabIndex(), -1);
    EXPECT_EQ(w.sheets[2]->TabIndex(), 1);
    EXPECT_EQ(c.tabStrings().size(), 2);
    EXPECT_EQ(c.TabRectOfPage(1), platform::Rect{});
    EXPECT_EQ(c.TabRectOfPage(2), c.tabRect(1));
    w.sheets[1]->setTabVisible(true);
    EXPECT_EQ(w.sheets[2]->TabIndex(), 2);

    // Moving a page moves its tab string too.
    w.sheets[2]->setPageIndex(0);
    EXPECT_EQ(names(pageList(c)), QStringLiteral("Page3,Page1,Page2"));
    EXPECT_EQ(c.tabStrings().at(0), QStringLiteral("Page 3"));
    EXPECT_EQ(c.activePage(), w.sheets[0]);
    EXPECT_EQ(c.tabIndex(), 1);
    try {
        w.sheets[0]->setPageIndex(3);
        ADD_FAILURE() << "page index 3 taken";
    } catch (const platform::UserError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("3 is an invalid PageIndex value.  PageIndex must be between 0 and 2"));
    }
    EXPECT_EQ(TExtPageControl::Version(), QStringLiteral("1.4.0.0"));
    EXPECT_EQ(TExtPageControl::VersionNr(), 0x01040000);
}

TEST(ExtPageControl, TabsLieAlongTheSideAndThePagesFillTheRest)
{
    for (TTabPosition p : {TTabPosition::tpTop, TTabPosition::tpBottom, TTabPosition::tpLeft, TTabPosition::tpRight}) {
        PagesWindow w(2, p);
        const platform::Rect a = w.pages->tabRect(0);
        const platform::Rect b = w.pages->tabRect(1);
        const platform::Rect page = w.pages->displayRect();
        const QRect sheet = w.sheets[0]->geometry();
        EXPECT_EQ(platform::Rect::fromQRect(sheet), page);
        switch (p) {
        case TTabPosition::tpTop:
            EXPECT_EQ(a.top, 2);
            EXPECT_EQ(a.right, b.left);
            EXPECT_GE(page.top, a.bottom);
            break;
        case TTabPosition::tpBottom:
            EXPECT_EQ(a.bottom, 258);
            EXPECT_LE(page.bottom, a.top);
            break;
        case TTabPosition::tpLeft:
            EXPECT_EQ(a.left, 2);
            EXPECT_EQ(a.bottom, b.top);
            EXPECT_GE(page.left, a.right);
            EXPECT_GT(a.height(), a.width()); // the caption runs along the tab
            break;
        case TTabPosition::tpRight:
            EXPECT_EQ(a.right, 398);
            EXPECT_LE(page.right, a.left);
            break;
        }
        EXPECT_EQ(w.pages->TabIndexAtPoint((b.left + b.right) / 2, (b.top + b.bottom) / 2), 1);
        EXPECT_EQ(w.pages->TabIndexAtPoint(page.left + 5, page.top + 5), -1);
    }
    // Tabs that do not fit one row start another with MultiLine; the current tab's row lies
    // next to the pages.
    PagesWindow many(8);
    many.pages->setTabWidth(90);
    many.pages->setMultiLine(true);
    const platform::Rect first = many.pages->tabRect(0);
    const platform::Rect last = many.pages->tabRect(7);
    EXPECT_NE(first.top, last.top);
    EXPECT_GT(first.top, last.top); // tab 0 is current: its row is the lower one
    many.pages->setActivePage(many.sheets[7]);
    EXPECT_GT(many.pages->tabRect(7).top, many.pages->tabRect(0).top);
    EXPECT_EQ(many.sheets[7]->geometry().top(), many.pages->displayRect().top);
}

TEST(ExtPageControl, CtrlTabWalksThePagesAndTheFocusGoesToThePageShown)
{
    PagesWindow w(3);
    w.showActive();
    TExtPageControl& c = *w.pages;
    w.edit("second1")->setFocus();
    ASSERT_TRUE(w.edit("second1")->hasFocus());

    QTest::keyClick(w.edit("second1"), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(c.activePage(), w.sheets[1]);
    EXPECT_TRUE(w.edit("first2")->hasFocus()) << QApplication::focusWidget()->objectName().toStdString();
    QTest::keyClick(w.edit("first2"), Qt::Key_Tab, Qt::ControlModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(c.activePage(), w.sheets[0]); // wrapped from the last page to the first
    EXPECT_TRUE(w.edit("first1")->hasFocus());
    QTest::keyClick(w.edit("first1"), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(c.activePage(), w.sheets[2]);
    EXPECT_TRUE(w.edit("first3")->hasFocus());
    EXPECT_TRUE(w.sheets[0]->isHidden());
    EXPECT_TRUE(w.sheets[1]->isHidden());

    // Outside the control Ctrl+Tab does nothing to the pages.
    w.outside->setFocus();
    QTest::keyClick(w.outside, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(c.activePage(), w.sheets[2]);

    // A click on a tab activates it; the focus, on the strip after the click, stays there.
    QTest::mouseClick(&c, Qt::LeftButton, Qt::NoModifier, w.tabCentre(1));
    EXPECT_EQ(c.activePage(), w.sheets[1]);
    EXPECT_TRUE(c.hasFocus());
    // With the strip focused the arrow keys move along it.
    QTest::keyClick(&c, Qt::Key_Right);
    EXPECT_EQ(c.activePage(), w.sheets[2]);
    QTest::keyClick(&c, Qt::Key_Left);
    QTest::keyClick(&c, Qt::Key_Left);
    EXPECT_EQ(c.activePage(), w.sheets[0]);
    w.window.hide();
}

TEST(ExtPageControl, RefusedChangesAndADisabledTab)
{
    PagesWindow w(3);
    TExtPageControl& c = *w.pages;
    int changes = 0;
    c.OnChange = [&](TExtPageControl*) { ++changes; };
    std::vector<std::pair<int, int>> asked;
    bool allow = false;
    c.OnCanChange = [&](TExtPageControl*, int from, int to, bool& a) {
        asked.emplace_back(from, to);
        a = allow;
    };
    // The target handed over is the page under the pointer: a keyboard change far from the
    // strip hands -1.
    c.pointerPosition = [] { return QPoint(200, 200); };
    c.SelectNextPage(true);
    EXPECT_EQ(c.activePage(), w.sheets[0]);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0], std::make_pair(0, -1));
    // A click: the page under the pointer.
    c.pointerPosition = [&] { return w.tabCentre(2); };
    QTest::mouseClick(&c, Qt::LeftButton, Qt::NoModifier, w.tabCentre(2));
    EXPECT_EQ(asked.back(), std::make_pair(0, 2));
    EXPECT_EQ(c.activePage(), w.sheets[0]);
    EXPECT_EQ(c.tabIndex(), 0);
    EXPECT_EQ(changes, 0);
    // OnChanging has the last word.
    allow = true;
    c.OnChanging = [](TExtPageControl*, bool& a) { a = false; };
    c.SelectNextPage(true);
    EXPECT_EQ(c.activePage(), w.sheets[0]);
    c.OnChanging = nullptr;

    // A disabled tab is offered by FindNextPage and refused on activation: the strip stays on
    // the active page's tab, which stays shown.
    w.sheets[1]->setTabEnable(false);
    EXPECT_EQ(c.FindNextPage(w.sheets[0], true, true), w.sheets[1]);
    EXPECT_FALSE(c.CanShowTab(1));
    c.SelectNextPage(true);
    EXPECT_EQ(c.activePage(), w.sheets[0]);
    EXPECT_EQ(c.tabIndex(), 0);
    EXPECT_FALSE(w.sheets[0]->isHidden());
    QTest::mouseClick(&c, Qt::LeftButton, Qt::NoModifier, w.tabCentre(1));
    EXPECT_EQ(c.activePage(), w.sheets[0]);
    EXPECT_EQ(c.tabIndex(), 0);
    c.setActivePage(w.sheets[1]);
    EXPECT_EQ(c.tabIndex(), 0);
    // The active page's tab cannot be disabled.
    EXPECT_THROW(w.sheets[0]->setTabEnable(false), platform::UserError);
    EXPECT_TRUE(w.sheets[0]->tabEnable());
    // A change that goes through fires OnChange once.
    c.SelectNextPage(false);
    EXPECT_EQ(c.activePage(), w.sheets[2]);
    EXPECT_EQ(changes, 1);
    // A sheet of another control is ignored.
    PagesWindow other(1);
    c.setActivePage(other.sheets[0]);
    EXPECT_EQ(c.activePage(), w.sheets[2]);
}

TEST(ExtPageControl, RemovingAndClosingPages)
{
    {
        // Removing a page that is not active still activates the page after it.
        PagesWindow w(3);
        w.sheets[1]->setPageControl(nullptr);
        EXPECT_EQ(w.pages->activePage(), w.sheets[2]);
        EXPECT_EQ(w.pages->PageCount(), 2);
        EXPECT_EQ(w.sheets[1]->TabIndex(), -1);
        // Destroying an attached sheet takes it out of the control.
        delete w.sheets[2];
        EXPECT_EQ(names(pageList(*w.pages)), QStringLiteral("Page1"));
        EXPECT_EQ(w.pages->activePage(), w.sheets[0]);
        w.sheets[0]->setPageControl(nullptr);
        EXPECT_EQ(w.pages->activePage(), nullptr);
        EXPECT_EQ(w.pages->tabIndex(), -1);
    }
    // Closing the active page of two through its close button.
    PagesWindow w(2);
    TExtPageControl& c = *w.pages;
    w.sheets[0]->setShowClose(true);
    int closed = 0;
    w.sheets[0]->OnClose = [&](TExtTabSheet*) { ++closed; };
    bool canClose = false;
    w.sheets[0]->OnCanClose = [&](TExtTabSheet*, bool& can) { can = canClose; };
    const platform::Rect r = c.tabRect(0);
    const QPoint onButton(r.left + c.tabMargin().leftMargin() + 6, r.top + c.tabMargin().topMargin() + 6);
    ASSERT_TRUE(c.PtInCloseButton(0, onButton.x(), onButton.y()));
    QTest::mouseClick(&c, Qt::LeftButton, Qt::NoModifier, onButton);
    EXPECT_EQ(c.PageCount(), 2); // refused
    canClose = true;
    QTest::mouseClick(&c, Qt::LeftButton, Qt::NoModifier, onButton);
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(c.PageCount(), 1);
    EXPECT_EQ(c.activePage(), w.sheets[1]);
    ASSERT_EQ(c.closedTabs().size(), 1u);
    EXPECT_EQ(c.closedTabs()[0].first, QStringLiteral("Page1"));
    EXPECT_FALSE(c.OpenClosedTab(QStringLiteral("Nothing")));
    EXPECT_TRUE(c.OpenClosedTab(QStringLiteral("Page1")));
    EXPECT_EQ(names(pageList(c)), QStringLiteral("Page2,Page1"));
    EXPECT_TRUE(c.OpenClosedTab(QStringLiteral("Page1"))); // attached already: nothing changes
    EXPECT_EQ(c.PageCount(), 2);
    EXPECT_EQ(c.closedTabs().size(), 1u);

    // With FreeOnClose the closed page is destroyed.
    PagesWindow f(2);
    f.pages->setFreeOnClose(true);
    f.sheets[0]->setShowClose(true);
    QPointer<TExtTabSheet> gone = f.sheets[0];
    QTest::mouseClick(f.pages, Qt::LeftButton, Qt::NoModifier, onButton);
    EXPECT_TRUE(gone.isNull());
    EXPECT_EQ(f.pages->activePage(), f.sheets[1]);
    EXPECT_TRUE(f.pages->closedTabs().empty());
}

TEST(ExtPageControl, MarginsKeepRoomInEveryTab)
{
    PagesWindow w(2, TTabPosition::tpLeft);
    TExtPageControl& c = *w.pages;
    const int before = c.tabRect(0).height();
    c.tabMargin().setTopMargin(10);
    c.tabMargin().setRightMargin(20);
    EXPECT_EQ(c.dummyImageSize().height(), 30);
    EXPECT_EQ(c.tabRect(0).height(), before + 30);
    c.tabMargin().setRightMargin(25);
    EXPECT_EQ(c.dummyImageSize().height(), 35);
    // Margin changes are announced with the new and the old value; equal values are not.
    std::vector<std::tuple<int, int, int>> seen;
    TTabMargin m;
    m.OnMarginChange = [&](int n, int o, int i) { seen.emplace_back(n, o, i); };
    m.setLeftMargin(4);
    m.setLeftMargin(4);
    m.setRightMargin(-3);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], std::make_tuple(4, 0, 0));
    EXPECT_EQ(seen[1], std::make_tuple(-3, 0, 2));
    TTabMargin copy;
    copy.Assign(m);
    EXPECT_EQ(copy.rightMargin(), -3);
    // Tabs on top: the width grows by left and right margins.
    PagesWindow top(1);
    const int width = top.pages->tabRect(0).width();
    top.pages->setTabMargin(&m);
    EXPECT_EQ(top.pages->tabRect(0).width(), width + 1);
    top.pages->setTabMargin(nullptr);
    EXPECT_EQ(top.pages->tabMargin().leftMargin(), 4);
    // The split line is not for the dotted style.
    top.pages->setTabStyle(TTabStyle::tsDotNet);
    EXPECT_THROW(top.pages->setTabSplitLine(true), platform::UserError);
    EXPECT_FALSE(top.pages->tabSplitLine());
}

TEST(ExtPageControl, HoverFollowsThePointerAndLeavingEndsIt)
{
    PagesWindow w(3);
    TExtPageControl& c = *w.pages;
    w.showActive();
    QTest::mouseMove(&c, w.tabCentre(2));
    EXPECT_EQ(c.hoverTab(), -1); // without a hover colour nothing is tracked
    c.setTabHoverColor(platform::clYellow);
    QTest::mouseMove(&c, w.tabCentre(1));
    EXPECT_EQ(c.hoverTab(), 1);
    QTest::mouseMove(&c, w.tabCentre(2));
    EXPECT_EQ(c.hoverTab(), 2);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&c, &leave);
    EXPECT_EQ(c.hoverTab(), -1);
    w.window.hide();
}

TEST(ExtPageControl, ShowHandlersActiveFontAndOrderInCode)
{
    PagesWindow w(3);
    w.window.show();
    TExtPageControl& c = *w.pages;
    // A page's show handler that fails is reported; the change goes on.
    testing_support::FakeMessageBoxes boxes;
    std::vector<QString> seen;
    w.sheets[1]->OnShow = [](TExtTabSheet*) { throw platform::UserError(QStringLiteral("cannot show")); };
    w.sheets[0]->OnHide = [&](TExtTabSheet* s) { seen.push_back(QStringLiteral("hide ") + s->objectName()); };
    c.ShowControl(w.sheets[1]);
    EXPECT_EQ(c.activePage(), w.sheets[1]);
    EXPECT_EQ(boxes.texts(), QStringList{QStringLiteral("cannot show")});
    EXPECT_EQ(seen, std::vector<QString>{QStringLiteral("hide Page1")});
    c.ShowControl(w.outside); // not a page: nothing
    EXPECT_EQ(c.activePage(), w.sheets[1]);

    // A bold active font: the strip pads the active tab's string with blanks so that the tab
    // holds the wider caption; the other tabs keep theirs.
    platform::Font bold = c.activeFont();
    bold.font.setBold(true);
    c.setActiveFont(bold);
    EXPECT_TRUE(c.tabStrings().at(1).startsWith(QStringLiteral("Page 2 ")));
    EXPECT_EQ(c.tabStrings().at(0), QStringLiteral("Page 1"));
    c.setActivePage(w.sheets[0]);
    EXPECT_EQ(c.tabStrings().at(1), QStringLiteral("Page 2"));
    EXPECT_TRUE(c.tabStrings().at(0).startsWith(QStringLiteral("Page 1 ")));

    c.SetChildOrder(w.sheets[0], 2);
    EXPECT_EQ(names(pageList(c)), QStringLiteral("Page2,Page3,Page1"));
    w.sheets[0]->OnHide = nullptr;
    w.window.hide();
}
