#pragma once
// TBaseGrid: the grid on which every table window stands. On top of the platform's string grid
// it keeps:
//
//   - a property object per cell (TCellProperties), created the first time a cell needs one
//     (CellProperties, Objects, GraphicObjects, MergeCells). A cell without colour, span,
//     object or control costs its text and nothing else. The cell owns its properties: they
//     travel with the cell when rows and columns move and are freed exactly once - when the
//     cell is cleared, its properties replaced, or with the grid; properties whose cell
//     reference was dropped (ResetRow, ResetColumn, ResetCell, SetGridObject) are kept by the
//     grid and freed with it. A property object frees the cell's own graphic (a TCellGraphic)
//     with itself; graphics of other classes belong to the application.
//   - merged cells: the block's texts, colours and objects live in its top-left base cell;
//     every cell of the block knows its offset from the base (see TCellProperties). Cells,
//     Objects and the span queries resolve any cell of a block to its base. The texts of the
//     member cells stay in the store and come back when the block is split.
//   - display-text hooks (GetDisplText, OnGetDisplText, OnGetDisplWideText) for rows below
//     NormalRowCount;
//   - its own cell painting: grid lines in GridLineColor / GridFixedLineColor and
//     GridLineWidth (the platform grid's own lines and default drawing are off), selection
//     styles, a hover row and an active row, a hidden last row painted as background, and
//     merged blocks painted once per paint pass through their base cell;
//   - a link to an undo/redo component (UndoRedo), cleared when either side goes away.
//
// Indexes are column first, then row. The array properties of the grid are read as
// Cells(c, r) and written as SetCells(c, r, value); so are CellProperties, Objects,
// GraphicObjects, GridCells and GridObjects. Settings properties are Name() / SetName(value).
#include "controls/grid/base/GridTypes.h"
#include "controls/grid/base/UndoRedo.h"
#include "platform/core/Persistent.h"
#include "platform/draw/Canvas.h"
#include "platform/grid/StringGrid.h"

#include <QPoint>
#include <QPointer>
#include <QString>
#include <functional>

class QWidget;

namespace controls::grid {

using platform::Color;
using platform::Rect;
using platform::TGridCoord;
using platform::TGridDrawState;
using platform::TGridRect;

class TBaseGrid;

// The format a cell is drawn with; filled by the grid's format hooks.
struct TCellFormat {
    platform::Font font;
    platform::Brush brush;
    Color colorTo = platform::clNone;
    Color mirrorColor = platform::clNone;
    Color mirrorColorTo = platform::clNone;
    platform::Alignment alignment = platform::Alignment::taLeftJustify;
    TVAlignment vAlignment = vtaTop;
    bool wordWrap = true;
    TCellGradientDirection gradient = GradientVertical;
};

// The properties of one cell. Merge encoding, kept in every cell of a block:
//   base cell:   IsBaseCell true,  CellSpanX/Y = columns/rows of the block - 1;
//   member cell: IsBaseCell false, CellSpanX/Y = its offset from the base cell;
//   not merged:  IsBaseCell true,  CellSpanX = CellSpanY = -1 (as a cell without properties).
class TCellProperties : public platform::TPersistent {
public:
    TCellProperties(TBaseGrid* owner, int col, int row);
    ~TCellProperties() override;
    TCellProperties(const TCellProperties&) = delete;
    TCellProperties& operator=(const TCellProperties&) = delete;

    TBaseGrid* OwnerGrid() const { return m_owner; }
    int OwnerCol = 0;
    int OwnerRow = 0;
    void* CellObject = nullptr;
    platform::TObject* GraphicObject = nullptr;
    platform::BrushStyle BrushStyle = platform::BrushStyle::Solid;
    int FontSize = 0;
    Color FontColor = platform::clNone;
    TFontStyles FontStyle = 0;
    int CellSpanY = -1;
    int CellSpanX = -1;
    int BorderWidth = 0;
    Color BorderColor = 0;
    int PaintID = 0;
    bool IsBaseCell = true;
    TColumnCalcType CalcType = acNONE;
    platform::TObject* CalcObject = nullptr;
    int NodeLevel = 0;
    TEditorType Editor = edNormal;
    QString FontName;
    bool ReadOnly = false;
    TCellGradientDirection GradientDirection = GradientVertical;
    QPointer<QWidget> Control;

    // Puts the font colour, styles, size and name this cell sets (those not left empty) on font.
    void ApplyFont(platform::Font& font) const
    {
        if (FontColor != platform::clNone)
            font.color = FontColor;
        if (FontStyle != 0)
            ApplyFontStyles(font.font, FontStyle);
        if (FontSize != 0)
            font.font.setPointSize(FontSize);
        if (!FontName.isEmpty())
            font.font.setFamily(FontName);
    }

    // Setters with an effect beyond storing: they repaint the cell the object was made for.
    Color BrushColor() const { return m_brushColor; }
    void SetBrushColor(Color c);
    Color BrushColorTo() const { return m_brushColorTo; }
    void SetBrushColorTo(Color c);
    platform::Alignment Alignment() const { return m_alignment; }
    void SetAlignment(platform::Alignment a) { m_alignment = a; }
    TVAlignment VAlignment() const { return m_vAlignment; }
    void SetVAlignment(TVAlignment a);
    bool WordWrap() const { return m_wordWrap; }
    void SetWordWrap(bool on);

    // The base cell of (col, row) by the merge encoding.
    QPoint GetBaseCell(int col, int row) const;
    bool IsMerged() const { return CellSpanX != -1 || CellSpanY != -1; }

    // Copies the merge encoding, owner position, application object and the look, as plain
    // field copies (not the graphic, the gradient, the calculation or the paint number).
    void Assign(const platform::TPersistent* source) override;

private:
    friend class TBaseGrid;
    void repaint();

    TBaseGrid* m_owner;
    Color m_brushColor = platform::clNone;
    Color m_brushColorTo = platform::clNone;
    platform::Alignment m_alignment = platform::Alignment::taLeftJustify;
    TVAlignment m_vAlignment = vtaTop;
    bool m_wordWrap = true;
    // Every property object of a grid is on its grid's list until it is freed.
    TCellProperties* m_prev = nullptr;
    TCellProperties* m_next = nullptr;
};

// A named step of the class chain; adds nothing.
class TObjStringGrid : public platform::TStringGrid {
public:
    using platform::TStringGrid::TStringGrid;
};

class TBaseGrid : public TObjStringGrid {
public:
    using GetDisplTextEvent = std::function<void(TBaseGrid* sender, int col, int row, QString& value)>;

    explicit TBaseGrid(QWidget* parent = nullptr);
    ~TBaseGrid() override;

    // --- cell access ---------------------------------------------------------------------
    // Merged-aware texts with the display hooks.
    QString Cells(int col, int row) const { return GetCellEx(col, row); }
    void SetCells(int col, int row, const QString& value) { SetCellEx(col, row, value); }
    QString GetCellEx(int col, int row) const;
    void SetCellEx(int col, int row, const QString& value);
    // Raw texts and object references of the store.
    QString GridCells(int col, int row) const { return GetGridCell(col, row); }
    void SetGridCells(int col, int row, const QString& value) { SetGridCell(col, row, value); }
    QString GetGridCell(int col, int row) const { return cells(col, row); }
    void SetGridCell(int col, int row, const QString& value) { setCells(col, row, value); }
    TCellProperties* GridObjects(int col, int row) const { return GetGridObject(col, row); }
    TCellProperties* GetGridObject(int col, int row) const;
    // Drops the reference without freeing (the grid keeps the object until it is freed).
    void SetGridObject(int col, int row, TCellProperties* value);
    // The application's object of the cell (nullptr without properties; none is created).
    void* Objects(int col, int row) const { return GetObjectEx(col, row); }
    void SetObjects(int col, int row, void* value) { SetObjectEx(col, row, value); }
    void* GetObjectEx(int col, int row) const;
    void SetObjectEx(int col, int row, void* value);
    platform::TObject* GraphicObjects(int col, int row) const { return GetGraphicObjectEx(col, row); }
    void SetGraphicObjects(int col, int row, platform::TObject* value) { SetGraphicObjectEx(col, row, value); }
    platform::TObject* GetGraphicObjectEx(int col, int row) const;
    void SetGraphicObjectEx(int col, int row, platform::TObject* value);
    // Created on first use; never nullptr. Callers pass cells inside the grid.
    TCellProperties* CellProperties(int col, int row) { return GetCellProperties(col, row); }
    TCellProperties* GetCellProperties(int col, int row);
    // Frees the cell's current properties and stores value (owned by the cell from now on).
    void SetCellProperties(int col, int row, TCellProperties* value);

    // --- merged cells ----------------------------------------------------------------------
    virtual void MergeCells(int col, int row, int spanX, int spanY);
    virtual void SplitCells(int col, int row);
    QPoint BaseCell(int col, int row) const;
    bool IsBaseCell(int col, int row) const;
    bool IsMergedCell(int col, int row) const;
    bool IsMergedNonBaseCell(int col, int row) const;
    bool IsXMergedCell(int col, int row) const;
    bool IsYMergedCell(int col, int row) const;
    QPoint CellSpan(int col, int row) const;
    QPoint CellExt(int col, int row) const;
    TGridRect FullCell(int col, int row) const;
    int MinRowSpan(int row) const;
    int MaxRowSpan(int row) const;
    bool RowSpanIdentical(int row1, int row2) const;
    bool ColSpanIdentical(int col1, int col2) const;
    int MergeCount() const { return m_mergeCount; }

    // --- geometry and painting -------------------------------------------------------------
    // The whole block for a merged cell.
    Rect CellRect(int col, int row) const;
    QPoint CellSize(int col, int row) const;
    void RepaintCell(int col, int row);
    void PaintCell(platform::Canvas& canvas, int col, int row, const Rect& rect, TGridDrawState state);
    // Background and lines only.
    void PaintCellExt(platform::Canvas& canvas, int col, int row, const Rect& rect, TGridDrawState state);
    int PaintID() const { return m_paintID; }

    // --- settings --------------------------------------------------------------------------
    bool ActiveRowShow() const { return m_activeRowShow; }
    void SetActiveRowShow(bool on);
    Color ActiveRowColor() const { return m_activeRowColor; }
    void SetActiveRowColor(Color c);
    Color ActiveRowColorTo() const { return m_activeRowColorTo; }
    void SetActiveRowColorTo(Color c);
    Color ActiveRowMirrorColor() const { return m_activeRowMirrorColor; }
    void SetActiveRowMirrorColor(Color c);
    Color ActiveRowMirrorColorTo() const { return m_activeRowMirrorColorTo; }
    void SetActiveRowMirrorColorTo(Color c);
    bool DefaultDrawing() const { return m_defaultDrawing; }
    void SetDefaultDrawing(bool on);
    int GridLineWidth() const { return m_gridLineWidth; }
    void SetGridLineWidth(int w);
    Color GridLineColor() const { return m_gridLineColor; }
    void SetGridLineColor(Color c);
    Color GridFixedLineColor() const { return m_gridFixedLineColor; }
    void SetGridFixedLineColor(Color c);
    TGridSelectionStyle SelectionStyle() const { return m_selectionStyle; }
    void SetSelectionStyle(TGridSelectionStyle s);
    bool HideLastRow() const { return m_hideLastRow; }
    void SetHideLastRow(bool on) { m_hideLastRow = on; }
    int NormalRowCount() const { return m_normalRowCount; }
    void SetNormalRowCount(int n) { m_normalRowCount = n; }
    bool WordWrap() const { return m_wordWrap; }
    void SetWordWrap(bool on) { m_wordWrap = on; }
    bool HoverRow = false;
    Color HoverRowColor = platform::systemColor(platform::COLOR_INFOBK);
    Color HoverRowColorTo = platform::clNone;
    THoverRowCells HoverRowCells = hcNormal | hcSelected;
    int HoverRowIdx = -1;
    bool ShowSel() const { return m_showSel; }
    void SetShowSel(bool on) { m_showSel = on; }
    bool HasCellProps() const { return m_hasCellProps; }
    void SetHasCellProps(bool on) { m_hasCellProps = on; }
    // Colour of the grid font's text.
    Color FontColor() const { return m_fontColor; }
    void SetFontColor(Color c);
    platform::Font GridFont() const { return platform::Font{font(), m_fontColor, 0}; }

    TExtGridUndoRedo* UndoRedo() const { return m_undoRedo.data(); }
    void SetUndoRedo(TExtGridUndoRedo* u);

    GetDisplTextEvent OnGetDisplText;
    GetDisplTextEvent OnGetDisplWideText;

    // --- the hooks the grids derived from this one override -------------------------------
    virtual bool IsFixed(int col, int row) const;
    virtual int GetNodeIndent(int row) const;
    virtual bool HasNodes() const;
    virtual void DrawCellContents(platform::Canvas& canvas, int col, int row, const Rect& rect, TGridDrawState state);
    virtual void LastRowChanged();
    virtual void GetDisplText(int col, int row, QString& value) const;
    virtual void GetDisplWideText(int col, int row, QString& value) const;
    virtual void GetCellFormat(int col, int row, TCellFormat& format);
    virtual void CellTextChanged(int col, int row);
    virtual bool HasCellBorderEvent() const;
    virtual bool UseVCLStyles() const;
    virtual void GetVisualProperties(int col, int row, TGridDrawState& state, bool print, bool select, bool remap,
                                     TCellFormat& format);
    virtual int DisplColIndex(int col) const;
    virtual int TotalColCount() const;

    // The number of property objects alive (for tests and benchmarks).
    int CellPropsAlive() const { return m_propsAlive; }

protected:
    bool HasCellProperties(int col, int row) const;
    bool FindBaseCell(int col, int row, int& baseCol, int& baseRow) const;
    void MoveToBaseCell();
    Rect CalcCellRect(int col, int row) const;
    static platform::TObject* GetPropGraphic(const TCellProperties* props);
    int FixedColsWidth() const;
    int FixedRowsHeight() const;
    void ResetColumn(int col);
    void ResetRow(int row);
    void ResetCell(int col, int row);
    void FreeCellPropsRect(int col1, int row1, int col2, int row2);
    void FreeCellProps(int col, int row);
    void RepaintFixedColMerges();
    void RepaintFixedRowMerges();
    bool Destroying() const { return m_destroying; }
    void SetDestroying() { m_destroying = true; }
    // The grid is being set up from code or a description (between BeginLoading and Loaded).
    bool IsLoading() const { return m_loading; }
    void SetLoading(bool on) { m_loading = on; }

    // Overrides of the platform grid.
    void drawCell(int col, int row, const Rect& rect, TGridDrawState state) override;
    void paint() override;
    bool selectCell(int col, int row) override;
    void keyDown(quint16& key, platform::TShiftState shift) override;
    bool doMouseWheelDown(platform::TShiftState shift, QPoint mousePos) override;
    bool doMouseWheelUp(platform::TShiftState shift, QPoint mousePos) override;
    void topLeftChanged() override;

private:
    friend class TCellProperties;
    void doPaintCell(platform::Canvas& canvas, int col, int row, Rect rect, TGridDrawState state, bool full);
    void link(TCellProperties* p);
    void unlink(TCellProperties* p);

    bool m_defaultDrawing = false;
    int m_gridLineWidth = 1;
    Color m_gridLineColor = 0xC0C0C0;
    Color m_gridFixedLineColor = 0x808080;
    int m_paintID = 1;
    bool m_hideLastRow = false;
    int m_normalRowCount = 0;
    QPointer<TExtGridUndoRedo> m_undoRedo;
    bool m_wordWrap = true;
    bool m_activeRowShow = false;
    Color m_activeRowColor = platform::systemColor(platform::COLOR_INFOBK);
    Color m_activeRowColorTo = platform::clNone;
    Color m_activeRowMirrorColor = platform::clNone;
    Color m_activeRowMirrorColorTo = platform::clNone;
    TGridSelectionStyle m_selectionStyle = ssDefault;
    bool m_showSel = true;
    bool m_hasCellProps = false;
    int m_mergeCount = 0;
    Color m_fontColor = platform::clWindowText;
    bool m_destroying = false;
    bool m_loading = false;
    TCellProperties* m_props = nullptr; // list of every property object alive
    int m_propsAlive = 0;
};

} // namespace controls::grid
