// Keyboard and mouse input through QTest, as rows of (input, start) -> (focus, selection,
// checks, expansion); the Space and mouse check protocols, the rubber band's threshold, the
// wheel, wheel panning and incremental search with its time-out.
#include "TreeTestSupport.h"
#include "support/FakeProcess.h"

#include "controls/tree/LazyStringTree.h"
#include "platform/ui/Timer.h"

#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QScrollBar>
#include <QWheelEvent>
#include <gtest/gtest.h>

using namespace controls;
using namespace treetest;

namespace {

// Ten top-level nodes n0..n9; n1 has children c0 and c1; n7 and n8 carry check boxes.
class InputTree {
public:
    std::unique_ptr<TLazyStringTree> tree{TBaseLazyTree::create<TLazyStringTree>()};
    QStringList names;

    explicit InputTree(int height = 240)
    {
        tree->SetNodeDataSize(sizeof(void*));
        tree->OnGetText = [this](TBaseLazyTree*, PLazyNode n, TColumnIndex, TVSTTextType type, QString& text) {
            if (type == ttNormal)
                text = names.value(int(*reinterpret_cast<intptr_t*>(NodeDataAddress(n))));
        };
        tree->SetAnimationDuration(0);
        tree->TreeOptions().SetSelectionOptions({toMultiSelect});
        tree->TreeOptions().SetMiscOptions(tree->TreeOptions().MiscOptions() + toCheckSupport);
        for (int i = 0; i < 10; ++i)
            add(nullptr, QStringLiteral("n%1").arg(i));
        add(node("n1"), QStringLiteral("c0"));
        add(node("n1"), QStringLiteral("c1"));
        for (const char* name : {"n7", "n8"})
            tree->SetCheckType(node(name), ctCheckBox);
        tree->resize(200, height);
        tree->show();
        QApplication::setActiveWindow(tree.get());
        tree->setFocus();
        QApplication::processEvents();
    }
    PLazyNode add(PLazyNode parent, const QString& name)
    {
        names << name;
        return tree->AddChild(parent, reinterpret_cast<void*>(intptr_t(names.size() - 1)));
    }
    PLazyNode node(const char* name)
    {
        for (PLazyNode n = tree->GetFirstNoInit(); n; n = tree->GetNextNoInit(n))
            if (tree->GetText(n, NoColumn) == QLatin1String(name))
                return n;
        return nullptr;
    }
    QString name(PLazyNode n) { return n ? tree->GetText(n, NoColumn) : QStringLiteral("-"); }
    QString selection()
    {
        QStringList out;
        for (PLazyNode n = tree->GetFirstSelected(); n; n = tree->GetNextSelected(n))
            out << name(n);
        return out.join(QLatin1Char(','));
    }
    QWidget* view() { return tree->viewport(); }
    QPoint label(const char* n)
    {
        const platform::Rect r = tree->GetDisplayRect(node(n), NoColumn, true);
        return QPoint(r.left + 4, (r.top + r.bottom) / 2);
    }
    QPoint button(const char* n)
    {
        const platform::Rect r = tree->GetDisplayRect(node(n), NoColumn, false);
        return QPoint(9 + int(tree->GetNodeLevel(node(n))) * 18, r.top + 8);
    }
    QPoint checkBox(const char* n)
    {
        const platform::Rect r = tree->GetDisplayRect(node(n), NoColumn, false);
        return QPoint(21 + 6, r.top + 9);
    }
    void click(QPoint p, Qt::KeyboardModifiers m = {}) { QTest::mouseClick(view(), Qt::LeftButton, m, p); }
    void key(int k, Qt::KeyboardModifiers m = {}) { QTest::keyClick(tree.get(), Qt::Key(k), m); }
};

} // namespace

TEST(Input, ClickAndKeyRows)
{
    struct Row {
        const char* name;
        const char* start; // focused and selected before the input ("" for none)
        std::function<void(InputTree&)> input;
        const char* focus;
        const char* selection;
    };
    const Row rows[] = {
        {"click a label", "", [](InputTree& t) { t.click(t.label("n3")); }, "n3", "n3"},
        {"Ctrl-click adds", "n2", [](InputTree& t) { t.click(t.label("n4"), Qt::ControlModifier); }, "n4", "n2,n4"},
        {"Ctrl-click toggles off", "n2",
         [](InputTree& t) {
             t.click(t.label("n4"), Qt::ControlModifier);
             t.click(t.label("n2"), Qt::ControlModifier);
         },
         "n2", "n4"},
        {"Shift-click selects the range", "n2", [](InputTree& t) { t.click(t.label("n5"), Qt::ShiftModifier); }, "n5",
         "n2,n3,n4,n5"},
        {"Ctrl+Shift-click adds a range", "n2",
         [](InputTree& t) {
             t.click(t.label("n0"), Qt::ControlModifier);
             t.click(t.label("n3"), Qt::ControlModifier | Qt::ShiftModifier);
         },
         "n3", "n0,n1,n2,n3"},
        {"a plain click replaces a multi-selection", "n2",
         [](InputTree& t) {
             t.click(t.label("n5"), Qt::ShiftModifier);
             t.click(t.label("n3"));
         },
         "n3", "n3"},
        {"Down", "n2", [](InputTree& t) { t.key(Qt::Key_Down); }, "n3", "n3"},
        {"Shift+Down extends", "n2", [](InputTree& t) { t.key(Qt::Key_Down, Qt::ShiftModifier); }, "n3", "n2,n3"},
        {"Shift+Up shrinks again", "n2",
         [](InputTree& t) {
             t.key(Qt::Key_Down, Qt::ShiftModifier);
             t.key(Qt::Key_Down, Qt::ShiftModifier);
             t.key(Qt::Key_Up, Qt::ShiftModifier);
         },
         "n3", "n2,n3"},
        {"Down after Shift clears the range", "n2",
         [](InputTree& t) {
             t.key(Qt::Key_Down, Qt::ShiftModifier);
             t.key(Qt::Key_Down);
         },
         "n4", "n4"},
        {"Ctrl+Down only scrolls", "n2", [](InputTree& t) { t.key(Qt::Key_Down, Qt::ControlModifier); }, "n2", "n2"},
        {"Home", "n5", [](InputTree& t) { t.key(Qt::Key_Home); }, "n0", "n0"},
        {"End", "n5", [](InputTree& t) { t.key(Qt::Key_End); }, "n9", "n9"},
        {"Shift+End selects to the end", "n7", [](InputTree& t) { t.key(Qt::Key_End, Qt::ShiftModifier); }, "n9",
         "n7,n8,n9"},
        {"Right expands, Right again enters", "n1",
         [](InputTree& t) {
             t.key(Qt::Key_Right);
             t.key(Qt::Key_Right);
         },
         "c0", "c0"},
        {"Left goes to the parent", "n1",
         [](InputTree& t) {
             t.key(Qt::Key_Right);
             t.key(Qt::Key_Down);
             t.key(Qt::Key_Left);
         },
         "n1", "n1"},
        {"Backspace goes to the parent", "n1",
         [](InputTree& t) {
             t.key(Qt::Key_Right);
             t.key(Qt::Key_Down);
             t.key(Qt::Key_Backspace);
         },
         "n1", "n1"},
        {"Ctrl+A selects every visible node", "n0", [](InputTree& t) { t.key(Qt::Key_A, Qt::ControlModifier); }, "n0",
         "n0,n1,n2,n3,n4,n5,n6,n7,n8,n9"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        InputTree t;
        if (*r.start) {
            t.tree->SetFocusedNode(t.node(r.start));
            t.tree->SetSelected(t.node(r.start), true);
            t.tree->SetFocusedNode(t.node(r.start));
        }
        r.input(t);
        EXPECT_EQ(t.name(t.tree->FocusedNode()), QString::fromLatin1(r.focus));
        EXPECT_EQ(t.selection(), QString::fromLatin1(r.selection));
        EXPECT_EQ(checkInvariants(*t.tree), QString());
    }
}

TEST(Input, PageKeysMoveByAPage)
{
    InputTree t(100);
    const int ch = t.tree->ClientHeight();
    const int rows = (ch + 17) / 18; // the page ends with the node that reaches the bottom
    t.tree->SetFocusedNode(t.node("n0"));
    t.key(Qt::Key_PageDown);
    EXPECT_EQ(t.name(t.tree->FocusedNode()), QStringLiteral("n%1").arg(rows - 1));
    t.key(Qt::Key_PageUp);
    EXPECT_EQ(t.name(t.tree->FocusedNode()), QStringLiteral("n0"));
    t.key(Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(t.tree->OffsetY(), std::max(-ch, ch - int(t.tree->RangeY()))) << "Ctrl+Page Down scrolls a page, focus stays";
    EXPECT_EQ(t.name(t.tree->FocusedNode()), QStringLiteral("n0"));
}

TEST(Input, NumericPadKeys)
{
    InputTree t;
    t.add(t.node("c0"), QStringLiteral("g0"));
    t.tree->SetFocusedNode(t.node("n1"));
    t.key(Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_TRUE(t.tree->Expanded(t.node("n1")));
    EXPECT_FALSE(t.tree->Expanded(t.node("c0")));
    t.key(Qt::Key_Minus, Qt::KeypadModifier);
    EXPECT_FALSE(t.tree->Expanded(t.node("n1")));
    t.key(Qt::Key_Asterisk, Qt::KeypadModifier);
    EXPECT_TRUE(t.tree->Expanded(t.node("n1")));
    EXPECT_TRUE(t.tree->Expanded(t.node("c0"))) << "* expands the whole branch";
    EXPECT_EQ(t.name(t.tree->FocusedNode()), QStringLiteral("n1"));
    t.key(Qt::Key_Slash, Qt::KeypadModifier);
    EXPECT_EQ(t.name(t.tree->FocusedNode()), QStringLiteral("n1"));
    EXPECT_FALSE(t.tree->Expanded(t.node("n1")));
    EXPECT_FALSE(t.tree->Expanded(t.node("c0")));
    // The main keyboard's + acts the same; Ctrl+Shift - collapses everything (Ctrl - alone
    // restores column widths, which a tree without columns does not have).
    t.key(Qt::Key_Plus);
    EXPECT_TRUE(t.tree->Expanded(t.node("n1")));
    t.key(Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_TRUE(t.tree->Expanded(t.node("n1")));
    t.key(Qt::Key_Minus, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_FALSE(t.tree->Expanded(t.node("n1")));
    t.tree->TreeOptions().SetMiscOptions(t.tree->TreeOptions().MiscOptions() + toReverseFullExpandHotKey);
    t.key(Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_TRUE(t.tree->Expanded(t.node("c0")));
}

TEST(Input, SpacePressesAndCommitsTheCheck)
{
    InputTree t;
    PLazyNode n7 = t.node("n7");
    t.tree->SetFocusedNode(n7);
    QTest::keyPress(t.tree.get(), Qt::Key_Space);
    EXPECT_EQ(n7->CheckState, csUncheckedPressed);
    QTest::keyRelease(t.tree.get(), Qt::Key_Space);
    EXPECT_EQ(n7->CheckState, csCheckedNormal);

    // Another key in between releases without effect.
    QTest::keyPress(t.tree.get(), Qt::Key_Space);
    EXPECT_EQ(n7->CheckState, csCheckedPressed);
    QTest::keyClick(t.tree.get(), Qt::Key_Down);
    QTest::keyRelease(t.tree.get(), Qt::Key_Space);
    EXPECT_EQ(n7->CheckState, csCheckedNormal);

    // The focus moves by the mouse while Space is held: the box goes back to how it was.
    t.tree->SetFocusedNode(n7);
    QTest::keyPress(t.tree.get(), Qt::Key_Space);
    t.click(t.label("n2"));
    QTest::keyRelease(t.tree.get(), Qt::Key_Space);
    EXPECT_EQ(n7->CheckState, csCheckedNormal) << "not left pressed, not toggled";
    EXPECT_FALSE(t.tree->TreeStates().contains(tsKeyCheckPending));

    // A disabled node ignores Space.
    t.tree->SetDisabled(n7, true);
    t.tree->SetFocusedNode(n7);
    QTest::keyClick(t.tree.get(), Qt::Key_Space);
    EXPECT_EQ(n7->CheckState, csCheckedNormal);
}

TEST(Input, MouseCheckPressCommitAndCancel)
{
    InputTree t;
    PLazyNode n8 = t.node("n8");
    QTest::mousePress(t.view(), Qt::LeftButton, {}, t.checkBox("n8"));
    EXPECT_EQ(n8->CheckState, csUncheckedPressed);
    QTest::mouseRelease(t.view(), Qt::LeftButton, {}, t.checkBox("n8"));
    EXPECT_EQ(n8->CheckState, csCheckedNormal);
    QTest::mousePress(t.view(), Qt::LeftButton, {}, t.checkBox("n8"));
    QTest::mouseRelease(t.view(), Qt::LeftButton, {}, t.label("n2"));
    EXPECT_EQ(n8->CheckState, csCheckedNormal) << "released elsewhere: unchanged";
}

TEST(Input, DoubleClickAndButtonToggle)
{
    InputTree t;
    PLazyNode n1 = t.node("n1");
    QTest::mouseDClick(t.view(), Qt::LeftButton, {}, t.label("n1"));
    EXPECT_TRUE(t.tree->Expanded(n1));
    QTest::mouseDClick(t.view(), Qt::LeftButton, {}, t.label("n1"));
    EXPECT_FALSE(t.tree->Expanded(n1));
    t.click(t.button("n1"));
    EXPECT_TRUE(t.tree->Expanded(n1));
    t.click(t.button("n1"));
    EXPECT_FALSE(t.tree->Expanded(n1));
}

TEST(Input, RubberBandStartsBeyondFivePixels)
{
    InputTree t;
    const QPoint start(150, 5);
    QTest::mousePress(t.view(), Qt::LeftButton, {}, start);
    EXPECT_TRUE(t.tree->TreeStates().contains(tsDrawSelPending));
    QTest::mouseMove(t.view(), start + QPoint(-5, 5));
    EXPECT_TRUE(t.tree->TreeStates().contains(tsDrawSelPending)) << "5 pixels: not yet";
    QTest::mouseMove(t.view(), start + QPoint(-6, 0));
    EXPECT_TRUE(t.tree->TreeStates().contains(tsDrawSelecting)) << "6 pixels: the band starts";
    QTest::mouseMove(t.view(), QPoint(20, 40));
    EXPECT_EQ(t.selection(), QStringLiteral("n0,n1,n2"));
    QTest::mouseRelease(t.view(), Qt::LeftButton, {}, QPoint(20, 40));
    EXPECT_FALSE(t.tree->TreeStates().contains(tsDrawSelecting));
    EXPECT_EQ(t.selection(), QStringLiteral("n0,n1,n2"));
    // A click into empty space clears the selection.
    t.click(QPoint(150, 200));
    EXPECT_EQ(t.selection(), QString());
}

TEST(Input, WheelScrollsLinesPagesOrSideways)
{
    InputTree t(100);
    for (int i = 0; i < 10; ++i)
        t.names[i] = QStringLiteral("a node with a text wider than the tree %1").arg(i);
    for (int i = 0; i < 30; ++i)
        t.add(nullptr, QStringLiteral("another node with a text wider than the tree %1").arg(i));
    for (PLazyNode n = t.tree->GetFirstNoInit(); n; n = t.tree->GetNextNoInit(n))
        t.tree->InvalidateNode(n); // the texts changed: measure again
    t.tree->UpdateScrollBars(true);
    ASSERT_TRUE(t.tree->horizontalScrollBar()->isVisible());
    const int lines = QApplication::wheelScrollLines();
    auto wheel = [&](int delta, Qt::KeyboardModifiers m) {
        QWheelEvent e(QPointF(50, 50), t.view()->mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, delta), Qt::NoButton, m,
                      Qt::NoScrollPhase, false);
        QApplication::sendEvent(t.view(), &e);
    };
    wheel(-120, {});
    EXPECT_EQ(t.tree->OffsetY(), -lines * 18);
    wheel(120, {});
    EXPECT_EQ(t.tree->OffsetY(), 0);
    wheel(-120, Qt::ControlModifier);
    EXPECT_EQ(t.tree->OffsetY(), -t.tree->ClientHeight());
    ASSERT_GT(int64_t(t.tree->RangeX()), t.tree->ClientWidth());
    wheel(-120, Qt::ShiftModifier);
    EXPECT_EQ(t.tree->OffsetX(), std::max(-lines * 18, t.tree->ClientWidth() - int(t.tree->RangeX())));
    EXPECT_EQ(t.tree->OffsetY(), -t.tree->ClientHeight()) << "Shift turns the wheel sideways";
}

TEST(Input, WheelPanning)
{
    InputTree t(100);
    QTest::mousePress(t.view(), Qt::MiddleButton, {}, QPoint(50, 50));
    EXPECT_TRUE(t.tree->TreeStates().contains(tsWheelPanning));
    EXPECT_TRUE(t.tree->TreeStates().contains(tsWheelScrolling));
    ASSERT_NE(t.tree->PanningWindow(), nullptr);
    EXPECT_EQ(t.tree->PanningImageName(), QStringLiteral("LT_MOVENS")) << "the tree scrolls only vertically";
    EXPECT_FALSE(t.tree->PanningWindow()->mask().isEmpty());
    EXPECT_FALSE(t.tree->PanningWindow()->mask().contains(QPoint(0, 0))) << "the corners are cut away";
    EXPECT_TRUE(t.tree->PanningWindow()->mask().contains(QPoint(16, 16)));
    EXPECT_EQ(t.tree->PanningCursorName(), QStringLiteral("LT_MOVENS"));
    // Released without moving far: the tree keeps panning towards the mouse until the next
    // click.
    QTest::mouseRelease(t.view(), Qt::MiddleButton, {}, QPoint(50, 52));
    EXPECT_FALSE(t.tree->TreeStates().contains(tsWheelPanning));
    EXPECT_TRUE(t.tree->TreeStates().contains(tsWheelScrolling));
    QTest::mouseMove(t.view(), QPoint(50, 70));
    EXPECT_EQ(t.tree->PanningCursorName(), QStringLiteral("LT_MOVES"));
    QTest::mousePress(t.view(), Qt::LeftButton, {}, QPoint(50, 52));
    EXPECT_FALSE(t.tree->TreeStates().contains(tsWheelScrolling));
    EXPECT_EQ(t.tree->PanningWindow(), nullptr);
    QTest::mouseRelease(t.view(), Qt::LeftButton, {}, QPoint(50, 52));
}

TEST(Input, IncrementalSearchWithTimeoutAndBackspace)
{
    testing_support::FakeClock clock;
    platform::ManualTimers manual;
    InputTree t;
    t.names[4] = QStringLiteral("apple");
    t.names[6] = QStringLiteral("apricot");
    t.tree->SetIncrementalSearch(isAll);
    t.tree->SetFocusedNode(t.node("n0"));
    int beeps = 0;
    t.tree->MessageBeep = [&] { ++beeps; };
    QTest::keyClicks(t.tree.get(), QStringLiteral("ap"));
    EXPECT_EQ(t.name(t.tree->FocusedNode()), QStringLiteral("apple"));
    QTest::keyClick(t.tree.get(), Qt::Key_R);
    EXPECT_EQ(t.name(t.tree->FocusedNode()), QStringLiteral("apricot"));
    EXPECT_EQ(t.tree->SearchBuffer(), QStringLiteral("apr"));
    QTest::keyClick(t.tree.get(), Qt::Key_Backspace);
    EXPECT_EQ(t.tree->SearchBuffer(), QStringLiteral("ap"));
    EXPECT_EQ(t.name(t.tree->FocusedNode()), QStringLiteral("apple")) << "searched backwards";
    EXPECT_EQ(beeps, 0);
    // The time-out ends the search: the next letter starts a new one.
    clock.advance(1000);
    platform::fireDueTimers();
    EXPECT_FALSE(t.tree->TreeStates().contains(tsIncrementalSearching));
    EXPECT_EQ(t.tree->SearchBuffer(), QString());
    QTest::keyClick(t.tree.get(), Qt::Key_N);
    EXPECT_EQ(t.name(t.tree->FocusedNode()), QStringLiteral("n5"));
    QTest::keyClick(t.tree.get(), Qt::Key_Z);
    EXPECT_EQ(beeps, 1);
    // During a search the numeric-pad keys are characters.
    EXPECT_TRUE(t.tree->TreeStates().contains(tsIncrementalSearching));
}

// --- selection rules through the programming interface ------------------------------------------

TEST(Selection, ConstraintsAndRanges)
{
    NamedTree t;
    for (const char* path : {"A", "A/A1", "A/A2", "B", "B/B1", "C"})
        t.add(QString::fromLatin1(path));
    t->FullExpand();
    auto names = [&] {
        QStringList out;
        for (PLazyNode n = t->GetFirstSelected(); n; n = t->GetNextSelected(n))
            out << t.nameOf(n);
        return out.join(QLatin1Char(','));
    };
    t->TreeOptions().SetSelectionOptions({toMultiSelect, toLevelSelectConstraint});
    t->SelectNodes(t.find(QStringLiteral("A1")), t.find(QStringLiteral("B1")), false);
    EXPECT_EQ(names(), QStringLiteral("A1,A2,B1")) << "only the level of the first node";
    t->TreeOptions().SetSelectionOptions({toMultiSelect, toSiblingSelectConstraint});
    t->SelectNodes(t.find(QStringLiteral("A1")), t.find(QStringLiteral("B1")), false);
    EXPECT_EQ(names(), QStringLiteral("A1,A2")) << "only siblings of the anchor";

    // Adding a selected or disabled node raises no change.
    int changes = 0;
    t->OnChange = [&](TBaseLazyTree*, PLazyNode) { ++changes; };
    t->AddToSelection(t.find(QStringLiteral("A1")));
    t->SetDisabled(t.find(QStringLiteral("C")), true);
    t->AddToSelection(t.find(QStringLiteral("C")));
    EXPECT_EQ(changes, 0);

    // Toggling from the anchor keeps the anchor.
    t->TreeOptions().SetSelectionOptions({toMultiSelect});
    t->ClearSelection();
    t->SetSelected(t.find(QStringLiteral("A")), true);
    ASSERT_EQ(t->RangeAnchor(), t.find(QStringLiteral("A")));
    t->ToggleSelection(t.find(QStringLiteral("A")), t.find(QStringLiteral("B")));
    EXPECT_EQ(names(), QStringLiteral("A,A1,A2,B"));
    EXPECT_EQ(checkInvariants(*t), QString());
}

TEST(Selection, InvertingAFullSelectionRaisesOneChange)
{
    NamedTree t;
    for (const char* path : {"A", "B", "C"})
        t.add(QString::fromLatin1(path));
    t->TreeOptions().SetSelectionOptions({toMultiSelect});
    t->SelectAll(false);
    EXPECT_EQ(t->SelectedCount(), 3u);
    int changes = 0;
    t->OnChange = [&](TBaseLazyTree*, PLazyNode n) {
        ++changes;
        EXPECT_EQ(n, nullptr);
    };
    t->InvertSelection(false);
    EXPECT_EQ(t->SelectedCount(), 0u);
    EXPECT_EQ(changes, 1);
    t->InvertSelection(false);
    EXPECT_EQ(t->SelectedCount(), 3u);
    EXPECT_EQ(changes, 2);
}

TEST(Selection, SingleSelectionFocusesAndAlwaysSelectNodeKeepsOne)
{
    NamedTree t;
    for (const char* path : {"A", "B", "C"})
        t.add(QString::fromLatin1(path));
    t->SetSelected(t.find(QStringLiteral("A")), true);
    t->SetSelected(t.find(QStringLiteral("B")), true);
    EXPECT_EQ(t->SelectedCount(), 1u) << "without multi-selection the old node is unselected";
    EXPECT_EQ(t->FocusedNode(), t.find(QStringLiteral("B")));

    t->TreeOptions().SetSelectionOptions({toAlwaysSelectNode});
    t->SetSelected(t.find(QStringLiteral("B")), false);
    EXPECT_EQ(t->NextNodeToSelect(), t.find(QStringLiteral("C")));
    t->DeleteNode(t.find(QStringLiteral("A")));
    EXPECT_EQ(t->SelectedCount(), 1u) << "the next node to select was selected";
    EXPECT_TRUE(t.find(QStringLiteral("C"))->States.contains(vsSelected));

    // Collapsing over the selected node moves the selection to its visible parent.
    t.add(QStringLiteral("C/C1"));
    t->SetExpanded(t.find(QStringLiteral("C")), true);
    t->SetSelected(t.find(QStringLiteral("C")), false);
    t->SetSelected(t.find(QStringLiteral("C1")), true);
    t->SetExpanded(t.find(QStringLiteral("C")), false);
    EXPECT_TRUE(t.find(QStringLiteral("C"))->States.contains(vsSelected));
    EXPECT_FALSE(t.find(QStringLiteral("C1"))->States.contains(vsSelected));
    EXPECT_EQ(checkInvariants(*t), QString());
}

TEST(Input, PanningWithTheButtonHeldStopsOnRelease)
{
    InputTree t(100);
    QTest::mousePress(t.view(), Qt::MiddleButton, {}, QPoint(50, 50));
    QTest::mouseMove(t.view(), QPoint(50, 60));
    EXPECT_TRUE(t.tree->TreeStates().contains(tsWheelPanning));
    EXPECT_FALSE(t.tree->TreeStates().contains(tsWheelScrolling)) << "moved with the button held";
    QTest::mouseRelease(t.view(), Qt::MiddleButton, {}, QPoint(50, 60));
    EXPECT_FALSE(t.tree->TreeStates().contains(tsWheelPanning));
    EXPECT_EQ(t.tree->PanningWindow(), nullptr);
}

TEST(Input, ANodeDeletedWhileItsBoxIsPressedEndsThePress)
{
    InputTree t;
    PLazyNode n8 = t.node("n8");
    QTest::mousePress(t.view(), Qt::LeftButton, {}, t.checkBox("n8"));
    ASSERT_TRUE(t.tree->TreeStates().contains(tsMouseCheckPending));
    t.tree->DeleteNode(n8);
    EXPECT_FALSE(t.tree->TreeStates().contains(tsMouseCheckPending));
    // The release finds no pending check; nothing touches the freed node.
    QTest::mouseRelease(t.view(), Qt::LeftButton, {}, QPoint(27, 8 * 18 + 9));
    EXPECT_EQ(checkInvariants(*t.tree), QString());

    PLazyNode n7 = t.node("n7");
    t.tree->SetFocusedNode(n7);
    QTest::keyPress(t.tree.get(), Qt::Key_Space);
    t.tree->DeleteNode(n7);
    QTest::keyRelease(t.tree.get(), Qt::Key_Space);
    EXPECT_FALSE(t.tree->TreeStates().contains(tsKeyCheckPending));
}

namespace {

// Records the drags the tree starts instead of starting one.
class DragRecordingTree : public TLazyStringTree {
public:
    QList<QPoint> drags;

protected:
    void DoDragging(QPoint P) override { drags << P; }
};

} // namespace

TEST(Input, HotTrackingFollowsTheLabelAndTheCheckBox)
{
    InputTree t;
    QStringList changes;
    t.tree->OnHotChange = [&](TBaseLazyTree*, PLazyNode oldNode, PLazyNode newNode) {
        changes << t.name(oldNode) + QStringLiteral(">") + t.name(newNode);
    };
    const struct {
        QPoint at;
        const char* hot;
    } rows[] = {
        {t.label("n2"), "n2"},
        {t.label("n3"), "n3"},
        {QPoint(190, t.label("n3").y()), "-"}, // right of the text: no hot node
        {t.checkBox("n7"), "n7"},
        {QPoint(3, t.label("n4").y()), "-"}, // the indent
    };
    for (const auto& r : rows) {
        QTest::mouseMove(t.view(), r.at);
        EXPECT_EQ(t.name(t.tree->HotNode()), QLatin1String(r.hot)) << r.at.x() << "," << r.at.y();
    }
    EXPECT_EQ(changes.join(QLatin1Char(' ')), QStringLiteral("->n2 n2>n3 n3>- ->n7 n7>-"));
}

TEST(Input, ADragIsArmedOnTheLabelAndStartsAtTheThreshold)
{
    std::unique_ptr<DragRecordingTree> tree(TBaseLazyTree::create<DragRecordingTree>());
    tree->SetNodeDataSize(sizeof(void*));
    tree->SetAnimationDuration(0);
    tree->SetRootNodeCount(5);
    bool allowed = true;
    tree->OnDragAllowed = [&](TBaseLazyTree*, PLazyNode, TColumnIndex, bool& Allowed) { Allowed = allowed; };
    tree->resize(200, 200);
    tree->show();
    QWidget* view = tree->viewport();
    const platform::Rect label = tree->GetDisplayRect(tree->GetFirst(), NoColumn, true);
    const QPoint start(label.left + 3, (label.top + label.bottom) / 2);

    // Four pixels in each direction do not start it; five in one do, from the press point.
    QTest::mousePress(view, Qt::LeftButton, {}, start);
    EXPECT_TRUE(tree->TreeStates().contains(tsOLEDragPending));
    QTest::mouseMove(view, start + QPoint(4, 4));
    EXPECT_TRUE(tree->drags.isEmpty());
    QTest::mouseMove(view, start + QPoint(0, 5));
    EXPECT_EQ(tree->drags, QList<QPoint>{start});
    EXPECT_FALSE(tree->TreeStates().contains(tsOLEDragPending));
    QTest::mouseMove(view, start + QPoint(0, 12));
    EXPECT_EQ(tree->drags.size(), 1) << "one drag per press";
    QTest::mouseRelease(view, Qt::LeftButton, {}, start + QPoint(0, 12));

    // Not allowed, or pressed outside a label: no drag is armed.
    allowed = false;
    QTest::mousePress(view, Qt::LeftButton, {}, start);
    EXPECT_FALSE(tree->TreeStates().contains(tsOLEDragPending));
    QTest::mouseRelease(view, Qt::LeftButton, {}, start);
    allowed = true;
    QTest::mousePress(view, Qt::LeftButton, {}, QPoint(190, start.y()));
    EXPECT_FALSE(tree->TreeStates().contains(tsOLEDragPending));
    QTest::mouseMove(view, QPoint(190, start.y() + 10));
    QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(190, start.y() + 10));
    EXPECT_EQ(tree->drags.size(), 1);
}

TEST(Input, PressesThatWaitForTheRelease)
{
    // Where a drag may start, a press on one of several selected nodes keeps them (they may be
    // dragged together) until the release, which leaves only that node.
    {
        InputTree t;
        t.tree->OnDragAllowed = [](TBaseLazyTree*, PLazyNode, TColumnIndex, bool& Allowed) { Allowed = true; };
        t.tree->SetFocusedNode(t.node("n2"));
        t.tree->SetSelected(t.node("n2"), true);
        t.click(t.label("n5"), Qt::ShiftModifier);
        ASSERT_EQ(t.selection(), QStringLiteral("n2,n3,n4,n5"));
        QTest::mousePress(t.view(), Qt::LeftButton, {}, t.label("n3"));
        EXPECT_EQ(t.selection(), QStringLiteral("n2,n3,n4,n5"));
        EXPECT_EQ(t.name(t.tree->FocusedNode()), QStringLiteral("n3"));
        QTest::mouseRelease(t.view(), Qt::LeftButton, {}, t.label("n3"));
        EXPECT_EQ(t.selection(), QStringLiteral("n3"));
    }
    // With toAlwaysSelectNode a click into empty space keeps the selected node.
    {
        InputTree t;
        t.tree->TreeOptions().SetSelectionOptions({toMultiSelect, toAlwaysSelectNode});
        t.click(t.label("n4"));
        t.click(QPoint(150, 200));
        EXPECT_EQ(t.selection(), QStringLiteral("n4"));
    }
    // Losing the focus while a box is held with the mouse keeps the press: the release on
    // the box still commits it.
    {
        InputTree t;
        QWidget other;
        other.show();
        PLazyNode n8 = t.node("n8");
        QTest::mousePress(t.view(), Qt::LeftButton, {}, t.checkBox("n8"));
        ASSERT_TRUE(t.tree->TreeStates().contains(tsMouseCheckPending));
        QFocusEvent out(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
        QApplication::sendEvent(t.tree.get(), &out);
        EXPECT_TRUE(t.tree->TreeStates().contains(tsMouseCheckPending));
        QTest::mouseRelease(t.view(), Qt::LeftButton, {}, t.checkBox("n8"));
        EXPECT_EQ(n8->CheckState, csCheckedNormal);
    }
}

TEST(Input, RightClickAsksForAMenuFromTheNodeUpwards)
{
    InputTree t;
    t.tree->SetExpanded(t.node("n1"), true);
    QMenu menu;
    menu.addAction(QStringLiteral("Item"));
    QStringList asked;
    const char* giver = "";
    t.tree->OnGetPopupMenu = [&](TBaseLazyTree*, PLazyNode n, TColumnIndex, QPoint, bool&, QMenu*& popup) {
        asked << t.name(n);
        if (t.name(n) == QLatin1String(giver))
            popup = &menu;
    };
    const struct {
        QPoint at;
        const char* giver;
        const char* asked;
        bool shown;
    } rows[] = {
        {t.label("c0"), "", "c0,n1", false},
        {t.label("c0"), "n1", "c0,n1", true},
        {t.label("n3"), "n3", "n3", true},
        {QPoint(150, 230), "", "-", false}, // below the last node: one question without a node
    };
    for (const auto& r : rows) {
        asked.clear();
        giver = r.giver;
        QTest::mouseClick(t.view(), Qt::RightButton, {}, r.at);
        EXPECT_EQ(asked.join(QLatin1Char(',')), QLatin1String(r.asked)) << r.giver;
        EXPECT_EQ(t.tree->TreeStates().contains(tsPopupMenuShown), r.shown) << r.giver;
        EXPECT_EQ(menu.isVisible(), r.shown) << r.giver;
        menu.hide();
    }
}

TEST(Input, HelpAndMenuKeysAskFromTheFocusedNodeUpwards)
{
    InputTree t;
    t.tree->SetExpanded(t.node("n1"), true);
    QStringList asked;
    t.tree->OnGetHelpContext = [&](TBaseLazyTree*, PLazyNode n, TColumnIndex, int& context) {
        asked << t.name(n);
        if (t.name(n) == QLatin1String("n1"))
            context = 7;
    };
    t.tree->SetFocusedNode(t.node("c1"));
    t.key(Qt::Key_F1);
    EXPECT_EQ(asked.join(QLatin1Char(',')), QStringLiteral("c1,n1"));
    EXPECT_EQ(t.tree->LastHelpContext(), 7);
    asked.clear();
    t.tree->SetFocusedNode(t.node("n4"));
    t.key(Qt::Key_F1);
    EXPECT_EQ(asked.join(QLatin1Char(',')), QStringLiteral("n4"));
    EXPECT_EQ(t.tree->LastHelpContext(), 0);

    QMenu menu;
    menu.addAction(QStringLiteral("Item"));
    asked.clear();
    t.tree->OnGetPopupMenu = [&](TBaseLazyTree*, PLazyNode n, TColumnIndex, QPoint, bool&, QMenu*& popup) {
        asked << t.name(n);
        if (t.name(n) == QLatin1String("n1"))
            popup = &menu;
    };
    t.tree->SetFocusedNode(t.node("c0"));
    t.key(Qt::Key_Menu);
    EXPECT_EQ(asked.join(QLatin1Char(',')), QStringLiteral("c0,n1"));
    EXPECT_TRUE(menu.isVisible());
    menu.hide();
}
