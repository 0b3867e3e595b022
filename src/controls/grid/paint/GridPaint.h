#pragma once
// TExtStringGridPaint: the string grid as it paints itself. It answers the per-cell layout
// questions (visual properties, alignment, shown text, text and graphic sizes) and draws the
// inside of every cell after the base grid has filled its background and drawn its lines:
//
//   fixed-cell looks (gradients by Look, hover and pressed gradients, active-cell and sort
//   headers, edges), the modified-row mark, always-visible drop-down and spin buttons, the text
//   (selection colours, background picture or gradient, selection rectangle, filter glyph,
//   plain, HTML or RTF text with URLs, error underline, sort glyph), the cell borders, node
//   tree lines, the cell graphic (check boxes, radio buttons, images, progress bars, buttons,
//   ratings ...), the drawing events and the focus rectangle.
//
// Around the cells: the frame of the edited cell, the empty area right of and below the
// cells (background picture or gradient), the coloured border of the control, and OnPainted.
//
// Nothing is kept from one cell to the next; every cell asks the virtual queries again, so a
// derived grid (the column grid) can answer per column. Columns passed to the queries are real
// columns unless a name says display column.
//
// The check box, radio button, node and filter glyphs are drawn by the grid itself at the sizes
// of their resources (16 x 16, node 9 x 9 and 16 x 16, filter 16 x 16); see GridGlyph.
#include "controls/grid/core/ExtStringGrid.h"
#include "controls/grid/html/PictureContainer.h"
#include "controls/grid/paint/PaintRoutines.h"
#include "controls/grid/paint/SearchPanel.h"

#include <QSize>
#include <functional>

namespace controls::grid {

using platform::Canvas;

// What the cell's graphic needs: its size, its place and whether the text is drawn beside it.
struct TCellGraphicInfo {
    TCellGraphic* Graphic = nullptr;
    int Width = 0;
    int Height = 0;
    TCellHAlign HAlign = haLeft;
    TCellVAlign VAlign = vaTop;
    bool ShowText = true;
};

// A graphic object that draws itself into a cell (ctInterface cells).
class ICellGraphic {
public:
    virtual ~ICellGraphic() = default;
    virtual void Draw(Canvas& canvas, const Rect& r, int col, int row, bool selected, TExtStringGrid* grid) = 0;
    virtual int GetWidth() = 0;
    virtual int GetHeight() = 0;
    // Drawn behind the text instead of after it.
    virtual bool IsBackground() = 0;
};

enum TGridImportState { isImportStart, isImportNewRow, isImportDone, isImportSelRow };

// What the search bar did (OnSearchFooterAction).
enum TSearchFooterAction { saFindFirst, saFindNext, saFindPrevious };

// The colour schemes of SetTheme.
enum TXPColorScheme { xpNone, xpBlue, xpGreen, xpGray, vistaAero };

class TExtStringGridPaint : public TExtStringGrid, public IVekkoStyle, public IVekkoTones {
public:
    using CustomCellDrawEvent = std::function<void(TExtStringGridPaint* sender, Canvas& canvas, int col, int row,
                                                   TGridDrawState state, const Rect& rect, bool printing)>;
    using GetCellBorderPropEvent =
        std::function<void(TExtStringGridPaint* sender, int row, int col, platform::Pen& left, platform::Pen& top,
                           platform::Pen& right, platform::Pen& bottom)>;
    using GetCellGradientEvent = std::function<void(TExtStringGridPaint* sender, int row, int col, Color& color,
                                                    Color& colorTo, Color& mirrorColor, Color& mirrorColorTo,
                                                    TCellGradientDirection& direction)>;
    using GetFloatFormatEvent =
        std::function<void(TExtStringGridPaint* sender, int col, int row, bool& isFloat, QString& floatFormat)>;
    using SelectionChangedEvent = std::function<void(TExtStringGridPaint* sender, int left, int top, int right, int bottom)>;
    using CellTextEvent = std::function<void(TExtStringGridPaint* sender, int col, int row, QString& value)>;
    using FixedEditEvent = std::function<void(TExtStringGridPaint* sender, int col, int row, TGridFixedCellEditor& editor,
                                              platform::TStringList& values)>;

    explicit TExtStringGridPaint(QWidget* parent = nullptr);
    ~TExtStringGridPaint() override;

    // --- visual properties --------------------------------------------------------------------
    // col is a display column (mapped when remap is set); see the class comment of TCellFormat.
    void GetVisualProperties(int col, int row, TGridDrawState& state, bool print, bool select, bool remap,
                             TCellFormat& format) override;
    TCellGraphicInfo GetCellGraphicInfo(int col, int row);

    // --- layout and measuring -------------------------------------------------------------------
    void ResolveCellAlignment(int col, int row, platform::Alignment& hAlign, TVAlignment& vAlign);
    virtual QString GetFormattedCell(int col, int row);
    void GetFontProperties(int col, int realCol, int row, TGridDrawState state, platform::Font& font,
                           platform::Brush& brush);
    // The size of the cell's text; vs: measured with word breaks in the cell's width, sb: room
    // for a cell button kept on the right.
    QSize GetCellTextSize(int col, int row) override;
    bool PlainColumnMeasure(int col, int realCol) override;
    int PlainTextWidth(int col, int realCol, int row, const QString& text, TTextMeasureCache& cache) override;
    QSize CalcCellTextSize(int realCol, int displCol, int row, bool vs, bool sb);
    QSize GetCellGraphicSize(int col, int row) override;
    virtual QSize CalcCellGraphicSize(int col, int row, int reservedHeight);
    virtual QSize CalcCellGraphicPos(int col, int row, int targetWidth, int targetHeight, double scale);
    bool IsSortGlyphRow(int col, int row);
    int TotalXOffset() const;
    int TotalYOffset() const;
    int MaxLineLengthInColumn(int col);
    int MaxLinesInRow(int row);
    // Moves r's left and top to where text turned by angle starts (r shrinks by 2 first).
    void DrawRotatedText(Canvas& canvas, Rect& r, int angle, TVAlignment vAlign, platform::Alignment hAlign,
                         const QString& text);
    void InvalidateCellRange(const TGridRect& range);

    // --- hooks for row changes, cell export and import -----------------------------------------------
    virtual void FixedEdit(int col, int row, TGridFixedCellEditor& editor, platform::TStringList& values);
    virtual void EditorCaretMoved(const QString& text, QPoint caret, int selStart);
    virtual void InsertRowAt(int row);
    virtual void AutoDeleteRow(int row);
    virtual void GetCellDisplayValue(int col, int row, QString& text);
    QString FilterDisplayValue(int col, int row) override;
    virtual void SaveCell(int col, int row, QString& text);
    virtual void LoadCell(int col, int row, const QString& text);
    void ExportNotification(TGridExportState state, int row) override;
    void HTMLPictureSources(THTMLDrawParams& params) override;
    virtual void ImportNotification(TGridImportState state, int row);

    // --- cell painting --------------------------------------------------------------------------------
    void DrawCellContents(Canvas& canvas, int col, int row, const Rect& rect, TGridDrawState state) override;
    void DrawRichCell(int realCol, int row, const Rect& rect, Canvas& canvas);
    void DrawCheck(Canvas& canvas, const Rect& r, bool checked, TCheckBoxState triState, bool isTriState,
                   TControlStyle style, bool mixed, bool enabled);
    void DrawRadioGroup(Canvas& canvas, const Rect& r, bool upward, double scale, TControlStyle style, int row, int col,
                        bool selected, const platform::TStringList* items, bool disabled, bool horizontal,
                        int selIndex, int count);
    void DrawSortGlyph(Canvas& canvas, int col, int y, int x);

    // --- component styles, colour tones, colour schemes (GridStyles.cpp) ---------------------------
    // Records the style (Style()), applies it, passes it to the drop-down editors; any style but
    // tsCustom ends the ssMetro scroll type.
    void SetComponentStyle(TVekkoStyle style) override;
    // The preset of one style, applied to the grid alone: Look, the fixed cells' gradients, the
    // active cell's headers, the grid lines, the selection, the search footer, the ControlLook
    // gradients and the sort headers.
    void SetStyle(TVekkoStyle style) override;
    virtual void SetEditorsStyle(TVekkoStyle style);
    // A flat look from five tones: classic flat cells, Metro scroll indicators, the tones'
    // colours, glyph check boxes; the toned editors get the tones too.
    void SetColorTones(const TColorTones& tones) override;
    // Gradients, active cell and search footer of a colour scheme; Look stays, nothing repaints.
    void SetTheme(TXPColorScheme scheme);
    // Applies the style of the installed Office colour scheme when it changed since the last time
    // (a grid with AutoThemeAdapt does so when it has been loaded and when the setting is switched
    // on).
    void AdaptToOfficeTheme();
    void Loaded() override;
    void AutoThemeAdaptSwitchedOn() override { AdaptToOfficeTheme(); }
    TOfficeTheme OldOfficeTheme() const { return m_oldOfficeTheme; }
    // The drop-down editors that take the grid's style and tones (they register themselves).
    std::vector<IVekkoStyle*> StyledEditors;
    std::vector<IVekkoTones*> TonedEditors;
    // How an editor control registers: styled takes the grid's component style (now and at every
    // SetEditorsStyle), toned its colour tones (at every SetColorTones, and now when the grid has
    // been given tones, so that an editor made after them looks like the others). Either may be
    // null; registering twice changes nothing.
    void RegisterEditor(IVekkoStyle* styled, IVekkoTones* toned);
    // The colour of the fixed cells' text.
    Color FixedFontColor = platform::clWindowText;

    // --- version, search bar layout, sizing lines, design panel (GridHelpers.cpp) -------------------
    // The component version "6.2.1.3 Sep, 2012".
    virtual QString GetVersionString() const;
    // Where the search bar's parts go by the SearchFooter settings (the bar shows them).
    struct TSearchPanelLayout {
        bool Visible = false;
        int Height = 0; // 32 while visible
        int Top = 0;    // from the grid's top
        bool FindNext = true, FindPrev = true, HighLight = true, Close = true, MatchCase = true;
        int ButtonHeight[4] = {23, 23, 23, 23}; // find next, find previous, highlight, close; 0 hidden
        int MatchCaseHeight = 18;
        int MatchCaseLeft = 425;
        bool FlatButtons = false; // the three action buttons
        bool AutoXPStyle = false;
        bool ThemeAdapt = false;
        QString Hints[4]; // shown only when not empty
    };
    const TSearchPanelLayout& SearchPanelLayout() const { return m_searchLayout; }
    void UpdateSearchFooter();
    // A dotted line that follows a border being sized; drawing the same line again removes it.
    void DrawColSizingLine(int x);
    void DrawRowSizingLine(int y);
    int ColSizingLine() const { return m_colSizingLine; }
    int RowSizingLine() const { return m_rowSizingLine; }
    // The quick configuration panel shown while the form is designed (ShowDesignHelper):
    // -1 nothing, 1 "Allow edit", 2 "Column numbers", 3 "Set look", 4 close.
    int DesignHelperHitTest(int x, int y);
    void DesignHelperMouseUp(int x, int y);
    virtual void PaintDesignHelper(Canvas& canvas);
    bool ShowColNrs = false;
    // Chooses a look from the panel's menu (at a screen point); answers the command id
    // (the look's ordinal + 1) or 0. The default pops a menu up.
    std::function<int(QPoint screen)> DesignLookMenu;
    bool Designing() const { return m_designing; }
    void SetDesigning(bool on) { m_designing = on; }

    // --- the search bar (SearchFooter.cpp) ----------------------------------------------------------
    // The bar is made with the grid and shown while SearchFooter.Visible; it takes 32 pixels of
    // its own below the rows (and below a floating footer), so no row ever hides behind it.
    TSearchPanel* SearchPanel() const { return m_searchPanel; }
    // The bar's actions: the edit's text changed (with AutoSearch, the first match from the
    // top, the edit red when there is none), the next and the previous match from the last
    // one, the highlight button toggled, the close button.
    void SearchFooterEditChange();
    void SearchFooterFindNext();
    void SearchFooterFindPrev();
    void SearchFooterHighlight();
    void SearchFooterClose();
    // With the bar shown: whether the last row is shown above it; scrolls the last row clear of it.
    bool LastRowAboveSearchFooter();
    void ScrollAboveSearchFooter();
    // Ctrl+F with the bar shown: the bar's edit takes the focus; false with the bar hidden.
    bool FocusSearchFooter();
    virtual void SearchFooterAction(const QString& text, int col, int row, TSearchFooterAction action);
    std::function<void(TExtStringGridPaint* sender, const QString& text, bool& defaultSearch)> OnSearchEditChange;
    std::function<void(TExtStringGridPaint* sender, const QString& text, int col, int row,
                       TSearchFooterAction action)>
        OnSearchFooterAction;
    NotifyEvent OnSearchFooterClose;
    NotifyEvent OnCreatedSearchFooter;

    // --- around the cells ---------------------------------------------------------------------------
    virtual void SelectionChanged(int left, int top, int right, int bottom);
    void RepaintActiveHeaders(int col1, int row1, int col2, int row2);
    // The coloured one-pixel border of the control, over the frame.
    void PaintBorder(QPainter& painter);
    // A frame around the cell being edited; this platform draws none (the calls stay).
    void ShowFocusWindow(const Rect&) {}
    void MoveFocusWindow() {}
    void HideFocusWindow() {}

    // --- fixed-cell gradients of the hover and pressed states --------------------------------------
    Color VekkoGradHoverFrom = 0xFFFFFF, VekkoGradHoverTo = 0x808080, VekkoGradHoverMirrorFrom = platform::clNone,
          VekkoGradHoverMirrorTo = platform::clNone, VekkoGradHoverBorder = 0xC0C0C0;
    Color VekkoGradDownFrom = 0xC0C0C0, VekkoGradDownTo = 0x808080, VekkoGradDownMirrorFrom = platform::clNone,
          VekkoGradDownMirrorTo = platform::clNone, VekkoGradDownBorder = 0x808080;
    TColorTones Tones;
    // The grid draws no text of its own when a drawing event is set (NoDefaultDraw), or for cells
    // with a graphic (NoImageAndText).
    bool NoDefaultDraw = false;
    bool NoImageAndText = false;
    Color SelectionRectangleColor = platform::clBlack;
    // What SaveCell gives for a cell: the formatted text (else the stored one), HTML texts with
    // their tags, RTF texts as RTF (else as plain text).
    bool SaveVirtCells = true;
    bool SaveWithHTML = true;
    bool SaveWithRTF = false;

    // The pictures mini-HTML texts name: the container (not owned) for names, and the cache of
    // the pictures loaded by URL, kept as long as the grid.
    TPictureContainer* PictureContainer = nullptr;
    THTMLPictureCache& ImageCache() { return m_imageCache; }

    // Whether a header cell of the column shows the drop-down button (OnCanShowFixedDropDown).
    virtual bool CanShowFixedDropDown(int col);
    std::function<void(TExtStringGridPaint* sender, int col, bool& canShow)> OnCanShowFixedDropDown;

    // --- events -------------------------------------------------------------------------------------
    CustomCellDrawEvent OnCustomCellBkgDraw;
    CustomCellDrawEvent OnCustomCellDraw;
    GetCellBorderPropEvent OnGetCellBorderProp;
    GetCellGradientEvent OnGetCellGradient;
    GetFloatFormatEvent OnGetFloatFormat;
    NotifyEvent OnPainted;
    SelectionChangedEvent OnSelectionChanged;
    CellTextEvent OnSaveCell;
    CellTextEvent OnLoadCell;
    RowEvent OnAutoDeleteRow;
    FixedEditEvent OnFixedEdit;

protected:
    void paint() override;
    bool event(QEvent* e) override;
    void GetDisplText(int col, int row, QString& value) const override;
    // The window's creation announces the search bar (OnCreatedSearchFooter).
    void CreateWnd() override;

    // State of the mouse and of editing that the painter shows; kept up to date by the editing
    // and input code of the grid.
    bool m_editing = false;          // an editor is open over the current cell
    bool m_mouseDownMove = false;    // a button went down and has not come up
    bool m_dropDownDown = false;     // a header drop-down button is held
    bool m_colMoving = false;        // a column is being moved by mouse
    int m_colMoveIndex = -1;         // the column being moved
    TGridCoord m_hoverFixed{-1, -1}; // the lit fixed cell
    TGridCoord m_pushedFixed{-1, -1}; // the fixed cell held down as a button (FixedAsButtons)
    bool m_fixedCellPushed = false;
    TGridCoord m_hotFixedCell{-1, -1};
    TGridCoord m_hoverButton{-1, -1};
    TGridCoord m_hoverCell{-1, -1};
    int m_hoverLink = -1;
    bool m_gridBlink = false;
    bool m_selChange = false; // the selection changed since the last end of an update
    bool m_designing = false;
    int m_updateCount = 0; // depth of BeginUpdate; the control paints nothing while above 0
    THTMLPictureCache m_imageCache;
    TSearchPanelLayout m_searchLayout;
    int m_colSizingLine = -1;
    int m_rowSizingLine = -1;
    TOfficeTheme m_oldOfficeTheme = otUnknown;

private:
    // The search bar.
    void CreateSearchPanel();
    void ApplySearchPanel();
    void PlaceSearchPanel();
    TFindParams SearchFooterParams(TSearchFooterAction action);
    void SearchFooterStep(TSearchFooterAction action);
    void HighlightSearchMatches(bool on, const QString& text);
    void SetSearchEditColor(Color c);
    TSearchPanel* m_searchPanel = nullptr;

    struct CellPaint; // the working values of one DrawCellContents call
    void DrawFixedLook(Canvas& canvas, CellPaint& p);
    void DrawFixedEdges(Canvas& canvas, CellPaint& p);
    void DrawCellText(Canvas& canvas, CellPaint& p);
    void DrawCellBorders(Canvas& canvas, int realCol, int row, Rect r);
    void DrawNodeLines(Canvas& canvas, CellPaint& p);
    void DrawCellGraphic(Canvas& canvas, CellPaint& p, Rect& r);
    void DrawCellCheckBox(Canvas& canvas, CellPaint& p, const Rect& r);
    void DrawCellButton(Canvas& canvas, CellPaint& p, Rect r, Rect gr);
    void DrawCellProgress(Canvas& canvas, CellPaint& p, Rect r);
    void DrawNodeButton(Canvas& canvas, CellPaint& p, Rect r);
    void DrawCellBackgroundFixed(Canvas& canvas, const Rect& r);
    void DrawCellBackgroundTiled(Canvas& canvas, const Rect& r, int realCol, int row);
    void DrawCellBackgroundGradient(Canvas& canvas, const Rect& r);
    void PaintEmptyArea(Canvas& canvas);
    bool IsSortGlyphCell(int realCol, int row) const;
    bool SortGlyphDrawn(int realCol) const;
    int SortIndexPosition(int realCol) const;
    bool IsHoverFixed(int col, int row) const;
};

// The grid's own glyphs, drawn once at their resource sizes: "XGRCHK01".."XGRCHK08",
// "XGRRAD01".."XGRRAD08", "XPNODEO", "XPNODEC", "XGRLEAFOPEN", "XGRLEAFCLOSE", "XGRFILT".
// An unknown name gives an empty bitmap.
const platform::Bitmap& GridGlyph(const QString& name);

} // namespace controls::grid
