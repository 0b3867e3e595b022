#pragma once
// TExtStringGrid: the string grid of the suite - TBaseGrid with cell objects (check boxes,
// images, progress bars ...), hidden columns and rows, settings objects, row and column
// operations, sizing, selection lists and typed cell access. The column grid of the table
// windows derives from it.
//
// Indexes. Cells are stored by real column (hidden columns keep their texts in place) and by
// display row (a hidden row leaves the cell store whole and lives in a hidden-row item until it
// is shown again). Cells(c, r), Objects and the
// cell-object operations take a real column and a display row; AllCells and the other "All"
// accessors a real column and a real row. Display columns and rows are what the current cell,
// the selection, painting and the mouse use. RealColIndex / DisplColIndex and RealRowIndex /
// DisplRowIndex map between them; while nothing is hidden they are the identity, with hidden
// rows a binary search over them, and hiding works among any number of columns.
//
// Rows at scale: inserting, removing, hiding, showing, moving and permuting k rows of n is one
// pass (O(n + k)) over the cell store's row references, the row heights and the per-row lists;
// no operation walks the rows once per row it moves.
//
// Grids made in code: construct, set properties between BeginLoading() and Loaded() when the
// loading-time rules should apply (fixed-row minimums, column layout), or just use the grid.
// Owner-form resizing is followed through an event filter on the parent window.
//
// The cell painter, the editors and the cell stream belong to the painting and editing code and
// to the import/export code, which fill the virtual hooks of this class (DrawCellContents,
// GetVisualProperties, GetCellTextSize, SaveToStream, LoadFromStream ...). Until then the grid
// paints plain texts and AssignCells copies texts and properties directly.
#include "controls/grid/base/BaseGrid.h"
#include "controls/grid/base/GridCheck.h"
#include "controls/grid/base/GridLists.h"
#include "controls/grid/core/CellGraphic.h"
#include "controls/grid/core/GridSettings.h"
#include "controls/grid/style/ExtStyle.h"
#include "platform/core/DateTime.h"

#include <QFont>
#include <QFontMetrics>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <vector>

class QObject;
class QTimer;
class QDragEnterEvent;
class QDragMoveEvent;
class QDragLeaveEvent;
class QDropEvent;

namespace platform {
class TImageList;
class Bitmap;
class Icon;
class Picture;
} // namespace platform

namespace controls::grid {

class TDropCheckList;
struct THTMLDrawParams;

using platform::TGridCoord;
using platform::TGridRect;

enum TGridLook { glStandard, glSoft, glClassic, glVekko, glXP, glListView, glVista, glWin7, glOffice2007, glCustom };
enum TScrollType { ssNormal, ssFlat, ssEncarta, ssMetro };
enum TScrollBarAlways { saNone, saVert, saHorz, saBoth };
enum TScrollHintType { shNone, shVertical, shHorizontal, shBoth };
enum TFilterDropDownColumns { fdNormal, fdAll };
enum THintShowLargeTextPos { hpCell, hpMouse };
enum THoverFixedCells { hfNone, hfFixedRows, hfFixedColumns, hfAll };
enum TIntelliPan { ipVertical, ipHorizontal, ipBoth, ipNone };
enum TInvalidEntryIcon { ieNone, ieInfo, ieWarning, ieError };
enum TCellBorder : unsigned { cbTop = 1, cbLeft = 2, cbRight = 4, cbBottom = 8 };
using TCellBorders = unsigned;
enum TBalloonIcon { biNone, biInfo, biWarning, biError };
enum TMouseSelectMode { msNormal, msColumn, msRow };

struct TScrollProp {
    int PageSize = 0;
    int Range = 0;
    bool operator==(const TScrollProp&) const = default;
};

// Where a hidden row came from: hidden by a range operation or by a filter level.
enum class THiddenOrigin { Range, Filter };

// A hidden row as the grid describes it: its real index (whichever way it was hidden, so rows
// hidden by range and by filter share one index space), its height (0: the default), the filter
// level that hid it (0 for rows hidden by range) and its cells, which stay with the grid (a
// view, valid until the next row operation).
struct TGridItem {
    int Idx = 0;
    int Height = 0;
    int Level = 0;
    THiddenOrigin Origin = THiddenOrigin::Range;
    const platform::GridRow* Cells = nullptr;
    QString Text(int col) const;
    TCellProperties* Object(int col) const;
    // The texts of columns 0 .. count - 1.
    QStringList Texts(int count) const;
};

// --- search and replace, highlighting and cell checking ---------------------------------------------

// The options of a search; the bit number of each flag is its ordinal.
enum TFindParameters {
    fnMatchCase,            // compare with case; otherwise both texts are upper-cased
    fnMatchFull,            // the cell text must equal the search text
    fnMatchRegular,         // the search text is a filter expression
    fnDirectionLeftRight,   // walk row by row; otherwise column by column
    fnMatchStart,           // the cell text must begin with the search text
    fnFindInCurrentRow,     // the current row only
    fnFindInCurrentCol,     // the current column only
    fnIncludeFixed,         // the fixed rows and columns too
    fnAutoGoto,             // the hit becomes the current cell
    fnIgnoreHTMLTags,       // match the cell text without its HTML tags
    fnBackward,             // walk backwards
    fnIncludeHiddenColumns, // hidden columns too (columns are then real columns)
    fnFindInPresetCol,      // the column FindCol only
    fnFindInPresetRow,      // the row FindRow only
    fnSelectedCells,        // the selection rectangle only
    fnIncludeHiddenRows     // hidden rows too (rows are then real rows)
};

class TFindParams {
public:
    constexpr TFindParams() = default;
    constexpr TFindParams(std::initializer_list<TFindParameters> flags)
    {
        for (TFindParameters f : flags)
            m_bits |= 1u << unsigned(f);
    }
    constexpr bool Has(TFindParameters f) const { return (m_bits >> unsigned(f)) & 1u; }
    constexpr TFindParams& Include(TFindParameters f)
    {
        m_bits |= 1u << unsigned(f);
        return *this;
    }
    constexpr TFindParams& Exclude(TFindParameters f)
    {
        m_bits &= ~(1u << unsigned(f));
        return *this;
    }
    constexpr unsigned Bits() const { return m_bits; }
    constexpr bool operator==(const TFindParams&) const = default;

private:
    unsigned m_bits = 0;
};

// What a long walk over the rows reports (exports, imports and searches).
enum TGridExportState { esExportStart, esExportNewRow, esExportDone, esExportSelRow, esExportFail, esExportNextRow };

class TExtStringGrid : public TBaseGrid {
public:
    using NotifyEvent = std::function<void(TExtStringGrid* sender)>;
    using CellEvent = std::function<void(TExtStringGrid* sender, int col, int row)>;
    using CellBoolEvent = std::function<void(TExtStringGrid* sender, int col, int row, bool& value)>;
    using CellStringEvent = std::function<void(TExtStringGrid* sender, int col, int row, QString& value)>;
    using CheckBoxChangeEvent = std::function<void(TExtStringGrid* sender, int col, int row, bool state)>;
    using RowChangedEvent = std::function<void(TExtStringGrid* sender, int oldRow, int newRow)>;
    using GetCellColorEvent =
        std::function<void(TExtStringGrid* sender, int row, int col, TGridDrawState state, platform::Brush& brush,
                           platform::Font& font)>;
    using GetAlignmentEvent = std::function<void(TExtStringGrid* sender, int row, int col,
                                                 platform::Alignment& hAlign, TVAlignment& vAlign)>;
    using GetEditorTypeEvent = std::function<void(TExtStringGrid* sender, int col, int row, TEditorType& editor)>;
    using GetFormatEvent = std::function<void(TExtStringGrid* sender, int col, int& style, QString& prefix,
                                              QString& suffix)>;
    using GetCellBorderEvent =
        std::function<void(TExtStringGrid* sender, int row, int col, platform::Pen& pen, TCellBorders& borders)>;
    using GetColumnFilterEvent = std::function<void(TExtStringGrid* sender, int column, platform::TStringList& filter)>;
    using ColumnSizeEvent = std::function<void(TExtStringGrid* sender, int index, bool& allow)>;
    using UpdateColumnSizeEvent = std::function<void(TExtStringGrid* sender, int col, int& width)>;
    using CellsChangedEvent = std::function<void(TExtStringGrid* sender, const QRect& r)>;
    using RowDisjunctSelectEvent = std::function<void(TExtStringGrid* sender, int row, bool state, bool& allow)>;
    using RowEvent = std::function<void(TExtStringGrid* sender, int row)>;
    using RatingChangeEvent = std::function<void(TExtStringGrid* sender, int col, int row, double& rate, bool& allow)>;
    using ScrollHintEvent = std::function<void(TExtStringGrid* sender, int index, QString& hint)>;
    using GridHintEvent = std::function<void(TExtStringGrid* sender, int row, int col, QString& hint)>;
    using UnitChangedEvent = std::function<void(TExtStringGrid* sender, int col, int row, const QString& unit)>;
    using ColorSelectEvent = std::function<void(TExtStringGrid* sender, int col, int row, platform::Color color,
                                                const QString& text)>;
    using ImageSelectEvent = std::function<void(TExtStringGrid* sender, int col, int row, int index)>;
    using CanAddRowEvent = std::function<void(TExtStringGrid* sender, bool& canAdd)>;
    using CanInsertRowEvent = std::function<void(TExtStringGrid* sender, int row, bool& canInsert)>;

    explicit TExtStringGrid(QWidget* parent = nullptr);
    ~TExtStringGrid() override;

    // --- set-up and copying -------------------------------------------------------------------
    // Between the two, the grid counts as being loaded from a description.
    void BeginLoading() { SetLoading(true); }
    virtual void Loaded();
    // Copies settings, geometry and cells from another string grid; anything else is ignored.
    virtual void Assign(platform::TPersistent* source);
    void Assign(TExtStringGrid* source);
    virtual void AssignCells(TExtStringGrid* source);
    // Repaints, except once right after the editing code announced an options change.
    void invalidate() override;
    void SetEditChangeFlag() { m_editChange = true; }
    // With IntegralHeight the height is fitted to whole rows.
    void SetBounds(int left, int top, int width, int height);

    // --- dimensions and the current cell (display indexes) ------------------------------------
    int RowCount() const { return rowCount(); }
    void SetRowCount(int n);
    int ColCount() const { return colCount(); }
    void SetColCount(int n);
    int Row() const { return row(); }
    void SetRow(int r);
    int Col() const { return col(); }
    void SetCol(int c);
    int TopRow() const { return topRow(); }
    void SetTopRow(int r);
    int FixedRows() const;
    void SetFixedRows(int n);
    int FixedCols() const;
    void SetFixedCols(int n);
    int FixedFooters() const { return m_fixedFooters; }
    void SetFixedFooters(int n);
    int FixedRightCols() const { return m_fixedRightCols; }
    void SetFixedRightCols(int n);
    bool FixedRowAlways() const { return m_fixedRowAlways; }
    void SetFixedRowAlways(bool on) { m_fixedRowAlways = on; }
    bool FixedColAlways() const { return m_fixedColAlways; }
    void SetFixedColAlways(bool on) { m_fixedColAlways = on; }
    int FixedColWidth() const { return colWidths(0); }
    void SetFixedColWidth(int w);
    int FixedRowHeight() const { return m_fixedRowHeight; }
    void SetFixedRowHeight(int h);
    int DefaultRowHeight() const { return defaultRowHeight(); }
    void SetDefaultRowHeight(int h);
    platform::Alignment DefaultAlignment() const { return m_defaultAlignment; }
    void SetDefaultAlignment(platform::Alignment a);
    bool WordWrap() const { return m_wordWrapEx; }
    void SetWordWrap(bool on);
    int TotalColCount() const override;
    int TotalRowCount() const;
    virtual void AppendRow();
    void UpdateEditMode();
    void ScreenToCell(QPoint screen, int& col, int& row) const;
    int MaxRowCount() const { return m_maxRowCount; }
    int MaxColCount() const { return m_maxColCount; }
    int FixedRowsMin() const { return m_fixedRowsMin; }
    int FixedColsMin() const { return m_fixedColsMin; }

    // --- hidden columns and rows ---------------------------------------------------------------
    int RealColIndex(int col) const;
    int DisplColIndex(int col) const override;
    int RealRowIndex(int row) const;
    int DisplRowIndex(int row) const;
    int RealCol() const { return RealColIndex(col()); }
    int RealRow() const { return RealRowIndex(row()); }
    bool IsHiddenColumn(int col) const;
    int NumHiddenColumns() const { return int(m_hiddenCols.size()); }
    bool IsHiddenRow(int row) const;
    int NumHiddenRows() const { return int(m_hidden.Idx.size()); }
    bool IsIgnoredColumn(int col) const { return m_ignoreColumns.HasValue(col); }
    void HideColumn(int col) { HideColumns(col, col); }
    void HideColumns(int fromCol, int toCol);
    void UnHideColumn(int col) { UnHideColumns(col, col); }
    void UnHideColumns(int fromCol, int toCol);
    void UnHideColumnsAll();
    void HideRow(int row) { HideRows(row, row); }
    void HideRows(int fromRow, int toRow);
    void HideRowsEx(int fromRow, int toRow);
    void UnHideRow(int row);
    void UnHideRows(int fromRow, int toRow);
    void UnHideRowsAll();
    void HideRowList(const std::vector<int>& rows);
    void UnHideRowList();
    // The hidden rows by ascending real index.
    TGridItem HiddenRowItem(int index) const;
    int FilterLevel() const { return m_filterLevel; }

    // --- cell access by real row, formatting arrays, rich text ------------------------------------
    QString AllCells(int col, int row) const;
    void SetAllCells(int col, int row, const QString& value);
    QString AllGridCells(int col, int row) const;
    void SetAllGridCells(int col, int row, const QString& value);
    QString AllWideCells(int col, int row) const { return AllCells(col, row); }
    void SetAllWideCells(int col, int row, const QString& value) { SetAllCells(col, row, value); }
    void* AllObjects(int col, int row) const;
    void SetAllObjects(int col, int row, void* value);
    QString OriginalCells(int col, int row) const;
    void SetOriginalCells(int col, int row, const QString& value);
    QString UnSortedCells(int col, int row) const;
    void SetUnSortedCells(int col, int row, const QString& value);
    virtual QString CurrentCell() const;
    virtual void SetCurrentCell(const QString& value);
    virtual QString GetCurrentCellText() const;
    virtual void SetCurrentCellText(const QString& value);
    QString StrippedCells(int col, int row) const;
    int LinesInCell(int col, int row) const;
    int AllColWidths(int col) const;
    void SetAllColWidths(int col, int width);
    int AllColCount() const { return TotalColCount(); }
    int AllRowCount() const { return TotalRowCount(); }
    int SortedRowIndex(int row) const;
    int UnSortedRowIndex(int row) const;
    TCellProperties* GetRealCellObject(int col, int row) const;
    // The texts of the hidden real row idx (columns 0 .. TotalColCount - 1); false when the row
    // is not hidden.
    bool GetHiddenRowStrings(int idx, QStringList& texts) const;

    Color Colors(int col, int row) const;
    void SetColors(int col, int row, Color c);
    Color ColorsTo(int col, int row) const;
    void SetColorsTo(int col, int row, Color c);
    TCellGradientDirection Gradients(int col, int row) const;
    void SetGradients(int col, int row, TCellGradientDirection d);
    Color FontColors(int col, int row) const;
    void SetFontColors(int col, int row, Color c);
    TFontStyles FontStyles(int col, int row) const;
    void SetFontStyles(int col, int row, TFontStyles s);
    int FontSizes(int col, int row) const;
    void SetFontSizes(int col, int row, int size);
    QString FontNames(int col, int row) const;
    void SetFontNames(int col, int row, const QString& name);
    platform::Font Fonts(int col, int row) { return GetCellFont(col, row); }
    void SetFonts(int col, int row, const platform::Font& f);
    platform::Alignment Alignments(int col, int row) const;
    void SetAlignments(int col, int row, platform::Alignment a);
    bool ReadOnly(int col, int row) const;
    void SetReadOnly(int col, int row, bool on);
    bool WordWraps(int col, int row);
    void SetWordWraps(int col, int row, bool on);
    QWidget* CellControls(int col, int row) const;
    void SetCellControls(int col, int row, QWidget* control);
    int NumCellControls() const { return m_numCellControls; }
    void SetRowColor(int row, Color c);
    void SetRowColorTo(int row, Color c);
    void SetRowFontColor(int row, Color c);
    // The cell's display text as the rich-edit content (RTF when it is RTF, else plain); plain
    // text of that content; the content written back as RTF.
    QString CellToRich(int col, int row) const;
    QString RichToString(const QString& plainText) const;
    void RichToCell(int col, int row, const QString& plainText);

    // --- cell queries (the painter's and editors' questions) ---------------------------------------
    static TCheckBoxState BoolToCheckBoxState(bool checked) { return checked ? cbChecked : cbUnchecked; }
    void AddCheckBox(int col, int row, TCheckBoxState state);
    void AddTriStateCheckBoxColumn(int col, TCheckBoxState state);
    bool GetCheckBoxState(int col, int row, TCheckBoxState& state);
    platform::Font GetCellFont(int col, int row);
    QString GetEditMask(int col, int row);
    void GetCellFormat(int col, int row, TCellFormat& format) override;
    virtual void CanEditCell(int col, int row, bool& canEdit);
    virtual void ButtonClick(int col, int row);
    virtual void GetCellHint(int col, int row, QString& hint);
    virtual void GetCellColor(int col, int row, TGridDrawState state, platform::Brush& brush, platform::Font& font);
    virtual void GetCellBorder(int col, int row, platform::Pen& pen, TCellBorders& borders);
    // The colours and lines of a printed cell: OnGetCellPrintColor, OnGetCellPrintBorder.
    virtual void GetCellPrintColor(int col, int row, TGridDrawState state, platform::Brush& brush, platform::Font& font);
    virtual void GetCellPrintBorder(int col, int row, platform::Pen& pen, TCellBorders& borders);
    virtual void GetCellAlignment(int col, int row, platform::Alignment& hAlign, TVAlignment& vAlign);
    virtual void GetColFormat(int col, int& style, QString& prefix, QString& suffix);
    virtual void QueryCellEditor(int col, int row, TEditorType& editor);
    virtual void GetCellEditor(int col, int row, TEditorType& editor);
    virtual bool IsEditorNone(int col, int row);
    virtual void IsFixedCell(int col, int row, bool& isFixed) const;
    virtual void CheckCanEdit(int col, int row, bool& canEdit);
    virtual void IsPasswordCell(int col, int row, bool& isPassword);
    virtual void GetCellWordWrap(int col, int row, bool& wordWrap);
    virtual bool HasComboBox(int col, int row);
    virtual bool HasSpinEdit(int col, int row);
    virtual void GetCheckTrue(int col, int row, QString& value);
    virtual void GetCheckFalse(int col, int row, QString& value);
    virtual bool GetColumnFilter(int col);
    platform::TStringList& FilterList() { return m_filterList; }
    bool IsFixed(int col, int row) const override;
    bool HasCellBorderEvent() const override { return bool(OnGetCellBorder); }

    // --- cell graphics -------------------------------------------------------------------------------
    virtual TCellGraphic* GetCellGraphic(int col, int row);
    virtual TCellType GetCellType(int col, int row);
    TCellGraphic* CellGraphics(int col, int row) { return GetCellGraphic(col, row); }
    TCellType CellTypes(int col, int row) { return GetCellType(col, row); }
    TIntList* CellImages(int col, int row);
    TCellGraphic* CreateCellGraphic(int col, int row);
    bool RemoveCellGraphic(int col, int row);
    bool RemoveCellGraphicOfType(int col, int row, TCellType type);
    bool HasGraphicOfType(int col, int row, std::initializer_list<TCellType> types);
    int GetCellGraphicKey(int col, int row);
    virtual platform::TImageList* GetGridImageList() { return m_gridImages; }
    platform::TImageList* GridImages() const { return m_gridImages; }
    void SetGridImages(platform::TImageList* images) { m_gridImages = images; }

    // --- check boxes and radio controls ----------------------------------------------------------------
    void AddCheckBox(int col, int row, bool state, bool data);
    void AddCheckBoxColumn(int col, bool defaultState = false, bool dataCheckBox = false);
    void RemoveCheckBox(int col, int row);
    void RemoveCheckBoxColumn(int col);
    bool HasCheckBox(int col, int row);
    bool HasDataCheckBox(int col, int row);
    bool IsDataGraphicCell(int col, int row);
    bool HasControlGraphic(int col, int row);
    bool IsInCheckBox(int col, int row, int x, int y);
    bool GetCheckBoxState(int col, int row, bool& state);
    bool IsChecked(int col, int row);
    bool SetCheckBoxState(int col, int row, bool state);
    bool SetCheckBoxState(int col, int row, TCheckBoxState state);
    bool SetCellCheckState(int col, int row, bool value);
    virtual bool ToggleCellCheck(int col, int row, bool byUser);
    bool ToggleCheckBox(int col, int row) { return ToggleCellCheck(col, row, false); }
    void CheckAll(int col);
    void UnCheckAll(int col);
    virtual void CheckBoxChange(int col, int row, bool state);
    void AddRadioButton(int col, int row, bool state = false);
    void RemoveRadioButton(int col, int row);
    bool HasRadioButton(int col, int row);
    bool IsRadioButtonChecked(int col, int row);
    bool SetRadioButtonState(int col, int row, bool state);
    void AddRadioButtonColumn(int col);
    void RemoveRadioButtonColumn(int col);
    void SetRadioButtonColumnIndex(int col, int index);
    int GetRadioButtonColumnIndex(int col);
    virtual bool CheckRadioButton(int col, int row, bool byUser);
    void AddRadio(int col, int row, int dirRadio, int idxRadio, platform::TStringList* items);
    platform::TStringList* CreateRadio(int col, int row, int dirRadio, int idxRadio);
    void RemoveRadio(int col, int row) { RemoveCellGraphicOfType(col, row, ctRadio); }
    bool IsRadio(int col, int row);
    bool GetRadioIdx(int col, int row, int& idxRadio);
    bool SetRadioIdx(int col, int row, int idxRadio);
    platform::TStringList* GetRadioStrings(int col, int row);
    void SelectNextRadio(int col, int row, bool byUser);

    // --- images, buttons, progress and other objects ------------------------------------------------------
    void AddBitmap(int col, int row, platform::Bitmap* bmp, bool transparent, TCellHAlign hal, TCellVAlign val);
    platform::Bitmap* CreateBitmap(int col, int row, bool transparent, TCellHAlign hal, TCellVAlign val);
    platform::Bitmap* GetBitmap(int col, int row);
    bool HasBitmap(int col, int row) { return GetBitmap(col, row) != nullptr; }
    void RemoveBitmap(int col, int row) { RemoveCellGraphicOfType(col, row, ctBitmap); }
    void AddPicture(int col, int row, platform::Picture* picture, bool transparent, TStretchMode stretchMode,
                    int padding, TCellHAlign hal, TCellVAlign val);
    platform::Picture* CreatePicture(int col, int row, bool transparent, TStretchMode stretchMode, int padding,
                                     TCellHAlign hal, TCellVAlign val);
    platform::Picture* GetPicture(int col, int row);
    bool HasPicture(int col, int row) { return GetPicture(col, row) != nullptr; }
    void RemovePicture(int col, int row) { RemoveCellGraphicOfType(col, row, ctPicture); }
    void AddFilePicture(int col, int row, TFilePicture* picture, bool transparent, TStretchMode stretchMode,
                        int padding, TCellHAlign hal, TCellVAlign val);
    TFilePicture* CreateFilePicture(int col, int row, bool transparent, TStretchMode stretchMode, int padding,
                                    TCellHAlign hal, TCellVAlign val);
    TFilePicture* GetFilePicture(int col, int row);
    void RemoveFilePicture(int col, int row) { RemoveCellGraphicOfType(col, row, ctFilePicture); }
    void AddIcon(int col, int row, platform::Icon* icon, TCellHAlign hal, TCellVAlign val);
    platform::Icon* CreateIcon(int col, int row, TCellHAlign hal, TCellVAlign val);
    void RemoveIcon(int col, int row) { RemoveCellGraphicOfType(col, row, ctIcon); }
    void AddImageIdx(int col, int row, int idx, TCellHAlign hal, TCellVAlign val);
    bool GetImageIdx(int col, int row, int& idx);
    void SetImageIdx(int col, int row, int idx);
    void RemoveImageIdx(int col, int row) { RemoveCellGraphicOfType(col, row, ctImageList); }
    void AddDataImage(int col, int row, int idx, TCellHAlign hal, TCellVAlign val);
    void RemoveDataImage(int col, int row);
    bool HasDataImage(int col, int row);
    void AddMultiImage(int col, int row, int dir, TCellHAlign hal, TCellVAlign val);
    void RemoveMultiImage(int col, int row) { RemoveCellGraphicOfType(col, row, ctImages); }
    void AddRotated(int col, int row, int angle, const QString& text);
    void SetRotated(int col, int row, int angle);
    bool IsRotated(int col, int row, int& angle);
    void RemoveRotated(int col, int row) { RemoveCellGraphicOfType(col, row, ctRotated); }
    void AddButton(int col, int row, int bw, int bh, const QString& caption, TCellHAlign hal, TCellVAlign val);
    void AddBitButton(int col, int row, int bw, int bh, const QString& caption, platform::Bitmap* glyph,
                      TCellHAlign hal, TCellVAlign val);
    platform::Bitmap* CreateBitButton(int col, int row, int bw, int bh, const QString& caption, TCellHAlign hal,
                                      TCellVAlign val);
    void SetButtonText(int col, int row, const QString& caption);
    QString GetButtonText(int col, int row);
    void PushButton(int col, int row, bool push);
    bool HasButton(int col, int row);
    void RemoveButton(int col, int row);
    void RemoveBitButton(int col, int row) { RemoveCellGraphicOfType(RealColIndex(col), row, ctBitButton); }
    void RemoveAllButtons();
    Rect GetCellButtonRect(int col, int row);
    void AddExpand(int col, int row, int expandedHeight);
    bool ToggleExpand(int col, int row);
    bool GetExpandState(int col, int row);
    int GetExpandHeight(int col, int row, bool expanded);
    bool HasExpand(int col, int row) { return HasGraphicOfType(col, row, {ctExpand}); }
    void RemoveExpand(int col, int row) { RemoveCellGraphicOfType(col, row, ctExpand); }
    Rect GetExpandRect(int col, int row);
    void AddProgress(int col, int row, Color fgColor, Color bkColor);
    void AddProgressEx(int col, int row, Color fgColor, Color fgTextColor, Color bkColor, Color bkTextColor);
    void AddProgressFormatted(int col, int row, Color fgColor, Color fgTextColor, Color bkColor, Color bkTextColor,
                              const QString& fmt, int min, int max);
    bool HasProgress(int col, int row) { return HasGraphicOfType(col, row, {ctProgress}); }
    void RemoveProgress(int col, int row) { RemoveCellGraphicOfType(col, row, ctProgress); }
    void AddExtProgress(int col, int row, int min, int max);
    void RemoveExtProgress(int col, int row) { RemoveCellGraphicOfType(col, row, ctXPProgress); }
    void AddProgressPie(int col, int row, Color color, int value);
    void SetProgressPie(int col, int row, int value);
    void RemoveProgressPie(int col, int row) { RemoveCellGraphicOfType(col, row, ctProgressPie); }
    void AddRangeIndicator(int col, int row, int range, Color negColor, Color posColor, bool showValue);
    void RemoveRangeIndicator(int col, int row) { RemoveCellGraphicOfType(col, row, ctRangeIndicator); }
    void AddComment(int col, int row, const QString& comment);
    void AddColorComment(int col, int row, const QString& comment, Color color);
    bool IsComment(int col, int row, QString& comment);
    QString GetComment(int col, int row);
    void SetComment(int col, int row, const QString& value);
    void RemoveComment(int col, int row) { RemoveCellGraphicOfType(col, row, ctComment); }
    void RemoveAllComments();
    void AddMarker(int col, int row, int errPos, int errLen);
    void RemoveMarker(int col, int row);
    void RemoveAllMarkers();
    void GetMarker(int col, int row, int& errPos, int& errLen);
    void AddShape(int col, int row, int shape, Color fillColor, Color lineColor, TCellHAlign hal, TCellVAlign val);
    void RemoveShape(int col, int row) { RemoveCellGraphicOfType(col, row, ctShape); }
    void SetShapeColor(int col, int row, Color fillColor);
    Color GetShapeColor(int col, int row);
    void AddRating(int col, int row, int scale, Color fillColor, Color emptyColor);
    void RemoveRating(int col, int row) { RemoveCellGraphicOfType(col, row, ctRating); }
    bool HasRating(int col, int row) { return HasGraphicOfType(col, row, {ctRating}); }
    virtual bool RatingChange(int col, int row, double& newRate);
    void AddScrollBar(int col, int row, bool autoRange);
    void RemoveScrollBar(int col, int row) { RemoveCellGraphicOfType(col, row, ctScrollbar); }
    bool HasScrollBar(int col, int row) { return HasGraphicOfType(col, row, {ctScrollbar}); }
    bool HasAutoRangeScrollBar(int col, int row);
    void SetScrollPosition(int col, int row, int pos);
    int GetScrollPosition(int col, int row);
    void SetScrollProp(int col, int row, const TScrollProp& prop);
    TScrollProp GetScrollProp(int col, int row);
    void AddBalloon(int col, int row, const QString& title, const QString& text, TBalloonIcon icon);
    void RemoveBalloon(int col, int row);
    bool HasBalloon(int col, int row) { return HasGraphicOfType(col, row, {ctBalloon}); }
    bool IsBalloon(int col, int row, QString& title, QString& text, TBalloonIcon& icon);
    void AddInterfacedCell(int col, int row, platform::TObject* object);
    platform::TObject* GetInterfacedCell(int col, int row);
    void RemoveInterfacedCell(int col, int row) { RemoveCellGraphicOfType(col, row, ctInterface); }
    void CellTextChanged(int col, int row) override;

    // --- outline nodes, grouping, calculations and the floating footer --------------------------
    // Nodes. A node row carries a ctNode graphic in column 0 (CellIndex: span, the node row
    // included, 0 = up to the next node row; CellBoolean: contracted; CellAngle: display row at
    // creation; CellErrFrom: sub-node count; CellVar: the grouped column it was made for, -1).
    // Every row of a node's span has its column-0 NodeLevel raised by one. A contracted node's
    // rows are hidden rows of the hidden-row table (by range, never a filter level), so a node
    // costs nothing but that table; a contracted node inside a contracting node is stored
    // expanded with its parent's rows, so expanding the parent shows it open again.
    // Row arguments: "real" for AddNode, RemoveNode, ExpandNode, ContractNode, InsertNormalRow,
    // InsertChildRow, RemoveChildRow, SetSummaryRow; display rows for the rest.
    void AddNode(int row, int span);
    void RemoveNode(int row);
    void RemoveAllNodes();
    bool IsNode(int row);
    bool IsSummary(int row);
    void SetSummaryRow(int row);
    bool GetNodeState(int row);
    void SetNodeState(int row, bool contracted);
    int GetNodeLevel(int row);
    int GetNodeSpan(int row);
    void SetNodeSpan(int row, int span);
    void UpdateNodeSpan(int row, int delta);
    int GetSubNodeCount(int row);
    void UpdateSubNodeCount(int row, int delta);
    virtual void ExpandNode(int row);
    virtual void ContractNode(int row);
    void ExpandAll();
    void ContractAll();
    int GetParentRow(int row);
    void InsertNormalRow(int row);
    void RemoveNormalRow(int row);
    void InsertChildRow(int row, int insertAt);
    void RemoveChildRow(int row);
    // 0 node row, 1 last row of its branch, 2 a row with a sibling or deeper row below.
    int GetNodeSpanType(int row);
    // x relative to the cell of display row `row` in column 0.
    bool IsInNodeGlyph(int row, int x);
    int NumNodes() const { return m_numNodes; }
    // Counts the node rows anew, shown and hidden (after cells were loaded with their graphics).
    void RecountNodes();
    bool NodeContracting() const { return m_nodeForceSel; }
    bool HasNodes() const override;
    int GetNodeIndent(int row) const override;
    using NodeAllowEvent = std::function<void(TExtStringGrid* sender, int row, int realRow, bool& allow)>;
    using NodeEvent = std::function<void(TExtStringGrid* sender, int row, int realRow)>;
    NodeAllowEvent OnBeforeExpandNode;
    NodeAllowEvent OnBeforeContractNode;
    NodeEvent OnExpandNode;
    NodeEvent OnContractNode;
    // The update lock: painting waits until the last EndUpdate. The core paints as it goes;
    // the input layer keeps the count (grouping and whole-grid node work run inside one).
    virtual void BeginUpdate() {}
    virtual void EndUpdate() {}
    // Places, shows or hides every control of the cell-control list by its cell; with
    // rebuildList the list is made anew from the cells' controls first.
    void CellControlsUpdate(bool rebuildList);

    // Grouping by a column: the column leaves the grid, each run of equal texts gets a header
    // node row (the text in column 1) and, with Grouping.Summary, a summary row. Only nodes made
    // by grouping are taken down by UnGroup; rows hidden at the time keep their texts of the
    // grouped column and get them back. Column 0 holds the node buttons: grouping by it (or by a
    // fixed column) does nothing.
    virtual void Group(int colIndex);
    virtual void UnGroup();
    virtual void SubGroup(int colIndex);
    virtual void SubUnGroup(int colIndex);
    int GroupColumn() const { return m_groupColumn; }
    void SetGroupColumn(int col);
    bool IsGrouping() const { return m_isGrouping; }
    // The grouping's sort before it walks the rows (with SortSettings.AutoSortForGrouping).
    virtual void SortForGrouping(int col);
    // Group results into each expanded group's header (or, with Grouping.Summary, its summary
    // row): 1 sum, 2 average, 3 min, 4 max, 5 child count, 6 custom, 7 distinct, 8 std dev.
    void GroupCalc(int col, int method);
    void GroupSum(int col);
    void GroupAvg(int col);
    void GroupMin(int col);
    void GroupMax(int col);
    void GroupCount(int col);
    void GroupCustomCalc(int col) { GroupCalc(col, 6); }
    void GroupDistinct(int col) { GroupCalc(col, 7); }
    void GroupStdDev(int col) { GroupCalc(col, 8); }

    // Calculations over a column's rows (fromRow or toRow -1: the data rows) or a row's columns.
    // Texts that are no number are skipped by sums and counts; the first value of min and max
    // and every value of the standard deviation must be a number (EExtGridError otherwise).
    double ColumnSum(int col, int fromRow, int toRow);
    double ColumnAvg(int col, int fromRow, int toRow);
    double ColumnMin(int col, int fromRow, int toRow);
    double ColumnMax(int col, int fromRow, int toRow);
    double ColumnStdDev(int col, int fromRow, int toRow);
    double ColumnDistinct(int col, int fromRow, int toRow);
    double ColumnCustomCalc(int col, int fromRow, int toRow);
    double RowSum(int row, int fromCol, int toCol);
    double RowAvg(int row, int fromCol, int toCol);
    double RowMin(int row, int fromCol, int toCol);
    double RowMax(int row, int fromCol, int toCol);
    virtual void CalcFooterCells(int col);
    // Repaints the floating footer's panel.
    void UpdateFooter();
    void AutoNumberCol(int col);
    void AutoNumberRow(int row);
    int AutoNumberStart = 0;
    int AutoNumberOffset = 0;
    TSortDirection AutoNumberDirection = sdAscending;
    using GroupCalcEvent = std::function<void(TExtStringGrid* sender, int col, int fromRow, int toRow, double& res)>;
    using CalcFooterEvent = std::function<void(TExtStringGrid* sender, int col, int row, QString& value)>;
    GroupCalcEvent OnColumnCalc;
    GroupCalcEvent OnGroupCalc;
    CalcFooterEvent OnFooterCalc;

    // The floating footer's strip (made with the grid) and what its settings change on the grid:
    // FixedFooters and HideLastRow follow Visible and FooterStyle.
    QWidget* FooterPanel() const;
    void FloatingFooterChanged();
    // A click on the footer strip over column `col` (-1: beyond the columns).
    virtual void FooterPanelClick(int col);
    using FooterPaintEvent =
        std::function<void(QWidget* panel, int col, platform::Canvas& canvas, const Rect& rect)>;
    FooterPaintEvent OnPaintFooter;
    NotifyEvent OnCreatedFloatingFooter;
    // The pictures the grid's HTML may name (its picture container and image cache) for HTML
    // drawn outside the cells, such as the footer's template; none in the plain grid.
    virtual void HTMLPictureSources(THTMLDrawParams& params);

private:
    friend class TFooterPanel;
    void doExpandNode(int realRow);
    // Rows hidden by a contracting node carry this level in the hidden-row table: expanding
    // shows them and no row hidden another way.
    static constexpr int kNodeHiddenLevel = -2;
    void showNodeRows(int realFrom, int realTo);
    bool isGroupNode(int row, int groupCol);
    // Begins an update and ends it when it goes out of scope (also on an exception).
    struct TUpdateBracket {
        explicit TUpdateBracket(TExtStringGrid& g) : grid(g) { grid.BeginUpdate(); }
        ~TUpdateBracket() { grid.EndUpdate(); }
        TUpdateBracket(const TUpdateBracket&) = delete;
        TUpdateBracket& operator=(const TUpdateBracket&) = delete;
        TExtStringGrid& grid;
    };
    // The node count follows node rows that leave (or come back) with whole rows: the node rows
    // among display rows [first, last), or among listed display rows.
    int nodeRowsIn(int first, int last) const;
    int nodeRowsIn(const std::vector<int>& rows) const;
    void nodesGone(int count) { m_numNodes = std::max(0, m_numNodes - count); }
    // A shown node with a span, as its real row and span: spans and sub-node counts follow child
    // rows put in or taken out inside them (real indexes before the change; the rows at a
    // node's own row or past its end are outside it).
    struct TNodeExtent {
        TCellGraphic* graphic;
        int row;
        int span;
    };
    std::vector<TNodeExtent> shownNodeExtents();
    static void growNodeSpans(const std::vector<TNodeExtent>& nodes, const std::vector<int>& insertedBefore);
    static void shrinkNodeSpans(const std::vector<TNodeExtent>& nodes, const std::vector<int>& removed);
    // The application's contracted nodes open while grouping is taken down (rows grouping made
    // may lie in them) and contract again afterwards.
    std::vector<TCellGraphic*> openApplicationNodes();
    void closeApplicationNodes(const std::vector<TCellGraphic*>& nodes);
    // Writes a text into every real row of [fromReal, toReal), shown or hidden, that is no
    // header or summary row grouping made.
    void fillRealRows(int col, int fromReal, int toReal, const QString& text);
    // Hidden header and summary rows of grouping (not those of a contracted group) show again.
    void showHiddenGroupingRows();
    // The column-0 graphic of a real row, shown or hidden.
    const TCellGraphic* graphicOfReal(int realRow);
    void setNodeGraphic(int displayRow, int span);
    int nodeEnd(int displayRow, int span) const;
    // One past the node's rows: as a real index, and as the display row below them.
    int nodeEndReal(int displayRow);
    int nodeEndDisplay(int displayRow);
    void changeNodeLevels(int fromRow, int toRow, int delta);
    // Rows of real index > after get their hidden indexes raised by one (a row went in).
    void raiseHiddenAbove(int after);
    // A column inserted or removed: the stored cells of hidden rows follow.
    void shiftHiddenColumns(int colIndex, int count, bool insert);
    // Empty rows in at their final display places (ascending), in one pass.
    void insertEmptyDisplayRows(const std::vector<int>& positions);
    void colourRow(int row, Color from, Color to, Color font);
    void mergeGroupRow(int row, int fromCol, Color from, Color to, Color font);
    double calcValue(int col, int row, bool beyond) const;
    bool calcCounts(int col, int row, bool beyond);
    // 0 sum, 1 minimum, 2 maximum; report: through ExportNotification.
    double columnFold(int col, int fromRow, int toRow, int mode, bool report = true);
    double rowFold(int row, int fromCol, int toCol, int mode);
    int m_numNodes = 0;
    bool m_nodeForceSel = false;
    bool m_isGrouping = false;
    int m_groupWidth = 0;
    QString m_groupCaption;
    QString m_groupFooter;
    // Texts of the grouped column in rows hidden while grouping (by real index at grouping).
    std::vector<std::pair<int, QString>> m_groupHiddenTexts;
    QPointer<QWidget> m_footerPanel;
    int m_footerMargin = 0; // the strip's share of the viewport's bottom margin

public:

    // --- rows and columns -------------------------------------------------------------------------------
    virtual void InsertRows(int rowIndex, int count, bool updateCellControls = true);
    virtual void RemoveRows(int rowIndex, int count);
    virtual void RemoveRowsEx(int rowIndex, int count);
    virtual void FreeAndDeleteRows(int row, int count);
    virtual void InsertCols(int colIndex, int count);
    virtual void RemoveCols(int colIndex, int count);
    void AddRow();
    void AddColumn() { InsertCols(ColCount(), 1); }
    void MoveRow(int fromIndex, int toIndex);
    void MoveRows(int fromIndex, int toIndex, int count);
    // Reorders display rows first .. first + n - 1: row first + i takes the row that stood at
    // first + order[i] (order is a permutation of 0 .. n - 1), with its texts, properties,
    // height, flags and cell controls, in one pass. Hidden rows keep their places. The sorter
    // applies its result through this.
    void PermuteRows(int first, const std::vector<int>& order);
    void MoveColumn(int fromIndex, int toIndex);
    void SwapRows(int row1, int row2);
    void SwapColumns(int col1, int col2);
    int ColumnByHeader(const QString& value);
    int ColumnPosition(int col) const;
    int ColumnAtPosition(int pos);
    void SetColumnOrder();
    void ResetColumnOrder();
    void RemoveDuplicates(int col, bool doCase);
    void RemoveSelectedRows();
    void RemoveUnSelectedRows();
    // Removes every data row whose check box in the column is on (removeChecked) or off.
    void RemoveCheckedRows(int checkBoxCol, bool removeChecked);
    // The selected columns (disjunct column selection) or those of the selection rectangle; the
    // others.
    void RemoveSelectedCols();
    void RemoveUnSelectedCols();
    void HideSelectedRows();
    void HideUnSelectedRows();
    const TIntList& ColumnOrder() const { return m_columnOrder; }
    // A column or row moved (or a width or height shifted with it) since the flag was cleared:
    // the release of that click does not sort.
    bool ColMoveFlag() const { return m_colMoveFlg; }
    void ClearColMoveFlag() { m_colMoveFlg = false; }

    // --- ranges --------------------------------------------------------------------------------------------
    virtual void ClearRect(int col1, int row1, int col2, int row2);
    void ClearRows(int rowIndex, int count);
    void ClearCols(int colIndex, int count);
    void ClearNormalRows(int rowIndex, int count);
    void ClearNormalCols(int colIndex, int count);
    void ClearNormalCells();
    void Clear();
    void ClearAll();
    void ClearSelection();
    virtual void TrimRect(int col1, int row1, int col2, int row2);
    void TrimColumn(int col) { TrimRect(col, 0, col, RowCount() - 1); }
    void TrimRow(int row) { TrimRect(0, row, ColCount() - 1, row); }
    void TrimAll() { TrimRect(0, 0, ColCount() - 1, RowCount() - 1); }
    void ColorRect(int col1, int row1, int col2, int row2, Color color);
    void MergeColumnCells(int colIndex, bool mainMerge);
    void MergeRowCells(int rowIndex, bool mainMerge);
    void SplitColumnCells(int colIndex);
    void SplitRowCells(int rowIndex);
    void SplitAllCells();
    void MergeCols(int col1, int col2, const QString& separator);
    bool IsCell(const QString& text, int& col, int& row);
    bool IsWideCell(int col, int row) const;
    QString WideCells(int col, int row) const { return Cells(col, row); }
    void SetWideCells(int col, int row, const QString& value) { SetCells(col, row, value); }
    virtual TGridRect UsedCells();
    int SaveStartCol() const;
    int SaveEndCol() const;
    int SaveColCount() const;
    int SaveStartRow() const;
    int SaveEndRow() const;
    int SaveRowCount() const;
    bool SaveHiddenCells = false;
    bool ClearTextOnly = false;
    bool SaveFixedCells = true;
    bool SaveFixedRows = false;
    bool SaveFixedCols = false;

    // --- sizing ----------------------------------------------------------------------------------------------
    void DoAutoSizeCol(int col, bool growOnly);
    void AutoSizeCol(int col, int padding = 0);
    void AutoSizeColumns(bool doFixedCols, int padding = 0);
    void AutoSizeRow(int row, int padding = 0);
    void AutoSizeRows(bool doFixedRows, int padding = 0);
    void AutoSizeCells(bool doFixedCells, int paddingX, int paddingY);
    void AutoFitColumns(bool doFixedCells);
    void SizeToCols();
    void SizeToRows();
    void SizeToCells();
    void StretchColumn(int index);
    void StretchRightColumn() { StretchColumn(ColCount() - 1); }
    void SetRowHeightForLines(int row, int lines, int padding);
    virtual void UpdateColSize(int col, int& width);
    virtual void UpdateAutoColSize(int col, int& width);
    virtual void ColumnHeadersChanged();
    // Width and height of a cell's content (text and graphic), as the painter lays it out.
    virtual QSize GetCellTextSize(int col, int row);
    virtual QSize GetCellGraphicSize(int col, int row);
    // Autosizing at scale: one set of font metrics per row class of a column (fixed rows, data
    // rows, footer rows), made for the first plain cell of the class and kept for the others.
    struct TTextMeasureCache {
        std::optional<QFontMetrics> Metrics[3];
    };
    // True when every cell of the column that has no properties measures as its plain text in
    // its row class's font: no hook may change a text or a font cell by cell, and no such cell
    // carries a graphic. The grid itself cannot tell (the painter measures): false.
    virtual bool PlainColumnMeasure(int col, int realCol);
    // The width of a plain cell's text (no markup, formula or rich text) with the cached
    // metrics, or -1 when the cell has to be measured by GetCellTextSize.
    virtual int PlainTextWidth(int col, int realCol, int row, const QString& text, TTextMeasureCache& cache);
    int MinColWidth = 0, MaxColWidth = 0, MinRowHeight = 0, MaxRowHeight = 0;
    bool SizeGrowOnly = false;
    QPoint XYOffset = QPoint(2, 2);
    bool XYOffsetTopLeftOnly = false;
    bool AutoSize() const { return m_autoSize; }
    void SetAutoSize(bool on);

    // --- selection ----------------------------------------------------------------------------------------------
    TGridRect Selection() const;
    void SetSelection(const TGridRect& r);
    void SelectCells(int fromCol, int fromRow, int toCol, int toRow);
    void HideSelection();
    void UnHideSelection();
    bool SelectionHidden() const { return m_selHidden; }
    bool IsSelected(int col, int row) const;
    QString SelectedText();
    int SelectedCellsCount();
    TGridCoord SelectedCell(int index) const;
    bool SelectedCells(int col, int row) const;
    void SetSelectedCells(int col, int row, bool on);
    void ClearSelectedCells();
    int SelectedRowCount() const;
    int SelectedColCount() const;
    int SelectedRow(int index) const;
    bool RowSelect(int row) const;
    void SetRowSelect(int row, bool value);
    bool ColSelect(int col) const;
    void SetColSelect(int col, bool value);
    int RowSelectCount() const;
    int ColSelectCount() const;
    void SelectRows(int rowIndex, int count);
    void UnSelectRows(int rowIndex, int count);
    void SelectCols(int colIndex, int count);
    void UnSelectCols(int colIndex, int count);
    void SelectRange(int fromCol, int toCol, int fromRow, int toRow);
    void ClearRowSelect();
    void ClearColSelect();
    void SelectionToRowSelect(bool all);
    void SelectionToColSelect(bool all);
    bool RowModified(int row) const;
    void SetRowModified(int row, bool on);
    int ModifiedRowCount() const;
    void ClearModifiedRows();
    bool RowEnabled(int row) const;
    void SetRowEnabled(int row, bool on);
    void RepaintRow(int row);
    void RepaintCol(int col);
    void RepaintRect(const TGridRect& r);
    bool ExcelClipboardFormat = false;

    // --- sorting ---------------------------------------------------------------------------------------------
    // A sort reorders the data rows (between the fixed rows and the footer rows) in one
    // permutation of whole rows: their cell-store references, heights, flags and cell controls
    // move, no cell text is copied, and hidden columns travel with their rows. Each row's cell
    // is read and converted once per sort and column; the order is a stable merge of the rows by
    // CompareRows (CompareRowsIndexed for the indexed sorts), so equal rows keep their order and
    // a comparison event that contradicts itself can only give an odd order, never a fault. A
    // comparison event that raises leaves the grid as it was (nothing moves before the whole
    // order is known) and the error goes to the caller. Columns are real columns, rows display
    // rows. The cross-reference (SortedRowIndex, UnSortedRowIndex, QUnSort) records where each
    // row stood when the recording began.
    using CustomCompareEvent =
        std::function<void(TExtStringGrid* sender, const QString& str1, const QString& str2, int& res)>;
    using RawCompareEvent = std::function<void(TExtStringGrid* sender, int col, int row1, int row2, int& res)>;
    // -1, 0 or 1: where row1's cell belongs relative to row2's in ascending order (the events'
    // own values for ssCustom and ssRaw).
    int CompareCells(int col, int row1, TSortDirection direction, int row2);
    // Ties broken by the columns to the right (SortSettings.Full), hidden ones included.
    int CompareRows(int col, int row1, int row2);
    // By the sort index list from entry index on, each entry with its direction.
    int CompareRowsIndexed(int index, int row1, int row2);
    virtual void QSort();
    // Raises "No indexes specified for indexed sort" for an empty index list.
    virtual void QSortIndexed();
    // Sorts the child rows of each expanded node of the deepest node level.
    virtual void QSortGroup();
    virtual void QSortGroupIndexed();
    // Back to the order the cross-reference recorded.
    virtual void QUnSort();
    void Sort(int column, TSortDirection direction);
    void SortByColumn(int col);
    // Rows left .. right only, without the framing of QSort (cross-reference, current row).
    void QuickSort(int col, int left, int right);
    void QuickSortIndexed(int left, int right);
    // One exchange step: rows row1 and row2 swap when they compare as the last sort's
    // direction; ties go to the next column.
    bool SortLine(int col, int row1, int row2);
    void InitSortXRef();
    const TIntList& SortRowXRef() const { return m_sortRowXRef; }
    // The text the display hooks make of a cell's stored text (what GetCellEx shows of an
    // unmerged cell).
    void DisplayTextOf(int col, int row, QString& text) const;
    // The real row of the current row while a sort runs, followed through the sort.
    int SortRow = -1;
    // Milliseconds the last header-click sort took.
    unsigned SortTime = 0;
    CustomCompareEvent OnCustomCompare;
    RawCompareEvent OnRawCompare;

    // --- filtering -------------------------------------------------------------------------------------------
    // A filter level hides the data rows that fail the conditions of Filter as one filter level
    // of the hidden-row table (a table of what is hidden, no copy of the grid); levels stack and
    // the last one comes off first. Rows hidden by range (HideRow, contracted nodes) stay hidden
    // whatever happens to the filter levels.
    using CustomFilterEvent = std::function<void(TExtStringGrid* sender, int row, bool& acceptRow)>;
    using FilterProgressEvent = std::function<void(TExtStringGrid* sender, int progress)>;
    using FilterSelectEvent = std::function<void(TExtStringGrid* sender, int column, int itemIndex,
                                                 const QString& friendlyName, QString& filterCondition)>;
    // The same for an entry of the check list, with the list itself (none when the grid has no
    // window for it: FilterChecks then holds the ticks).
    using FilterCheckEvent =
        std::function<void(TExtStringGrid* sender, int column, int itemIndex, const QString& friendlyName,
                           QString& filterCondition, TDropCheckList* checkList)>;
    virtual bool RowMatchesFilter(int row);
    void ApplyFilter();
    void FilterRow(int row);
    // False when there was no level to remove.
    bool RemoveLastFilter();
    void RemoveAllFilters();
    // The incremental filter of a drop-down whose user types: a contains-match of the column
    // (-1: of the whole row). One more character narrows by a level, one less widens by one.
    void NarrowDown(const QString& condition, int column);
    bool FilterActive() const { return m_filterActive; }
    void SetFilterActive(bool on);
    // The column whose filter drop-down is open (-1: none) and the checked entries of its check
    // list; the drop-down sets them.
    int FilterColumn() const { return m_filterCol; }
    void SetFilterColumn(int col) { m_filterCol = col; }
    std::vector<char>& FilterChecks() { return m_filterChecks; }
    // The check list of the column filter drop-down; the grid with the drop-down windows has one.
    virtual TDropCheckList* FilterDropCheckList() const { return nullptr; }
    virtual void FilterSelect(int itemIndex);
    virtual void FilterCheck();
    virtual void FilterDone();
    QString LastFilter() const { return m_lastFilter; }
    // The header row of the filter buttons: only a fixed row is taken. Both setters repaint.
    void SetFilterDropDownRow(int row);
    void SetFilterDropDownAuto(bool on);
    // The text fcCalculated tests: the cell's display value (the painting code's), by default
    // the display text.
    virtual QString FilterDisplayValue(int col, int row);
    CustomFilterEvent OnCustomFilter;
    FilterProgressEvent OnFilterProgress;
    FilterSelectEvent OnFilterSelect;
    FilterCheckEvent OnFilterCheck;
    NotifyEvent OnFilterDone;

private:
    struct TSortFrame;
    void sortRows(int first, int last, bool indexed);
    std::vector<int> keyOrder(TSortFrame& frame, int first, int last);
    void sortGroups(bool indexed);
    void applyRowOrder(int first, const std::vector<int>& order);
    QString filterText(const TFilterData& item, int row);
    struct TFilterRun;
    void prepareFilterRun(TFilterRun& run, int first, int last);
    TFilterRun* m_filterRun = nullptr;
    void showLastFilterLevel();
    // The last level's rows that lie inside a contracted node go over to that node.
    void keepContractedNodeRowsHidden();
    int m_sortDir = 0;
    int m_filterFixedRows = 0;
    QString m_lastFilter;
    int m_filterCol = -1;
    std::vector<char> m_filterChecks;
    bool m_filterActive = false;

public:

    // --- scrolling -------------------------------------------------------------------------------------------
    void ScrollInView(int colIndex, int rowIndex);
    TScrollType ScrollType() const { return m_scrollType; }
    void SetScrollType(TScrollType t);
    Color ScrollColor() const { return m_scrollColor; }
    void SetScrollColor(Color c) { m_scrollColor = c; }
    int ScrollWidth() const { return m_scrollWidth; }
    void SetScrollWidth(int w) { m_scrollWidth = w; }
    bool ScrollProportional() const { return m_scrollProportional; }
    void SetScrollProportional(bool on);
    TScrollBarAlways ScrollBarAlways() const { return m_scrollBarAlways; }
    void SetScrollBarAlways(TScrollBarAlways v);
    platform::TScrollStyle ScrollBars() const { return m_scrollBarsStyle; }
    void SetScrollBars(platform::TScrollStyle s);
    // While a scroll bar's thumb is dragged, ScrollHints shows the column ("Col : " c) or row
    // ("Row : " r) it would reach (OnScrollHint may change the text); ScrollSynch scrolls along.
    TScrollHintType ScrollHints = shNone;
    bool ScrollSynch = false;
    // The grid's small hint window (scroll hints, live sizes): its text while it is shown.
    void ShowGridHint(const QString& text, QPoint globalPos);
    void HideGridHint();
    bool GridHintShown() const;
    QString GridHintText() const;
    // A drag over the grid near its edges scrolls it (DragScrollOptions): the direction from
    // the point, the timer's step.
    enum TDragScrollDirection : unsigned { dsdUp = 1, dsdDown = 2, dsdLeft = 4, dsdRight = 8 };
    void DragScrollOver(QPoint pos);
    void DragScrollStop();
    void DragScrollStep();
    unsigned DragScrollDirection() const { return m_dragScrollDir; }
    bool DragScrollTimerActive() const;
    void UpdateScrollBarsAlways(bool hideUnused);
    void UpdateProportionalHScroll();
    void UpdateProportionalVScroll();
    // The page and range a proportional bar gets for a visible fraction r (0..1).
    static bool ProportionalThumb(double r, int& nMax, int& nPage);

    // --- looks, links, zoom -------------------------------------------------------------------------------------
    TGridLook Look() const { return m_look; }
    void SetLook(TGridLook look);
    static QString LookToString(TGridLook look, const QString& custom = QString());
    static QString LookToCaption(TGridLook look, const QString& custom = QString());
    Color URLColor() const { return m_urlColor; }
    void SetURLColor(Color c);
    bool URLShow() const { return m_urlShow; }
    void SetURLShow(bool on);
    bool URLShowInText() const { return m_urlShowInText; }
    void SetURLShowInText(bool on);
    bool URLFull() const { return m_urlFull; }
    void SetURLFull(bool on);
    bool URLEdit = false;
    bool URLUnderlineOnHover = false;
    bool IntegralHeight() const { return m_integralHeight; }
    void SetIntegralHeight(bool on);
    Color VekkoGradientFrom() const { return m_vekko[0]; }
    void SetVekkoGradientFrom(Color c);
    Color VekkoGradientTo() const { return m_vekko[1]; }
    void SetVekkoGradientTo(Color c);
    Color VekkoGradientMirrorFrom() const { return m_vekko[2]; }
    void SetVekkoGradientMirrorFrom(Color c);
    Color VekkoGradientMirrorTo() const { return m_vekko[3]; }
    void SetVekkoGradientMirrorTo(Color c);
    int ZoomFactor() const { return m_zoomFactor; }
    void Zoom(int x);
    TEditorType CurrentEditor() const { return m_editControl; }
    virtual void SetStyle(TVekkoStyle style);
    TVekkoStyle Style() const { return m_style; }
    virtual void CanAddRow(bool& canAdd);
    virtual void CanInsertRow(int row, bool& canInsert);
    virtual void ColorSelect(Color color, const QString& text);
    virtual void ImageSelect(int index);
    TIntelliPan IntelliPan = ipVertical;
    bool IntelliZoom = true;

    // --- appearance setters -----------------------------------------------------------------------------------
#define VN_REPAINT_WHEN_CHANGED(Type, Name)                                                                           \
    Type Name() const { return m_##Name; }                                                                             \
    void Set##Name(Type v)                                                                                             \
    {                                                                                                                  \
        if (v == m_##Name)                                                                                             \
            return;                                                                                                    \
        m_##Name = v;                                                                                                  \
        invalidate();                                                                                                  \
    }
    VN_REPAINT_WHEN_CHANGED(Color, SelectionColor)
    VN_REPAINT_WHEN_CHANGED(Color, SelectionColorTo)
    VN_REPAINT_WHEN_CHANGED(Color, SelectionMirrorColor)
    VN_REPAINT_WHEN_CHANGED(Color, SelectionMirrorColorTo)
    VN_REPAINT_WHEN_CHANGED(Color, SelectionTextColor)
    VN_REPAINT_WHEN_CHANGED(bool, SelectionColorMixer)
    VN_REPAINT_WHEN_CHANGED(bool, SelectionRectangle)
    VN_REPAINT_WHEN_CHANGED(bool, SelectionResizer)
    VN_REPAINT_WHEN_CHANGED(bool, ShowDesignHelper)
#undef VN_REPAINT_WHEN_CHANGED
    int SelectionColorMixerFactor() const { return m_selectionColorMixerFactor; }
    void SetSelectionColorMixerFactor(int v);
    bool ShowSelection() const { return m_showSelection; }
    void SetShowSelection(bool on);
    Color HighlightColor() const { return m_highlightColor; }
    void SetHighlightColor(Color c);
    Color HighlightTextColor() const { return m_highlightTextColor; }
    void SetHighlightTextColor(Color c);
    bool ActiveCellShow() const { return m_activeCellShow; }
    void SetActiveCellShow(bool on);
    Color ActiveCellColor() const { return m_activeCellColor; }
    void SetActiveCellColor(Color c);
    Color ActiveCellColorTo() const { return m_activeCellColorTo; }
    void SetActiveCellColorTo(Color c);
    const QFont& ActiveCellFont() const { return m_activeCellFont; }
    void SetActiveCellFont(const QFont& f);
    const QFont& FixedFont() const { return m_fixedFont; }
    void SetFixedFont(const QFont& f);
    // The text colour of the active-cell font (window text by default).
    Color ActiveCellFontColor() const { return m_activeCellFontColor; }
    void SetActiveCellFontColor(Color c);
    TVAlignment VAlignment() const { return m_vAlignment; }
    void SetVAlignment(TVAlignment v);
    unsigned VAlignFlags() const { return m_vAlignFlags; }
    bool Flat() const { return m_flat; }
    void SetFlat(bool on);
    bool Hovering = false;
    int MaxEditLength() const { return m_maxEditLength; }
    void SetMaxEditLength(int n);
    bool SpreadSheet() const { return m_spreadSheet; }
    void SetSpreadSheet(bool on);
    bool AutoThemeAdapt() const { return m_autoThemeAdapt; }
    void SetAutoThemeAdapt(bool on);
    Color BorderColor() const { return m_borderColor; }
    void SetBorderColor(Color c);
    bool InSizingZone(int x, int y) const;
    void UpdateXYOffset(int x, int y) { XYOffset = QPoint(x, y); }
    bool UseVCLStyles() const override { return m_useVCLStyles; }
    const QFont& RowIndicatorFont() const { return m_fixedFont; }

    // --- typed access, fills, headers ----------------------------------------------------------------------------
    int Ints(int col, int row) const;
    void SetInts(int col, int row, int value);
    int AllInts(int col, int row) const;
    void SetAllInts(int col, int row, int value);
    double Floats(int col, int row) const;
    void SetFloats(int col, int row, double value);
    double AllFloats(int col, int row) const;
    void SetAllFloats(int col, int row, double value);
    platform::TDateTime Dates(int col, int row) const;
    void SetDates(int col, int row, platform::TDateTime value);
    platform::TDateTime Times(int col, int row) const;
    void SetTimes(int col, int row, platform::TDateTime value);
    QString ControlValues(int col, int row, const QString& id) const;
    void SetControlValues(int col, int row, const QString& id, const QString& value);
    virtual void GetColFloatFormat(int col, QString& fmt);
    QString Version() const;
    virtual int GetVersionNr() const { return 0x06020103; }
    int PrintColWidth(int col) const;
    int PrintColOffset(int col) const;
    void SwapCells(TGridCoord from, TGridCoord to);
    void GotoCell(int col, int row);
    void FocusCell(int col, int row);
    void MoveToCell(int col, int row);
    void TextFill(bool doFixed, const QString& text);
    void FormatFill(bool doFixed, const QString& fmt);
    void RandomFill(bool doFixed, int range);
    void LinearFill(bool doFixed);
    void ShowColumnHeaders();
    void ClearColumnHeaders();
    void ShowRowHeaders();
    void ClearRowHeaders();
    void SplitAllColumnCells();
    void RemergeColumnCells();
    const platform::TStringList& ColumnHeaders() const { return m_columnHeaders; }
    void SetColumnHeaders(const QStringList& lines);
    const platform::TStringList& RowHeaders() const { return m_rowHeaders; }
    void SetRowHeaders(const QStringList& lines);
    platform::TStringList& LookupItems() { return m_lookupItems; }
    TIntList& MergedColumns() { return m_mergedColumns; }
    QString FloatFormat = QStringLiteral("%.2f");
    bool ShowNullDates = true;
    std::vector<int> MaxWidths = std::vector<int>(512, 0);
    std::vector<int> Indents = std::vector<int>(512, 0);

    // --- notifications ---------------------------------------------------------------------------------------------
    virtual void CellsChanged(const QRect& r);
    virtual void CellsLoaded();
    virtual void ColumnValueChanged(int col);
    virtual void RememberCellValue(int col, int row);
    virtual void CalcFooter(int col);
    void RegisterNotifier(TGridChangeNotifier* n);
    void UnRegisterNotifier(TGridChangeNotifier* n);
    void ApplyVCLStyle();
    // The cell the next edit validates against.
    QPoint RememberedCell() const { return m_rememberedCell; }
    QString RememberedValue() const { return m_rememberedValue; }

    // --- search and replace (GridFind.cpp) ----------------------------------------------------------------
    // Cells are found by walking the range (the data cells; see TFindParameters for the rest) row
    // by row or column by column, forwards or backwards, from the cell after startCell; (-1, -1)
    // starts at the first cell (the last one backwards) and examines it. There is no wrap-around:
    // the end of the range gives (-1, -1). A hit is (column, row): display indexes, a real column
    // with fnIncludeHiddenColumns and a real row with fnIncludeHiddenRows. The walk reports itself
    // through ExportNotification (start, each cell's row, done or - for a hit - fail).
    QPoint Find(QPoint startCell, const QString& s, TFindParams params);
    // The same on the wide texts, without Find's final scroll.
    QPoint FindWide(QPoint startCell, const QString& s, TFindParams params);
    // Find from (-1, -1); SearchCell := the result.
    QPoint FindFirst(const QString& s, TFindParams params);
    // Find after SearchCell with the text and options of the last search; SearchCell := the result.
    QPoint FindNext();
    // Every hit has each occurrence of origStr replaced by newStr (with case under fnMatchCase,
    // else ignoring it); the number of cells whose text changed.
    int Replace(const QString& origStr, const QString& newStr, TFindParams params);
    // The first row whose sort-column text, without HTML tags and upper-cased, begins with s (the
    // keyboard's incremental search hands it upper-cased); -1 when none.
    int Search(const QString& s);
    TFindParams FindParams() const { return m_findParams; }
    QPoint SearchCell{-1, -1};
    QString SearchCache;
    QString SearchCacheWide;
    int FindCol = 0; // fnFindInPresetCol
    int FindRow = 0; // fnFindInPresetRow
    // The real columns a search (and row autosizing) passes over.
    TIntList& IgnoreColumns() { return m_ignoreColumns; }
    // Called at the start and end of long walks over the rows and for each row on the way.
    virtual void ExportNotification(TGridExportState state, int row);

    // --- highlighting, marking and cell checking (GridHighlight.cpp) ---------------------------------------
    // Highlighting wraps every occurrence of a text in <hi>..</hi>, marking in <e>..</e>; both
    // change the stored texts of the cells that hold the text (escaped as HTML first, so that the
    // renderer shows them as they were), and the Un* operations give those texts back. Cells
    // without an occurrence, and cells without the tag, are left as they are. Columns are
    // indexes of the cell store, rows display rows.
    static QString HilightText(bool doCase, const QString& s, const QString& text);
    static QString UnHilightText(const QString& s);
    static QString MarkText(bool doCase, const QString& s, const QString& text);
    static QString UnMarkText(const QString& s);
    void HilightInCell(bool doCase, int col, int row, const QString& hiText);
    void HilightInCol(bool doFixed, bool doCase, int col, const QString& hiText);
    void HilightInRow(bool doFixed, bool doCase, int row, const QString& hiText);
    void HilightInGrid(bool doFixed, bool doCase, const QString& hiText);
    void MarkInCell(bool doCase, int col, int row, const QString& hiText);
    void MarkInCol(bool doFixed, bool doCase, int col, const QString& hiText);
    void MarkInRow(bool doFixed, bool doCase, int row, const QString& hiText);
    void MarkInGrid(bool doFixed, bool doCase, const QString& hiText);
    void UnHilightInCell(int col, int row);
    void UnHilightInCol(bool doFixed, int col);
    void UnHilightInRow(bool doFixed, int row);
    void UnHilightInGrid(bool doFixed);
    void UnMarkInCell(int col, int row);
    void UnMarkInCol(bool doFixed, int col);
    void UnMarkInRow(bool doFixed, int row);
    void UnMarkInGrid(bool doFixed);
    // The cell's text (without marks) goes through the CellChecker (Correct, then MarkError, by
    // its switches) and is written back; true when it came back unchanged. Without a checker
    // every check answers true. CheckCells checks every cell of the rectangle, also after a
    // change, between the checker's StartCheck and StopCheck.
    bool CheckCell(int col, int row);
    bool CheckCells(int fromCol, int fromRow, int toCol, int toRow);
    bool CheckCol(bool doFixed, int col);
    bool CheckRow(bool doFixed, int row);
    bool CheckGrid(bool doFixed);

    // --- plain settings ---------------------------------------------------------------------------------------------
    QString CheckTrue = QStringLiteral("Y");
    QString CheckFalse = QStringLiteral("N");
    QString EditMask;
    QString FilterDropDownClear = QStringLiteral("(All)");
    bool FilterDropDownAuto = false;
    bool FilterDropDownCheck = false;
    TFilterDropDownColumns FilterDropDownColumns = fdNormal;
    int FilterDropDownRow = 0;
    bool FilterNormalCellsOnly = true;
    bool FilterIncremental = false;
    bool AutoFilterUpdate = true;
    bool AutoNumAlign = false;
    bool AnchorHint = false;
    TEditorType DefaultEditor = edNormal;
    Color DisabledFontColor = 0xC0C0C0;
    bool EditWithTags = false;
    bool EnableBlink = false;
    bool EnableHTML = true;
    bool EnableWheel = true;
    bool EnhRowColMove = true;
    bool EnhTextSize = false;
    bool ExcelStyleDecimalSeparator = false;
    bool FixedAsButtons = false;
    bool HideFocusRect = false;
    Color HintColor = platform::clInfoBk;
    bool HintShowCells = false;
    bool HintShowLargeText = false;
    THintShowLargeTextPos HintShowLargeTextPos = hpCell;
    bool HintShowSizing = false;
    THoverFixedCells HoverFixedCells = hfNone;
    bool HTMLHint = false;
    TInvalidEntryIcon InvalidEntryIcon = ieWarning;
    QString InvalidEntryText;
    QString InvalidEntryTitle;
    bool Lookup = false;
    bool LookupCaseSensitive = false;
    bool LookupHistory = false;
    int MaxComboLength = 0;
    bool Multilinecells = false;
    bool OemConvert = false;
    // Exchange with files and the clipboard (the io code): the CSV field separator (character 0:
    // "," on writing, detected on reading), quoting, the Java-style line breaks, whether a CSV
    // file's first line is data; where the last clipboard text came from and whether it was cut
    // (0) or copied (1); the progress of long loads and saves in percent.
    QChar Delimiter = QChar(0);
    bool AlwaysQuotes = false;
    bool QuoteEmptyCells = true;
    bool JavaCSV = false;
    bool LoadFirstRow = true;
    QPoint ClipTopLeft{-1, -1};
    int ClipLastOp = 1;
    std::function<void(TExtStringGrid* sender, int progress)> OnFileProgress;
    bool SizeWithForm = false; // follow the owner form's size changes made while on
    bool UseInternalHintClass = true;
    QString ValidChars;
    QString XMLEncoding = QStringLiteral("ISO-8859-1");
    QChar PasswordChar = u'*';
    bool UseDisabledFont = true;

    // --- owned settings objects ---------------------------------------------------------------------------------
    TFocusHelper FocusHelper;
    TSearchFooter SearchFooter;
    TFloatingFooter FloatingFooter{this};
    TPrintSettings PrintSettings;
    THTMLSettings HTMLSettings;
    TSortSettings SortSettings;
    TDragDropSettings DragDropSettings;
    TDragScrollOptions DragScrollOptions;
    TControlLook ControlLook;
    TColumnSize ColumnSize;
    TCellNode CellNode;
    TSizeWhileTyping SizeWhileTyping;
    TGrouping Grouping;
    TBackGround BackGround;
    TFilter Filter;
    TFilterDropDown FilterDropDown;
    TBalloonSettings Balloon;
    TShowModified ShowModified;
    TGridProgressAppearance ProgressAppearance;
    TNavigation Navigation;
    TBands Bands;
    TMouseActions MouseActions;
    TSyncGrid SyncGrid;
    TSortIndexList SortIndexes;
    QPointer<TExtStringGridCheck> CellChecker;
    platform::Bitmap RowIndicator;

    // --- events --------------------------------------------------------------------------------------------------
    CellBoolEvent OnCanEditCell;
    CellEvent OnButtonClick;
    CheckBoxChangeEvent OnCheckBoxChange;
    RowChangedEvent OnRowChanged;
    GetCellColorEvent OnGetCellColor;
    GetAlignmentEvent OnGetAlignment;
    GetEditorTypeEvent OnGetEditorType;
    GetFormatEvent OnGetFormat;
    GetCellBorderEvent OnGetCellBorder;
    GetCellColorEvent OnGetCellPrintColor;
    GetCellBorderEvent OnGetCellPrintBorder;
    GetColumnFilterEvent OnGetColumnFilter;
    CellBoolEvent OnIsFixedCell;
    CellBoolEvent OnIsPasswordCell;
    CellBoolEvent OnGetWordWrap;
    CellBoolEvent OnHasComboBox;
    CellBoolEvent OnHasSpinEdit;
    CellStringEvent OnGetCheckTrue;
    CellStringEvent OnGetCheckFalse;
    CellStringEvent OnGetEditMask;
    GridHintEvent OnGridHint;
    GridHintEvent OnGridWideHint;
    ColumnSizeEvent OnColumnSize;
    ColumnSizeEvent OnRowSize;
    UpdateColumnSizeEvent OnUpdateColumnSize;
    RowEvent OnEndColumnSize;
    RowEvent OnEndRowSize;
    CellsChangedEvent OnCellsChanged;
    RowDisjunctSelectEvent OnRowDisjunctSelect;
    RowEvent OnRowDisjunctSelected;
    RatingChangeEvent OnRatingChange;
    ScrollHintEvent OnScrollHint;
    UnitChangedEvent OnUnitChanged;
    ColorSelectEvent OnColorSelect;
    ImageSelectEvent OnImageSelect;
    using DragScrollEvent = std::function<void(TExtStringGrid* sender, int topRow, int leftCol, unsigned& direction,
                                               bool& canScroll)>;
    DragScrollEvent OnDragScroll;
    CanAddRowEvent OnCanAddRow;
    CanInsertRowEvent OnCanInsertRow;
    NotifyEvent OnResize;

protected:
    // Display hooks and painting (the painting code replaces these).
    void GetDisplText(int col, int row, QString& value) const override;
    void DrawCellContents(platform::Canvas& canvas, int col, int row, const Rect& rect, TGridDrawState state) override;
    void GetVisualProperties(int col, int row, TGridDrawState& state, bool print, bool select, bool remap,
                             TCellFormat& format) override;
    void LastRowChanged() override;
    // Platform grid overrides.
    void sizeChanged(int oldColCount, int oldRowCount) override;
    void colWidthsChanged() override;
    void rowHeightsChanged() override;
    void resized() override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    // The user's moves: cells by real index, the column order, and widths or heights with
    // EnhRowColMove.
    void columnMoved(int fromIndex, int toIndex) override;
    void rowMoved(int fromIndex, int toIndex) override;
    void calcSizingState(int x, int y, platform::TGridState& state, int& index, int& sizingPos, int& sizingOfs,
                         const platform::TGridDrawInfo& info) override;
    // Thumb drags: hints and synchronous scrolling; then the standard scrolling.
    void wmHScroll(platform::TScrollCode code, int pos) override;
    void wmVScroll(platform::TScrollCode code, int pos) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dragMoveEvent(QDragMoveEvent* e) override;
    void dragLeaveEvent(QDragLeaveEvent* e) override;
    void dropEvent(QDropEvent* e) override;
    // Fires OnRowChanged (last reported row, newRow) when newRow differs from the last reported
    // row, which it becomes.
    void ReportRowChange(int newRow);
    // A row or column of real cells (texts and properties) moved from one place to another.
    void MoveRowCells(int from, int to);
    void ClearRowCells(int row, bool dropObjects);
    int RowHeightAt(int row) const { return rowHeights(row); }
    // The window's creation steps (run the first time the grid is shown).
    virtual void CreateWnd();
    // The scroll type changed (the grid with its auxiliary windows shows or removes the Metro
    // indicators).
    virtual void ScrollTypeChanged() {}
    // AutoThemeAdapt was switched on (outside loading): the painting grid follows the Office
    // colour scheme at once.
    virtual void AutoThemeAdaptSwitchedOn() {}
    // Look as a style preset names it, without the look's own colours.
    void SetLookField(TGridLook look) { m_look = look; }

private:
    void wireSettings();
    void ownerResized(bool formWasShown);
    TCellGraphic* graphicAt(int col, int row) const;
    TCellGraphic* baseGraphic(int col, int row);
    TCellGraphic* realRowGraphic(int col, int realRow);
    void repaintDisplCell(int col, int row);
    // The real indexes of ascending display rows.
    std::vector<int> realIndexesOf(const std::vector<int>& displayRows) const;
    // The hidden row of a real index (its place in m_hidden), or -1.
    int hiddenIndexOf(int realRow) const;
    // Index of the first hidden row whose real index is at or above realRow.
    size_t firstItemFrom(int realRow) const;
    platform::GridRowPtr& hiddenCellsForWrite(int index);
    void setHiddenText(int index, int col, const QString& value);
    void dropHiddenRows();
    // Rows leave and enter the grid through these (one pass each): the per-row lists follow.
    platform::TTakenRows takeDisplayRows(const std::vector<int>& rows);
    void putDisplayRows(const std::vector<int>& positions, platform::TTakenRows rows);
    // The real indexes of hidden rows when display rows are removed or inserted.
    void shiftHiddenForRemoval(int displayRow, int count);
    void shiftHiddenForInsertion(int displayRow, int count);
    void hideRealRange(int fromRow, int toRow, int level = -1);
    // Lists of display rows leave the grid in one pass: deleted (their properties freed, like
    // FreeAndDeleteRows; eraseFlags drops their modified and enabled flags as RemoveRows does)
    // or hidden by their real indexes; at least one row (keep rows) stays.
    std::vector<int> cleanRowList(const std::vector<int>& rows, int keep) const;
    void deleteDisplayRows(const std::vector<int>& rows, bool eraseFlags);
    void hideDisplayRows(const std::vector<int>& rows, int keep, int level = -1);
    void mergeItems(std::vector<int> reals, platform::TTakenRows taken, int level);
    void showItems(size_t first, size_t last);
    // Shows the hidden rows of one level among the items [first, last) in one walk: they leave the
    // lists and go to their display places; the others stay hidden in order and count for the
    // places of the rows after them.
    void showItemsOfLevel(size_t first, size_t last, int level);
    void keepRowAndTop(int current, int top, bool toLastDataRow);
    void thumbHint(platform::TScrollCode code, const QString& format, int index);
    void deleteRowsCore(int index, int count);
    void insertRowsCore(int rowIndex, int count);
    void applyColumnWidthsAfterHide();
    void setColCountRaw(int n);
    void fillRange(bool doFixed, const std::function<QString(int col, int row)>& text);
    int fillFirstRow(bool doFixed) const;
    int fillLastRow(bool doFixed) const;
    int fillFirstCol(bool doFixed) const;
    int fillLastCol(bool doFixed) const;
    void touchRowSelect(int row);

    // Search and highlighting.
    QPoint FindCells(QPoint startCell, const QString& s, TFindParams params, bool wide);
    bool CellMatches(int col, int row, bool wide) const;
    void AfterHit(int x, int y);
    void ExpandNodeHolding(int realRow);
    void TagRange(int fromCol, int fromRow, int toCol, int toRow, bool doCase, const QString& hiText,
                  const QString& tag);
    void UntagRange(int fromCol, int fromRow, int toCol, int toRow, const QString& tag);
    TFindParams m_findParams;

    // Counts and the current cell.
    bool m_fixedRowAlways = false;
    bool m_fixedColAlways = false;
    int m_fixedRowsMin = 0;
    int m_fixedColsMin = 0;
    int m_fixedFooters = 0;
    int m_fixedRightCols = 0;
    int m_fixedRowHeight = 22;
    int m_maxRowCount = 0;
    int m_maxColCount = 0;
    int m_oldRowSel = -1;
    bool m_wordWrapEx = true;
    platform::Alignment m_defaultAlignment = platform::Alignment::taLeftJustify;
    bool m_editChange = false;
    bool m_loaded = false;
    bool m_windowCreated = false;

    // Hidden columns: real indexes, ascending; widths they had when hidden (by real index).
    std::vector<int> m_hiddenCols;
    std::vector<int> m_allColWidths;
    // Hidden rows, by ascending real index, kept as parallel lists so that hiding and showing
    // many rows moves whole lists: real indexes, the rows' cells (their property objects are
    // owned), heights (empty while all are 0, the default) and filter levels (-1: by range).
    struct THiddenRows {
        std::vector<int> Idx;
        std::vector<platform::GridRowPtr> Cells;
        std::vector<int> Heights;
        std::vector<int> Levels;
        int height(size_t i) const { return i < Heights.size() ? Heights[i] : 0; }
    };
    THiddenRows m_hidden;
    int m_filterLevel = 0;
    TIntList m_ignoreColumns{-1, 0};

    // Cell objects and queries.
    platform::TImageList* m_gridImages = nullptr;
    TCellGraphic m_rowGraphic; // the row check box of column 0 (never in a cell)
    platform::TStringList m_filterList;
    platform::Font m_cellFont;
    TControlList m_controlList;
    int m_numCellControls = 0;

    // Lists of rows and columns.
    std::vector<char> m_rowSelect;
    std::vector<char> m_colSelect;
    TIntList m_selectedCells;
    TIntList m_selectedRows;
    TIntList m_modifiedRows;
    TIntList m_enabledRows;
    bool m_useEnabledRows = false;
    TIntList m_sortRowXRef;
    TIntList m_columnOrder;
    bool m_colMoveFlg = false;
    bool m_syncedMove = false; // following a move of the synchronised partner
    TIntList m_mergedColumns;
    TIntList m_origColSizes{-1, 0};
    platform::TStringList m_columnHeaders;
    platform::TStringList m_rowHeaders;
    platform::TStringList m_lookupItems;
    TGridRect m_oldSelection;
    bool m_selHidden = false;
    int m_groupColumn = -1;

    // Sizing.
    bool m_autoSize = false;
    bool m_isColChanging = false;
    bool m_colChgFlg = true;

    // Scrolling.
    TScrollType m_scrollType = ssNormal;
    Color m_scrollColor = platform::clNone;
    int m_scrollWidth = 17;
    bool m_scrollProportional = false;
    TScrollBarAlways m_scrollBarAlways = saNone;
    platform::TScrollStyle m_scrollBarsStyle = platform::TScrollStyle::ssBoth;
    bool m_scrollLock = false;
    QPointer<QWidget> m_gridHint;
    QTimer* m_dragScrollTimer = nullptr;
    unsigned m_dragScrollDir = 0;

    // Looks.
    TGridLook m_look = glXP;
    TVekkoStyle m_style = tsWindowsXP;
    Color m_urlColor = 0xFF0000;
    bool m_urlShow = false;
    bool m_urlShowInText = false;
    bool m_urlFull = false;
    bool m_integralHeight = false;
    Color m_vekko[4];
    int m_zoomFactor = 0;
    TEditorType m_editControl = edNormal;
    Color m_SelectionColor = 0xEACAB6;
    Color m_SelectionColorTo = platform::clNone;
    Color m_SelectionMirrorColor = platform::clNone;
    Color m_SelectionMirrorColorTo = platform::clNone;
    Color m_SelectionTextColor = 0;
    bool m_SelectionColorMixer = false;
    bool m_SelectionRectangle = false;
    bool m_SelectionResizer = false;
    bool m_ShowDesignHelper = true;
    int m_selectionColorMixerFactor = 50;
    bool m_showSelection = true;
    Color m_highlightColor = platform::clHighlight;
    Color m_highlightTextColor = platform::clHighlightText;
    bool m_activeCellShow = false;
    Color m_activeCellColor = 0x808080;
    Color m_activeCellColorTo = platform::clNone;
    QFont m_activeCellFont;
    QFont m_fixedFont;
    Color m_activeCellFontColor = platform::clWindowText;
    TVAlignment m_vAlignment = vtaTop;
    unsigned m_vAlignFlags = 0;
    bool m_flat = false;
    int m_maxEditLength = 0;
    bool m_spreadSheet = false;
    bool m_autoThemeAdapt = false;
    Color m_borderColor = 0xB99D7F;
    bool m_useVCLStyles = false;
    bool m_isWinXP = true;

    // Notifications.
    std::vector<QPointer<TGridChangeNotifier>> m_notifiers;
    QPoint m_rememberedCell{-1, -1};
    QString m_rememberedValue;
    bool m_rememberedModified = false;

    // The owner form whose size the grid follows.
    QPointer<QWidget> m_ownerForm;
    QSize m_ownerSize;
};

// Unit-level state of the grid, set up once per process by GridInit.
struct TGridUnitState {
    int InitCount = 0;
    QPointer<TExtStringGrid> HookedGrid;
    bool ComCtl32Above469 = true;
    QString GridClipboardFormat; // the MIME name of the grid's own cell format
    int GridEditDoneMsg = 0;     // custom event types of the editing code
    int GridDTPShiftFocusMsg = 0;
    QString HintFontName;
    QStringList RegisteredClasses;
};
// Runs once per process; later calls only count.
void GridInit();
void GridFinalize();
const TGridUnitState& GridUnitState();
// The font the hint window draws wide-coded hints in (the grid sets it when it makes a hint).
void SetGridHintFontName(const QString& name);

} // namespace controls::grid
