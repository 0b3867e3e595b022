// The grid's editor controls besides the combo and their key protocol.
#include "controls/grid/edit/GridEditors.h"

#include "controls/grid/util/ExtUtil.h"
#include "platform/core/Messages.h"

#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace controls::grid {

using namespace platform;

namespace {

bool isDigit(QChar c) { return c.unicode() >= u'0' && c.unicode() <= u'9'; }

TCharContext charContext(const TExtMaskEdit* edit, bool ctrl)
{
    TCharContext ctx;
    ctx.text = edit->text();
    ctx.selStart = edit->SelStart();
    ctx.selLength = edit->SelLength();
    ctx.ctrl = ctrl;
    ctx.decimalSeparator = GetDecimalSeparator();
    ctx.thousandSeparator = GetThousandSeparator();
    return ctx;
}

// What an edit with a button does with a typed character of its kind: true when it passes.
bool filterEditBtnChar(TEditorType kind, const TExtMaskEdit* edit, TWMKey& msg, bool ctrl)
{
    const TCharAction action = EditBtnCharAction(kind, QChar(char16_t(msg.CharCode)), charContext(edit, ctrl));
    if (action == TCharAction::Pass)
        return true;
    if (action == TCharAction::Refuse)
        MessageBeep();
    msg.CharCode = 0;
    return false;
}

// A key press to an editor control that is no edit: its KeyDown first; what that leaves goes to
// the control's own handling (false). The key never goes on to the grid below.
bool keyDownFirst(QKeyEvent* e, const std::function<void(quint16&, TShiftState)>& keyDown)
{
    quint16 key = virtualKeyOf(*e);
    keyDown(key, shiftStateOf(e->modifiers()));
    e->accept();
    return key == 0;
}

} // namespace

// --- TGridCheckBox -----------------------------------------------------------------------------------

TGridCheckBox::TGridCheckBox(TExtStringGridEdit* grid) : QCheckBox(grid->viewport()), m_grid(grid)
{
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);
}

void TGridCheckBox::KeyDown(quint16& key, TShiftState shift)
{
    if (!EditorKeyLeaves(TGridEditorControl::CheckBox, key))
        return;
    if (key == VK_ESCAPE)
        setText(m_grid->CurrentCell());
    m_grid->HideInplaceEdit();
    m_grid->setFocus(Qt::OtherFocusReason);
    if (key == VK_RETURN && m_grid->Navigation.AdvanceOnEnter)
        m_grid->AdvanceEdit(m_grid->col(), m_grid->row(), true, false, true, true, false);
    if (key == VK_UP || key == VK_DOWN)
        m_grid->keyDown(key, shift);
    key = 0;
}

void TGridCheckBox::keyPressEvent(QKeyEvent* e)
{
    if (virtualKeyOf(*e) == VK_SPACE) {
        // Toggled as the key goes down.
        if (!e->isAutoRepeat())
            Toggle();
        e->accept();
        return;
    }
    if (!keyDownFirst(e, [this](quint16& k, TShiftState shift) { KeyDown(k, shift); }))
        QCheckBox::keyPressEvent(e);
    e->accept();
}

void TGridCheckBox::keyReleaseEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Space) {
        e->accept();
        return;
    }
    QCheckBox::keyReleaseEvent(e);
    e->accept();
}

void TGridCheckBox::mousePressEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton) {
        QCheckBox::mousePressEvent(e);
        return;
    }
    // Toggled as the button goes down.
    Toggle();
    setFocus(Qt::MouseFocusReason);
    e->accept();
}

void TGridCheckBox::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton) {
        e->accept();
        return;
    }
    QCheckBox::mouseReleaseEvent(e);
}

void TGridCheckBox::focusOutEvent(QFocusEvent* e)
{
    QCheckBox::focusOutEvent(e);
    if (e->reason() != Qt::PopupFocusReason && e->reason() != Qt::ActiveWindowFocusReason)
        m_grid->EditorExit();
}

// --- TGridSpin -----------------------------------------------------------------------------------------

TGridSpin::TGridSpin(TExtStringGridEdit* grid) : TXgrSpinEdit(grid->viewport()), m_grid(grid)
{
    MaxValue = 100;
    MinValue = 0;
    Increment = 1;
}

void TGridSpin::SetColorTones(const TColorTones& tones)
{
    SetButtonTones(*Button(), tones);
    Button()->update();
}

bool TGridSpin::WantSpecialKey(quint16 key)
{
    return m_grid->EditorClaims(TGridEditorControl::Spin, key);
}

void TGridSpin::WMChar(TWMKey& msg)
{
    if (msg.CharCode == 9 || msg.CharCode == 13) {
        msg.CharCode = 0;
        msg.Result = 0;
        return;
    }
    TXgrSpinEdit::WMChar(msg);
}

void TGridSpin::KeyPress(QChar& key)
{
    if (key.unicode() == 27 || key.unicode() == 13) {
        key = QChar();
        return;
    }
    TXgrSpinEdit::KeyPress(key);
}

void TGridSpin::UpClick(QObject* sender)
{
    TXgrSpinEdit::UpClick(sender);
    FireSpinClick(true);
}

void TGridSpin::DownClick(QObject* sender)
{
    TXgrSpinEdit::DownClick(sender);
    FireSpinClick(false);
}

void TGridSpin::FireSpinClick(bool up)
{
    const int c = m_grid->col(), r = m_grid->row();
    switch (SpinType()) {
    case sptNormal:
        if (m_grid->OnSpinClick)
            m_grid->OnSpinClick(m_grid, c, r, Value(), up);
        break;
    case sptFloat:
        if (m_grid->OnFloatSpinClick)
            m_grid->OnFloatSpinClick(m_grid, c, r, FloatValue(), up);
        break;
    case sptDate:
        if (m_grid->OnDateSpinClick)
            m_grid->OnDateSpinClick(m_grid, c, r, DateValue(), up);
        break;
    case sptTime:
        if (m_grid->OnTimeSpinClick)
            m_grid->OnTimeSpinClick(m_grid, c, r, TimeValue(), up);
        break;
    }
}

void TGridSpin::Change()
{
    TXgrSpinEdit::Change();
    m_grid->EditorTextChanged(text());
    if (m_grid->OnEditChange)
        m_grid->OnEditChange(m_grid, m_grid->col(), m_grid->row(), text());
}

void TGridSpin::KeyDown(quint16& key, TShiftState shift)
{
    const bool number = SpinType() == sptNormal || SpinType() == sptFloat;
    if (number) {
        const bool isInt = SpinType() == sptNormal;
        switch (key) {
        case VK_PRIOR:
            if (isInt ? qint64(Value()) + Increment <= MaxValue : FloatValue() + IncrementFloat <= MaxFloatValue)
                isInt ? SetValue(Value() + Increment) : SetFloatValue(FloatValue() + IncrementFloat);
            break;
        case VK_NEXT:
            if (isInt ? qint64(Value()) - Increment >= MinValue : FloatValue() - IncrementFloat >= MinFloatValue)
                isInt ? SetValue(Value() - Increment) : SetFloatValue(FloatValue() - IncrementFloat);
            break;
        case VK_END: isInt ? SetValue(MinValue) : SetFloatValue(MinFloatValue); break;
        case VK_HOME: isInt ? SetValue(MaxValue) : SetFloatValue(MaxFloatValue); break;
        default: break;
        }
    }
    if (m_grid->OnSpinClick && (key == VK_PRIOR || key == VK_HOME || key == VK_NEXT || key == VK_END))
        m_grid->OnSpinClick(m_grid, m_grid->col(), m_grid->row(), Value(), key == VK_PRIOR || key == VK_HOME);
    if (!EditorKeyLeaves(TGridEditorControl::Spin, key)) {
        TXgrSpinEdit::KeyDown(key, shift);
        return;
    }
    if (key == VK_ESCAPE) {
        setText(m_grid->m_cellCache);
        if (SpinType() == sptNormal)
            SetValue(Value());
        else if (SpinType() == sptFloat)
            SetFloatValue(FloatValue());
        m_grid->m_escapeRestore = true;
    } else {
        if (!m_grid->EditorCommit(text())) {
            setText(m_grid->CurrentCell());
            end(false);
            key = 0;
            m_grid->m_noAutoAdvance = true;
            update();
            return;
        }
        setText(m_grid->CurrentCell());
    }
    if (key == VK_TAB && m_grid->options().testFlag(goTabs)) {
        m_grid->EditorTabHandOver(shift);
        key = 0;
        return;
    }
    m_grid->EditorDone(key, shift);
}

void TGridSpin::DoExit()
{
    TXgrSpinEdit::DoExit();
    m_grid->EditorExit();
}

// --- TGridDatePicker -------------------------------------------------------------------------------------

TGridDatePicker::TGridDatePicker(TExtStringGridEdit* grid) : TXgrDateTimePicker(grid->viewport()), m_grid(grid) {}

void TGridDatePicker::SetColorTones(const TColorTones& tones)
{
    SetButtonTones(*this, tones);
    SetBorderColor(tones.Background.BrushColor);
    SetMetroStyle(true);
    update();
}

void TGridDatePicker::ReCreate() { ResetInput(); }

bool TGridDatePicker::WantSpecialKey(quint16 key)
{
    return m_grid->EditorClaims(TGridEditorControl::DatePicker, key);
}

void TGridDatePicker::WMNotify(TDTNotify& msg)
{
    if (msg.Code == DTN_DROPDOWN)
        m_oldDropped = true;
    else if (msg.Code == DTN_CLOSEUP)
        m_oldDropped = false;
    msg.Result = 0;
    TXgrDateTimePicker::WMNotify(msg);
}

void TGridDatePicker::KeyPress(QChar& key)
{
    if (isDigit(key)) {
        const TDateTime now = DateTime();
        m_date = DatePartsOf(now);
        m_time = TimePartsOf(now);
        TXgrDateTimePicker::KeyPress(key);
        QCoreApplication::postEvent(this, new QEvent(RegisterWindowMessage(QStringLiteral("DTPShiftFocus"))));
    }
    if (m_grid->OnKeyPress)
        m_grid->OnKeyPress(m_grid, key);
}

bool TGridDatePicker::event(QEvent* e)
{
    if (e->type() == RegisterWindowMessage(QStringLiteral("DTPShiftFocus"))) {
        const TDateTime now = DateTime();
        const TShiftAction action = Kind() == dtkTime ? TimePickerShift(m_time, TimePartsOf(now))
                                                      : GridDatePickerShift(Format(), m_date, DatePartsOf(now));
        if (action == TShiftAction::NextField)
            QCoreApplication::postEvent(this, new QKeyEvent(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier));
        return true;
    }
    return TXgrDateTimePicker::event(e);
}

void TGridDatePicker::ShowText(const QString& text)
{
    TDateTime v = 0;
    if (Kind() == dtkTime) {
        SetTime(TryStrToTime(text, v, FormatSettings()) ? v : Now());
        return;
    }
    if (TryStrToDate(text, v, FormatSettings()))
        SetDate(v);
    else
        SetDateTime(Now());
}

bool TGridDatePicker::CommitAndValidate(quint16& key, bool enter)
{
    if (!m_grid->EditorCommit(CellText())) {
        ShowText(m_grid->m_newCellText);
        update();
        key = 0;
        if (enter)
            m_grid->m_noAutoAdvance = true;
        return false;
    }
    ShowText(m_grid->CurrentCell());
    return true;
}

void TGridDatePicker::KeyDown(quint16& key, TShiftState shift)
{
    if (!EditorKeyLeaves(TGridEditorControl::DatePicker, key)) {
        TXgrDateTimePicker::KeyDown(key, shift);
        return;
    }
    if (key == VK_ESCAPE) {
        ShowText(m_grid->CurrentCell());
        m_grid->m_escapeRestore = true;
    }
    if (key == VK_RETURN) {
        // The field being typed is finished first, as a Right key does.
        DefaultKeyDown(VK_RIGHT, TShiftState());
        if (!CommitAndValidate(key, true))
            return;
    }
    if (key == VK_TAB && m_grid->HandlesTabKey()) {
        if (!CommitAndValidate(key, false))
            return;
        if (m_grid->EditorTabHandOver(shift)) {
            key = 0;
            return;
        }
    }
    if (!DroppedDown()) {
        m_grid->DoneInplaceEdit(key, shift);
        key = 0;
    }
}

void TGridDatePicker::DoExit()
{
    TXgrDateTimePicker::DoExit();
    m_grid->EditorExit();
}

void TGridDatePicker::paintEvent(QPaintEvent* e)
{
    TXgrDateTimePicker::paintEvent(e);
    // The window colour over the three-dimensional border: the picker lies flat in its cell.
    QPainter painter(this);
    Canvas canvas(painter);
    canvas.brush() = Brush{clWindow, BrushStyle::Solid};
    canvas.frameRect(Rect{0, 0, width(), height()});
    canvas.frameRect(Rect{1, 1, width() - 1, height() - 1});
}

// --- TGridDateTimePicker ----------------------------------------------------------------------------------

TGridDateTimePicker::TGridDateTimePicker(TExtStringGridEdit* grid) : TExtDateTimePicker(grid->viewport()), m_grid(grid) {}

QString TGridDateTimePicker::CellText()
{
    return Checked() ? FormatDateTime(QStringLiteral("ddddd t"), DateTime()) : QString();
}

bool TGridDateTimePicker::WantSpecialKey(quint16 key)
{
    return m_grid->EditorClaims(TGridEditorControl::DateTimePicker, key);
}

void TGridDateTimePicker::KeyDown(quint16& key, TShiftState shift)
{
    if (key == VK_ESCAPE) {
        SetDateTime(m_grid->m_originalDateTime);
        m_grid->m_escapeRestore = true;
        m_grid->HideInplaceEdit();
        m_grid->setFocus(Qt::OtherFocusReason);
        key = 0;
        return;
    }
    if (key == VK_RETURN) {
        m_grid->HideInplaceEdit();
        m_grid->setFocus(Qt::OtherFocusReason);
        if (m_grid->Navigation.AdvanceOnEnter)
            m_grid->AdvanceEdit(m_grid->col(), m_grid->row(), true, false, true, true, false);
        key = 0;
        return;
    }
    if (key == VK_TAB && m_grid->HandlesTabKey()) {
        // Hiding wrote the date and the time into the cell; the walk goes on from there.
        m_grid->HideInplaceEdit();
        m_grid->setFocus(Qt::OtherFocusReason);
        m_grid->TabAdvance(shift.testFlag(ssShift) || QGuiApplication::keyboardModifiers().testFlag(Qt::ShiftModifier));
        key = 0;
        return;
    }
    TExtDateTimePicker::KeyDown(key, shift);
}

// --- TGridEditBtn -------------------------------------------------------------------------------------------

TGridEditBtn::TGridEditBtn(TExtStringGridEdit* grid) : TXgrEditBtn(grid->viewport()), m_grid(grid)
{
    OnClickBtn = [this](QObject*) { ButtonClicked(); };
}

void TGridEditBtn::SetColorTones(const TColorTones& tones)
{
    SetButtonTones(*Button(), tones);
    Button()->update();
}

void TGridEditBtn::ButtonClicked()
{
    QString out;
    m_grid->EllipsClick(text(), out);
    setText(out);
    selectAll();
    update();
    if (StopEditAfterClick) {
        m_grid->HideInplaceEdit();
        m_grid->setFocus(Qt::OtherFocusReason);
    }
}

bool TGridEditBtn::WantSpecialKey(quint16 key)
{
    return m_grid->EditorClaims(TGridEditorControl::EditBtn, key);
}

void TGridEditBtn::WMChar(TWMKey& msg)
{
    if (msg.CharCode == 9 || msg.CharCode == 13) {
        msg.Result = 1;
        msg.CharCode = 0;
        return;
    }
    if (filterEditBtnChar(m_grid->EditControl(), this, msg, KeyShift().testFlag(ssCtrl)))
        TXgrEditBtn::WMChar(msg);
}

void TGridEditBtn::WMPaste()
{
    const QString clip = QApplication::clipboard()->text();
    bool allow = !clip.isEmpty();
    QString paste = clip;
    if (m_grid->OnClipboardPaste)
        m_grid->OnClipboardPaste(this, allow);
    if (allow && m_grid->OnClipboardBeforePasteCell)
        m_grid->OnClipboardBeforePasteCell(this, m_grid->col(), m_grid->row(), paste, allow);
    if (!allow)
        return;
    // A line break that ends the text (a copied cell) is not pasted; one inside it is.
    const qsizetype crlf = paste.indexOf(QStringLiteral("\r\n"));
    if (crlf >= 0 && crlf == paste.size() - 2)
        paste.chop(2);
    const bool replaced = hasSelectedText();
    const int start = SelStart();
    QString t = text();
    t.replace(start, SelLength(), paste);
    setText(t);
    m_grid->SetCurrentCellText(t);
    if (replaced)
        setSelection(start, int(paste.size()));
    else
        setCursorPosition(start + int(paste.size()));
}

void TGridEditBtn::KeyPress(QChar& key)
{
    if (m_grid->OnKeyPress)
        m_grid->OnKeyPress(m_grid, key);
    if (key.unicode() == 9)
        key = QChar();
    if (!key.isNull())
        TXgrEditBtn::KeyPress(key);
}

bool TGridEditBtn::CommitAndValidate(quint16& key, bool selectAll)
{
    const bool valid = m_grid->EditorCommit(text());
    setText(m_grid->m_newCellText);
    if (valid)
        return true;
    if (selectAll)
        this->selectAll();
    else
        end(false);
    update();
    key = 0;
    return false;
}

void TGridEditBtn::KeyDown(quint16& key, TShiftState shift)
{
    const bool leaves = EditorKeyLeaves(TGridEditorControl::EditBtn, key);
    if (!leaves && m_grid->onKeyDown)
        m_grid->onKeyDown(m_grid, key, shift);
    WorkMode = key != VK_BACK && key != VK_DELETE;
    m_selKeyDown = SelStart();
    if (shift.testFlag(ssCtrl) || !leaves) {
        TXgrEditBtn::KeyDown(key, shift);
        return;
    }
    if (OnKeyDown)
        OnKeyDown(this, key, shift);
    const TEditorType kind = m_grid->EditControl();
    if (key == VK_TAB || key == VK_RETURN || key == VK_UP || key == VK_DOWN) {
        if (!CommitAndValidate(key, true)) {
            m_grid->m_editControl = kind;
            return;
        }
    }
    if (key == VK_TAB && m_grid->HandlesTabKey()) {
        if (!CommitAndValidate(key, false))
            return;
        if (m_grid->EditorTabHandOver(shift)) {
            key = 0;
            return;
        }
    }
    if (key == VK_ESCAPE)
        setText(m_grid->m_cellCache);
    m_grid->DoneInplaceEdit(key, shift);
    key = 0;
}

void TGridEditBtn::KeyUp(quint16& key, TShiftState shift)
{
    if (m_grid->onKeyUp)
        m_grid->onKeyUp(m_grid, key, shift);
    const bool noModifier = !(shift & (ssShift | ssCtrl | ssAlt));
    if (m_grid->Navigation.CursorWalkEditor && noModifier && SelLength() == 0) {
        if (key == VK_RIGHT && SelStart() == int(text().size())) {
            key = 0;
            m_grid->EditorCursorWalk(true, text());
            return;
        }
        if (key == VK_LEFT && m_selKeyDown == 0) {
            key = 0;
            m_grid->EditorCursorWalk(false, text());
            return;
        }
    }
    if (key != VK_RETURN)
        TXgrEditBtn::KeyUp(key, shift);
    LookupCompletion();
}

void TGridEditBtn::LookupCompletion()
{
    if (!WorkMode || SelLength() > 0 || !m_grid->Lookup)
        return;
    const platform::TStringList& items = m_grid->LookupItems();
    if (items.Count() == 0)
        return;
    const bool cs = m_grid->LookupCaseSensitive;
    const QString typed = text();
    const int prefixLength = SelStart();
    if (prefixLength <= 0)
        return;
    const QString prefix = cs ? typed.left(prefixLength) : typed.left(prefixLength).toUpper();
    for (int i = 0; i < items.Count(); ++i) {
        const QString entry = items.Strings(i);
        if (!(cs ? entry : entry.toUpper()).startsWith(prefix))
            continue;
        const QString completed = typed.left(prefixLength) + entry.mid(prefixLength, 255);
        setText(completed);
        setSelection(prefixLength, int(completed.size()) - prefixLength);
        return;
    }
}

void TGridEditBtn::DblClick()
{
    TXgrEditBtn::DblClick();
    if (m_grid->OnDblClickCell)
        m_grid->OnDblClickCell(m_grid, m_grid->row(), m_grid->col());
}

void TGridEditBtn::Change()
{
    TXgrEditBtn::Change();
    m_grid->EditorTextChanged(text());
    if (m_grid->OnEditChange)
        m_grid->OnEditChange(m_grid, m_grid->col(), m_grid->row(), text());
}

void TGridEditBtn::DoExit()
{
    TXgrEditBtn::DoExit();
    m_grid->EditorExit();
}

// --- TGridUnitEditBtn ------------------------------------------------------------------------------------

TGridUnitEditBtn::TGridUnitEditBtn(TExtStringGridEdit* grid) : TXgrUnitEditBtn(grid->viewport()), m_grid(grid)
{
    OnClickBtn = [this](QObject*) {
        QString out;
        m_grid->EllipsClick(text(), out);
        setText(out);
        selectAll();
        update();
    };
    OnUnitChanged = [this](QObject*, const QString& unit) { m_grid->UnitChanged(this, unit); };
}

void TGridUnitEditBtn::SetColorTones(const TColorTones& tones)
{
    SetButtonTones(*Button(), tones);
    Button()->update();
}

bool TGridUnitEditBtn::WantSpecialKey(quint16 key)
{
    return m_grid->EditorClaims(TGridEditorControl::UnitEditBtn, key);
}

void TGridUnitEditBtn::WMChar(TWMKey& msg)
{
    if (msg.CharCode == 13) {
        msg.Result = 0;
        msg.CharCode = 0;
        return;
    }
    if (filterEditBtnChar(m_grid->EditControl(), this, msg, KeyShift().testFlag(ssCtrl)))
        TXgrUnitEditBtn::WMChar(msg);
}

void TGridUnitEditBtn::ShowStored()
{
    const QString stored = m_grid->CurrentCell();
    SetUnitID(QString());
    setText(stored);
    SetTextAndUnit(stored);
}

void TGridUnitEditBtn::KeyDown(quint16& key, TShiftState shift)
{
    if (!EditorKeyLeaves(TGridEditorControl::UnitEditBtn, key)) {
        TXgrUnitEditBtn::KeyDown(key, shift);
        return;
    }
    if (key == VK_TAB || key == VK_RETURN || key == VK_UP || key == VK_DOWN) {
        const bool valid = m_grid->EditorCommit(TextAndUnit());
        ShowStored();
        if (!valid) {
            key = 0;
            return;
        }
    }
    if (key == VK_RETURN && m_grid->Navigation.AdvanceOnEnter) {
        m_grid->HideInplaceEdit();
        m_grid->setFocus(Qt::OtherFocusReason);
        key = 0;
        m_grid->AdvanceEdit(m_grid->col(), m_grid->row(), true, false, true, true, false);
        return;
    }
    if (key == VK_TAB && m_grid->options().testFlag(goTabs)) {
        m_grid->EditorTabHandOver(shift);
        key = 0;
        return;
    }
    if (key == VK_ESCAPE) {
        SetUnitID(QString());
        setText(m_grid->CurrentCell());
    }
    m_grid->DoneInplaceEdit(key, shift);
    key = 0;
}

void TGridUnitEditBtn::DoExit()
{
    TXgrUnitEditBtn::DoExit();
    m_grid->EditorExit();
}

// --- TGridButton -------------------------------------------------------------------------------------------

TGridButton::TGridButton(TExtStringGridEdit* grid) : QPushButton(grid->viewport()), m_grid(grid)
{
    setFocusPolicy(Qt::StrongFocus);
    connect(this, &QPushButton::clicked, this, [this]() { m_grid->ButtonClick(m_grid->col(), m_grid->row()); });
}

void TGridButton::PassCaption()
{
    QString out;
    m_grid->EllipsClick(text(), out);
    setText(out);
    m_grid->SetCurrentCell(out);
}

void TGridButton::Leave(quint16 key)
{
    TWMKey down{key, 0, 0};
    m_grid->wmKeyDown(down);
    hide();
    setEnabled(false);
    m_grid->m_editMode = false;
    m_grid->setFocus(Qt::OtherFocusReason);
    TWMKey up{key, 0, 0};
    m_grid->wmKeyUp(up);
}

void TGridButton::KeyDown(quint16& key, TShiftState)
{
    if (key == VK_LEFT || key == VK_UP || key == VK_RIGHT || key == VK_DOWN) {
        Leave(key);
        key = 0;
    } else if (key == VK_ESCAPE) {
        hide();
        setEnabled(false);
        m_grid->m_editMode = false;
        m_grid->setFocus(Qt::OtherFocusReason);
        m_grid->RestoreCellCache();
        TWMKey down{VK_ESCAPE, 0, 0};
        m_grid->wmKeyDown(down);
        key = 0;
    }
}

void TGridButton::keyPressEvent(QKeyEvent* e)
{
    if (!keyDownFirst(e, [this](quint16& k, TShiftState shift) { KeyDown(k, shift); }))
        QPushButton::keyPressEvent(e);
    e->accept();
}

void TGridButton::keyReleaseEvent(QKeyEvent* e)
{
    QPushButton::keyReleaseEvent(e);
    e->accept();
    if (e->key() == Qt::Key_Space && !e->isAutoRepeat()) {
        PassCaption();
        setFocus(Qt::OtherFocusReason);
        update();
    }
}

void TGridButton::mouseReleaseEvent(QMouseEvent* e)
{
    QPushButton::mouseReleaseEvent(e);
    if (e->button() == Qt::LeftButton && parentWidget() == m_grid->viewport())
        PassCaption();
}

void TGridButton::focusOutEvent(QFocusEvent* e)
{
    QPushButton::focusOutEvent(e);
    if (e->reason() != Qt::PopupFocusReason && e->reason() != Qt::ActiveWindowFocusReason)
        m_grid->EditorExit();
}

} // namespace controls::grid
