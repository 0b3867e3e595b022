// The grid with its auxiliary windows as the user works with it: fixed-cell editors, form
// controls in HTML cells, anchors under the mouse, hints and balloons, the floating picture of
// cells and the moving of columns by mouse.
#include "controls/grid/auxwin/GridAux.h"
#include "controls/grid/base/GridControls.h"
#include "controls/grid/html/HTMLUtil.h"
#include "controls/grid/util/BalloonTip.h"

#include <QApplication>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QTest>
#include <gtest/gtest.h>

using namespace controls::grid;

namespace {

class GridAuxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        window.resize(640, 400);
        grid = new TExtStringGridAux(&window);
        grid->setGeometry(0, 0, 620, 380);
        grid->SetColCount(6);
        grid->SetRowCount(10);
        for (int c = 0; c < 6; ++c)
            grid->SetCells(c, 0, QStringLiteral("H%1").arg(c));
        window.show();
        QApplication::setActiveWindow(&window);
        grid->setFocus();
        QCoreApplication::processEvents();
    }

    QPoint center(int c, int r) const
    {
        const platform::Rect rect = grid->CellRect(c, r);
        return QPoint((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    }

    void move(QPoint p, Qt::MouseButtons buttons = Qt::NoButton)
    {
        QMouseEvent e(QEvent::MouseMove, p, grid->viewport()->mapToGlobal(p), Qt::NoButton, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(grid->viewport(), &e);
    }

    QWidget window;
    TExtStringGridAux* grid = nullptr;
};

} // namespace

TEST_F(GridAuxTest, ADoubleClickOnAHeaderOpensTheFixedCellList)
{
    grid->MouseActions.FixedRowsEdit = fceDblClick;
    grid->MouseActions.FixedRowsEditor = fceComboList;
    grid->MouseActions.FixedComboValues.AddStrings(QStringList{"Name", "Type", "Unit"});
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, center(3, 0));
    TGridTransCombo* combo = grid->ComboTrans();
    ASSERT_TRUE(combo->isVisible());
    EXPECT_FALSE(combo->isEditable());
    EXPECT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->Col, 3);
    EXPECT_EQ(combo->Row, 0);
    const platform::Rect r = grid->CellRect(3, 0).inflated(-1, -1);
    EXPECT_EQ(combo->geometry().left(), r.left - 1);
    EXPECT_EQ(combo->geometry().top(), r.top - 1);

    // Typing in the editable combo reports each change with the cell.
    grid->MouseActions.FixedRowsEditor = fceComboEdit;
    combo->setCurrentIndex(1);
    ASSERT_TRUE(combo->StopEdit());
    std::vector<QString> changes;
    grid->OnEditChange = [&](TExtStringGridEdit*, int c, int r, const QString& v) {
        EXPECT_EQ(c, 2);
        EXPECT_EQ(r, 0);
        changes.push_back(v);
    };
    EXPECT_EQ(grid->Cells(3, 0), QStringLiteral("Type"));
    grid->StartFixedCellEdit(2, 0);
    ASSERT_TRUE(combo->isEditable());
    combo->lineEdit()->clear();
    QTest::keyClicks(combo->lineEdit(), QStringLiteral("ab"));
    ASSERT_FALSE(changes.empty());
    EXPECT_EQ(changes.back(), QStringLiteral("ab"));
}

TEST_F(GridAuxTest, FixedCellEditsAreValidated)
{
    grid->MouseActions.FixedRowsEdit = fceLeftClick;
    int refusals = 1;
    grid->OnCellValidate = [&](TExtStringGridEdit*, int, int, QString& value, bool& valid) {
        if (refusals-- > 0)
            valid = false;
        else
            value = value.toUpper();
    };
    int done = 0;
    grid->OnEditingDone = [&](TExtStringGrid*) { ++done; };
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, center(2, 0));
    TGridTransEdit* edit = grid->EditTrans();
    ASSERT_TRUE(edit->isVisible());
    EXPECT_EQ(edit->text(), QStringLiteral("H2"));
    edit->setText(QStringLiteral("temp"));
    // Refused: the edit stays open and the cell keeps its text; Enter brings no line break.
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_TRUE(edit->isVisible());
    EXPECT_EQ(edit->text(), QStringLiteral("temp"));
    EXPECT_EQ(grid->Cells(2, 0), QStringLiteral("H2"));
    EXPECT_EQ(done, 0);
    // Accepted with the handler's change.
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_FALSE(edit->isVisible());
    EXPECT_EQ(grid->Cells(2, 0), QStringLiteral("TEMP"));
    EXPECT_EQ(done, 1);

    // A refused OnCanEditCell opens nothing; near a border a press sizes instead.
    grid->OnCanEditCell = [](TExtStringGrid*, int, int, bool& can) { can = false; };
    grid->StartFixedCellEdit(3, 0);
    EXPECT_FALSE(edit->isVisible());
}

TEST_F(GridAuxTest, FormControlsAreEditedInPlace)
{
    grid->setOptions(grid->options() | platform::goEditing);
    grid->setColWidths(2, 200);
    grid->SetCells(2, 2,
                   QStringLiteral("<CONTROL TYPE=\"EDIT\" ID=\"e1\" VALUE=\"abc\" WIDTH=\"60\" MAXLEN=\"5\">"
                                  "<CONTROL TYPE=\"COMBO\" ID=\"c1\" VALUE=\"one\" WIDTH=\"70\">"
                                  "<CONTROL TYPE=\"CHECK\" ID=\"k1\" VALUE=\"FALSE\" WIDTH=\"20\">"));
    std::vector<QString> done;
    grid->OnControlEditDone = [&](TExtStringGridAux*, int row, int col, const QString& id, const QString& type,
                                  const QString& value) {
        EXPECT_EQ(row, 2);
        EXPECT_EQ(col, 2);
        done.push_back(id + QLatin1Char('/') + type + QLatin1Char('=') + value);
    };
    grid->OnControlComboList = [](TExtStringGridAux*, int, int, const QString&, const QString&, const QString&,
                                  QStringList& values, bool& edit, int&) {
        values = QStringList{"one", "two", "three"};
        edit = false;
    };

    // A press on the edit control opens its box with its length limit.
    const platform::Rect cell = grid->CellRect(2, 2);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(cell.left + 20, cell.top + 6));
    ASSERT_TRUE(grid->ControlEditing());
    TControlEdit* edit = grid->ControlEditBox();
    ASSERT_TRUE(edit->isVisible());
    EXPECT_EQ(edit->maxLength(), 5);
    EXPECT_EQ(edit->text(), QStringLiteral("abc"));
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("1234567"));
    EXPECT_EQ(edit->text(), QStringLiteral("12345"));
    // Tab ends it and moves to the next control of the cell, the combo.
    QTest::keyClick(edit, Qt::Key_Tab);
    ASSERT_EQ(done.size(), 1u);
    EXPECT_EQ(done[0], QStringLiteral("e1/EDIT=12345"));
    EXPECT_FALSE(edit->isVisible());
    TControlCombo* combo = grid->ControlComboBox();
    ASSERT_TRUE(combo->isVisible());
    EXPECT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->currentText(), QStringLiteral("one"));
    combo->setCurrentIndex(2);
    grid->EndControlEdit();
    grid->EndControlEdit(); // nothing is being edited any more
    ASSERT_EQ(done.size(), 2u);
    EXPECT_EQ(done[1], QStringLiteral("c1/COMBO=three"));
    // Only those controls' values changed.
    QString value;
    EXPECT_TRUE(GetControlValue(grid->Cells(2, 2), QStringLiteral("e1"), value));
    EXPECT_EQ(value, QStringLiteral("12345"));
    EXPECT_TRUE(GetControlValue(grid->Cells(2, 2), QStringLiteral("c1"), value));
    EXPECT_EQ(value, QStringLiteral("three"));
    EXPECT_TRUE(GetControlValue(grid->Cells(2, 2), QStringLiteral("k1"), value));
    EXPECT_EQ(value, QStringLiteral("FALSE"));

    // A press on the check box ticks it.
    std::vector<QString> clicks;
    grid->OnControlClick = [&](TExtStringGridAux*, int, int, const QString& id, const QString&, const QString&) {
        clicks.push_back(id);
    };
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(cell.left + 1 + 60 + 70 + 8, cell.top + 10));
    EXPECT_TRUE(GetControlValue(grid->Cells(2, 2), QStringLiteral("k1"), value));
    EXPECT_EQ(value, QStringLiteral("TRUE"));
    EXPECT_EQ(clicks, std::vector<QString>{QStringLiteral("k1")});

    // Enter on the cell edits its first control.
    grid->SetCol(2);
    grid->SetRow(2);
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Return);
    EXPECT_TRUE(grid->ControlEditBox()->isVisible());
    EXPECT_EQ(grid->ControlEditBox()->ControlID, QStringLiteral("e1"));
    grid->EndControlEdit();
}

TEST_F(GridAuxTest, AnchorsAreEnteredAndLeft)
{
    grid->setColWidths(1, 200);
    grid->SetCells(1, 3, QStringLiteral("<a href=\"first\">one</a> plain <a href=\"second\">two</a>"));
    std::vector<QString> events;
    grid->OnAnchorEnter = [&](TExtStringGridAux*, int, int, const QString& a) { events.push_back("enter " + a); };
    grid->OnAnchorExit = [&](TExtStringGridAux*, int, int, const QString& a) { events.push_back("exit " + a); };
    const platform::Rect cell = grid->CellRect(1, 3);
    const int y = cell.top + 8; // the text stands at the top of the cell
    move(QPoint(cell.left + 5, y));
    EXPECT_EQ(grid->HoveredAnchor(), QStringLiteral("first"));
    EXPECT_EQ(grid->viewport()->cursor().shape(), Qt::PointingHandCursor);
    move(QPoint(cell.left + 7, y)); // still on it: nothing new
    move(QPoint(cell.right - 40, y)); // on "plain"
    move(QPoint(cell.left + 5, grid->CellRect(1, 5).top + 5)); // another cell
    EXPECT_EQ(events, (std::vector<QString>{"enter first", "exit first"}));
    EXPECT_TRUE(grid->HoveredAnchor().isNull());
}

TEST_F(GridAuxTest, HTMLHintsShowInTheHintWindow)
{
    grid->HintShowCells = true;
    grid->HTMLHint = true;
    grid->HintColor = platform::clYellow;
    grid->SetCells(2, 4, QStringLiteral("<b>Boiler</b> temperature"));
    grid->SetCells(3, 4, QStringLiteral("plain T<5"));
    QPoint at;
    bool html = false;
    EXPECT_EQ(grid->BuildCellHint(center(2, 4), at, html), QStringLiteral("<b>Boiler</b> temperature"));
    EXPECT_TRUE(html);
    EXPECT_EQ(at.y(), grid->CellRect(2, 4).top);
    EXPECT_EQ(grid->LastHintPos(), (TGridCoord{2, 4}));

    QHelpEvent help(QEvent::ToolTip, grid->viewport()->mapTo(grid, center(2, 4)), grid->viewport()->mapToGlobal(center(2, 4)));
    QCoreApplication::sendEvent(grid, &help);
    THTMLHintWindow* hint = GridHintWindow();
    EXPECT_TRUE(hint->isVisible());
    EXPECT_EQ(hint->Text(), QStringLiteral("<b>Boiler</b> temperature"));
    EXPECT_EQ(hint->Color(), platform::clYellow);
    // Moving into another cell takes it away.
    move(center(3, 6));
    EXPECT_FALSE(hint->isVisible());
    EXPECT_EQ(grid->LastHintPos(), (TGridCoord{-1, -1}));

    EXPECT_EQ(grid->BuildCellHint(center(3, 4), at, html), QStringLiteral("plain T<5"));
    EXPECT_FALSE(html);
}

TEST_F(GridAuxTest, BalloonsCarryTheCellTextOrItsOwnTexts)
{
    grid->SetCells(1, 2, QStringLiteral("\r\n<b>x</b>\ty") + QString(3000, u'z'));
    QString title, text;
    int icon = 0;
    ASSERT_TRUE(grid->BalloonText(1, 2, title, text, icon));
    EXPECT_EQ(title, QStringLiteral(" "));
    EXPECT_EQ(icon, 1);
    EXPECT_EQ(text.size(), 2048);
    EXPECT_TRUE(text.startsWith(QStringLiteral("x yzz")));
    EXPECT_TRUE(text.endsWith(QStringLiteral("...")));
    grid->AddBalloon(1, 2, QStringLiteral("Own"), QStringLiteral("own text"), biError);
    grid->OnCellBalloon = [](TExtStringGridAux*, int, int, QString& t, QString&, int&) { t += QString(120, u'!'); };
    ASSERT_TRUE(grid->BalloonText(1, 2, title, text, icon));
    EXPECT_EQ(text, QStringLiteral("own text"));
    EXPECT_EQ(icon, 3);
    EXPECT_EQ(title.size(), 100);
    EXPECT_TRUE(title.endsWith(QStringLiteral("...")));

    // Switching the balloon off and on again makes one new window.
    grid->Balloon.SetEnable(true);
    EXPECT_TRUE(grid->BalloonActive());
    grid->Balloon.SetEnable(false);
    EXPECT_FALSE(grid->BalloonActive());
    grid->Balloon.SetEnable(true);
    EXPECT_TRUE(grid->BalloonActive());
}

TEST_F(GridAuxTest, ARefusedValueShowsTheBalloonOfItsTexts)
{
    grid->setOptions(grid->options() | platform::goEditing);
    grid->InvalidEntryTitle = QStringLiteral("Invalid");
    grid->InvalidEntryText = QStringLiteral("Only numbers");
    grid->OnCellValidate = [](TExtStringGridEdit*, int, int, QString&, bool& valid) { valid = false; };
    GridBalloonTip()->Pop();
    grid->SetCells(1, 1, QStringLiteral("5"));
    grid->SetRow(2);
    grid->SetCol(1);
    grid->SetRow(1);
    grid->ShowInplaceEdit();
    ASSERT_TRUE(grid->NormalEdit() && grid->NormalEdit()->isVisible());
    grid->NormalEdit()->setText(QStringLiteral("abc"));
    EXPECT_FALSE(grid->ValidateCell(QStringLiteral("abc")));
    TBalloonTip* tip = GridBalloonTip();
    EXPECT_TRUE(tip->isVisible());
    EXPECT_EQ(tip->Title(), QStringLiteral("Invalid"));
    EXPECT_EQ(tip->Text(), QStringLiteral("Only numbers"));
    EXPECT_EQ(tip->Icon(), 2); // the warning icon by default
    EXPECT_EQ(grid->Cells(1, 1), QStringLiteral("5"));
    tip->Pop();
}

TEST_F(GridAuxTest, SelectionToFormPicturesTheCells)
{
    const platform::Rect cell = grid->CellRect(2, 3);
    std::unique_ptr<TNoActiveForm> form(grid->SelectionToForm(TGridRect{2, 3, 2, 3}));
    EXPECT_EQ(form->size(), QSize(cell.width() + 1, cell.height() + 1));
    EXPECT_EQ(form->AlphaBlendValue(), 192);
    std::unique_ptr<TNoActiveForm> block(grid->SelectionToForm(TGridRect{3, 4, 1, 2}));
    const platform::Rect a = grid->CellRect(1, 2), b = grid->CellRect(3, 4);
    EXPECT_EQ(block->size(), QSize(b.right - a.left + 1, b.bottom - a.top + 1));
}

TEST_F(GridAuxTest, AColumnDraggedByItsHeaderLandsWithItsWidthAndData)
{
    grid->setOptions(grid->options() | platform::goColMoving);
    grid->DragDropSettings.ShowCells = false; // the floating header, not an image of the cells
    grid->setColWidths(1, 90);
    for (int r = 1; r < 10; ++r)
        grid->SetCells(1, r, QStringLiteral("v%1").arg(r));
    std::vector<int> moving;
    grid->OnColumnMoving = [&](TExtStringGridAux*, int index, bool&) { moving.push_back(index); };
    const QPoint from = center(1, 0);
    const QPoint to = center(4, 0);
    QTest::mousePress(grid->viewport(), Qt::LeftButton, Qt::NoModifier, from);
    ASSERT_EQ(grid->gridState(), platform::TGridState::gsColMoving);
    move(from + QPoint(10, 0), Qt::LeftButton);
    EXPECT_TRUE(grid->MoveButton()->isVisible());
    EXPECT_EQ(grid->MoveButton()->Caption(), QStringLiteral("H1"));
    EXPECT_EQ(grid->MoveButton()->width(), 90);
    move(to, Qt::LeftButton);
    EXPECT_EQ(grid->viewport()->cursor().shape(), Qt::DragMoveCursor);
    ASSERT_FALSE(moving.empty());
    EXPECT_EQ(moving.back(), 4);
    QTest::mouseRelease(grid->viewport(), Qt::LeftButton, Qt::NoModifier, to);
    EXPECT_FALSE(grid->MoveButton()->isVisible());
    EXPECT_EQ(grid->gridState(), platform::TGridState::gsNormal);
    EXPECT_EQ(grid->Cells(4, 0), QStringLiteral("H1"));
    EXPECT_EQ(grid->Cells(4, 5), QStringLiteral("v5"));
    EXPECT_EQ(grid->colWidths(4), 90);
    EXPECT_EQ(grid->Cells(1, 0), QStringLiteral("H2"));

    // With ShowCells an image of the column follows the mouse instead.
    grid->DragDropSettings.ShowCells = true;
    QTest::mousePress(grid->viewport(), Qt::LeftButton, Qt::NoModifier, center(2, 0));
    move(center(2, 0) + QPoint(10, 0), Qt::LeftButton);
    ASSERT_NE(grid->MoveForm(), nullptr);
    EXPECT_TRUE(grid->MoveForm()->isVisible());
    EXPECT_FALSE(grid->MoveButton()->isVisible());
    QTest::mouseRelease(grid->viewport(), Qt::LeftButton, Qt::NoModifier, center(2, 0) + QPoint(10, 0));
    EXPECT_EQ(grid->MoveForm(), nullptr);
    EXPECT_EQ(grid->Cells(2, 0), QStringLiteral("H3")); // released on itself: nothing moved
}

TEST_F(GridAuxTest, ARefusedPlaceOrMoveMovesNothing)
{
    grid->setOptions(grid->options() | platform::goColMoving);
    grid->OnColumnMoving = [](TExtStringGridAux*, int, bool& allow) { allow = false; };
    QTest::mousePress(grid->viewport(), Qt::LeftButton, Qt::NoModifier, center(1, 0));
    move(center(1, 0) + QPoint(8, 0), Qt::LeftButton);
    move(center(3, 0), Qt::LeftButton);
    EXPECT_EQ(grid->viewport()->cursor().shape(), Qt::ForbiddenCursor);
    QTest::mouseRelease(grid->viewport(), Qt::LeftButton, Qt::NoModifier, center(3, 0));
    EXPECT_EQ(grid->Cells(1, 0), QStringLiteral("H1"));
    EXPECT_EQ(grid->Cells(3, 0), QStringLiteral("H3"));

    grid->OnColumnMoving = nullptr;
    grid->OnColumnMove = [](TExtStringGridAux*, int, bool& allow) { allow = false; };
    QTest::mousePress(grid->viewport(), Qt::LeftButton, Qt::NoModifier, center(1, 0));
    move(center(3, 0), Qt::LeftButton);
    EXPECT_EQ(grid->gridState(), platform::TGridState::gsNormal);
    QTest::mouseRelease(grid->viewport(), Qt::LeftButton, Qt::NoModifier, center(3, 0));
    EXPECT_EQ(grid->Cells(1, 0), QStringLiteral("H1"));
}

TEST_F(GridAuxTest, HTMLHintsForTheWholeApplicationAndWheelPanning)
{
    QWidget other(&window);
    other.setGeometry(600, 380, 30, 20);
    other.setToolTip(QStringLiteral("<b>Every</b> hint"));
    other.show();
    grid->SetUseHTMLHints(true);
    EXPECT_TRUE(grid->UseHTMLHints());
    QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), other.mapToGlobal(QPoint(5, 5)));
    QCoreApplication::sendEvent(&other, &help);
    EXPECT_TRUE(GridHintWindow()->isVisible());
    EXPECT_EQ(GridHintWindow()->Text(), QStringLiteral("<b>Every</b> hint"));
    GridHintWindow()->hide();
    grid->SetUseHTMLHints(false);
    EXPECT_FALSE(UseHTMLHintsActive());
    QCoreApplication::sendEvent(&other, &help);
    EXPECT_FALSE(GridHintWindow()->isVisible());

    // A middle press shows the panning mark and the mouse scrolls the rows.
    grid->SetRowCount(200);
    grid->IntelliPan = ipVertical;
    const QPoint start = center(2, 3);
    QTest::mousePress(grid->viewport(), Qt::MiddleButton, Qt::NoModifier, start);
    EXPECT_TRUE(grid->IntelliPanning());
    EXPECT_EQ(grid->WheelPanPos(), start - QPoint(16, 16));
    const int top = grid->TopRow();
    move(start + QPoint(0, 5 * grid->DefaultRowHeight()), Qt::MiddleButton);
    EXPECT_EQ(grid->TopRow(), top + 5);
    QTest::mouseRelease(grid->viewport(), Qt::MiddleButton, Qt::NoModifier, start);
    EXPECT_FALSE(grid->IntelliPanning());
}

TEST_F(GridAuxTest, TheInPlaceRichEditGrowsItsRowAndAComboReportsItsChoice)
{
    TExtRichEdit edit(grid);
    grid->SetRow(2);
    const int before = grid->rowHeights(2);
    int ended = -1;
    grid->OnEndRowSize = [&](TExtStringGrid*, int row) { ended = row; };
    edit.RequestResize(50, 40);
    EXPECT_EQ(edit.ReqHeight(), 40);
    EXPECT_EQ(grid->rowHeights(2), before); // not in place, not asked for
    edit.InPlace = true;
    grid->SizeWhileTyping.Height = true;
    edit.Lock();
    edit.RequestResize(50, 40);
    EXPECT_EQ(grid->rowHeights(2), before);
    edit.Unlock();
    edit.RequestResize(50, 40);
    EXPECT_EQ(grid->rowHeights(2), 50);
    EXPECT_EQ(edit.height(), 49);
    EXPECT_EQ(ended, 2);

    // A COMBO control's list choice is reported with the item.
    grid->setOptions(grid->options() | platform::goEditing);
    grid->SetCells(1, 4, QStringLiteral("<CONTROL TYPE=\"COMBO\" ID=\"c\" VALUE=\"b\" WIDTH=\"60\">"));
    grid->OnControlComboList = [](TExtStringGridAux*, int, int, const QString&, const QString&, const QString&,
                                  QStringList& values, bool&, int&) { values = QStringList{"a", "b", "c"}; };
    QString chosen;
    int index = -1;
    grid->OnControlComboSelect = [&](TExtStringGridAux*, int row, int col, int i, const QString& id, const QString& v) {
        EXPECT_EQ(row, 4);
        EXPECT_EQ(col, 1);
        EXPECT_EQ(id, QStringLiteral("c"));
        index = i;
        chosen = v;
    };
    grid->EditCellControl(1, 4, QString());
    ASSERT_TRUE(grid->ControlComboBox()->isVisible());
    EXPECT_EQ(grid->ControlComboBox()->currentText(), QStringLiteral("b"));
    grid->ControlComboBox()->setCurrentIndex(2);
    grid->ControlComboSelect(grid->ControlComboBox());
    EXPECT_EQ(index, 2);
    EXPECT_EQ(chosen, QStringLiteral("c"));
    grid->EndControlEdit();
}

TEST_F(GridAuxTest, ColourTonesDressTheComboEditor)
{
    grid->setOptions(grid->options() | platform::goEditing);
    grid->OnGetEditorType = [](TExtStringGrid*, int, int, TEditorType& e) { e = edComboList; };
    grid->SetCol(2);
    grid->SetRow(2);
    grid->ShowInplaceEdit();
    ASSERT_NE(grid->EditCombo(), nullptr);
    grid->HideInplaceEdit();
    TColorTones t;
    t.Background = TColorTone{0xFAFAFA, 0x999999, 0x111111};
    t.Hover = TColorTone{0xEEDDCC, 0, 0};
    t.Selected = TColorTone{0xCC8844, 0, 0};
    grid->SetColorTones(t);
    TGridCombo* combo = grid->EditCombo();
    EXPECT_EQ(combo->ButtonColor, 0xFAFAFAu);
    EXPECT_EQ(combo->ButtonColorHot, 0xEEDDCCu);
    EXPECT_EQ(combo->ButtonColorDown, 0xCC8844u);
    EXPECT_EQ(combo->ButtonBorderColor, 0x999999u);
    EXPECT_EQ(combo->BorderColor(), 0xFAFAFAu);
    EXPECT_TRUE(combo->Flat());
}
