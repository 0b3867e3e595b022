// The text editor of the grid's text kinds: the character filter of the kind, validation when
// the user leaves it, lookup completion, the paste check and the keys it hands to the grid.
#include "controls/grid/edit/GridEdit.h"

#include "controls/grid/util/ExtUtil.h"
#include "platform/core/FormatSettings.h"

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QWidget>

namespace controls::grid {

using namespace platform;

TExtInplaceEdit::TExtInplaceEdit(TExtStringGridEdit* grid) : TInplaceEdit(grid), m_grid(grid)
{
    setWordWrap(grid->WordWrap());
    m_lengthLimit = grid->getEditLimit();
}

void TExtInplaceEdit::SetVAlign(bool on)
{
    m_vAlign = on;
    setAlignment(on ? Alignment::taRightJustify : Alignment::taLeftJustify);
}

void TExtInplaceEdit::updateContents()
{
    m_grid->m_noEditChange = true;
    if (m_grid->m_editControl == edPassword)
        setPasswordChar(m_grid->PasswordChar);
    else
        setPasswordChar(QChar());
    TInplaceEdit::updateContents();
    m_grid->m_noEditChange = false;
    m_lengthLimit = m_grid->getEditLimit();
    TCellFormat f;
    f.font = m_grid->GridFont();
    f.brush = Brush{m_grid->color(), BrushStyle::Solid};
    TGridDrawState state;
    m_grid->GetVisualProperties(m_grid->col(), m_grid->row(), state, false, false, true, f);
    QPalette p = editWidget()->palette();
    if (colorToRgb(f.brush.color) != clNone)
        p.setColor(QPalette::Base, toQColor(colorToRgb(f.brush.color)));
    if (colorToRgb(f.font.color) != clNone)
        p.setColor(QPalette::Text, toQColor(colorToRgb(f.font.color)));
    editWidget()->setPalette(p);
    editWidget()->setFont(f.font.font);
    m_colE = m_grid->col();
    m_rowE = m_grid->row();
    SetVAlign(f.alignment == Alignment::taRightJustify);
    m_grid->GetEditorProp(m_grid->RealColIndex(m_grid->col()), m_grid->row());
}

void TExtInplaceEdit::boundsChanged()
{
    Rect r = m_grid->CellRect(m_grid->col(), m_grid->row());
    if (!r.isEmpty()) {
        if (m_grid->layoutDirection() == Qt::RightToLeft)
            r.left += 1;
        setGeometry(r.left, r.top, std::max(1, r.width() - 1), std::max(1, r.height() - 1));
    }
    TInplaceEdit::boundsChanged();
    setTextMargins(3, 3, 2, 0);
}

// --- focus -------------------------------------------------------------------------------------

void TExtInplaceEdit::wmSetFocus()
{
    TInplaceEdit::wmSetFocus();
    m_gotFocus = true;
    m_grid->m_noEditChange = false;
    m_lengthLimit = m_grid->getEditLimit();
    setMaxLength(m_lengthLimit > 0 ? m_lengthLimit : 0);
    if (!editMask().isEmpty() && !m_grid->m_lButFlg && m_grid->Navigation.ImproveMaskSel) {
        setSel(0, 1);
        return;
    }
    if (!m_grid->Navigation.EditSelectAll)
        deselect();
    if (m_grid->m_lButFlg) {
        const QPoint p = mapFromGlobal(QCursor::pos());
        if (rect().contains(p)) {
            const int index = charFromPos(p);
            if (index >= 0)
                setSel(index, 0);
        }
        m_grid->m_lButFlg = false;
    }
}

void TExtInplaceEdit::wmKillFocus(QWidget* next)
{
    m_grid->m_startEditChar = QChar();
    if (m_grid->LookupHistory && !text().isEmpty() && m_grid->LookupItems().IndexOf(text()) < 0)
        m_grid->LookupItems().Add(text());
    m_grid->SetFormulaEditing(false);
    TInplaceEdit::wmKillFocus(next);
    if (isHidden() && !m_gotFocus)
        return;
    // Leaving for another window keeps what was typed once it is valid; leaving for the grid
    // itself (a key or a click on it) has been validated by that path already.
    const bool toGrid = next == m_grid || next == m_grid->viewport();
    if (!toGrid && next && !isAncestorOf(next)) {
        m_grid->ValidateCell(text());
    }
    m_grid->HideInplaceEdit();
    m_grid->m_editing = false;
    m_grid->m_editMode = false;
    m_grid->selectCell(m_colE < 0 ? m_grid->col() : m_colE, m_rowE < 0 ? m_grid->row() : m_rowE);
    if (m_gotFocus) {
        m_gotFocus = false;
        m_grid->EditingDone(m_grid->RealColIndex(m_colE < 0 ? m_grid->col() : m_colE), m_rowE < 0 ? m_grid->row() : m_rowE);
    }
}

// --- keys --------------------------------------------------------------------------------------

void TExtInplaceEdit::SelectOrEnd()
{
    if (m_grid->Navigation.EditSelectAll)
        selectAll();
    else
        deselect();
}

bool TExtInplaceEdit::CommitForLeaving(const QString& text, const QString& oldText)
{
    // The text goes into the cell and is checked; a valid one is shown as the check left it,
    // an invalid one is restored and the editor stays.
    m_grid->m_validating = true;
    m_grid->SetCurrentCell(text);
    m_grid->m_validating = false;
    if (!m_grid->ValidateCell(text)) {
        Restore(oldText);
        return false;
    }
    setText(m_grid->m_newCellText);
    return true;
}

void TExtInplaceEdit::Restore(const QString& oldText)
{
    setText(m_grid->m_newCellText);
    SelectOrEnd();
    update();
    m_grid->m_oldCellText = oldText;
}

void TExtInplaceEdit::wmKeyDown(TWMKey& msg)
{
    const QString t = text();
    const QString o = m_grid->m_oldCellText;
    m_grid->EditorWMKeyDown(msg);
    m_oldSelStart = selStart();
    const TShiftState shift = m_grid->keyState();
    const bool ctrl = shift.testFlag(ssCtrl);
    const bool wraps = m_grid->WordWrap() || m_grid->Multilinecells;
    quint16& key = msg.CharCode;

    if (key == VK_ESCAPE) {
        setText(m_grid->m_cellCache);
        m_grid->HideInplaceEdit();
    }
    if (key == 'A' && ctrl && !shift.testFlag(ssAlt)) {
        selectAll();
        key = 0;
        return;
    }
    if (key == VK_RETURN && ctrl && !(m_grid->Navigation.AllowCtrlEnter && wraps)) {
        key = 0;
        return;
    }
    if (key == VK_TAB && m_grid->HandlesTabKey()) {
        if (m_grid->ValidateCell(t)) {
            setText(m_grid->m_newCellText);
            m_grid->HideInplaceEdit();
            if (m_grid->options().testFlag(goTabs)) {
                key = 0;
                m_grid->TabAdvance(shift.testFlag(ssShift));
            } else {
                QApplication::postEvent(m_grid, new QKeyEvent(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier));
            }
        } else {
            setText(m_grid->m_newCellText);
            SelectOrEnd();
            m_grid->m_oldCellText = o;
        }
        key = 0;
        return;
    }
    const bool atStart = selStart() == 0 && selLength() == 0;
    const bool atEnd = selLength() == 0 && selStart() == t.size();
    if (((key == VK_LEFT && atStart) || (key == VK_RIGHT && atEnd)) && shift.testFlag(ssShift)
        && m_grid->Navigation.CursorWalkEditor) {
        if (CommitForLeaving(t, o)) {
            m_grid->HideInplaceEdit();
            m_grid->setFocus(Qt::OtherFocusReason);
        }
        key = 0;
        return;
    }
    // Left at the start or Right at the end of the text, nothing selected, no shift state: the
    // key belongs to the grid. The text is committed and validated as for Up and Down; a
    // valid one stays in its cell and the grid moves on ("1", Right, "2" fills two cells).
    if (((key == VK_LEFT && atStart) || (key == VK_RIGHT && atEnd)) && !(shift & (ssShift | ssCtrl | ssAlt))
        && !m_grid->Navigation.CursorWalkEditor) {
        if (CommitForLeaving(t, o))
            sendKeyToGrid(key, shift);
        else
            key = 0;
        return;
    }
    bool verticalMove = false;
    if ((key == VK_UP && caretLine() == 0) || (key == VK_DOWN && caretLine() >= lineCount() - 1)) {
        if (!CommitForLeaving(t, o)) {
            key = 0;
            return;
        }
        verticalMove = true;
    }
    if (key == VK_RETURN && !m_grid->Navigation.LineFeedOnEnter && !ctrl) {
        if (!m_grid->ValidateCell(t)) {
            setText(m_grid->m_newCellText);
            SelectOrEnd();
            m_grid->m_oldCellText = o;
            key = 0;
            return;
        }
        setText(m_grid->m_newCellText);
    }
    if (key == VK_HOME && !ctrl && !shift.testFlag(ssShift))
        setSel(0, 0);
    if (key == VK_END && !ctrl && !shift.testFlag(ssShift))
        deselect();
    TInplaceEdit::wmKeyDown(msg);
    if (verticalMove && m_grid->MouseActions.DisjunctRowSelect()) {
        m_grid->ClearRowSelect();
        m_grid->SetRowSelect(m_grid->row(), true);
    }
}

void TExtInplaceEdit::keyDown(quint16& key, TShiftState shift)
{
    m_selKeyDown = selStart();
    if (key == VK_BACK || key == VK_DELETE)
        m_workMode = false;
    else
        m_workMode = true;
    // An arrow inside a multi-line text moves the caret, not the grid.
    if (key == VK_UP && caretLine() > 0)
        return;
    if (key == VK_DOWN && caretLine() < lineCount() - 1)
        return;
    const bool wraps = m_grid->WordWrap() || m_grid->Multilinecells;
    if (key == VK_RETURN && !m_grid->Navigation.AllowCtrlEnter && wraps)
        m_grid->m_editing = false;
    m_grid->EditorKeyDown(key, shift);
    TInplaceEdit::keyDown(key, shift);
}

void TExtInplaceEdit::wmChar(TWMKey& msg)
{
    QChar ch(char16_t(msg.CharCode));
    const TShiftState shift = m_grid->keyState();
    const bool ctrl = shift.testFlag(ssCtrl);
    const TEditorType kind = m_grid->m_editControl;
    if (ch == u'.' && m_grid->ExcelStyleDecimalSeparator && (msg.KeyData & kKeyDataKeypad))
        ch = FormatSettings().DecimalSeparator;
    if (ch.unicode() == 1 && ctrl)
        return;
    if (ch.unicode() == 10 && ctrl && !(m_grid->Navigation.AllowCtrlEnter && (m_grid->WordWrap() || m_grid->Multilinecells)))
        return;
    const char16_t c = ch.unicode();
    if (m_lengthLimit > 0 && text().size() >= m_lengthLimit && selLength() == 0 && c != 8 && c != 27 && c != 13)
        return;
    if (c == 13 && m_grid->Navigation.LineFeedOnEnter
        && (kind == edNormal || kind == edCapital || kind == edMixedCase || kind == edLowerCase || kind == edUpperCase
            || kind == edValidChars)) {
        msg.CharCode = ch.unicode();
        TInplaceEdit::wmChar(msg);
        return;
    }
    TCharContext ctx;
    ctx.text = text();
    ctx.selStart = selStart();
    ctx.selLength = selLength();
    ctx.ctrl = ctrl;
    ctx.decimalSeparator = FormatSettings().DecimalSeparator;
    ctx.thousandSeparator = FormatSettings().ThousandSeparator;
    ctx.validChars = m_grid->ValidChars;
    ctx.validCharSet = m_grid->ValidCharSet;
    switch (FilterEditorChar(kind, ch, ctx)) {
    case TCharAction::Refuse:
        QApplication::beep();
        return;
    case TCharAction::Drop:
        return;
    case TCharAction::Pass:
        break;
    }
    msg.CharCode = ch.unicode();
    const int caret = selStart();
    TInplaceEdit::wmChar(msg);
    if (kind == edMixedCase && ch.unicode() >= 32) {
        setText(ProperCase(text()));
        setSel(caret + 1, 0);
    }
    // The editor's limit: the grid's MaxEditLength, or the column's edit length.
    const int limit = m_lengthLimit;
    if (m_grid->Navigation.AdvanceAuto() && m_grid->Navigation.AdvanceOnEnter && limit > 0 && text().size() == limit
        && selLength() == 0 && selStart() == text().size() && ch.unicode() >= 32) {
        QChar enter(u'\r');
        m_grid->keyPress(enter);
    }
}

void TExtInplaceEdit::keyPress(QChar& key)
{
    if (key.unicode() == 13 && !m_grid->Navigation.LineFeedOnEnter) {
        if (!m_grid->ValidateCell(text())) {
            setText(m_grid->CurrentCell());
            key = QChar();
            return;
        }
    }
    TInplaceEdit::keyPress(key);
    if (m_grid->Navigation.AdvanceAuto() && !editMask().isEmpty() && !text().contains(u' ')
        && selStart() == text().size() && !key.isNull()) {
        QChar enter(u'\r');
        m_grid->keyPress(enter);
    }
}

void TExtInplaceEdit::wmKeyUp(TWMKey& msg)
{
    TInplaceEdit::wmKeyUp(msg);
    if (selStart() > 0)
        m_grid->EditorCaretMoved(text(), posFromChar(selStart() - 1), selStart());
    m_grid->SetFormulaEditing(text().startsWith(u'='));
}

void TExtInplaceEdit::keyUp(quint16& key, TShiftState shift)
{
    const bool noShift = !(shift & (ssShift | ssCtrl | ssAlt));
    if (m_grid->Navigation.CursorWalkEditor && noShift && selLength() == 0) {
        const bool left = key == VK_LEFT && selStart() == 0 && m_selKeyDown == 0;
        const bool right = key == VK_RIGHT && text().size() == m_selKeyDown;
        if (left || right) {
            key = 0;
            const TAdvanceDirection keep = m_grid->Navigation.AdvanceDirection();
            if (m_grid->ValidateCell(text())) {
                m_grid->HideInplaceEdit();
                m_grid->Navigation.SetAdvanceDirection(adLeftRight);
                m_grid->AdvanceEdit(m_grid->col(), m_grid->row(), true, false, right, true, true);
                m_grid->Navigation.SetAdvanceDirection(keep);
                if (!m_grid->Navigation.CursorWalkAlwaysEdit)
                    m_grid->HideInplaceEdit();
            }
            return;
        }
    }
    if (key == VK_LEFT || key == VK_RIGHT)
        return;
    TInplaceEdit::keyUp(key, shift);
    DoChange();
    if (m_grid->SizeWhileTyping.Width)
        m_grid->AutoSizeCol(m_grid->col());
    if (m_grid->SizeWhileTyping.Height && m_grid->WordWrap()) {
        m_grid->AutoSizeRow(m_grid->row());
        if (m_grid->OnEndRowSize)
            m_grid->OnEndRowSize(m_grid, m_grid->row());
    }
}

void TExtInplaceEdit::DoChange()
{
    if (!m_workMode || selLength() != 0 || !m_grid->Lookup)
        return;
    const platform::TStringList& items = m_grid->LookupItems();
    if (items.Count() == 0)
        return;
    const bool cs = m_grid->LookupCaseSensitive;
    const QString typed = text().left(selStart());
    if (typed.isEmpty())
        return;
    const QString prefix = cs ? typed : typed.toUpper();
    for (int i = 0; i < items.Count(); ++i) {
        const QString item = cs ? items.Strings(i) : items.Strings(i).toUpper();
        if (item.startsWith(prefix)) {
            const QString completed = typed + items.Strings(i).mid(typed.size(), 255);
            setText(completed);
            setSel(int(typed.size()), int(completed.size() - typed.size()));
            m_gotKey = false;
            return;
        }
    }
}

void TExtInplaceEdit::change()
{
    TInplaceEdit::change();
    if (!m_grid->m_noEditChange && m_grid->OnEditChange)
        m_grid->OnEditChange(m_grid, m_grid->col(), m_grid->row(), text());
}

void TExtInplaceEdit::dblClick()
{
    if (m_grid->OnDblClickCell)
        m_grid->OnDblClickCell(m_grid, m_grid->row(), m_grid->col());
}

int TExtInplaceEdit::wmGetDlgCode()
{
    int code = TInplaceEdit::wmGetDlgCode();
    if (m_grid->HandlesTabKey())
        code |= DLGC_WANTTAB;
    return code;
}

// --- clipboard ---------------------------------------------------------------------------------

void TExtInplaceEdit::wmCopy()
{
    bool allow = true;
    if (m_grid->OnClipboardCopy)
        m_grid->OnClipboardCopy(this, allow);
    if (allow)
        TInplaceEdit::wmCopy();
}

void TExtInplaceEdit::wmCut()
{
    bool allow = true;
    if (m_grid->OnClipboardCut)
        m_grid->OnClipboardCut(this, allow);
    if (allow)
        TInplaceEdit::wmCut();
}

void TExtInplaceEdit::wmPaste()
{
    const QString clip = QGuiApplication::clipboard()->text();
    bool allow = !clip.isEmpty();
    QString s = clip;
    if (m_grid->OnClipboardPaste)
        m_grid->OnClipboardPaste(this, allow);
    if (allow && m_grid->OnClipboardBeforePasteCell)
        m_grid->OnClipboardBeforePasteCell(this, m_grid->col(), m_grid->row(), s, allow);
    if (!allow)
        return;
    const int start = selStart();
    const int length = selLength();
    const std::optional<QString> pasted = PastedEditorText(m_grid->m_editControl, text(), start, length, s,
                                                           m_lengthLimit, m_grid->ValidChars);
    if (!pasted)
        return;
    QString inserted = s;
    const int lineBreak = int(inserted.indexOf(QStringLiteral("\r\n")));
    if (lineBreak >= 0 && lineBreak == inserted.size() - 2)
        inserted.chop(2);
    setText(*pasted);
    m_grid->SetCurrentCellText(text());
    if (length > 0)
        setSel(start, int(inserted.size()));
    else
        setSel(start + int(inserted.size()), 0);
    if (m_grid->OnClipboardAfterPasteCell)
        m_grid->OnClipboardAfterPasteCell(this, m_grid->col(), m_grid->row(), text());
}

} // namespace controls::grid
