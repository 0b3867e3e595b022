#pragma once
// The grid's editor controls besides the combo: each binds one control to the grid that owns it
// and follows the editors' key protocol (GridEdit.h, EditorKeyRules.h): the keys it claims reach
// it before the window; a leaving key writes the value into the current cell and validates it
// (a refused value keeps the control open on the cell's text), Tab with goTabs walks on to the
// next cell, Enter moves on as the grid's Enter does, Escape ends the edit and the cell keeps the
// text it had; losing the focus to another control ends the edit and writes the value back.
//
//   TGridCheckBox        edCheckBox: Space and a click toggle it; writes nothing itself.
//   TGridSpin            edSpinEdit, edFloatSpinEdit, edDateSpinEdit, edTimeSpinEdit: arrows and
//                        the arrow buttons step (OnSpinClick, OnFloatSpinClick, OnDateSpinClick,
//                        OnTimeSpinClick follow each step); Home and End set the maximum and the
//                        minimum of a number.
//   TGridDatePicker      edDateEdit, edDateEditUpDown, edTimeEdit: a digit that changed the value
//                        moves on to the next field (not past the format's last field).
//   TGridDateTimePicker  edDateTimeEdit: the date with its time field.
//   TGridEditBtn         edEditBtn, edNumericEditBtn, edFloatEditBtn, edMaskEditBtn: the button
//                        and F4 pass the text through OnEllipsClick; typed characters are
//                        filtered by kind; a paste goes through OnClipboardPaste and
//                        OnClipboardBeforePasteCell; the grid's LookupItems complete the text.
//   TGridUnitEditBtn     edUnitEditBtn, edNumericUnitEditBtn, edFloatUnitEditBtn: value and unit,
//                        stored joined ("12.5kWh"); a changed unit raises OnUnitChanged.
//   TGridButton          edButton: a push button over the cell whose release passes the caption
//                        through OnEllipsClick into the cell; arrows and Escape leave it.
#include "controls/grid/edit/EditorKeyRules.h"
#include "controls/grid/edit/GridEdit.h"
#include "controls/grid/editors/ExtDateTimePicker.h"
#include "controls/grid/editors/XgrDateTimePicker.h"
#include "controls/grid/editors/XgrEdit.h"
#include "controls/grid/editors/XgrSpin.h"

#include <QCheckBox>
#include <QPushButton>
#include <optional>

namespace controls::grid {

class TGridCheckBox : public QCheckBox {
    Q_OBJECT

public:
    explicit TGridCheckBox(TExtStringGridEdit* grid);
    TExtStringGridEdit* Grid() const { return m_grid; }
    void Toggle() { setChecked(!isChecked()); }
    // Recreates the window after a change of style (nothing to recreate here).
    void ReCreate() {}
    void KeyDown(quint16& key, platform::TShiftState shift);

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    TExtStringGridEdit* m_grid;
};

class TGridSpin : public TXgrSpinEdit, public IVekkoTones {
    Q_OBJECT

public:
    explicit TGridSpin(TExtStringGridEdit* grid);
    // The grid's tones colour the spin buttons.
    void SetColorTones(const TColorTones& tones) override;
    TExtStringGridEdit* Grid() const { return m_grid; }
    void ReCreate() {}
    void UpClick(QObject* sender) override;
    void DownClick(QObject* sender) override;

protected:
    bool WantSpecialKey(quint16 key) override;
    void WMChar(TWMKey& msg) override;
    void KeyPress(QChar& key) override;
    void KeyDown(quint16& key, TShiftState shift) override;
    void Change() override;
    void DoExit() override;

private:
    void FireSpinClick(bool up);
    TExtStringGridEdit* m_grid;
};

class TGridDatePicker : public TXgrDateTimePicker, public IVekkoTones {
    Q_OBJECT

public:
    explicit TGridDatePicker(TExtStringGridEdit* grid);
    // The grid's tones: the button colours, the background brush as the border, and the flat
    // metro drawing.
    void SetColorTones(const TColorTones& tones) override;
    TExtStringGridEdit* Grid() const { return m_grid; }
    // A new window: the input starts again in the first field.
    void ReCreate();
    bool OldDropped() const { return m_oldDropped; }
    // The picker's value as the cell takes it: its text, or nothing while unchecked.
    QString CellText() const { return Checked() ? Text() : QString(); }

protected:
    bool WantSpecialKey(quint16 key) override;
    void WMNotify(platform::TDTNotify& msg) override;
    void KeyPress(QChar& key) override;
    void KeyDown(quint16& key, TShiftState shift) override;
    void DoExit() override;
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

private:
    // Sets the picker from a cell's text; the present date and time when it is none.
    void ShowText(const QString& text);
    bool CommitAndValidate(quint16& key, bool enter);
    TExtStringGridEdit* m_grid;
    TDateParts m_date;
    TTimeParts m_time;
    bool m_oldDropped = false;
};

class TGridDateTimePicker : public TExtDateTimePicker {
    Q_OBJECT

public:
    explicit TGridDateTimePicker(TExtStringGridEdit* grid);
    TExtStringGridEdit* Grid() const { return m_grid; }
    // The value as the cell takes it: short date, a space and short time; nothing while unchecked.
    QString CellText();

protected:
    bool WantSpecialKey(quint16 key) override;
    void KeyDown(quint16& key, TShiftState shift) override;

private:
    TExtStringGridEdit* m_grid;
};

// What the edits with a button share: the ellipsis button, the key protocol and the grid events.
class TGridEditBtn : public TXgrEditBtn, public IVekkoTones {
    Q_OBJECT

public:
    explicit TGridEditBtn(TExtStringGridEdit* grid);
    // The grid's tones colour the button.
    void SetColorTones(const TColorTones& tones) override;
    TExtStringGridEdit* Grid() const { return m_grid; }
    void ReCreate() {}
    bool WorkMode = true;
    bool StopEditAfterClick = false;
    int SelKeyDown() const { return m_selKeyDown; }

protected:
    bool WantSpecialKey(quint16 key) override;
    void WMChar(TWMKey& msg) override;
    void WMPaste() override;
    void KeyPress(QChar& key) override;
    void KeyDown(quint16& key, TShiftState shift) override;
    void KeyUp(quint16& key, TShiftState shift) override;
    void DblClick() override;
    void Change() override;
    void DoExit() override;

private:
    void ButtonClicked();
    bool CommitAndValidate(quint16& key, bool selectAll);
    void LookupCompletion();
    TExtStringGridEdit* m_grid;
    int m_selKeyDown = 0;
};

class TGridUnitEditBtn : public TXgrUnitEditBtn, public IVekkoTones {
    Q_OBJECT

public:
    explicit TGridUnitEditBtn(TExtStringGridEdit* grid);
    // The grid's tones colour the button.
    void SetColorTones(const TColorTones& tones) override;
    TExtStringGridEdit* Grid() const { return m_grid; }
    void ReCreate() {}

protected:
    bool WantSpecialKey(quint16 key) override;
    void WMChar(TWMKey& msg) override;
    void KeyDown(quint16& key, TShiftState shift) override;
    void DoExit() override;

private:
    // Shows a cell's stored text split into value and unit.
    void ShowStored();
    TExtStringGridEdit* m_grid;
};

class TGridButton : public QPushButton {
    Q_OBJECT

public:
    explicit TGridButton(TExtStringGridEdit* grid);
    TExtStringGridEdit* Grid() const { return m_grid; }
    void ReCreate() {}
    void KeyDown(quint16& key, platform::TShiftState shift);

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    void PassCaption();
    // Hides the button and hands the key to the grid.
    void Leave(quint16 key);
    TExtStringGridEdit* m_grid;
};

} // namespace controls::grid
