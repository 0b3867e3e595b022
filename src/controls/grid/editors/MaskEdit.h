#pragma once
// TExtMaskEdit: the one-line masked edit box the spin editor and the edits with a button are
// built on: a QLineEdit whose keys arrive in the platform's order, so that the editors (and
// the grid's descendants of them) are written as the platform's edit controls are:
//   key press  -> WMKeyDown (virtual key) -> KeyDown -> OnKeyDown; a handler that sets the key
//                 to 0 consumes it;
//   then, for a key that types a character -> WMChar -> KeyPress -> OnKeyPress -> the edit
//                 control's own character handling (DefaultChar: insert, Backspace, Ctrl+A,
//                 Ctrl+C, Ctrl+V, Ctrl+X, Ctrl+Z);
//   otherwise the edit control moves the caret or deletes (Shift+Delete, Shift+Insert and
//                 Ctrl+Insert go to WMCut, WMPaste and WMCopy);
//   key release -> WMKeyUp -> KeyUp -> OnKeyUp.
// Every change of the text, by the user or from code, runs Change (OnChange). Tab reaches the
// control only when WantSpecialKey answers true for it; otherwise it moves the focus on, as in a
// dialog. A key event that carries only text (no key) arrives as WM_CHAR alone: that is how a
// character posted to the control is typed.
//
// Focus: DoEnter runs when the control takes the focus (after AutoSelect has selected the whole
// text, unless the focus came with a left mouse click), DoExit when it loses it.
//
// EditMask uses the platform's mask syntax (see platform/grid/InplaceEdit.h).
#include "platform/draw/Color.h"
#include "platform/grid/Keys.h"

#include <QLineEdit>
#include <functional>

namespace controls::grid {

using platform::Color;
using platform::TShiftState;
using platform::TWMKey;

enum TBorderStyle { bsNone, bsSingle };

class TExtMaskEdit : public QLineEdit {
    Q_OBJECT

public:
    using NotifyEvent = std::function<void(QObject* sender)>;
    using KeyEvent = std::function<void(QObject* sender, quint16& key, TShiftState shift)>;
    using KeyPressEvent = std::function<void(QObject* sender, QChar& key)>;

    explicit TExtMaskEdit(QWidget* parent = nullptr);

    QString Text() const { return text(); }
    void SetText(const QString& text);
    int SelStart() const;
    void SetSelStart(int start);
    int SelLength() const;
    void SetSelLength(int length);
    QString SelText() const { return selectedText(); }
    void SelectAll() { selectAll(); }
    bool ReadOnly() const { return isReadOnly(); }
    void SetReadOnly(bool on) { setReadOnly(on); }
    // 0 = no limit.
    int MaxLength() const { return m_maxLength; }
    void SetMaxLength(int length);
    QString EditMask() const { return m_editMask; }
    void SetEditMask(const QString& mask);
    TBorderStyle BorderStyle() const { return m_borderStyle; }
    virtual void SetBorderStyle(TBorderStyle style);
    Color GetColor() const { return m_color; }
    void SetColor(Color c);
    bool AutoSelect = true;
    bool Ctl3D = true;

    NotifyEvent OnChange;
    NotifyEvent OnEnter;
    NotifyEvent OnExit;
    NotifyEvent OnDblClick;
    KeyEvent OnKeyDown;
    KeyEvent OnKeyUp;
    KeyPressEvent OnKeyPress;

    // The shift state of the key being handled.
    TShiftState KeyShift() const { return m_keyShift; }

protected:
    virtual void WMKeyDown(TWMKey& msg);
    virtual void KeyDown(quint16& key, TShiftState shift);
    virtual void WMChar(TWMKey& msg);
    virtual void KeyPress(QChar& key);
    virtual void WMKeyUp(TWMKey& msg);
    virtual void KeyUp(quint16& key, TShiftState shift);
    virtual void WMPaste();
    virtual void WMCut();
    virtual void WMCopy();
    virtual void Change();
    // Whether the control takes a key the window would use (Tab) itself.
    virtual bool WantSpecialKey(quint16 key);
    virtual void DoEnter();
    virtual void DoExit();
    virtual void DblClick();
    // The edit control's own handling of a character.
    void DefaultChar(QChar ch);
    // The focus came with a left mouse click (read in DoEnter).
    bool FocusByLeftClick() const { return m_focusByLeftClick; }
    // After a resize: raises a height below minHeight (false; the next resize places the
    // button), or places the button at the right edge, one pixel in without a border, five with
    // one (true).
    bool PlaceRightButton(QWidget* button, int minHeight);

    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;

private:
    void ApplyColor();

    int m_maxLength = 0;
    QString m_editMask;
    TBorderStyle m_borderStyle = bsSingle;
    Color m_color = platform::clWindow;
    TShiftState m_keyShift;
    bool m_focusByLeftClick = false;
};

} // namespace controls::grid
