#pragma once
// TStringGrid: the base grid control of the grid suite, on QAbstractScrollArea. It keeps a
// text and an object reference per cell, counts, fixed rows and columns, column widths and
// row heights, a current cell with a selection, a top-left cell that scrolls, the mouse and
// keyboard handling of a standard string grid, and hosts one in-place editor. The grids of
// the suite derive from it and change its behaviour through the protected virtual hooks and
// the message handlers (wmKeyDown, wmLButtonDown ...), calling the base for "the platform's
// handling". Everything runs on the user-interface thread.
//
// Cells (GridCellStore): sparse and independent of the counts. Texts and objects written
// beyond ColCount/RowCount stay and come back when the grid grows; a cell costs only its
// text. A negative index raises EInvalidGridOperation ("Grid index out of range"). Writing a
// cell repaints it and, when it is the cell being edited and the write does not come from
// the editor itself, reloads the editor.
//
// Geometry (client pixels of the viewport, Rect excludes its right and bottom edge):
//   - Columns are laid out left to right, each followed by a grid line of GridLineWidth
//     (the line counts on an axis only when one of its two line options is on). The fixed
//     columns come first and never scroll; then the scrollable columns from LeftCol on. Rows
//     likewise, from TopRow on.
//   - A cell is "fully visible" when its far edge (before its line) lies inside the client
//     area; VisibleColCount and VisibleRowCount count the fully visible scrollable cells,
//     at least 1. The first scrollable cell counts even when it does not fit.
//   - CellRect(c, r) is the cell's rectangle clipped to the client area, or an empty Rect
//     (0, 0, 0, 0) when the cell is scrolled out of view or lies right of / below the last
//     partly visible cell. MouseToCell(x, y) gives the cell under a client point, (-1, -1)
//     when the point lies outside every cell (also left of or above the client area).
//   - LeftCol and TopRow stay within FixedCols/FixedRows .. the largest value at which the
//     last column/row is still fully visible (values outside are clamped).
//   - Paint, hit tests and scrolling only walk the visible cells: their cost does not grow
//     with the row count. Per-column widths and per-row heights take memory only once one
//     differs from the default.
//
// Defaults: 5 x 5 cells, 1 fixed row and column, DefaultColWidth 64, DefaultRowHeight 24,
// GridLineWidth 1, Options goFixedVertLine + goFixedHorzLine + goVertLine + goHorzLine +
// goRangeSelect, both scroll bars, a single 2-pixel sunken border, Color clWindow,
// FixedColor clBtnFace, DefaultDrawing on.
//
// Counts: RowCount below 1 becomes 1; a FixedRows that would not leave one scrollable row is
// lowered to RowCount - 1. Setting FixedRows to RowCount or more raises "Fixed row count must
// be less than row count" (columns: "Fixed column count must be less than column count"); a
// negative one "Grid index out of range". Changing FixedRows/FixedCols puts the current cell
// and the top-left cell on the first scrollable cell. A count change that leaves the current
// cell outside moves it to the last row/column (through SelectCell) and collapses the
// selection onto it; then SizeChanged(old counts) runs. Setting DefaultColWidth
// (DefaultRowHeight) gives every column (row) that width (height).
//
// Current cell and selection: Col/Row is the current cell, the anchor is the other corner of
// the selection; Selection is the rectangle of the two (Left <= Right, Top <= Bottom).
// Every move of the current cell asks the virtual SelectCell first (default: OnSelectCell)
// and does nothing when it answers false. Setting Col or Row moves the current cell, collapses
// the selection onto it, scrolls it into view, updates the editor and runs Click. Setting
// Selection puts the anchor on its top-left and the current cell on its bottom-right, without
// asking SelectCell or scrolling. With goRowSelect the selection always spans columns
// FixedCols .. ColCount - 1 and Col reads FixedCols. Without goRangeSelect the anchor always
// follows the current cell.
//
// Keys (wmKeyDown -> KeyDown, base movement; the new cell is clamped to the scrollable
// cells, scrolled into view, and with Shift the selection grows from its anchor):
//   Up/Down            row -1/+1               Ctrl: the view scrolls one row, cell stays
//   Left/Right         column -1/+1 (row-select: row -1/+1)
//                                              Ctrl: cell and LeftCol move by the number
//                                              of fully visible columns (not in row-select
//                                              mode)
//   PgUp/PgDn          row and TopRow -/+ the number of fully visible rows
//                                              Ctrl: row to TopRow / to the last fully
//                                              visible row
//   Home/End           first/last column (row-select: first scrollable/last row)
//                                              Ctrl: (FixedCols, FixedRows) /
//                                              (ColCount - 1, RowCount - 1)
//   Tab, Shift+Tab     next/previous column, wrapping to the next/previous row and around
//                      the grid, skipping columns whose TabStops entry is off; never with Alt;
//                      Shift+Tab does not extend the selection
//   F2                 EditorMode on
// The grid takes Tab only with goTabs and without goRowSelect (WM_GETDLGCODE); otherwise Tab
// moves the focus on. Enter and Escape are offered to the window first (a default or cancel
// button takes them); otherwise they reach the grid. A typed character (Backspace or code
// 32 and above) opens the editor with that character when goEditing is on; otherwise it goes
// to KeyPress, where Enter toggles the editor (unless goAlwaysShowEditor).
//
// Mouse (wmLButtonDown -> MouseDown ...):
//   - A press takes the focus and hides the editor window. Left press:
//       * in a sizing zone: gsColSizing / gsRowSizing (CalcSizingState, below);
//       * on a scrollable cell: with goEditing the cell becomes current (a press on the
//         current cell shows the editor) and Click runs; without it the grid enters
//         gsSelecting, the cell becomes current (Shift: the anchor moves there instead);
//       * on a row header (fixed column, scrollable row) with goRowMoving: gsRowMoving;
//         on a column header (fixed row, scrollable column) with goColMoving: gsColMoving.
//   - CalcSizingState: with goColSizing, a press in the fixed rows right of the fixed
//     columns within 3 pixels left or 4 pixels right of the right edge of a scrollable
//     column (a 7-pixel zone; or within the line when it is wider) sizes that column; with
//     goRowSizing a press in the fixed columns below the fixed rows sizes rows the same way.
//     The zone at the client's right (bottom) edge sizes the column after the last visible
//     one. The mouse shows the split cursor over a zone.
//   - Moving with the button held: gsSelecting moves the anchor to the cell under the
//     mouse (without goRangeSelect the current cell); sizing moves a dotted line; moving
//     moves a 5-pixel drop mark to the border of the cell under the mouse.
//   - The scroll timer (id 1, every 60 ms) runs during gsSelecting, gsRowMoving and
//     gsColMoving: beyond the scrollable area (left of/above the fixed cells, right of/below
//     the last fully visible cell) it moves the anchor, or the drop place, one cell per tick
//     and scrolls it into view.
//   - Release: gsSelecting ends with Click; sizing sets the new width/height (distance from
//     the cell's left/top edge to the line; 1 pixel or less is ignored); moving calls
//     MoveColumn/MoveRow when the drop place differs from the start. A release right of the
//     grid while sizing still sizes. The state returns to gsNormal.
//   - A double click arrives as a press with ssDouble and runs DblClick (OnDblClick).
//   - The wheel runs DoMouseWheelDown/Up once per notch (120 units): the current row moves
//     one row down/up (not into the fixed rows); OnMouseWheelDown/Up may take it first.
//
// Scroll bars: both bars have the range 0..127 while something is scrolled away on their
// axis and are hidden otherwise; the position is (LeftCol - FixedCols) x 127 / (largest
// LeftCol - FixedCols) (rows alike). Line clicks scroll one cell, page clicks by the fully
// visible cells less one (at least one), the thumb to FixedCols + position x (largest
// LeftCol - FixedCols) / 127 (while dragging only with goThumbTracking, else on release);
// the release ends with SB_ENDSCROLL. All of it goes through wmHScroll/wmVScroll, which
// derived grids may override; getScrollInfo/setScrollInfo, showScrollBar and enableScrollBar
// give them the bars as the platform's functions would. The bars are laid out again when the
// control's size, the counts, the sizes or the options change, not when a derived grid shows
// or hides a bar itself.
//
// Editing: CanEditShow is true with goEditing, without goRowSelect, in EditorMode, and with
// the grid (or its editor) as its window's focused control or goAlwaysShowEditor. The editor
// (CreateEditor, once) is placed over CellRect(Col, Row) and loaded with GetEditMask,
// GetEditText and GetEditLimit; each change of its text goes to SetEditText (TStringGrid:
// the cell's text, then OnSetEditText). It stays on its cell while the grid scrolls: when the
// cell scrolls out of view the editor window hides, when it scrolls back the editor is shown
// there again. Moving the current cell ends EditorMode (unless goAlwaysShowEditor).
//
// Painting: the cells are painted area by area (fixed corner, fixed rows, fixed columns,
// scrollable cells), each visible cell once through DrawCell; with DefaultDrawing the cell is
// first filled (selected cells in clHighlight unless it is the focused cell without
// goDrawFocusSelected or goRowSelect; fixed cells in FixedColor with a raised edge), the text
// drawn 2 pixels in, and the focused cell framed with a focus rectangle (a row-select grid:
// the whole selection). The cell under an open editor is not painted. The client area right
// of and below the cells is filled with Color. Canvas() is valid only while painting.
#include "platform/draw/Canvas.h"
#include "platform/draw/Color.h"
#include "platform/grid/GridCellStore.h"
#include "platform/grid/Keys.h"

#include <QAbstractScrollArea>
#include <QFlags>
#include <QPoint>
#include <QSize>
#include <QString>
#include <functional>
#include <map>
#include <vector>

class QTimer;

namespace platform {

class TInplaceEdit;

// Rows taken out of a grid: their cells, and their heights (empty when every one has the
// default height; 0 stands for the default too).
struct TTakenRows {
    std::vector<GridRowPtr> cells;
    std::vector<int> heights;
    size_t size() const { return cells.size(); }
    int height(size_t i) const { return i < heights.size() ? heights[i] : 0; }
    void add(GridRowPtr row, int height, int defaultHeight)
    {
        if (!heights.empty() || (height > 0 && height != defaultHeight)) {
            heights.resize(cells.size(), 0);
            heights.push_back(height);
        }
        cells.push_back(std::move(row));
    }
};

// A cell: X is the column, Y the row.
struct TGridCoord {
    int X = 0;
    int Y = 0;
    bool operator==(const TGridCoord&) const = default;
};

// A block of cells; both corners belong to it.
struct TGridRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    bool operator==(const TGridRect&) const = default;
    bool contains(int col, int row) const { return col >= Left && col <= Right && row >= Top && row <= Bottom; }
};

enum TGridOption : unsigned {
    goFixedVertLine = 1u << 0,
    goFixedHorzLine = 1u << 1,
    goVertLine = 1u << 2,
    goHorzLine = 1u << 3,
    goRangeSelect = 1u << 4,
    goDrawFocusSelected = 1u << 5,
    goRowSizing = 1u << 6,
    goColSizing = 1u << 7,
    goRowMoving = 1u << 8,
    goColMoving = 1u << 9,
    goEditing = 1u << 10,
    goTabs = 1u << 11,
    goRowSelect = 1u << 12,
    goAlwaysShowEditor = 1u << 13,
    goThumbTracking = 1u << 14,
};
Q_DECLARE_FLAGS(TGridOptions, TGridOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TGridOptions)

enum TGridDrawStateFlag : unsigned {
    gdSelected = 1u << 0,
    gdFocused = 1u << 1,
    gdFixed = 1u << 2,
    gdRowSelected = 1u << 3,
    gdHotTrack = 1u << 4,
    gdPressed = 1u << 5,
};
Q_DECLARE_FLAGS(TGridDrawState, TGridDrawStateFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(TGridDrawState)

enum class TGridState { gsNormal, gsSelecting, gsRowSizing, gsColSizing, gsRowMoving, gsColMoving };
enum class TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
enum class TBorderStyle { bsNone, bsSingle };
enum class TScrollBarKind { sbHorizontal, sbVertical };

// A scroll bar as the platform describes it: the thumb moves over nMin .. nMax - nPage + 1
// (nMax with nPage 0); nPage is the size of the thumb in the same units.
struct TScrollInfo {
    int nMin = 0;
    int nMax = 0;
    int nPage = 0;
    int nPos = 0;
    int nTrackPos = 0;
};

// One axis of the visible layout (columns for Horz, rows for Vert), in client pixels.
struct TGridAxisDrawInfo {
    int EffectiveLineWidth = 0; // GridLineWidth when a line option of the axis is on
    int FixedBoundary = 0;      // end of the fixed cells (with their lines)
    int GridBoundary = 0;       // end of the last (partly) visible cell, at most GridExtent
    int GridExtent = 0;         // client width / height
    int LastFullVisibleCell = 0;
    int FullVisBoundary = 0;    // end of the last fully visible cell (with its line)
    int FixedCellCount = 0;
    int FirstGridCell = 0;      // LeftCol / TopRow
    int GridCellCount = 0;      // ColCount / RowCount
};
struct TGridDrawInfo {
    TGridAxisDrawInfo Horz;
    TGridAxisDrawInfo Vert;
};

class TStringGrid : public QAbstractScrollArea {
    Q_OBJECT
    friend class TInplaceEdit;

public:
    using NotifyEvent = std::function<void(TStringGrid* sender)>;
    using SelectCellEvent = std::function<void(TStringGrid* sender, int col, int row, bool& canSelect)>;
    using DrawCellEvent = std::function<void(TStringGrid* sender, int col, int row, const Rect& rect, TGridDrawState state)>;
    using GetEditEvent = std::function<void(TStringGrid* sender, int col, int row, QString& value)>;
    using SetEditEvent = std::function<void(TStringGrid* sender, int col, int row, const QString& value)>;
    using MovedEvent = std::function<void(TStringGrid* sender, int fromIndex, int toIndex)>;
    using KeyEvent = std::function<void(TStringGrid* sender, quint16& key, TShiftState shift)>;
    using KeyPressEvent = std::function<void(TStringGrid* sender, QChar& key)>;
    using MouseEvent = std::function<void(TStringGrid* sender, TMouseButton button, TShiftState shift, int x, int y)>;
    using MouseMoveEvent = std::function<void(TStringGrid* sender, TShiftState shift, int x, int y)>;
    using MouseWheelUpDownEvent = std::function<void(TStringGrid* sender, TShiftState shift, QPoint mousePos, bool& handled)>;

    explicit TStringGrid(QWidget* parent = nullptr);
    ~TStringGrid() override;

    // --- cells ---------------------------------------------------------------------------
    QString cells(int col, int row) const;
    void setCells(int col, int row, const QString& value);
    void* objects(int col, int row) const;
    void setObjects(int col, int row, void* object);
    const GridCellStore& cellStore() const { return m_cells; }

    // --- dimensions ------------------------------------------------------------------------
    int colCount() const { return m_colCount; }
    void setColCount(int value);
    int rowCount() const { return m_rowCount; }
    void setRowCount(int value);
    int fixedCols() const { return m_fixedCols; }
    void setFixedCols(int value);
    int fixedRows() const { return m_fixedRows; }
    void setFixedRows(int value);
    int defaultColWidth() const { return m_defaultColWidth; }
    void setDefaultColWidth(int value);
    int defaultRowHeight() const { return m_defaultRowHeight; }
    void setDefaultRowHeight(int value);
    // Widths and heights of columns/rows at or beyond the count read as the default; writing
    // one outside the count raises "Grid index out of range".
    int colWidths(int index) const;
    void setColWidths(int index, int value);
    int rowHeights(int index) const;
    void setRowHeights(int index, int value);
    bool tabStops(int index) const;
    void setTabStops(int index, bool value);
    int gridLineWidth() const { return m_gridLineWidth; }
    void setGridLineWidth(int value);
    TGridOptions options() const { return m_options; }
    void setOptions(TGridOptions value);
    TScrollStyle scrollBars() const { return m_scrollBars; }
    void setScrollBars(TScrollStyle value);
    TBorderStyle borderStyle() const { return m_borderStyle; }
    void setBorderStyle(TBorderStyle value);
    Color color() const { return m_color; }
    void setColor(Color value);
    Color fixedColor() const { return m_fixedColor; }
    void setFixedColor(Color value);
    bool defaultDrawing() const { return m_defaultDrawing; }
    void setDefaultDrawing(bool value);
    // The client area (the viewport), in which cells are laid out.
    int clientWidth() const;
    int clientHeight() const;

    // --- current cell, selection, scrolling ---------------------------------------------
    int col() const { return m_current.X; }
    void setCol(int value);
    int row() const { return m_current.Y; }
    void setRow(int value);
    int leftCol() const { return m_topLeft.X; }
    void setLeftCol(int value);
    int topRow() const { return m_topLeft.Y; }
    void setTopRow(int value);
    int visibleColCount() const;
    int visibleRowCount() const;
    TGridRect selection() const;
    void setSelection(const TGridRect& value);
    TGridCoord anchor() const { return m_anchor; }
    TGridState gridState() const { return m_gridState; }

    // --- geometry ----------------------------------------------------------------------
    Rect cellRect(int col, int row) const;
    void mouseToCell(int x, int y, int& col, int& row) const;
    TGridCoord mouseCoord(int x, int y) const;
    // The column and the row under a point, each on its own: -1 on an axis the point misses.
    TGridCoord calcCoordFromPoint(int x, int y, const TGridDrawInfo& info) const;
    TGridDrawInfo calcDrawInfo() const;

    // --- structure (display indexes inside the counts; "Grid index out of range" else) ------
    void moveColumn(int fromIndex, int toIndex);
    void moveRow(int fromIndex, int toIndex);
    // Moves the column (row) to the last place and lowers the count by one: its texts and
    // objects end up just beyond the new count.
    void deleteColumn(int index);
    void deleteRow(int index);

    // --- editing ---------------------------------------------------------------------------
    bool editorMode() const { return m_editorMode; }
    void setEditorMode(bool value);
    TInplaceEdit* inplaceEditor() const { return m_inplaceEdit; }

    // --- repainting ----------------------------------------------------------------------
    void invalidateCell(int col, int row);
    void invalidateRow(int row);
    void invalidateCol(int col);
    void invalidateGridRect(const TGridRect& rect);
    void invalidateGrid();
    // The whole control; derived grids may suppress it.
    virtual void invalidate();

    // Drawing surface of the paint in progress (a cell painter's canvas).
    Canvas& canvas();
    bool isPainting() const { return m_canvas != nullptr; }

    // --- scroll bars as the platform's functions give them ---------------------------------
    TScrollInfo getScrollInfo(TScrollBarKind bar) const;
    // Sets range, page and position; the bar shows when the range has something to scroll
    // (nMax - nMin >= nPage, nMax > nMin) and hides otherwise, as long as ScrollBars allows it.
    void setScrollInfo(TScrollBarKind bar, const TScrollInfo& info);
    int getScrollPos(TScrollBarKind bar) const;
    void setScrollPos(TScrollBarKind bar, int pos);
    void showScrollBar(TScrollBarKind bar, bool show);
    void enableScrollBar(TScrollBarKind bar, bool enable);
    bool scrollBarVisible(TScrollBarKind bar) const;
    bool scrollBarEnabled(TScrollBarKind bar) const;

    // --- timers (window timers by id; each tick runs wmTimer(id)) --------------------------
    void setWindowTimer(int id, int intervalMs);
    void killWindowTimer(int id);
    bool windowTimerActive(int id) const;
    int windowTimerInterval(int id) const;
    static constexpr int kScrollTimerId = 1;
    static constexpr int kScrollTimerMs = 60;

    // --- events (the sender is the grid) ----------------------------------------------------
    SelectCellEvent onSelectCell;
    NotifyEvent onTopLeftChanged;
    DrawCellEvent onDrawCell;
    GetEditEvent onGetEditText;
    SetEditEvent onSetEditText;
    GetEditEvent onGetEditMask;
    MovedEvent onColumnMoved;
    MovedEvent onRowMoved;
    KeyEvent onKeyDown;
    KeyEvent onKeyUp;
    KeyPressEvent onKeyPress;
    MouseEvent onMouseDown;
    MouseMoveEvent onMouseMove;
    MouseEvent onMouseUp;
    MouseWheelUpDownEvent onMouseWheelDown;
    MouseWheelUpDownEvent onMouseWheelUp;
    NotifyEvent onClick;
    NotifyEvent onDblClick;
    NotifyEvent onEnter;
    NotifyEvent onExit;
    NotifyEvent onResize;

protected:
    // --- hooks --------------------------------------------------------------------------
    virtual bool selectCell(int col, int row);
    virtual void topLeftChanged();
    virtual void drawCell(int col, int row, const Rect& rect, TGridDrawState state);
    virtual void paint();
    // Moves the stored cells (any indexes, also beyond the counts), then fires the event.
    virtual void columnMoved(int fromIndex, int toIndex);
    virtual void rowMoved(int fromIndex, int toIndex);
    virtual void colWidthsChanged();
    virtual void rowHeightsChanged();
    virtual void sizeChanged(int oldColCount, int oldRowCount);
    virtual void calcSizingState(int x, int y, TGridState& state, int& index, int& sizingPos, int& sizingOfs,
                                 const TGridDrawInfo& info);
    virtual void click();
    virtual void dblClick();
    virtual void doEnter();
    virtual void doExit();
    virtual void resized();

    // Editing.
    virtual TInplaceEdit* createEditor();
    virtual bool canEditShow();
    virtual bool canEditModify();
    virtual bool canEditAcceptKey(QChar key);
    virtual bool canGridAcceptKey(quint16 key, TShiftState shift);
    virtual QString getEditText(int col, int row);
    virtual void setEditText(int col, int row, const QString& value);
    virtual int getEditLimit();
    virtual QString getEditMask(int col, int row);
    // The editor's text changed (its EN_CHANGE); the base passes the text on (updateText).
    virtual void editorChanged();

    // Keyboard and mouse steps (the message handlers call them).
    virtual void keyDown(quint16& key, TShiftState shift);
    virtual void keyUp(quint16& key, TShiftState shift);
    virtual void keyPress(QChar& key);
    virtual void mouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void mouseMove(TShiftState shift, int x, int y);
    virtual void mouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual bool doMouseWheel(TShiftState shift, int wheelDelta, QPoint mousePos);
    virtual bool doMouseWheelDown(TShiftState shift, QPoint mousePos);
    virtual bool doMouseWheelUp(TShiftState shift, QPoint mousePos);

    // Message handlers; the base versions are the platform's handling.
    virtual void wmKeyDown(TWMKey& msg);
    virtual void wmKeyUp(TWMKey& msg);
    virtual void wmChar(TWMKey& msg);
    virtual void wmLButtonDown(TWMMouse& msg);
    virtual void wmLButtonUp(TWMMouse& msg);
    virtual void wmLButtonDblClk(TWMMouse& msg);
    virtual void wmRButtonDown(TWMMouse& msg);
    virtual void wmRButtonUp(TWMMouse& msg);
    virtual void wmMButtonDown(TWMMouse& msg);
    virtual void wmMButtonUp(TWMMouse& msg);
    virtual void wmMouseMove(TWMMouse& msg);
    virtual void wmMouseWheel(TWMMouseWheel& msg);
    virtual void wmHScroll(TScrollCode code, int pos);
    virtual void wmVScroll(TScrollCode code, int pos);
    virtual void wmSetCursor(int x, int y);
    virtual void wmSetFocus(QWidget* previous);
    virtual void wmKillFocus(QWidget* next);
    virtual void wmSize();
    virtual void wmTimer(int id);
    virtual int wmGetDlgCode();
    // The mouse left the client area (empty here).
    virtual void cmMouseLeave();
    // Ends a press state (sizing, moving, selecting) without finishing it.
    virtual void cancelMode();

    // --- row blocks for derived grids -----------------------------------------------------
    // Store rows and row heights move together, each operation one pass over the rows it
    // shifts; they fire no event and leave the current cell to the caller (a count change
    // that leaves it outside moves it as RowCount does). Display rows inside the count:
    //   rotateRowBlock(first, middle, last)  rows middle..last-1 to first.., first..middle-1
    //                                        after them (last <= RowCount)
    //   takeRowBlock(rows)                   the listed rows (ascending) leave with their
    //                                        heights; the rest close up; RowCount - k
    //   putRowBlock(positions, rows)         rows in at their final places (ascending);
    //                                        RowCount + k; what the store kept beyond the
    //                                        old count at those k places is dropped
    //   permuteRowBlock(first, order)        row first + i takes row first + order[i]
    void rotateRowBlock(int first, int middle, int last);
    //   insertRowBlock(first, count)         count empty rows of the default height in at
    //                                        first; RowCount + count
    //   deleteRowBlock(first, count)         rows first .. first + count - 1 are dropped (their
    //                                        texts and references); RowCount - count
    void insertRowBlock(int first, int count);
    void deleteRowBlock(int first, int count);
    TTakenRows takeRowBlock(const std::vector<int>& rows);
    void putRowBlock(const std::vector<int>& positions, TTakenRows rows);
    void permuteRowBlock(int first, const std::vector<int>& order);
    // The heights alone (a row move whose cells the store already moved).
    void rotateRowHeights(int first, int middle, int last);
    GridCellStore& cellStoreForWrite() { return m_cells; }

    // --- the standard grid's operations for derived grids ---------------------------------
    void moveCurrent(int col, int row, bool moveAnchor, bool show);
    void moveAnchor(TGridCoord newAnchor);
    void focusCell(int col, int row, bool moveAnchor);
    void moveTopLeft(int left, int top);
    void clampInView(TGridCoord coord);
    TGridCoord calcMaxTopLeft(TGridCoord coord, const TGridDrawInfo& info) const;
    void modifyScrollBar(TScrollBarKind bar, TScrollCode code, int pos);
    void updateScrollRange();
    void updateScrollPos();
    void showEditor();
    void hideEditor();
    void showEditorChar(QChar ch);
    void updateEdit();
    void hideEdit();
    void updateText();
    void invalidateEditor();
    bool isActiveControl() const;
    void setGridState(TGridState state) { m_gridState = state; }
    int sizingIndex() const { return m_sizingIndex; }
    int sizingPos() const { return m_sizingPos; }
    int moveIndex() const { return m_moveIndex; }
    int movePos() const { return m_movePos; }
    TShiftState keyState() const { return m_keyState; }
    // Timer 1 of the press states.
    void scrollTimerTick();

    // --- Qt plumbing ------------------------------------------------------------------------
    bool event(QEvent* e) override;
    bool viewportEvent(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void scrollContentsBy(int dx, int dy) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    struct BarState {
        TScrollInfo info;
        bool visible = false;
        bool enabled = true;
    };

    void initialize();
    void changeSize(int newColCount, int newRowCount);
    void topLeftMoved(TGridCoord oldTopLeft);
    void selectionMoved(const TGridRect& oldSel);
    void ensureExtents(std::vector<int>& extents, int count, int defaultValue);
    void drawCells(int col, int row, int startX, int startY, int stopX, int stopY, Color fill,
                   TGridDrawState include, const TGridDrawInfo& info, const TGridRect& sel);
    void drawLines(bool doHorz, bool doVert, int col, int row, const Rect& bounds, Color onColor,
                   Color offColor, const TGridDrawInfo& info);
    void drawSizingLine(const TGridDrawInfo& info);
    void drawMove();
    void moveAndScroll(int mouse, int cellHit, TGridDrawInfo& info, bool horizontal);
    void applyScrollBar(TScrollBarKind bar);
    QScrollBar* qtBar(TScrollBarKind bar) const;
    void scrollBarAction(TScrollBarKind bar, int action);
    void dispatchKeyPress(QKeyEvent* e);
    bool offerDialogKey(QKeyEvent* e);
    TWMMouse mouseMessage(QMouseEvent* e);
    void sendScrollCode(TScrollBarKind bar, TScrollCode code, int pos);
    bool wantsScrollBar(TScrollBarKind bar) const;
    bool mayBeVisible(const TGridRect& rect) const;

    GridCellStore m_cells;
    int m_colCount = 5;
    int m_rowCount = 5;
    int m_fixedCols = 1;
    int m_fixedRows = 1;
    int m_defaultColWidth = 64;
    int m_defaultRowHeight = 24;
    int m_gridLineWidth = 1;
    std::vector<int> m_colWidths;  // empty while every column has the default width
    std::vector<int> m_rowHeights; // empty while every row has the default height
    std::vector<char> m_tabStops;  // empty while every column is a tab stop
    TGridOptions m_options = goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect;
    TScrollStyle m_scrollBars = TScrollStyle::ssBoth;
    TBorderStyle m_borderStyle = TBorderStyle::bsSingle;
    Color m_color = clWindow;
    Color m_fixedColor = clBtnFace;
    bool m_defaultDrawing = true;

    TGridCoord m_current{1, 1};
    TGridCoord m_anchor{1, 1};
    TGridCoord m_topLeft{1, 1};
    TGridState m_gridState = TGridState::gsNormal;
    int m_sizingIndex = -1;
    int m_sizingPos = 0;
    int m_sizingOfs = 0;
    bool m_sizingLineShown = false;
    int m_moveIndex = -1;
    int m_movePos = -1;
    bool m_moveMarkShown = false;
    QPoint m_lastMouse;

    TInplaceEdit* m_inplaceEdit = nullptr;
    int m_inplaceCol = -1;
    int m_inplaceRow = -1;
    bool m_editorMode = false;
    bool m_canEditModify = true;
    int m_editUpdate = 0;

    Canvas* m_canvas = nullptr;
    QRect m_paintRect;
    BarState m_bars[2];
    bool m_inScrollRange = false;
    QSize m_lastSize;
    QMetaObject::Connection m_focusConnection;
    std::map<int, QTimer*> m_timers;
    int m_wheelAccumulator = 0;
    TShiftState m_keyState;
};

} // namespace platform
