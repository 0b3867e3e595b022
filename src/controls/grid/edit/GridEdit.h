#pragma once
// TExtStringGridEdit: the string grid as it edits its cells in place.
//
// Editor kinds (TEditorType): every cell starts from DefaultEditor; GetCellEditor (the column
// grid's column settings, then OnGetEditorType) may change it. The text kinds are edited with
// TExtInplaceEdit, which filters typed characters by kind; edComboEdit and edComboList with the
// grid's combo box (TGridCombo); the spin, edit-with-button, unit, check box, date, time,
// date-and-time and push-button kinds with their controls (GridEditors.h); the drop-down kinds
// with their drop-down editors (GridDropDownEditors.h; edExtGridDropDown from TExtStringGridAux
// on, as edNormal below it); edCustom with the control of the grid's editor link
// (EditLink.h; nothing without a link); edDataCheckBox cells are toggled by click and key, not
// edited; edNone cells are not edited. Rich text is edited as edNormal.
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
#include "controls/grid/edit/EditorKeyRules.h"
#include "controls/grid/editors/XgrCombo.h"
#include "controls/grid/paint/GridPaint.h"
#include "platform/grid/InplaceEdit.h"

#include <QLineEdit>
#include <QPointer>

namespace controls::grid::dropdown {
class TExtCustomDropDown;
} // namespace controls::grid::dropdown

namespace controls::grid {

class TExtStringGridEdit;
class TGridCombo;
class TGridCheckBox;
class TGridSpin;
class TGridDatePicker;
class TGridDateTimePicker;
class TGridEditBtn;
class TGridUnitEditBtn;
class TGridButton;
class TEditLink;
class TGridDropDownLink;
class TGridTrackbarDropDown;
class TGridMemoDropDown;
class TGridCalculatorDropDown;
class TGridTimepickerDropDown;
class TGridDetailPickerDropDown;
class TGridGridDropDown;
class TGridColorDropDown;
class TGridImageDropDown;

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
    friend class TGridCheckBox;
    friend class TGridSpin;
    friend class TGridDatePicker;
    friend class TGridDateTimePicker;
    friend class TGridEditBtn;
    friend class TGridUnitEditBtn;
    friend class TGridButton;
    friend class TEditLink;
    friend class TGridDropDownLink;

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
    using SpinClickEvent = std::function<void(TExtStringGridEdit* sender, int col, int row, int value, bool up)>;
    using FloatSpinClickEvent = std::function<void(TExtStringGridEdit* sender, int col, int row, double value, bool up)>;
    using DateSpinClickEvent =
        std::function<void(TExtStringGridEdit* sender, int col, int row, platform::TDateTime value, bool up)>;
    using EllipsClickEvent = std::function<void(TExtStringGridEdit* sender, int col, int row, QString& value)>;
    using DateTimeChangeEvent =
        std::function<void(TExtStringGridEdit* sender, int col, int row, platform::TDateTime value)>;
    using CustomStrToDateEvent =
        std::function<void(TExtStringGridEdit* sender, const QString& value, platform::TDateTime& date)>;
    using ColorSelectedEvent =
        std::function<void(TExtStringGridEdit* sender, int col, int row, platform::Color& color, QString& value)>;
    using ImageSelectedEvent = std::function<void(TExtStringGridEdit* sender, int col, int row, int& index)>;
    using DropDownButtonClickEvent = std::function<void(TExtStringGridEdit* sender, int col, int row, int buttonIndex)>;

    explicit TExtStringGridEdit(QWidget* parent = nullptr);
    ~TExtStringGridEdit() override;

    // --- state of the edit ------------------------------------------------------------------------
    TEditorType EditControl() const { return m_editControl; }
    bool EditMode() const { return m_editMode; }
    bool Editing() const { return m_editing; }
    // The grid's text editor (none before the first text edit).
    TExtInplaceEdit* NormalEdit() const;
    TGridCombo* EditCombo() const { return m_editCombo; }
    // The other editor controls: the check box, the edits with a button and the push button exist
    // with the grid; the spin edit and the two date pickers are made on their first use.
    TGridCheckBox* EditCheck() const { return m_editCheck; }
    TGridEditBtn* EditBtn() const { return m_editBtn; }
    TGridUnitEditBtn* UnitEditBtn() const { return m_unitEditBtn; }
    TGridButton* GridButton() const { return m_gridButton; }
    TGridSpin* SpinEdit();
    TGridDatePicker* GetDateEditor();
    TGridDateTimePicker* DateAndTimePicker();
    // The drop-down editors, each made on its first use (GridDropDownEditors.h).
    TGridTrackbarDropDown* TrackbarDropDown();
    TGridMemoDropDown* MemoDropDown();
    TGridCalculatorDropDown* CalculatorDropDown();
    TGridTimepickerDropDown* TimePickerDropDown();
    TGridDetailPickerDropDown* DetailPickerDropDown();
    TGridGridDropDown* GridDropDown();
    TGridColorDropDown* ColorPickerDropDown();
    TGridImageDropDown* ImagePickerDropDown();
    // The grid drop-down editor of edExtGridDropDown cells: none at this level (the grid
    // drop-down hosts a grid of this kind itself), whose cells of that kind are edited as text;
    // the grid with its auxiliary windows (TExtStringGridAux) makes it here on first use and fills
    // it from the cell in FillExtGridDropDown.
    virtual dropdown::TExtCustomDropDown* ExtGridDropDown() { return nullptr; }
    virtual void FillExtGridDropDown(const QString& /*editText*/, int /*realCol*/, int /*row*/) {}
    // The drop-down editor of a kind (made on first use); none for other kinds.
    dropdown::TExtCustomDropDown* DropDownEditor(TEditorType kind);
    // The editor link of edCustom cells (not owned).
    TEditLink* EditLink() const;
    void SetEditLink(TEditLink* link);
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

    // --- the editor controls' key protocol ------------------------------------------------------
    // Whether an editor control of this grid takes a key the window would use (EditorKeyRules.h).
    bool EditorClaims(TGridEditorControl control, quint16 key) const;
    // Commit and validate: the text goes into the current cell and is validated; false keeps the
    // editor open (the grid has put back the old or the corrected text, NewCellText).
    bool EditorCommit(const QString& text);
    // Tab after a commit: with goTabs the editor closes and the Tab walk goes on, backwards with
    // Shift (true); without it a Tab key is posted to the grid (false; the editor goes on to end
    // its edit).
    bool EditorTabHandOver(platform::TShiftState shift);
    // Done: the editor closes and the key goes to the grid (Enter advances); with AdvanceOnEnter
    // and AdvanceAutoEdit the next cell's editor opens. The key is consumed.
    void EditorDone(quint16& key, platform::TShiftState shift);
    // The text of a spin or edit-with-button editor changed: with ShowEditProcess the cell shows
    // it at once.
    void EditorTextChanged(const QString& text);
    // The editor lost the focus to another control: the edit ends and the value is written,
    // unless the grid itself is hiding the editor.
    void EditorExit();
    // The caret walked out of an editor's text to the left or right: the next cell's control is
    // operated or the next cell edited, as the combo's cursor walk does.
    void EditorCursorWalk(bool right, const QString& text);
    // The grid itself moved the focus (an editor link's pop-up lost the activation and ended the
    // edit): the focus the grid gets next runs none of its own focus-in handling.
    bool InvokedFocusChange() const { return m_invokedFocusChange; }

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
    // The paste's steps for descendants: BeforePaste and AfterPaste around a paste of the grid
    // cell format and around a fill of the selection with one value; PasteRangeModified after
    // cells were pasted into toRect (fromTopLeft: the copied range's top-left when the cells
    // came from this grid, else (-1, -1); operation: the last clipboard operation, coCut 0 or
    // coCopy 1). The grid's own marks the rows of toRect modified with ShowModified.Enabled.
    virtual void BeforePaste() {}
    virtual void AfterPaste() {}
    virtual void PasteRangeModified(QPoint fromTopLeft, const TGridRect& toRect, int operation);
    // The ellipsis button of an edit with a button: OnEllipsClick may replace the text.
    virtual void EllipsClick(const QString& in, QString& out);
    virtual void UnitChanged(QObject* editor, const QString& newUnit);
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
    // The same for a pasted field in the wide-text coding ("|\\" and two characters per
    // character): the handler gets and may change the decoded text.
    PasteCellEvent OnClipboardBeforePasteWideCell;
    PastedCellEvent OnClipboardAfterPasteWideCell;
    std::function<void(TExtStringGridEdit* sender, int col)> OnClickSort;
    std::function<void(TExtStringGridEdit* sender, int col, int row)> OnScrollCell;
    NotifyEvent OnStartBlockFocus;
    NotifyEvent OnEndBlockFocus;
    // Characters typed in the grid or its editors (the sender is the grid, the text editor or the
    // combo); the handler may change or clear the character.
    GridKeyPressEvent OnKeyPress;
    SpinClickEvent OnSpinClick;
    FloatSpinClickEvent OnFloatSpinClick;
    DateSpinClickEvent OnDateSpinClick;
    DateSpinClickEvent OnTimeSpinClick;
    EllipsClickEvent OnEllipsClick;
    CellNotifyEvent OnDatePickerCloseUp;
    CellNotifyEvent OnDatePickerDropDown;
    DateTimeChangeEvent OnDateTimeChange;
    CustomStrToDateEvent OnCustomStrToDate;
    // The colour editor's value as it goes into the cell: the handler may change the colour and
    // the text stored.
    ColorSelectedEvent OnColorSelected;
    // The image editor's index as it goes into the cell.
    ImageSelectedEvent OnImageSelected;
    DropDownButtonClickEvent OnDropDownHeaderButtonClick;
    DropDownButtonClickEvent OnDropDownFooterButtonClick;

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
    TGridCheckBox* m_editCheck = nullptr;
    TGridEditBtn* m_editBtn = nullptr;
    TGridUnitEditBtn* m_unitEditBtn = nullptr;
    TGridButton* m_gridButton = nullptr;
    TGridSpin* m_editSpin = nullptr;
    TGridDatePicker* m_editDate = nullptr;
    TGridDateTimePicker* m_editDateTime = nullptr;
    TGridTrackbarDropDown* m_editTrackBar = nullptr;
    TGridMemoDropDown* m_editMemo = nullptr;
    TGridCalculatorDropDown* m_editCalculator = nullptr;
    TGridTimepickerDropDown* m_editTimePicker = nullptr;
    TGridDetailPickerDropDown* m_editDetailPicker = nullptr;
    TGridGridDropDown* m_editGridPicker = nullptr;
    TGridColorDropDown* m_editColorPicker = nullptr;
    TGridImageDropDown* m_editImagePicker = nullptr;
    QPointer<TEditLink> m_editLink;
    platform::TDateTime m_originalDateTime = 0;
    // A click on the spin buttons drawn in a cell, stepped once when the spin editor opens.
    bool m_spinUpClick = false;
    bool m_spinDnClick = false;
    // Escape in an editor whose value is read back by type: the cell keeps its text.
    bool m_escapeRestore = false;
    // An editor control is being opened and filled: its text changes are not the user's.
    bool m_editStart = false;
    SelectListener m_selListener;
    bool m_invokedFocusChange = false;

private:
    // The editor controls besides the combo (SpecialEditors.cpp).
    void CreateEditorControls();
    bool ShowOtherEditControl(int col, int row, const Rect& r, int w, int h, const TCellFormat& format);
    void HideOtherEditControl(int realCol, int row);
    // The drop-down kinds (GridDropDownEditors.cpp).
    bool ShowDropDownEditor(int col, int row, const Rect& r, int w, int h, platform::Color color);
    // escaped: the edit ended with Escape (the cell keeps its text).
    void HideDropDownEditor(int realCol, int row, bool escaped);
    void PostEditDone(int col, int row);
    bool AdvanceStepFrom(int col, int row, bool showEditor, bool forward, bool autoEdit, int visited);
    void TabWalk(bool backward);
};

// The button colours the grid's colour tones give an editor with a button (the combo, the spin,
// the edits with a button, the date picker): face, hot, down and border.
template <class Button>
void SetButtonTones(Button& button, const TColorTones& tones)
{
    button.ButtonColor = tones.Background.BrushColor;
    button.ButtonColorHot = tones.Hover.BrushColor;
    button.ButtonColorDown = tones.Selected.BrushColor;
    button.ButtonBorderColor = tones.Background.BorderColor;
}

// The combo editor of edComboEdit and edComboList cells.
class TGridCombo : public TXgrComboBox, public IVekkoTones {
    Q_OBJECT

public:
    explicit TGridCombo(TExtStringGridEdit* grid);
    // The grid's tones: its button colours, the grid's colour as its border, and the flat look.
    void SetColorTones(const TColorTones& tones) override;

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
    // The width its text is shown in: the box less its frame and its drop button.
    int TextRoom() const;
    // Widens the editor to the right, within its parent, until its text room is `need` wide.
    void WidenForText(int need);

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
