// The combo box editor of edComboEdit and edComboList cells and the key protocol of the grid's
// editors: which keys leave it, how its value is committed and validated, and how the key is
// handed on to the grid.
#include "controls/grid/edit/GridEdit.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QWheelEvent>

#include <algorithm>

namespace controls::grid {

using namespace platform;

TGridCombo::TGridCombo(TExtStringGridEdit* grid) : TXgrComboBox(grid->viewport()), m_grid(grid)
{
    SetButtonWidth(16);
    // The list drops down below the cell, as a combo box's list does, whatever the widget style
    // would do with a pick list.
    setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
    view()->installEventFilter(this);
    // The list's own notifications: an item picked from the list, and the typed text.
    connect(this, qOverload<int>(&QComboBox::activated), this, [this](int index) {
        if (m_inKey)
            return;
        Change();
        FireComboChange(index);
    });
}

void TGridCombo::SetColorTones(const TColorTones& tones)
{
    SetButtonTones(*this, tones);
    SetBorderColor(m_grid->color());
    SetFlat(true);
}

void TGridCombo::WireLineEdit()
{
    QLineEdit* edit = lineEdit();
    if (!edit || edit == m_wiredEdit)
        return;
    m_wiredEdit = edit;
    // Text typed by the user (never text set by the program).
    connect(edit, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (m_inKey)
            return;
        Change();
        FireComboChange(ItemIndex());
        // Every typed change is also reported with the display column and no item.
        if (m_grid->m_editMode && m_grid->OnComboChange)
            m_grid->OnComboChange(m_grid, m_grid->col(), m_grid->row(), -1, text);
    });
}

void TGridCombo::Change()
{
    if (m_grid->OnEditChange)
        m_grid->OnEditChange(m_grid, m_grid->col(), m_grid->row(), Text());
}

void TGridCombo::FireComboChange(int index)
{
    if (!m_grid->m_editMode)
        return;
    const int col = m_grid->RealColIndex(m_grid->col());
    const QString s = index == -1 ? Text() : Item(index);
    if (m_grid->OnComboChange)
        m_grid->OnComboChange(m_grid, col, m_grid->row(), index, s);
    if (m_grid->OnComboObjectChange)
        m_grid->OnComboObjectChange(m_grid, col, m_grid->row(), index, s, index == -1 ? nullptr : ItemObject(index));
}

// --- keys --------------------------------------------------------------------------------------

bool TGridCombo::CommitAndValidate(quint16& key, bool selectAll)
{
    // A pick list with no item chosen has nothing to commit: the cell keeps its text.
    if (Style() == csDropDownList && ItemIndex() < 0)
        return true;
    m_grid->SetCurrentCell(Text());
    if (!m_grid->ValidateCell(Text())) {
        {
            const QSignalBlocker block(this);
            SetText(m_grid->m_newCellText);
        }
        if (selectAll)
            SelectAll();
        else if (lineEdit())
            lineEdit()->end(false);
        update();
        key = 0;
        if (selectAll)
            m_grid->m_noAutoAdvance = true;
        return false;
    }
    return true;
}

void TGridCombo::KeyDown(quint16& key, TShiftState shift)
{
    Forced = false;
    const bool listStyle = Style() == csDropDownList;
    const bool leaves = ComboKeyLeaves(key, listStyle || DroppedDown());
    WorkMode = key != VK_BACK && key != VK_DELETE;

    if ((key == VK_UP || key == VK_DOWN) && !m_grid->Navigation.ComboGetUpDown && !DroppedDown()) {
        // The grid moves; the value stays with the cell it was typed in.
        m_grid->HideInplaceEdit();
        const bool alwaysEdit = m_grid->Navigation.AlwaysEdit;
        m_grid->Navigation.AlwaysEdit = false;
        m_grid->setFocus(Qt::OtherFocusReason);
        m_grid->Navigation.AlwaysEdit = alwaysEdit;
        m_grid->keyDown(key, shift);
        key = 0;
        return;
    }
    if (key == VK_DOWN && shift.testFlag(ssAlt))
        return;
    const bool dropped = listStyle || DroppedDown();
    if (!leaves)
        return;
    if (key == VK_ESCAPE) {
        // Back to the cell's own text: in a pick list its item, or no item when it is none, so
        // that closing writes nothing the user did not choose.
        {
            const QSignalBlocker block(this);
            if (listStyle) {
                SetItemIndex(IndexOfItem(m_grid->CurrentCell()));
            } else {
                SetText(m_grid->CurrentCell());
                SelectItem(m_grid->CurrentCell());
            }
        }
        m_grid->HideInplaceEdit();
        m_grid->setFocus(Qt::OtherFocusReason);
        key = 0;
        return;
    }
    auto takeStored = [&](bool checkIndex) {
        const QSignalBlocker block(this);
        const QString stored = m_grid->CurrentCell();
        if (listStyle) {
            if (checkIndex)
                SelectItem(stored);
            else
                SetItemIndex(IndexOfItem(stored));
        } else {
            SetText(stored);
        }
    };
    if (key == VK_RETURN || key == VK_UP || key == VK_DOWN) {
        if (!CommitAndValidate(key, true))
            return;
        takeStored(true);
    }
    if (key == VK_TAB && m_grid->HandlesTabKey()) {
        if (!CommitAndValidate(key, false))
            return;
        takeStored(false);
        if (m_grid->options().testFlag(goTabs)) {
            m_grid->HideInplaceEdit();
            m_grid->setFocus(Qt::OtherFocusReason);
            m_grid->TabAdvance(QGuiApplication::keyboardModifiers().testFlag(Qt::ShiftModifier));
            key = 0;
            return;
        }
        QApplication::postEvent(m_grid, new QKeyEvent(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier));
    }
    if (dropped) {
        const bool directClose = m_grid->MouseActions.DirectComboClose;
        m_grid->MouseActions.DirectComboClose = false;
        m_grid->HideInplaceEdit();
        m_grid->MouseActions.DirectComboClose = directClose;
        if (key == VK_LEFT || key == VK_RIGHT) {
            m_grid->keyDown(key, shift);
            key = 0;
        }
    } else if (key == VK_END) {
        return;
    }
    m_grid->DoneInplaceEdit(key, shift);
    if (m_grid->Navigation.AdvanceOnEnter && m_grid->Navigation.AdvanceAutoEdit)
        m_grid->ShowInplaceEdit();
    key = 0;
}

void TGridCombo::KeyPress(QChar& key)
{
    if (m_grid->OnKeyPress)
        m_grid->OnKeyPress(this, key);
    if (key.unicode() == 27)
        key = QChar();
    if (key.unicode() == 13 && OnReturnKey)
        OnReturnKey(this);
    if (key.unicode() == 13 || key.unicode() == 9)
        key = QChar();
}

void TGridCombo::KeyUp(quint16& key, TShiftState shift)
{
    const bool noModifier = !(shift & (ssShift | ssCtrl | ssAlt));
    if (Style() == csDropDown && m_grid->Navigation.CursorWalkEditor && noModifier && SelLength() == 0) {
        const bool left = key == VK_LEFT && SelStart() == 0;
        const bool right = key == VK_RIGHT && SelStart() == int(Text().size());
        if (left || right) {
            key = 0;
            const int c = m_grid->col(), r = m_grid->row();
            const int step = right ? m_grid->CellSpan(m_grid->RealColIndex(c), r).x() + 1 : 1;
            const int target = right ? c + step : c - 1;
            const bool inRange = right ? c < m_grid->ColCount() - m_grid->FixedRightCols() - 1 : c > m_grid->FixedCols();
            if (inRange && m_grid->HasControlGraphic(m_grid->RealColIndex(target), r)) {
                if (m_grid->ValidateCell(Text())) {
                    m_grid->HideInplaceEdit();
                    m_grid->SetCol(target);
                }
            } else {
                m_grid->setFocus(Qt::OtherFocusReason);
                const TAdvanceDirection keep = m_grid->Navigation.AdvanceDirection();
                m_grid->Navigation.SetAdvanceDirection(adLeftRight);
                m_grid->AdvanceEdit(c, r, true, false, right, true, true);
                m_grid->Navigation.SetAdvanceDirection(keep);
                if (m_grid->Navigation.CursorWalkAlwaysEdit)
                    m_grid->ShowInplaceEdit();
            }
        }
    }
    m_grid->m_noAutoAdvance = false;
    if (key != 0 && key != VK_RETURN)
        DoChange();
}

void TGridCombo::DoChange()
{
    if (!WorkMode || !m_grid->Lookup)
        return;
    const bool cs = m_grid->LookupCaseSensitive;
    const QString typed = Text();
    const int prefixLength = SelStart();
    if (prefixLength <= 0)
        return;
    const QString prefix = cs ? typed.left(prefixLength) : typed.left(prefixLength).toUpper();
    auto matches = [&](const QString& entry) { return (cs ? entry : entry.toUpper()).startsWith(prefix); };
    int found = -1;
    bool inItems = false;
    QString entry;
    for (int i = 0; i < ItemCount() && found < 0; ++i)
        if (matches(Item(i))) {
            found = i;
            inItems = true;
            entry = Item(i);
        }
    const platform::TStringList& lookup = m_grid->LookupItems();
    for (int i = 0; i < lookup.Count() && found < 0; ++i)
        if (matches(lookup.Strings(i))) {
            found = i;
            entry = lookup.Strings(i);
        }
    if (found < 0)
        return;
    const QString completed = typed.left(prefixLength) + entry.mid(prefixLength, 255);
    {
        const QSignalBlocker block(this);
        if (inItems)
            SetItemIndex(found);
        SetText(completed);
    }
    if (lineEdit())
        lineEdit()->setSelection(prefixLength, int(completed.size()) - prefixLength);
    ItemIdx = found;
    ItemChange = true;
}

void TGridCombo::SizeDropDownWidth()
{
    int w = width();
    const bool scrollBar = ItemCount() > DropDownCount();
    const QFontMetrics fm(font());
    for (int i = 0; i < ItemCount(); ++i) {
        const int tw = fm.horizontalAdvance(Item(i));
        if (scrollBar && tw > w - 25)
            w = tw + 25;
        else if (!scrollBar && tw > w - 5)
            w = tw + 8;
    }
    view()->setMinimumWidth(w);
}

int TGridCombo::TextRoom() const
{
    QStyleOptionComboBox option;
    initStyleOption(&option);
    const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    // The drop button's band is painted over whatever the style leaves there; the label and the
    // line edit keep a margin of about two pixels on each side.
    const int right = std::min(field.right() + 1, width() - ButtonWidth() - 4);
    return right - field.left() - 4;
}

void TGridCombo::WidenForText(int need)
{
    const int missing = need - TextRoom();
    if (missing <= 0 || !parentWidget())
        return;
    const int room = parentWidget()->width() - x();
    resize(std::max(width(), std::min(width() + missing, room)), height());
}

// --- Qt events -----------------------------------------------------------------------------------

bool TGridCombo::event(QEvent* e)
{
    if (e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        const bool tab = k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab;
        // Tab belongs to the editor when the grid takes Tab.
        if (tab && !(k->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) && m_grid->HandlesTabKey()) {
            keyPressEvent(k);
            return true;
        }
    }
    return TXgrComboBox::event(e);
}

void TGridCombo::keyPressEvent(QKeyEvent* e)
{
    const TShiftState shift = shiftStateOf(e->modifiers());
    if (quint16 vk = virtualKeyOf(*e)) {
        KeyDown(vk, shift);
        if (vk == 0) {
            e->accept();
            return;
        }
    }
    WireLineEdit();
    const QString chars = charsOf(*e);
    const int before = ItemIndex();
    if (!chars.isEmpty()) {
        QChar ch = chars.at(0);
        KeyPress(ch);
        if (ch.isNull()) {
            e->accept();
            return;
        }
    }
    TXgrComboBox::keyPressEvent(e);
    e->accept();
    if (!chars.isEmpty() && ItemIndex() != before && !isEditable())
        FireComboChange(ItemIndex());
}

void TGridCombo::keyReleaseEvent(QKeyEvent* e)
{
    quint16 vk = virtualKeyOf(*e);
    KeyUp(vk, shiftStateOf(e->modifiers()));
    if (vk != 0)
        TXgrComboBox::keyReleaseEvent(e);
    e->accept();
}

void TGridCombo::wheelEvent(QWheelEvent* e)
{
    const int index = ItemIndex();
    {
        const QSignalBlocker block(this);
        if (e->angleDelta().y() < 0) {
            if (index + 1 < ItemCount())
                SetItemIndex(index + 1);
        } else if (index > 0) {
            SetItemIndex(index - 1);
        }
    }
    const int now = ItemIndex();
    const int col = m_grid->RealColIndex(m_grid->col());
    const QString s = now >= 0 ? Item(now) : Text();
    if (m_grid->OnEditChange)
        m_grid->OnEditChange(m_grid, col, m_grid->row(), s);
    if (m_grid->OnComboChange)
        m_grid->OnComboChange(m_grid, col, m_grid->row(), now, s);
    if (m_grid->OnComboObjectChange)
        m_grid->OnComboObjectChange(m_grid, col, m_grid->row(), now, s, now >= 0 ? ItemObject(now) : nullptr);
    e->accept();
}

void TGridCombo::focusOutEvent(QFocusEvent* e)
{
    TXgrComboBox::focusOutEvent(e);
    if (e->reason() == Qt::PopupFocusReason || !isVisible())
        return;
    // Opening the list hands the focus to the list; the editor stays open while its list is.
    const QWidget* now = QApplication::focusWidget();
    if (DroppedDown() || (now && now->window() == view()->window()))
        return;
    if (m_grid->LookupHistory && !Text().isEmpty() && IndexOfItem(Text()) < 0)
        AddItem(Text());
    m_grid->HideInplaceEdit();
}

void TGridCombo::showPopup()
{
    TXgrComboBox::showPopup();
    m_grid->ComboDropDown(m_grid->col(), m_grid->row());
}

void TGridCombo::hidePopup()
{
    const bool wasDown = DroppedDown();
    TXgrComboBox::hidePopup();
    if (!wasDown)
        return;
    if (m_grid->MouseActions.DirectComboClose && m_grid->m_editMode) {
        {
            const QSignalBlocker block(this);
            if (ItemIndex() >= 0)
                SetText(Item(ItemIndex()));
        }
        FireComboChange(ItemIndex());
        m_grid->m_editControl = edComboEdit;
        m_grid->m_editMode = true;
        const bool directEdit = m_grid->MouseActions.DirectEdit;
        m_grid->MouseActions.DirectEdit = false;
        m_grid->HideInplaceEdit();
        m_grid->MouseActions.DirectEdit = directEdit;
        m_grid->setFocus(Qt::OtherFocusReason);
    }
    m_grid->ComboCloseUp(m_grid->col(), m_grid->row());
}

bool TGridCombo::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == view() && e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        quint16 vk = virtualKeyOf(*k);
        if (vk == VK_ESCAPE) {
            // Escape in the open list cancels the edit as it does in the closed editor: the list
            // and the editor close together and the cell keeps its value (one Escape more
            // then closes the window, as after a text cell's edit).
            m_inKey = true;
            hidePopup();
            m_inKey = false;
            KeyDown(vk, shiftStateOf(k->modifiers()));
            return true;
        }
        if (vk == VK_RETURN || vk == VK_TAB || vk == VK_LEFT || vk == VK_RIGHT) {
            // The item under the list's cursor is taken, the list closes, and the key goes on
            // as it would in the closed editor.
            const QModelIndex current = view()->currentIndex();
            if (current.isValid() && current.row() != ItemIndex()) {
                {
                    const QSignalBlocker block(this);
                    SetItemIndex(current.row());
                }
                Change();
                FireComboChange(ItemIndex());
            }
            m_inKey = true;
            hidePopup();
            m_inKey = false;
            KeyDown(vk, shiftStateOf(k->modifiers()));
            return true;
        }
    }
    return TXgrComboBox::eventFilter(watched, e);
}

} // namespace controls::grid
