#include "platform/grid/Keys.h"

#include <QKeyEvent>
#include <QString>

namespace platform {

quint16 virtualKeyOf(const QKeyEvent& e)
{
    const int k = e.key();
    const bool keypad = e.modifiers().testFlag(Qt::KeypadModifier);
    if (keypad) {
        if (k >= Qt::Key_0 && k <= Qt::Key_9)
            return quint16(VK_NUMPAD0 + (k - Qt::Key_0));
        switch (k) {
        case Qt::Key_Asterisk: return VK_MULTIPLY;
        case Qt::Key_Plus: return VK_ADD;
        case Qt::Key_Minus: return VK_SUBTRACT;
        case Qt::Key_Period:
        case Qt::Key_Comma: return VK_DECIMAL;
        case Qt::Key_Slash: return VK_DIVIDE;
        default: break;
        }
    }
    if (k >= Qt::Key_A && k <= Qt::Key_Z)
        return quint16('A' + (k - Qt::Key_A));
    if (k >= Qt::Key_0 && k <= Qt::Key_9)
        return quint16('0' + (k - Qt::Key_0));
    if (k >= Qt::Key_F1 && k <= Qt::Key_F12)
        return quint16(VK_F1 + (k - Qt::Key_F1));
    switch (k) {
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Alt: return VK_MENU;
    case Qt::Key_Pause: return VK_PAUSE;
    case Qt::Key_CapsLock: return VK_CAPITAL;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Insert: return VK_INSERT;
    case Qt::Key_Delete: return VK_DELETE;
    case Qt::Key_Menu: return VK_APPS;
    default: return 0;
    }
}

unsigned keyDataOf(const QKeyEvent& e)
{
    return e.modifiers().testFlag(Qt::KeypadModifier) ? kKeyDataKeypad : 0u;
}

QString charsOf(const QKeyEvent& e)
{
    const int k = e.key();
    const Qt::KeyboardModifiers m = e.modifiers();
    switch (k) {
    case Qt::Key_Backspace: return QString(QChar(8));
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return QString(QChar(9));
    case Qt::Key_Return:
    case Qt::Key_Enter: return QString(QChar(m.testFlag(Qt::ControlModifier) ? 10 : 13));
    case Qt::Key_Escape: return QString(QChar(27));
    default: break;
    }
    if (m.testFlag(Qt::ControlModifier) && !m.testFlag(Qt::AltModifier) && k >= Qt::Key_A && k <= Qt::Key_Z)
        return QString(QChar(char16_t(1 + (k - Qt::Key_A))));
    QString t = e.text();
    // Keys without a character (arrows, F-keys) may carry a control character as text on
    // some platforms; only printable text types anything.
    if (t.size() == 1 && t.at(0).unicode() < 32 && t.at(0).unicode() != 8)
        return QString();
    if (t.size() == 1 && t.at(0).unicode() == 127)
        return QString();
    return t;
}

TShiftState shiftStateOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons)
{
    TShiftState s;
    if (modifiers.testFlag(Qt::ShiftModifier))
        s |= ssShift;
    if (modifiers.testFlag(Qt::AltModifier))
        s |= ssAlt;
    if (modifiers.testFlag(Qt::ControlModifier))
        s |= ssCtrl;
    if (buttons.testFlag(Qt::LeftButton))
        s |= ssLeft;
    if (buttons.testFlag(Qt::RightButton))
        s |= ssRight;
    if (buttons.testFlag(Qt::MiddleButton))
        s |= ssMiddle;
    return s;
}

bool isFocusTab(const QKeyEvent& e)
{
    return (e.key() == Qt::Key_Tab || e.key() == Qt::Key_Backtab)
           && !(e.modifiers() & (Qt::ControlModifier | Qt::AltModifier));
}

bool routeKeyPress(const QKeyEvent& e, const std::function<void(TWMKey&)>& wmKeyDown,
                   const std::function<void(TWMKey&)>& wmChar)
{
    const unsigned keyData = keyDataOf(e);
    if (const quint16 vk = virtualKeyOf(e)) {
        TWMKey msg{vk, keyData, 0};
        wmKeyDown(msg);
        if (msg.CharCode == 0)
            return true;
    }
    const QString chars = charsOf(e);
    for (const QChar ch : chars) {
        TWMKey msg{ch.unicode(), keyData, 0};
        wmChar(msg);
    }
    return !chars.isEmpty();
}

bool routeKeyRelease(const QKeyEvent& e, const std::function<void(TWMKey&)>& wmKeyUp)
{
    const quint16 vk = virtualKeyOf(e);
    if (!vk)
        return false;
    TWMKey msg{vk, keyDataOf(e), 0};
    wmKeyUp(msg);
    return msg.CharCode == 0;
}

} // namespace platform
