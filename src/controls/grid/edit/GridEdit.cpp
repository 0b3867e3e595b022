// The editing flow of the grid: choosing the editor, starting and ending an edit, the moves of
// the current cell with their validation, and the combo item list.
#include "controls/grid/edit/GridEdit.h"

#include "controls/grid/html/HTMLUtil.h"
#include "controls/grid/util/BalloonTip.h"
#include "controls/grid/util/ExtUtil.h"
#include "platform/core/Errors.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QLineEdit>
#include <QKeyEvent>
#include <QTimer>

#include <algorithm>

namespace controls::grid {

using platform::goEditing;
using platform::goRangeSelect;
using platform::goRowSelect;
using platform::goTabs;

namespace {

// The event that ends an edit, handled once the current message has been processed.
class GridEditDoneEvent : public QEvent {
public:
    GridEditDoneEvent(int col, int row) : QEvent(editDoneType()), Col(col), Row(row) {}
    static QEvent::Type editDoneType()
    {
        static const int type = GridUnitState().GridEditDoneMsg > QEvent::User ? GridUnitState().GridEditDoneMsg
                                                                                 : QEvent::registerEventType();
        return QEvent::Type(type);
    }
    int Col;
    int Row;
};

// The kind the grid edits a cell with: rich text, whose control this grid does not have, is
// edited as text.
TEditorType effectiveKind(TEditorType k)
{
    if (k == edRichEdit)
        return edNormal;
    return k;
}

} // namespace

TExtStringGridEdit::TExtStringGridEdit(QWidget* parent) : TExtStringGridPaint(parent)
{
    for (int c = 0; c < 256; ++c)
        if (QChar(c).isPrint())
            ValidCharSet += QChar(c);
    m_editCombo = new TGridCombo(this);
    m_editCombo->hide();
    m_editCombo->setEnabled(false);
    RegisterEditor(nullptr, m_editCombo);
    CreateEditorControls();
}

TExtStringGridEdit::~TExtStringGridEdit()
{
    SetDestroying();
}

TExtInplaceEdit* TExtStringGridEdit::NormalEdit() const { return static_cast<TExtInplaceEdit*>(inplaceEditor()); }

platform::TInplaceEdit* TExtStringGridEdit::createEditor() { return new TExtInplaceEdit(this); }

// --- editability -----------------------------------------------------------------------------

bool TExtStringGridEdit::IsEditable(int col, int row)
{
    if (!options().testFlag(goEditing) && !MouseActions.RangeSelectAndEdit && !m_editDisable)
        return false;
    const QPoint b = BaseCell(col, row);
    bool canEdit = true;
    CheckCanEdit(b.x(), b.y(), canEdit);
    bool fixed = false;
    IsFixedCell(DisplColIndex(b.x()), b.y(), fixed);
    return canEdit && !fixed;
}

bool TExtStringGridEdit::HandlesTabKey() const
{
    return options().testFlag(goTabs) || bool(OnCellValidate) || bool(OnCellValidateWide);
}

bool TExtStringGridEdit::QueryPasswordCell(int col, int row)
{
    bool password = false;
    IsPasswordCell(col, row, password);
    return password;
}

// --- starting an edit ----------------------------------------------------------------------------

bool TExtStringGridEdit::canEditShow()
{
    // While the combo (or another control) edits the cell, the text editor stays away: the
    // control, not the grid, is the focused control then.
    if (m_validating || m_specialEditor)
        return false;
    bool result = TExtStringGridPaint::canEditShow();
    const QPoint b = BaseCell(RealColIndex(col()), row());
    if (result && !m_editMode && HasControlGraphic(b.x(), b.y()))
        return false;
    if (result && !m_editMode) {
        m_noEditChange = true;
        m_cellCache = CurrentCell();
        TEditorType kind = DefaultEditor;
        GetCellEditor(b.x(), b.y(), kind);
        m_editControl = effectiveKind(kind);
        if (m_editControl == edExtGridDropDown && !ExtGridDropDown())
            m_editControl = edNormal;
        if (m_editControl == edNone)
            return false;
        m_editMode = true;
        if (IsTextEditorKind(m_editControl)) {
            m_showEditProcess = true;
        } else {
            ShowEditControl(DisplColIndex(b.x()), b.y());
            m_entered = true;
            result = false;
        }
    }
    if (result) {
        m_entered = true;
        m_editing = true;
    }
    return result;
}

void TExtStringGridEdit::ShowCellEdit()
{
    quint16 key = platform::VK_F2;
    keyDown(key, platform::TShiftState());
}

void TExtStringGridEdit::HideCellEdit()
{
    // With no edit open there is nothing to write back.
    if (!m_editMode && !m_editing)
        return;
    HideEditControl(col(), row());
}

void TExtStringGridEdit::ShowInplaceEdit()
{
    const int c = RealColIndex(col());
    if (HasControlGraphic(c, row()))
        return;
    if (row() < topRow())
        setTopRow(row());
    if (col() < leftCol())
        setLeftCol(col());
    m_editText = Cells(c, row());
    showEditor();
}

void TExtStringGridEdit::HideInplaceEdit()
{
    if (!m_editMode)
        return;
    hideEditor();
    HideEditControl(col(), row());
    m_editMode = false;
    selectCell(col(), row());
}

void TExtStringGridEdit::EditingDone(int col, int row)
{
    if (OnEditingDone)
        OnEditingDone(this);
    m_editMode = false;
    PostEditDone(col, row);
}

void TExtStringGridEdit::PostEditDone(int col, int row)
{
    QCoreApplication::postEvent(this, new GridEditDoneEvent(col, row));
}

bool TExtStringGridEdit::event(QEvent* e)
{
    if (e->type() == GridEditDoneEvent::editDoneType()) {
        auto* done = static_cast<GridEditDoneEvent*>(e);
        if (OnEditCellDone)
            OnEditCellDone(this, done->Col, done->Row);
        if (MouseActions.EditOnDblClickOnly()) {
            HideInplaceEdit();
            m_editMode = false;
            SetEditChangeFlag();
            setOptions(options() & ~platform::TGridOptions(goEditing));
        }
        return true;
    }
    return TExtStringGridPaint::event(e);
}

void TExtStringGridEdit::DoneInplaceEdit(quint16 key, platform::TShiftState shift)
{
    m_blockFocus = true;
    m_editing = false;
    HideInplaceEdit();
    if (Navigation.AppendOnArrowDown && key == platform::VK_DOWN && IsLastDataRow())
        AppendRowByKey();
    if (key == platform::VK_TAB || key == platform::VK_LEFT || key == platform::VK_UP || key == platform::VK_RIGHT
        || key == platform::VK_DOWN) {
        quint16 k = key;
        keyDown(k, shift);
    }
    const bool alwaysEdit = Navigation.AlwaysEdit;
    Navigation.AlwaysEdit = false;
    setFocus(Qt::OtherFocusReason);
    Navigation.AlwaysEdit = alwaysEdit;
    if (key == platform::VK_RETURN)
        AdvanceEdit(col(), row(), true, false, true, true, false);
    m_blockFocus = false;
}

// --- special editors ------------------------------------------------------------------------------

void TExtStringGridEdit::ShowEditControl(int col, int row)
{
    m_editing = true;
    m_specialEditor = true;
    m_editActive = true;
    Rect r = cellRect(col, row);
    if (layoutDirection() == Qt::RightToLeft)
        r.left += 1;
    const int w = r.width() - 1;
    const int h = r.height() - 1;
    const int realCol = RealColIndex(col);
    const QString editText = getEditText(col, row);
    TCellFormat format;
    format.font = GridFont();
    format.brush = platform::Brush{color(), platform::BrushStyle::Solid};
    TGridDrawState state;
    GetVisualProperties(col, row, state, false, false, true, format);
    setGridState(platform::TGridState::gsNormal);
    m_editCtrl = nullptr;
    m_lastValidation = true;

    if (m_editControl == edComboEdit || m_editControl == edComboList) {
        TGridCombo* combo = m_editCombo;
        const bool list = m_editControl == edComboList;
        combo->SetDropDownCount(ControlLook.DropDownCount);
        GetEditorProp(realCol, row);
        combo->SetEnabled(true);
        combo->SetDroppedDown(false);
        combo->SetStyle(list ? csDropDownList : csDropDown);
        combo->setGeometry(r.left, r.top, w, h);
        combo->setFont(format.font.font);
        combo->ItemChange = false;
        // The one list of every list cell keeps what was typed into it for a while: the search
        // of a new cell starts afresh, not where the last cell's left off.
        combo->view()->keyboardSearch(QString());
        {
            const QSignalBlocker block(combo);
            if (!list) {
                combo->SetText(editText);
                if (m_comboIdx != -1 && combo->IndexOfItem(editText) < 0 && m_comboIdx < combo->ItemCount())
                    combo->SetItemIndex(m_comboIdx);
                combo->SetMaxLength(MaxComboLength);
            } else {
                // A cell whose text is no item shows no item: the list holds a value only once
                // the user chose one (closing the list unchosen writes nothing).
                int index = combo->IndexOfItem(Cells(realCol, row));
                if (index < 0 && m_comboIdx == -1)
                    index = combo->IndexOfItem(editText);
                else if (index < 0)
                    index = m_comboIdx < combo->ItemCount() ? m_comboIdx : -1;
                combo->SetItemIndex(index);
            }
        }
        {
            // The closed cell shows its text across the cell less its margins; the editor's
            // frame and drop button leave less room, and would cut a text the cell shows whole.
            const QFontMetrics metrics(format.font.font);
            int need = metrics.horizontalAdvance(combo->Text());
            for (int i = 0; i < combo->ItemCount(); ++i)
                need = std::max(need, metrics.horizontalAdvance(combo->Item(i)));
            combo->WidenForText(std::min(need, w - 2 * XYOffset.x()));
        }
        combo->SetColor(format.brush.color);
        combo->SetVisible(true);
        const TGridLook look = Look();
        const bool flat = look != glStandard && look != glClassic && look != glCustom;
        combo->SetFlat(flat);
        combo->SetEtched(flat);
        if (Navigation.AutoComboDropSize)
            combo->SizeDropDownWidth();
        else if (combo->DropWidth() > 0)
            combo->SetDropWidth(combo->DropWidth());
        combo->raise();
        combo->setFocus(Qt::OtherFocusReason);
        m_editCtrl = combo;
        if (MouseActions.DirectComboDrop || ControlLook.DropDownAlwaysVisible())
            combo->SetDroppedDown(true);
        if (MouseActions.DirectEdit && MouseActions.DirectComboDrop) {
            const TGridRect s = Selection();
            SelectionChanged(s.Left, s.Top, s.Right, s.Bottom);
        }
        if (!m_startEditChar.isNull()) {
            const QChar ch = m_startEditChar;
            QPointer<TGridCombo> target = combo;
            QTimer::singleShot(0, combo, [target, ch]() {
                if (!target)
                    return;
                if (!target->lineEdit()) {
                    // A pick list: the character searches its items as one typed into the open
                    // list does (a letter that starts no item chooses none).
                    const QChar upper = ch.toUpper();
                    const int code = upper.unicode() < 0x80 ? int(upper.unicode()) : int(Qt::Key_unknown);
                    QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier, QString(ch));
                    QCoreApplication::sendEvent(target, &press);
                    return;
                }
                QChar k = ch;
                target->KeyPress(k);
                if (!k.isNull())
                    target->lineEdit()->insert(QString(k));
            });
        }
    } else if (!ShowOtherEditControl(col, row, r, w, h, format)) {
        // No control for the cell (edCustom without a link): nothing is edited.
        m_editMode = false;
        m_editing = false;
        m_specialEditor = false;
        m_editActive = false;
    }
    m_startEditChar = QChar();
}

void TExtStringGridEdit::HideEditControl(int col, int row)
{
    if (Destroying())
        return;
    m_specialEditor = false;
    m_blockKill = true;
    const int realCol = RealColIndex(col);
    m_startEditChar = QChar();
    if ((m_editControl == edComboEdit || m_editControl == edComboList) && m_editMode) {
        // A pick list with no item chosen leaves the cell as it was.
        if (!(m_editControl == edComboList && m_editCombo->ItemIndex() < 0))
            StoreEditText(realCol, row, m_editCombo->Text());
        m_editMode = false;
    }
    if (m_editControl == edComboEdit || m_editControl == edComboList) {
        if (m_editCombo->hasFocus())
            setFocus(Qt::OtherFocusReason);
        m_editCombo->SetVisible(false);
        m_editCombo->SetEnabled(false);
    }
    HideOtherEditControl(realCol, row);
    if (m_editControl != edNormal && m_editActive)
        EditingDone(realCol, row);
    m_blockKill = false;
    m_editActive = false;
}

// --- values -----------------------------------------------------------------------------------

// The base grid's cell store is indexed by real column: the writes below go to the real column
// (a display column would name the hidden column's neighbour).
void TExtStringGridEdit::StoreEditText(int realCol, int row, const QString& text)
{
    TExtStringGridPaint::setEditText(realCol, row, text);
    SetCellEx(realCol, row, text);
}

void TExtStringGridEdit::RestoreCellCache()
{
    // The text of the current cell as it was when the edit began, in the cell of the real
    // column.
    const QPoint b = BaseCell(RealColIndex(col()), row());
    SetCellEx(b.x(), b.y(), m_cellCache);
    if (NormalEdit() && m_editing)
        NormalEdit()->setText(m_cellCache);
}

void TExtStringGridEdit::RememberCellValue(int col, int row)
{
    TExtStringGridPaint::RememberCellValue(col, row);
    m_oldCol = col;
    m_oldRow = row;
    m_oldCellText = GetGridCell(RealColIndex(col), row);
    m_oldModifiedValue = m_modified;
}

bool TExtStringGridEdit::ValidateCell(const QString& typed)
{
    if (!m_editing || m_validating)
        return true;
    // An HTML cell is edited without its tags: its text unchanged leaves the cell as it is.
    const QString newValue = !EditWithTags && GetTextKind(m_oldCellText, EnableHTML) == 1
                                     && StripHTMLTags(m_oldCellText) == typed
                                 ? m_oldCellText
                                 : typed;
    m_editing = false;
    m_validating = true;
    bool valid = true;
    const int c = RealColIndex(m_oldCol < 0 ? col() : m_oldCol);
    const int r = m_oldRow < 0 ? row() : m_oldRow;
    m_newCellText = newValue;
    try {
        const bool changed = newValue != m_oldCellText;
        if (changed || AlwaysValidate) {
            const bool advanceOnEnter = Navigation.AdvanceOnEnter;
            Navigation.AdvanceOnEnter = false;
            QString w = newValue;
            if (CellChecker && CellChecker->AutoCorrect)
                w = CellChecker->Correct(c, r, w);
            if (OnCellValidate)
                OnCellValidate(this, c, r, w, valid);
            // A refused value leaves the row as it was.
            if (valid && w != m_oldCellText) {
                m_gridModified = true;
                if (FixedCols() > 0) {
                    SetRowModified(RealRowIndex(row()), true);
                    if (ShowModified.Enabled)
                        RepaintCell(0, row());
                }
            }
            if (valid)
                ColumnValueChanged(c);
            if (CellChecker && CellChecker->AutoMarkError)
                w = CellChecker->MarkError(c, r, w);
            if (valid && UndoRedo())
                UndoRedo()->RegisterChange(c, r, m_oldCellText, w);
            if (valid && changed)
                CellsChanged(QRect(QPoint(c, r), QPoint(c, r)));
            Navigation.AdvanceOnEnter = advanceOnEnter;
            m_newCellText = w;
            if (valid) {
                SetCells(c, r, w);
                if (IsMergedNonBaseCell(c, r)) {
                    const QPoint b = BaseCell(c, r);
                    SetCells(b.x(), b.y(), w);
                }
            } else {
                m_lastValidation = false;
                const int displayCol = m_oldCol < 0 ? col() : m_oldCol;
                hideEditor();
                SetCells(c, r, w != newValue ? w : m_oldCellText);
                if (m_editMode && w == newValue)
                    m_validating = false;
                focusCell(displayCol, r, true);
                m_validating = false;
                m_editing = true;
                ShowInplaceEdit();
                m_modified = m_oldModifiedValue;
                if (NormalEdit() && NormalEdit()->isVisible())
                    NormalEdit()->setText(w != newValue ? w : m_oldCellText);
                // The grid's texts for a refused value show in a balloon at the editor.
                if (!InvalidEntryTitle.isEmpty() || !InvalidEntryText.isEmpty()) {
                    QWidget* target = NormalEdit();
                    if (m_specialEditor || !m_editMode) {
                        target = m_editCtrl;
                        if (auto* combo = qobject_cast<QComboBox*>(target); combo && combo->isEditable())
                            target = combo->lineEdit();
                    }
                    if (target)
                        GridBalloonTip()->ShowAtWindow(target, InvalidEntryTitle, InvalidEntryText, int(InvalidEntryIcon));
                }
            }
            m_oldCellText = GetGridCell(c, r);
        }
    } catch (...) {
        RememberCellValue(col(), row());
        m_validating = false;
        throw;
    }
    RememberCellValue(col(), row());
    m_validating = false;
    if (valid)
        HideFocusWindow();
    return valid;
}

bool TExtStringGridEdit::ValidateCellWide(const QString& newValue)
{
    if (!m_editing || m_validating)
        return true;
    m_editing = false;
    m_validating = true;
    bool valid = true;
    const int c = RealColIndex(m_oldCol < 0 ? col() : m_oldCol);
    const int r = m_oldRow < 0 ? row() : m_oldRow;
    m_newCellText = newValue;
    const bool changed = newValue != m_oldCellText;
    if (changed || AlwaysValidate) {
        ColumnValueChanged(c);
        QString w = newValue;
        if (OnCellValidateWide)
            OnCellValidateWide(this, c, r, w, valid);
        if (changed) {
            m_gridModified = true;
            if (ShowModified.Enabled && FixedCols() > 0) {
                SetRowModified(RealRowIndex(r), true);
                RepaintCell(0, r);
            }
        }
        if (valid) {
            SetWideCells(c, r, w);
            if (changed)
                CellsChanged(QRect(QPoint(c, r), QPoint(c, r)));
        } else {
            hideEditor();
            SetWideCells(c, r, w != newValue ? w : m_oldCellText);
            focusCell(m_oldCol < 0 ? col() : m_oldCol, r, true);
            m_validating = false;
            m_editing = true;
            ShowInplaceEdit();
            m_modified = m_oldModifiedValue;
        }
        m_oldCellText = GetGridCell(c, r);
    }
    RememberCellValue(col(), row());
    m_validating = false;
    return valid;
}

// --- the editor's text --------------------------------------------------------------------------

QString TExtStringGridEdit::getEditText(int col, int row)
{
    m_noEditChange = true;
    const int realCol = RealColIndex(col);
    if (auto* edit = NormalEdit()) {
        platform::Alignment ha = platform::Alignment::taLeftJustify;
        TVAlignment va = vtaTop;
        ResolveCellAlignment(realCol, row, ha, va);
        edit->SetVAlign(ha == platform::Alignment::taRightJustify);
    }
    const QPoint b = BaseCell(realCol, row);
    QString text = GetGridCell(b.x(), b.y());
    // A cell edited without its tags keeps its tags as long as the text is not changed: the
    // stripped text goes back only when the user changed it (see setEditText).
    if (!EditWithTags && GetTextKind(text, EnableHTML) == 1)
        text = StripHTMLTags(text);
    return text;
}

void TExtStringGridEdit::setEditText(int col, int row, const QString& value)
{
    const int realCol = RealColIndex(col);
    const QPoint b = BaseCell(realCol, row);
    const QString stored = GetGridCell(b.x(), b.y());
    // The editor shows an HTML cell without its tags: an unchanged text leaves the cell as it is,
    // so opening and closing the editor never changes a cell.
    if (!EditWithTags && GetTextKind(stored, EnableHTML) == 1 && StripHTMLTags(stored) == value)
        return;
    TExtStringGridPaint::setEditText(b.x(), b.y(), value);
}

void TExtStringGridEdit::editorChanged()
{
    TExtStringGridPaint::editorChanged();
    if (ShowEditProcess && !m_noEditChange && m_editMode && NormalEdit())
        TExtStringGridPaint::setEditText(RealCol(), row(), NormalEdit()->text());
}

int TExtStringGridEdit::getEditLimit() { return MaxEditLength(); }

// --- moving the current cell ----------------------------------------------------------------------

void TExtStringGridEdit::CellChanging(int newCol, int newRow, bool& allow)
{
    if (newRow != row() && OnRowChanging)
        OnRowChanging(this, row(), newRow, allow);
    if (newCol != col() && OnColChanging)
        OnColChanging(this, col(), newCol, allow);
    if ((newRow != row() || newCol != col()) && !m_disableChange && OnCellChanging)
        OnCellChanging(this, row(), col(), newRow, newCol, allow);
}

bool TExtStringGridEdit::selectCell(int col, int row)
{
    const TGridRect sel = Selection();
    auto repaintIndicators = [&]() {
        if (!RowIndicator.isEmpty() && FixedCols() > 0) {
            RepaintCell(0, this->row());
            RepaintCell(0, row);
        }
    };
    if (m_forceSel) {
        repaintIndicators();
        return true;
    }
    if (!parentWidget())
        return true;
    bool answer = false;
    if (col < 0 || row < 0)
        return false;
    const int c = RealColIndex(col);
    m_editText = Cells(c, row);

    if (FloatingFooter.Visible && FloatingFooter.FooterStyle == fsFixedLastRow && row == RowCount() - 1)
        return false;
    if (IsMergedNonBaseCell(c, row) && !options().testFlag(goRangeSelect)) {
        const QPoint b = BaseCell(c, row);
        focusCell(DisplColIndex(b.x()), b.y(), true);
        RepaintCell(DisplColIndex(b.x()), b.y());
        if (MouseActions.DirectEdit || (ControlLook.DropDownAlwaysVisible() && HasComboBox(b.x(), b.y())))
            ShowInplaceEdit();
        return false;
    }
    if (col == 0 && HasNodes() && !options().testFlag(goRowSelect))
        return false;
    if (Navigation.SkipDisabledRows && !RowEnabled(RealRowIndex(row)))
        return false;

    // Editing on or off for the target.
    QString text = Cells(c, row);
    const bool textEditorFocused = NormalEdit() && NormalEdit()->isVisible() && NormalEdit()->editWidget()->hasFocus();
    auto setEditing = [&](bool on) {
        SetEditChangeFlag();
        platform::TGridOptions o = options();
        if (on)
            o |= goEditing;
        else
            o &= ~platform::TGridOptions(goEditing);
        setOptions(o);
    };
    if (HasControlGraphic(c, row)) {
        bool canEdit = true;
        CheckCanEdit(c, row, canEdit);
        if (!m_editDisable)
            m_editDisable = !canEdit && (options().testFlag(goEditing) || MouseActions.RangeSelectAndEdit);
        if (!options().testFlag(goEditing) && !options().testFlag(goRowSelect) && canEdit) {
            m_editChange = true;
            setEditing(true);
        }
    } else {
        bool canEdit = options().testFlag(goEditing) || m_editDisable;
        CheckCanEdit(c, row, canEdit);
        if (MouseActions.DirectEdit && canEdit) {
            m_editControl = DefaultEditor;
            if (IsEditorNone(c, row))
                canEdit = false;
        }
        if (MouseActions.EditOnDblClickOnly())
            canEdit = false;
        if (canEdit) {
            m_editDisable = false;
            if (!options().testFlag(goEditing)) {
                m_editChange = true;
                if (!m_editing)
                    RememberCellValue(col, row);
                if (options().testFlag(goRowSelect) && MouseActions.RangeSelectAndEdit) {
                    SetEditChangeFlag();
                    setOptions(options() & ~platform::TGridOptions(goRowSelect));
                }
                setEditing(true);
            }
            if (m_editing) {
                HideInplaceEdit();
                text = Cells(c, row);
            }
        } else {
            if (m_editing) {
                HideInplaceEdit();
                text = Cells(c, row);
            }
            if (options().testFlag(goEditing)) {
                m_editMode = false;
                m_editDisable = true;
                m_editChange = true;
                setEditing(false);
                setEditorMode(false);
            }
        }
    }

    // The move itself.
    if (!m_editing || textEditorFocused) {
        bool allow = true;
        CellChanging(col, row, allow);
        if (IsFixed(col, row) || !allow)
            answer = (allow && options().testFlag(goRowSelect)) || (FixedRowAlways() && RowCount() == FixedRows());
        else
            answer = TExtStringGridPaint::selectCell(col, row);
    } else {
        const bool valid = IsWideCell(RealColIndex(this->col()), this->row()) ? ValidateCellWide(CurrentCell())
                                                                                 : ValidateCell(CurrentCell());
        bool allow = true;
        CellChanging(col, row, allow);
        answer = allow && valid && TExtStringGridPaint::selectCell(col, row);
    }

    repaintIndicators();
    if (m_selListener)
        m_selListener(this->col(), row);
    if (ActiveCellShow()) {
        RepaintCell(this->col(), this->row());
        RepaintCell(col, row);
        RepaintActiveHeaders(this->col(), this->row(), col, row);
        if (sel.Left != this->col() && sel.Top != this->row())
            RepaintCell(sel.Left, sel.Top);
    }
    if (ActiveRowShow()) {
        RepaintRow(row);
        RepaintRow(sel.Top);
    }
    if (SelectionRectangle())
        RepaintRect(Selection());
    if (!IsLoading())
        ReportRowChange(row);
    if (HasCellBorderEvent())
        for (int r = sel.Top; r <= sel.Bottom; ++r)
            RepaintRow(r);
    if (answer)
        m_cellCache = text;
    return answer;
}

// --- the combo list -----------------------------------------------------------------------------

void TExtStringGridEdit::AddComboString(const QString& s) { m_editCombo->AddItem(s); }
void TExtStringGridEdit::AddComboStringObject(const QString& s, platform::TObject* object) { m_editCombo->AddItem(s, object); }

bool TExtStringGridEdit::RemoveComboString(const QString& s)
{
    const int i = m_editCombo->IndexOfItem(s);
    if (i < 0)
        return false;
    m_editCombo->removeItem(i);
    return true;
}

void TExtStringGridEdit::ClearComboString() { m_editCombo->ClearItems(); }
int TExtStringGridEdit::GetComboCount() const { return m_editCombo->ItemCount(); }

bool TExtStringGridEdit::SetComboSelectionString(const QString& s)
{
    const int i = m_editCombo->IndexOfItem(s);
    if (i < 0)
        return false;
    m_comboIdx = i;
    return true;
}

void TExtStringGridEdit::SetComboIndex(int col, int row, int index)
{
    GetEditorProp(col, row);
    if (index < 0 || index >= m_editCombo->ItemCount())
        throw platform::EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
    SetCells(col, row, m_editCombo->Item(index));
}

int TExtStringGridEdit::GetComboIndex(int col, int row)
{
    GetEditorProp(col, row);
    return m_editCombo->IndexOfItem(Cells(col, row));
}

// --- virtual steps -------------------------------------------------------------------------------

void TExtStringGridEdit::ClickSort(int col)
{
    if (OnClickSort)
        OnClickSort(this, col);
}

void TExtStringGridEdit::KeyboardSelectAll(TGridRect&) {}

void TExtStringGridEdit::GetEditorProp(int col, int row)
{
    if (OnGetEditorProp)
        OnGetEditorProp(this, col, row);
}

void TExtStringGridEdit::CheckBoxClick(int col, int row, bool state)
{
    if (OnCheckBoxClick)
        OnCheckBoxClick(this, col, row, state);
}

void TExtStringGridEdit::ComboCloseUp(int col, int row)
{
    if (OnComboCloseUp)
        OnComboCloseUp(this, col, row);
}

void TExtStringGridEdit::ComboDropDown(int col, int row)
{
    if (OnComboDropDown)
        OnComboDropDown(this, col, row);
}

void TExtStringGridEdit::EditorKeyDown(quint16&, platform::TShiftState) {}
void TExtStringGridEdit::EditorWMKeyDown(platform::TWMKey&) {}
void TExtStringGridEdit::SetFormulaEditing(bool) {}

void TExtStringGridEdit::PasteRangeModified(QPoint, const TGridRect& toRect, int)
{
    if (!ShowModified.Enabled)
        return;
    for (int r = std::max(0, toRect.Top); r <= toRect.Bottom && r < RowCount(); ++r)
        SetRowModified(r, true);
}

void TExtStringGridEdit::DisableEditing()
{
    SetEditChangeFlag();
    setOptions(options() & ~platform::TGridOptions(goEditing));
}

// --- the grid's key press -------------------------------------------------------------------------

void TExtStringGridEdit::keyPress(QChar& key)
{
    const int rc = RealColIndex(col());
    if (key.unicode() == 27) {
        if (options().testFlag(goEditing) && m_editing)
            RestoreCellCache();
        if (OnKeyPress)
            OnKeyPress(this, key);
        key = QChar();
        return;
    }
    if (key.unicode() == 13) {
        if (!Navigation.AdvanceOnEnter && !IsEditable(col(), row())) {
            if (OnKeyPress)
                OnKeyPress(this, key);
            key = QChar();
            return;
        }
        const bool editorHasFocus = !hasFocus();
        if (editorHasFocus || HasControlGraphic(rc, row())) {
            const int before = col();
            AdvanceEdit(col(), row(), m_editMode, false, true, false, false);
            if (!Navigation.AdvanceAutoEdit) {
                if (OnKeyPress)
                    OnKeyPress(this, key);
                key = QChar();
                return;
            }
            if (HasControlGraphic(RealColIndex(before), row())) {
                if (OnKeyPress)
                    OnKeyPress(this, key);
                if (Navigation.AdvanceOnEnter)
                    ShowInplaceEdit();
                key = QChar();
                return;
            }
        }
    }
    if (OnKeyPress)
        OnKeyPress(this, key);
    if (!key.isNull())
        TExtStringGridPaint::keyPress(key);
}

} // namespace controls::grid
