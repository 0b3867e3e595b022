#pragma once
// TEditLink: puts an application's own control into edCustom cells. A descendant fills in the
// editor hooks (CreateEditor makes its control with the parent given, GetEditControl answers it,
// SetEditorValue and GetEditorValue move the value, SetProperties and SetCellProps set it up)
// and wires its control's key-down to EditKeyDown; the link does the rest:
//   - placing: over the cell (esInplace; the control is sized to the cell less the grid line),
//     or on a borderless stay-on-top pop-up window at PopupLeft, PopupTop (the cell's top-left
//     corner on the screen while either is -1), PopupWidth by PopupHeight (the cell's width with
//     AutoPopupWidth); the pop-up window is made once and reused;
//   - while in place with goTabs, Tab reaches EditKeyDown instead of moving the focus;
//   - EditKeyDown: Tab, Enter, Escape, Page Up, Page Down, End and the arrows (any key with Alt)
//     leave the control unless a want flag keeps them (WantKeyUpDown, WantKeyLeftRight,
//     WantKeyHomeEnd, WantKeyPriorNext, WantKeyReturn, WantKeyEscape, WantTabs). Leaving writes
//     the control's value into the cell (Escape the value the cell had when the edit began) and
//     validates it: a refused value reopens the control on the cell; Enter moves on and opens the
//     next cell's editor; an arrow moves the current cell; Tab with Navigation.TabToNextAtEnd walks
//     on and opens the next cell's editor.
#include "controls/grid/edit/EditorKeyRules.h"
#include "platform/draw/Canvas.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

namespace controls::grid {

class TExtStringGridEdit;

enum TEditStyle { esInplace, esPopup };

class TEditLink : public QObject {
    Q_OBJECT
    friend class TExtStringGridEdit;

public:
    explicit TEditLink(QObject* owner = nullptr);
    ~TEditLink() override;

    // The grid using the link (set when an edit starts).
    TExtStringGridEdit* Grid() const { return m_owner; }
    bool WantKeyLeftRight = false;
    bool WantKeyUpDown = false;
    bool WantKeyHomeEnd = false;
    bool WantKeyPriorNext = false;
    bool WantKeyReturn = false;
    bool WantKeyEscape = false;
    bool WantTabs = false;
    bool WantReturns = false; // kept for the descendant; the link does not read it
    TEditStyle EditStyle = esInplace;
    int PopupWidth = 120;
    int PopupHeight = 80;
    bool AutoPopupWidth = false;
    int PopupLeft = -1;
    int PopupTop = -1;
    int Tag = 0;
    QWidget* PopupForm() const { return m_popupForm; }
    QPoint EditCell() const { return m_editCell; }
    bool ForcedExit() const { return m_forcedExit; }
    bool SubClassed() const { return m_subClassed; }

    // The key protocol (see the header comment); a descendant wires its control's key-down here.
    virtual void EditKeyDown(QObject* sender, quint16& key, platform::TShiftState shift);
    virtual QWidget* GetEditControl();
    virtual void CreateEditor(QWidget* parent);
    virtual void DestroyEditor();
    virtual void SetFocus(bool value);
    virtual void SetRect(const platform::Rect& r);
    virtual void SetVisible(bool value);
    virtual void SetProperties();
    virtual void SetCellProps(platform::Color color, const platform::Font& font);
    virtual QString GetEditorValue();
    virtual void SetEditorValue(const QString& value);

    void EditExit(QObject* sender);
    // The pop-up window lost the activation.
    void FormExit(QObject* sender);
    QString GetCellValue();
    void SetCellValue(const QString& value);
    void HideEditor();
    void RestoreWinProc();
    QWidget* GetParent();

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    // Opens the link's control on the cell (the grid's edCustom branch).
    void Open(TExtStringGridEdit* grid, int col, int row, const platform::Rect& cell, platform::Color color,
              const platform::Font& font);
    // The grid takes the focus as the link ends an edit by a key.
    void ForcedGridFocus();

    QPointer<TExtStringGridEdit> m_owner;
    QPointer<QWidget> m_popupForm;
    QPointer<QWidget> m_subclassedControl;
    bool m_forcedExit = false;
    bool m_subClassed = false;
    QPoint m_editCell{-1, -1};
};

} // namespace controls::grid
