#pragma once
// TExtStringGridEdit: the string grid as it edits its cells in place.
//
// Editor kinds (TEditorType): every cell starts from DefaultEditor; GetCellEditor (the column
// grid's column settings, then OnGetEditorType) may change it. The text kinds are edited with
// TExtInplaceEdit, which filters typed characters by kind; edComboEdit and edComboList with the
// grid's combo box (TGridCombo); edDataCheckBox cells are toggled by click and key, not edited;
// edNone cells are not edited. The kinds whose controls this grid does not have (spin, edit
// with button, unit edit, check box control, pickers, push button, rich text, the drop-downs)
// are edited as edNormal; edCustom edits nothing without an editor link, which this grid has
// not.
//
// The flow: the platform grid asks CanEditShow before it shows its text editor (F2, a typed
// character, a click on the current cell); a combo kind is shown over the cell instead and the
// answer is false. SelectCell runs before every move of the current cell: it validates what
// was typed (ValidateCell, OnCellValidate), switches goEditing on for a cell that may be edited
// and off for one that may not (the column grid's cells are editable without goEditing unless
// read-only or fixed), and fires OnRowChanging, OnColChanging, OnCellChanging and OnRowChanged.
//
// The end of an edit is OnEditingDone, then OnCellValidate (when the value changed or
// AlwaysValidate), then - once the event loop has handled the posted "GridEditDone" event -
// OnEditCellDone. The text editor validates first and reports OnEditingDone after.
//
// An open editor takes Enter, Escape, Tab (when the grid takes Tab: goTabs, or an
// OnCellValidate handler) and the arrows that leave it before the grid and the window's
// default and cancel buttons: it writes its text into the current cell, validates it, and hands
// the key on to the grid (DoneInplaceEdit), which moves on. Escape puts back the text the cell
// had when the edit began.
#include "controls/grid/edit/EditRules.h"
#include "controls/grid/editors/XgrCombo.h"
#include "controls/grid/paint/GridPaint.h"
#include "platform/grid/InplaceEdit.h"

#include <QLineEdit>
#include <QPointer>

namespace controls::grid {

class TExtStringGridEdit;
class TGridCombo;

// The text editor of the grid's text kinds.
class TExtInplaceEdit : public platform::TInplaceEdit {
    Q_OBJECT

public:
    explicit TExtInplaceEdit(TExtStringGridEdit* grid);

    TExtStringGridEdit* Grid() const { return m_grid; }
    // The cell is right-justified: the text is too.
    bool VAlign() const { return m_vAlign; }
    void SetVAlign(bool on);
    int LengthLimit() const { return m_lengthLimit; }

    void updateContents() override;

protected:
    void boundsChanged() override;
    void keyDown(quint16& key, platform::TShiftState shift) override;
    void keyPress(QChar& key) override;
    void keyUp(quint16& key, platform::TShiftState shift) override;
    void dblClick() override;
    void wmKeyDown(platform::TWMKey& msg) override;
    void wmKeyUp(platform::TWMKey& msg) override;
    void wmChar(platform::TWMKey& msg) override;
    void wmSetFocus() override;
    void wmKillFocus(QWidget* next) override;
    void wmPaste() override;
    void wmCut() override;
    void wmCopy() override;
    int wmGetDlgCode() override;
    void change() override;

private:
    // Lookup completion from the grid's LookupItems after a key release.
    void DoChange();
    void Restore(const QString& oldText);
    bool CommitForLeaving(const QString& text, const QString& oldText);
    void SelectOrEnd();

    TExtStringGridEdit* m_grid;
    int m_selKeyDown = 0;
    int m_oldSelStart = 0;
    int m_lengthLimit = 0;
    bool m_vAlign = false;
    bool m_gotKey = false;
    bool m_gotFocus = false;
    bool m_workMode = true;
    int m_colE = -1;
    int m_rowE = -1;
};

class TExtStringGridEdit : public TExtStringGridPaint {
    friend class TExtInplaceEdit;
    friend class TGridCombo;

public:
    using CellValidateEvent = std::function<void(TExtStringGridEdit* sender, int col, int row, QString& value, bool& valid)>;
    using CellChangingEvent = std::function<void(TExtStringGridEdit* sender, int oldRow, int oldCol, int newRow,
                                                 int newCol, bool& allow)>;
    using IndexChangingEvent = std::function<void(TExtStringGridEdit* sender, int oldIndex, int newIndex, bool& allow)>;
    using EditChangeEvent = std::function<void(TExtStringGridEdit* sender, int col, int row, const QString& value)>;
    using ComboChangeEvent =
        std::function<void(TExtStringGridEdit* sender, int col, int row, int itemIndex, const QString& selection)>;
    using ComboObjectChangeEvent = std::function<void(TExtStringGridEdit* sender, int col, int row, int itemIndex,
                                                      const QString& selection, platform::TObject* object)>;
    using CellNotifyEvent = std::function<void(TExtStringGridEdit* sender, int col, int row)>;
    using RowColEvent = std::function<void(TExtStringGridEdit* sender, int row, int col)>;
    using AutoAdvanceEvent = std::function<void(TExtStringGridEdit* sender, int oldRow, int oldCol, int& newRow,
                                                int& newCol, bool& allow)>;
    using AllowEvent = std::function<void(QObject* sender, bool& allow)>;
    using PasteCellEvent = std::function<void(QObject* sender, int col, int row, QString& value, bool& allow)>;
    using PastedCellEvent = std::function<void(QObject* sender, int col, int row, const QString& value)>;
    using GridKeyPressEvent = std::function<void(QObject* sender, QChar& key)>;
    using CheckBoxClickEvent = std::function<void(TExtStringGridEdit* sender, int col, int row, bool state)>;
    using SelectListener = std::function<void(int col, int row)>;

    explicit TExtStringGridEdit(QWidget* parent = nullptr);
    ~TExtStringGridEdit() override;

    // --- state of the edit ------------------------------------------------------------------------
    TEditorType EditControl() const { return m_editControl; }
    bool EditMode() const { return m_editMode; }
    bool Editing() const { return m_editing; }
    // The grid's text editor (none before the first text edit).
    TExtInplaceEdit* NormalEdit() const;
    TGridCombo* EditCombo() const { return m_editCombo; }
    QWidget* EditCtrl() const { return m_editCtrl; }
    bool Modified() const { return m_modified; }
    void SetModified(bool on) { m_modified = on; }
    bool GridModified() const { return m_gridModified; }
    void SetGridModified(bool on) { m_gridModified = on; }

    // --- editability ---------------------------------------------------------------------------
    bool IsEditable(int col, int row);
    // Tab belongs to the grid's editing: goTabs, or a validation handler.
    bool HandlesTabKey() const;
    bool QueryPasswordCell(int col, int row);

    // --- opening and closing editors -------------------------------------------------------------
    // As F2 would: starts editing the current cell.
    void ShowCellEdit();
    void HideCellEdit();
    void ShowInplaceEdit();
    void HideInplaceEdit();
    void Select() { selectCell(col(), row()); }
    void EditingDone(int col, int row);
    // An editor control ended with a key: hides it and hands the key on.
    void DoneInplaceEdit(quint16 key, platform::TShiftState shift);
    void ShowEditControl(int col, int row);
    void HideEditControl(int col, int row);

    // --- values ----------------------------------------------------------------------------------
    virtual bool ValidateCell(const QString& newValue);
    virtual bool ValidateCellWide(const QString& newValue);
    virtual void StoreEditText(int realCol, int row, const QString& text);
    virtual void RestoreCellCache();
    void RememberCellValue(int col, int row) override;
    QString CellCache() const { return m_cellCache; }
    QString NewCellText() const { return m_newCellText; }

    // --- the combo item list -------------------------------------------------------------------------
    void AddComboString(const QString& s);
    void AddComboStringObject(const QString& s, platform::TObject* object);
    bool RemoveComboString(const QString& s);
    void ClearComboString();
    int GetComboCount() const;
    void SetComboSelection(int index) { m_comboIdx = index; }
    bool SetComboSelectionString(const QString& s);
    void SetComboIndex(int col, int row, int index);
    int GetComboIndex(int col, int row);

    // --- moving on ---------------------------------------------------------------------------------
    void AdvanceEdit(int col, int row, bool showEditor, bool continuing, bool forward, bool autoEdit, bool force);
    // The Tab walk; false when the Tab was handed to the next control.
    virtual bool TabAdvance(bool backward);
    virtual void GotoFirstRow();
    int FirstNavigableCol() const;
    int VisibleFixedRightCols() const;
    bool CanTabToCell(int col, int row);
    int FirstTabCol(int row);
    int LastTabCol(int row);
    bool IsLastDataRow() const;
    void AppendRowByKey();
    // A press and release 2 pixels inside the cell, as the platform grid takes them.
    void ClickCell(int col, int row);

    // --- virtual steps ------------------------------------------------------------------------------
    virtual void ClickSort(int col);
    virtual void KeyboardSelectAll(TGridRect& r);
    virtual void GetEditorProp(int col, int row);
    virtual void CheckBoxClick(int col, int row, bool state);
    virtual void CellChanging(int newCol, int newRow, bool& allow);
    virtual void ComboCloseUp(int col, int row);
    virtual void ComboDropDown(int col, int row);
    virtual void EditorKeyDown(quint16& key, platform::TShiftState shift);
    virtual void EditorWMKeyDown(platform::TWMKey& msg);
    virtual void SetFormulaEditing(bool on);
    void DisableEditing();
    void RegisterSelListener(SelectListener listener) { m_selListener = std::move(listener); }
    void UnRegisterSelListener() { m_selListener = nullptr; }

    // --- settings ---------------------------------------------------------------------------------------
    bool AlwaysValidate = false;
    bool ShowEditProcess = false;
    // The characters edValidChars accepts when ValidChars is empty (codes up to 255).
    QString ValidCharSet;

    // --- events ----------------------------------------------------------------------------------------
    CellValidateEvent OnCellValidate;
    CellValidateEvent OnCellValidateWide;
    NotifyEvent OnEditingDone;
    CellNotifyEvent OnEditCellDone;
    EditChangeEvent OnEditChange;
    ComboChangeEvent OnComboChange;
    ComboObjectChangeEvent OnComboObjectChange;
    CellNotifyEvent OnComboCloseUp;
    CellNotifyEvent OnComboDropDown;
    IndexChangingEvent OnRowChanging;
    IndexChangingEvent OnColChanging;
    CellChangingEvent OnCellChanging;
    AutoAdvanceEvent OnAutoAdvance;
    RowEvent OnAutoAddRow;
    RowEvent OnAutoInsertCol;
    CheckBoxClickEvent OnCheckBoxClick;
    CellNotifyEvent OnGetEditorProp;
    RowColEvent OnDblClickCell;
    AllowEvent OnClipboardCopy;
    AllowEvent OnClipboardCut;
    AllowEvent OnClipboardPaste;
    PasteCellEvent OnClipboardBeforePasteCell;
    PastedCellEvent OnClipboardAfterPasteCell;
    std::function<void(TExtStringGridEdit* sender, int col)> OnClickSort;
    std::function<void(TExtStringGridEdit* sender, int col, int row)> OnScrollCell;
    NotifyEvent OnStartBlockFocus;
    NotifyEvent OnEndBlockFocus;
    // Characters typed in the grid or its editors (the sender is the grid, the text editor or the
    // combo); the handler may change or clear the character.
    GridKeyPressEvent OnKeyPress;

protected:
    // Platform grid steps.
    platform::TInplaceEdit* createEditor() override;
    bool canEditShow() override;
    bool selectCell(int col, int row) override;
    int getEditLimit() override;
    QString getEditText(int col, int row) override;
    void setEditText(int col, int row, const QString& value) override;
    void editorChanged() override;
    void keyPress(QChar& key) override;
    bool event(QEvent* e) override;

    // The editing state (see the class comment).
    TEditorType m_editControl = edNormal;
    bool m_editMode = false;
    bool m_specialEditor = false;
    bool m_editActive = false;
    bool m_validating = false;
    bool m_editDisable = false;
    bool m_editChange = false;
    bool m_blockKill = false;
    bool m_blockFocus = false;
    bool m_entered = false;
    bool m_showEditProcess = false;
    bool m_noEditChange = false;
    QChar m_startEditChar;
    QString m_cellCache;
    QString m_editText;
    int m_comboIdx = -1;
    bool m_lastValidation = true;
    QPointer<QWidget> m_editCtrl;
    int m_oldCol = -1;
    int m_oldRow = -1;
    QString m_oldCellText;
    bool m_oldModifiedValue = false;
    QString m_newCellText;
    bool m_modified = false;
    bool m_gridModified = false;
    bool m_noAutoAdvance = false;
    bool m_lButFlg = false;
    bool m_forceSel = false;
    bool m_disableChange = false;
    int m_aeCol = -1;
    int m_aeRow = -1;
    int m_lastTabCol = -1;
    int m_lastTabRow = -1;
    bool m_advanceGuard = false;
    TGridCombo* m_editCombo = nullptr;
    SelectListener m_selListener;

private:
    void PostEditDone(int col, int row);
    bool AdvanceStepFrom(int col, int row, bool showEditor, bool forward, bool autoEdit, int visited);
    void TabWalk(bool backward);
};

// The combo editor of edComboEdit and edComboList cells.
class TGridCombo : public TXgrComboBox {
    Q_OBJECT

public:
    explicit TGridCombo(TExtStringGridEdit* grid);

    bool Forced = false;
    bool WorkMode = true;
    int ItemIdx = -1;
    bool ItemChange = false;
    NotifyEvent OnReturnKey;
    TExtStringGridEdit* Grid() const { return m_grid; }

    // Auto-completion after a key release.
    void DoChange();
    // Widens the list to its widest item.
    void SizeDropDownWidth();

    void KeyDown(quint16& key, platform::TShiftState shift);
    void KeyPress(QChar& key);
    void KeyUp(quint16& key, platform::TShiftState shift);

    void showPopup() override;
    void hidePopup() override;

protected:
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    // Writes the text into the grid's current cell and validates it; false keeps the editor.
    bool CommitAndValidate(quint16& key, bool selectAll);
    void Change();
    void FireComboChange(int index);
    void WireLineEdit();

    TExtStringGridEdit* m_grid;
    bool m_inKey = false;
    QPointer<QLineEdit> m_wiredEdit;
};

} // namespace controls::grid
