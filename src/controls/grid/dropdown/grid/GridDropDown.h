#pragma once
// TCustomExtGridDropDown: a drop-down whose popup hosts a whole string grid of the suite
// (griddrop::TExtColGrid). Its rows come from the drop-down's Items (UseItems: one text per
// column, the item's index kept as the object of column 0 so that the link survives sorting) or
// from the hosted grid's own cells. The edit shows the chosen row's LookupColumn text.
//
// In the popup: a click on a data row or Return chooses it and closes the popup (unless the grid
// may be edited), Escape closes it putting back the item of the opening; a header click sorts the
// rows (Sorting; the chosen item stays chosen); typed characters look the row up (LookupMethod:
// lmLookup moves to the first row starting with the typed text, lmNarrowDown keeps only the rows
// whose look-up cell contains it, in any case). In the edit, typing completes from the look-up
// column, Up, Down, Page Up and Page Down step through the rows, Home and End too with
// dsDropDownList (which makes the edit read-only for typing: a character that continues no
// entry starts a new look-up). The hosted grid's events are raised as the drop-down's own
// OnGrid... events, with the hosted grid as sender.
#include "controls/grid/dropdown/ListDropDownShared.h"
#include "controls/grid/auxwin/GridAux.h"

#include <QStringList>
#include <memory>
#include <vector>

namespace controls::grid::dropdown {

enum TLookupMethod { lmLookup, lmNarrowDown, lmNone };
enum TGridSorting { gsNone, gsSingleColumn, gsMultiColumn };
enum TDropDownStyle { dsDropDown, dsDropDownList };

class TCustomExtGridDropDown;

namespace griddrop {

// The grid of the popup: the suite's string grid with its auxiliary windows (hints, balloons,
// anchors under the mouse, moving rows and columns by mouse) with one fixed header row, row
// selection and no border. It paints with the suite grid's own painting; HeaderColor, HeaderColorTo, LineColor,
// FixedLineColor and HeaderFont are kept for the drop-down's settings only.
class TExtColGrid : public TExtStringGridAux {
public:
    explicit TExtColGrid(QWidget* parent = nullptr);

    TDropDownColumns& Columns() { return m_columns; }
    Color LineColor = 0xF1EDEB;
    Color FixedLineColor = 0xD1BBA4;
    Color HeaderColor = 0xFFFFFF;
    Color HeaderColorTo = 0x808080;
    int HeaderHeight = 25;
    QFont HeaderFont;
    // Used for the automatic column widths and row heights of image columns.
    const platform::TImageList* Images = nullptr;
    // Set by a key or a press in the grid: closing the popup takes the grid's row.
    bool ConfirmSelection = false;
    bool MouseWheelSelection = false;
    int OldRow = 0;
    std::function<void()> OnSelect;

    void SetDropDown(TCustomExtGridDropDown* dropDown) { m_dropDown = dropDown; }
    TCustomExtGridDropDown* DropDown() const { return m_dropDown; }
    // Writes the drop-down's columns and items into the cells (header row first).
    void FillFromItems();
    // Takes the drop-down's columns, colours, sizes and options.
    void LoadFromDropDown(TCustomExtGridDropDown* d);
    int GetTotalWidth() const;
    // The drop-down's column that a grid column shows: columns moved by mouse take their
    // settings (alignment, colour) and, for column 0, the items' indexes with them. The order
    // goes back to the columns' own with each fill from the items.
    int SourceColumn(int col) const;
    // The grid column that shows the drop-down's column source.
    int PlaceOf(int source) const;
    // The grid column that holds each data row's item index.
    int ItemColumn() const { return PlaceOf(0); }
    void AutoSizeColumn(int index);
    void AutoSizeColumns();
    void AutoRowHeights();
    virtual void DoSelect();
    bool AllRowsVisible() const;

    // Keeps only the data rows whose cell in col contains text, ignoring case (after removing
    // the filters before); an empty text keeps every row.
    void NarrowDown(const QString& text, int col);
    void RemoveAllFilters();
    // Sorts the data rows by SortSettings (single column) or SortIndexes (several columns):
    // numbers by value, other texts alphabetically ignoring case; equal rows keep their order.
    void QSort();
    // A click on the header of a column: asks OnCanSort, turns the sort on that column around or
    // starts it there (with the index key held under gsMultiColumn: adds the column as the next
    // sort key), sorts, then ClickSort.
    void HeaderClickSort(int col, platform::TShiftState shift);

protected:
    void keyDown(quint16& key, platform::TShiftState shift) override;
    void mouseDown(platform::TMouseButton button, platform::TShiftState shift, int x, int y) override;
    void mouseUp(platform::TMouseButton button, platform::TShiftState shift, int x, int y) override;
    bool doMouseWheelDown(platform::TShiftState shift, QPoint mousePos) override;
    bool doMouseWheelUp(platform::TShiftState shift, QPoint mousePos) override;
    void wmKeyDown(platform::TWMKey& msg) override;
    void wmChar(platform::TWMKey& msg) override;
    int wmGetDlgCode() override;
    void columnMoved(int fromIndex, int toIndex) override;
    void wmLButtonDown(platform::TWMMouse& msg) override;

private:
    bool NearColumnBorder(int x) const;
    // The drop-down's column shown at each place (empty: each column at its own place).
    std::vector<int> m_columnOrder;
    // The press began sizing or moving a row or column: its release chooses nothing.
    bool m_pressDrags = false;

    TDropDownColumns m_columns;
    TCustomExtGridDropDown* m_dropDown = nullptr;
    platform::TGridCoord m_pressCell{-1, -1};
    platform::TShiftState m_pressShift;
};

} // namespace griddrop

class TCustomExtGridDropDown : public TExtCustomDropDown, public TListDropDownLook {
    Q_OBJECT
    friend class griddrop::TExtColGrid;

public:
    using G = griddrop::TExtColGrid;

    explicit TCustomExtGridDropDown(QWidget* parent = nullptr);
    ~TCustomExtGridDropDown() override;

    quint32 GetVersionNr() const override { return 0x06000101; }

    // --- rows -----------------------------------------------------------------------------------
    TDropDownColumns& Columns() { return m_columns; }
    TDropDownItems& Items() { return *m_items; }
    int RowCount() const { return m_items->Count(); }
    int ItemIndex() const { return m_itemIndex; }
    void SetItemIndex(int value);
    // The first row whose LookupColumn text starts with text (ignoring case unless
    // CaseSensitive): with UseItems the item's text and index, else the grid cell and the grid
    // row. False with an empty result and -1 when none.
    bool LookupItem(const QString& text, QString& fullText, int& index) const;
    void BeginUpdate() {}
    void EndUpdate() { UpdateLookupItems(); }
    void Loaded();
    void UpdateLookupItems();
    const QStringList& LookupItems() const { return m_completion.LookupItems; }
    G* GetGrid() const { return m_grid; }
    // The item a grid row shows (the row itself without the grid or beyond its rows).
    int RowToItem(int row) const;
    // The first data row showing the item; the current ItemIndex when no row does.
    int ItemToRow(int item) const;

    // --- settings -------------------------------------------------------------------------------
    bool ColumnMoving = false;
    TLookupMethod LookupMethod = lmLookup;
    bool UseItems = true;
    bool RowSelect = true;
    TSearchFooter& SearchFooter() { return m_searchFooter; }
    void SetSearchFooter(const TSearchFooter& s) { m_searchFooter.Assign(&s); }
    TBands& Bands() { return m_bands; }
    void SetBands(const TBands& b) { m_bands.Assign(&b); }
    TNavigation& Navigation() { return m_navigation; }
    void SetNavigation(const TNavigation& n) { m_navigation.Assign(&n); }
    TMouseActions& MouseActions() { return m_mouseActions; }
    void SetMouseActions(const TMouseActions& m) { m_mouseActions.Assign(&m); }
    TDropDownStyle Style() const { return m_style; }
    void SetStyle(TDropDownStyle style);
    bool HoverRow = false;
    Color HoverRowColor = 0xFF000018;
    Color HoverRowColorTo = clNone;
    TGridSorting Sorting = gsNone;
    bool GridEditable = false;
    platform::TImageList* GridImages() const { return m_gridImages; }
    void SetGridImages(platform::TImageList* images);
    bool RowMoving = false;
    bool RowSizing = false;
    bool AutoShowDropDown = false;
    bool AutoSizeColumns = true;
    QString LookupEntry() const { return m_lookupEntry; }

    NotifyEvent OnSelect;

    // --- the hosted grid's events (sender: the hosted grid) ----------------------------------------
    decltype(G::OnAnchorClick) OnGridAnchorClick;
    decltype(G::OnAnchorEnter) OnGridAnchorEnter;
    decltype(G::OnAnchorExit) OnGridAnchorExit;
    decltype(G::OnAnchorHint) OnGridAnchorHint;
    decltype(G::OnButtonClick) OnGridButtonClick;
    // The grid's sort events serve to keep the chosen item through a sort, and it sorts with
    // its own compare: these five are raised only by a descendant that calls their Do....
    decltype(G::OnCanSort) OnGridCanSort;
    decltype(G::OnClickSort) OnGridClickSort;
    decltype(G::OnCustomCompare) OnGridCustomCompare;
    decltype(G::OnRawCompare) OnGridRawCompare;
    decltype(G::OnColumnSize) OnGridColumnSize;
    decltype(G::OnColumnSizing) OnGridColumnSizing;
    decltype(G::OnEndColumnSize) OnGridEndColumnSize;
    decltype(G::OnRowSize) OnGridRowSize;
    decltype(G::OnRowSizing) OnGridRowSizing;
    decltype(G::OnEndRowSize) OnGridEndRowSize;
    decltype(G::OnRowMove) OnGridRowMove;
    decltype(G::OnRowMoving) OnGridRowMoving;
    decltype(G::onRowMoved) OnGridRowMoved;
    decltype(G::OnColumnMove) OnGridColumnMove;
    decltype(G::OnColumnMoving) OnGridColumnMoving;
    decltype(G::onColumnMoved) OnGridColumnMoved;
    decltype(G::OnCustomCellDraw) OnGridCustomCellDraw;
    decltype(G::OnCustomCellBkgDraw) OnGridCustomCellBkgDraw;
    decltype(G::OnCellBalloon) OnGridCellBalloon;
    decltype(G::OnGetAlignment) OnGridGetAlignment;
    decltype(G::OnGetCellColor) OnGridGetCellColor;
    decltype(G::OnGetCellGradient) OnGridGetCellGradient;
    decltype(G::OnGetFloatFormat) OnGridGetFloatFormat;
    decltype(G::OnGetEditorType) OnGridGetEditorType;
    decltype(G::OnGetEditorProp) OnGridGetEditorProp;
    decltype(G::OnCanEditCell) OnGridCanEditCell;
    decltype(G::OnGetDisplText) OnGridGetDiplText;
    decltype(G::OnGetFormat) OnGridGetFormat;
    decltype(G::OnGridHint) OnGridHint;
    decltype(G::onMouseMove) OnGridMouseMove;
    decltype(G::onMouseDown) OnGridMouseDown;
    decltype(G::onMouseUp) OnGridMouseUp;
    decltype(G::onKeyDown) OnGridKeyDown;
    decltype(G::onKeyUp) OnGridKeyUp;
    decltype(G::onKeyPress) OnGridKeyPress;
    decltype(G::OnRightClickCell) OnGridRightClickCell;
    decltype(G::OnScrollHint) OnGridScrollHint;
    decltype(G::onTopLeftChanged) OnGridTopLeftChanged;
    decltype(G::OnAutoAddRow) OnGridAutoAddRow;
    decltype(G::OnAutoInsertRow) OnGridInsertRow;
    decltype(G::OnAutoInsertCol) OnGridInsertCol;
    decltype(G::OnAutoDeleteRow) OnGridDeleteRow;
    decltype(G::OnCanAddRow) OnGridCanAddRow;
    decltype(G::OnCanInsertRow) OnGridCanInsertRow;
    decltype(G::OnCanDeleteRow) OnGridCanDeleteRow;
    decltype(G::OnCheckBoxClick) OnGridCheckBoxClick;
    decltype(G::OnEllipsClick) OnGridEllipsClick;
    decltype(G::OnSearchEditChange) OnGridSearchEditChange;
    decltype(G::OnSpinClick) OnGridSpinClick;

    // --- the drop-down's steps ----------------------------------------------------------------------
    void CreateDropDownForm() override;
    void BeforeDropDown() override;
    void AdjustDropDownHeight(int& height) override;
    void DoShowDropDown() override;
    void PlaceDropDownControl() override;
    void SizeDropDownForm() override;
    void DoHideDropDown(bool cancel) override;
    void ControlKeyDown(quint16& key, TShiftState shift) override;
    void ControlKeyUp(quint16& key, TShiftState shift) override;
    void ControlKeyPress(QChar& key) override;
    void DropDownSizing() override;
    void SelectNextValue() override;
    void SelectPreviousValue() override;
    void SetSelectionColorStyle(TSelectionColorStyle style) override;
    void SetComponentStyle(TVekkoStyle style) override;
    void KeyDown(quint16& key, TShiftState shift) override;
    void KeyPress(QChar& key) override;
    void WMKeyDown(platform::TWMKey& msg, TShiftState shift) override;
    void WMChar(platform::TWMKey& msg) override;
    void Change() override;

    void SizeColumnsToWidth();

    // --- forwarders of the hosted grid's events -------------------------------------------------------
    virtual std::unique_ptr<TDropDownItems> CreateItems();
    virtual void DoGridAnchorClick(TExtStringGridInput* s, int row, int col, const QString& anchor, bool& autoHandle);
    virtual void DoGridAnchorEnter(TExtStringGridAux* s, int row, int col, const QString& anchor);
    virtual void DoGridAnchorExit(TExtStringGridAux* s, int row, int col, const QString& anchor);
    virtual void DoGridAnchorHint(TExtStringGridAux* s, int row, int col, QString& anchor);
    virtual void DoGridButtonClick(TExtStringGrid* s, int col, int row);
    virtual void DoGridCanSort(TExtStringGridInput* s, int col, bool& doSort);
    virtual void DoGridClickSort(TExtStringGridEdit* s, int col);
    virtual void DoGridCustomCompare(TExtStringGrid* s, const QString& str1, const QString& str2, int& res);
    virtual void DoGridRawCompare(TExtStringGrid* s, int col, int row1, int row2, int& res);
    virtual void DoGridColumnSize(TExtStringGrid* s, int index, bool& allow);
    virtual void DoGridColumnSizing(TExtStringGridInput* s, int col, int size);
    virtual void DoGridEndColumnSize(TExtStringGrid* s, int col);
    virtual void DoGridRowSize(TExtStringGrid* s, int index, bool& allow);
    virtual void DoGridRowSizing(TExtStringGridInput* s, int row, int size);
    virtual void DoGridEndRowSize(TExtStringGrid* s, int row);
    virtual void DoGridRowMove(TExtStringGridAux* s, int index, bool& allow);
    virtual void DoGridRowMoving(TExtStringGridAux* s, int index, bool& allow);
    virtual void DoGridRowMoved(platform::TStringGrid* s, int fromIndex, int toIndex);
    virtual void DoGridColumnMove(TExtStringGridAux* s, int index, bool& allow);
    virtual void DoGridColumnMoving(TExtStringGridAux* s, int index, bool& allow);
    virtual void DoGridColumnMoved(platform::TStringGrid* s, int fromIndex, int toIndex);
    virtual void DoGridCustomCellDraw(TExtStringGridPaint* s, platform::Canvas& canvas, int col, int row,
                                      platform::TGridDrawState state, const platform::Rect& rect, bool printing);
    virtual void DoGridCustomCellBkgDraw(TExtStringGridPaint* s, platform::Canvas& canvas, int col, int row,
                                         platform::TGridDrawState state, const platform::Rect& rect, bool printing);
    virtual void DoGridCellBalloon(TExtStringGridAux* s, int col, int row, QString& title, QString& text, int& icon);
    virtual void DoGridGetAlignment(TExtStringGrid* s, int row, int col, platform::Alignment& hAlign,
                                    TVAlignment& vAlign);
    virtual void DoGridGetCellColor(TExtStringGrid* s, int row, int col, platform::TGridDrawState state,
                                    platform::Brush& brush, platform::Font& font);
    virtual void DoGridGetCellGradient(TExtStringGridPaint* s, int row, int col, Color& color, Color& colorTo,
                                       Color& mirrorColor, Color& mirrorColorTo, TCellGradientDirection& direction);
    virtual void DoGridGetFloatFormat(TExtStringGridPaint* s, int col, int row, bool& isFloat, QString& format);
    virtual void DoGridGetEditorType(TExtStringGrid* s, int col, int row, TEditorType& editor);
    virtual void DoGridGetEditorProp(TExtStringGridEdit* s, int col, int row);
    virtual void DoGridCanEditCell(TExtStringGrid* s, int col, int row, bool& canEdit);
    virtual void DoGridEllipsClick(TExtStringGridEdit* s, int col, int row, QString& value);
    virtual void DoGridGetDiplText(TBaseGrid* s, int col, int row, QString& value);
    virtual void DoGridGetFormat(TExtStringGrid* s, int col, int& style, QString& prefix, QString& suffix);
    virtual void DoGridHint(TExtStringGrid* s, int row, int col, QString& hint);
    virtual void DoGridMouseMove(platform::TStringGrid* s, TShiftState shift, int x, int y);
    virtual void DoGridMouseDown(platform::TStringGrid* s, platform::TMouseButton b, TShiftState shift, int x, int y);
    virtual void DoGridMouseUp(platform::TStringGrid* s, platform::TMouseButton b, TShiftState shift, int x, int y);
    virtual void DoGridKeyDown(platform::TStringGrid* s, quint16& key, TShiftState shift);
    virtual void DoGridKeyUp(platform::TStringGrid* s, quint16& key, TShiftState shift);
    virtual void DoGridKeyPress(platform::TStringGrid* s, QChar& key);
    virtual void DoGridRightClickCell(TExtStringGridInput* s, int row, int col);
    virtual void DoGridScrollHint(TExtStringGrid* s, int index, QString& hint);
    virtual void DoGridTopLeftChanged(platform::TStringGrid* s);
    virtual void DoGridSearchEditChange(TExtStringGridPaint* s, const QString& text, bool& defaultSearch);
    virtual void DoGridSpinClick(TExtStringGridEdit* s, int col, int row, int value, bool up);
    virtual void DoGridAutoAddRow(TExtStringGrid* s, int row);
    virtual void DoGridInsertRow(TExtStringGrid* s, int row);
    virtual void DoGridInsertCol(TExtStringGrid* s, int col);
    virtual void DoGridDeleteRow(TExtStringGrid* s, int row);
    virtual void DoGridCanAddRow(TExtStringGrid* s, bool& canAdd);
    virtual void DoGridCanInsertRow(TExtStringGrid* s, int row, bool& canInsert);
    virtual void DoGridCanDeleteRow(TExtStringGridInput* s, int row, bool& canDelete);

protected:
    void KeyUp(quint16& key, TShiftState shift) override;
    void DoEnter() override;

private:
    int DoLookup(QChar ch);
    // The grid column that shows LookupColumn (it moves when the user moves the column).
    int LookupPlace() const;
    // Narrows the grid's rows to the text (empty: every row).
    void Narrow(const QString& text);
    void GridSelectCell(int row);
    void GridSelect();
    void GridKeyDown(quint16& key);
    void RememberItem();
    void ReselectItem();
    void ConnectGridEvents();
    void SelectFirst();
    void SelectLast();
    void StepBy(int (*step)(int, int));
    int EntryCount() const;
    void SelectEntry(int index);
    void ShowLookupRow(int row);

    TDropDownColumns m_columns;
    std::unique_ptr<TDropDownItems> m_items;
    G* m_grid = nullptr;
    int m_itemIndex = -1;
    int m_selRow = 1;
    bool m_balloonInit = false;
    TListCompletion m_completion;
    int m_oldItemIndex = -1;
    int m_tempItemIndex = -1;
    QString m_lookupEntry;
    TDropDownStyle m_style = dsDropDown;
    platform::TImageList* m_gridImages = nullptr;
    TSearchFooter m_searchFooter;
    TBands m_bands;
    TNavigation m_navigation;
    TMouseActions m_mouseActions;
    bool m_filling = false;
};

} // namespace controls::grid::dropdown
