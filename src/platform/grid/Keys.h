#pragma once
// The keyboard and mouse vocabulary of the grid controls: virtual key codes with the
// platform's values, the shift state of an event, and the small message records that the
// grid's handlers (wmKeyDown, wmChar, wmLButtonDown ...) receive. Qt events are turned into
// these at the edge of the control, so the grids are written in one vocabulary throughout.
#include <QChar>
#include <QFlags>
#include <QPoint>
#include <QtGlobal>
#include <functional>

class QKeyEvent;
class QMouseEvent;

namespace platform {

// Virtual key codes (the platform's numbering). Letters and digits are their upper-case
// character codes ('A' = 0x41, '0' = 0x30).
constexpr quint16 VK_BACK = 0x08;
constexpr quint16 VK_TAB = 0x09;
constexpr quint16 VK_RETURN = 0x0D;
constexpr quint16 VK_SHIFT = 0x10;
constexpr quint16 VK_CONTROL = 0x11;
constexpr quint16 VK_MENU = 0x12; // Alt
constexpr quint16 VK_PAUSE = 0x13;
constexpr quint16 VK_CAPITAL = 0x14;
constexpr quint16 VK_ESCAPE = 0x1B;
constexpr quint16 VK_SPACE = 0x20;
constexpr quint16 VK_PRIOR = 0x21; // Page Up
constexpr quint16 VK_NEXT = 0x22;  // Page Down
constexpr quint16 VK_END = 0x23;
constexpr quint16 VK_HOME = 0x24;
constexpr quint16 VK_LEFT = 0x25;
constexpr quint16 VK_UP = 0x26;
constexpr quint16 VK_RIGHT = 0x27;
constexpr quint16 VK_DOWN = 0x28;
constexpr quint16 VK_INSERT = 0x2D;
constexpr quint16 VK_DELETE = 0x2E;
constexpr quint16 VK_APPS = 0x5D;
constexpr quint16 VK_NUMPAD0 = 0x60; // .. VK_NUMPAD9 = 0x69
constexpr quint16 VK_MULTIPLY = 0x6A;
constexpr quint16 VK_ADD = 0x6B;
constexpr quint16 VK_SUBTRACT = 0x6D;
constexpr quint16 VK_DECIMAL = 0x6E;
constexpr quint16 VK_DIVIDE = 0x6F;
constexpr quint16 VK_F1 = 0x70; // .. VK_F12 = 0x7B
constexpr quint16 VK_F2 = 0x71;
constexpr quint16 VK_F4 = 0x73;
constexpr quint16 VK_F12 = 0x7B;

// Key data bit set for keys typed on the numeric keypad (the grid tells the keypad's decimal
// key from the main keyboard's full stop by it).
constexpr unsigned kKeyDataKeypad = 0x400000;

enum TShiftStateFlag : unsigned {
    ssShift = 1u << 0,
    ssAlt = 1u << 1,
    ssCtrl = 1u << 2,
    ssLeft = 1u << 3,
    ssRight = 1u << 4,
    ssMiddle = 1u << 5,
    ssDouble = 1u << 6,
};
Q_DECLARE_FLAGS(TShiftState, TShiftStateFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(TShiftState)

enum class TMouseButton { mbLeft, mbRight, mbMiddle };

// WM_KEYDOWN, WM_KEYUP and WM_CHAR. CharCode is the virtual key (key messages) or the UTF-16
// character (WM_CHAR); a handler that sets it to 0 consumes the key. Result is the message
// result (1 = handled).
struct TWMKey {
    quint16 CharCode = 0;
    unsigned KeyData = 0;
    qintptr Result = 0;
};

// Button messages and WM_MOUSEMOVE: position in client pixels and the shift state of the
// event (buttons held and modifier keys).
struct TWMMouse {
    TShiftState Keys;
    int XPos = 0;
    int YPos = 0;
    qintptr Result = 0;
    QPoint pos() const { return QPoint(XPos, YPos); }
};

// WM_MOUSEWHEEL: WheelDelta in the platform's units (120 per notch; positive = away from the
// user), position in client pixels.
struct TWMMouseWheel {
    TShiftState Keys;
    int WheelDelta = 0;
    int XPos = 0;
    int YPos = 0;
    qintptr Result = 0;
};

constexpr int WHEEL_DELTA = 120;

// Scroll codes of WM_HSCROLL and WM_VSCROLL (SB_LINELEFT = SB_LINEUP ...).
enum class TScrollCode {
    SB_LINEUP = 0,
    SB_LINEDOWN = 1,
    SB_PAGEUP = 2,
    SB_PAGEDOWN = 3,
    SB_THUMBPOSITION = 4,
    SB_THUMBTRACK = 5,
    SB_TOP = 6,
    SB_BOTTOM = 7,
    SB_ENDSCROLL = 8,
};

// Dialog codes a control answers to WM_GETDLGCODE: the keys it handles itself instead of
// leaving them to its window (Tab moves the focus, Enter and Escape go to the default and
// cancel buttons).
constexpr int DLGC_WANTARROWS = 0x0001;
constexpr int DLGC_WANTTAB = 0x0002;
constexpr int DLGC_WANTALLKEYS = 0x0004;
constexpr int DLGC_WANTCHARS = 0x0080;

// The virtual key of a key event (0 when it has none, e.g. a pure text input event).
quint16 virtualKeyOf(const QKeyEvent& e);
// The key data of a key event (kKeyDataKeypad for keypad keys).
unsigned keyDataOf(const QKeyEvent& e);
// The characters a key press types, as WM_CHAR would deliver them: the event's text, or for
// Ctrl with a letter the control character (Ctrl+A = 1 .. Ctrl+Z = 26), Backspace 8, Tab 9,
// Enter 13 (Ctrl+Enter 10), Escape 27.
QString charsOf(const QKeyEvent& e);
TShiftState shiftStateOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons = {});

// A Tab (or Shift+Tab) without Ctrl or Alt: the key a window uses to move the focus on.
bool isFocusTab(const QKeyEvent& e);
// Delivers a key press to a control in the platform's order: WM_KEYDOWN with the virtual key (a
// handler that sets CharCode to 0 consumes it), then WM_CHAR for each character the key types.
// False when the key was neither consumed nor typed anything: the control's own handling
// (caret movement, deletion) is left to take it.
bool routeKeyPress(const QKeyEvent& e, const std::function<void(TWMKey&)>& wmKeyDown,
                   const std::function<void(TWMKey&)>& wmChar);
// Delivers a key release as WM_KEYUP; false when there is no virtual key or it was not consumed.
bool routeKeyRelease(const QKeyEvent& e, const std::function<void(TWMKey&)>& wmKeyUp);

} // namespace platform
