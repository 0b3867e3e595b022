// The grid's editor controls besides the combo: made with the grid or on their first use,
// placed over the cell and filled from it, read back into it when the edit ends; the editor
// link of edCustom cells; the steps of the editors' key protocol.
#include "controls/grid/edit/EditLink.h"
#include "controls/grid/edit/GridDropDownEditors.h"
#include "controls/grid/edit/GridEditors.h"
#include "controls/grid/util/ExtUtil.h"
#include "platform/core/Conversions.h"
#include "platform/core/Format.h"
#include "platform/text/Text.h"

#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScopeGuard>

namespace controls::grid {

using namespace platform;

namespace {

void putAway(QWidget* control, QWidget* grid)
{
    if (!control)
        return;
    if (control->hasFocus() || control->isAncestorOf(QApplication::focusWidget()))
        grid->setFocus(Qt::OtherFocusReason);
    control->hide();
    control->setEnabled(false);
}

// The widget the typed character that opened an editor goes to.
void postStartChar(QWidget* target, QChar ch)
{
    if (ch.isNull() || !target)
        return;
    QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch)));
}

TDateTime dateTimeOr(const QString& text, TDateTime fallback)
{
    TDateTime v = 0;
    return !text.isEmpty() && TryStrToDateTime(text, v, FormatSettings()) ? v : fallback;
}

} // namespace

// --- the controls ---------------------------------------------------------------------------------

void TExtStringGridEdit::CreateEditorControls()
{
    m_editCheck = new TGridCheckBox(this);
    m_editBtn = new TGridEditBtn(this);
    m_unitEditBtn = new TGridUnitEditBtn(this);
    m_gridButton = new TGridButton(this);
    for (TExtMaskEdit* e : {static_cast<TExtMaskEdit*>(m_editBtn), static_cast<TExtMaskEdit*>(m_unitEditBtn)}) {
        e->SetBorderStyle(bsNone);
        static_cast<TXgrEditBtn*>(e)->SetButtonCaption(QStringLiteral("..."));
    }
    for (QWidget* w : std::initializer_list<QWidget*>{m_editCheck, m_editBtn, m_unitEditBtn, m_gridButton}) {
        w->hide();
        w->setEnabled(false);
    }
    // The controls with a button take the grid's colour tones (the check box and the push
    // button have no part the tones colour).
    RegisterEditor(nullptr, m_editBtn);
    RegisterEditor(nullptr, m_unitEditBtn);
}

TGridSpin* TExtStringGridEdit::SpinEdit()
{
    if (!m_editSpin) {
        m_editSpin = new TGridSpin(this);
        m_editSpin->SetBorderStyle(bsNone);
        m_editSpin->SetIsWinXP(true);
        m_editSpin->hide();
        m_editSpin->setEnabled(false);
        RegisterEditor(nullptr, m_editSpin);
    }
    return m_editSpin;
}

TGridDatePicker* TExtStringGridEdit::GetDateEditor()
{
    if (!m_editDate) {
        m_editDate = new TGridDatePicker(this);
        m_editDate->hide();
        m_editDate->setEnabled(false);
        RegisterEditor(nullptr, m_editDate);
        m_editDate->OnCloseUp = [this](QObject*) {
            if (OnDatePickerCloseUp)
                OnDatePickerCloseUp(this, col(), row());
            if (MouseActions.DirectDateClose && m_editMode) {
                HideInplaceEdit();
                setFocus(Qt::OtherFocusReason);
            }
        };
        m_editDate->OnDropDown = [this](QObject*) {
            if (OnDatePickerDropDown)
                OnDatePickerDropDown(this, col(), row());
        };
        m_editDate->OnChange = [this](QObject*) {
            if (OnEditChange && m_editMode)
                OnEditChange(this, col(), row(), m_editDate->Text());
        };
    }
    return m_editDate;
}

TGridDateTimePicker* TExtStringGridEdit::DateAndTimePicker()
{
    if (!m_editDateTime) {
        m_editDateTime = new TGridDateTimePicker(this);
        m_editDateTime->hide();
        m_editDateTime->setEnabled(false);
        m_editDateTime->SetAutoTab(true);
        m_editDateTime->OnCloseUp = [this](QObject*) {
            if (OnDatePickerCloseUp)
                OnDatePickerCloseUp(this, col(), row());
            if (MouseActions.DirectDateClose && m_editMode) {
                HideInplaceEdit();
                setFocus(Qt::OtherFocusReason);
            }
        };
        m_editDateTime->OnTimeChange = [this](QObject*) {
            if (OnDateTimeChange)
                OnDateTimeChange(this, col(), row(), m_editDateTime->DateTime());
        };
    }
    return m_editDateTime;
}

TEditLink* TExtStringGridEdit::EditLink() const { return m_editLink; }
void TExtStringGridEdit::SetEditLink(TEditLink* link) { m_editLink = link; }

void TExtStringGridEdit::EllipsClick(const QString& in, QString& out)
{
    out = in;
    if (OnEllipsClick)
        OnEllipsClick(this, RealColIndex(col()), row(), out);
}

void TExtStringGridEdit::UnitChanged(QObject*, const QString& newUnit)
{
    if (OnUnitChanged)
        OnUnitChanged(this, col(), row(), newUnit);
}

// --- placing and filling ----------------------------------------------------------------------------

bool TExtStringGridEdit::ShowOtherEditControl(int col, int row, const Rect& r, int w, int h, const TCellFormat& format)
{
    const int realCol = RealColIndex(col);
    const Color color = format.brush.color;
    const QString editText = getEditText(col, row);
    m_escapeRestore = false;
    m_editStart = true;
    const auto opened = qScopeGuard([this] { m_editStart = false; });
    const TEditorType kind = m_editControl;
    switch (kind) {
    case edSpinEdit:
    case edFloatSpinEdit:
    case edTimeSpinEdit:
    case edDateSpinEdit: {
        TGridSpin* spin = SpinEdit();
        spin->ReCreate();
        spin->setGeometry(r.left, r.top, w, h);
        spin->show();
        spin->setEnabled(true);
        spin->SetColor(color);
        spin->ExcelStyleDecimalSeparator = ExcelStyleDecimalSeparator;
        GetEditorProp(realCol, row);
        if (kind == edSpinEdit) {
            // A text that is no whole number opens on 0.
            spin->SetValue(SpinTextToInt(editText, 0));
            spin->SetSpinType(sptNormal);
        } else if (kind == edFloatSpinEdit) {
            TFormatSettings fs = FormatSettings();
            fs.DecimalSeparator = u'.';
            double v = 0;
            TryStrToFloat(CleanFloatText(editText), v, fs);
            spin->SetFloatValue(v);
            spin->SetSpinType(sptFloat);
        } else if (kind == edTimeSpinEdit) {
            spin->setText(editText);
            spin->SetSpinType(sptTime);
        } else {
            TDateTime d = 0;
            spin->SetDateValue(!editText.isEmpty() && TryStrToDate(editText, d, FormatSettings()) ? d : Now());
            spin->SetSpinType(sptDate);
        }
        spin->raise();
        spin->setFocus(Qt::OtherFocusReason);
        postStartChar(spin, m_startEditChar);
        if (m_spinUpClick)
            spin->IncreaseValue(false);
        else if (m_spinDnClick)
            spin->DecreaseValue(false);
        m_spinUpClick = m_spinDnClick = false;
        m_editCtrl = spin;
        return true;
    }
    case edEditBtn:
    case edNumericEditBtn:
    case edFloatEditBtn:
    case edMaskEditBtn: {
        TGridEditBtn* eb = m_editBtn;
        eb->ReCreate();
        eb->setGeometry(r.left, r.top, w, eb->height());
        eb->SetEditMask(kind == edMaskEditBtn ? GetEditMask(realCol, row) : QString());
        eb->setText(editText);
        eb->SetMaxLength(getEditLimit());
        eb->show();
        eb->setEnabled(true);
        eb->SetColor(color);
        eb->raise();
        eb->setFocus(Qt::OtherFocusReason);
        eb->resize(w, h);
        postStartChar(eb, m_startEditChar);
        m_editCtrl = eb;
        return true;
    }
    case edUnitEditBtn:
    case edNumericUnitEditBtn:
    case edFloatUnitEditBtn: {
        TGridUnitEditBtn* ub = m_unitEditBtn;
        ub->ReCreate();
        ub->setGeometry(r.left, r.top, w, ub->height());
        ub->SetMaxLength(getEditLimit());
        // The application gives the cell's units before the text is split by them; a text that
        // ends with none of them is the value as a whole.
        GetEditorProp(realCol, row);
        ub->SetUnitID(QString());
        ub->setText(editText);
        ub->SetTextAndUnit(editText);
        ub->show();
        ub->setEnabled(true);
        ub->SetColor(color);
        ub->raise();
        ub->setFocus(Qt::OtherFocusReason);
        ub->resize(w, h);
        postStartChar(ub, m_startEditChar);
        m_editCtrl = ub;
        return true;
    }
    case edCheckBox: {
        TGridCheckBox* cb = m_editCheck;
        cb->ReCreate();
        cb->setGeometry(r.left, r.top, w, h);
        cb->setText(editText);
        cb->setEnabled(true);
        cb->setChecked(false);
        cb->show();
        cb->raise();
        cb->setFocus(Qt::OtherFocusReason);
        return true;
    }
    case edDateEdit:
    case edDateEditUpDown: {
        if (!GridUnitState().ComCtl32Above469)
            return false;
        TGridDatePicker* dp = GetDateEditor();
        dp->ReCreate();
        TDateTime value = Now();
        if (!editText.isEmpty()) {
            if (OnCustomStrToDate) {
                TDateTime d = Now();
                try {
                    OnCustomStrToDate(this, editText, d);
                    value = d;
                } catch (...) {
                    // A handler that cannot read the text leaves the picker on today.
                    value = Now();
                }
            } else {
                value = dateTimeOr(editText, Now());
                if (dp->MaxDate() != 0 && value > dp->MaxDate())
                    value = dp->MaxDate() - 1;
                if (dp->MinDate() != 0 && value <= dp->MinDate())
                    value = dp->MinDate() + 1;
            }
        }
        dp->SetKind(dtkDate);
        dp->SetDateMode(kind == edDateEditUpDown ? dmUpDown : dmComboBox);
        dp->SetDateTime(value);
        GetEditorProp(realCol, row);
        dp->setGeometry(r.left, r.top, w, dp->height() != h ? h : dp->height());
        dp->setEnabled(true);
        dp->show();
        dp->SetColor(color);
        dp->raise();
        dp->setFocus(Qt::OtherFocusReason);
        if (MouseActions.DirectDateDrop)
            dp->SetDroppedDown(true);
        postStartChar(dp, m_startEditChar);
        m_editCtrl = dp;
        return true;
    }
    case edTimeEdit: {
        if (!GridUnitState().ComCtl32Above469)
            return false;
        TGridDatePicker* dp = GetDateEditor();
        dp->ReCreate();
        TDateTime t = 0;
        const bool ok = !editText.isEmpty() && TryStrToTime(editText, t, FormatSettings());
        dp->SetKind(dtkTime);
        if (ok)
            dp->SetTime(t);
        else
            dp->SetDateTime(Now());
        dp->setGeometry(r.left, r.top, w, h);
        dp->setEnabled(true);
        dp->show();
        dp->SetColor(color);
        GetEditorProp(realCol, row);
        dp->raise();
        dp->setFocus(Qt::OtherFocusReason);
        m_editCtrl = dp;
        return true;
    }
    case edButton: {
        TGridButton* gb = m_gridButton;
        gb->ReCreate();
        gb->setGeometry(r.left - 1, r.top - 1, w + 2, h + 2);
        gb->setText(editText);
        gb->show();
        gb->setEnabled(true);
        gb->raise();
        gb->setFocus(Qt::OtherFocusReason);
        m_editCtrl = gb;
        return true;
    }
    case edDateTimeEdit: {
        if (!GridUnitState().ComCtl32Above469)
            return false;
        TGridDateTimePicker* dtp = DateAndTimePicker();
        const TDateTime value = dateTimeOr(editText, Now());
        m_originalDateTime = value;
        dtp->SetDateTime(value);
        dtp->SetExtKind(dkDateTime);
        dtp->SetBorderStyle(pbsNone);
        dtp->setGeometry(r.left, r.top, w, dtp->height() < h ? h : dtp->height());
        GetEditorProp(realCol, row);
        dtp->setEnabled(true);
        dtp->show();
        dtp->SetColor(color);
        dtp->raise();
        dtp->setFocus(Qt::OtherFocusReason);
        return true;
    }
    case edCustom:
        if (!m_editLink)
            return false;
        m_editMode = true;
        m_editLink->Open(this, col, row, r, color, format.font);
        return true;
    default: return IsDropDownKind(kind) && ShowDropDownEditor(col, row, r, w, h, color);
    }
}

// --- reading back ---------------------------------------------------------------------------------------

void TExtStringGridEdit::HideOtherEditControl(int realCol, int row)
{
    const bool escaped = std::exchange(m_escapeRestore, false);
    // A value the user put back with Escape: the cell keeps its text as it was.
    auto store = [&](const QString& text) { StoreEditText(realCol, row, escaped ? m_cellCache : text); };
    switch (m_editControl) {
    case edSpinEdit:
    case edFloatSpinEdit:
    case edTimeSpinEdit:
    case edDateSpinEdit: {
        if (!m_editSpin)
            return;
        m_editMode = false;
        TGridSpin* spin = m_editSpin;
        if (spin->AllowEmptyValue && trim(spin->text()).isEmpty()) {
            store(QString());
        } else if (m_editControl == edSpinEdit) {
            store(QString::number(spin->Value()));
        } else if (m_editControl == edFloatSpinEdit) {
            QString fmt;
            GetColFloatFormat(realCol, fmt);
            store(Format(fmt, {spin->FloatValue()}));
        } else if (m_editControl == edTimeSpinEdit) {
            store(spin->text());
        } else {
            const TDateTime d = spin->DateValue();
            store(d > 0 || ShowNullDates ? DateToStr(d) : QString());
        }
        putAway(spin, this);
        return;
    }
    case edEditBtn:
    case edNumericEditBtn:
    case edFloatEditBtn:
    case edMaskEditBtn:
        if (m_editMode) {
            StoreEditText(realCol, row, m_editBtn->text());
            m_editMode = false;
        }
        putAway(m_editBtn, this);
        return;
    case edUnitEditBtn:
    case edNumericUnitEditBtn:
    case edFloatUnitEditBtn:
        StoreEditText(realCol, row, m_unitEditBtn->TextAndUnit());
        m_editMode = false;
        putAway(m_unitEditBtn, this);
        return;
    case edCheckBox:
        m_editMode = false;
        putAway(m_editCheck, this);
        return;
    case edButton:
        m_editMode = false;
        putAway(m_gridButton, this);
        return;
    case edDateEdit:
    case edDateEditUpDown:
    case edTimeEdit:
        if (!GridUnitState().ComCtl32Above469 || !m_editDate)
            return;
        store(m_editDate->CellText());
        m_editMode = false;
        if (m_editDate->DroppedDown())
            m_editDate->SetDroppedDown(false);
        putAway(m_editDate, this);
        return;
    case edDateTimeEdit:
        if (!GridUnitState().ComCtl32Above469 || !m_editDateTime)
            return;
        store(m_editDateTime->CellText());
        m_editMode = false;
        putAway(m_editDateTime, this);
        return;
    case edCustom:
        if (ControlLook.DropDownAlwaysVisible())
            QueryCellEditor(realCol, row, m_editControl);
        if (!m_editLink)
            return;
        StoreEditText(realCol, row, m_editLink->GetEditorValue());
        if (m_editLink->EditStyle == esInplace)
            m_editLink->SetVisible(false);
        m_editLink->RestoreWinProc();
        m_editMode = false;
        return;
    default:
        if (IsDropDownKind(m_editControl))
            HideDropDownEditor(realCol, row, escaped);
        return;
    }
}

// --- the key protocol ------------------------------------------------------------------------------------

bool TExtStringGridEdit::EditorClaims(TGridEditorControl control, quint16 key) const
{
    return EditorClaimsKey(control, key, HandlesTabKey(), options().testFlag(goTabs));
}

bool TExtStringGridEdit::EditorCommit(const QString& text)
{
    SetCurrentCell(text);
    return ValidateCell(text);
}

bool TExtStringGridEdit::EditorTabHandOver(TShiftState shift)
{
    if (options().testFlag(goTabs)) {
        HideInplaceEdit();
        setFocus(Qt::OtherFocusReason);
        TabAdvance(shift.testFlag(ssShift) || QGuiApplication::keyboardModifiers().testFlag(Qt::ShiftModifier));
        return true;
    }
    QCoreApplication::postEvent(this, new QKeyEvent(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier));
    return false;
}

void TExtStringGridEdit::EditorDone(quint16& key, TShiftState shift)
{
    DoneInplaceEdit(key, shift);
    if (Navigation.AdvanceOnEnter && Navigation.AdvanceAutoEdit)
        ShowInplaceEdit();
    key = 0;
}

void TExtStringGridEdit::EditorTextChanged(const QString& text)
{
    if (ShowEditProcess && m_editMode && m_specialEditor && !m_editStart)
        TExtStringGridPaint::setEditText(col(), row(), text);
}

void TExtStringGridEdit::EditorExit()
{
    if (m_blockKill || !m_editMode)
        return;
    HideInplaceEdit();
}

void TExtStringGridEdit::EditorCursorWalk(bool right, const QString& text)
{
    const int c = col(), r = row();
    const int step = right ? CellSpan(RealColIndex(c), r).x() + 1 : 1;
    const int target = right ? c + step : c - 1;
    const bool inRange = right ? c < ColCount() - FixedRightCols() - 1 : c > FixedCols();
    if (inRange && HasControlGraphic(RealColIndex(target), r)) {
        if (ValidateCell(text)) {
            HideInplaceEdit();
            SetCol(target);
        }
        return;
    }
    setFocus(Qt::OtherFocusReason);
    const TAdvanceDirection keep = Navigation.AdvanceDirection();
    Navigation.SetAdvanceDirection(adLeftRight);
    AdvanceEdit(c, r, true, false, right, true, true);
    Navigation.SetAdvanceDirection(keep);
    if (Navigation.CursorWalkAlwaysEdit)
        ShowInplaceEdit();
}

} // namespace controls::grid
