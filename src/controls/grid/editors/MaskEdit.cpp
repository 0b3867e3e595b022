#include "controls/grid/editors/MaskEdit.h"

#include "platform/grid/InplaceEdit.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>

namespace controls::grid {

using namespace platform;

TExtMaskEdit::TExtMaskEdit(QWidget* parent) : QLineEdit(parent)
{
    setMaxLength(32767);
    connect(this, &QLineEdit::textChanged, this, [this](const QString&) { Change(); });
}

void TExtMaskEdit::SetText(const QString& t)
{
    if (t == text())
        return;
    setText(t);
}

int TExtMaskEdit::SelStart() const { return hasSelectedText() ? selectionStart() : cursorPosition(); }

void TExtMaskEdit::SetSelStart(int start)
{
    setCursorPosition(start);
}

int TExtMaskEdit::SelLength() const { return hasSelectedText() ? int(selectedText().size()) : 0; }

void TExtMaskEdit::SetSelLength(int length)
{
    const int start = SelStart();
    setSelection(start, length);
}

void TExtMaskEdit::SetMaxLength(int length)
{
    m_maxLength = length < 0 ? 0 : length;
    setMaxLength(m_maxLength > 0 ? m_maxLength : 32767);
}

void TExtMaskEdit::SetEditMask(const QString& mask)
{
    m_editMask = mask;
    setInputMask(mask.isEmpty() ? QString() : translateEditMask(mask).qtMask);
}

void TExtMaskEdit::SetBorderStyle(TBorderStyle style)
{
    m_borderStyle = style;
    setFrame(style == bsSingle);
}

void TExtMaskEdit::SetColor(Color c)
{
    m_color = c;
    ApplyColor();
}

void TExtMaskEdit::ApplyColor()
{
    const QColor c = toQColor(colorToRgb(m_color));
    if (!c.isValid())
        return;
    QPalette p = palette();
    p.setColor(QPalette::Base, c);
    setPalette(p);
}

// --- the message handlers -----------------------------------------------------------------------

void TExtMaskEdit::WMKeyDown(TWMKey& msg)
{
    quint16 key = msg.CharCode;
    KeyDown(key, m_keyShift);
    msg.CharCode = key;
}

void TExtMaskEdit::KeyDown(quint16& key, TShiftState shift)
{
    if (OnKeyDown)
        OnKeyDown(this, key, shift);
}

void TExtMaskEdit::WMChar(TWMKey& msg)
{
    QChar key(char16_t(msg.CharCode));
    KeyPress(key);
    msg.CharCode = key.unicode();
    if (!key.isNull())
        DefaultChar(key);
}

void TExtMaskEdit::KeyPress(QChar& key)
{
    if (OnKeyPress)
        OnKeyPress(this, key);
}

void TExtMaskEdit::WMKeyUp(TWMKey& msg)
{
    quint16 key = msg.CharCode;
    KeyUp(key, m_keyShift);
    msg.CharCode = key;
}

void TExtMaskEdit::KeyUp(quint16& key, TShiftState shift)
{
    if (OnKeyUp)
        OnKeyUp(this, key, shift);
}

void TExtMaskEdit::WMPaste()
{
    if (!isReadOnly())
        paste();
}

void TExtMaskEdit::WMCut()
{
    if (!isReadOnly())
        cut();
}

void TExtMaskEdit::WMCopy() { copy(); }

void TExtMaskEdit::Change()
{
    if (OnChange)
        OnChange(this);
}

bool TExtMaskEdit::WantSpecialKey(quint16) { return false; }

void TExtMaskEdit::DoEnter()
{
    if (OnEnter)
        OnEnter(this);
}

void TExtMaskEdit::DoExit()
{
    if (OnExit)
        OnExit(this);
}

void TExtMaskEdit::DblClick()
{
    if (OnDblClick)
        OnDblClick(this);
}

bool TExtMaskEdit::PlaceRightButton(QWidget* button, int minHeight)
{
    if (height() < minHeight) {
        resize(width(), minHeight);
        return false;
    }
    const int d = m_borderStyle == bsNone ? 1 : 5;
    button->setGeometry(width() - button->width() - d, 0, button->width(), height() - d);
    return true;
}

void TExtMaskEdit::DefaultChar(QChar ch)
{
    switch (ch.unicode()) {
    case 1: selectAll(); return;
    case 3: WMCopy(); return;
    case 22: WMPaste(); return;
    case 24: WMCut(); return;
    case 26:
        if (!isReadOnly())
            undo();
        return;
    case 8:
        if (!isReadOnly())
            backspace();
        return;
    default:
        break;
    }
    if (ch.unicode() < 32)
        return;
    // The edit control types the character itself, so that an edit mask steps over its literals
    // and the length limit holds.
    QKeyEvent typed(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
    QLineEdit::keyPressEvent(&typed);
}

// --- Qt events ------------------------------------------------------------------------------------

bool TExtMaskEdit::event(QEvent* e)
{
    if (e->type() == QEvent::KeyPress && isFocusTab(*static_cast<QKeyEvent*>(e)) && WantSpecialKey(VK_TAB)) {
        keyPressEvent(static_cast<QKeyEvent*>(e));
        return true;
    }
    return QLineEdit::event(e);
}

void TExtMaskEdit::keyPressEvent(QKeyEvent* e)
{
    m_keyShift = shiftStateOf(e->modifiers());
    e->accept();
    if (routeKeyPress(*e, [this](TWMKey& m) { WMKeyDown(m); }, [this](TWMKey& m) { WMChar(m); }))
        return;
    if (e->matches(QKeySequence::Paste)) {
        WMPaste();
        return;
    }
    if (e->matches(QKeySequence::Cut)) {
        WMCut();
        return;
    }
    if (e->matches(QKeySequence::Copy)) {
        WMCopy();
        return;
    }
    QLineEdit::keyPressEvent(e);
    // A key the edit has no use for ends here, as in a window of its own: it never reaches the
    // control the edit lies on.
    e->accept();
}

void TExtMaskEdit::keyReleaseEvent(QKeyEvent* e)
{
    m_keyShift = shiftStateOf(e->modifiers());
    if (!routeKeyRelease(*e, [this](TWMKey& m) { WMKeyUp(m); }))
        QLineEdit::keyReleaseEvent(e);
    e->accept();
}

void TExtMaskEdit::focusInEvent(QFocusEvent* e)
{
    m_focusByLeftClick = e->reason() == Qt::MouseFocusReason && (QApplication::mouseButtons() & Qt::LeftButton);
    QLineEdit::focusInEvent(e);
    if (AutoSelect && !m_focusByLeftClick)
        selectAll();
    DoEnter();
}

void TExtMaskEdit::focusOutEvent(QFocusEvent* e)
{
    QLineEdit::focusOutEvent(e);
    // A popup (a menu of the control itself) or another window taking the activation leaves
    // the control the window's focused control: only a move of the focus to another control
    // exits it.
    if (e->reason() != Qt::PopupFocusReason && e->reason() != Qt::ActiveWindowFocusReason)
        DoExit();
}

void TExtMaskEdit::mouseDoubleClickEvent(QMouseEvent* e)
{
    QLineEdit::mouseDoubleClickEvent(e);
    DblClick();
}

void TExtMaskEdit::contextMenuEvent(QContextMenuEvent* e)
{
    // The cell editors have no menu of their own.
    e->accept();
}

} // namespace controls::grid
