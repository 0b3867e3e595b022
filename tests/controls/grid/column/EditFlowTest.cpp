#include "ColumnGridFixture.h"

#include <QAbstractItemView>
#include <QClipboard>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>

namespace gridtest {
namespace {

QWidget* focused() { return QApplication::focusWidget(); }

TEST_F(ColumnGridTest, EditableCellSwitchesEditingOnAndReadOnlyOff)
{
    goTo(cText, 2);
    EXPECT_TRUE(grid->options().testFlag(platform::goEditing));
    goTo(cReadOnly, 2);
    EXPECT_FALSE(grid->options().testFlag(platform::goEditing));
    goTo(cCheck, 2);
    EXPECT_TRUE(grid->options().testFlag(platform::goEditing));
    goTo(cNumber + 1, 3);
    EXPECT_TRUE(grid->options().testFlag(platform::goEditing));
}

TEST_F(ColumnGridTest, TypingAndEnterStoreTheTextThenTheEventsComeInOrder)
{
    QStringList events;
    grid->OnCellValidate = [&](TExtStringGridEdit*, int col, int row, QString& value, bool&) {
        events << QStringLiteral("validate %1,%2 %3").arg(col).arg(row).arg(value);
    };
    grid->OnEditingDone = [&](TExtStringGrid*) { events << "editingDone"; };
    grid->OnEditCellDone = [&](TExtStringGridEdit*, int col, int row) {
        events << QStringLiteral("editCellDone %1,%2").arg(col).arg(row);
    };
    goTo(cText, 2);
    type("abc");
    ASSERT_NE(grid->NormalEdit(), nullptr);
    EXPECT_TRUE(grid->NormalEdit()->isVisible());
    EXPECT_EQ(grid->NormalEdit()->text(), "abc");
    QTest::keyClick(focused(), Qt::Key_Return);
    EXPECT_EQ(grid->Cells(cText, 2), "abc");
    EXPECT_FALSE(grid->NormalEdit()->isVisible());
    // The end-of-edit event is handled once the event loop runs.
    EXPECT_EQ(events, (QStringList{"validate 1,2 abc", "editingDone"}));
    QCoreApplication::sendPostedEvents(grid);
    EXPECT_EQ(events, (QStringList{"validate 1,2 abc", "editingDone", "editCellDone 1,2"}));
    EXPECT_EQ(grid->col(), cText); // without AdvanceOnEnter the cell stays
    EXPECT_EQ(grid->row(), 2);
}

// Right of a hidden column the shown column and the stored one differ: what is typed lands in
// the column shown, and the hidden column keeps its text, during the edit and after it.
TEST_F(ColumnGridTest, TypingRightOfAHiddenColumnFillsTheColumnShown)
{
    grid->Columns().Items(cEdit)->SetEditor(edNormal);
    grid->SetCells(cList, 2, "Beta");
    grid->HideColumn(cList);
    goTo(cList, 2); // the display column where cEdit now stands
    type("abc");
    EXPECT_EQ(grid->Cells(cList, 2), "Beta");
    QTest::keyClick(focused(), Qt::Key_Return);
    EXPECT_EQ(grid->Cells(cEdit, 2), "abc");
    EXPECT_EQ(grid->Cells(cList, 2), "Beta");
    // Ended by a click on another cell.
    goTo(cList, 3);
    type("xyz");
    click(cText, 5);
    EXPECT_EQ(grid->Cells(cEdit, 3), "xyz");
    EXPECT_EQ(grid->Cells(cList, 3), QString());
}

// Behind a hidden column the display and real indexes part: what is typed, or picked from a
// list, goes to the cell shown under the editor and to no other.
TEST_F(ColumnGridTest, TypingAndPickingBehindAHiddenColumnFillTheShownCellOnly)
{
    grid->Columns().Items(cEdit)->SetEditor(edNormal);
    grid->HideColumn(cText);
    click(cEdit - 1, 3); // shown one column to the left
    type("free");
    key(Qt::Key_Return);
    EXPECT_EQ(grid->Cells(cEdit, 3), "free");
    EXPECT_EQ(grid->Cells(cList, 3), QString());
    click(cList - 1, 4);
    key(Qt::Key_F2); // the list opens on no item: Down takes the first, then the next ones
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    key(Qt::Key_Return);
    EXPECT_EQ(grid->Cells(cList, 4), "Gamma");
    EXPECT_EQ(grid->Cells(cText, 4), QString());
    for (int c = cText; c <= cCheck; ++c)
        EXPECT_EQ(grid->Cells(c, 2), QString()) << c;
}

TEST_F(ColumnGridTest, ComboEndedByAClickElsewhereReportsDoneValidateThenCellDone)
{
    QStringList events;
    grid->OnCellValidate = [&](TExtStringGridEdit*, int, int, QString& value, bool&) { events << "validate " + value; };
    grid->OnEditingDone = [&](TExtStringGrid*) { events << "editingDone"; };
    grid->OnEditCellDone = [&](TExtStringGridEdit*, int, int) { events << "editCellDone"; };
    goTo(cList, 3);
    key(Qt::Key_F2);
    ASSERT_TRUE(grid->EditCombo()->isVisible());
    grid->EditCombo()->SetItemIndex(1);
    click(cText, 5);
    EXPECT_FALSE(grid->EditCombo()->isVisible());
    EXPECT_EQ(grid->Cells(cList, 3), "Beta");
    QCoreApplication::sendPostedEvents(grid);
    EXPECT_EQ(events, (QStringList{"editingDone", "validate Beta", "editCellDone"}));
}

TEST_F(ColumnGridTest, ListOpenedAfterAnEditableComboStaysOpenAndTakesTheClickedItem)
{
    // The editor is shared: an editable combo before a pick list leaves a line edit behind
    // that is deleted later, while the pick list has the focus.
    goTo(cEdit, 1);
    key(Qt::Key_F2);
    ASSERT_TRUE(grid->EditCombo()->isEditable());
    key(Qt::Key_Escape);
    goTo(cList, 2);
    key(Qt::Key_F2);
    TGridCombo* combo = grid->EditCombo();
    ASSERT_FALSE(combo->isEditable());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(combo->isVisible());

    combo->showPopup();
    QCoreApplication::processEvents();
    ASSERT_TRUE(combo->view()->isVisible());
    EXPECT_TRUE(combo->isVisible()) << "the list took the focus from its own editor";
    QAbstractItemView* list = combo->view();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, list->visualRect(list->model()->index(1, 0)).center());
    QCoreApplication::processEvents();
    EXPECT_FALSE(list->isVisible());
    ASSERT_TRUE(combo->isVisible());
    EXPECT_EQ(combo->Text(), "Beta");
    key(Qt::Key_Return);
    EXPECT_EQ(grid->Cells(cList, 2), "Beta");
}

TEST_F(ColumnGridTest, RefusedValueRestoresTheTextReopensTheEditorAndLeavesTheRow)
{
    grid->SetCells(cText, 4, "old");
    grid->OnCellValidate = [&](TExtStringGridEdit*, int, int, QString& value, bool& valid) {
        if (value == "bad")
            valid = false;
    };
    goTo(cText, 4);
    key(Qt::Key_F2);
    grid->NormalEdit()->setText("bad");
    QTest::keyClick(focused(), Qt::Key_Return);
    EXPECT_EQ(grid->Cells(cText, 4), "old");
    EXPECT_TRUE(grid->NormalEdit()->isVisible());
    EXPECT_FALSE(grid->RowModified(4));
    EXPECT_FALSE(grid->GridModified());
    grid->NormalEdit()->setText("good");
    QTest::keyClick(focused(), Qt::Key_Return);
    EXPECT_EQ(grid->Cells(cText, 4), "good");
    EXPECT_TRUE(grid->RowModified(4));
}

TEST_F(ColumnGridTest, EscapeRestoresTheTextOfTheCell)
{
    grid->SetCells(cText, 3, "keep");
    goTo(cText, 3);
    type("x");
    type("yz");
    key(Qt::Key_Escape);
    EXPECT_EQ(grid->Cells(cText, 3), "keep");
    EXPECT_FALSE(grid->NormalEdit()->isVisible());
}

TEST_F(ColumnGridTest, ACopiedCellPastedIntoANumericCellLosesItsLineBreak)
{
    grid->Columns().Items(cText)->SetEditor(edNumeric);
    QGuiApplication::clipboard()->setText(QStringLiteral("12\r\n"));
    goTo(cText, 2);
    key(Qt::Key_F2);
    ASSERT_TRUE(grid->NormalEdit()->isVisible());
    key(Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(grid->NormalEdit()->text(), "12");
    // Two lines are no number: the editor keeps what it had.
    QGuiApplication::clipboard()->setText(QStringLiteral("3\r\n4"));
    key(Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(grid->NormalEdit()->text(), "12");
    key(Qt::Key_Return);
    EXPECT_EQ(grid->Cells(cText, 2), "12");
}

TEST_F(ColumnGridTest, OpeningAndClosingTheEditorKeepsTheCell)
{
    const QStringList texts{"<B>oiler</B>", "<b>x</b><br>y", "T<5 and T>2"};
    int row = 1;
    for (const QString& text : texts) {
        grid->SetCells(cText, row, text);
        goTo(cText, row);
        key(Qt::Key_F2);
        QTest::keyClick(focused(), Qt::Key_Return);
        EXPECT_EQ(grid->Cells(cText, row), text);
        ++row;
    }
    // What the user types is kept as typed, "<" and ">" included.
    for (const QString& typed : {QStringLiteral("<B>oiler"), QStringLiteral("T<5 and T>2")}) {
        goTo(cText, row);
        type(typed);
        QTest::keyClick(focused(), Qt::Key_Return);
        EXPECT_EQ(grid->Cells(cText, row), typed);
        ++row;
    }
}

TEST_F(ColumnGridTest, APickListWritesOnlyAnItemTheUserChose)
{
    QStringList changes;
    grid->OnComboChange = [&](TExtStringGridEdit*, int col, int row, int index, const QString& text) {
        changes << QStringLiteral("%1,%2 %3 %4").arg(col).arg(row).arg(index).arg(text);
    };
    // A cell whose text is no item shows no item, and Escape leaves it as it was.
    for (const QString& before : {QStringLiteral("Zeta"), QString()}) {
        grid->SetCells(cList, 2, before);
        goTo(cList, 2);
        key(Qt::Key_F2);
        ASSERT_TRUE(grid->EditCombo()->isVisible());
        EXPECT_EQ(grid->EditCombo()->ItemIndex(), -1);
        key(Qt::Key_Escape);
        EXPECT_FALSE(grid->EditCombo()->isVisible());
        EXPECT_EQ(grid->Cells(cList, 2), before);
    }
    EXPECT_TRUE(changes.isEmpty());

    // A letter that starts no item chooses nothing: Enter writes nothing. (Each letter is a
    // search of its own here, however fast the test types.)
    const int interval = QApplication::keyboardInputInterval();
    QApplication::setKeyboardInputInterval(1);
    auto search = [&](const QString& letter) {
        QTest::qWait(5);
        type(letter);
    };
    goTo(cList, 3);
    key(Qt::Key_F2);
    search("q");
    key(Qt::Key_Return);
    EXPECT_EQ(grid->Cells(cList, 3), QString());
    // One that starts an item chooses it.
    goTo(cList, 3);
    key(Qt::Key_F2);
    search("g");
    key(Qt::Key_Return);
    EXPECT_EQ(grid->Cells(cList, 3), QStringLiteral("Gamma"));

    // A cell that holds an item shows it, and Escape keeps it after another was picked.
    goTo(cList, 3);
    key(Qt::Key_F2);
    EXPECT_EQ(grid->EditCombo()->ItemIndex(), 2);
    search("a");
    EXPECT_EQ(grid->EditCombo()->ItemIndex(), 0);
    key(Qt::Key_Escape);
    EXPECT_EQ(grid->Cells(cList, 3), QStringLiteral("Gamma"));

    // A letter typed on the closed cell opens the list and searches it the same way.
    goTo(cList, 5);
    search("b");
    EXPECT_TRUE(grid->EditCombo()->isVisible());
    key(Qt::Key_Return);
    EXPECT_EQ(grid->Cells(cList, 5), QStringLiteral("Beta"));
    goTo(cList, 6);
    search("z");
    key(Qt::Key_Return);
    EXPECT_EQ(grid->Cells(cList, 6), QString());
    QApplication::setKeyboardInputInterval(interval);
}

TEST_F(ColumnGridTest, EscapeInAnEditableComboRestoresTheText)
{
    grid->SetCells(cEdit, 2, QStringLiteral("ONE"));
    goTo(cEdit, 2);
    key(Qt::Key_F2);
    ASSERT_TRUE(grid->EditCombo()->isVisible());
    grid->EditCombo()->lineEdit()->selectAll();
    type("xyz");
    EXPECT_EQ(grid->EditCombo()->Text(), QStringLiteral("xyz"));
    key(Qt::Key_Escape);
    EXPECT_FALSE(grid->EditCombo()->isVisible());
    EXPECT_EQ(grid->Cells(cEdit, 2), QStringLiteral("ONE"));
}

// A list of numbers as the offset tables have: a digit typed on the closed cell chooses the first
// item it starts, and digits typed at once narrow it down, in the next cell too however soon
// after the last (the list is shared, and its search starts afresh in each cell). The focus
// leaving for a button (a table's OK) with the list opened on an empty cell and nothing chosen
// writes nothing.
TEST_F(ColumnGridTest, DigitsChooseNumberItemsAndFocusLeavingUnchosenWritesNothing)
{
    QStringList items{"None"};
    for (int i = 0; i < 60; ++i)
        items << QString::number(i);
    grid->Columns().Items(cList)->ComboItems().Clear();
    grid->Columns().Items(cList)->ComboItems().AddStrings(items);
    const int interval = QApplication::keyboardInputInterval();
    QApplication::setKeyboardInputInterval(5000);
    goTo(cList, 2);
    type("7");
    ASSERT_TRUE(grid->EditCombo()->isVisible());
    key(Qt::Key_Return);
    EXPECT_EQ(grid->Cells(cList, 2), QStringLiteral("7"));
    goTo(cList, 3);
    type("42");
    key(Qt::Key_Return);
    EXPECT_EQ(grid->Cells(cList, 3), QStringLiteral("42"));
    QApplication::setKeyboardInputInterval(interval);

    auto* ok = new QPushButton(QStringLiteral("OK"), &window);
    ok->setGeometry(0, 385, 60, 14);
    ok->show();
    goTo(cList, 4);
    key(Qt::Key_F2);
    ASSERT_TRUE(grid->EditCombo()->isVisible());
    EXPECT_EQ(grid->EditCombo()->ItemIndex(), -1);
    ok->setFocus(Qt::MouseFocusReason);
    QCoreApplication::processEvents();
    EXPECT_FALSE(grid->EditCombo()->isVisible());
    EXPECT_EQ(grid->Cells(cList, 4), QString());
}

// Escape in the dropped list of either kind ends the edit at once, as in the closed editor: one
// Escape more is then the grid's (a table window closes on it).
TEST_F(ColumnGridTest, EscapeInAnOpenListClosesTheListAndTheEditorTogether)
{
    grid->SetCells(cList, 2, QStringLiteral("Beta"));
    grid->SetCells(cEdit, 2, QStringLiteral("ONE"));
    for (int col : {int(cList), int(cEdit)}) {
        SCOPED_TRACE(col);
        const QString before = grid->Cells(col, 2);
        goTo(col, 2);
        key(Qt::Key_F2);
        TGridCombo* combo = grid->EditCombo();
        ASSERT_TRUE(combo->isVisible());
        combo->showPopup();
        QCoreApplication::processEvents();
        ASSERT_TRUE(combo->view()->isVisible());
        QTest::keyClick(combo->view(), Qt::Key_Down);
        QTest::keyClick(combo->view(), Qt::Key_Escape);
        QCoreApplication::processEvents();
        EXPECT_FALSE(combo->view()->isVisible());
        EXPECT_FALSE(combo->isVisible()) << "the editor stayed open after Escape in its list";
        EXPECT_TRUE(grid->hasFocus());
        EXPECT_EQ(grid->Cells(col, 2), before);
    }
}

// A narrow list column: the closed cell shows "2.0A (11 bit)" whole, and so does its editor, whose
// frame and drop button would leave less room inside the cell. A wide column keeps the editor
// inside the cell.
TEST_F(ColumnGridTest, AListEditorShowsTheTextTheClosedCellShowsWhole)
{
    TGridColumnItem* column = grid->Columns().Items(cList);
    column->ComboItems().Clear();
    column->ComboItems().AddStrings(QStringList{"2.0A (11 bit)", "2.0B (29 bit)"});
    grid->SetCells(cList, 2, QStringLiteral("2.0A (11 bit)"));
    const QFontMetrics metrics(grid->font());
    const int textWidth = metrics.horizontalAdvance(QStringLiteral("2.0B (29 bit)"));
    column->SetWidth(textWidth + 2 * grid->XYOffset.x() + 2);
    goTo(cList, 2);
    key(Qt::Key_F2);
    TGridCombo* combo = grid->EditCombo();
    ASSERT_TRUE(combo->isVisible());
    EXPECT_GE(combo->TextRoom(), textWidth) << "the editor cuts a text its closed cell shows whole";
    EXPECT_EQ(combo->x(), grid->CellRect(cList, 2).left);
    key(Qt::Key_Escape);

    column->SetWidth(200);
    goTo(cList, 2);
    key(Qt::Key_F2);
    ASSERT_TRUE(combo->isVisible());
    EXPECT_EQ(combo->width(), grid->CellRect(cList, 2).width() - 1);
    key(Qt::Key_Escape);
}

// The drop button shows at the right end of a list cell once its editor is open: a press there
// that opens the editor drops the list at once; a press elsewhere in the cell only opens it.
TEST_F(ColumnGridTest, APressWhereTheDropButtonShowsOpensTheListAtOnce)
{
    const platform::Rect cell = grid->CellRect(cList, 3);
    const int y = (cell.top + cell.bottom) / 2;
    goTo(cList, 3);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(cell.left + 6, y));
    QCoreApplication::processEvents();
    TGridCombo* combo = grid->EditCombo();
    ASSERT_TRUE(combo->isVisible());
    EXPECT_FALSE(combo->view()->isVisible());
    key(Qt::Key_Escape);
    ASSERT_FALSE(combo->isVisible());

    goTo(cList, 3);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(cell.right - 6, y));
    QCoreApplication::processEvents();
    ASSERT_TRUE(combo->isVisible());
    EXPECT_TRUE(combo->view()->isVisible()) << "the press on the drop button opened no list";
    combo->hidePopup();
}

TEST_F(ColumnGridTest, ComboEditKeepsFreeText)
{
    grid->SetCells(cEdit, 2, "free");
    goTo(cEdit, 2);
    key(Qt::Key_F2);
    ASSERT_TRUE(grid->EditCombo()->isVisible());
    EXPECT_EQ(grid->EditCombo()->Text(), "free");
    grid->EditCombo()->SetText("typed 5");
    QTest::keyClick(focused(), Qt::Key_Return);
    EXPECT_EQ(grid->Cells(cEdit, 2), "typed 5");
    EXPECT_FALSE(grid->EditCombo()->isVisible());
}

TEST_F(ColumnGridTest, UpDownWithoutComboUpdownMoveTheGridAndLeaveTheNextCell)
{
    grid->Navigation.ComboGetUpDown = false;
    grid->SetCells(cEdit, 3, "next");
    goTo(cEdit, 2);
    key(Qt::Key_F2);
    grid->EditCombo()->SetText("mine");
    key(Qt::Key_Down);
    EXPECT_EQ(grid->row(), 3);
    EXPECT_EQ(grid->Cells(cEdit, 2), "mine");
    EXPECT_EQ(grid->Cells(cEdit, 3), "next");
    EXPECT_FALSE(grid->EditCombo()->isVisible());
}

TEST_F(ColumnGridTest, ColumnEditLengthLimitsTheTextAndAdvancesAutomatically)
{
    grid->Columns().Items(cText)->EditLength = 3;
    goTo(cText, 2);
    type("abcd");
    EXPECT_EQ(grid->NormalEdit()->text(), "abc");
    key(Qt::Key_Escape);

    grid->Navigation.SetAdvanceAuto(true);
    goTo(cText, 3);
    type("xyz");
    EXPECT_EQ(grid->Cells(cText, 3), "xyz");
    EXPECT_EQ(grid->col(), cList); // the third character moved on
}

TEST_F(ColumnGridTest, EditLengthIsAFullIntegerLimit)
{
    // 65537 and 65539 are 1 and 3 when cut to 16 bits.
    grid->Columns().Items(cText)->EditLength = 65537;
    goTo(cText, 2);
    type("abcd");
    EXPECT_EQ(grid->NormalEdit()->text(), "abcd");
    key(Qt::Key_Return);
    EXPECT_EQ(grid->Cells(cText, 2), "abcd");

    grid->Columns().Items(cText)->EditLength = 65539;
    grid->Navigation.SetAdvanceAuto(true);
    grid->Navigation.AdvanceOnEnter = true;
    goTo(cText, 4);
    type("xyz");
    EXPECT_EQ(grid->col(), cText) << "three characters are far from the limit";
    EXPECT_EQ(grid->NormalEdit()->text(), "xyz");
}

TEST_F(ColumnGridTest, HideCellEditWithNoEditWritesNothingAndRestoreCellCacheWritesTheCurrentCell)
{
    grid->SetCells(cList, 2, "Beta");
    goTo(cList, 2);
    grid->EditCombo()->SetText("Gamma");
    grid->HideCellEdit();
    EXPECT_EQ(grid->Cells(cList, 2), "Beta");

    grid->Columns().Items(cText)->SetFixed(false);
    grid->SetCells(cText, 5, "cached");
    goTo(cText, 5);
    key(Qt::Key_F2);
    grid->NormalEdit()->setText("changed");
    grid->RestoreCellCache();
    EXPECT_EQ(grid->Cells(cText, 5), "cached");
}

} // namespace
} // namespace gridtest

#include <QDialog>
#include <QPushButton>
#include <QVBoxLayout>

namespace gridtest {
namespace {

// The table windows are dialogs with a default and a cancel button: an open editor takes
// Enter and Escape before them, a grid without an open editor leaves Escape to the dialog.
TEST(ColumnGridDialogTest, OpenEditorTakesEnterAndEscapeBeforeTheDialogButtons)
{
    QDialog dialog;
    dialog.resize(500, 300);
    auto* layout = new QVBoxLayout(&dialog);
    auto* grid = new TExtColumnGrid(&dialog);
    layout->addWidget(grid);
    auto* ok = new QPushButton(QStringLiteral("OK"), &dialog);
    ok->setDefault(true);
    layout->addWidget(ok);
    int okClicks = 0, rejects = 0;
    QObject::connect(ok, &QPushButton::clicked, [&] { ++okClicks; });
    QObject::connect(&dialog, &QDialog::rejected, [&] { ++rejects; });
    grid->SetColCount(3);
    grid->SetRowCount(5);
    grid->Columns().Items(2)->SetEditor(edComboList);
    grid->Columns().Items(2)->ComboItems().AddStrings(QStringList{"Alpha", "Beta"});
    grid->SetCells(1, 2, "old");
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    grid->MoveToCell(1, 1);
    grid->setFocus();
    QCoreApplication::processEvents();
    auto press = [](Qt::Key k) {
        QTest::keyClick(QApplication::focusWidget(), k);
        QCoreApplication::processEvents();
    };
    auto typeText = [](const QString& text) {
        for (QChar ch : text) {
            QTest::keyClick(QApplication::focusWidget(), ch.toLatin1());
            QCoreApplication::processEvents();
        }
    };

    typeText("abc");
    ASSERT_TRUE(grid->NormalEdit()->isVisible());
    press(Qt::Key_Return);
    EXPECT_EQ(grid->Cells(1, 1), "abc");
    EXPECT_EQ(okClicks, 0);

    grid->MoveToCell(1, 2);
    grid->setFocus();
    typeText("xy");
    press(Qt::Key_Escape);
    EXPECT_EQ(grid->Cells(1, 2), "old");
    EXPECT_EQ(rejects, 0);
    EXPECT_TRUE(dialog.isVisible());

    grid->MoveToCell(2, 1);
    grid->setFocus();
    press(Qt::Key_F2);
    ASSERT_TRUE(grid->EditCombo()->isVisible());
    grid->EditCombo()->SetItemIndex(1);
    press(Qt::Key_Return);
    EXPECT_EQ(grid->Cells(2, 1), "Beta");
    EXPECT_EQ(okClicks, 0);
    press(Qt::Key_F2);
    ASSERT_TRUE(grid->EditCombo()->isVisible());
    press(Qt::Key_Escape);
    EXPECT_FALSE(grid->EditCombo()->isVisible());
    EXPECT_EQ(rejects, 0);
    EXPECT_TRUE(dialog.isVisible());

    // No editor open: Escape is the dialog's.
    grid->setFocus();
    press(Qt::Key_Escape);
    EXPECT_EQ(rejects, 1);
}

} // namespace
} // namespace gridtest
