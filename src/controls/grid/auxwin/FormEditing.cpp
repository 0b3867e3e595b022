// The fixed-cell editors and the form controls of HTML cells: what a press, a double click or a
// key starts, and what the editor boxes write back.
#include "controls/grid/auxwin/GridAux.h"

#include "controls/grid/html/HTMLDraw.h"
#include "controls/grid/html/HTMLUtil.h"
#include "controls/grid/util/ExtUtil.h"

#include "platform/draw/Theme.h"

#include <QAbstractItemView>

namespace controls::grid {

using platform::TWMKey;
using platform::TWMMouse;

namespace {

bool isTextControl(const QString& type)
{
    return type == QLatin1String("EDIT") || type == QLatin1String("PASSWORD") || type == QLatin1String("MASK");
}

} // namespace

// --- fixed cells -----------------------------------------------------------------------------------------

void TExtStringGridAux::StartFixedCellEdit(int col, int row)
{
    if (m_editTrans->isVisible() && !m_editTrans->StopEdit())
        return;
    if (m_comboTrans->isVisible() && !m_comboTrans->StopEdit())
        return;
    bool canEdit = true;
    if (OnCanEditCell)
        OnCanEditCell(this, col, row, canEdit);
    if (!canEdit)
        return;
    m_fixedColEdit = col;
    m_fixedRowEdit = row;
    TGridFixedCellEditor editor = col == 0 ? MouseActions.FixedColsEditor : MouseActions.FixedRowsEditor;
    platform::TStringList values;
    values.Assign(&MouseActions.FixedComboValues);
    FixedEdit(col, row, editor, values);

    const Rect r = CellRect(col, row).inflated(-1, -1);
    const int rc = RealColIndex(col);
    const QString text = Cells(rc, row);
    if (editor == fceComboEdit || editor == fceComboList) {
        TGridTransCombo* combo = m_comboTrans;
        combo->clear();
        for (int i = 0; i < values.Count(); ++i)
            combo->addItem(values.Strings(i));
        combo->SetEditable(editor == fceComboEdit);
        combo->setGeometry(r.left - 1, r.top - 1, r.right - r.left + 1, r.bottom - r.top);
        const int index = combo->findText(text);
        combo->setCurrentIndex(index);
        if (editor == fceComboEdit)
            combo->setEditText(text);
        combo->Col = rc;
        combo->Row = row;
        combo->show();
        combo->setFocus();
        return;
    }
    TGridTransEdit* edit = m_editTrans;
    edit->setGeometry(r.left, r.top, r.width(), r.height());
    edit->setText(text);
    edit->Col = rc;
    edit->Row = row;
    edit->show();
    edit->setFocus();
}

bool TExtStringGridAux::FixedCellEditByPress(int col, int row, int x, int y, bool right)
{
    if (col < 0 || row < 0)
        return false;
    const bool fixedRow = row < FixedRows();
    const bool fixedCol = col < FixedCols();
    if (!fixedRow && !fixedCol)
        return false;
    const TGridFixedCellEdit wanted = right ? fceRightClick : fceLeftClick;
    if (!((fixedRow && MouseActions.FixedRowsEdit == wanted) || (fixedCol && MouseActions.FixedColsEdit == wanted)))
        return false;
    if (!right) {
        // Where the mouse sizes rows or columns, the press must keep off the borders.
        const bool sizes = fixedRow ? options().testFlag(platform::goColSizing) : options().testFlag(platform::goRowSizing);
        if (sizes && !CellRect(col, row).inflated(-4, -4).contains(x, y))
            return false;
    }
    StartFixedCellEdit(col, row);
    return true;
}

// --- form controls ------------------------------------------------------------------------------------------

void TExtStringGridAux::StartControlEdit(const QString& cellText, const QString& ctrlType, int row, int realCol, int col,
                                         const Rect& ctrlRect, const QString& ctrlValue, const QString& ctrlID)
{
    if (!isTextControl(ctrlType) && ctrlType != QLatin1String("COMBO"))
        return;
    m_ctrlXY = TGridCoord{realCol, row};
    m_ctrlID = ctrlID;
    m_ctrlType = ctrlType;
    m_ctrlEditing = true;
    if (isTextControl(ctrlType)) {
        TControlEdit* edit = m_ctrlEdit;
        edit->ControlID = ctrlID;
        edit->SetPasswordChar(ctrlType == QLatin1String("PASSWORD") ? QChar(u'*') : QChar());
        edit->SetEditMask(ctrlType == QLatin1String("MASK") ? GetControlProp(cellText, ctrlID) : QString());
        const int maxLength = GetControlMaxLen(cellText, ctrlID);
        edit->setMaxLength(maxLength > 0 ? maxLength : 32767);
        edit->setText(ctrlValue);
        edit->setGeometry(ctrlRect.left + 1, ctrlRect.top + 8, std::max(0, ctrlRect.width() - 4), 14);
        edit->show();
        edit->raise();
        edit->setFocus();
        return;
    }
    TControlCombo* combo = m_ctrlCombo;
    combo->ControlID = ctrlID;
    combo->IsWinXP = IsWinXPOrLater() && platform::IsThemeActive();
    combo->SetFlat(false);
    bool editable = true;
    int dropCount = 8;
    QStringList items;
    if (OnControlComboList)
        OnControlComboList(this, row, col, ctrlID, ctrlType, ctrlValue, items, editable, dropCount);
    {
        const QSignalBlocker quiet(combo);
        combo->ClearItems();
        combo->SetStyle(editable ? csDropDown : csDropDownList);
        for (const QString& item : items)
            combo->AddItem(item);
        const int index = combo->IndexOfItem(ctrlValue);
        combo->SetItemIndex(index);
        if (editable)
            combo->SetText(ctrlValue);
    }
    combo->SetDropDownCount(dropCount);
    combo->SetMaxLength(GetControlMaxLen(cellText, ctrlID));
    combo->setGeometry(ctrlRect.left - 1, ctrlRect.top + 4, ctrlRect.width(), combo->sizeHint().height());
    combo->show();
    combo->raise();
    combo->setFocus();
    combo->SetDroppedDown(true);
}

void TExtStringGridAux::EndControlEdit()
{
    if (!m_ctrlEditing)
        return;
    m_ctrlEditing = false;
    QString value;
    QWidget* box = nullptr;
    if (isTextControl(m_ctrlType)) {
        value = m_ctrlEdit->Text();
        box = m_ctrlEdit;
    } else if (m_ctrlType == QLatin1String("COMBO")) {
        value = m_ctrlCombo->Text();
        box = m_ctrlCombo;
    }
    if (box) {
        QString text = Cells(m_ctrlXY.X, m_ctrlXY.Y);
        if (SetControlValue(text, m_ctrlID, value))
            SetCells(m_ctrlXY.X, m_ctrlXY.Y, text);
        box->hide();
    }
    if (OnControlEditDone)
        OnControlEditDone(this, m_ctrlXY.Y, m_ctrlXY.X, m_ctrlID, m_ctrlType, value);
    m_ctrlType.clear();
}

void TExtStringGridAux::ControlComboSelect(QObject*)
{
    if (OnControlComboSelect)
        OnControlComboSelect(this, m_ctrlXY.Y, m_ctrlXY.X, m_ctrlCombo->ItemIndex(), m_ctrlID,
                             m_ctrlCombo->Item(m_ctrlCombo->ItemIndex()));
}

void TExtStringGridAux::EditCellControl(int col, int row, const QString& currentID)
{
    const int rc = RealColIndex(col);
    const QString text = Cells(rc, row);
    const QString next = GetNextControlID(text, currentID);
    if (next.isEmpty()) {
        setFocus();
        return;
    }
    THTMLDrawResult res;
    HitTestCellText(col, row, -1, -1, res, next);
    if (res.ControlID == next && !res.ControlType.isEmpty())
        StartControlEdit(text, res.ControlType, row, rc, col, res.ControlRect, res.ControlValue, res.ControlID);
}

bool TExtStringGridAux::PressOnCellText(int c, int r, int x, int y)
{
    const QPoint base = BaseCell(RealColIndex(c), r);
    const int rc = base.x();
    const int dc = DisplColIndex(rc);
    const int row = base.y();
    const QString text = Cells(rc, row);
    if (!EnableHTML || GetTextKind(text, EnableHTML) != 1)
        return false;
    THTMLDrawResult res;
    if (HitTestCellText(dc, row, x, y, res)) {
        if (res.AnchorVal == QLatin1String("ctrl") && !res.ControlID.isEmpty()) {
            bool editable = (options().testFlag(platform::goEditing) || m_editDisable) && !ReadOnly(rc, row);
            CanEditCell(rc, row, editable);
            if (!editable)
                return true;
            if (m_ctrlEditing)
                EndControlEdit();
            QString current = Cells(rc, row);
            if (res.ControlType == QLatin1String("BUTTON")) {
                m_ctrlXY = TGridCoord{rc, row};
                m_ctrlDown = true;
                RepaintCell(dc, row);
            } else if (res.ControlType == QLatin1String("CHECK")) {
                const bool on = res.ControlValue.compare(QLatin1String("TRUE"), Qt::CaseInsensitive) == 0;
                SetControlValue(current, res.ControlID, on ? QStringLiteral("FALSE") : QStringLiteral("TRUE"));
                SetCells(rc, row, current);
            } else if (res.ControlType == QLatin1String("RADIO")) {
                current = ClearRadioControls(current);
                SetControlValue(current, res.ControlID, QStringLiteral("TRUE"));
                SetCells(rc, row, current);
            }
            if (OnControlClick)
                OnControlClick(this, row, dc, res.ControlID, res.ControlType, res.ControlValue);
            StartControlEdit(current, res.ControlType, row, rc, dc, res.ControlRect, res.ControlValue, res.ControlID);
            return true;
        }
        if (res.AnchorVal != QLatin1String("ctrl")) {
            FollowAnchor(rc, row, res.AnchorVal);
            return true;
        }
    }
    if (HasControlTag(text)) {
        if (OnClickCell)
            OnClickCell(this, r, c);
        HideInplaceEdit();
        FocusCell(dc, row);
        return true;
    }
    return false;
}

// --- the messages that start them ------------------------------------------------------------------------

void TExtStringGridAux::wmKeyDown(TWMKey& msg)
{
    const quint16 key = msg.CharCode;
    if ((key == platform::VK_RETURN || key == platform::VK_F2) && EnableHTML) {
        const QString text = Cells(RealColIndex(col()), row());
        if (GetTextKind(text, EnableHTML) == 1 && HasControlTag(text)) {
            EditCellControl(col(), row(), QString());
            msg.Result = 1;
            return;
        }
    }
    TExtStringGridInput::wmKeyDown(msg);
}

void TExtStringGridAux::wmLButtonDown(TWMMouse& msg)
{
    m_moveCell = -1;
    m_moveColInd = -1;
    m_moveRowInd = -1;
    m_moveAllow = true;
    m_moveDragging = false;
    int c = -1, r = -1;
    mouseToCell(msg.XPos, msg.YPos, c, r);
    if (c >= 0 && r >= 0 && !m_designing) {
        if (FixedCellEditByPress(c, r, msg.XPos, msg.YPos, false))
            return;
        bool allow = true;
        if (OnCanClickCell)
            OnCanClickCell(this, r, c, allow);
        if (allow && PressOnCellText(c, r, msg.XPos, msg.YPos))
            return;
        // A press in a header that a move may take.
        const Rect cell = CellRect(c, r);
        if (r < FixedRows() && c >= FixedCols())
            m_moveCell = c;
        else if (c < FixedCols() && r >= FixedRows())
            m_moveCell = r;
        m_moveOfsX = msg.XPos - cell.left;
        m_moveOfsY = msg.YPos - cell.top;
        m_movePress = QPoint(msg.XPos, msg.YPos);
    }
    TExtStringGridInput::wmLButtonDown(msg);
}

void TExtStringGridAux::wmRButtonDown(TWMMouse& msg)
{
    int c = -1, r = -1;
    mouseToCell(msg.XPos, msg.YPos, c, r);
    if (c >= 0 && r >= 0 && FixedCellEditByPress(c, r, msg.XPos, msg.YPos, true))
        return;
    TExtStringGridInput::wmRButtonDown(msg);
}

void TExtStringGridAux::wmLButtonDblClk(TWMMouse& msg)
{
    TExtStringGridInput::wmLButtonDblClk(msg);
    int c = -1, r = -1;
    mouseToCell(msg.XPos, msg.YPos, c, r);
    if (c < 0 || r < 0)
        return;
    if ((r < FixedRows() && MouseActions.FixedRowsEdit == fceDblClick)
        || (c < FixedCols() && MouseActions.FixedColsEdit == fceDblClick))
        StartFixedCellEdit(c, r);
}

void TExtStringGridAux::wmLButtonUp(TWMMouse& msg)
{
    if (m_ctrlDown) {
        m_ctrlDown = false;
        const int dc = DisplColIndex(m_ctrlXY.X);
        if (m_ctrlXY.Y >= 0 && m_ctrlXY.Y < RowCount())
            RepaintCell(dc, m_ctrlXY.Y);
    }
    if (MoveDrop(msg.XPos, msg.YPos))
        return;
    if (FilterDropDownRelease(msg.XPos, msg.YPos))
        return;
    TExtStringGridInput::wmLButtonUp(msg);
}

void TExtStringGridAux::wmRButtonUp(TWMMouse& msg)
{
    // A move under way goes on: the right button does not end it.
    if (m_moveDragging)
        return;
    TExtStringGridInput::wmRButtonUp(msg);
}

} // namespace controls::grid
