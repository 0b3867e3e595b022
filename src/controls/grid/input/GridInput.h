#pragma once
// TExtStringGridInput: the string grid as the user works in it with keyboard and mouse.
//
// Keys: the platform grid's movement (see platform/grid/StringGrid.h) changed as follows:
//   - Home and End by Navigation.HomeEndKey (first/last column, row or cell);
//   - Tab and Shift+Tab (with goTabs) walk the cells that may take the focus (TabAdvance), in
//     an editing grid only the cells that may be edited, and open the next cell's editor;
//   - Enter and Space on a check box, radio or button cell operate it when the cell may be
//     edited (Space toggles a check box and fires OnCheckBoxClick);
//   - Insert and Delete insert and delete rows (Navigation.AllowInsertRow / AllowDeleteRow);
//     Down on the last row appends one (AppendOnArrowDown); Ctrl+A selects everything;
//   - arrows step over cells that call themselves fixed (SkipFixedCells) and wrap at the edges
//     by Navigation.CursorAdvance;
//   - a typed character opens the cell's editor with that character.
// Mouse: a press on a cell's check box toggles it once (OnCheckBoxClick, then OnClick; no
// OnClickCell), on its button pushes it (OnButtonClick on release), on a URL or "cell://"
// anchor follows it; every other press on a cell fires OnClickCell, except a press within 4
// pixels of a header border while columns can be sized. A double click beside a header border
// sizes the column left of it to its content (the right border of the last column too). The
// wheel moves the current row by the system's wheel lines (MouseActions.WheelIncrement when set),
// Ctrl+wheel zooms; the middle button pans (IntelliPan) until the next press or key.
// Further mouse work, each behind its setting: row and column headers select whole rows and
// columns (MouseActions.RowSelect, ColSelect; a drag along the headers extends), the top-left
// corner selects all (AllSelect, through CornerSelectAll; each of these selections runs the
// grid's exit step, which fires OnExit), Ctrl toggles disjunct rows and
// columns (deselected at the release), fixed columns and rows are sized by their borders
// (SizeFixedCol, SizeFixedRow), fixed cells shown as buttons (FixedAsButtons) press and click,
// the selection's handle (SelectionResizer) enlarges the selection and pastes the block copied at
// the press into it. Sizing reports OnColumnSizing / OnRowSizing while the mouse moves
// (HintShowSizing shows "cw=<b>w</b>"), and OnEndColumnSize / OnEndRowSize at the end. A
// pick-list cell whose text is no item opens on no item and writes only an item chosen.
//
// BeginUpdate/EndUpdate nest: while the count is above 0 nothing is painted; the last
// EndUpdate repaints once. A grid hidden in between keeps the lock until its count returns to 0;
// the repaint then waits until it is shown.
//
// The grid timer (every 500 ms while the grid has been shown) forgets incremental-search text,
// gives the focus to the grid under the mouse (Hovering) and blinks "<BLINK>" texts.
#include "controls/grid/edit/GridEdit.h"
#include "platform/exchange/Exchange.h"

#include <QPointer>
#include <QStringList>
#include <QUrl>
#include <vector>
#include <functional>

namespace controls::grid {

class TGridDropTarget;

enum TMouseSelection { msNormalSelect, msColumnSelect, msRowSelect, msAllSelect, msURLSelect, msResizeSelect };
// Middle-button panning steps this often while it runs.
constexpr int kPanTimerId = 999;
constexpr int kPanTimerMs = 10;

class TExtStringGridInput : public TExtStringGridEdit {
public:
    using CellClickEvent = std::function<void(TExtStringGridInput* sender, int row, int col)>;
    using CanClickEvent = std::function<void(TExtStringGridInput* sender, int row, int col, bool& allow)>;
    using RadioClickEvent = std::function<void(TExtStringGridInput* sender, int col, int row, int index)>;
    using CellStateEvent = std::function<void(TExtStringGridInput* sender, int col, int row, bool state)>;
    using AnchorClickEvent =
        std::function<void(TExtStringGridInput* sender, int row, int col, const QString& anchor, bool& autoHandle)>;
    using RowAllowEvent = std::function<void(TExtStringGridInput* sender, int row, bool& allow)>;
    using CanSortEvent = std::function<void(TExtStringGridInput* sender, int col, bool& doSort)>;

    static constexpr int kGridTimerId = 111;
    static constexpr int kGridTimerMs = 500;

    explicit TExtStringGridInput(QWidget* parent = nullptr);
    ~TExtStringGridInput() override;

    // --- the update lock ------------------------------------------------------------------------
    void BeginUpdate() override;
    void EndUpdate() override;
    // Counts without touching the window (a change that must not repaint at all).
    void StartUpdate() { ++m_updateCount; }
    // Back to 0 without a repaint.
    void ResetUpdate() { m_updateCount = 0; }
    bool LockUpdate() const { return m_updateCount != 0; }
    void SetLockUpdate(bool on) { on ? BeginUpdate() : EndUpdate(); }
    int UpdateCount() const { return m_updateCount; }
    // How many times the cells were painted (for tests and measurements).
    int PaintCount() const { return m_paintCount; }

    // Copies every cell of another grid (texts, properties and graphics) through the binary
    // cell stream (controls/grid/io).
    void AssignCells(TExtStringGrid* source) override;
    // With ColumnSize.Save the column widths come from their store when the window is created
    // and when loading ends, and go back to it when the grid is destroyed.
    void Loaded() override;

    // --- hover and sizing ---------------------------------------------------------------------------
    void ResetFixedCellHighlight();
    bool IsHoverFixedCell(int col, int row) const;
    void InitOrigColSizes();

    // --- mouse actions ------------------------------------------------------------------------------
    // What a press at the mouse's place would select (set while the mouse moves): a column by
    // its header (MouseActions.ColSelect), a row by its header (RowSelect), everything from the
    // corner (AllSelect), or a drag of the selection handle (SelectionResizer).
    TMouseSelection MouseSelectMode() const { return m_mouseSelectMode; }
    // The column (row) a press in a column (row) header picked for a move; -1 otherwise.
    int MoveCell() const { return m_moveCell; }
    // Which half of an always-shown spin button the last press hit (the spin editor that opens
    // takes its own copy of it and steps once).
    bool SpinUpClick() const { return m_pressSpinUp; }
    bool SpinDownClick() const { return m_pressSpinDn; }
    // A Ctrl press on a selected row or column: its release deselects it.
    bool DeselectState() const { return m_deselectState; }
    // Fixed columns (rows) sized by their borders (MouseActions.SizeFixedCol / SizeFixedRow).
    bool SizingFixed() const { return m_sizingFixed || m_sizingFixedR; }
    // The selection when a drag of its handle began.
    TGridRect DropSelection() const { return m_dropSelection; }
    bool Panning() const { return m_panning; }
    void RadioGroupClick(int col, int row, int xOffset, int yOffset);
    virtual void CornerSelectAll(TGridRect& r);
    // The hint of the cell under a client point: empty when there is none.
    QString BuildCellHint(QPoint pos);

    // The grid's search text typed so far (AutoGotoWhenSorted).
    QString SearchInc;
    // Opens a URL a cell's anchor points to; by default the system's handler.
    std::function<bool(const QUrl& url)> UrlOpener;

    // --- drag and drop (GridDropTarget.cpp, GridExchange.cpp) -----------------------------------------
    // The drop target is there while DragDropSettings.OleDropTarget is on.
    void UpdateOleDropTarget();
    TGridDropTarget* OleDropTarget() const;
    // Before an application drags a hidden column out of a list of its own: the column's real
    // index, its index in the list and how to take it off the list when it is dropped here.
    void OleColumnDragStart(int col, int index, std::function<void(int index)> removeFromList);
    using OleAllowEvent = std::function<void(TExtStringGridInput* sender, int row, int col, bool& allow)>;
    using OleDataEvent =
        std::function<void(TExtStringGridInput* sender, int row, int col, const QString& data, bool& allow)>;
    OleAllowEvent OnOleDragOver;
    OleDataEvent OnOleDrop;
    OleDataEvent OnOleDropURL;
    OleDataEvent OnOleDropFile;
    std::function<void(TExtStringGridInput* sender, int row, int col, int dropCol)> OnOleDropCol;
    std::function<void(TExtStringGridInput* sender, const TGridRect& rect)> OnOleDropped;
    OleDataEvent OnOleDrag;
    std::function<void(TExtStringGridInput* sender, int row, int col)> OnOleDragStart;
    std::function<void(TExtStringGridInput* sender, platform::DropEffect effect)> OnOleDragStop;
    // The last copy or move effect a target offered during this grid's last drag.
    platform::DropEffect OleLastEffect() const { return m_oleLastEffect; }
    // The pictures a drag shows under the mouse: the dragged cells as they show on screen
    // (without the selection colours, half transparent), and the floating header button of a
    // column drag. The grid with its auxiliary windows draws them; a null image here.
    virtual QImage DragCellsImage(const TGridRect& cells);
    virtual QImage DragHeaderImage(const QString& caption, int width, int height);

    // --- events -------------------------------------------------------------------------------------
    CellClickEvent OnClickCell;
    CellClickEvent OnRightClickCell;
    CanClickEvent OnCanClickCell;
    RadioClickEvent OnRadioClick;
    CellNotifyEvent OnRadioButtonClick;
    CellStateEvent OnCheckBoxMouseUp;
    RadioClickEvent OnRadioMouseUp;
    AnchorClickEvent OnAnchorClick;
    RowAllowEvent OnCanDeleteRow;
    RowEvent OnAutoInsertRow;
    CanSortEvent OnCanSort;
    // The size a column (row) sizing by mouse would give, while the mouse moves.
    std::function<void(TExtStringGridInput* sender, int col, int size)> OnColumnSizing;
    std::function<void(TExtStringGridInput* sender, int row, int size)> OnRowSizing;
    // A drag of the selection handle ends: before and after the selection is filled.
    using SelectionResizeEvent =
        std::function<void(TExtStringGridInput* sender, const TGridRect& original, const TGridRect& now)>;
    SelectionResizeEvent OnSelectionResize;
    SelectionResizeEvent OnSelectionResized;
    // A column (row) move by mouse may be refused.
    std::function<void(TExtStringGridInput* sender, int index, bool& allow)> OnColumnMove;
    std::function<void(TExtStringGridInput* sender, int index, bool& allow)> OnRowMove;

protected:
    // Keys.
    void wmKeyDown(platform::TWMKey& msg) override;
    void keyDown(quint16& key, platform::TShiftState shift) override;
    void keyUp(quint16& key, platform::TShiftState shift) override;
    void wmChar(platform::TWMKey& msg) override;
    // With AutoGotoWhenSorted and no editing, typed characters look the row up in the sort
    // column (Search), incrementally with AutoGotoIncremental.
    void keyPress(QChar& key) override;
    // Mouse.
    void wmLButtonDown(platform::TWMMouse& msg) override;
    void mouseDown(platform::TMouseButton button, platform::TShiftState shift, int x, int y) override;
    void wmRButtonDown(platform::TWMMouse& msg) override;
    void mouseMove(platform::TShiftState shift, int x, int y) override;
    void cmMouseLeave() override;
    void wmLButtonUp(platform::TWMMouse& msg) override;
    void mouseUp(platform::TMouseButton button, platform::TShiftState shift, int x, int y) override;
    void wmLButtonDblClk(platform::TWMMouse& msg) override;
    void wmMouseWheel(platform::TWMMouseWheel& msg) override;
    void wmMButtonDown(platform::TWMMouse& msg) override;
    void wmRButtonUp(platform::TWMMouse& msg) override;
    bool doMouseWheelDown(platform::TShiftState shift, QPoint mousePos) override;
    bool doMouseWheelUp(platform::TShiftState shift, QPoint mousePos) override;
    virtual void WheelScrollDone(int moved, bool& handled);
    // An anchor pressed in a cell: OnAnchorClick, then "cell://" references and web links.
    bool FollowAnchor(int col, int row, const QString& anchor);
    // The node column's press: a node glyph in a fixed row expands or contracts every node
    // (MouseActions.NodeAllExpandContract), in a data row it expands or contracts its node with
    // the node events; any other press in the node column only reports the click. True when
    // the press ends there.
    bool NodePress(int dc, int r, int x, int y, const Rect& cell, platform::TShiftState shift);
    // A click on the floating footer's strip: OnClick, then OnClickCell of the last row.
    void FooterPanelClick(int col) override;
    // Focus, timer, painting.
    void wmSetFocus(QWidget* previous) override;
    void wmKillFocus(QWidget* next) override;
    void doEnter() override;
    void doExit() override;
    void wmTimer(int id) override;
    void click() override;
    void paint() override;
    void topLeftChanged() override;
    void CreateWnd() override;
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    // A click on the corner or a header selected: the grid's exit step runs (OnExit; with
    // DisjunctRowSelect the selection becomes the row select flags) and, with ActiveCellShow,
    // the headers of the old and the new current cell repaint.
    void HeaderSelectionDone(TGridCoord oldCurrent);
    // Ctrl+C / Ctrl+Insert copy, Ctrl+X / Shift+Delete cut, Ctrl+V / Shift+Insert paste the
    // selection with Navigation.AllowClipboardShortCuts, each after its event allows it; true
    // when the key was one of them (it is then consumed).
    bool ClipboardShortCut(quint16& key, platform::TShiftState shift);
    // The start of a drag from the selection or a column header (OleDropSource); true when a
    // drag ran.
    bool OleDragFromMove(platform::TShiftState shift, int x, int y);
    // A press that may start a drag (inside the selection, or on a header with column drags);
    // true when the press is kept for the drag. The release of such a press without a drag
    // selects the cell then.
    bool OleNotePress(platform::TMouseButton button, int x, int y, int col, int row);
    bool OleReleaseWithoutDrag(int x, int y);
    friend class TGridDropTarget;
    QPointer<TGridDropTarget> m_dropTarget;
    TGridRect m_dropSelection{-1, -1, -1, -1};
    int m_oleDragCol = -1;
    int m_oleDragIndex = -1;
    std::function<void(int index)> m_oleDragList;
    QPoint m_olePress{-1, -1};
    bool m_oleSelectionClick = false;
    platform::DropEffect m_oleLastEffect = platform::DropEffect::None;
    void LoadSavedColumnSizes();
    void SaveColumnSizesOnDestroy() noexcept;
    bool HandleHomeEnd(quint16 key, platform::TShiftState shift, int leftCol0);
    bool SkipFixed(quint16 key, platform::TShiftState shift);
    void InsertRowByKey();
    void DeleteRowByKey();
    void SelectAllByKey();
    bool ToggleControlByKey(quint16 key);
    bool InHeaderSizingBorder(int x, int y, int col, int row) const;
    // A release on the sort row's header cell where it was pressed sorts by that column (a second
    // click reverses, or with UndoSort restores the unsorted order); with IndexShow it builds
    // the sort index list. False when the release did not sort.
    bool HeaderClickSort(int col, int row, int x, int y, platform::TShiftState shift);
    // The point lies in a column or row sizing zone of the standard grid (also beside the last
    // column or row).
    bool InSizingZoneOutside(int x, int y);
    bool InEditorList(const QWidget* w) const;
    bool InSelectionHandle(int x, int y) const;
    void StartSelectionResize(platform::TWMMouse& msg);
    void ResizeSelectionTo(int x, int y);
    void FinishSelectionResize();
    // The fixed column (row) whose border lies less than 3 pixels from x (y), or -1.
    int FixedColBorderAt(int x) const;
    int FixedRowBorderAt(int y) const;
    int FixedColsExtent(int upTo) const;
    int FixedRowsExtent(int upTo) const;
    void UpdateSelectMode(int x, int y, int c, int r);
    void ApplyGridCursor(int x, int y);
    void ShowSizingHint(int x, int y);
    void StopPanning();
    void PanStep();

    TGridRect m_moveSelection;
    TGridRect m_pressSelection;
    TGridCoord m_lastKeyCell;
    TGridCoord m_pushedCellButton{-1, -1};
    TMouseSelection m_mouseSelectMode = msNormalSelect;
    int m_mouseSelectStart = -1;
    int m_moveCell = -1;
    int m_moveOfsX = 0, m_moveOfsY = 0;
    bool m_pressSpinUp = false, m_pressSpinDn = false;
    bool m_deselectState = false;
    bool m_disjunctPress = false; // a plain press in disjunct row or column selection
    bool m_mouseResize = false;
    bool m_sizeFixed = false, m_sizeFixedR = false;   // over a fixed column's (row's) border
    bool m_sizingFixed = false, m_sizingFixedR = false;
    int m_sizingFixedCol = -1, m_sizingFixedRow = -1;
    int m_sizeFixedX = 0, m_sizeFixedY = 0;
    int m_pressX = 0, m_pressY = 0;
    int m_pressSize = 0; // width (height) of the column (row) being sized, at the press
    bool m_dropOnRelease = false; // the press opened a list cell's editor where its drop button shows
    bool m_colSized = false, m_rowSized = false;
    bool m_panning = false;
    QPoint m_panPos;
    int m_timerTicks = 0;
    int m_searchTics = 0;
    int m_paintCount = 0;
    bool m_doOnClick = false;
    bool m_dblClk = false;
    bool m_mouseDownFlag = false;
    bool m_wheelEditMode = false;
    // The focus is in the dropped list of the grid's own combo editor: the grid has not been
    // left, and coming back from the list is no entering.
    bool m_focusInList = false;
    QMetaObject::Connection m_listFocusConnection;
};

} // namespace controls::grid
