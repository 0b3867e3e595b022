#pragma once
// TInplaceEdit: the edit box a TStringGrid lays over its current cell. It is a borderless
// child of the grid's client area holding one inner edit control: a multi-line plain-text edit
// (the default; no word wrap unless WordWrap is set), or a one-line edit while an edit mask or
// a password character is set (or MultiLine is off).
//
// Keys reach it as the grid's keys do: wmKeyDown -> KeyDown, wmChar -> KeyPress, wmKeyUp ->
// KeyUp, and what the handlers leave goes to the edit control's own handling.
//   KeyDown: Up, Down, PgUp, PgDn and Escape go to the grid's KeyDown (and are consumed);
//   Insert without Shift/Ctrl/Alt too. Left/Home and Right/End go to the grid only with
//   goAlwaysShowEditor and Ctrl, or at the start (end) of the text with nothing or everything
//   selected. Tab (not with Alt) and Ctrl+Delete go to the grid. F2 raises the grid's
//   OnKeyDown and then puts the caret at the end. Delete and Shift+Insert do nothing when the
//   grid answers CanEditModify false. Every key not consumed raises the grid's OnKeyDown.
//   KeyPress: the grid's KeyPress sees the character first; a character of code 32 or above
//   that the grid's CanEditAcceptKey refuses is dropped with a beep; Tab and Escape are
//   dropped; Enter selects the whole text (or, when it is all selected, puts the caret at
//   the end); Backspace, Ctrl+V, Ctrl+X and typed characters are dropped when CanEditModify
//   is false.
//   The edit control's own character handling inserts typed characters (at most MaxLength
//   characters when MaxLength > 0; with an edit mask only where the mask allows), Backspace
//   deletes, Ctrl+C / Ctrl+X / Ctrl+V / Ctrl+Z copy, cut, paste and undo, Enter and Ctrl+Enter
//   break the line of a multi-line editor. Cut, copy and paste (also Shift+Delete,
//   Ctrl+Insert, Shift+Insert) go through wmCut/wmCopy/wmPaste; paste and cut do nothing
//   when CanEditModify is false.
//   The editor takes Tab only when the grid has goTabs (wmGetDlgCode); otherwise Tab moves
//   the focus to the control after the grid.
// Each change the user makes to the text goes to the grid (its editorChanged, which stores
// the text in the cell); setting Text from code runs Change instead. A text with CR LF line
// breaks keeps them: it is edited with plain line breaks and read back with CR LF.
//
// Edit masks use the platform's syntax "mask;saveLiterals;blank": 0 required digit, 9
// optional digit, # optional digit or sign, L/l letter, A/a letter or digit, C/c any
// character (upper case required, lower case optional), > upper-cases and < lower-cases the
// following characters, <> stops that, \ makes the next character a literal, ! (leading
// blanks) is accepted and ignored; every other character is a literal. With saveLiterals "0"
// Text leaves the literals out; the blank character (default "_") shows empty positions.
#include "platform/draw/Canvas.h"
#include "platform/grid/Keys.h"

#include <QMargins>
#include <QPoint>
#include <QString>
#include <QWidget>

class QLineEdit;
class QPlainTextEdit;

namespace platform {

class TStringGrid;

// The input mask for the edit control from a mask in the platform's syntax, and whether the
// literals belong to the text.
struct EditMaskPattern {
    QString qtMask;
    bool saveLiterals = true;
};
EditMaskPattern translateEditMask(const QString& mask);

class TInplaceEdit : public QWidget {
    Q_OBJECT
    friend class TStringGrid;

public:
    explicit TInplaceEdit(TStringGrid* grid);
    ~TInplaceEdit() override;

    TStringGrid* grid() const { return m_grid; }
    // The inner edit control (a QLineEdit or a QPlainTextEdit); it holds the keyboard focus.
    QWidget* editWidget() const { return m_edit; }

    QString text() const;
    void setText(const QString& text);
    int selStart() const;
    int selLength() const;
    void setSel(int start, int length);
    void selectAll();
    // No selection, caret at the end of the text.
    void deselect();
    // 0 = no limit; -1 = the text cannot be modified (the grid's CanEditModify is false).
    int maxLength() const { return m_maxLength; }
    void setMaxLength(int value);
    QString editMask() const { return m_editMask; }
    void setEditMask(const QString& mask);
    QChar passwordChar() const { return m_passwordChar; }
    void setPasswordChar(QChar ch);
    bool multiLine() const { return m_multiLine; }
    void setMultiLine(bool on);
    bool wordWrap() const { return m_wordWrap; }
    void setWordWrap(bool on);
    Alignment alignment() const { return m_alignment; }
    void setAlignment(Alignment a);
    // Room between the editor's edges and its text (the formatting rectangle).
    void setTextMargins(int left, int top, int right, int bottom);
    // Line of the caret and number of lines as shown (wrapped lines count), from 0 / at least 1.
    int caretLine() const;
    int lineCount() const;
    // Character index under a point of the editor, and the point of a character.
    int charFromPos(QPoint p) const;
    QPoint posFromChar(int index) const;

    // --- the grid's side ---------------------------------------------------------------------
    // Loads mask, text and limit of the grid's current cell.
    virtual void updateContents();
    // Places the editor at a cell rectangle and shows it (an empty rectangle hides it); it
    // takes the focus when the grid has it.
    void moveTo(const Rect& loc);
    void updateLoc(const Rect& loc);
    // Hides the editor window; when it had the focus, the grid takes it.
    void hideEditor();
    bool posEqual(const Rect& loc) const;
    void setEditFocus();
    // The text changed (from code, or as the grid passes the user's changes on); empty here.
    virtual void change();

protected:
    virtual void boundsChanged();
    virtual void keyDown(quint16& key, TShiftState shift);
    // Hands the key to the grid's own key handling (which may move the current cell); the key
    // is then used up.
    void sendKeyToGrid(quint16& key, TShiftState shift);
    virtual void keyPress(QChar& key);
    virtual void keyUp(quint16& key, TShiftState shift);
    virtual void dblClick();
    virtual void wmKeyDown(TWMKey& msg);
    virtual void wmKeyUp(TWMKey& msg);
    virtual void wmChar(TWMKey& msg);
    virtual void wmSetFocus();
    // next: the widget that takes the focus (nullptr when it leaves the program).
    virtual void wmKillFocus(QWidget* next);
    virtual void wmPaste();
    virtual void wmCut();
    virtual void wmCopy();
    virtual int wmGetDlgCode();
    // The edit control's own handling of a character (insert, Backspace, clipboard keys).
    void defaultChar(QChar ch);

    bool eventFilter(QObject* watched, QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void rebuild();
    bool wantsSingleLine() const;
    void internalMove(const Rect& loc);
    void userChanged();
    void insertText(const QString& s);
    void replaceSelection(const QString& s);
    QString rawText() const;
    int shownLength() const;
    void focusNextControl(bool forward);

    TStringGrid* m_grid;
    QWidget* m_edit = nullptr;
    QLineEdit* m_line = nullptr;
    QPlainTextEdit* m_plain = nullptr;
    int m_maxLength = 0;
    QString m_editMask;
    EditMaskPattern m_mask;
    QChar m_passwordChar;
    bool m_multiLine = true;
    bool m_wordWrap = false;
    bool m_crlf = false;
    Alignment m_alignment = Alignment::taLeftJustify;
    QMargins m_margins;
    int m_settingText = 0;
};

} // namespace platform
