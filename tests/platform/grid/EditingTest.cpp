#include "GridFixture.h"

using namespace gridtest;

namespace {

QWidget* editWidget(TStringGrid* g) { return g->inplaceEditor() ? g->inplaceEditor()->editWidget() : nullptr; }

bool editorShown(TStringGrid* g) { return g->inplaceEditor() && g->inplaceEditor()->isVisible(); }

} // namespace

TEST_F(GridTest, F2EditsOnlyWithGoEditingOutsideRowSelect)
{
    struct Case {
        const char* name;
        TGridOptions extra;
        bool edits;
    };
    const Case cases[] = {{"no goEditing", TGridOptions(), false},
                          {"goEditing", goEditing, true},
                          {"goEditing with goRowSelect", goEditing | goRowSelect, false}};
    grid->setCells(1, 2, QStringLiteral("text"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        grid->setEditorMode(false);
        grid->setOptions(goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect | c.extra);
        grid->setRow(2);
        grid->setFocus();
        key(Qt::Key_F2);
        EXPECT_TRUE(grid->editorMode()) << "F2 switches editor mode on in any case";
        EXPECT_EQ(editorShown(grid), c.edits);
        if (c.edits) {
            const Rect r = grid->cellRect(1, 2);
            EXPECT_EQ(grid->inplaceEditor()->geometry(), r.toQRect());
            EXPECT_EQ(grid->inplaceEditor()->text(), QStringLiteral("text"));
            EXPECT_EQ(QApplication::focusWidget(), editWidget(grid));
        }
    }
}

TEST_F(GridTest, TypedTextReachesTheCellAndEnterEndsTheEdit)
{
    grid->setOptions(grid->options() | goEditing);
    std::vector<QString> set;
    grid->onSetEditText = [&](TStringGrid*, int c, int r, const QString& v) {
        set.push_back(QStringLiteral("%1,%2=%3").arg(c).arg(r).arg(v));
    };
    grid->setCells(1, 1, QStringLiteral("old"));
    key(Qt::Key_F2);
    ASSERT_TRUE(editorShown(grid));
    grid->inplaceEditor()->deselect();
    type(editWidget(grid), QStringLiteral("ab"));
    EXPECT_EQ(grid->cells(1, 1), QStringLiteral("oldab"));
    EXPECT_EQ(set, (std::vector<QString>{QStringLiteral("1,1=olda"), QStringLiteral("1,1=oldab")}));

    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QApplication::sendEvent(editWidget(grid), &enter);
    EXPECT_FALSE(grid->editorMode());
    EXPECT_FALSE(editorShown(grid));
    EXPECT_TRUE(grid->hasFocus());
    EXPECT_EQ(grid->cells(1, 1), QStringLiteral("oldab"));

    key(Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    EXPECT_TRUE(editorShown(grid)) << "Enter on the grid opens the editor again";
}

TEST_F(GridTest, NavigationKeysInTheEditorMoveTheCellAndEndTheEdit)
{
    grid->setOptions(grid->options() | goEditing | goTabs);
    key(Qt::Key_F2);
    ASSERT_TRUE(editorShown(grid));
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QApplication::sendEvent(editWidget(grid), &down);
    EXPECT_EQ(current(), (TGridCoord{1, 2}));
    EXPECT_FALSE(grid->editorMode());
    EXPECT_FALSE(editorShown(grid));

    key(Qt::Key_F2);
    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t"));
    QApplication::sendEvent(editWidget(grid), &tab);
    EXPECT_EQ(current(), (TGridCoord{2, 2}));
    EXPECT_FALSE(editorShown(grid));

    // Left and Right stay in the text unless goAlwaysShowEditor hands them on at its edges.
    key(Qt::Key_F2);
    QKeyEvent left(QEvent::KeyPress, Qt::Key_Left, Qt::NoModifier);
    QApplication::sendEvent(editWidget(grid), &left);
    EXPECT_EQ(current(), (TGridCoord{2, 2}));
    EXPECT_TRUE(editorShown(grid));
}

TEST_F(GridTest, TheEditorStaysOnItsCellWhileTheGridScrolls)
{
    grid->setRowCount(30);
    grid->setOptions(grid->options() | goEditing);
    grid->setRow(2);
    key(Qt::Key_F2);
    ASSERT_TRUE(editorShown(grid));
    EXPECT_EQ(grid->inplaceEditor()->geometry(), grid->cellRect(1, 2).toQRect());

    grid->setTopRow(10);
    EXPECT_TRUE(grid->editorMode());
    EXPECT_FALSE(editorShown(grid)) << "its cell is out of view";

    grid->setTopRow(2);
    ASSERT_TRUE(editorShown(grid));
    EXPECT_EQ(grid->inplaceEditor()->geometry(), grid->cellRect(1, 2).toQRect());
    EXPECT_EQ(grid->inplaceEditor()->geometry().top(), 25);

    grid->wmVScroll(TScrollCode::SB_LINEUP, 0);
    EXPECT_EQ(grid->inplaceEditor()->geometry().top(), 50) << "scroll messages move it too";
}

TEST_F(GridTest, EditLimitAndEditMaskComeFromTheGrid)
{
    grid->setOptions(grid->options() | goEditing);
    grid->editLimit = 3;
    key(Qt::Key_F2);
    ASSERT_TRUE(editorShown(grid));
    type(editWidget(grid), QStringLiteral("abcd"));
    EXPECT_EQ(grid->cells(1, 1), QStringLiteral("abc"));

    grid->setEditorMode(false);
    grid->editLimit = 0;
    grid->editMask = QStringLiteral("000;1;_");
    grid->setRow(2);
    key(Qt::Key_F2);
    grid->inplaceEditor()->setSel(0, 0); // F2 leaves the caret at the end
    type(editWidget(grid), QStringLiteral("1a2"));
    EXPECT_EQ(grid->cells(1, 2), QStringLiteral("12"));

    grid->setEditorMode(false);
    grid->editLimit = -1; // nothing may change
    grid->editMask.clear();
    grid->setCells(1, 3, QStringLiteral("fixed"));
    grid->setRow(3);
    key(Qt::Key_F2);
    type(editWidget(grid), QStringLiteral("x"));
    QKeyEvent bs(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier, QString(QChar(8)));
    QApplication::sendEvent(editWidget(grid), &bs);
    EXPECT_EQ(grid->cells(1, 3), QStringLiteral("fixed"));
}

TEST_F(GridTest, CrLfLineBreaksSurviveAnEdit)
{
    grid->setOptions(grid->options() | goEditing);
    grid->setCells(1, 1, QStringLiteral("a\r\nb"));
    key(Qt::Key_F2);
    ASSERT_TRUE(editorShown(grid));
    EXPECT_EQ(grid->inplaceEditor()->text(), QStringLiteral("a\r\nb"));
    EXPECT_EQ(grid->inplaceEditor()->lineCount(), 2);
    grid->inplaceEditor()->deselect();
    type(editWidget(grid), QStringLiteral("c"));
    EXPECT_EQ(grid->cells(1, 1), QStringLiteral("a\r\nbc"));
    grid->setEditorMode(false);
    EXPECT_EQ(grid->cells(1, 1), QStringLiteral("a\r\nbc"));
}

TEST_F(GridTest, CellWritesFromCodeShowInTheOpenEditor)
{
    grid->setOptions(grid->options() | goEditing);
    key(Qt::Key_F2);
    ASSERT_TRUE(editorShown(grid));
    grid->setCells(1, 1, QStringLiteral("from code"));
    EXPECT_EQ(grid->inplaceEditor()->text(), QStringLiteral("from code"));
    grid->setCells(2, 1, QStringLiteral("elsewhere"));
    EXPECT_EQ(grid->inplaceEditor()->text(), QStringLiteral("from code"));
}

TEST(GridEditMask, PlatformMasksBecomeEditControlMasks)
{
    struct Case {
        QString mask;
        QString qt;
        bool saveLiterals;
    };
    const Case cases[] = {
        {QString(), QString(), true},
        {QStringLiteral("000;1;_"), QStringLiteral("999;_"), true},
        {QStringLiteral("!99/99/00;1;_"), QStringLiteral("00/00/99;_"), true},
        {QStringLiteral("(999) 000-0000;0; "), QStringLiteral("(000) 999-9999; "), false},
        {QStringLiteral(">LL<ll"), QStringLiteral(">AA<aa;_"), true},
        {QStringLiteral("<>AaCc#"), QStringLiteral("!NnXx#;_"), true},
        {QStringLiteral("\\A\\;0"), QStringLiteral("\\A\\;9;_"), true},
        {QStringLiteral("XB-9"), QStringLiteral("\\X\\B-0;_"), true},
    };
    for (const Case& c : cases) {
        const EditMaskPattern translated = translateEditMask(c.mask);
        EXPECT_EQ(translated.qtMask, c.qt) << c.mask.toStdString();
        EXPECT_EQ(translated.saveLiterals, c.saveLiterals) << c.mask.toStdString();
    }
}

TEST_F(GridTest, MaskLiteralsStayOutOfTheTextWhenAsked)
{
    grid->setOptions(grid->options() | goEditing);
    grid->editMask = QStringLiteral("00-00;0;_");
    key(Qt::Key_F2);
    ASSERT_TRUE(editorShown(grid));
    grid->inplaceEditor()->setSel(0, 0);
    type(editWidget(grid), QStringLiteral("1234"));
    EXPECT_EQ(grid->inplaceEditor()->text(), QStringLiteral("1234"));
    EXPECT_EQ(grid->cells(1, 1), QStringLiteral("1234"));
}

namespace {

// Stands in for a window's default button: takes Enter when it reaches the window.
class DefaultButton : public QObject {
public:
    int clicks = 0;

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_Return) {
            ++clicks;
            e->accept();
            return true;
        }
        return false;
    }
};

} // namespace

TEST_F(GridTest, EnterGoesToTheWindowsDefaultButtonFirst)
{
    grid->setOptions(grid->options() | goEditing);
    DefaultButton button;
    window->installEventFilter(&button);
    int downs = 0;
    grid->onKeyDown = [&](TStringGrid*, quint16&, TShiftState) { ++downs; };
    key(Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    EXPECT_EQ(button.clicks, 1);
    EXPECT_EQ(downs, 0) << "a key the window took never reaches the grid";
    EXPECT_FALSE(grid->editorMode());

    window->removeEventFilter(&button);
    key(Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    EXPECT_EQ(downs, 1);
    EXPECT_TRUE(editorShown(grid));
    // Inside the editor Enter is the editor's (the window does not see it).
    window->installEventFilter(&button);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QApplication::sendEvent(editWidget(grid), &enter);
    EXPECT_EQ(button.clicks, 1);
    EXPECT_FALSE(grid->editorMode());
}

TEST_F(GridTest, TheEditorsTabMovesTheFocusOnWithoutGoTabs)
{
    grid->setOptions(grid->options() | goEditing);
    key(Qt::Key_F2);
    ASSERT_TRUE(editorShown(grid));
    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t"));
    QApplication::sendEvent(editWidget(grid), &tab);
    EXPECT_TRUE(other->hasFocus());
    EXPECT_EQ(current(), (TGridCoord{1, 1}));
}

TEST_F(GridTest, AlwaysShowEditorKeepsTheEditorOpenAcrossMoves)
{
    grid->setCells(2, 1, QStringLiteral("two"));
    grid->setOptions(grid->options() | goEditing | goAlwaysShowEditor);
    ASSERT_TRUE(editorShown(grid)) << "the option alone opens it";
    key(Qt::Key_Right);
    EXPECT_TRUE(grid->editorMode());
    ASSERT_TRUE(editorShown(grid));
    EXPECT_EQ(grid->inplaceEditor()->text(), QStringLiteral("two"));
    EXPECT_EQ(grid->inplaceEditor()->geometry(), grid->cellRect(2, 1).toQRect());
    // goRowSelect and goAlwaysShowEditor do not go together.
    grid->setOptions(grid->options() | goRowSelect);
    EXPECT_FALSE(grid->options().testFlag(goAlwaysShowEditor));
}

TEST_F(GridTest, FocusEntersAndLeavesTheGrid)
{
    std::vector<std::string> seen;
    grid->onEnter = [&](TStringGrid*) { seen.push_back("enter"); };
    grid->onExit = [&](TStringGrid*) { seen.push_back("exit"); };
    grid->setOptions(grid->options() | goEditing);
    key(Qt::Key_F2);
    ASSERT_TRUE(editorShown(grid));
    EXPECT_TRUE(seen.empty()) << "the editor is part of the grid";
    other->setFocus();
    grid->setFocus();
    EXPECT_EQ(seen, (std::vector<std::string>{"exit", "enter"}));
    EXPECT_EQ(QApplication::focusWidget(), editWidget(grid)) << "back in the grid, the open editor takes the focus";
    grid->onEnter = nullptr;
    grid->onExit = nullptr;
}

TEST_F(GridTest, DestroyingAFocusedEditingGridRunsNoHandlers)
{
    grid->setOptions(grid->options() | goEditing);
    key(Qt::Key_F2);
    ASSERT_TRUE(editorShown(grid));
    int exits = 0;
    grid->onExit = [&](TStringGrid*) { ++exits; };
    delete grid;
    grid = nullptr;
    QApplication::processEvents();
    EXPECT_EQ(exits, 0);
}

TEST_F(GridTest, TheGridCreatesItsEditorOnceAndAsksBeforeShowingIt)
{
    grid->setOptions(grid->options() | goEditing);
    grid->refuseEditor = true;
    key(Qt::Key_F2);
    EXPECT_EQ(grid->editorsCreated, 0);
    EXPECT_EQ(grid->inplaceEditor(), nullptr);
    grid->refuseEditor = false;
    for (int r = 1; r <= 3; ++r) {
        grid->setRow(r);
        key(Qt::Key_F2);
        EXPECT_TRUE(editorShown(grid));
    }
    EXPECT_EQ(grid->editorsCreated, 1);
}
