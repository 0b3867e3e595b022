// In-place editing through keys and clicks as a person gives them: F2, a slow second click and
// a double click open the editor, Enter applies, Escape drops, Tab moves on, leaving the editor
// applies or drops by the option; an error while applying leaves the editor open; the editor
// grows with its text within its limits.
#include "TextTreeSupport.h"
#include "support/FakeDialogs.h"
#include "support/FakeProcess.h"

#include "controls/tree/LazyTreeEdit.h"
#include "platform/core/Errors.h"
#include "platform/ui/Timer.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTextCursor>
#include <gtest/gtest.h>

using namespace controls;
using namespace treetest;

namespace {

struct EditTree : TextTree {
    explicit EditTree(int columns = 0)
        : TextTree(columns)
    {
        for (int i = 0; i < 5; ++i)
            add(nullptr, {QStringLiteral("n%1").arg(i), QStringLiteral("v%1").arg(i)});
        auto& o = tree->TreeOptions();
        o.SetMiscOptions(o.MiscOptions() + toEditable + toEditOnDblClick - toToggleOnDblClick);
        tree->OnEdited = [this](TBaseLazyTree*, PLazyNode n, TColumnIndex c) {
            log << QStringLiteral("edited %1 %2").arg(texts(n).value(0)).arg(c);
        };
        tree->OnEditCancelled = [this](TBaseLazyTree*, TColumnIndex c) { log << QStringLiteral("cancelled %1").arg(c); };
        tree->resize(300, 200);
        tree->show();
        QApplication::setActiveWindow(tree.get());
        tree->setFocus();
        QApplication::processEvents();
    }
    TLTEdit* editor()
    {
        auto* link = dynamic_cast<TStringEditLink*>(tree->EditLink());
        return link ? link->Edit() : nullptr;
    }
    QPoint label(const char* name)
    {
        const platform::Rect r = tree->GetDisplayRect(find(QString::fromLatin1(name)), tree->Header().MainColumn(), true);
        return QPoint(r.left + 4, (r.top + r.bottom) / 2);
    }
    void focus(const char* name)
    {
        tree->SetFocusedNode(find(QString::fromLatin1(name)));
        tree->ClearSelection();
        tree->AddToSelection(find(QString::fromLatin1(name)));
    }
    void key(int k, Qt::KeyboardModifiers m = {}) { QTest::keyClick(QApplication::focusWidget(), Qt::Key(k), m); }
    void type(const QString& text) { QTest::keyClicks(QApplication::focusWidget(), text); }
};

// Lets the editors released in the test go.
void releaseEditors() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

} // namespace

TEST(Edit, F2OpensTheEditorAndEnterAppliesTheText)
{
    EditTree t;
    t.focus("n1");
    t.key(Qt::Key_F2);
    ASSERT_TRUE(t->IsEditing());
    TLTEdit* edit = t.editor();
    ASSERT_NE(edit, nullptr);
    EXPECT_TRUE(edit->isVisible());
    EXPECT_EQ(edit->Text(), QStringLiteral("n1"));
    EXPECT_EQ(edit->textCursor().selectedText(), QStringLiteral("n1"));
    EXPECT_EQ(QApplication::focusWidget(), edit);
    t.type(QStringLiteral("meter"));
    t.key(Qt::Key_Return);
    EXPECT_FALSE(t->IsEditing());
    EXPECT_EQ(t.texts(t.find(QStringLiteral("meter"))).value(0), QStringLiteral("meter"));
    EXPECT_EQ(t.log, (QStringList{"new text meter", "edited meter -1"}));
    EXPECT_EQ(QApplication::focusWidget(), t.tree.get());
    EXPECT_EQ(t->EditLink(), nullptr);
    releaseEditors();
}

TEST(Edit, EscapeDropsTheEditAndLeavesTheText)
{
    EditTree t;
    t.focus("n2");
    t.key(Qt::Key_F2);
    t.type(QStringLiteral("other"));
    t.key(Qt::Key_Escape);
    EXPECT_FALSE(t->IsEditing());
    EXPECT_NE(t.find(QStringLiteral("n2")), nullptr);
    EXPECT_EQ(t.log, QStringList{"cancelled -1"});
    EXPECT_EQ(QApplication::focusWidget(), t.tree.get());
    // An unchanged text applied with Enter is not written back.
    t.key(Qt::Key_F2);
    t.key(Qt::Key_Return);
    EXPECT_EQ(t.log, (QStringList{"cancelled -1", "edited n2 -1"}));
    releaseEditors();
}

TEST(Edit, ASlowSecondClickAndADoubleClickStartTheEditTimer)
{
    testing_support::FakeClock clock;
    platform::ManualTimers manual;
    EditTree t;
    t->SetEditDelay(700);
    QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, t.label("n3"));
    EXPECT_FALSE(t->TreeStates().contains(tsEditPending));
    EXPECT_EQ(t->FocusedNode(), t.find(QStringLiteral("n3")));
    EXPECT_TRUE(t->Selected(t.find(QStringLiteral("n3"))));
    EXPECT_TRUE(t->hasFocus());
    // The second click comes later than a double click would.
    QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, t.label("n3"), 600);
    EXPECT_TRUE(t->TreeStates().contains(tsEditPending));
    clock.advance(699);
    platform::fireDueTimers();
    EXPECT_FALSE(t->IsEditing());
    clock.advance(1);
    platform::fireDueTimers();
    ASSERT_TRUE(t->IsEditing());
    EXPECT_EQ(t.editor()->Text(), QStringLiteral("n3"));
    t.key(Qt::Key_Escape);

    QTest::mouseDClick(t->viewport(), Qt::LeftButton, {}, t.label("n3"), 600);
    EXPECT_TRUE(t->TreeStates().contains(tsEditPending));
    clock.advance(1);
    platform::fireDueTimers();
    EXPECT_TRUE(t->IsEditing());
    t.key(Qt::Key_Escape);
    releaseEditors();
}

TEST(Edit, OnEditingAndReadOnlyPreventEveryWayIn)
{
    EditTree t;
    t.focus("n1");
    t->OnEditing = [](TBaseLazyTree*, PLazyNode, TColumnIndex, bool& allowed) { allowed = false; };
    t.key(Qt::Key_F2);
    EXPECT_FALSE(t->IsEditing());
    EXPECT_FALSE(t->EditNode(t.find(QStringLiteral("n1")), -1));
    t->OnEditing = [](TBaseLazyTree*, PLazyNode, TColumnIndex, bool& allowed) { allowed = true; };
    t->TreeOptions().SetMiscOptions(t->TreeOptions().MiscOptions() + toReadOnly);
    t.key(Qt::Key_F2);
    EXPECT_FALSE(t->IsEditing());
    EXPECT_FALSE(t->EditNode(t.find(QStringLiteral("n1")), -1));
    // Without header columns the column is -1: 0 is no column of this tree.
    EXPECT_THROW(t->EditNode(t.find(QStringLiteral("n1")), 0), ELazyTreeAssertion);
    EXPECT_THROW(t->EditNode(nullptr, -1), ELazyTreeAssertion);
}

TEST(Edit, AnErrorWhileApplyingLeavesTheEditorOpenAndTypingGoesOn)
{
    testing_support::FakeMessageBoxes boxes;
    EditTree t;
    bool refuse = true;
    t->OnNewText = [&](TBaseLazyTree* s, PLazyNode n, TColumnIndex, const QString& text) {
        if (refuse)
            throw platform::Exception(QStringLiteral("The name is taken."));
        *static_cast<QStringList*>(s->GetNodeData(n)) = QStringList{text};
    };
    t.focus("n0");
    t.key(Qt::Key_F2);
    t.type(QStringLiteral("n4"));
    t.key(Qt::Key_Return);
    EXPECT_EQ(boxes.texts(), QStringList{"The name is taken."});
    ASSERT_TRUE(t->IsEditing());
    TLTEdit* edit = t.editor();
    ASSERT_NE(edit, nullptr);
    EXPECT_TRUE(edit->isVisible());
    EXPECT_EQ(edit->Text(), QStringLiteral("n4"));
    refuse = false;
    t.type(QStringLiteral("b"));
    EXPECT_EQ(edit->Text(), QStringLiteral("n4b"));
    t.key(Qt::Key_Return);
    EXPECT_FALSE(t->IsEditing());
    EXPECT_NE(t.find(QStringLiteral("n4b")), nullptr);
    releaseEditors();
}

TEST(Edit, TabAppliesAndEditsTheNextNodeUntilTheLast)
{
    EditTree t;
    t.focus("n3");
    t.key(Qt::Key_F2);
    t.type(QStringLiteral("x"));
    t.key(Qt::Key_Tab);
    EXPECT_NE(t.find(QStringLiteral("x")), nullptr);
    ASSERT_TRUE(t->IsEditing());
    EXPECT_EQ(t->FocusedNode(), t.find(QStringLiteral("n4")));
    EXPECT_EQ(t.editor()->Text(), QStringLiteral("n4"));
    // The key's press ends the edit; its release then lands on the tree.
    QTest::keyPress(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_FALSE(t->IsEditing());
    EXPECT_EQ(t->FocusedNode(), nullptr);
    QTest::keyRelease(QApplication::focusWidget(), Qt::Key_Tab);
    releaseEditors();
}

TEST(Edit, LeavingTheEditorAppliesOrDropsByTheOption)
{
    {
        EditTree t;
        QLineEdit other(t.tree.get());
        other.show();
        t.focus("n1");
        t.key(Qt::Key_F2);
        t.type(QStringLiteral("kept"));
        other.setFocus(Qt::MouseFocusReason);
        QApplication::processEvents();
        EXPECT_FALSE(t->IsEditing());
        EXPECT_NE(t.find(QStringLiteral("kept")), nullptr);
        EXPECT_TRUE(t.log.contains(QStringLiteral("edited kept -1")));
        releaseEditors();
    }
    {
        EditTree t;
        QLineEdit other(t.tree.get());
        other.show();
        t->StringTreeOptions().SetStringOptions({});
        t.focus("n1");
        t.key(Qt::Key_F2);
        t.type(QStringLiteral("dropped"));
        other.setFocus(Qt::MouseFocusReason);
        QApplication::processEvents();
        EXPECT_FALSE(t->IsEditing());
        EXPECT_NE(t.find(QStringLiteral("n1")), nullptr);
        EXPECT_EQ(t.log, QStringList{"cancelled -1"});
        releaseEditors();
    }
}

TEST(Edit, TheEditorGrowsWithItsTextWithinItsLimits)
{
    EditTree t;
    t.focus("n1");
    t.key(Qt::Key_F2);
    TLTEdit* edit = t.editor();
    ASSERT_NE(edit, nullptr);
    const int start = edit->width();
    const int left = edit->x();
    t.type(QStringLiteral("a longer name"));
    EXPECT_GT(edit->width(), start);
    EXPECT_EQ(edit->x(), left);
    t.type(QString(60, QLatin1Char('w')));
    EXPECT_EQ(edit->geometry().right() + 1, t->ClientWidth());
    edit->selectAll();
    t.key(Qt::Key_Backspace);
    EXPECT_EQ(edit->width(), 30);
    t.key(Qt::Key_Escape);

    // A right-aligned column grows to the left.
    EditTree columns(2);
    columns->Header().Columns()[1]->SetAlignment(platform::Alignment::taRightJustify);
    columns->TreeOptions().SetSelectionOptions({toExtendedFocus});
    columns.focus("n1");
    columns->SetFocusedColumn(1);
    columns.key(Qt::Key_F2);
    TLTEdit* right = columns.editor();
    ASSERT_NE(right, nullptr);
    EXPECT_EQ(right->Text(), QStringLiteral("v1"));
    const int rightEdge = right->geometry().right();
    const int rightLeft = right->x();
    columns.type(QStringLiteral("a much longer value"));
    EXPECT_EQ(right->geometry().right(), rightEdge);
    EXPECT_LT(right->x(), rightLeft);
    columns.key(Qt::Key_Return);
    EXPECT_EQ(columns.texts(columns.find(QStringLiteral("n1"))).value(1), QStringLiteral("a much longer value"));
    releaseEditors();
}

TEST(Edit, KeysOfSingleAndMultiLineNodes)
{
    EditTree t;
    t.focus("n1");
    t.key(Qt::Key_F2);
    TLTEdit* edit = t.editor();
    edit->moveCursor(QTextCursor::End);
    t.key(Qt::Key_Up); // a single line: Up is Left
    EXPECT_EQ(edit->textCursor().position(), 1);
    t.key(Qt::Key_Down); // and Down is Right
    EXPECT_EQ(edit->textCursor().position(), 2);
    t.key(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(edit->textCursor().selectedText(), QStringLiteral("n1"));
    t.key(Qt::Key_Escape);

    t->SetMultiline(t.find(QStringLiteral("n2")), true);
    t.focus("n2");
    t.key(Qt::Key_F2);
    edit = t.editor();
    ASSERT_TRUE(edit->Multiline());
    edit->moveCursor(QTextCursor::End);
    t.key(Qt::Key_Return);
    t.type(QStringLiteral("line"));
    EXPECT_TRUE(t->IsEditing());
    EXPECT_EQ(edit->Text(), QStringLiteral("n2\nline"));
    t.key(Qt::Key_Return, Qt::ControlModifier);
    EXPECT_FALSE(t->IsEditing());
    EXPECT_EQ(t.texts(t.find(QStringLiteral("n2\nline"))).value(0), QStringLiteral("n2\nline"));
    releaseEditors();
}
