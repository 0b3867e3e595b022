#pragma once
// The small editor controls the string grid makes for itself:
//
//   TGridTransEdit, TGridTransCombo  the edit and the combo box laid over a fixed (header) cell.
//       StopEdit validates the text through the grid's OnCellValidate (which may change it):
//       refused, the grid's current cell goes to the edited cell and the control stays open;
//       accepted, OnEditingDone fires, the cell takes the text and the control hides. Leaving
//       the control stops the edit; Enter is swallowed (no beep, no line break). Each change of
//       the text goes to OnChange (the grid fires OnEditChange with the cell and the text).
//   TControlEdit, TControlCombo  the edit and the combo box over a form control embedded in an
//       HTML cell. Enter ends the edit (OnExitEdit) and gives the grid the focus; Tab ends it
//       and moves on: to the next cell with Navigation.AdvanceAuto, else to the cell's next
//       editable control (OnNextControl).
//   TExtRichEdit  a rich edit with sub- and superscript selection, which hands Tab and the
//       vertical arrows back to the grid and, as the grid's in-place rich editor, grows the
//       row while typing (SizeWhileTyping.Height).
#include "controls/grid/editors/XgrCombo.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QTextEdit>
#include <functional>

namespace controls::grid {

class TExtStringGridEdit;

class TGridTransEdit : public QLineEdit {
public:
    explicit TGridTransEdit(TExtStringGridEdit* grid);
    TExtStringGridEdit* Grid() const { return m_grid; }
    int Col = 0;
    int Row = 0;
    // Validates and stores the text; false when the value was refused.
    bool StopEdit();
    std::function<void(QObject* sender)> OnChange;

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    QPointer<TExtStringGridEdit> m_grid;
};

class TGridTransCombo : public QComboBox {
public:
    explicit TGridTransCombo(TExtStringGridEdit* grid);
    TExtStringGridEdit* Grid() const { return m_grid; }
    int Col = 0;
    int Row = 0;
    bool StopEdit();
    std::function<void(QObject* sender)> OnChange;
    // csDropDown (editable) or csDropDownList.
    void SetEditable(bool editable);

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    QPointer<TExtStringGridEdit> m_grid;
};

class TControlEdit : public QLineEdit {
public:
    explicit TControlEdit(TExtStringGridEdit* grid);
    // The platform's edit mask ("" for none) and password character (0 for none).
    void SetEditMask(const QString& mask);
    void SetPasswordChar(QChar c);
    // The text as typed (with an edit mask that keeps no literals, without them).
    QString Text() const;
    std::function<void()> OnExitEdit;
    std::function<void(const QString& currentID)> OnNextControl;
    QString ControlID;

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    bool focusNextPrevChild(bool) override { return false; }

private:
    QPointer<TExtStringGridEdit> m_grid;
    bool m_saveLiterals = true;
};

class TControlCombo : public TXgrComboBox {
public:
    explicit TControlCombo(TExtStringGridEdit* grid);
    std::function<void()> OnExitEdit;
    std::function<void(const QString& currentID)> OnNextControl;
    std::function<void(QObject* sender)> OnSelect;
    QString ControlID;

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    bool focusNextPrevChild(bool) override { return false; }

private:
    QPointer<TExtStringGridEdit> m_grid;
};

class TExtRichEdit : public QTextEdit {
public:
    explicit TExtRichEdit(TExtStringGridEdit* grid);
    TExtStringGridEdit* Grid() const { return m_grid; }
    void ReCreate();
    void SelNormal();
    void SelSubscript();
    void SelSuperscript();
    bool IsSelNormal() const;
    bool IsSelSubscript() const;
    bool IsSelSuperscript() const;
    void Lock() { m_locked = true; }
    void Unlock() { m_locked = false; }
    bool Locked() const { return m_locked; }
    // The size the text last asked for.
    int ReqWidth() const { return m_reqWidth; }
    int ReqHeight() const { return m_reqHeight; }
    // This editor edits the grid's current cell in place (it grows the row while typing).
    bool InPlace = false;
    // A request of the text to take this size (the document's size change calls it).
    void RequestResize(int width, int height);

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    bool focusNextPrevChild(bool) override { return false; }

private:
    void setOffset(int alignment);
    QPointer<TExtStringGridEdit> m_grid;
    bool m_locked = false;
    int m_reqWidth = 0;
    int m_reqHeight = 0;
};

} // namespace controls::grid
